#pragma once
// Which groups of the lighting editor each effect mode of each device family uses: the
// family's start state with the row of the mode applied. Pure data and a look-up; the
// editor widget applies the result to its controls.

#include <optional>

namespace rerov::lighting {

/// Device kinds the mode layouts know (1 keyboard, 2 mouse, 3 mouse pad, 4 and 7 headset).
inline constexpr int kKindKeyboard = 1;
inline constexpr int kKindMouse = 2;
inline constexpr int kKindMousePad = 3;
inline constexpr int kKindHeadsetAlike = 4;
inline constexpr int kKindHeadset = 7;

/// Language keys of the two direction options.
struct DirectionTexts {
    const char* left = nullptr;   // "deng_FXL_check" (direction byte 1)
    const char* right = nullptr;  // "deng_FXR_check" (direction byte 0)
};

/// The state of the editor's groups for one mode. A field without a value is left as the
/// layout has it (the family's start state does not name it).
struct ModeLayout {
    bool effectEnabled = true;                 // "lighteffect_layout"
    bool sevenColourEnabled = false;           // "deng_7color_check"
    bool colourEnabled = false;                // "deng_color_layout"
    bool paletteEnabled = false;               // "colorpallet_layout"
    bool directionEnabled = false;             // "deng_fx_layout"
    bool brightnessEnabled = false;            // "deng_light_layout"
    bool speedEnabled = false;                 // "deng_speed_layout"
    std::optional<bool> speedVisible;          // "deng_speed_layout"
    std::optional<bool> customVisible;         // "lightcustom_layout"
    std::optional<bool> secondaryModeVisible;  // "light_combo_ZZCCmodeSelectLayout"
    std::optional<bool> lightColourEnabled;    // "light_color_layout"
    std::optional<bool> audioModeVisible;      // "light_combo_AudiomodeSelectLayout"
    std::optional<int> colourPage;             // "light_color_tablayout": 0 colours, 1 audio
    std::optional<bool> rgbEnabled;            // "deng_rgb_layout"
    bool sameModeVisible = false;              // "deng_same_mode"
    DirectionTexts direction;                  // null texts: left as they are
};

/// The layout of `mode` on a page of `kind`; `sameModeAllowed` is set while more than one
/// device is connected. Nothing (std::nullopt) for a kind without mode layouts: the editor's
/// controls stay as they are.
std::optional<ModeLayout> ResolveModeLayout(int kind, int mode, bool sameModeAllowed);

}  // namespace rerov::lighting
