#include "shell/settings/update_time_config.h"

#include "profiles/json_file_io.h"
#include "profiles/profile_folders.h"

namespace rerov::shell {
namespace {

constexpr char kFileName[] = "updatetime.config";
constexpr char kDateMember[] = "updatelasttime";
constexpr char kValueMember[] = "value";
// One date: anything larger is not this file.
constexpr JsonReadLimits kUpdateTimeLimits{64u * 1024u, 1024, false};

}  // namespace

std::filesystem::path UpdateTimeConfigPath() {
    const std::filesystem::path folder = ProductUserFolder();
    if (folder.empty()) return {};
    return folder / kFileName;
}

QString FormatCheckDate(const QDate& date) {
    return QStringLiteral("%1-%2-%3").arg(date.year()).arg(date.month()).arg(date.day());
}

StoredCheckDate ReadOrStampLastCheckDate(const std::filesystem::path& path, const QDate& today) {
    StoredCheckDate result;
    JsonReadResult read;
    if (!path.empty()) read = JsonFileIO::ReadJson(path, kUpdateTimeLimits);
    if (read.Ok() && read.document.isObject()) {
        const Json::Value& entry = read.document[kDateMember];
        if (entry.isObject() && entry[kValueMember].isString()) {
            result.date = QString::fromStdString(entry[kValueMember].asString());
            return result;
        }
    }
    // Missing, unreadable or not what this file holds: today's date becomes the stored one.
    result.date = FormatCheckDate(today);
    if (path.empty()) {
        result.error = QStringLiteral("no user folder is known");
        return result;
    }
    Json::Value document =
        read.Ok() && read.document.isObject() ? read.document : Json::Value(Json::objectValue);
    Json::Value entry(Json::objectValue);
    entry[kValueMember] = result.date.toStdString();
    document[kDateMember] = entry;
    const WriteOutcome outcome = JsonFileIO::WriteJson(path, document);
    if (outcome) {
        result.written = true;
    } else {
        result.error = QString::fromStdString(outcome.reason);
    }
    return result;
}

}  // namespace rerov::shell
