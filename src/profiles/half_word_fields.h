#pragma once
// System settings keep two 16-bit values per 32-bit word; a profile section names each
// half. These map a table of names onto the words and back.

#include <json/value.h>

#include <array>
#include <cstdint>
#include <span>

namespace rerov {

/// One named half of a settings word: the word's number and whether it is the high half.
struct HalfWordField {
    const char* key;
    int word;
    bool high;
};

/// Writes each field's half of `words` into `section` (an object) under the field's key.
void WriteHalfWordFields(Json::Value& section, std::span<const HalfWordField> fields,
                         std::span<const std::uint32_t, 3> words);

/// Ors each field's value from `section` into its half of `words` (missing members are 0).
void ReadHalfWordFields(const Json::Value& section, std::span<const HalfWordField> fields,
                        std::span<std::uint32_t, 3> words);

}  // namespace rerov
