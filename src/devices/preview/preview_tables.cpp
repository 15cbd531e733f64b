// Placeholder until the tables are filled in.
#include "devices/preview/preview_tables.h"

namespace rerov::preview {

const std::array<Rgb, 256> kColourWheel{};
const std::array<Rgb, 4> kBasicColours{};
const std::array<uint8_t, 128> kBreathingCurve{};
const std::array<uint8_t, 96> kWaveCurve{};
const std::array<uint8_t, 192> kPulseCurve{};
const std::array<std::array<uint8_t, kRows>, kColumns> kColumnPhases{};
const std::array<std::array<uint8_t, 5>, 31> kStepIntervals{};
const std::array<std::array<uint8_t, kRows>, kColumns> kKeyMatrix{};
const std::array<uint8_t, 126> kKeyOrder{};
const std::array<std::array<uint8_t, 12>, 12> kDiagonalMatrix{};
const std::array<uint8_t, 104> kDropList{};
const std::array<std::array<uint8_t, 12>, 52> kSpreadPath{};
const std::array<std::array<uint8_t, 6>, 20> kOpeningSequence{};
const std::array<std::array<uint8_t, 2>, 16> kPairList{};
const std::array<uint8_t, 170> kSnakePath{};

}  // namespace rerov::preview
