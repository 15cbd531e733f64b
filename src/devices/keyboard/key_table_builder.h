#pragma once
// The keyboard's key table as the device keeps it (three bytes per device key position),
// built from the page's key list. Keys that play a macro refer to it by its index in the
// user's macro list; the device refers to it by its place in the macro blob, so both the
// key table and the macro download number the macros the keys use in order of first use.

#include <cstdint>
#include <span>
#include <vector>

#include "devices/position_maps.h"
#include "profiles/profile_records.h"

namespace rerov {

/// Key indices 0 to this - 1 take part in the key table.
inline constexpr int kKeyTableKeyCount = 126;
/// Bytes of the key table buffer (one table page).
inline constexpr size_t kKeyTableBufferSize = 512;

/// True for an assignment that plays a macro (Type 0x70 or 0x71); its Value is the macro.
bool IsMacroAssignment(const KeyAssignment& assignment);

/// Macro indices the keys 0..125 that have a device position refer to, in order of first
/// use; references to macros at or past `macroCount` are left out.
std::vector<int> UsedMacroList(const std::vector<KeyEntry>& keys, const PositionMaps& maps,
                               int macroCount);

struct KeyTableBuild {
    std::vector<uint8_t> table;   // kKeyTableBufferSize bytes
    std::vector<int> usedMacros;  // the device's macro n is usedMacros[n]
};

/// The key table: the factory table's first keyPositionCount × 3 bytes (so positions
/// without a key keep their factory codes), then the current (type, value, code) of every
/// key 0..125 that has a position at 3p. Macro references become the macro's place in the
/// used-macro list; a reference to a macro at or past `macroCount` is sent as the key's
/// default assignment instead.
KeyTableBuild BuildKeyTable(std::span<const uint8_t> factoryKeyTable, int keyPositionCount,
                            const std::vector<KeyEntry>& keys, const PositionMaps& maps,
                            int macroCount);

}  // namespace rerov
