#include "profiles/plain_file_name.h"

namespace rerov {

namespace {
constexpr std::size_t kMaxNameBytes = 200;
}

bool IsPlainFileName(const std::string& name) {
    if (name.empty() || name.size() > kMaxNameBytes) return false;
    if (name == "." || name == "..") return false;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) return false;
        if (c == '/' || c == '\\' || c == ':') return false;
    }
    return true;
}

}  // namespace rerov
