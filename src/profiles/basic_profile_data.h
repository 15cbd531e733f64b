#pragma once

#include <json/value.h>

#include <filesystem>
#include <vector>

#include "profiles/profile_records.h"

namespace rerov {

/// Whether `root` has the shape of a stored profile: an object whose "Device", when present,
/// is an array of device elements that are objects (or null, an unused slot). Sections inside
/// an element need no check: readers take a section of another shape as missing and writers
/// replace it.
bool IsProfileDocument(const Json::Value& root);

/// Profile data of one device page: the loaded profile document, its typed sections and the
/// light configuration. Readers never fail (missing or oddly shaped data reads as defaults);
/// writers change only the in-memory document until a save operation writes the file.
/// Not thread-safe: owned and used by one thread.
class CBasicProfiledata {
  public:
    CBasicProfiledata() = default;
    virtual ~CBasicProfiledata() = default;
    CBasicProfiledata(const CBasicProfiledata&) = delete;
    CBasicProfiledata& operator=(const CBasicProfiledata&) = delete;

    /// Writes the profile document into the profile file (read-modify-write). False on failure.
    virtual bool Save();
    /// Replaces element DeviceSlot of the file's "Device" array with the document and writes
    /// the file back, keeping its other top-level members. False when the write fails.
    virtual bool SaveProfileTo(const Json::Value& document, const std::filesystem::path& path);
    /// SaveProfileTo with the secondary document.
    virtual bool SaveSecondaryTo(const std::filesystem::path& path);
    /// Writes a whole document to the path. False when the write fails.
    virtual bool WriteDocument(const Json::Value& document, const std::filesystem::path& path);

    /// Sets the profile file that Save writes; an empty path is ignored.
    void SetProfilePath(const std::filesystem::path& path);
    /// The profile file that Save writes.
    std::filesystem::path GetProfilePath() const { return profilePath_; }
    /// Sets the factory default profile file; an empty path is ignored.
    void SetDefaultPath(const std::filesystem::path& path);
    /// The factory default profile file.
    std::filesystem::path GetDefaultPath() const { return defaultPath_; }
    /// Sets the light configuration file; its folder is also where effect files are found.
    void SetLightConfigPath(const std::filesystem::path& path) { lightConfigPath_ = path; }
    /// The light configuration file.
    std::filesystem::path GetLightConfigPath() const { return lightConfigPath_; }
    /// Selects the element of the "Device" array that this object reads and writes.
    void SetDeviceSlot(int slot) { deviceSlot_ = slot; }
    /// The selected element of the "Device" array.
    int GetDeviceSlot() const { return deviceSlot_; }

    /// Loads the profile document from the file. When the file is missing, malformed or has
    /// no usable device element, the default file's element is taken and the profile file is
    /// rewritten with it (other top-level members kept). Returns a copy of the document.
    Json::Value LoadProfile(const std::filesystem::path& path);
    /// The same for the secondary document.
    Json::Value LoadSecondaryProfile(const std::filesystem::path& path);
    /// Reads the light configuration file; returns a copy (null when unreadable).
    Json::Value LoadLightConfig(const std::filesystem::path& path);

    /// "LightInfo" as a LightSetting (all zero when absent); becomes the current light.
    LightSetting ReadLightInfo();
    /// Replaces "LightInfo" and the current light.
    void WriteLightInfo(const LightSetting& light);
    /// "AudioLightInfo" (all zero when absent); becomes the audio light.
    AudioLightSetting ReadAudioLightInfo();
    /// Replaces "AudioLightInfo" and the audio light.
    void WriteAudioLightInfo(const AudioLightSetting& light);
    /// "LightList" (empty when absent); null elements give entries with valid = 0.
    std::vector<LightSetting> ReadLightList();
    /// Steps of the custom effect selected by the current light mode, read from the effect
    /// file beside the light configuration; empty when anything is missing or unsafe.
    std::vector<LedEffectStep> ReadCustomEffect();
    /// "KeyList" of the profile document (empty when absent).
    std::vector<KeyEntry> ReadKeyList();
    /// "KeyList" of the secondary document.
    std::vector<KeyEntry> ReadSecondaryKeyList();
    /// Writes the current assignments into "KeyList" ("DefaultAssignment" is never written;
    /// elements past the list are left as they are).
    void WriteKeyList(const std::vector<KeyEntry>& keys);
    /// The same for the secondary document.
    void WriteSecondaryKeyList(const std::vector<KeyEntry>& keys);

    /// The loaded profile document.
    const Json::Value& Document() const { return document_; }
    /// The loaded secondary document.
    const Json::Value& SecondaryDocument() const { return secondaryDocument_; }
    /// The loaded light configuration.
    const Json::Value& LightConfig() const { return lightConfig_; }
    /// Last "LightInfo" read or written.
    const LightSetting& CurrentLight() const { return currentLight_; }
    /// Last "AudioLightInfo" read or written.
    const AudioLightSetting& AudioLight() const { return audioLight_; }
    /// Last "LightList" read.
    const std::vector<LightSetting>& LightList() const { return lightList_; }
    /// Last custom effect read.
    const std::vector<LedEffectStep>& EffectSteps() const { return effectSteps_; }
    /// Last "KeyList" read from the profile document.
    const std::vector<KeyEntry>& KeyList() const { return keyList_; }

  protected:
    /// The profile document as an object, for writers (a null document becomes an object).
    Json::Value& WritableDocument();

    /// Section `key` of the profile document, or null.
    const Json::Value& Section(const char* key) const;

  private:
    Json::Value LoadInto(const std::filesystem::path& path, Json::Value* target);
    static std::vector<KeyEntry> KeysFrom(const Json::Value& document);
    static void KeysInto(const std::vector<KeyEntry>& keys, Json::Value* document);
    const Json::Value& SlotOf(const Json::Value& root) const;

    std::filesystem::path profilePath_;
    std::filesystem::path defaultPath_;
    int firstCustomMode_ = 0;
    LightSetting currentLight_;
    LightSetting defaultLight_;
    AudioLightSetting audioLight_;
    std::vector<LightSetting> lightList_;
    Json::Value document_;
    Json::Value secondaryDocument_;
    std::filesystem::path lightConfigPath_;
    std::vector<LedEffectStep> effectSteps_;
    Json::Value lightConfig_;
    std::vector<KeyEntry> keyList_;
    std::vector<KeyEntry> secondaryKeyList_;
    int deviceSlot_ = 0;
};

}  // namespace rerov
