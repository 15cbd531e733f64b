#include "profiles/half_word_fields.h"

#include "profiles/json_access.h"
#include "profiles/profile_records.h"

namespace rerov {

void WriteHalfWordFields(Json::Value& section, std::span<const HalfWordField> fields,
                         std::span<const std::uint32_t, 3> words) {
    for (const HalfWordField& field : fields) {
        const std::uint32_t word = words[static_cast<std::size_t>(field.word)];
        section[field.key] = Json::Value(field.high ? HighHalf(word) : LowHalf(word));
    }
}

void ReadHalfWordFields(const Json::Value& section, std::span<const HalfWordField> fields,
                        std::span<std::uint32_t, 3> words) {
    for (const HalfWordField& field : fields) {
        const std::uint32_t half = json::ToU16(json::Member(section, field.key));
        words[static_cast<std::size_t>(field.word)] |= field.high ? half << 16 : half;
    }
}

}  // namespace rerov
