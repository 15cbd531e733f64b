#pragma once

#include <json/value.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "profiles/atomic_file_writer.h"

namespace rerov {

/// What may be read of one kind of file. Every file is refused before parsing when it is
/// larger than maxBytes or holds more than maxTokens JSON tokens (containers, strings,
/// literals): jsoncpp spends about a hundred bytes on each value, so the token cap is what
/// keeps the memory a read costs to a small multiple of the file.
struct JsonReadLimits {
    std::uintmax_t maxBytes;
    std::size_t maxTokens;
    /// When set, a symbolic link whose target lies outside the folder holding it is not
    /// followed: files of a profile folder never lead out of it.
    bool confineLinks;
};

/// "ProfileList.ini": the names and ids of at most a few dozen profiles, a few KiB.
inline constexpr JsonReadLimits kListFileLimits{1u << 20, 16'384, true};
/// A profile, its light configuration and effect files. The largest factory profile is
/// 170 KiB with about 14 000 tokens; a profile full of custom groups stays under 100 000.
/// The byte cap allows an imported compact file that grows threefold once indented.
inline constexpr JsonReadLimits kProfileFileLimits{16u << 20, 262'144, true};
/// A file the user chose (an import) or a factory file: same size rules, links followed.
inline constexpr JsonReadLimits kOutsideFileLimits{16u << 20, 262'144, false};

/// Why a read gave no document. Everything but Missing means "a file is there": callers
/// must not write over what they could not read.
enum class JsonReadStatus {
    Ok,
    Missing,      // nothing has the name
    NotAFile,     // a folder or another non-regular file has the name
    LinkOutside,  // a symbolic link that leads out of its folder
    Unreadable,   // the system refused to read it
    TooLarge,     // over the byte or token cap of its kind
    Empty,        // a file of no bytes: nothing in it can be lost
    NotJson,      // malformed, or nested too deep
};

/// One-line English description of a read status.
const char* JsonReadStatusText(JsonReadStatus status);

struct JsonReadResult {
    JsonReadStatus status = JsonReadStatus::Missing;
    Json::Value document;  // null unless status is Ok

    bool Ok() const { return status == JsonReadStatus::Ok; }
    /// True when something has the name, whether or not it could be read.
    bool Exists() const { return status != JsonReadStatus::Missing; }
    /// True when writing over the name loses nothing that was not read: the file was read,
    /// is missing, or is empty.
    bool MayBeReplaced() const {
        return status == JsonReadStatus::Ok || status == JsonReadStatus::Missing ||
               status == JsonReadStatus::Empty;
    }
};

/// The one helper through which every JSON file of the product is read and written.
/// Stateless; the operations are static so any layer can use them without an instance.
class JsonFileIO {
  public:
    /// Reads and parses the whole file (comments allowed) within the limits of its kind,
    /// saying why when it gives no document. Bytes that are not UTF-8 (and escapes of unpaired
    /// surrogates) come out as U+FFFD.
    static JsonReadResult ReadJson(const std::filesystem::path& path,
                                   const JsonReadLimits& limits = kProfileFileLimits);

    /// ReadJson's document alone: null when the file is missing or could not be used.
    /// maxBytes lowers the byte cap of a profile file.
    static Json::Value ReadJsonFile(const std::filesystem::path& path,
                                    std::uintmax_t maxBytes = kDefaultReadLimit);

    /// Writes the document as indented UTF-8 text plus one line end through
    /// WriteFileAtomically: the file then holds exactly the new text, or it is left byte for
    /// byte as it was and the outcome says why. Links are never written through.
    static WriteOutcome WriteJson(const std::filesystem::path& path, const Json::Value& document);

    /// WriteJson's success alone.
    static bool WriteJsonFile(const std::filesystem::path& path, const Json::Value& document);

    /// Local time as "%d_%02d_%02d_%02d_%02d_%02d_%03d" (year to millisecond). Never returns
    /// the same name twice in one process: a clash moves the name on by one millisecond.
    static std::string MakeTimeStampName();

    /// File name of the path without folder (either separator) and without its extension.
    static std::string FileTitle(const std::string& path);

    /// The byte cap of ReadJsonFile when none is given: that of a profile file.
    static constexpr std::uintmax_t kDefaultReadLimit = kProfileFileLimits.maxBytes;
};

/// Converts a filesystem path to its UTF-8 text and back (portable across platforms). A
/// name that is not UTF-8 (possible on Linux) comes out with U+FFFD in place of its bad bytes.
std::string PathToUtf8(const std::filesystem::path& path);
std::filesystem::path PathFromUtf8(const std::string& utf8);

}  // namespace rerov
