#include "shell/audio/audio_style_store.h"

#include <QLoggingCategory>

#include "profiles/json_file_io.h"
#include "profiles/profile_folders.h"

Q_LOGGING_CATEGORY(lcAudioStyles, "rerov.audio.styles", QtWarningMsg)

namespace rerov::audio {
namespace {

constexpr const char* kDeviceKey = "Device";
constexpr const char* kAudioLightInfoKey = "AudioLightInfo";

// A style file is a few hundred bytes; the list limits are generous for it.
constexpr JsonReadLimits kStyleFileLimits = kListFileLimits;

bool IsUsable(const JsonReadResult& read) { return read.Ok() && read.document.isObject(); }

// Whether the working file may be written over: it is missing, empty or not a style file
// at all. A file the program could not read (no permission, a folder, too large) is left
// alone.
bool MayReplace(const JsonReadResult& read) {
    return read.MayBeReplaced() || read.status == JsonReadStatus::NotJson ||
           (read.Ok() && !read.document.isObject());
}

std::string PathText(const std::filesystem::path& path) { return PathToUtf8(path); }

}  // namespace

AudioStyleStore::AudioStyleStore(std::filesystem::path workingFile,
                                 std::filesystem::path defaultFile)
    : workingFile_(std::move(workingFile)), defaultFile_(std::move(defaultFile)) {}

AudioStyleStore AudioStyleStore::ForProgram() {
    const std::filesystem::path user = ProductUserFolder();
    return AudioStyleStore(user.empty() ? std::filesystem::path() : user / kAudioStyleFileName,
                           DefaultDataFolder() / kAudioStyleFileName);
}

Json::Value AudioStyleStore::ReadDefault() const {
    const JsonReadResult read = JsonFileIO::ReadJson(defaultFile_, kOutsideFileLimits);
    if (IsUsable(read)) return read.document;
    qCWarning(lcAudioStyles, "the factory audio styles %s cannot be used: %s",
              PathText(defaultFile_).c_str(), JsonReadStatusText(read.status));
    return Json::Value();
}

void AudioStyleStore::Take(const Json::Value& document) {
    const Json::Value& device = document.isObject() ? document[kDeviceKey] : Json::Value::null;
    device_ = device.isObject() ? device : Json::Value(Json::objectValue);
    styles_ = StyleSetFromJson(device_[kAudioLightInfoKey]);
}

bool AudioStyleStore::Load() {
    const JsonReadResult working = workingFile_.empty()
                                       ? JsonReadResult{}
                                       : JsonFileIO::ReadJson(workingFile_, kStyleFileLimits);
    if (IsUsable(working)) {
        Take(working.document);
        return true;
    }
    const Json::Value factory = ReadDefault();
    Take(factory);
    if (factory.isNull()) return false;
    if (workingFile_.empty()) return true;
    if (!MayReplace(working)) {
        qCWarning(lcAudioStyles, "the audio styles %s cannot be read (%s); factory styles used",
                  PathText(workingFile_).c_str(), JsonReadStatusText(working.status));
        return true;
    }
    if (!JsonFileIO::WriteJsonFile(workingFile_, factory)) {
        qCWarning(lcAudioStyles, "the audio styles %s cannot be written",
                  PathText(workingFile_).c_str());
    }
    return true;
}

bool AudioStyleStore::Save(const AudioStyleSet& styles) {
    styles_ = styles;
    device_[kAudioLightInfoKey] = StyleSetToJson(styles, device_[kAudioLightInfoKey]);
    if (workingFile_.empty()) return false;
    const JsonReadResult working = JsonFileIO::ReadJson(workingFile_, kStyleFileLimits);
    Json::Value document;
    if (IsUsable(working)) {
        document = working.document;  // members beside "Device" stay
    } else if (MayReplace(working)) {
        document = Json::Value(Json::objectValue);
    } else {
        qCWarning(lcAudioStyles, "the audio styles %s cannot be read (%s); not saved",
                  PathText(workingFile_).c_str(), JsonReadStatusText(working.status));
        return false;
    }
    document[kDeviceKey] = device_;
    if (!JsonFileIO::WriteJsonFile(workingFile_, document)) {
        qCWarning(lcAudioStyles, "the audio styles %s cannot be written",
                  PathText(workingFile_).c_str());
        return false;
    }
    return true;
}

bool AudioStyleStore::Reset() {
    const Json::Value factory = ReadDefault();
    if (factory.isNull()) return false;
    if (!workingFile_.empty() && !JsonFileIO::WriteJsonFile(workingFile_, factory)) {
        qCWarning(lcAudioStyles, "the audio styles %s cannot be written",
                  PathText(workingFile_).c_str());
        return false;
    }
    Take(factory);
    return true;
}

}  // namespace rerov::audio
