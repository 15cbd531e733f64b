// The preview arithmetic shared by every family: step counter, level decay, peaks.

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "devices/czidira_usb_device.h"

namespace rerov {
namespace {

struct StepCase {
    bool up;
    int limit, current, step, expected;
};

TEST(PreviewMathStepValue, Table) {
    const StepCase cases[] = {
        {true, 192, 191, 1, 0},  // reaching the limit wraps to 0
        {true, 192, 0, 1, 1},    {true, 192, 190, 1, 191},
        {true, 192, 185, 9, 0},                            // passing the limit also wraps to 0
        {true, 25, 24, 1, 0},    {false, 192, 0, 1, 191},  // below zero: limit - step
        {false, 192, 5, 1, 4},   {false, 192, 191, 1, 190},
        {false, 128, 3, 7, 121}, {false, 96, 0, 1, 95},
        {true, 250, 249, 10, 0},  // no 8-bit wrap of the sum below the limit
    };
    for (const StepCase& c : cases) {
        EXPECT_EQ(StepValue(c.up, c.limit, c.current, c.step), c.expected)
            << "up " << c.up << " limit " << c.limit << " current " << c.current << " step "
            << c.step;
    }
}

TEST(PreviewMathStepValue, CountsRoundTheWholeCycleBothWays) {
    uint8_t up = 0;
    uint8_t down = 0;
    std::vector<int> upSeen(192, 0);
    std::vector<int> downSeen(192, 0);
    for (int i = 0; i < 192; ++i) {
        up = StepValue(true, 192, up, 1);
        down = StepValue(false, 192, down, 1);
        ASSERT_LT(up, 192);
        ASSERT_LT(down, 192);
        ++upSeen[up];
        ++downSeen[down];
    }
    EXPECT_EQ(up, 0);
    EXPECT_EQ(down, 0);
    EXPECT_EQ(std::count(upSeen.begin(), upSeen.end(), 1), 192);
    EXPECT_EQ(std::count(downSeen.begin(), downSeen.end(), 1), 192);
}

TEST(PreviewMathDecayLevel, Curve29RunsDownFrom255) {
    const std::vector<int> expected = {210, 165, 120, 75, 40, 5, 4, 3, 2, 1, 0, 0};
    uint8_t level = 255;
    for (size_t i = 0; i < expected.size(); ++i) {
        level = DecayedLevel(level, 29);
        EXPECT_EQ(level, expected[i]) << "step " << i;
    }
}

struct DecayCase {
    int curve, level, expected;
};

TEST(PreviewMathDecayLevel, CurveTables) {
    const DecayCase cases[] = {
        // Curve 0: bit 7 -40, bit 6 -30, bit 5 -15, above 16 -8, above 0 -1.
        {0, 255, 215},
        {0, 128, 88},
        {0, 64, 34},
        {0, 63, 48},
        {0, 32, 17},
        {0, 17, 9},
        {0, 16, 15},
        {0, 1, 0},
        {0, 0, 0},
        // Other curves: as curve 0 but bit 5 takes 10.
        {5, 255, 215},
        {5, 64, 34},
        {5, 63, 53},
        {21, 32, 22},
        {21, 17, 9},
        {21, 16, 15},
        {30, 0, 0},
        // Curve 29: bit 7 or 4 -45, bit 5 or 6 -35, above 0 -1.
        {29, 144, 99},
        {29, 96, 61},
        {29, 15, 14},
        {29, 0, 0},
        // Curve 29 takes more than low levels hold: they stop at 0 rather than wrap.
        {29, 16, 0},
        {29, 31, 0},
        {29, 33, 0},
    };
    for (const DecayCase& c : cases) {
        EXPECT_EQ(DecayedLevel(c.level, c.curve), c.expected)
            << "curve " << c.curve << " level " << c.level;
    }
}

// The base with the preview's state opened for the tests.
class PreviewDevice : public CZidiraUSBDevice {
  public:
    using CZidiraUSBDevice::DecayLevel;
    using CZidiraUSBDevice::Levels;
    using CZidiraUSBDevice::MarkPeaks;
    using CZidiraUSBDevice::Peaks;
    using CZidiraUSBDevice::RotateLevels;
};

TEST(PreviewMathDecayLevel, DeviceLowersOnlyTheNamedLight) {
    PreviewDevice device;
    device.Levels().Set(3, 255);
    device.Levels().Set(4, 255);
    device.DecayLevel(3, 0);
    EXPECT_EQ(device.Levels().Get(3), 215);
    EXPECT_EQ(device.Levels().Get(4), 255);
    device.DecayLevel(-1, 0);  // out of range: nothing happens
    device.DecayLevel(100000, 0);
    EXPECT_EQ(device.Levels().Get(4), 255);
    EXPECT_EQ(device.Levels().Get(100000), 0);  // reads past the array give 0
}

TEST(PreviewMathPeaks, MarkPeaksLightsOnlyTheFirstNineNonZeroEntries) {
    PreviewDevice device;
    device.Peaks().Fill(0);
    device.Peaks().Set(0, 1);
    device.Peaks().Set(8, 7);
    device.Peaks().Set(9, 1);  // past the nine marked entries
    device.Levels().Set(5, 12);
    device.MarkPeaks();
    EXPECT_EQ(device.Levels().Get(0), 255);
    EXPECT_EQ(device.Levels().Get(8), 255);
    EXPECT_EQ(device.Levels().Get(9), 0);
    EXPECT_EQ(device.Levels().Get(5), 12);  // a zero entry leaves its light alone
    EXPECT_EQ(device.Levels().Get(1), 0);
}

TEST(PreviewMathPeaks, RotateLevelsBothDirections) {
    PreviewDevice device;
    PeakRing& ring = device.Peaks();
    for (size_t i = 0; i < ring.size(); ++i) ring.Set(i, static_cast<uint8_t>(i));
    device.RotateLevels(1);  // towards higher indices: 22 moves to 0
    EXPECT_EQ(ring.Get(0), 22);
    EXPECT_EQ(ring.Get(1), 0);
    EXPECT_EQ(ring.Get(22), 21);
    device.RotateLevels(0);  // back
    for (size_t i = 0; i < ring.size(); ++i) EXPECT_EQ(ring.Get(i), i);
    device.RotateLevels(0);  // towards lower indices: 0 moves to 22
    EXPECT_EQ(ring.Get(0), 1);
    EXPECT_EQ(ring.Get(22), 0);
    device.RotateLevels(5);  // any non-zero direction counts as up
    EXPECT_EQ(ring.Get(0), 0);
}

}  // namespace
}  // namespace rerov
