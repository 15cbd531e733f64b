#include "profiles/ri6533_profile_data.h"

#include "profiles/json_access.h"

namespace rerov {

using json::Member;

namespace {

constexpr std::array<const char*, 8> kHeadsetSystemKeys{
    "MagicEnable", "MagicType",  "EqType",           "CustomEqSeletIndex",
    "MicInSelect", "MicInValue", "MicMoniterSelect", "MicMoniterValue"};

constexpr int kPresetCount = 12;

}  // namespace

void CRi6533Profiledata::WriteHeadsetSystem(const HeadsetSystemSettings& settings) {
    system_ = settings;
    Json::Value& section = json::WritableObject(WritableDocument(), "SystemSetStages");
    for (std::size_t i = 0; i < kHeadsetSystemKeys.size(); ++i) {
        section[kHeadsetSystemKeys[i]] = Json::Value(settings.values[i]);
    }
}

HeadsetSystemSettings CRi6533Profiledata::ReadHeadsetSystem() {
    HeadsetSystemSettings settings;
    const Json::Value& section = Section("SystemSetStages");
    if (section.isObject()) {
        for (std::size_t i = 0; i < kHeadsetSystemKeys.size(); ++i) {
            settings.values[i] = json::ToI32(Member(section, kHeadsetSystemKeys[i]));
        }
    }
    system_ = settings;
    return settings;
}

int CRi6533Profiledata::PresetForEqType(int eqType) {
    if (eqType == kCustomEqType) return -1;
    if (eqType <= 0 || eqType > kPresetCount + 1) return 1;
    return eqType;
}

void CRi6533Profiledata::WriteBands(const char* section, int index, const Bands& values) {
    Json::Value& list = json::WritableArray(WritableDocument(), section);
    Json::Value& bands = json::WritableArrayAt(list, static_cast<Json::ArrayIndex>(index));
    for (int b = 0; b < kBands; ++b) {
        json::WritableObjectAt(bands, static_cast<Json::ArrayIndex>(b))["value"] =
            Json::Value(values[static_cast<std::size_t>(b)]);
    }
}

std::vector<std::int32_t> CRi6533Profiledata::ReadBands(const char* section, int index) {
    std::vector<std::int32_t> values;
    const Json::Value& bands =
        json::Element(Section(section), static_cast<Json::ArrayIndex>(index));
    if (!bands.isArray()) {
        // A missing or unusable preset reads as zeros, which become part of the document.
        const Bands zeros{};
        WriteBands(section, index, zeros);
        return std::vector<std::int32_t>(zeros.begin(), zeros.end());
    }
    for (int b = 0; b < kBands; ++b) {
        values.push_back(
            json::ToI32(Member(json::Element(bands, static_cast<Json::ArrayIndex>(b)), "value")));
    }
    return values;
}

void CRi6533Profiledata::WriteEqPreset(int eqType, const Bands& values) {
    const int preset = PresetForEqType(eqType);
    if (preset > 0) WriteBands("EQHzValueInfo", preset, values);
}

std::vector<std::int32_t> CRi6533Profiledata::ReadEqPreset(int eqType) {
    const int preset = PresetForEqType(eqType);
    if (preset <= 0) return {};
    return ReadBands("EQHzValueInfo", preset);
}

void CRi6533Profiledata::WriteCustomEqNames(const std::vector<std::string>& names) {
    Json::Value list(Json::arrayValue);
    for (const std::string& name : names) {
        Json::Value element(Json::objectValue);
        element["Name"] = Json::Value(name);
        list.append(element);
    }
    WritableDocument()["CustomEQNameInfo"] = list;
}

std::vector<std::string> CRi6533Profiledata::ReadCustomEqNames() {
    std::vector<std::string> names;
    const Json::Value& list = Section("CustomEQNameInfo");
    if (list.isArray()) {
        for (const Json::Value& element : list) {
            names.push_back(json::ToString(Member(element, "Name")));
        }
    }
    return names;
}

bool CRi6533Profiledata::WriteCustomEq(int index, const Bands& values) {
    if (index < 0 || index >= kMaxCustomEqs) return false;
    WriteBands("CustomEQHzValueInfo", index, values);
    return true;
}

std::vector<std::int32_t> CRi6533Profiledata::ReadCustomEq(int index) {
    if (index < 0 || index >= kMaxCustomEqs) return {};
    return ReadBands("CustomEQHzValueInfo", index);
}

}  // namespace rerov
