// The documented place of each spectrum value in frequency, and the loudness scale.

#include "tools/rerov-audio-capture/spectrum_scale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace rerov::capture {
namespace {

TEST(SpectrumScale, KeyboardAndMouseValuesSpanTheMusicalRange) {
    EXPECT_NEAR(ValueFrequency(0), kLowestHz, 1e-6);
    EXPECT_NEAR(ValueFrequency(kKeyboardValues - 1), kKeyboardTopHz, 1e-6);
    // The mouse's ten bands reach past the fundamentals of voices and most instruments.
    EXPECT_GT(ValueFrequency(kMouseValues - 1), 1500.0);
    EXPECT_LT(ValueFrequency(kMouseValues - 1), 2500.0);
    // At the bottom a value is about one FFT bin (21.5 Hz at 44.1 kHz) wide, no narrower.
    EXPECT_GT(ValueFrequency(1) - ValueFrequency(0), 15.0);
    for (int i = 1; i < kSpectrumValues; ++i) {
        ASSERT_GT(ValueFrequency(i), ValueFrequency(i - 1)) << "value " << i;
    }
}

TEST(SpectrumScale, FrequenciesFallIntoTheirValuesAndBands) {
    struct Case {
        double hz;
        int value;
        int band;
    };
    const Case cases[] = {
        {30.0, 0, 0},     {100.0, 4, 0},      {440.0, 18, 3},     {1000.0, 33, 6},
        {4000.0, 74, 14}, {16000.0, 124, 24}, {20000.0, 133, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ValueOfFrequency(c.hz), c.value) << c.hz << " Hz";
        EXPECT_EQ(KeyboardBandOfFrequency(c.hz), c.band) << c.hz << " Hz";
        // The value's own centre maps back to it.
        EXPECT_EQ(ValueOfFrequency(ValueFrequency(c.value)), c.value);
    }
    EXPECT_EQ(ValueOfFrequency(0.0), -1);
    EXPECT_EQ(KeyboardBandOfFrequency(10.0), -1);
}

TEST(SpectrumScale, DecibelsMapToValuesAboveTheFloor) {
    EXPECT_EQ(ValueOfDecibels(0.0), 4000);   // a full-scale tone
    EXPECT_EQ(ValueOfDecibels(-6.0), 3700);  // 6 dB quieter moves a value by 300
    EXPECT_EQ(ValueOfDecibels(-79.9), 5);
    EXPECT_EQ(ValueOfDecibels(kFloorDb), 0);
    EXPECT_EQ(ValueOfDecibels(-120.0), 0);
    EXPECT_EQ(ValueOfDecibels(-std::numeric_limits<double>::infinity()), 0);
    EXPECT_EQ(ValueOfDecibels(std::nan("")), 0);
}

}  // namespace
}  // namespace rerov::capture
