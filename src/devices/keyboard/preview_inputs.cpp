#include "devices/keyboard/preview_inputs.h"

#include <cstddef>

namespace rerov::keyboard {

namespace {

constexpr int kBitsPerByte = 8;
constexpr size_t kBytesPerWord = 4;

preview::Rgb RgbAt(const AudioLightSetting& setting, int first) {
    const auto& b = setting.bytes;
    return {b[static_cast<size_t>(first)], b[static_cast<size_t>(first) + 1],
            b[static_cast<size_t>(first) + 2]};
}

}  // namespace

preview::LightingInput LightingInputOf(const LightSetting& setting) {
    const auto& b = setting.bytes;
    preview::LightingInput input;
    input.mode = b[LightSetting::kMode];
    input.speed = b[LightSetting::kSpeed];
    input.brightness = b[LightSetting::kBrightness];
    input.direction = b[LightSetting::kDirection] != 0;
    input.multiColour = b[LightSetting::kMultiColor] != 0;
    input.colour = {b[LightSetting::kRed], b[LightSetting::kGreen], b[LightSetting::kBlue]};
    input.zzccLedMode = b[LightSetting::kZzccLedMode];
    return input;
}

AudioLightWords PackAudioLight(const AudioLightSetting& setting) {
    uint32_t words[3] = {0, 0, 0};
    for (size_t i = 0; i < setting.bytes.size(); ++i) {
        words[i / kBytesPerWord] |= uint32_t{setting.bytes[i]}
                                    << (kBitsPerByte * (i % kBytesPerWord));
    }
    return {words[0], words[1], words[2]};
}

AudioLightSetting UnpackAudioLight(const AudioLightWords& words) {
    const uint32_t packed[3] = {words.type, words.colour, words.option};
    AudioLightSetting setting;
    for (size_t i = 0; i < setting.bytes.size(); ++i) {
        setting.bytes[i] =
            static_cast<uint8_t>(packed[i / kBytesPerWord] >> (kBitsPerByte * (i % kBytesPerWord)));
    }
    return setting;
}

preview::AudioInput AudioInputOf(const AudioLightSetting& setting) {
    preview::AudioInput input;
    input.type = setting.bytes[AudioLightSetting::kMode];
    input.background = RgbAt(setting, AudioLightSetting::kBackground);
    input.foreground = RgbAt(setting, AudioLightSetting::kForeground);
    input.sevenColour = setting.bytes[AudioLightSetting::kSevenColour] != 0;
    return input;
}

}  // namespace rerov::keyboard
