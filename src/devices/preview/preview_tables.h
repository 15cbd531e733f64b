#pragma once
// The constant tables of the lighting preview: colour wheel, curves, the keyboard's key
// matrix and the paths the modes walk over it. Light index 170 means "no light"; lights
// 126 and above have no key.

#include <array>
#include <cstdint>

namespace rerov::preview {

struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

inline constexpr int kLightSlots = 170;   // light indices 0..169
inline constexpr uint8_t kNoLight = 170;  // an empty cell or path entry
inline constexpr int kKeyLights = 126;    // lights below this have a key
inline constexpr int kColumns = 23;       // key matrix columns, left to right
inline constexpr int kRows = 6;           // key matrix rows, top to bottom
inline constexpr int kWheelHues = 192;    // the hue circle inside the 256-entry wheel
inline constexpr int kAudioBands = 25;    // spectrum bands a step takes
inline constexpr int kAudioLevelWords = 6;

/// Brightness level b (0..4) to the full brightness L[b].
inline constexpr std::array<uint8_t, 5> kBrightnessLevels{0, 80, 135, 195, 255};

extern const std::array<Rgb, 256> kColourWheel;
extern const std::array<Rgb, 4> kBasicColours;
extern const std::array<uint8_t, 128> kBreathingCurve;
extern const std::array<uint8_t, 96> kWaveCurve;
extern const std::array<uint8_t, 192> kPulseCurve;
/// Mode 15's start levels by key matrix cell [column][row].
extern const std::array<std::array<uint8_t, kRows>, kColumns> kColumnPhases;
/// Ticks between steps by [mode 0..30][speed 0..4] (rows 0, 28 and 29 are not used).
extern const std::array<std::array<uint8_t, 5>, 31> kStepIntervals;
/// Light index of the key in [column][row], kNoLight where there is none.
extern const std::array<std::array<uint8_t, kRows>, kColumns> kKeyMatrix;
/// The order sweeping modes visit the keys: 111 lights, then kNoLight.
extern const std::array<uint8_t, 126> kKeyOrder;
/// Lights along 12 diagonals, kNoLight after each diagonal's last light.
extern const std::array<std::array<uint8_t, 12>, 12> kDiagonalMatrix;
/// Rain drops: entry d selects key order entry 4 + d.
extern const std::array<uint8_t, 104> kDropList;
/// The ring mode's band across the keyboard, twelve lights per step (kNoLight = none).
extern const std::array<std::array<uint8_t, 12>, 52> kSpreadPath;
/// The first phase of the scripted show: six lights per step (255 = none).
extern const std::array<std::array<uint8_t, 6>, 20> kOpeningSequence;
/// The second phase of the scripted show: two lights per step.
extern const std::array<std::array<uint8_t, 2>, 16> kPairList;
/// The snake's path (kNoLight lights nothing).
extern const std::array<uint8_t, 170> kSnakePath;

}  // namespace rerov::preview
