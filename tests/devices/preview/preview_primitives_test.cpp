// The engine's shared primitives: the step counter's 8-bit cases, the decay curves, painting
// by level and the four bit planes.
#include <gtest/gtest.h>

#include <cstdlib>

#include "devices/preview/preview_engine.h"
#include "devices/preview/preview_math.h"
#include "tests/devices/preview/preview_test_support.h"

namespace rerov::preview {
namespace {

using testing::BrightnessOf;
using testing::EngineIn;
using testing::Lighting;
using testing::RgbOf;

TEST(PreviewPrimitives, StepValueIsEightBitArithmetic) {
    struct Case {
        bool up;
        int limit, current, step, expected;
    };
    const Case cases[] = {
        {false, 192, 0, 9, 183},      // 0 - 9 wraps to 247, not below the limit: 192 - 9
        {false, 200, 100, 250, 106},  // 100 - 250 is 106 in 8 bits, which is below the limit
        {true, 255, 250, 10, 0},      // the sum passes the limit without an 8-bit wrap
        {true, 52, 51, 1, 0},        {false, 52, 0, 1, 51},
        {true, 128, 126, 1, 127},    {false, 25, 3, 1, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StepValue(c.up, c.limit, c.current, c.step), c.expected)
            << c.up << " " << c.limit << " " << c.current << " " << c.step;
    }
}

TEST(PreviewPrimitives, DecayCurvesByLevelBits) {
    struct Case {
        int curve, level, expected;
    };
    const Case cases[] = {
        {0, 255, 215},  {0, 100, 70},  {0, 40, 25},  {0, 20, 12}, {0, 16, 15}, {0, 1, 0},
        {0, 0, 0},      {8, 255, 215}, {8, 100, 70}, {8, 40, 30}, {8, 17, 9},  {8, 3, 2},
        {29, 255, 210}, {29, 40, 5},   {29, 16, 0},  {29, 5, 4},  {29, 0, 0},  {21, 40, 30},
    };
    for (const Case& c : cases) {
        PreviewEngine engine;
        engine.SetLevel(3, static_cast<uint8_t>(c.level));
        engine.DecayLevel(3, c.curve);
        EXPECT_EQ(engine.Level(3), c.expected) << "curve " << c.curve << " level " << c.level;
    }
}

TEST(PreviewPrimitives, DecayAndPaintIgnoreLightsOutOfRange) {
    PreviewEngine engine;
    engine.DecayLevel(170, 0);
    engine.DecayLevel(-1, 0);
    engine.PaintByLevel(1000);
    engine.SetLevel(170, 9);
    EXPECT_EQ(engine.Level(170), 0);
    EXPECT_EQ(engine.Colour(-5), 0u);
}

TEST(PreviewPrimitives, PaintByLevelScalesTheFixedOrWheelColour) {
    PreviewEngine single = EngineIn(Lighting(8, 2, 2, false));
    single.SetLevel(10, 128);
    single.PaintByLevel(10);
    EXPECT_EQ(RgbOf(single.Colour(10)), (Rgb{200, 100, 50}));
    EXPECT_EQ(BrightnessOf(single.Colour(10)), 135 * 128 / 256);

    PreviewEngine multi = EngineIn(Lighting(8, 2, 4, true));
    multi.SetLevel(0, 255);
    multi.PaintByLevel(0);  // light 0's wheel position is 33 after the mode's initialiser
    EXPECT_EQ(multi.WheelPosition(0), 33);
    EXPECT_EQ(RgbOf(multi.Colour(0)), kColourWheel[33]);
    EXPECT_EQ(BrightnessOf(multi.Colour(0)), 254);
}

// The cells set in any of the four planes.
std::vector<std::pair<int, int>> SetCells(const PreviewEngine& engine) {
    std::vector<std::pair<int, int>> cells;
    for (int c = 0; c < kColumns; ++c) {
        for (int r = 0; r < 8; ++r) {
            for (int plane = 0; plane < 4; ++plane) {
                if (engine.Plane(plane, c) & (1 << r)) {
                    cells.emplace_back(c, r);
                    break;
                }
            }
        }
    }
    return cells;
}

TEST(PreviewPrimitives, SpreadPlanesGrowsADiamondRing) {
    PreviewEngine engine;
    engine.SeedPlanes(52, 1);  // column 11, row 2
    ASSERT_EQ(SetCells(engine), (std::vector<std::pair<int, int>>{{11, 2}}));
    for (int radius = 1; radius <= 4; ++radius) {
        engine.SpreadPlanes();
        std::vector<std::pair<int, int>> expected;
        for (int c = 0; c < kColumns; ++c) {
            for (int r = 0; r < 8; ++r) {
                if (std::abs(c - 11) + std::abs(r - 2) == radius) expected.emplace_back(c, r);
            }
        }
        EXPECT_EQ(SetCells(engine), expected) << "radius " << radius;
    }
}

TEST(PreviewPrimitives, SpreadPlanesLosesBitsAtTheEdges) {
    PreviewEngine engine;
    engine.SetPlane(0, 0, 0x01);   // up-left from the top-left corner: nowhere to go
    engine.SetPlane(2, 22, 0x80);  // down-right from the bottom-right corner
    engine.SpreadPlanes();
    EXPECT_EQ(engine.Plane(0, 0), 0);
    EXPECT_EQ(engine.Plane(2, 22), 0);
}

TEST(PreviewPrimitives, ShiftPlanesSidewaysSendsOnePointEachWay) {
    PreviewEngine engine;
    engine.SeedPlanes(46, 1);  // column 5, row 2
    engine.ShiftPlanesSideways();
    EXPECT_EQ(SetCells(engine), (std::vector<std::pair<int, int>>{{4, 2}, {6, 2}}));
    for (int c = 0; c < kColumns; ++c) {
        EXPECT_EQ(engine.Plane(0, c), 0);
        EXPECT_EQ(engine.Plane(2, c), 0);
    }
    engine.ShiftPlanesSideways();
    EXPECT_EQ(engine.Plane(3, 3), 0x04);  // down-left plane carries the left point
    EXPECT_EQ(engine.Plane(1, 7), 0x04);  // up-right plane the right one
    for (int i = 0; i < 30; ++i) engine.ShiftPlanesSideways();
    EXPECT_TRUE(SetCells(engine).empty());
}

TEST(PreviewPrimitives, SeedPlanesOnlyOnPressAndOnlyForMatrixLights) {
    PreviewEngine engine;
    engine.SeedPlanes(46, 2);
    engine.SeedPlanes(169, 1);  // not in the key matrix
    engine.SeedPlanes(500, 1);
    EXPECT_TRUE(SetCells(engine).empty());
}

TEST(PreviewPrimitives, LightPlanesLightsSetCellsWithRandomHues) {
    PreviewEngine engine(testing::Scripted({200, 5}));
    engine.ModeChanged(Lighting(8, 2, 4, true));
    engine.SetPlane(1, 5, 0x04 | 0x80);  // row 2 and a row below the keyboard
    engine.SetPlane(3, 0, 0x01);         // an empty cell
    engine.LightPlanes();
    EXPECT_EQ(engine.Level(46), 255);
    EXPECT_EQ(engine.WheelPosition(46), 200 % 192);
    int lit = 0;
    for (int light = 0; light < kLightSlots; ++light) lit += engine.Level(light) != 0;
    EXPECT_EQ(lit, 1);
}

}  // namespace
}  // namespace rerov::preview
