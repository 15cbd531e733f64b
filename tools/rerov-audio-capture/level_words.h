#pragma once
// The six level words sent with every spectrum (record 2):
//   word 0, 1, 2  red, green, blue of the current colour scaled by the loudness:
//                 component * loudness / 255 in the low byte, upper bytes 0
//   word 3        the loudness 0..255
//   word 4, 5     the left and right peak 0..255
// Loudness (the hop's RMS) and peaks are mapped linearly from kLevelFloorDb (0) to
// 0 dB, full scale (255). The colour is white until the program sets one: its style colour
// (record 10: red, green and blue levels 0..9, each level scaled to 0..255) or a slider
// command (one component 0..255).

#include <array>
#include <cstdint>
#include <vector>

#include "tools/rerov-audio-capture/spectrum_analyzer.h"

namespace rerov::capture {

inline constexpr double kLevelFloorDb = -60.0;
inline constexpr int kStyleLevelMax = 9;

struct LevelColour {
    int red = 255;
    int green = 255;
    int blue = 255;
};

// A level in dB relative to full scale as 0..255 (0 at or below the floor, NaN included).
int LevelByteOfDecibels(double db);
// The colour of a style record's values (red, green, blue levels first); nothing changes
// when fewer than three values came.
bool ColourOfStyleRecord(const std::vector<int32_t>& values, LevelColour* colour);
// A slider value clamped to 0..255.
int ColourComponentOfSlider(int value);
// The six words for a hop of the given loudness in the given colour.
std::vector<int32_t> LevelWords(const LevelColour& colour, const HopLoudness& loudness);

}  // namespace rerov::capture
