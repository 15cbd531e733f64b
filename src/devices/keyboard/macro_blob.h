#pragma once
// The keyboard's macro blob: every macro the keys use, in the order of the used-macro list,
// packed into one block of the device's macro memory (little-endian):
//   header  16 bytes: magic AA 55, total length, macro count, 10 reserved (zero)
//   offsets 2 bytes per macro: offset of its record from the start of the blob
//   records one per macro: event count, 2 reserved (zero), then 4 bytes per event:
//           delay in ms (low 16 bits), type | 0x80 for a press, button

#include <json/value.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace rerov {

inline constexpr uint16_t kMacroBlobMagic = 0x55AA;
inline constexpr size_t kMacroBlobHeaderSize = 16;
inline constexpr size_t kMacroOffsetSize = 2;
inline constexpr size_t kMacroRecordHeaderSize = 4;
inline constexpr size_t kMacroEventSize = 4;
inline constexpr uint8_t kMacroPressBit = 0x80;

/// One event as the device plays it.
struct MacroBlobEvent {
    uint16_t delay = 0;
    uint8_t type = 0;  // bits 0-6 are sent
    bool down = false;
    uint8_t button = 0;
    bool operator==(const MacroBlobEvent&) const = default;
};

using MacroBlobMacro = std::vector<MacroBlobEvent>;

/// The low 16 bits of a decimal delay text: leading blanks and a sign allowed, digits up to
/// the first other character; no digits read as 0.
uint16_t DelayLow16(const std::string& text);

/// One element of a macro file's "Events" as the device gets it: "Type" and "Button" taken
/// as integers (their low bits), "Action" "down" a press and anything else a release,
/// "Delay" a decimal text (or number). Missing or odd members read as 0.
MacroBlobEvent MacroBlobEventFromJson(const Json::Value& event);

/// Bytes the blob of macros with these event counts takes.
size_t MacroBlobSize(const std::vector<size_t>& eventCounts);

/// 0 when a blob of `total` bytes fits `capacity`; else the overflow in whole events,
/// ((total - capacity) / 4) + 1, which the user is told.
int MacroOverflow(size_t total, size_t capacity);

/// The blob of `macros`; empty when the blob would not fit its 16-bit length field.
std::vector<uint8_t> EncodeMacroBlob(const std::vector<MacroBlobMacro>& macros);

}  // namespace rerov
