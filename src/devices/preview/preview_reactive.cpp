// The reactive modes: 7 (a pressed key glows and fades) and 25 (a pressed key lights its
// neighbours, strongest next to it, and they fade when it is released).
#include <algorithm>
#include <array>

#include "devices/preview/preview_engine.h"

namespace rerov::preview {

namespace {

constexpr uint8_t kRising = 1;
constexpr uint8_t kFalling = 2;
constexpr int kPress = 1;

// The twelve neighbour cells of mode 25 with what a press adds and a release takes away.
struct Neighbour {
    int dc;
    int dr;
    int pressRaise;
    int releaseDrop;
};
constexpr std::array<Neighbour, 12> kNeighbours{{
    {0, -1, 150, 15},
    {0, 1, 150, 15},
    {-1, 0, 150, 15},
    {1, 0, 150, 15},
    {0, -2, 90, 90},
    {0, 2, 90, 90},
    {-1, -1, 90, 90},
    {-1, 1, 90, 90},
    {1, -1, 90, 90},
    {1, 1, 90, 90},
    {-2, 0, 60, 90},
    {2, 0, 60, 90},
}};

// The light at (column, row), or kNoLight outside the matrix.
uint8_t LightAt(int column, int row) {
    if (column < 0 || column >= kColumns || row < 0 || row >= kRows) return kNoLight;
    return kKeyMatrix[column][row];
}

// The first cell of the matrix holding `light`; false when it has none.
bool CellOf(int light, int& column, int& row) {
    for (int c = 0; c < kColumns; ++c) {
        for (int r = 0; r < kRows; ++r) {
            if (kKeyMatrix[c][r] == light) {
                column = c;
                row = r;
                return true;
            }
        }
    }
    return false;
}

}  // namespace

void PreviewEngine::ReactiveGlowEntry(int light, int action) {
    if (light < 0 || light >= kLightSlots) return;
    reactiveStates_[light] = static_cast<uint8_t>(action);
    levels_[light] = 255;
    wheelPositions_[light] = Random192();
}

void PreviewEngine::ReactiveSpreadEntry(int light, int action) {
    int column = 0;
    int row = 0;
    if (light < 0 || light >= kKeyLights || !CellOf(light, column, row)) return;
    if (action == kPress) {
        reactiveStates_[light] = kRising;
        pressed_[light] = 1;
        levels_[light] = 255;
        for (const Neighbour& n : kNeighbours) {
            const uint8_t other = LightAt(column + n.dc, row + n.dr);
            if (other >= kLightSlots) continue;
            levels_[other] = static_cast<uint8_t>(std::min(levels_[other] + n.pressRaise, 255));
            reactiveStates_[other] = kRising;
        }
        return;
    }
    for (const Neighbour& n : kNeighbours) {
        const int c = column + n.dc;
        const int r = row + n.dr;
        const uint8_t other = LightAt(c, r);
        // A neighbour that also belongs to another held key stays lit.
        if (other >= kLightSlots || NearPressedKey(c, r, light)) continue;
        levels_[other] = static_cast<uint8_t>(std::max(levels_[other] - n.releaseDrop, 0));
        reactiveStates_[other] = kFalling;
    }
    if (!NearPressedKey(column, row, light)) reactiveStates_[light] = kFalling;
    pressed_[light] = 0;
}

bool PreviewEngine::NearPressedKey(int column, int row, int light) const {
    auto heldOther = [&](int c, int r) {
        const uint8_t other = LightAt(c, r);
        return other < kLightSlots && other != light && pressed_[other] == 1;
    };
    if (heldOther(column, row)) return true;
    return std::any_of(kNeighbours.begin(), kNeighbours.end(),
                       [&](const Neighbour& n) { return heldOther(column + n.dc, row + n.dr); });
}

void PreviewEngine::StepReactiveGlow() {
    for (int light = 0; light < kKeyLights; ++light) {
        uint8_t& level = levels_[light];
        if (reactiveStates_[light] == kRising) {
            level = static_cast<uint8_t>(std::min(level + 15, 255));
        } else if (reactiveStates_[light] == kFalling && level != 0) {
            level = static_cast<uint8_t>(std::max(level - 5, 0));
        }
        PaintByLevel(light);
    }
}

}  // namespace rerov::preview
