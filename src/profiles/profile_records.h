#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Plain records that carry profile data between the profile classes and the device pages.
namespace rerov {

/// One lighting setting: 14 one-byte fields (see the field constants).
struct LightSetting {
    std::array<std::uint8_t, 14> bytes{};

    static constexpr int kMode = 0;
    static constexpr int kBrightness = 1;
    static constexpr int kSpeed = 2;
    static constexpr int kDirection = 3;
    static constexpr int kMultiColor = 4;
    static constexpr int kRed = 5;
    static constexpr int kGreen = 6;
    static constexpr int kBlue = 7;
    static constexpr int kValid = 10;  // list entries only
    static constexpr int kZzccLedMode = 11;
    static constexpr int kCustomGroup = 12;
    static constexpr int kOldLedMode = 13;

    bool operator==(const LightSetting&) const = default;
};

/// Audio-reactive lighting: mode, background RGB, foreground RGB, seven-colour flag,
/// colour-type flag (which colour is edited).
struct AudioLightSetting {
    std::array<std::uint8_t, 9> bytes{};

    static constexpr int kMode = 0;
    static constexpr int kBackground = 1;  // red, green, blue at 1, 2, 3
    static constexpr int kForeground = 4;  // red, green, blue at 4, 5, 6
    static constexpr int kSevenColour = 7;
    static constexpr int kColourType = 8;  // 1: the foreground is edited

    bool operator==(const AudioLightSetting&) const = default;
};

/// One step of a custom light effect.
struct LedEffectStep {
    std::uint8_t mode = 0;
    std::uint8_t brightness = 0;
    std::uint8_t speed = 0;
    std::uint8_t direction = 0;
    std::uint8_t multiColor = 0;
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::array<std::uint8_t, 8> reserved{};
    std::int32_t time = 0;   // milliseconds the step is shown
    std::int32_t cycle = 0;  // repeat count
    bool operator==(const LedEffectStep&) const = default;
};

/// The 6-byte assignment of one key: index, type, value, code and a reserved byte.
struct KeyAssignment {
    std::uint16_t keyIndex = 0;
    std::uint8_t type = 0;
    std::uint8_t value = 0;
    std::uint8_t code = 0;
    std::uint8_t reserved = 0;

    /// The profile's integer form: type in bits 16-23, value in 8-15, code in 0-7.
    std::uint32_t Packed() const {
        return (std::uint32_t{type} << 16) | (std::uint32_t{value} << 8) | code;
    }
    bool operator==(const KeyAssignment&) const = default;
};

/// Current and default assignment of one key.
struct KeyEntry {
    KeyAssignment current;
    KeyAssignment defaults;
    bool operator==(const KeyEntry&) const = default;
};

/// Per-key colour of a custom light group.
struct KeyColor {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = 0;
    bool operator==(const KeyColor&) const = default;
};

/// One mouse resolution stage.
struct DpiStage {
    std::uint8_t active = 0;
    std::uint8_t axisMode = 0;
    std::uint16_t x = 0;
    std::uint16_t y = 0;
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const DpiStage&) const = default;
};

/// A mouse angle-correction preset.
struct CorrectPreset {
    std::uint8_t pixelThreshold = 0;
    std::uint8_t minimum = 0;
    std::uint8_t selection = 0;
    std::string name;  // UTF-8
    bool operator==(const CorrectPreset&) const = default;
};

/// Keyboard system settings as three 32-bit words, first value in the low half:
/// (Repeat, RepeatDelay), (Key6Flag, PollingRate), (WFlag, WinFlag).
struct KeyboardSystemSettings {
    std::array<std::uint32_t, 3> words{};
    bool operator==(const KeyboardSystemSettings&) const = default;
};

/// Mouse system settings as three words: (DoubleClickTime, MouseSpeed),
/// (PointerPrecision, ScorllPage), (WheelScorlllinse, report-rate stage).
struct MouseSystemSettings {
    std::array<std::uint32_t, 3> words{};
    bool operator==(const MouseSystemSettings&) const = default;
};

/// Headset settings: MagicEnable, MagicType, EqType, CustomEqSeletIndex, MicInSelect,
/// MicInValue, MicMoniterSelect, MicMoniterValue.
struct HeadsetSystemSettings {
    std::array<std::int32_t, 8> values{};
    bool operator==(const HeadsetSystemSettings&) const = default;
};

/// Packs two 16-bit values into one word, the first in the low half.
constexpr std::uint32_t PackHalves(std::uint16_t low, std::uint16_t high) {
    return (std::uint32_t{high} << 16) | low;
}
constexpr std::uint16_t LowHalf(std::uint32_t word) { return static_cast<std::uint16_t>(word); }
constexpr std::uint16_t HighHalf(std::uint32_t word) {
    return static_cast<std::uint16_t>(word >> 16);
}

}  // namespace rerov
