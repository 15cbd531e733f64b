#include "devices/keyboard/key_table_builder.h"

#include <algorithm>

namespace rerov {

namespace {

constexpr uint8_t kTypeMacro = 0x70;
constexpr uint8_t kTypeMacroRepeat = 0x71;

// The device position of key `key`, or -1.
int PositionOf(const PositionMaps& maps, int key) {
    const auto found = maps.keyPosition.find(static_cast<uint8_t>(key));
    return found == maps.keyPosition.end() ? -1 : found->second;
}

int DownloadKeyLimit(const std::vector<KeyEntry>& keys) {
    return std::min(kKeyTableKeyCount, static_cast<int>(keys.size()));
}

// Place of `macro` in `used`, appended when new.
int PlaceOf(std::vector<int>* used, int macro) {
    const auto found = std::find(used->begin(), used->end(), macro);
    if (found != used->end()) return static_cast<int>(found - used->begin());
    used->push_back(macro);
    return static_cast<int>(used->size()) - 1;
}

}  // namespace

bool IsMacroAssignment(const KeyAssignment& assignment) {
    return assignment.type == kTypeMacro || assignment.type == kTypeMacroRepeat;
}

std::vector<int> UsedMacroList(const std::vector<KeyEntry>& keys, const PositionMaps& maps,
                               int macroCount) {
    std::vector<int> used;
    for (int k = 0; k < DownloadKeyLimit(keys); ++k) {
        if (PositionOf(maps, k) < 0) continue;
        const KeyAssignment& current = keys[static_cast<size_t>(k)].current;
        if (IsMacroAssignment(current) && current.value < macroCount) PlaceOf(&used, current.value);
    }
    return used;
}

KeyTableBuild BuildKeyTable(std::span<const uint8_t> factoryKeyTable, int keyPositionCount,
                            const std::vector<KeyEntry>& keys, const PositionMaps& maps,
                            int macroCount) {
    KeyTableBuild build;
    build.table.assign(kKeyTableBufferSize, 0);
    const size_t factoryBytes = std::min({static_cast<size_t>(std::max(keyPositionCount, 0)) * 3,
                                          factoryKeyTable.size(), kKeyTableBufferSize});
    std::copy_n(factoryKeyTable.begin(), factoryBytes, build.table.begin());

    for (int k = 0; k < DownloadKeyLimit(keys); ++k) {
        const int p = PositionOf(maps, k);
        if (p < 0 || static_cast<size_t>(3 * p + 2) >= build.table.size()) continue;
        KeyAssignment sent = keys[static_cast<size_t>(k)].current;
        if (IsMacroAssignment(sent)) {
            if (sent.value < macroCount) {
                sent.value = static_cast<uint8_t>(PlaceOf(&build.usedMacros, sent.value));
            } else {
                // The macro is gone: the key does its own job rather than play another one.
                sent = keys[static_cast<size_t>(k)].defaults;
            }
        }
        build.table[static_cast<size_t>(3 * p)] = sent.type;
        build.table[static_cast<size_t>(3 * p + 1)] = sent.value;
        build.table[static_cast<size_t>(3 * p + 2)] = sent.code;
    }
    return build;
}

}  // namespace rerov
