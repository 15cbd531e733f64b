#include "profiles/atomic_file_writer.h"

#include <QRandomGenerator>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "profiles/platform_files.h"

namespace rerov {

namespace {

constexpr const char* kTemporarySuffix = ".tmp";
constexpr std::size_t kRandomDigits = 8;
constexpr int kNameAttempts = 16;

// The step a ScopedWriteFailure of this thread makes fail, if any.
thread_local std::optional<WriteStep> failingStep;

bool FailsAt(WriteStep step) { return failingStep == step; }

WriteOutcome Failed(std::string reason) { return WriteOutcome{false, std::move(reason)}; }

std::string SystemError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

std::string TemporaryName(const std::filesystem::path& target) {
    char digits[kRandomDigits + 1];
    std::snprintf(digits, sizeof digits, "%08x", QRandomGenerator::system()->generate());
    return "." + target.filename().string() + "." + digits + kTemporarySuffix;
}

// Writes all bytes to the new file and flushes them to the disk; closes the file.
WriteOutcome FillAndClose(std::FILE* file, std::string_view bytes) {
    if (FailsAt(WriteStep::WriteBytes)) {
        // What a full disk leaves: part of the bytes in the file, then an error. Whether the
        // part went in does not matter; the write fails either way.
        (void)std::fwrite(bytes.data(), 1, bytes.size() / 2, file);
        errno = ENOSPC;
        const std::string reason = SystemError("cannot write");
        std::fclose(file);
        return Failed(reason);
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        errno = 0;
        const std::size_t written = std::fwrite(bytes.data() + done, 1, bytes.size() - done, file);
        if (written == 0) {
            const std::string reason = SystemError("cannot write");
            std::fclose(file);
            return Failed(reason);
        }
        done += written;
    }
    if (FailsAt(WriteStep::FlushToDisk)) errno = EIO;
    if (FailsAt(WriteStep::FlushToDisk) || !SyncFileToDisk(file)) {
        const std::string reason = SystemError("cannot flush to the disk");
        std::fclose(file);
        return Failed(reason);
    }
    const bool closed = std::fclose(file) == 0;
    if (FailsAt(WriteStep::Close)) errno = EIO;
    if (!closed || FailsAt(WriteStep::Close)) return Failed(SystemError("cannot close"));
    return WriteOutcome{true, {}};
}

void RemoveTemporary(const std::filesystem::path& temporary) {
    std::error_code error;
    // Nothing more can be done when this fails; the store removes strays at its next load.
    std::filesystem::remove(temporary, error);
}

}  // namespace

WriteOutcome WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes) {
    if (target.empty() || !target.has_filename()) return Failed("no file name");
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::symlink_status(target, error);
    if (std::filesystem::is_symlink(status)) return Failed("the file is a symbolic link");
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        return Failed("not a regular file");
    }
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    if (!std::filesystem::is_directory(folder, error)) return Failed("the folder does not exist");

    std::filesystem::path temporary;
    std::FILE* file = nullptr;
    for (int attempt = 0; attempt < kNameAttempts && file == nullptr; ++attempt) {
        temporary = folder / TemporaryName(target);
        if (FailsAt(WriteStep::CreateTemporary)) {
            errno = ENOSPC;
            return Failed(SystemError("cannot create"));
        }
        errno = 0;
        file = CreateNewFileForWriting(temporary);
        if (file == nullptr && errno != EEXIST) return Failed(SystemError("cannot create"));
    }
    if (file == nullptr) return Failed("no free temporary file name");

    const WriteOutcome filled = FillAndClose(file, bytes);
    if (!filled) {
        RemoveTemporary(temporary);
        return filled;
    }
    if (std::filesystem::exists(status)) {
        // The new file keeps the permissions of the one it replaces; failing that it keeps
        // the default ones, which is no reason to refuse the save.
        std::filesystem::permissions(temporary, status.permissions(), error);
    }
    if (FailsAt(WriteStep::Replace)) {
        error = std::make_error_code(std::errc::io_error);
    } else {
        std::filesystem::rename(temporary, target, error);
    }
    if (error) {
        RemoveTemporary(temporary);
        return Failed("cannot replace the file: " + error.message());
    }
    if (!SyncFolderToDisk(folder)) {
        // The complete new content is in place; only its survival of a power cut is in doubt.
        return WriteOutcome{true, SystemError("folder not flushed to the disk")};
    }
    return WriteOutcome{true, {}};
}

ScopedWriteFailure::ScopedWriteFailure(WriteStep step) : previous_(failingStep) {
    failingStep = step;
}

ScopedWriteFailure::~ScopedWriteFailure() { failingStep = previous_; }

bool IsWriteTemporaryName(const std::string& fileName) {
    const std::size_t suffix = std::strlen(kTemporarySuffix);
    // "." + at least one character of the target + "." + digits + suffix
    if (fileName.size() < 1 + 1 + 1 + kRandomDigits + suffix) return false;
    if (fileName.front() != '.') return false;
    if (fileName.compare(fileName.size() - suffix, suffix, kTemporarySuffix) != 0) return false;
    const std::size_t digitsAt = fileName.size() - suffix - kRandomDigits;
    if (fileName[digitsAt - 1] != '.') return false;
    for (std::size_t i = digitsAt; i < digitsAt + kRandomDigits; ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(fileName[i]))) return false;
    }
    return true;
}

}  // namespace rerov
