// The path parsers of HidDevice: numbers after a token in a canonical or platform path.

#include <cctype>
#include <cstdint>
#include <string>

#include "device_link/hid_device.h"

namespace rerov {
namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Position just after the first case-insensitive occurrence of token, npos when absent.
size_t FindAfterToken(const std::string& path, const char* token) {
    const std::string t(token);
    if (path.size() < t.size()) return std::string::npos;
    for (size_t i = 0; i + t.size() <= path.size(); ++i) {
        size_t k = 0;
        while (k < t.size() && std::tolower(static_cast<unsigned char>(path[i + k])) ==
                                   std::tolower(static_cast<unsigned char>(t[k]))) {
            ++k;
        }
        if (k == t.size()) return i + k;
    }
    return std::string::npos;
}

// The hexadecimal number after token, up to the first non-hex character, low 16 bits.
uint16_t HexAfterToken(const std::string& path, const char* token) {
    size_t pos = FindAfterToken(path, token);
    if (pos == std::string::npos) return 0;
    uint32_t value = 0;
    for (; pos < path.size(); ++pos) {
        const int digit = HexValue(path[pos]);
        if (digit < 0) break;
        value = ((value << 4) | static_cast<uint32_t>(digit)) & 0xFFFFu;
    }
    return static_cast<uint16_t>(value);
}

}  // namespace

uint16_t VendorIdFromPath(const std::string& path) { return HexAfterToken(path, "vid_"); }
uint16_t ProductIdFromPath(const std::string& path) { return HexAfterToken(path, "pid_"); }
uint16_t InterfaceFromPath(const std::string& path) { return HexAfterToken(path, "&mi_"); }
uint16_t CollectionFromPath(const std::string& path) { return HexAfterToken(path, "&col"); }

}  // namespace rerov
