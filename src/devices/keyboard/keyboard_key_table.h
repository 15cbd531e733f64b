#pragma once
// The keyboard key table: for every key index of the page, the factory code (assignment
// type, value, code) the keyboard reports for that key in its own factory key table. The
// read-out finds each key's device position by looking its triple up there.

#include <array>
#include <cstddef>
#include <cstdint>

namespace rerov {

struct KeyCodeTriple {
    uint8_t type = 0;
    uint8_t value = 0;
    uint8_t code = 0;
    bool operator==(const KeyCodeTriple&) const = default;
};

/// Key indices of the table (the page's keys). Indices from 126 on name no key and all hold
/// (0x20, 0, 0).
inline constexpr size_t kKeyCodeTripleCount = 170;

/// The factory triple of every key index.
const std::array<KeyCodeTriple, kKeyCodeTripleCount>& KeyboardKeyTable();

/// The factory triple of key index `key`; (0, 0, 0) for an index outside the table.
KeyCodeTriple FactoryTripleOfKey(int key);

}  // namespace rerov
