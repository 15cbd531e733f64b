// The steps of the self-running lighting modes 1 to 24, 26 and 27 (the reactive modes 7 and
// 25 are in preview_reactive.cpp, the audio modes in preview_audio.cpp).
#include <cstddef>

#include "devices/preview/preview_engine.h"
#include "devices/preview/preview_math.h"

namespace rerov::preview {

namespace {

constexpr int kWaveLength = static_cast<int>(std::tuple_size_v<decltype(kWaveCurve)>);
constexpr int kPulseLimit = 128;  // mode 2 walks the first 128 pulse entries
constexpr int kBreathingLength = static_cast<int>(std::tuple_size_v<decltype(kBreathingCurve)>);
constexpr uint8_t kSnakeLevel = 254;
constexpr int kSnakeLength = static_cast<int>(std::tuple_size_v<decltype(kSnakePath)>);
constexpr uint32_t kBlinkUnitMs = 200;
constexpr std::array<uint8_t, 5> kBlinkPeriods{8, 6, 4, 2, 1};  // 200 ms units, by speed

// A curve value, 0 past the curve's end.
template <size_t N>
uint8_t CurveAt(const std::array<uint8_t, N>& curve, int index) {
    return index >= 0 && static_cast<size_t>(index) < N ? curve[index] : 0;
}

// Calls `paint` for every key (light below 126) of column `column`.
template <typename Paint>
void ForKeysOfColumn(int column, Paint paint) {
    for (int r = 0; r < kRows; ++r) {
        const uint8_t light = kKeyMatrix[column][r];
        if (light < kKeyLights) paint(light);
    }
}

// Calls `visit` for every entry of the key order that is a key (below 126).
template <typename Visit>
void ForKeysInOrder(Visit visit) {
    for (uint8_t light : kKeyOrder) {
        if (light < kKeyLights) visit(light);
    }
}

// The wheel index one hue on, after 191 back to 0.
uint8_t NextHue(uint8_t index, int advance) {
    const int next = index + advance;
    return static_cast<uint8_t>(next > kWheelHues - 1 ? 0 : next);
}

}  // namespace

void PreviewEngine::StepHorizontalWave() {
    const bool up = lighting_.direction;
    if (lighting_.multiColour) {
        stepPosition_ = StepValue(up, kWheelHues, stepPosition_, 1);
        int index = (stepPosition_ + 1) % kWheelHues;
        for (int c = 0; c < kColumns; ++c) {
            const Rgb colour = WheelColour(index);
            ForKeysOfColumn(c, [&](int light) { SetColour(light, colour, FullBrightness()); });
            index = (index + 7) % kWheelHues;
        }
        return;
    }
    stepPosition_ = StepValue(up, kWaveLength, stepPosition_, 1);
    int index = (stepPosition_ + 1) % kWaveLength;
    for (int c = 0; c < kColumns; ++c) {
        const uint8_t brightness = CurveBrightness(CurveAt(kWaveCurve, index));
        ForKeysOfColumn(c, [&](int light) { SetColour(light, lighting_.colour, brightness); });
        index = (index + 7) % kWaveLength;
    }
}

void PreviewEngine::StepColumnPulse() {
    const bool up = lighting_.direction;
    if (lighting_.multiColour) {
        stepPosition_ = StepValue(up, kWheelHues, stepPosition_, 1);
        for (int c = 0; c < kColumns; ++c) {
            const Rgb colour = WheelColour((stepPosition_ + 2 * c) % kWheelHues);
            ForKeysOfColumn(c, [&](int light) { SetColour(light, colour, FullBrightness()); });
        }
        return;
    }
    stepPosition_ = StepValue(up, kPulseLimit, stepPosition_, 1);
    for (int c = 0; c < kColumns; ++c) {
        const uint8_t brightness =
            CurveBrightness(CurveAt(kPulseCurve, (stepPosition_ + 7 * c) % kPulseLimit));
        ForKeysOfColumn(c, [&](int light) { SetColour(light, lighting_.colour, brightness); });
    }
}

void PreviewEngine::StepKeySweep() {
    // The position moves one hue (or one wave entry) per step; from it every key in the
    // sweep order takes the next colour five entries on, so the colours run along the order.
    const bool up = lighting_.direction;
    if (lighting_.multiColour) {
        stepPosition_ = StepValue(up, kWheelHues, stepPosition_, 1);
        int index = stepPosition_;
        ForKeysInOrder([&](int light) {
            SetColour(light, WheelColour(index), FullBrightness());
            index = (index + 5) % kWheelHues;
        });
        return;
    }
    stepPosition_ = StepValue(up, kWaveLength, stepPosition_, 1);
    int index = stepPosition_ % kWaveLength;
    ForKeysInOrder([&](int light) {
        SetColour(light, lighting_.colour, CurveBrightness(CurveAt(kWaveCurve, index)));
        index = (index + 5) % kWaveLength;
    });
}

void PreviewEngine::StepWholeWheel() {
    stepPosition_ = StepValue(lighting_.direction, kWheelHues, stepPosition_, 1);
    const Rgb colour = WheelColour(stepPosition_);
    for (int light = 0; light < kLightSlots; ++light) SetColour(light, colour, FullBrightness());
}

void PreviewEngine::StepBreathing() {
    stepPosition_ = stepPosition_ + 1 >= kBreathingLength ? 0 : stepPosition_ + 1;
    const uint8_t brightness = CurveBrightness(CurveAt(kBreathingCurve, stepPosition_));
    for (int c = 0; c < kColumns; ++c) {
        const Rgb colour = lighting_.multiColour ? WheelColour(7 * c) : lighting_.colour;
        ForKeysOfColumn(c, [&](int light) { SetColour(light, colour, brightness); });
    }
}

void PreviewEngine::StepStatic() {
    for (int light = 0; light < kLightSlots; ++light) {
        SetColour(light, lighting_.colour, FullBrightness());
    }
    if (!lighting_.multiColour) return;
    for (int d = 0; d < static_cast<int>(kDiagonalMatrix.size()); ++d) {
        const Rgb colour = WheelColour(138 - 12 * d);
        for (uint8_t light : kDiagonalMatrix[d]) SetColour(light, colour, FullBrightness());
    }
}

void PreviewEngine::StepRipple() {
    LightPlanes();
    SpreadPlanes();
    for (int light = 0; light < kKeyLights; ++light) {
        DecayLevel(light, lighting_.mode);
        wheelPositions_[light] = StepValue(true, kWheelHues, wheelPositions_[light], 7);
        PaintByLevel(light);
    }
}

void PreviewEngine::StepSidewaysFlash() {
    LightPlanes();
    ShiftPlanesSideways();
    DecayAndPaintKeys();
}

void PreviewEngine::StepRain() {
    constexpr int kDropsPerStep = 6;
    constexpr int kFirstDropEntry = 4;
    for (int drop = 0; drop < kDropsPerStep; ++drop) {
        const uint8_t d = kDropList[RandomBelow(kDropList.size())];
        const size_t entry = kFirstDropEntry + size_t{d};
        if (entry >= kKeyOrder.size()) continue;
        const uint8_t light = kKeyOrder[entry];
        if (light >= kLightSlots) continue;  // a drop on an empty entry lights nothing
        wheelPositions_[light] = Random192();
        levels_[light] = 255;
    }
    DecayAndPaintKeys();
}

void PreviewEngine::StepOwnWheel() {
    for (uint8_t& position : wheelPositions_) position = NextHue(position, 1);
    for (int light = 0; light < kKeyLights; ++light) {
        SetColour(light, WheelColour(wheelPositions_[light]), FullBrightness());
    }
}

void PreviewEngine::StepRows() {
    stepPosition_ = StepValue(lighting_.direction, kWheelHues, stepPosition_, 1);
    for (int r = 0; r < kRows; ++r) {
        const Rgb colour = WheelColour((stepPosition_ + 1 + 24 * r) % kWheelHues);
        for (int c = 0; c < kColumns; ++c) {
            const uint8_t light = kKeyMatrix[c][r];
            if (light < kKeyLights) SetColour(light, colour, FullBrightness());
        }
    }
}

void PreviewEngine::StepFountain() {
    // A point bounces between the top and the bottom of column 9, starting a ring at every
    // second step.
    constexpr int kColumn = 9;
    ReseedWhenAlone(kColumn, 0x01, 0x01);
    ReseedWhenAlone(kColumn, 0x40, 0x40);
    if (phaseByte_ > 1) {
        phaseByte_ = 0;
        LightPlanes();
        SpreadPlanes();
    }
    ++phaseByte_;
    DecayAndPaintKeys();
}

void PreviewEngine::StepPhasePulse(int advance, bool phaseIsLevel) {
    auto& phases = phaseIsLevel ? levels_ : phases_;
    ForKeysInOrder([&](int light) {
        int phase = phases[light] + advance;
        if (phase > kWheelHues - 1) {
            phase = 0;
            wheelPositions_[light] = Random192();
        }
        phases[light] = static_cast<uint8_t>(phase);
        const Rgb colour =
            lighting_.multiColour ? WheelColour(wheelPositions_[light]) : lighting_.colour;
        SetColour(light, colour, CurveBrightness(CurveAt(kPulseCurve, phase)));
    });
}

void PreviewEngine::StepBouncingSweep() {
    ReseedWhenAlone(1, 0x01, 0x01);
    ReseedWhenAlone(kColumns - 1, 0x40, 0x40);
    LightPlanes();
    SpreadPlanes();
    ForKeysInOrder([&](int light) {
        DecayLevel(light, lighting_.mode);
        PaintByLevel(light);
    });
}

void PreviewEngine::StepFixedWheel() {
    uint8_t hue = 174;
    switch (lighting_.zzccLedMode) {
        case 1:
            hue = 25;
            break;
        case 2:
            hue = 70;
            break;
        case 3:
            hue = 95;
            break;
        default:
            break;
    }
    for (int light = 0; light < kLightSlots; ++light) {
        SetColour(light, WheelColour(hue), FullBrightness());
    }
}

void PreviewEngine::StepDiagonals() {
    stepPosition_ = StepValue(lighting_.direction, kWheelHues, stepPosition_, 1);
    for (int d = 0; d < static_cast<int>(kDiagonalMatrix.size()); ++d) {
        const Rgb colour = WheelColour((stepPosition_ + 7 * (d + 1)) % kWheelHues);
        for (uint8_t light : kDiagonalMatrix[d]) SetColour(light, colour, FullBrightness());
    }
}

void PreviewEngine::StepCustomColours() {
    const uint32_t brightness = uint32_t{FullBrightness()} << 24;
    for (int light = 0; light < kKeyLights; ++light) {
        colours_[light] = (colours_[light] & 0x00FFFFFFu) | brightness;
    }
}

void PreviewEngine::StepOff() { colours_.fill(0); }

void PreviewEngine::StepSnake() {
    // The position walks the path and, past either end, takes one step without lighting
    // before it starts again from the other end.
    if (stepPosition_ >= kSnakeLength) {
        stepPosition_ = lighting_.direction ? 0 : kSnakeLength - 1;
    } else {
        SetLevel(kSnakePath[stepPosition_], kSnakeLevel);
        if (lighting_.direction) {
            ++stepPosition_;
        } else {
            stepPosition_ = stepPosition_ == 0 ? kSnakeLength : stepPosition_ - 1;
        }
    }
    ForKeysInOrder([&](int light) {
        DecayLevel(light, 21);
        PaintByLevel(light);
    });
}

void PreviewEngine::StepScriptedShow() {
    constexpr int kOpeningRows = static_cast<int>(kOpeningSequence.size());
    constexpr int kPairSteps = 31;
    constexpr int kPairWatchLight = 72;
    constexpr int kRingSeedLight = 52;
    constexpr int kRingWatchLight = 124;
    switch (phaseByte_) {
        case 0:
            if (stepPosition_ < kOpeningRows) {
                for (uint8_t light : kOpeningSequence[stepPosition_]) LightUp(light);
            }
            if (++stepPosition_ > kOpeningRows - 1) {
                stepPosition_ = 0;
                phaseByte_ = 1;
            }
            break;
        case 1:
            if (stepPosition_ < kPairSteps) {
                for (uint8_t light : kPairList[stepPosition_ % kPairList.size()]) LightUp(light);
                ++stepPosition_;
            } else if (levels_[kPairWatchLight] == 0) {
                phaseByte_ = 2;
                stepPosition_ = 0;
            }
            break;
        case 2:
            SeedPlanes(kRingSeedLight, 1);
            phaseByte_ = 3;
            break;
        case 3:
            LightPlanes();
            SpreadPlanes();
            if (levels_[kRingWatchLight] != 0) phaseByte_ = 4;
            break;
        default:
            if (levels_[kRingWatchLight] == 0) {
                phaseByte_ = 0;
                stepPosition_ = 0;
            }
            break;
    }
    DecayAndPaintKeys();
}

void PreviewEngine::StepBlink(uint64_t nowMs, bool basicColours) {
    const uint64_t periodMs =
        uint64_t{kBlinkPeriods[lighting_.speed % kBlinkPeriods.size()]} * kBlinkUnitMs;
    // The first step after a reset turns the lights on at once.
    if (!blinkStarted_ || nowMs - lastBlinkMs_ >= periodMs || nowMs < lastBlinkMs_) {
        blinkStarted_ = true;
        blinkOn_ = !blinkOn_;
        lastBlinkMs_ = nowMs;
        stepPosition_ = NextHue(stepPosition_, 16);
        if (basicColours) {
            basicColourIndex_ =
                static_cast<uint8_t>((basicColourIndex_ + 1) % kBasicColours.size());
        }
    }
    if (!blinkOn_) {
        colours_.fill(0);
        return;
    }
    Rgb colour = lighting_.colour;
    if (basicColours) {
        colour = kBasicColours[basicColourIndex_ % kBasicColours.size()];
    } else if (lighting_.multiColour) {
        colour = WheelColour(stepPosition_);
    }
    for (int light = 0; light < kLightSlots; ++light) SetColour(light, colour, FullBrightness());
}

void PreviewEngine::StepRing() {
    constexpr int kPathRows = static_cast<int>(kSpreadPath.size());
    stepPosition_ = StepValue(lighting_.direction, kPathRows, stepPosition_, 1);
    if (stepPosition_ < kPathRows) {
        for (uint8_t light : kSpreadPath[stepPosition_]) {
            if (light >= kLightSlots) continue;
            levels_[light] = 255;
            wheelPositions_[light] = 0;
        }
    }
    for (int light = 0; light < kLightSlots; ++light) {
        if (levels_[light] != 0) levels_[light] = levels_[light] > 5 ? levels_[light] - 5 : 0;
        // The trail's hue runs on until it parks at 255.
        if (wheelPositions_[light] != 255) wheelPositions_[light] += 3;
        if (lighting_.multiColour) {
            SetColour(light, WheelColour(wheelPositions_[light]), FullBrightness());
        } else {
            SetColour(light, lighting_.colour, ScaledBrightness(levels_[light]));
        }
    }
}

void PreviewEngine::StepBasicBreathing() {
    constexpr int kLimit = 128;
    stepPosition_ = StepValue(lighting_.direction, kLimit, stepPosition_, 1);
    if (stepPosition_ == 0) {
        basicColourIndex_ = static_cast<uint8_t>((basicColourIndex_ + 1) % kBasicColours.size());
    }
    const Rgb colour = kBasicColours[basicColourIndex_ % kBasicColours.size()];
    const uint8_t brightness = CurveBrightness(CurveAt(kBreathingCurve, stepPosition_));
    for (int light = 0; light < kLightSlots; ++light) SetColour(light, colour, brightness);
}

// --- Helpers of the steps above ---------------------------------------------------------------

void PreviewEngine::DecayAndPaintKeys() {
    for (int light = 0; light < kKeyLights; ++light) {
        DecayLevel(light, lighting_.mode);
        PaintByLevel(light);
    }
}

void PreviewEngine::LightUp(int light) {
    if (light < 0 || light >= kLightSlots) return;
    levels_[light] = 255;
    if (lighting_.multiColour) wheelPositions_[light] = Random192();
}

void PreviewEngine::ReseedWhenAlone(int column, uint8_t alone, uint8_t seed) {
    const uint8_t any =
        planes_[0][column] | planes_[1][column] | planes_[2][column] | planes_[3][column];
    if (any != alone) return;
    for (auto& plane : planes_) plane[column] |= seed;
}

}  // namespace rerov::preview
