#pragma once
// A per-process scratch folder for the targets that read files through the program's own
// file code: on /dev/shm when there is one (the writes of a save stay off the disk, which
// keeps thousands of runs a second possible), removed when the process ends.

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace rerov::fuzz {

/// The folder, created on first use; the process ends with a message when it cannot be.
const std::filesystem::path& ScratchFolder();

/// Empties the folder so each input starts from nothing.
void ClearScratchFolder();

/// Writes the bytes as the whole file; the process ends with a message on failure (a fuzz
/// run on a broken scratch folder would test nothing).
void WriteScratchFile(const std::filesystem::path& path, const uint8_t* data, size_t size);

/// The same for text.
void WriteScratchText(const std::filesystem::path& path, const char* text);

}  // namespace rerov::fuzz
