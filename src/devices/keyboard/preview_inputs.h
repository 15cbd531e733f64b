#pragma once
// The keyboard's settings as its lighting preview reads them: the light setting as a
// LightingInput, and the audio light setting, which the page keeps as three words, as an
// AudioInput.

#include "devices/czidira_usb_device.h"
#include "devices/preview/preview_engine.h"
#include "profiles/profile_records.h"

namespace rerov::keyboard {

/// Mode, speed, brightness, direction, multi-colour flag, colour and "ZZCCLedMode".
preview::LightingInput LightingInputOf(const LightSetting& setting);

/// The nine bytes of the audio light setting laid into three little-endian words: bytes 0
/// to 3 (audio type, background red, green, blue) in `type`, bytes 4 to 7 (foreground red,
/// green, blue, seven-colour flag) in `colour`, byte 8 (the edited-colour flag) in `option`.
AudioLightWords PackAudioLight(const AudioLightSetting& setting);
AudioLightSetting UnpackAudioLight(const AudioLightWords& words);

/// Audio type, background, foreground and seven-colour flag.
preview::AudioInput AudioInputOf(const AudioLightSetting& setting);

}  // namespace rerov::keyboard
