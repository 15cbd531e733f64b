#include "shell/audio/audio_style_set.h"

#include <algorithm>

#include "shell/ipc/audio_records.h"

namespace rerov::audio {
namespace {

constexpr const char* kSelectedKey = "nAudioStyle";
constexpr const char* kNameKeys[kAudioStyleCount] = {"nStyleName1", "nStyleName2", "nStyleName3",
                                                     "nStyleName4"};
constexpr const char* kLevelKeys[kAudioStyleCount][3] = {{"nStyleR0", "nStyleG0", "nStyleB0"},
                                                         {"nStyleR1", "nStyleG1", "nStyleB1"},
                                                         {"nStyleR2", "nStyleG2", "nStyleB2"},
                                                         {"nStyleR3", "nStyleG3", "nStyleB3"}};
constexpr const char* kDefaultNames[kAudioStyleCount] = {"第一组", "第二组", "第三组", "第四组"};

// A whole number member clamped to 0..max; anything else (missing, text, fraction) is 0.
int ClampedMember(const Json::Value& object, const char* key, int max) {
    const Json::Value& value = object[key];
    if (!value.isIntegral()) return 0;
    if (value.isInt64()) {
        return static_cast<int>(std::clamp<Json::Int64>(value.asInt64(), 0, max));
    }
    return max;  // a whole number above the signed 64-bit range
}

}  // namespace

std::string DefaultStyleName(int style) {
    if (style < 0 || style >= kAudioStyleCount) return {};
    return kDefaultNames[style];
}

AudioStyleSet StyleSetFromJson(const Json::Value& audioLightInfo) {
    AudioStyleSet styles;
    if (!audioLightInfo.isObject()) return styles;
    styles.selected = ClampedMember(audioLightInfo, kSelectedKey, kAudioStyleCount - 1);
    for (int style = 0; style < kAudioStyleCount; ++style) {
        const Json::Value& name = audioLightInfo[kNameKeys[style]];
        if (name.isString()) styles.names[size_t(style)] = name.asString();
        for (int channel = 0; channel < 3; ++channel) {
            styles.levels[size_t(style)][size_t(channel)] =
                ClampedMember(audioLightInfo, kLevelKeys[style][channel], kAudioLevelMax);
        }
    }
    return styles;
}

Json::Value StyleSetToJson(const AudioStyleSet& styles, Json::Value audioLightInfo) {
    if (!audioLightInfo.isObject()) audioLightInfo = Json::Value(Json::objectValue);
    audioLightInfo[kSelectedKey] = std::clamp(styles.selected, 0, kAudioStyleCount - 1);
    for (int style = 0; style < kAudioStyleCount; ++style) {
        audioLightInfo[kNameKeys[style]] = styles.names[size_t(style)];
        for (int channel = 0; channel < 3; ++channel) {
            audioLightInfo[kLevelKeys[style][channel]] =
                std::clamp(styles.levels[size_t(style)][size_t(channel)], 0, kAudioLevelMax);
        }
    }
    return audioLightInfo;
}

std::vector<int32_t> StyleColourValues(const AudioStyleSet& styles) {
    std::vector<int32_t> values(size_t(ipc::kAudioStyleValues), 0);
    const auto& rgb = styles.levels[size_t(std::clamp(styles.selected, 0, kAudioStyleCount - 1))];
    values[0] = rgb[0];
    values[1] = rgb[1] == 0 ? 1 : rgb[1];
    values[2] = rgb[2];
    return values;
}

}  // namespace rerov::audio
