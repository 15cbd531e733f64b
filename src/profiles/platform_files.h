#pragma once

#include <cstdio>
#include <filesystem>

namespace rerov {

/// Creates a new file for binary writing, failing when anything (a file, a link) already
/// has the name. The stream is unbuffered, so every fwrite reaches the system and its count
/// tells the truth. Null on failure.
std::FILE* CreateNewFileForWriting(const std::filesystem::path& path);

/// Forces the written content of an open file to the disk.
bool SyncFileToDisk(std::FILE* file);

/// Forces a folder's entries (a rename just made in it) to the disk. True where the
/// platform has no such notion.
bool SyncFolderToDisk(const std::filesystem::path& folder);

}  // namespace rerov
