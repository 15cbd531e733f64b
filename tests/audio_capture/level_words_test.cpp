// The six level words: colour scaled by loudness, loudness, peaks; and where the colour
// comes from.

#include "tools/rerov-audio-capture/level_words.h"

#include <gtest/gtest.h>

#include <limits>

namespace rerov::capture {
namespace {

constexpr double kSilence = -std::numeric_limits<double>::infinity();

TEST(LevelWords, DecibelsMapToBytesFromTheFloorToFullScale) {
    EXPECT_EQ(LevelByteOfDecibels(0.0), 255);
    EXPECT_EQ(LevelByteOfDecibels(3.0), 255);  // over full scale (float samples)
    EXPECT_EQ(LevelByteOfDecibels(-30.0), 128);
    EXPECT_EQ(LevelByteOfDecibels(kLevelFloorDb), 0);
    EXPECT_EQ(LevelByteOfDecibels(kSilence), 0);
}

TEST(LevelWords, ColourIsScaledByTheLoudness) {
    struct Case {
        LevelColour colour;
        HopLoudness loudness;
        std::vector<int32_t> words;
    };
    const Case cases[] = {
        // Full scale: the colour itself.
        {{255, 128, 0}, {0.0, 0.0, 0.0}, {255, 128, 0, 255, 255, 255}},
        // Half the level (-30 dB): half the colour; peaks per channel.
        {{255, 128, 0}, {-30.0, -30.0, kSilence}, {128, 64, 0, 128, 128, 0}},
        // Silence: black whatever the colour.
        {{255, 255, 255}, {kSilence, kSilence, kSilence}, {0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LevelWords(c.colour, c.loudness), c.words);
    }
}

TEST(LevelWords, StyleRecordLevelsBecomeColourComponents) {
    LevelColour colour;
    ASSERT_TRUE(ColourOfStyleRecord({9, 1, 0, 0, 0, 0, 0, 0, 0, 0}, &colour));
    EXPECT_EQ(colour.red, 255);
    EXPECT_EQ(colour.green, 28);
    EXPECT_EQ(colour.blue, 0);
    // Out-of-range levels are held to 0..9.
    ASSERT_TRUE(ColourOfStyleRecord({-4, 12, 4}, &colour));
    EXPECT_EQ(colour.red, 0);
    EXPECT_EQ(colour.green, 255);
    EXPECT_EQ(colour.blue, 113);
    // Too short a record changes nothing.
    EXPECT_FALSE(ColourOfStyleRecord({1, 2}, &colour));
    EXPECT_EQ(colour.green, 255);
}

TEST(LevelWords, SliderValuesAreHeldToAByte) {
    EXPECT_EQ(ColourComponentOfSlider(-1), 0);
    EXPECT_EQ(ColourComponentOfSlider(128), 128);
    EXPECT_EQ(ColourComponentOfSlider(300), 255);
}

}  // namespace
}  // namespace rerov::capture
