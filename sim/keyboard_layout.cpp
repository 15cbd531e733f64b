#include "sim/keyboard_layout.h"

namespace rerov::sim {

namespace {
constexpr KeyTriple Key(uint8_t code) { return {0x20, 0x00, code}; }
constexpr KeyTriple Modifier(uint8_t bits) { return {0x20, bits, 0x00}; }
}  // namespace

// Index order is the host's key numbering; the comments name the keys.
const std::array<KeyTriple, kFactoryKeyCount> kFactoryKeyTriples = {{
    Key(0x29),  // 0 Esc
    Key(0x3A),          Key(0x3B),          Key(0x3C),          Key(0x3D),
    Key(0x3E),          Key(0x3F),          Key(0x40),          Key(0x41),
    Key(0x42),          Key(0x43),          Key(0x44),          Key(0x45),  // 1-12 F1-F12
    Key(0x46),          Key(0x47),          Key(0x48),  // 13-15 Print Screen, Scroll Lock, Pause
    {0xA0, 0x1B, 0x00},                                 // 16 lighting key
    {0x30, 0x92, 0x01},                                 // 17 calculator
    {0x30, 0xE2, 0x00}, {0x30, 0xEA, 0x00}, {0x30, 0xE9, 0x00},  // 18-20 mute, vol-, vol+
    Key(0x35),          Key(0x1E),          Key(0x1F),          Key(0x20),
    Key(0x21),          Key(0x22),          Key(0x23),          Key(0x24),
    Key(0x25),          Key(0x26),          Key(0x27),          Key(0x2D),
    Key(0x2E),          Key(0x2A),          Key(0x49),          Key(0x4A),
    Key(0x4B),          Key(0x53),          Key(0x54),          Key(0x55),
    Key(0x56),          Key(0x2B),  // 21-42 number row, Tab
    Key(0x14),          Key(0x1A),          Key(0x08),          Key(0x15),
    Key(0x17),          Key(0x1C),          Key(0x18),          Key(0x0C),
    Key(0x12),          Key(0x13),          Key(0x2F),          Key(0x30),
    Key(0x31),          Key(0x4C),          Key(0x4D),          Key(0x4E),
    Key(0x5F),          Key(0x60),          Key(0x61),          Key(0x32),
    Key(0x39),          Key(0x04),          Key(0x16),          Key(0x07),
    Key(0x09),          Key(0x0A),          Key(0x0B),          Key(0x0D),
    Key(0x0E),          Key(0x0F),          Key(0x33),          Key(0x34),
    Key(0x28),          Key(0x5C),          Key(0x5D),          Key(0x5E),
    Key(0x8A),          Key(0x8B),          Key(0x90),          Key(0x91),
    Key(0x88),       // 43-83 letter rows, keypad 4-9, international keys
    Modifier(0x02),  // 84 left Shift
    Key(0x1D),          Key(0x1B),          Key(0x06),          Key(0x19),
    Key(0x05),          Key(0x11),          Key(0x10),          Key(0x36),
    Key(0x37),          Key(0x38),  // 85-94 Z to /
    Modifier(0x20),                 // 95 right Shift
    Key(0x52),          Key(0x59),          Key(0x5A),          Key(0x5B),
    Key(0x87),          Key(0x89),          Key(0x64),
    Key(0x85),  // 96-103 Up, keypad 1-3, Ro, Yen, ISO backslash, keypad comma
    Key(0x00),  // 104 key without a function
    Modifier(0x01),     Modifier(0x08),     Modifier(0x04),  // 105-107 left Ctrl, Win, Alt
    Key(0x2C),                                               // 108 Space
    Modifier(0x40),                                          // 109 right Alt
    {0xA0, 0x01, 0x00},                                      // 110 Fn
    Key(0x65),                                               // 111 Menu
    Modifier(0x10),                                          // 112 right Ctrl
    Key(0x50),          Key(0x51),          Key(0x4F),          Key(0x62),
    Key(0x63),          Key(0x58),
    Key(0x57),  // 113-119 Left, Down, Right, keypad 0 . Enter +
    {0xD0, 0xA2, 0x01}, {0xD0, 0xA2, 0x02}, {0xD0, 0xA2, 0x03}, {0xD0, 0xA2, 0x04},
    {0xD0, 0xA2, 0x05},  // 120-124 macro keys G1-G5
    Modifier(0x80),      // 125 right Win
}};

// Rows as the switches sit on the board, left to right (-1: no switch in that cell); the
// macro column G1-G5 is the leftmost. The bottom row carries a second Fn switch near its
// right end (it reports the same code as the first, so the host must take the lower
// position).
// clang-format off
const std::array<std::array<int, kMatrixColumns>, kMatrixRows> kKeyMatrix = {{
    {120,  0,  1,  2,  3,  4,  5,  6,  7,  8,  9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, -1},
    {121, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33,101, 34, 35, 36, 37, 38, 39, 40, 41},
    {122, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61,119, -1},
    {123, 63, 64, 65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 62, 75, -1, -1, -1, 76, 77, 78, -1, -1},
    {124, 84,102, 85, 86, 87, 88, 89, 90, 91, 92, 93, 94,100, 95, -1, 96, -1, 97, 98, 99,118, -1},
    {105,106,107, 80,108, 79, 83,109,125,110,111,112,113,114,115,116,117,103, 81, 82,104,110, -1},
}};
// clang-format on

std::vector<uint8_t> BuildFactoryKeyTable() {
    std::vector<uint8_t> table(kMatrixPositions * 3, 0);
    for (size_t row = 0; row < kMatrixRows; ++row) {
        for (size_t column = 0; column < kMatrixColumns; ++column) {
            const int key = kKeyMatrix[row][column];
            if (key == kNoKey) continue;
            const KeyTriple& triple = kFactoryKeyTriples[static_cast<size_t>(key)];
            const size_t position = row * kMatrixColumns + column;
            table[position * 3] = triple.type;
            table[position * 3 + 1] = triple.value;
            table[position * 3 + 2] = triple.code;
        }
    }
    return table;
}

std::vector<uint8_t> BuildLedTable() {
    std::vector<uint8_t> table(kMatrixPositions, kNoLed);
    uint8_t nextLed = 0;
    for (size_t row = 0; row < kMatrixRows; ++row) {
        for (size_t step = 0; step < kMatrixColumns; ++step) {
            const size_t column = row % 2 == 0 ? step : kMatrixColumns - 1 - step;
            if (kKeyMatrix[row][column] == kNoKey) continue;
            table[row * kMatrixColumns + column] = nextLed++;
        }
    }
    return table;
}

int FirstPositionOfKey(int keyIndex) {
    for (size_t row = 0; row < kMatrixRows; ++row) {
        for (size_t column = 0; column < kMatrixColumns; ++column) {
            if (kKeyMatrix[row][column] == keyIndex) {
                return static_cast<int>(row * kMatrixColumns + column);
            }
        }
    }
    return -1;
}

}  // namespace rerov::sim
