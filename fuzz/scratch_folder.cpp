#include "fuzz/scratch_folder.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <system_error>

namespace rerov::fuzz {
namespace {

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "fuzz scratch folder: %s\n", what.c_str());
    std::abort();
}

std::filesystem::path MakeFolder() {
    std::error_code error;
    std::filesystem::path base = "/dev/shm";
    if (!std::filesystem::is_directory(base, error) || access(base.c_str(), W_OK) != 0) {
        base = std::filesystem::temp_directory_path(error);
        if (error) Fail("no temporary folder: " + error.message());
    }
    std::string pattern = (base / "rerov-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        Fail("mkdtemp failed: " + std::string(std::strerror(errno)));
    return pattern;
}

void RemoveFolder() {
    std::error_code ignored;  // at exit there is nobody left to tell
    std::filesystem::remove_all(ScratchFolder(), ignored);
}

}  // namespace

const std::filesystem::path& ScratchFolder() {
    static const std::filesystem::path folder = [] {
        std::filesystem::path made = MakeFolder();
        return made;
    }();
    static const bool registered = std::atexit(RemoveFolder) == 0;
    (void)registered;
    return folder;
}

void ClearScratchFolder() {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(ScratchFolder(), error)) {
        std::filesystem::remove_all(entry.path(), error);
        if (error) Fail("cannot remove " + entry.path().string() + ": " + error.message());
    }
    if (error) Fail("cannot list the folder: " + error.message());
}

void WriteScratchFile(const std::filesystem::path& path, const uint8_t* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (size > 0)
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    if (!out) Fail("cannot write " + path.string());
}

void WriteScratchText(const std::filesystem::path& path, const char* text) {
    WriteScratchFile(path, reinterpret_cast<const uint8_t*>(text), std::strlen(text));
}

}  // namespace rerov::fuzz
