#include "devices/keyboard/keyboard_device.h"

// The keyboard's lighting preview: what the object hands its animation runner, and the
// runner's colours back into the light colour list.

#include <algorithm>

#include "devices/keyboard/preview_inputs.h"

namespace rerov {

void CZidiraKeyboardDevice::StartAnimation() { runner_.Start(); }

void CZidiraKeyboardDevice::StopAnimation() { runner_.Stop(); }

void CZidiraKeyboardDevice::SetPreviewVisible(bool visible) {
    CZidiraUSBDevice::SetPreviewVisible(visible);
    runner_.SetVisible(visible);
}

preview::LightingInput CZidiraKeyboardDevice::PreviewLighting() const {
    return keyboard::LightingInputOf(GetLightSetting());
}

std::vector<uint32_t> CZidiraKeyboardDevice::CustomGroupColours() {
    const std::vector<KeyColor> stored =
        profile_.ReadKeyColors(profile_.ReadCustomGroupIndex(), LightCount());
    std::vector<uint32_t> colours;
    colours.reserve(stored.size());
    for (const KeyColor& c : stored) {
        colours.push_back(keyboard::ColourWord(c.red, c.green, c.blue, c.alpha));
    }
    return colours;
}

void CZidiraKeyboardDevice::PublishPreviewColours(
    const std::array<uint32_t, preview::kLightSlots>& colours) {
    const int lights = std::min(LightCount(), preview::kLightSlots);
    for (int light = 0; light < lights; ++light) {
        SetLightColor(light, colours[static_cast<size_t>(light)]);
    }
}

void CZidiraKeyboardDevice::SetLightSetting(const LightSetting& setting) {
    const int previousMode = GetLightSetting().bytes[LightSetting::kMode];
    CZidiraUSBDevice::SetLightSetting(setting);
    const preview::LightingInput lighting = keyboard::LightingInputOf(setting);
    // A new mode starts from its beginning, as on the device.
    if (lighting.mode != previousMode) {
        runner_.ModeChanged(lighting);
    } else {
        runner_.SetLighting(lighting);
    }
}

void CZidiraKeyboardDevice::SetAudioLightSetting(uint32_t type, uint32_t colour, uint32_t option) {
    CZidiraUSBDevice::SetAudioLightSetting(type, colour, option);
    runner_.SetAudio(keyboard::AudioInputOf(keyboard::UnpackAudioLight({type, colour, option})));
}

void CZidiraKeyboardDevice::OnAudioSpectrum(const uint8_t* data, size_t length) {
    runner_.AudioSpectrum(data, length);
}

void CZidiraKeyboardDevice::OnAudioLevels(const uint32_t* data, size_t count) {
    runner_.SetAudioLevels(data, count);
}

void CZidiraKeyboardDevice::ReactiveKeyStep(int, int key, int action) {
    runner_.KeyEvent(key, action);
}

void CZidiraKeyboardDevice::OnModeChanged(int) { runner_.ModeChanged(PreviewLighting()); }

}  // namespace rerov
