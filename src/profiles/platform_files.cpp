// Platform file: exclusive creation and flushing of files and folder entries.
#include "profiles/platform_files.h"

#if defined(_WIN32)
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace rerov {

std::FILE* CreateNewFileForWriting(const std::filesystem::path& path) {
#if defined(_WIN32)
    std::FILE* file = _wfopen(path.c_str(), L"wbx");
#else
    std::FILE* file = std::fopen(path.c_str(), "wbxe");  // exclusive, close on exec
#endif
    if (file == nullptr) return nullptr;
    if (std::setvbuf(file, nullptr, _IONBF, 0) != 0) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}

bool SyncFileToDisk(std::FILE* file) {
    if (std::fflush(file) != 0) return false;
#if defined(_WIN32)
    return _commit(_fileno(file)) == 0;
#else
    return ::fsync(::fileno(file)) == 0;
#endif
}

bool SyncFolderToDisk(const std::filesystem::path& folder) {
#if defined(_WIN32)
    // Renames on NTFS are journalled with the file; folders cannot be opened for a flush.
    (void)folder;
    return true;
#else
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return false;
    const bool synced = ::fsync(descriptor) == 0;
    const bool closed = ::close(descriptor) == 0;
    return synced && closed;
#endif
}

}  // namespace rerov
