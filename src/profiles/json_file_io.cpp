#include "profiles/json_file_io.h"

#include <json/reader.h>
#include <json/writer.h>

#include <QDateTime>
#include <QLoggingCategory>
#include <QString>
#include <cstdio>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <system_error>

#include "profiles/json_text_scan.h"
#include "profiles/utf8_text.h"

namespace rerov {

std::string PathToUtf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return ToValidUtf8(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
}

std::filesystem::path PathFromUtf8(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

namespace {

// Traces of unusable or unwritable files; off by default (QT_LOGGING_RULES="rerov.*=true").
Q_LOGGING_CATEGORY(lcJsonFiles, "rerov.profiles", QtInfoMsg)

// Deeper documents are refused, not recursed into; no file of the product nests past ten.
constexpr std::size_t kNestingLimit = 256;

QString ForTrace(const std::filesystem::path& path) {
    return QString::fromStdString(PathToUtf8(path));
}

// True when the link's final target lies inside the folder that holds the link.
bool LinkStaysInFolder(const std::filesystem::path& link) {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::canonical(
        link.has_parent_path() ? link.parent_path() : std::filesystem::path("."), error);
    if (error) return false;
    const std::filesystem::path target = std::filesystem::canonical(link, error);
    if (error) return false;
    const std::filesystem::path inside = target.lexically_relative(folder);
    return !inside.empty() && *inside.begin() != "..";
}

// Finds what has the name, refusing what must not be read.
JsonReadStatus CheckEntry(const std::filesystem::path& path, const JsonReadLimits& limits) {
    std::error_code error;
    const std::filesystem::file_status own = std::filesystem::symlink_status(path, error);
    if (own.type() == std::filesystem::file_type::not_found) return JsonReadStatus::Missing;
    if (error) return JsonReadStatus::Unreadable;
    const std::filesystem::file_status followed = std::filesystem::status(path, error);
    // A link to nothing is as good as no file.
    if (followed.type() == std::filesystem::file_type::not_found) return JsonReadStatus::Missing;
    if (error) return JsonReadStatus::Unreadable;
    if (std::filesystem::is_symlink(own) && limits.confineLinks && !LinkStaysInFolder(path)) {
        return JsonReadStatus::LinkOutside;
    }
    if (!std::filesystem::is_regular_file(followed)) return JsonReadStatus::NotAFile;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) return JsonReadStatus::Unreadable;
    if (size > limits.maxBytes) return JsonReadStatus::TooLarge;
    return JsonReadStatus::Ok;
}

// Reads at most maxBytes; a file that has grown past the cap since it was measured is
// refused rather than read in part.
JsonReadStatus ReadBounded(const std::filesystem::path& path, std::uintmax_t maxBytes,
                           std::string* text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return JsonReadStatus::Unreadable;
    constexpr std::size_t kChunk = 64 * 1024;
    char chunk[kChunk];
    while (in) {
        in.read(chunk, kChunk);
        const auto got = static_cast<std::size_t>(in.gcount());
        if (text->size() + got > maxBytes) return JsonReadStatus::TooLarge;
        text->append(chunk, got);
    }
    if (in.bad()) return JsonReadStatus::Unreadable;
    return JsonReadStatus::Ok;
}

JsonReadResult Refused(JsonReadStatus status, const std::filesystem::path& path) {
    qCDebug(lcJsonFiles) << "readjsonFile:" << JsonReadStatusText(status) << ForTrace(path);
    return JsonReadResult{status, Json::Value()};
}

}  // namespace

const char* JsonReadStatusText(JsonReadStatus status) {
    switch (status) {
        case JsonReadStatus::Ok:
            return "read";
        case JsonReadStatus::Missing:
            return "the file does not exist";
        case JsonReadStatus::NotAFile:
            return "not a regular file";
        case JsonReadStatus::LinkOutside:
            return "a symbolic link that leads out of its folder";
        case JsonReadStatus::Unreadable:
            return "the file cannot be read";
        case JsonReadStatus::TooLarge:
            return "the file is larger than a file of its kind may be";
        case JsonReadStatus::Empty:
            return "the file is empty";
        case JsonReadStatus::NotJson:
            return "the file is not valid JSON";
    }
    return "the file cannot be read";
}

JsonReadResult JsonFileIO::ReadJson(const std::filesystem::path& path,
                                    const JsonReadLimits& limits) {
    if (path.empty()) return JsonReadResult{JsonReadStatus::Missing, Json::Value()};
    const JsonReadStatus entry = CheckEntry(path, limits);
    if (entry != JsonReadStatus::Ok) return Refused(entry, path);
    std::string text;
    const JsonReadStatus read = ReadBounded(path, limits.maxBytes, &text);
    if (read != JsonReadStatus::Ok) return Refused(read, path);
    if (text.empty()) return Refused(JsonReadStatus::Empty, path);

    text = ToValidUtf8(text);
    const JsonTextShape shape = ScanJsonText(&text, limits.maxTokens, kNestingLimit);
    if (shape.tokens > limits.maxTokens) return Refused(JsonReadStatus::TooLarge, path);
    if (shape.maxDepth > kNestingLimit) return Refused(JsonReadStatus::NotJson, path);

    Json::CharReaderBuilder builder;
    builder["allowComments"] = true;
    builder["stackLimit"] = static_cast<Json::UInt>(kNestingLimit);
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    JsonReadResult result{JsonReadStatus::Ok, Json::Value()};
    std::string errors;
    try {
        if (!reader->parse(text.data(), text.data() + text.size(), &result.document, &errors)) {
            qCDebug(lcJsonFiles) << "readjsonFile: not JSON:" << ForTrace(path)
                                 << QString::fromStdString(errors);
            return JsonReadResult{JsonReadStatus::NotJson, Json::Value()};
        }
    } catch (const std::exception& error) {
        qCDebug(lcJsonFiles) << "readjsonFile: refused:" << ForTrace(path) << error.what();
        return JsonReadResult{JsonReadStatus::NotJson, Json::Value()};
    }
    return result;
}

Json::Value JsonFileIO::ReadJsonFile(const std::filesystem::path& path, std::uintmax_t maxBytes) {
    JsonReadLimits limits = kProfileFileLimits;
    if (maxBytes < limits.maxBytes) limits.maxBytes = maxBytes;
    return ReadJson(path, limits).document;
}

WriteOutcome JsonFileIO::WriteJson(const std::filesystem::path& path, const Json::Value& document) {
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "   ";
    builder["emitUTF8"] = true;
    builder["commentStyle"] = "None";
    std::string text = Json::writeString(builder, document);
    text += '\n';
    WriteOutcome outcome = WriteFileAtomically(path, text);
    if (!outcome) {
        qCDebug(lcJsonFiles) << "writejsonFile: failed:" << ForTrace(path)
                             << QString::fromStdString(outcome.reason);
    } else if (!outcome.reason.empty()) {
        qCDebug(lcJsonFiles) << "writejsonFile:" << ForTrace(path)
                             << QString::fromStdString(outcome.reason);
    }
    return outcome;
}

bool JsonFileIO::WriteJsonFile(const std::filesystem::path& path, const Json::Value& document) {
    return WriteJson(path, document).ok;
}

std::string JsonFileIO::MakeTimeStampName() {
    static std::mutex mutex;
    static qint64 lastIssued = 0;
    qint64 now = QDateTime::currentMSecsSinceEpoch();
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (now <= lastIssued) now = lastIssued + 1;
        lastIssued = now;
    }
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(now);
    const QDate date = local.date();
    const QTime time = local.time();
    char buffer[200];
    std::snprintf(buffer, sizeof buffer, "%d_%02d_%02d_%02d_%02d_%02d_%03d", date.year(),
                  date.month(), date.day(), time.hour(), time.minute(), time.second(), time.msec());
    return buffer;
}

std::string JsonFileIO::FileTitle(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

}  // namespace rerov
