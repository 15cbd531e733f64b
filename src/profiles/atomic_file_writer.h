#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace rerov {

/// Outcome of a file write: on failure the reason, in English, for messages and traces.
struct WriteOutcome {
    bool ok = false;
    std::string reason;

    explicit operator bool() const { return ok; }
};

/// Replaces the file with exactly the given bytes, or leaves it byte for byte as it was and
/// says why not. The bytes go to a new temporary file beside the target (see
/// IsWriteTemporaryName) with every write's count checked, are flushed to the disk, then the
/// temporary file is renamed over the target and the folder is flushed too, so a crash, a
/// full disk or a file size limit never leaves a short or empty file. A target that is a
/// symbolic link, or anything but a regular file, is refused: writes never go through a link.
WriteOutcome WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes);

/// True for the name of a temporary file WriteFileAtomically makes: "." + target name + "." +
/// 8 hexadecimal digits + ".tmp". One that stays was left by an interrupted write and may be
/// removed.
bool IsWriteTemporaryName(const std::string& fileName);

/// The steps of WriteFileAtomically at which the system can refuse a write.
enum class WriteStep {
    CreateTemporary,  // the temporary file cannot be made
    WriteBytes,       // the disk fills up after half of the bytes
    FlushToDisk,      // the bytes do not reach the disk
    Close,            // closing the temporary file fails
    Replace,          // the temporary file cannot be renamed over the target
};

/// While it lives, every WriteFileAtomically on the thread that made it fails at `step` as if
/// the system had refused that step, so that "a failed write leaves the previous file as it
/// was and no temporary file behind" can be tested on every platform the writer builds for,
/// without depending on how a platform lets a test fill a disk. For tests only.
class ScopedWriteFailure {
  public:
    explicit ScopedWriteFailure(WriteStep step);
    ~ScopedWriteFailure();
    ScopedWriteFailure(const ScopedWriteFailure&) = delete;
    ScopedWriteFailure& operator=(const ScopedWriteFailure&) = delete;

  private:
    std::optional<WriteStep> previous_;
};

}  // namespace rerov
