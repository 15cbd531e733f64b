#pragma once
// The user's four audio styles: a name and a red, green and blue level (0 to 9) each, and
// which one is selected. The capture companion colours its levels with the selected one.
// Stored under "Device"/"AudioLightInfo" of "AudioFile.json"; plain data, no Qt.

#include <json/value.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace rerov::audio {

inline constexpr int kAudioStyleCount = 4;
inline constexpr int kAudioLevelMax = 9;

struct AudioStyleSet {
    int selected = 0;                                           // 0..3
    std::array<std::string, kAudioStyleCount> names;            // UTF-8
    std::array<std::array<int, 3>, kAudioStyleCount> levels{};  // red, green, blue: 0..9

    bool operator==(const AudioStyleSet&) const = default;
};

/// The name a style gets back when the user leaves it empty ("第一组" .. "第四组").
std::string DefaultStyleName(int style);

/// The style set of an "AudioLightInfo" object; members that are missing or of the wrong
/// type count as 0 or empty, levels are clamped to 0..9 and the selection to 0..3. Anything
/// but an object gives the empty set.
AudioStyleSet StyleSetFromJson(const Json::Value& audioLightInfo);

/// `audioLightInfo` with the set's members written into it; members it does not know stay.
Json::Value StyleSetToJson(const AudioStyleSet& styles, Json::Value audioLightInfo = {});

/// The style colour record: the selected style's red, green and blue level and seven zeros.
/// A green level of 0 is sent as 1, as the capture protocol has it.
std::vector<int32_t> StyleColourValues(const AudioStyleSet& styles);

}  // namespace rerov::audio
