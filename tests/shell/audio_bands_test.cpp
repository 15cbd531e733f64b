// The audio bridge's spectrum step: running band levels from the change between spectra and
// the hand-on of every third spectrum.

#include "shell/audio/audio_bands.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace rerov::audio {
namespace {

// A spectrum whose value i is i * 7 + 3, so each band sums different values.
std::vector<int32_t> Ramp(size_t count) {
    std::vector<int32_t> values(count);
    for (size_t i = 0; i < count; ++i) values[i] = static_cast<int32_t>(i * 7 + 3);
    return values;
}

// The sum of the absolute differences 5b to 5b + 4 between two spectra.
int64_t BandSum(const std::vector<int32_t>& now, const std::vector<int32_t>& before, int band) {
    int64_t sum = 0;
    for (int i = band * 5; i < band * 5 + 5; ++i) {
        const int64_t a = i < static_cast<int>(now.size()) ? now[i] : 0;
        const int64_t b = i < static_cast<int>(before.size()) ? before[i] : 0;
        sum += a > b ? a - b : b - a;
    }
    return sum;
}

TEST(AudioBands, FirstSpectrumFillsTheBandsFromItsDifferenceToSilence) {
    AudioBands bands(1, 1);
    const std::vector<int32_t> ramp = Ramp(500);
    bands.Feed(ramp.data(), ramp.size());
    for (int b = 0; b < kKeyboardBands; ++b) {
        EXPECT_EQ(bands.KeyboardBands()[b], BandSum(ramp, {}, b) / 5) << "band " << b;
    }
    for (int b = 0; b < kMouseBands; ++b) {
        EXPECT_EQ(bands.MouseBands()[b], BandSum(ramp, {}, b) / 5) << "mouse band " << b;
    }
    EXPECT_EQ(bands.KeyboardBands()[24], (5 * 3 + 7 * (120 + 121 + 122 + 123 + 124)) / 5);
}

TEST(AudioBands, EqualSuccessiveSpectraDecayTheBandsByDivisionByFive) {
    AudioBands bands(1, 1);
    const std::vector<int32_t> ramp = Ramp(500);
    bands.Feed(ramp.data(), ramp.size());
    std::array<int32_t, kKeyboardBands> expected = bands.KeyboardBands();
    std::array<int32_t, kMouseBands> expectedMouse = bands.MouseBands();
    ASSERT_GT(expected[24], 125);  // enough to see three divisions
    for (int round = 0; round < 3; ++round) {
        bands.Feed(ramp.data(), ramp.size());
        for (int32_t& level : expected) level /= 5;
        for (int32_t& level : expectedMouse) level /= 5;
        EXPECT_EQ(bands.KeyboardBands(), expected) << "round " << round;
        EXPECT_EQ(bands.MouseBands(), expectedMouse) << "round " << round;
    }
}

TEST(AudioBands, EveryThirdSpectrumIsHandedOn) {
    AudioBands bands(1, 1);
    for (int feed = 1; feed <= 9; ++feed) {
        // Alternate two spectra so the levels keep changing.
        std::vector<int32_t> values = Ramp(500);
        if (feed % 2 == 0) values.assign(500, 0);
        const BandOutput output = bands.Feed(values.data(), values.size());
        const bool turn = feed % 3 == 0;
        ASSERT_EQ(output.keyboard.has_value(), turn) << "feed " << feed;
        ASSERT_EQ(output.mouse.has_value(), turn) << "feed " << feed;
        if (!turn) continue;
        for (int i = 0; i < kSpectrumValues; ++i) {
            const int32_t keyboard = i < kKeyboardBands ? bands.KeyboardBands()[i] : 0;
            ASSERT_EQ((*output.keyboard)[i], keyboard) << "feed " << feed << " value " << i;
            // The mouse gets its levels 1 to 9, then zeros.
            const int32_t mouse = i < kMouseBands - 1 ? bands.MouseBands()[i + 1] : 0;
            ASSERT_EQ((*output.mouse)[i], mouse) << "feed " << feed << " value " << i;
        }
        EXPECT_NE((*output.keyboard)[0], 0) << "feed " << feed;
    }
}

TEST(AudioBands, SizeZeroChangesNothing) {
    AudioBands bands(1, 1);
    const std::vector<int32_t> ramp = Ramp(500);
    bands.Feed(ramp.data(), ramp.size());
    bands.Feed(ramp.data(), ramp.size());
    const auto keyboard = bands.KeyboardBands();
    const auto mouse = bands.MouseBands();

    const BandOutput empty = bands.Feed(ramp.data(), 0);
    EXPECT_FALSE(empty.keyboard.has_value());
    EXPECT_FALSE(empty.mouse.has_value());
    EXPECT_EQ(bands.KeyboardBands(), keyboard);
    EXPECT_EQ(bands.MouseBands(), mouse);
    EXPECT_FALSE(bands.Feed(nullptr, 500).keyboard.has_value());

    // Neither the frame counters nor the previous spectrum moved: the next record is the
    // third, equal to the one before, so it decays the bands and is handed on.
    const BandOutput third = bands.Feed(ramp.data(), ramp.size());
    ASSERT_TRUE(third.keyboard.has_value());
    EXPECT_EQ((*third.keyboard)[0], keyboard[0] / 5);
}

TEST(AudioBands, ValuesPastFiveHundredAreIgnored) {
    std::vector<int32_t> longer = Ramp(500);
    longer.resize(700, 1'000'000);
    AudioBands capped(1, 1);
    AudioBands exact(1, 1);
    for (int feed = 0; feed < 3; ++feed) {
        const BandOutput a = capped.Feed(longer.data(), longer.size());
        const BandOutput b = exact.Feed(longer.data(), 500);
        EXPECT_EQ(a.keyboard, b.keyboard);
        EXPECT_EQ(capped.KeyboardBands(), exact.KeyboardBands());
        EXPECT_EQ(capped.MouseBands(), exact.MouseBands());
    }
}

TEST(AudioBands, MissingValuesCountAsZero) {
    AudioBands bands(1, 0);
    const std::vector<int32_t> ramp = Ramp(500);
    bands.Feed(ramp.data(), ramp.size());
    const auto before = bands.KeyboardBands();
    // Only the first 12 values come: bands 0 and 1 see no change and value 10 and 11 of
    // band 2 neither; everything after them dropped to silence.
    bands.Feed(ramp.data(), 12);
    const std::vector<int32_t> shorter(ramp.begin(), ramp.begin() + 12);
    for (int b = 0; b < kKeyboardBands; ++b) {
        EXPECT_EQ(bands.KeyboardBands()[b], (before[b] + BandSum(shorter, ramp, b)) / 5)
            << "band " << b;
    }
    EXPECT_EQ(bands.KeyboardBands()[0], before[0] / 5);
    // The short record became the previous spectrum: the full one now differs past 12.
    bands.Feed(ramp.data(), ramp.size());
    const auto afterShort = bands.KeyboardBands();
    bands.Feed(shorter.data(), shorter.size());
    EXPECT_EQ(bands.KeyboardBands()[10], (afterShort[10] + BandSum(shorter, ramp, 10)) / 5);
}

TEST(AudioBands, ExtremeValuesDoNotOverflow) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    AudioBands bands(4, 4);
    const std::vector<int32_t> highest(500, kMax);
    const std::vector<int32_t> lowest(500, kMin);
    // From silence to the lowest value: each difference is 2^31, beyond int32.
    bands.Feed(lowest.data(), lowest.size());
    for (int32_t level : bands.KeyboardBands()) EXPECT_EQ(level, kMax);
    // From the lowest to the highest: differences of 2^32 - 1.
    bands.Feed(highest.data(), highest.size());
    for (int32_t level : bands.KeyboardBands()) EXPECT_EQ(level, kMax);
    for (int32_t level : bands.MouseBands()) EXPECT_EQ(level, kMax);
    // Then equal spectra: an ordinary decay from the clamped level.
    bands.Feed(highest.data(), highest.size());
    for (int32_t level : bands.KeyboardBands()) EXPECT_EQ(level, kMax / 5 / 5 / 5 / 5);
}

TEST(AudioBands, EachSupportedRowRunsTheUpdateOnce) {
    const std::vector<int32_t> ramp = Ramp(500);
    AudioBands twice(2, 3);
    twice.Feed(ramp.data(), ramp.size());
    for (int b = 0; b < kKeyboardBands; ++b) {
        const int64_t sum = BandSum(ramp, {}, b);
        EXPECT_EQ(twice.KeyboardBands()[b], (sum / 5 + sum) / 5) << "band " << b;
    }
    for (int b = 0; b < kMouseBands; ++b) {
        const int64_t sum = BandSum(ramp, {}, b);
        EXPECT_EQ(twice.MouseBands()[b], ((sum / 5 + sum) / 5 + sum) / 5) << "band " << b;
    }

    // The first row whose turn it is hands the levels on; the further rows update only.
    twice.Feed(ramp.data(), ramp.size());
    const auto beforeThird = twice.KeyboardBands();
    const BandOutput third = twice.Feed(ramp.data(), ramp.size());
    ASSERT_TRUE(third.keyboard.has_value());
    EXPECT_EQ((*third.keyboard)[0], beforeThird[0] / 5);
    EXPECT_EQ(twice.KeyboardBands()[0], beforeThird[0] / 5 / 5);
}

TEST(AudioBands, AFamilyWithoutSupportedRowsGetsNothing) {
    AudioBands keyboardOnly(1, 0);
    const std::vector<int32_t> ramp = Ramp(500);
    for (int feed = 1; feed <= 6; ++feed) {
        const BandOutput output = keyboardOnly.Feed(ramp.data(), ramp.size());
        EXPECT_FALSE(output.mouse.has_value()) << "feed " << feed;
        EXPECT_EQ(output.keyboard.has_value(), feed % 3 == 0) << "feed " << feed;
    }
    for (int32_t level : keyboardOnly.MouseBands()) EXPECT_EQ(level, 0);
}

}  // namespace
}  // namespace rerov::audio
