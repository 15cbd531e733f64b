#include "profiles/keyboard_profile_data.h"

#include <array>

#include "profiles/half_word_fields.h"
#include "profiles/json_access.h"

namespace rerov {

using json::Member;

namespace {

// "SystemStages" members.
constexpr std::array<HalfWordField, 6> kKeyboardSystemFields{{
    {"Repeat", 0, false},
    {"RepeatDelay", 0, true},
    {"Key6Flag", 1, false},
    {"PollingRate", 1, true},
    {"WFlag", 2, false},
    {"WinFlag", 2, true},
}};

constexpr std::array<const char*, 4> kColorKeys{"Red", "Green", "Blue", "Alpha"};

}  // namespace

void CKeyboardProfiledata::WriteKeyboardSystem(const KeyboardSystemSettings& settings) {
    system_ = settings;
    Json::Value& section = json::WritableObject(WritableDocument(), "SystemStages");
    WriteHalfWordFields(section, kKeyboardSystemFields, settings.words);
}

KeyboardSystemSettings CKeyboardProfiledata::ReadKeyboardSystem() {
    KeyboardSystemSettings settings;
    const Json::Value& section = Section("SystemStages");
    if (section.isObject()) {
        ReadHalfWordFields(section, kKeyboardSystemFields, settings.words);
    }
    system_ = settings;
    return settings;
}

bool CKeyboardProfiledata::WriteKeyColors(const std::vector<KeyColor>& colors, int group) {
    if (group < 0 || group >= kMaxCustomGroups || colors.size() > kMaxKeysPerGroup) return false;
    keyColors_ = colors;
    Json::Value& target = GroupForWriting(group);
    for (std::size_t i = 0; i < colors.size(); ++i) {
        Json::Value& element = json::WritableObjectAt(target, static_cast<Json::ArrayIndex>(i));
        const std::array<std::uint8_t, 4> channels{colors[i].red, colors[i].green, colors[i].blue,
                                                   colors[i].alpha};
        for (std::size_t c = 0; c < kColorKeys.size(); ++c) {
            element[kColorKeys[c]] = Json::Value(static_cast<int>(channels[c]));
        }
    }
    return true;
}

std::vector<KeyColor> CKeyboardProfiledata::ReadKeyColors(int group, int count) {
    std::vector<KeyColor> colors;
    if (group < 0 || group >= kMaxCustomGroups || count <= 0 || count > kMaxKeysPerGroup) {
        keyColors_ = colors;
        return colors;
    }
    Json::Value& target = GroupForWriting(group);
    for (int i = 0; i < count; ++i) {
        Json::Value& element = json::ArrayElement(target, static_cast<Json::ArrayIndex>(i));
        KeyColor color;
        if (!element.isObject()) {
            element = Json::Value(Json::objectValue);
            for (const char* key : kColorKeys) element[key] = Json::Value(0);
        } else {
            color.red = json::ToU8(Member(element, "Red"));
            color.green = json::ToU8(Member(element, "Green"));
            color.blue = json::ToU8(Member(element, "Blue"));
            color.alpha = json::ToU8(Member(element, "Alpha"));
        }
        colors.push_back(color);
    }
    keyColors_ = colors;
    return colors;
}

void CKeyboardProfiledata::WriteCustomGroupIndex(int index) {
    customGroupIndex_ = index;
    json::WritableObject(WritableDocument(), "CustomLightMode")["CustomLightModeGroupIndex"] =
        Json::Value(index);
}

Json::Value& CKeyboardProfiledata::GroupForWriting(int group) {
    Json::Value& groups = json::WritableArray(
        json::WritableObject(WritableDocument(), "CustomLightMode"), "LightColorInfo");
    return json::WritableArrayAt(groups, static_cast<Json::ArrayIndex>(group));
}

int CKeyboardProfiledata::ReadCustomGroupIndex() {
    customGroupIndex_ =
        json::ToI32(Member(Section("CustomLightMode"), "CustomLightModeGroupIndex"));
    return customGroupIndex_;
}

}  // namespace rerov
