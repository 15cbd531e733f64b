#pragma once
// AudioStyleStore: "AudioFile.json", the file of the user's audio styles. The working copy
// lives in the product's user folder, the factory copy in DefaultData. The store keeps the
// file's "Device" object as read, so members other than "AudioLightInfo" pass through every
// save unchanged. A file that is malformed or missing is replaced by the factory copy;
// nothing read from either file can end the program. UI thread.

#include <json/value.h>

#include <filesystem>

#include "shell/audio/audio_style_set.h"

namespace rerov::audio {

inline constexpr const char* kAudioStyleFileName = "AudioFile.json";

class AudioStyleStore {
  public:
    AudioStyleStore(std::filesystem::path workingFile, std::filesystem::path defaultFile);
    /// The program's files: the product user folder's and DefaultData's "AudioFile.json".
    static AudioStyleStore ForProgram();

    /// Reads the working file; when it is missing, empty or malformed, the factory file
    /// becomes the working file. False when neither gave a style set (the set is then
    /// empty: style 0, no names, every level 0).
    bool Load();
    /// Takes `styles` as the set, writes it into "Device"/"AudioLightInfo" and saves the
    /// working file (atomically). False when the file could not be written; the set in
    /// memory is the new one either way.
    bool Save(const AudioStyleSet& styles);
    /// Replaces the working file with the factory file and reloads the set from it. False
    /// (nothing changed) when the factory file cannot be read or the working one written.
    bool Reset();

    const AudioStyleSet& Styles() const { return styles_; }
    const Json::Value& Device() const { return device_; }
    const std::filesystem::path& WorkingFile() const { return workingFile_; }

  private:
    // The factory document, or null when it cannot be used.
    Json::Value ReadDefault() const;
    void Take(const Json::Value& document);

    std::filesystem::path workingFile_;
    std::filesystem::path defaultFile_;
    Json::Value device_{Json::objectValue};
    AudioStyleSet styles_;
};

}  // namespace rerov::audio
