#pragma once
// CLightControlUI: the lighting editor of a device page. It shows the page's lighting record
// (mode, brightness, speed, direction, seven-colour cycling, colour, the keyboard's secondary
// mode and custom group) and its audio-light record, reads values back, and lays its groups
// out for the selected mode and device family. It owns no device traffic: the main window
// turns each user change into one field change and hands the record to the page.

#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "controls/option_ui.h"
#include "profiles/profile_records.h"

class QComboBox;
class QAbstractButton;
class QAbstractSlider;
class QLineEdit;

namespace rerov::ui {
class CColorPaletteUI;
class CControlUI;
}  // namespace rerov::ui

namespace rerov::lighting {

/// The layout the editor builds into itself.
inline constexpr const char* kLightControlLayout = "XML\\CustomControlXML\\LightControl.xml";
/// The name device pages give their editor.
inline constexpr const char* kLightControlName = "LightControlItem";
/// Number of preset swatches "color_option_0" to "color_option_12".
inline constexpr int kSwatchCount = 13;
/// The colour a getter gives when its control is missing.
inline constexpr quint32 kNoColour = 0xFF000000u;

/// The colour channels of the edits.
enum class Channel { Red = 0, Green = 1, Blue = 2 };

/// The value an RGB edit holds as a channel: a number above 255 is 255, an empty edit 0.
/// False for text that is no whole number at or above 0 (the edit must be corrected).
bool ParseChannelText(const QString& text, int* value);

/// 0xFFRRGGBB of three channels.
constexpr quint32 Argb(int red, int green, int blue) {
    return 0xFF000000u | (quint32(red & 0xFF) << 16) | (quint32(green & 0xFF) << 8) |
           quint32(blue & 0xFF);
}

class CLightControlUI : public ui::CHorizontalLayoutUI {
    Q_OBJECT
  public:
    explicit CLightControlUI(QWidget* parent = nullptr);
    QString GetClass() const override { return QStringLiteral("LightControl"); }

    /// Builds the editor's layout into it; false (with *error) when it cannot be built.
    bool BuildContent(QString* error = nullptr);

    /// The DeviceKind of the page (1 keyboard, 2 mouse, 3 mouse pad, 7 headset).
    void SetDeviceKind(int kind) { kind_ = kind; }
    int DeviceKind() const { return kind_; }

    /// Replaces the mode items: one per name (a language key), offered when its flag is
    /// non-zero; sets the maximum of the brightness and speed sliders.
    void InitModes(const std::vector<std::string>& names, const std::vector<int>& visible,
                   int maxBrightness, int maxSpeed);
    /// Shows a lighting record (bytes 12 and 13 are not shown) and lays the editor out for
    /// its mode.
    void ShowLightSetting(const LightSetting& setting);

    /// Mode, custom group and secondary mode combos; -1 without a selection or combo.
    void SelectMode(int index);
    int SelectedMode() const;
    void SelectCustomGroup(int index);
    int SelectedCustomGroup() const;
    void SelectSecondaryMode(int index);
    int SelectedSecondaryMode() const;

    /// Brightness and speed sliders (0 when missing).
    void SetBrightness(int value);
    int Brightness() const;
    void SetSpeed(int value);
    int Speed() const;

    /// The RGB edits ("" when missing).
    void SetEditText(Channel channel, const QString& text);
    QString EditText(Channel channel) const;
    /// The palette colour; also shown by "deng_colordp_btn".
    void SetPaletteColor(quint32 argb);
    quint32 PaletteColor() const;
    /// Shows a colour in the edits, the palette and the colour button at once.
    void ShowColour(int red, int green, int blue);

    /// The first swatch 0..12 with exactly this colour; 0 when none has it (or one is
    /// missing), the same answer as swatch 0.
    int FindColorOption(int red, int green, int blue) const;
    /// The colour of swatch `n`, 0 when missing.
    quint32 SwatchColor(int n) const;

    /// "deng_7color_check".
    void SetSevenColour(bool on);
    bool SevenColour() const;
    /// Direction: non-zero selects "deng_FXL_check", zero "deng_FXR_check"; silently.
    void SetDirection(int flag);
    /// 1 while "deng_FXL_check" is selected, 0 otherwise.
    int Direction() const;

    /// Stores whether "deng_same_mode" may show and lays the editor out again.
    void SetSameModeAllowed(bool allowed);
    bool SameModeAllowed() const { return sameModeAllowed_; }
    /// Lays the groups out for `mode` of `kind` (see light_mode_layout.h).
    void ApplyModeLayout(int kind, int mode);

    /// Shows an audio-light record: its mode, the edited colour (foreground when
    /// "ColorTypeFlags" is set, else background) in the audio edits, palette and button.
    void ShowAudioLightSetting(const AudioLightSetting& setting);
    /// The audio-light record as the controls hold it: mode, seven-colour flag, which colour
    /// is edited; with `takeColour` the audio button's colour becomes the edited colour.
    AudioLightSetting ReadAudioLightSetting(bool takeColour);
    /// The audio swatch `n` colour (0 when missing), the audio palette colour
    /// (0xFF000000 when missing) and the text of audio edit `channel`.
    quint32 AudioSwatchColor(int n) const;
    quint32 AudioPaletteColor() const;
    QString AudioEditText(Channel channel) const;
    /// Shows a colour in the audio edits, palette and button.
    void ShowAudioColour(int red, int green, int blue);

    /// The control named `name` inside the editor, or null.
    QWidget* Control(const QString& name) const;

  private:
    template <typename T>
    T* Find(const char* name) const;
    QLineEdit* Edit(Channel channel) const;
    QLineEdit* AudioEdit(Channel channel) const;
    void SetEnabled(const char* name, bool enabled);
    void SetShown(const char* name, bool shown);
    void DimDisabledColours();

    int kind_ = 0;
    bool sameModeAllowed_ = false;
    AudioLightSetting audio_;
    QWidget* content_ = nullptr;
};

}  // namespace rerov::lighting
