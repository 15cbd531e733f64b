#include "profiles/json_text_scan.h"

#include <cctype>
#include <optional>

namespace rerov {

namespace {

// The 16-bit value of the "\uXXXX" escape whose backslash is at text[at], if well formed.
std::optional<unsigned> EscapedUnit(const std::string& text, std::size_t at) {
    if (at + 6 > text.size() || text[at] != '\\' || text[at + 1] != 'u') return std::nullopt;
    unsigned value = 0;
    for (std::size_t i = at + 2; i < at + 6; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (!std::isxdigit(c)) return std::nullopt;
        value =
            value * 16 + static_cast<unsigned>(std::isdigit(c) ? c - '0' : (c | 0x20) - 'a' + 10);
    }
    return value;
}

bool IsHighSurrogate(unsigned unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(unsigned unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void ReplaceEscape(std::string* text, std::size_t at) { text->replace(at, 6, "\\uFFFD"); }

// Skips the string whose opening quote is at text[at]; returns the index after its closing
// quote (or the end). Unpaired surrogate escapes inside are replaced on the way.
std::size_t SkipString(std::string* text, std::size_t at) {
    std::string& t = *text;
    std::size_t i = at + 1;
    while (i < t.size()) {
        const char c = t[i];
        if (c == '"') return i + 1;
        if (c != '\\') {
            ++i;
            continue;
        }
        const std::optional<unsigned> unit = EscapedUnit(t, i);
        if (!unit) {
            i += 2;  // any other escape; the parser judges it
            continue;
        }
        if (IsHighSurrogate(*unit)) {
            const std::optional<unsigned> next = EscapedUnit(t, i + 6);
            if (next && IsLowSurrogate(*next)) {
                i += 12;
                continue;
            }
            ReplaceEscape(text, i);
        } else if (IsLowSurrogate(*unit)) {
            ReplaceEscape(text, i);
        }
        i += 6;
    }
    return i;
}

// Skips a comment starting at text[at] ("//" or "/*"); returns the index after it.
std::size_t SkipComment(const std::string& text, std::size_t at) {
    if (at + 1 >= text.size()) return at + 1;
    if (text[at + 1] == '/') {
        const std::size_t end = text.find('\n', at + 2);
        return end == std::string::npos ? text.size() : end + 1;
    }
    if (text[at + 1] == '*') {
        const std::size_t end = text.find("*/", at + 2);
        return end == std::string::npos ? text.size() : end + 2;
    }
    return at + 1;
}

bool IsLiteralChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '+' || c == '.';
}

}  // namespace

JsonTextShape ScanJsonText(std::string* text, std::size_t tokenLimit, std::size_t depthLimit) {
    JsonTextShape shape;
    std::size_t depth = 0;
    std::size_t i = 0;
    while (i < text->size()) {
        if (shape.tokens > tokenLimit || shape.maxDepth > depthLimit) break;
        const char c = (*text)[i];
        if (c == '"') {
            ++shape.tokens;
            i = SkipString(text, i);
        } else if (c == '/') {
            i = SkipComment(*text, i);
        } else if (c == '{' || c == '[') {
            ++shape.tokens;
            ++depth;
            if (depth > shape.maxDepth) shape.maxDepth = depth;
            ++i;
        } else if (c == '}' || c == ']') {
            if (depth > 0) --depth;
            ++i;
        } else if (IsLiteralChar(c)) {
            ++shape.tokens;
            while (i < text->size() && IsLiteralChar((*text)[i])) ++i;
        } else {
            ++i;
        }
    }
    return shape;
}

}  // namespace rerov
