#include "profiles/basic_profile_data.h"

#include <array>

#include "profiles/json_access.h"
#include "profiles/json_file_io.h"
#include "profiles/plain_file_name.h"

namespace rerov {

using json::Element;
using json::Member;

namespace {

constexpr int kMaxDeviceSlot = 15;

struct ByteField {
    const char* key;
    int index;
    bool flag;  // read with the boolean conversion
};

// "LightInfo": the eleven stored fields of a LightSetting.
constexpr std::array<ByteField, 11> kLightInfoFields{{
    {"SelectItem", LightSetting::kMode, false},
    {"Light", LightSetting::kBrightness, false},
    {"Speed", LightSetting::kSpeed, false},
    {"Fx", LightSetting::kDirection, false},
    {"MultiColor", LightSetting::kMultiColor, true},
    {"Red", LightSetting::kRed, false},
    {"Green", LightSetting::kGreen, false},
    {"Blue", LightSetting::kBlue, false},
    {"ZZCCLedMode", LightSetting::kZzccLedMode, false},
    {"CustomGroup", LightSetting::kCustomGroup, false},
    {"OldLedmode", LightSetting::kOldLedMode, false},
}};

// "LightList" elements fill bytes 0 to 7.
constexpr std::array<ByteField, 8> kLightListFields{{
    {"LEDREGMode", LightSetting::kMode, false},
    {"LEDBrightness", LightSetting::kBrightness, false},
    {"LEDSpeed", LightSetting::kSpeed, false},
    {"LEDDirection", LightSetting::kDirection, true},
    {"LEDMultiColor", LightSetting::kMultiColor, true},
    {"red", LightSetting::kRed, false},
    {"green", LightSetting::kGreen, false},
    {"blue", LightSetting::kBlue, false},
}};

// "AudioLightInfo" in the order of AudioLightSetting.
constexpr std::array<ByteField, 9> kAudioLightFields{{
    {"AudioMode", 0, false},
    {"BkColorR", 1, false},
    {"BkColorG", 2, false},
    {"BkColorB", 3, false},
    {"FgColorR", 4, false},
    {"FgColorG", 5, false},
    {"FgColorB", 6, false},
    {"7ColorFlags", 7, true},
    {"ColorTypeFlags", 8, true},
}};

std::uint8_t ReadByte(const Json::Value& object, const ByteField& field) {
    const Json::Value& value = Member(object, field.key);
    return field.flag ? json::ToFlag(value) : json::ToU8(value);
}

}  // namespace

bool IsProfileDocument(const Json::Value& root) {
    if (!root.isObject()) return false;
    const Json::Value& devices = Member(root, "Device");
    if (devices.isNull()) return true;
    if (!devices.isArray()) return false;
    for (const Json::Value& element : devices) {
        if (!element.isObject() && !element.isNull()) return false;
    }
    return true;
}

void CBasicProfiledata::SetProfilePath(const std::filesystem::path& path) {
    if (!path.empty()) profilePath_ = path;
}

void CBasicProfiledata::SetDefaultPath(const std::filesystem::path& path) {
    if (!path.empty()) defaultPath_ = path;
}

const Json::Value& CBasicProfiledata::SlotOf(const Json::Value& root) const {
    static const Json::Value kNull;
    if (deviceSlot_ < 0 || deviceSlot_ > kMaxDeviceSlot) return kNull;
    const Json::Value& slot =
        Element(Member(root, "Device"), static_cast<Json::ArrayIndex>(deviceSlot_));
    // A device element that is not an object cannot hold sections: treat it as missing.
    return slot.isObject() ? slot : kNull;
}

Json::Value CBasicProfiledata::LoadInto(const std::filesystem::path& path, Json::Value* target) {
    const JsonReadResult read = JsonFileIO::ReadJson(path);
    const Json::Value& root = read.document;
    Json::Value document = SlotOf(root);
    if (document.isNull()) {
        document = SlotOf(JsonFileIO::ReadJsonFile(defaultPath_));
        // Repair the profile file from the factory default, keeping its other members. The
        // default file itself is never rewritten: the factory folder is read only, and a file
        // that is there but could not be read is left alone.
        if (read.MayBeReplaced() && deviceSlot_ >= 0 && deviceSlot_ <= kMaxDeviceSlot &&
            !path.empty() && path != defaultPath_) {
            Json::Value repaired = root.isObject() ? root : Json::Value(Json::objectValue);
            json::ArrayElement(json::WritableArray(repaired, "Device"),
                               static_cast<Json::ArrayIndex>(deviceSlot_)) = document;
            JsonFileIO::WriteJsonFile(path, repaired);
        }
    }
    *target = document;
    return document;
}

Json::Value CBasicProfiledata::LoadProfile(const std::filesystem::path& path) {
    return LoadInto(path, &document_);
}

Json::Value CBasicProfiledata::LoadSecondaryProfile(const std::filesystem::path& path) {
    return LoadInto(path, &secondaryDocument_);
}

Json::Value CBasicProfiledata::LoadLightConfig(const std::filesystem::path& path) {
    lightConfig_ = JsonFileIO::ReadJsonFile(path);
    return lightConfig_;
}

bool CBasicProfiledata::WriteDocument(const Json::Value& document,
                                      const std::filesystem::path& path) {
    return JsonFileIO::WriteJsonFile(path, document);
}

bool CBasicProfiledata::SaveProfileTo(const Json::Value& document,
                                      const std::filesystem::path& path) {
    if (path.empty() || deviceSlot_ < 0 || deviceSlot_ > kMaxDeviceSlot) return false;
    JsonReadResult read = JsonFileIO::ReadJson(path);
    // Saving one device's slot must not replace a file that is there but could not be read.
    if (!read.MayBeReplaced()) return false;
    Json::Value root = std::move(read.document);
    json::ArrayElement(json::WritableArray(root, "Device"),
                       static_cast<Json::ArrayIndex>(deviceSlot_)) = document;
    return WriteDocument(root, path);
}

bool CBasicProfiledata::Save() { return SaveProfileTo(document_, profilePath_); }

bool CBasicProfiledata::SaveSecondaryTo(const std::filesystem::path& path) {
    return SaveProfileTo(secondaryDocument_, path);
}

Json::Value& CBasicProfiledata::WritableDocument() { return json::AsObject(document_); }

const Json::Value& CBasicProfiledata::Section(const char* key) const {
    return Member(document_, key);
}

LightSetting CBasicProfiledata::ReadLightInfo() {
    const Json::Value& info = Section("LightInfo");
    if (!info.isObject()) {
        currentLight_ = defaultLight_;
        return currentLight_;
    }
    LightSetting light;
    for (const ByteField& field : kLightInfoFields)
        light.bytes[field.index] = ReadByte(info, field);
    currentLight_ = light;
    return light;
}

void CBasicProfiledata::WriteLightInfo(const LightSetting& light) {
    currentLight_ = light;
    Json::Value info(Json::objectValue);
    for (const ByteField& field : kLightInfoFields) {
        info[field.key] = Json::Value(static_cast<int>(light.bytes[field.index]));
    }
    WritableDocument()["LightInfo"] = info;
}

AudioLightSetting CBasicProfiledata::ReadAudioLightInfo() {
    const Json::Value& info = Section("AudioLightInfo");
    AudioLightSetting light;
    if (info.isObject()) {
        for (const ByteField& field : kAudioLightFields) {
            light.bytes[field.index] = ReadByte(info, field);
        }
    }
    audioLight_ = light;
    return light;
}

void CBasicProfiledata::WriteAudioLightInfo(const AudioLightSetting& light) {
    audioLight_ = light;
    Json::Value info(Json::objectValue);
    for (const ByteField& field : kAudioLightFields) {
        info[field.key] = Json::Value(static_cast<int>(light.bytes[field.index]));
    }
    WritableDocument()["AudioLightInfo"] = info;
}

std::vector<LightSetting> CBasicProfiledata::ReadLightList() {
    const Json::Value& list = Section("LightList");
    std::vector<LightSetting> result;
    if (list.isArray()) {
        result.reserve(list.size());
        for (const Json::Value& element : list) {
            LightSetting light;
            if (element.isObject()) {
                for (const ByteField& field : kLightListFields) {
                    light.bytes[field.index] = ReadByte(element, field);
                }
                light.bytes[LightSetting::kValid] = 1;
            }
            result.push_back(light);
        }
    }
    lightList_ = result;
    return result;
}

std::vector<LedEffectStep> CBasicProfiledata::ReadCustomEffect() {
    std::vector<LedEffectStep> steps;
    const int index = currentLight_.bytes[LightSetting::kMode] - firstCustomMode_;
    const Json::Value& entry = (lightConfig_.isNull() || index < 0 || deviceSlot_ < 0)
                                   ? Json::Value::nullSingleton()
                                   : Element(Element(Member(lightConfig_, "LightInfo"),
                                                     static_cast<Json::ArrayIndex>(deviceSlot_)),
                                             static_cast<Json::ArrayIndex>(index));
    const std::string guid = json::ToString(Member(entry, "Guid"));
    // The effect file lies beside the light configuration; an unsafe or missing name, or a
    // configuration without a folder, never reaches the file system.
    const std::filesystem::path folder = lightConfigPath_.parent_path();
    if (IsPlainFileName(guid) && !folder.empty()) {
        const Json::Value effect = JsonFileIO::ReadJsonFile(folder / PathFromUtf8(guid + ".light"));
        const Json::Value& list = Member(effect, "LEDEffectList");
        if (list.isArray()) {
            for (const Json::Value& element : list) {
                LedEffectStep step;
                step.mode = json::ToU8(Member(element, "LEDREGMode"));
                step.brightness = json::ToU8(Member(element, "LEDBrightness"));
                step.speed = json::ToU8(Member(element, "LEDSpeed"));
                step.direction = json::ToU8(Member(element, "LEDDirection"));
                step.multiColor = json::ToU8(Member(element, "LEDMultiColor"));
                step.red = json::ToU8(Member(element, "red"));
                step.green = json::ToU8(Member(element, "green"));
                step.blue = json::ToU8(Member(element, "blue"));
                step.time = json::ToI32(Member(element, "Time"));
                step.cycle = json::ToI32(Member(element, "Cyle"));
                steps.push_back(step);
            }
        }
    }
    effectSteps_ = steps;
    return steps;
}

std::vector<KeyEntry> CBasicProfiledata::KeysFrom(const Json::Value& document) {
    std::vector<KeyEntry> keys;
    const Json::Value& list = Member(document, "KeyList");
    if (!list.isArray()) return keys;
    keys.reserve(list.size());
    const auto unpack = [](const Json::Value& packed, std::uint16_t index) {
        const auto bits = static_cast<std::uint32_t>(json::ToInt64(packed));
        KeyAssignment assignment;
        assignment.keyIndex = index;
        assignment.type = static_cast<std::uint8_t>(bits >> 16);
        assignment.value = static_cast<std::uint8_t>(bits >> 8);
        assignment.code = static_cast<std::uint8_t>(bits);
        return assignment;
    };
    for (Json::ArrayIndex i = 0; i < list.size(); ++i) {
        const auto index = static_cast<std::uint16_t>(i);
        keys.push_back({unpack(Member(list[i], "Assignment"), index),
                        unpack(Member(list[i], "DefaultAssignment"), index)});
    }
    return keys;
}

void CBasicProfiledata::KeysInto(const std::vector<KeyEntry>& keys, Json::Value* document) {
    Json::Value& list = json::WritableArray(*document, "KeyList");
    for (std::size_t i = 0; i < keys.size(); ++i) {
        Json::Value& element = json::WritableObjectAt(list, static_cast<Json::ArrayIndex>(i));
        element["Assignment"] = Json::Value(keys[i].current.Packed());
    }
}

std::vector<KeyEntry> CBasicProfiledata::ReadKeyList() {
    keyList_ = KeysFrom(document_);
    return keyList_;
}

std::vector<KeyEntry> CBasicProfiledata::ReadSecondaryKeyList() {
    secondaryKeyList_ = KeysFrom(secondaryDocument_);
    return secondaryKeyList_;
}

void CBasicProfiledata::WriteKeyList(const std::vector<KeyEntry>& keys) {
    KeysInto(keys, &document_);
    keyList_ = keys;
}

void CBasicProfiledata::WriteSecondaryKeyList(const std::vector<KeyEntry>& keys) {
    KeysInto(keys, &secondaryDocument_);
    secondaryKeyList_ = keys;
}

}  // namespace rerov
