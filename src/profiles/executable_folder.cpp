// Platform file: where the running executable lives.
#include <system_error>

#include "profiles/profile_folders.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace rerov {

std::filesystem::path ExecutableFolder() {
#if defined(_WIN32)
    wchar_t buffer[32768];
    const DWORD length = GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(std::size(buffer)));
    if (length == 0 || length >= std::size(buffer)) return {};
    return std::filesystem::path(std::wstring(buffer, length)).parent_path();
#elif defined(__linux__)
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return {};
    return exe.parent_path();
#else
    return {};
#endif
}

}  // namespace rerov
