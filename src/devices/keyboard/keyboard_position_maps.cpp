#include "devices/keyboard/keyboard_position_maps.h"

#include <algorithm>
#include <cstddef>

#include "devices/keyboard/keyboard_key_table.h"

namespace rerov {

namespace {
constexpr uint8_t kNoLedNumber = 255;
}

PositionMaps BuildPositionMaps(std::span<const uint8_t> factoryKeyTable,
                               std::span<const uint8_t> ledTable, int keyPositionCount) {
    PositionMaps maps;
    // Positions are one byte in the maps; a table never holds more than 256 of them.
    const size_t positions = std::min<size_t>(
        {static_cast<size_t>(std::max(keyPositionCount, 0)), factoryKeyTable.size() / 3, 256});
    const auto& keys = KeyboardKeyTable();
    for (size_t key = 0; key < keys.size(); ++key) {
        const KeyCodeTriple wanted = keys[key];
        for (size_t p = 0; p < positions; ++p) {
            const KeyCodeTriple found{factoryKeyTable[3 * p], factoryKeyTable[3 * p + 1],
                                      factoryKeyTable[3 * p + 2]};
            if (found != wanted) continue;
            const auto keyIndex = static_cast<uint8_t>(key);
            maps.keyPosition[keyIndex] = static_cast<uint8_t>(p);
            if (p < ledTable.size() && ledTable[p] != kNoLedNumber) {
                maps.lightPosition[keyIndex] = ledTable[p];
            }
            break;
        }
    }
    return maps;
}

}  // namespace rerov
