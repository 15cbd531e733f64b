#include "json_file_io.h"

#include <json/reader.h>
#include <json/writer.h>

#include <QDateTime>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QString>
#include <cstdio>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <system_error>

namespace rerov {

std::string PathToUtf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::filesystem::path PathFromUtf8(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

namespace {

// Traces of unusable or unwritable files; off by default (QT_LOGGING_RULES="rerov.*=true").
Q_LOGGING_CATEGORY(lcJsonFiles, "rerov.profiles", QtInfoMsg)

QString ForTrace(const std::filesystem::path& path) {
    return QString::fromStdU16String(path.u16string());
}

bool ReadWholeFile(const std::filesystem::path& path, std::uintmax_t maxBytes, std::string* text) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size == 0 || size > maxBytes) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    text->resize(static_cast<std::size_t>(size));
    in.read(text->data(), static_cast<std::streamsize>(size));
    // Keep the text only when exactly the announced size was read.
    return static_cast<std::uintmax_t>(in.gcount()) == size;
}

}  // namespace

Json::Value JsonFileIO::ReadJsonFile(const std::filesystem::path& path, std::uintmax_t maxBytes) {
    std::string text;
    if (!ReadWholeFile(path, maxBytes, &text)) {
        qCDebug(lcJsonFiles) << "readjsonFile: missing, empty, unreadable or too large:"
                             << ForTrace(path);
        return Json::Value();
    }

    Json::CharReaderBuilder builder;
    builder["allowComments"] = true;
    builder["stackLimit"] = 256;  // deeply nested hostile files are refused, not recursed into
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string errors;
    try {
        if (!reader->parse(text.data(), text.data() + text.size(), &root, &errors)) {
            qCDebug(lcJsonFiles) << "readjsonFile: not JSON:" << ForTrace(path)
                                 << QString::fromStdString(errors);
            return Json::Value();
        }
    } catch (const std::exception& error) {
        qCDebug(lcJsonFiles) << "readjsonFile: refused:" << ForTrace(path) << error.what();
        return Json::Value();
    }
    return root;
}

bool JsonFileIO::WriteJsonFile(const std::filesystem::path& path, const Json::Value& document) {
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "   ";
    builder["emitUTF8"] = true;
    builder["commentStyle"] = "None";
    std::string text = Json::writeString(builder, document);
    text += '\n';

    // QSaveFile writes a temporary file beside the target and renames it on commit; on any
    // failure the temporary file is removed and the target keeps its previous content.
    QSaveFile file(ForTrace(path));
    if (!file.open(QIODevice::WriteOnly)) {
        qCDebug(lcJsonFiles) << "writejsonFile: cannot open:" << ForTrace(path)
                             << file.errorString();
        return false;
    }
    const qint64 written = file.write(text.data(), static_cast<qint64>(text.size()));
    if (written != static_cast<qint64>(text.size())) {
        qCDebug(lcJsonFiles) << "writejsonFile: write failed:" << ForTrace(path)
                             << file.errorString();
        file.cancelWriting();
        file.commit();
        return false;
    }
    if (!file.commit()) {
        qCDebug(lcJsonFiles) << "writejsonFile: commit failed:" << ForTrace(path)
                             << file.errorString();
        return false;
    }
    return true;
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
