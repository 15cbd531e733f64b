#pragma once
// The simulated keyboard's factory data: the key code triple of every key index, the key
// matrix that places key indices at device positions row by row, and the order of the LED
// chain under the keys.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace rerov::sim {

// Factory key code of one key: assignment type, value, code.
struct KeyTriple {
    uint8_t type = 0;
    uint8_t value = 0;
    uint8_t code = 0;
    bool operator==(const KeyTriple&) const = default;
};

// Key indices that have a factory code (0..125).
inline constexpr size_t kFactoryKeyCount = 126;
extern const std::array<KeyTriple, kFactoryKeyCount> kFactoryKeyTriples;

// The key matrix: 6 rows of 23 columns; device position = row × 23 + column.
inline constexpr size_t kMatrixRows = 6;
inline constexpr size_t kMatrixColumns = 23;
inline constexpr size_t kMatrixPositions = kMatrixRows * kMatrixColumns;  // 138
inline constexpr int kNoKey = -1;
extern const std::array<std::array<int, kMatrixColumns>, kMatrixRows> kKeyMatrix;

// LED number of a position without a key.
inline constexpr uint8_t kNoLed = 0xFF;

// Factory key table bytes: 3 per device position (positions without a key are zero).
std::vector<uint8_t> BuildFactoryKeyTable();

// LED table bytes: one LED number per device position. The LED chain runs through the
// keys in a serpentine, left to right on even rows and right to left on odd rows;
// positions without a key hold kNoLed.
std::vector<uint8_t> BuildLedTable();

// Device position of the first matrix cell holding key index `keyIndex`; -1 if none.
int FirstPositionOfKey(int keyIndex);

}  // namespace rerov::sim
