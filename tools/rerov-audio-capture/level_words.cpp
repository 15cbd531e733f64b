#include "tools/rerov-audio-capture/level_words.h"

#include <algorithm>
#include <cmath>

namespace rerov::capture {

int LevelByteOfDecibels(double db) {
    if (!(db > kLevelFloorDb)) return 0;
    const double scaled = (db - kLevelFloorDb) * 255.0 / -kLevelFloorDb;
    return std::clamp(int(std::lround(scaled)), 0, 255);
}

bool ColourOfStyleRecord(const std::vector<int32_t>& values, LevelColour* colour) {
    if (values.size() < 3) return false;
    const auto component = [](int32_t level) {
        return std::clamp(int(level), 0, kStyleLevelMax) * 255 / kStyleLevelMax;
    };
    *colour = {component(values[0]), component(values[1]), component(values[2])};
    return true;
}

int ColourComponentOfSlider(int value) { return std::clamp(value, 0, 255); }

std::vector<int32_t> LevelWords(const LevelColour& colour, const HopLoudness& loudness) {
    const int level = LevelByteOfDecibels(loudness.rmsDb);
    return {colour.red * level / 255,
            colour.green * level / 255,
            colour.blue * level / 255,
            level,
            LevelByteOfDecibels(loudness.leftPeakDb),
            LevelByteOfDecibels(loudness.rightPeakDb)};
}

}  // namespace rerov::capture
