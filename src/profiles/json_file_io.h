#pragma once

#include <json/value.h>

#include <filesystem>
#include <string>

namespace rerov {

/// The one helper through which every JSON file of the product is read and written.
/// Stateless; the operations are static so any layer can use them without an instance.
class JsonFileIO {
  public:
    /// Reads and parses the whole file (comments allowed). Returns a null value when the
    /// file is missing, unreadable, empty, larger than maxBytes or not valid JSON.
    static Json::Value ReadJsonFile(const std::filesystem::path& path,
                                    std::uintmax_t maxBytes = kDefaultReadLimit);

    /// Writes the document as indented UTF-8 text plus one line end, atomically: a temporary
    /// file in the same folder is written, flushed and renamed over the target. Returns false
    /// (leaving any previous file untouched and no temporary file behind) when anything fails.
    static bool WriteJsonFile(const std::filesystem::path& path, const Json::Value& document);

    /// Local time as "%d_%02d_%02d_%02d_%02d_%02d_%03d" (year to millisecond). Never returns
    /// the same name twice in one process: a clash moves the name on by one millisecond.
    static std::string MakeTimeStampName();

    /// File name of the path without folder (either separator) and without its extension.
    static std::string FileTitle(const std::string& path);

    /// Documents above this size are not read; no file of the product comes near it.
    static constexpr std::uintmax_t kDefaultReadLimit = 64u * 1024u * 1024u;
};

/// Converts a filesystem path to its UTF-8 text and back (portable across platforms).
std::string PathToUtf8(const std::filesystem::path& path);
std::filesystem::path PathFromUtf8(const std::string& utf8);

}  // namespace rerov
