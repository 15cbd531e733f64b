#include "devices/keyboard/macro_blob.h"

#include <limits>

#include "profiles/json_access.h"

namespace rerov {

namespace {

void PutU16(std::vector<uint8_t>* blob, size_t at, size_t value) {
    (*blob)[at] = static_cast<uint8_t>(value & 0xFF);
    (*blob)[at + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

uint16_t DelayLow16(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Arithmetic modulo 2^16 keeps exactly the low 16 bits of any length of number.
    uint32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = (value * 10 + static_cast<uint32_t>(text[i] - '0')) & 0xFFFF;
    }
    if (negative) value = (0x10000 - value) & 0xFFFF;
    return static_cast<uint16_t>(value);
}

MacroBlobEvent MacroBlobEventFromJson(const Json::Value& event) {
    MacroBlobEvent out;
    if (!event.isObject()) return out;
    out.type = static_cast<uint8_t>(json::ToInt64(json::Member(event, "Type")));
    out.button = static_cast<uint8_t>(json::ToInt64(json::Member(event, "Button")));
    const Json::Value& action = json::Member(event, "Action");
    out.down = action.isString() && action.asString() == "down";
    const Json::Value& delay = json::Member(event, "Delay");
    if (delay.isString()) {
        out.delay = DelayLow16(delay.asString());
    } else if (delay.isIntegral()) {
        out.delay = static_cast<uint16_t>(json::ToInt64(delay));
    }
    return out;
}

size_t MacroBlobSize(const std::vector<size_t>& eventCounts) {
    size_t total = kMacroBlobHeaderSize;
    for (size_t count : eventCounts) {
        total += kMacroOffsetSize + kMacroRecordHeaderSize + kMacroEventSize * count;
    }
    return total;
}

int MacroOverflow(size_t total, size_t capacity) {
    if (total <= capacity) return 0;
    const size_t over = (total - capacity) / kMacroEventSize + 1;
    return over > static_cast<size_t>(std::numeric_limits<int>::max())
               ? std::numeric_limits<int>::max()
               : static_cast<int>(over);
}

std::vector<uint8_t> EncodeMacroBlob(const std::vector<MacroBlobMacro>& macros) {
    std::vector<size_t> counts;
    counts.reserve(macros.size());
    for (const MacroBlobMacro& macro : macros) counts.push_back(macro.size());
    const size_t total = MacroBlobSize(counts);
    if (total > std::numeric_limits<uint16_t>::max()) return {};

    std::vector<uint8_t> blob(total, 0);
    PutU16(&blob, 0, kMacroBlobMagic);
    PutU16(&blob, 2, total);
    PutU16(&blob, 4, macros.size());
    size_t record = kMacroBlobHeaderSize + kMacroOffsetSize * macros.size();
    for (size_t m = 0; m < macros.size(); ++m) {
        PutU16(&blob, kMacroBlobHeaderSize + kMacroOffsetSize * m, record);
        PutU16(&blob, record, macros[m].size());
        size_t at = record + kMacroRecordHeaderSize;
        for (const MacroBlobEvent& event : macros[m]) {
            PutU16(&blob, at, event.delay);
            blob[at + 2] =
                static_cast<uint8_t>((event.type & 0x7F) | (event.down ? kMacroPressBit : 0));
            blob[at + 3] = event.button;
            at += kMacroEventSize;
        }
        record = at;
    }
    return blob;
}

}  // namespace rerov
