// The primitives the mode steps share: level decay and painting, and the four bit planes
// that carry travelling points and rings over the key matrix.
#include "devices/preview/preview_engine.h"
#include "devices/preview/preview_math.h"

namespace rerov::preview {

namespace {

bool IsLight(int light) { return light >= 0 && light < kLightSlots; }

enum PlaneIndex { kUpLeft = 0, kUpRight = 1, kDownRight = 2, kDownLeft = 3 };

}  // namespace

void PreviewEngine::DecayLevel(int light, int curve) {
    if (IsLight(light)) levels_[light] = DecayedLevel(levels_[light], curve);
}

void PreviewEngine::PaintByLevel(int light) {
    if (!IsLight(light)) return;
    const Rgb colour =
        lighting_.multiColour ? WheelColour(wheelPositions_[light]) : lighting_.colour;
    SetColour(light, colour, ScaledBrightness(levels_[light]));
}

void PreviewEngine::SeedPlanes(int light, int action) {
    if (action != 1 || !IsLight(light)) return;
    for (int c = 0; c < kColumns; ++c) {
        for (int r = 0; r < kRows; ++r) {
            if (kKeyMatrix[c][r] != light) continue;
            for (auto& plane : planes_) plane[c] |= static_cast<uint8_t>(1u << r);
            return;
        }
    }
}

void PreviewEngine::LightPlanes() {
    for (int c = 0; c < kColumns; ++c) {
        const uint8_t any = planes_[0][c] | planes_[1][c] | planes_[2][c] | planes_[3][c];
        for (int r = 0; r < kRows; ++r) {
            if ((any & (1u << r)) == 0) continue;
            const uint8_t light = kKeyMatrix[c][r];
            if (light >= kLightSlots) continue;
            levels_[light] = 255;
            if (lighting_.multiColour) wheelPositions_[light] = Random192();
        }
    }
}

void PreviewEngine::SpreadPlanes() {
    const auto old = planes_;
    // Bits are rows (bit 0 on top), so a right shift moves up and a left shift moves down;
    // bits shifted out of the byte are lost.
    for (int c = 0; c < kColumns; ++c) {
        const bool first = c == 0;
        const bool last = c == kColumns - 1;
        planes_[kUpLeft][c] =
            static_cast<uint8_t>((old[kUpLeft][c] >> 1) | (last ? 0 : old[kUpLeft][c + 1]));
        planes_[kUpRight][c] =
            static_cast<uint8_t>((old[kUpRight][c] >> 1) | (first ? 0 : old[kUpRight][c - 1]));
        planes_[kDownRight][c] =
            static_cast<uint8_t>((old[kDownRight][c] << 1) | (first ? 0 : old[kDownRight][c - 1]));
        planes_[kDownLeft][c] =
            static_cast<uint8_t>((old[kDownLeft][c] << 1) | (last ? 0 : old[kDownLeft][c + 1]));
    }
}

void PreviewEngine::ShiftPlanesSideways() {
    const auto old = planes_;
    planes_[kUpLeft].fill(0);
    planes_[kDownRight].fill(0);
    for (int c = 0; c < kColumns; ++c) {
        planes_[kDownLeft][c] = c == kColumns - 1 ? 0 : old[kDownLeft][c + 1];
        planes_[kUpRight][c] = c == 0 ? 0 : old[kUpRight][c - 1];
    }
}

}  // namespace rerov::preview
