#include "tools/rerov-audio-capture/spectrum_scale.h"

#include <cmath>

namespace rerov::capture {

namespace {

double MelPerValue() {
    return (HzToMel(kKeyboardTopHz) - HzToMel(kLowestHz)) / double(kKeyboardValues - 1);
}

}  // namespace

double HzToMel(double hz) { return 2595.0 * std::log10(1.0 + hz / 700.0); }

double MelToHz(double mel) { return 700.0 * (std::pow(10.0, mel / 2595.0) - 1.0); }

double ValueFrequency(double value) { return MelToHz(HzToMel(kLowestHz) + value * MelPerValue()); }

int ValueOfFrequency(double hz) {
    if (!(hz > 0.0)) return -1;
    return static_cast<int>(std::lround((HzToMel(hz) - HzToMel(kLowestHz)) / MelPerValue()));
}

int KeyboardBandOfFrequency(double hz) {
    const int value = ValueOfFrequency(hz);
    if (value < 0 || value >= kKeyboardValues) return -1;
    return value / kValuesPerBand;
}

int ValueOfDecibels(double db) {
    if (!(db > kFloorDb)) return 0;  // also catches NaN and -inf (digital silence)
    return static_cast<int>(std::lround((db - kFloorDb) * kUnitsPerDb));
}

}  // namespace rerov::capture
