#include "editors/lighting/light_control_ui.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QGraphicsOpacityEffect>
#include <QLineEdit>
#include <QListView>
#include <QLoggingCategory>

#include "controls/color_palette.h"
#include "controls/control_lookup.h"
#include "controls/language_texts.h"
#include "controls/layout_builder.h"
#include "controls/notify_bridge.h"
#include "editors/lighting/light_mode_layout.h"

namespace rerov::lighting {

Q_LOGGING_CATEGORY(lcLightControl, "rerov.lightcontrol", QtWarningMsg)

namespace {

constexpr int kMaxChannel = 255;
constexpr qreal kDisabledOpacity = 0.3;

constexpr const char* kModeCombo = "light_combo_modeSelect";
constexpr const char* kCustomCombo = "light_combo_custommodeSelect";
constexpr const char* kSecondaryCombo = "light_combo_ZZCCmodeSelect";
constexpr const char* kAudioModeCombo = "light_combo_audiomodeSelect";
constexpr const char* kBrightnessSlider = "deng_light_slider";
constexpr const char* kSpeedSlider = "deng_speed_slider";
constexpr const char* kLeftOption = "deng_FXL_check";
constexpr const char* kRightOption = "deng_FXR_check";
constexpr const char* kSevenColourCheck = "deng_7color_check";
constexpr const char* kPalette = "deng_Color_Pallet";
constexpr const char* kColourButton = "deng_colordp_btn";
constexpr const char* kSwatchPrefix = "color_option_";
constexpr const char* kSameMode = "deng_same_mode";
constexpr const char* kAudioPalette = "deng_audioColor_Pallet";
constexpr const char* kAudioColourButton = "deng_audiocolordp_btn";
constexpr const char* kAudioSwatchPrefix = "audiocolor_option_";
constexpr const char* kAudioBackground = "audio_BkColor_check";
constexpr const char* kAudioForeground = "audio_FgColor_check";
constexpr const char* kAudioSevenColour = "deng_7audiocolor_check";
constexpr const char* kColourTabs = "light_color_tablayout";
constexpr const char* kEditNames[] = {"deng_edit_R", "deng_edit_G", "deng_edit_B"};
constexpr const char* kAudioEditNames[] = {"deng_audioedit_R", "deng_audioedit_G",
                                           "deng_audioedit_B"};
// The audio mode whose picture has colours of its own: the colour groups rest.
constexpr int kAudioModeOwnColours = 3;

int Red(quint32 argb) { return int((argb >> 16) & 0xFF); }
int Green(quint32 argb) { return int((argb >> 8) & 0xFF); }
int Blue(quint32 argb) { return int(argb & 0xFF); }

void SelectSilently(QComboBox* combo, int index) {
    if (combo == nullptr) return;
    ui::SelectItemSilently(combo, index >= 0 && index < combo->count() ? index : -1);
}

}  // namespace

bool ParseChannelText(const QString& text, int* value) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        *value = 0;
        return true;
    }
    for (const QChar c : trimmed) {
        if (!c.isDigit()) return false;
    }
    // Long runs of digits are simply large: no overflow can make them small.
    bool ok = false;
    const qlonglong number = trimmed.size() > 9 ? kMaxChannel + 1 : trimmed.toLongLong(&ok);
    if (trimmed.size() <= 9 && !ok) return false;
    *value = number > kMaxChannel ? kMaxChannel : int(number);
    return true;
}

CLightControlUI::CLightControlUI(QWidget* parent) : ui::CHorizontalLayoutUI(parent) {}

bool CLightControlUI::BuildContent(QString* error) {
    if (content_ != nullptr) return true;
    ui::LayoutBuilder builder;
    content_ = builder.Create(QLatin1String(kLightControlLayout), nullptr, this);
    if (content_ == nullptr) {
        if (error != nullptr) *error = builder.ErrorString();
        return false;
    }
    Add(content_);
    // The edits take digits only; a value above 255 is still typed and then clamped.
    for (const char* const* names : {kEditNames, kAudioEditNames}) {
        for (int i = 0; i < 3; ++i) {
            if (auto* edit = Find<QLineEdit>(names[i])) edit->setMaxLength(3);
        }
    }
    return true;
}

QWidget* CLightControlUI::Control(const QString& name) const {
    return ui::FindSubControlByName(this, name);
}

template <typename T>
T* CLightControlUI::Find(const char* name) const {
    return qobject_cast<T*>(Control(QLatin1String(name)));
}

QLineEdit* CLightControlUI::Edit(Channel channel) const {
    return Find<QLineEdit>(kEditNames[int(channel)]);
}

QLineEdit* CLightControlUI::AudioEdit(Channel channel) const {
    return Find<QLineEdit>(kAudioEditNames[int(channel)]);
}

void CLightControlUI::SetEnabled(const char* name, bool enabled) {
    if (QWidget* control = Control(QLatin1String(name))) control->setEnabled(enabled);
}

void CLightControlUI::DimDisabledColours() {
    // Swatches and colour buttons paint their colour whatever their state; a veil shows
    // that the mode does not use them.
    for (const char* name : {"light_swatch_layout", "deng_colordp_btn", "audio_swatch_layout",
                             "deng_audiocolordp_btn"}) {
        QWidget* control = Control(QLatin1String(name));
        if (control == nullptr) continue;
        auto* veil = qobject_cast<QGraphicsOpacityEffect*>(control->graphicsEffect());
        if (veil == nullptr) {
            veil = new QGraphicsOpacityEffect(control);
            control->setGraphicsEffect(veil);
        }
        veil->setOpacity(kDisabledOpacity);
        veil->setEnabled(!control->isEnabled());
    }
}

void CLightControlUI::SetShown(const char* name, bool shown) {
    if (QWidget* control = Control(QLatin1String(name))) control->setVisible(shown);
}

void CLightControlUI::InitModes(const std::vector<std::string>& names,
                                const std::vector<int>& visible, int maxBrightness, int maxSpeed) {
    if (auto* combo = Find<QComboBox>(kModeCombo)) {
        ui::NotifySilence silence(combo);
        combo->clear();
        for (const std::string& name : names) {
            const QString key = QString::fromStdString(name);
            ui::LanguageTexts::AddBoundItem(combo, key, key);
        }
        auto* view = qobject_cast<QListView*>(combo->view());
        for (int i = 0; i < combo->count(); ++i) {
            const bool offered = i < int(visible.size()) && visible[std::size_t(i)] != 0;
            if (view != nullptr) view->setRowHidden(i, !offered);
        }
        if (view != nullptr) view->setUniformItemSizes(true);
        ui::SelectItemSilently(combo, -1);
    }
    if (auto* slider = Find<QAbstractSlider>(kBrightnessSlider)) slider->setMaximum(maxBrightness);
    if (auto* slider = Find<QAbstractSlider>(kSpeedSlider)) slider->setMaximum(maxSpeed);
}

void CLightControlUI::ShowLightSetting(const LightSetting& setting) {
    const auto& b = setting.bytes;
    SelectMode(b[LightSetting::kMode]);
    ApplyModeLayout(kind_, b[LightSetting::kMode]);
    SetBrightness(b[LightSetting::kBrightness]);
    SetSpeed(b[LightSetting::kSpeed]);
    ShowColour(b[LightSetting::kRed], b[LightSetting::kGreen], b[LightSetting::kBlue]);
    SetSevenColour(b[LightSetting::kMultiColor] != 0);
    SelectSecondaryMode(b[LightSetting::kZzccLedMode]);
    SetDirection(b[LightSetting::kDirection]);
    ApplyModeLayout(kind_, SelectedMode());
}

void CLightControlUI::SelectMode(int index) { SelectSilently(Find<QComboBox>(kModeCombo), index); }

int CLightControlUI::SelectedMode() const {
    const auto* combo = Find<QComboBox>(kModeCombo);
    return combo != nullptr ? combo->currentIndex() : -1;
}

void CLightControlUI::SelectCustomGroup(int index) {
    SelectSilently(Find<QComboBox>(kCustomCombo), index);
}

int CLightControlUI::SelectedCustomGroup() const {
    const auto* combo = Find<QComboBox>(kCustomCombo);
    return combo != nullptr ? combo->currentIndex() : -1;
}

void CLightControlUI::SelectSecondaryMode(int index) {
    SelectSilently(Find<QComboBox>(kSecondaryCombo), index);
}

int CLightControlUI::SelectedSecondaryMode() const {
    const auto* combo = Find<QComboBox>(kSecondaryCombo);
    return combo != nullptr ? combo->currentIndex() : -1;
}

void CLightControlUI::SetBrightness(int value) {
    if (auto* slider = Find<QAbstractSlider>(kBrightnessSlider)) {
        ui::SetValueSilently(slider, value);
    }
}

int CLightControlUI::Brightness() const {
    const auto* slider = Find<QAbstractSlider>(kBrightnessSlider);
    return slider != nullptr ? slider->value() : 0;
}

void CLightControlUI::SetSpeed(int value) {
    if (auto* slider = Find<QAbstractSlider>(kSpeedSlider)) ui::SetValueSilently(slider, value);
}

int CLightControlUI::Speed() const {
    const auto* slider = Find<QAbstractSlider>(kSpeedSlider);
    return slider != nullptr ? slider->value() : 0;
}

void CLightControlUI::SetEditText(Channel channel, const QString& text) {
    if (QLineEdit* edit = Edit(channel)) edit->setText(text);
}

QString CLightControlUI::EditText(Channel channel) const {
    const QLineEdit* edit = Edit(channel);
    return edit != nullptr ? edit->text() : QString();
}

void CLightControlUI::SetPaletteColor(quint32 argb) {
    if (auto* palette = Find<ui::CColorPaletteUI>(kPalette)) palette->SetSelectColor(argb);
    if (auto* button = Find<ui::CControlUI>(kColourButton)) button->SetBkColor(argb | kNoColour);
}

quint32 CLightControlUI::PaletteColor() const {
    const auto* palette = Find<ui::CColorPaletteUI>(kPalette);
    return palette != nullptr ? palette->GetSelectColor() : kNoColour;
}

void CLightControlUI::ShowColour(int red, int green, int blue) {
    SetEditText(Channel::Red, QString::number(red));
    SetEditText(Channel::Green, QString::number(green));
    SetEditText(Channel::Blue, QString::number(blue));
    SetPaletteColor(Argb(red, green, blue));
}

int CLightControlUI::FindColorOption(int red, int green, int blue) const {
    for (int n = 0; n < kSwatchCount; ++n) {
        const auto* swatch = qobject_cast<const ui::CControlUI*>(
            Control(ui::IndexedName(QLatin1String(kSwatchPrefix), n)));
        if (swatch == nullptr) return 0;
        const quint32 colour = swatch->GetBkColor();
        if (Red(colour) == red && Green(colour) == green && Blue(colour) == blue) return n;
    }
    return 0;
}

quint32 CLightControlUI::SwatchColor(int n) const {
    const auto* swatch = qobject_cast<const ui::CControlUI*>(
        Control(ui::IndexedName(QLatin1String(kSwatchPrefix), n)));
    return swatch != nullptr ? swatch->GetBkColor() : 0;
}

void CLightControlUI::SetSevenColour(bool on) {
    if (auto* check = Find<QAbstractButton>(kSevenColourCheck)) ui::SetCheckedSilently(check, on);
}

bool CLightControlUI::SevenColour() const {
    const auto* check = Find<QAbstractButton>(kSevenColourCheck);
    return check != nullptr && check->isChecked();
}

void CLightControlUI::SetDirection(int flag) {
    auto* left = Find<QAbstractButton>(kLeftOption);
    auto* right = Find<QAbstractButton>(kRightOption);
    if (left == nullptr || right == nullptr) return;
    ui::SetCheckedSilently(flag != 0 ? left : right, true);
    ui::SetCheckedSilently(flag != 0 ? right : left, false);
}

int CLightControlUI::Direction() const {
    const auto* left = Find<QAbstractButton>(kLeftOption);
    return left != nullptr && left->isChecked() ? 1 : 0;
}

void CLightControlUI::SetSameModeAllowed(bool allowed) {
    sameModeAllowed_ = allowed;
    ApplyModeLayout(kind_, SelectedMode());
}

void CLightControlUI::ApplyModeLayout(int kind, int mode) {
    const std::optional<ModeLayout> resolved = ResolveModeLayout(kind, mode, sameModeAllowed_);
    if (!resolved) return;
    const ModeLayout& layout = *resolved;
    SetEnabled("lighteffect_layout", layout.effectEnabled);
    SetEnabled(kSevenColourCheck, layout.sevenColourEnabled);
    SetEnabled("deng_color_layout", layout.colourEnabled);
    SetEnabled("colorpallet_layout", layout.paletteEnabled);
    SetEnabled("deng_fx_layout", layout.directionEnabled);
    SetEnabled("deng_light_layout", layout.brightnessEnabled);
    SetEnabled("deng_speed_layout", layout.speedEnabled);
    if (layout.speedVisible) SetShown("deng_speed_layout", *layout.speedVisible);
    if (layout.customVisible) SetShown("lightcustom_layout", *layout.customVisible);
    if (layout.secondaryModeVisible) {
        SetShown("light_combo_ZZCCmodeSelectLayout", *layout.secondaryModeVisible);
    }
    if (layout.lightColourEnabled) SetEnabled("light_color_layout", *layout.lightColourEnabled);
    if (layout.audioModeVisible) {
        SetShown("light_combo_AudiomodeSelectLayout", *layout.audioModeVisible);
    }
    if (layout.colourPage) {
        if (auto* tabs = Find<ui::CTabLayoutUI>(kColourTabs)) tabs->SelectItem(*layout.colourPage);
    }
    if (layout.rgbEnabled) SetEnabled("deng_rgb_layout", *layout.rgbEnabled);
    SetShown(kSameMode, layout.sameModeVisible);
    DimDisabledColours();
    if (layout.direction.left != nullptr) {
        if (QWidget* left = Control(QLatin1String(kLeftOption))) {
            ui::LanguageTexts::BindText(left, "text", QLatin1String(layout.direction.left));
        }
        if (QWidget* right = Control(QLatin1String(kRightOption))) {
            ui::LanguageTexts::BindText(right, "text", QLatin1String(layout.direction.right));
        }
    }
}

void CLightControlUI::ShowAudioLightSetting(const AudioLightSetting& setting) {
    audio_ = setting;
    auto* mode = Find<QComboBox>(kAudioModeCombo);
    if (mode == nullptr) {
        qCWarning(lcLightControl, " SetAudioLightInfo control is NULL");
        return;
    }
    const auto& b = setting.bytes;
    SelectSilently(mode, b[AudioLightSetting::kMode]);
    auto* background = Find<QAbstractButton>(kAudioBackground);
    auto* foreground = Find<QAbstractButton>(kAudioForeground);
    auto* seven = Find<QAbstractButton>(kAudioSevenColour);
    const bool editsForeground = b[AudioLightSetting::kColourType] != 0;
    const int first =
        editsForeground ? AudioLightSetting::kForeground : AudioLightSetting::kBackground;
    if (background != nullptr && foreground != nullptr) {
        ui::SetCheckedSilently(editsForeground ? foreground : background, true);
        ui::SetCheckedSilently(editsForeground ? background : foreground, false);
    }
    if (seven != nullptr) {
        seven->setEnabled(editsForeground);
        if (editsForeground) {
            ui::SetCheckedSilently(seven, b[AudioLightSetting::kSevenColour] != 0);
        }
    }
    if (Find<ui::CControlUI>(kAudioColourButton) == nullptr) {
        qCWarning(lcLightControl, "GetAudioLightInfo control is NULL");
    }
    ShowAudioColour(b[std::size_t(first)], b[std::size_t(first) + 1], b[std::size_t(first) + 2]);
    const bool ownColours = b[AudioLightSetting::kMode] == kAudioModeOwnColours;
    SetEnabled("light_audiocolor_layout", !ownColours);
    SetEnabled("audiocolorpallet_layout", !ownColours);
    DimDisabledColours();
}

void CLightControlUI::ShowAudioColour(int red, int green, int blue) {
    for (Channel channel : {Channel::Red, Channel::Green, Channel::Blue}) {
        const int value = channel == Channel::Red ? red : channel == Channel::Green ? green : blue;
        if (QLineEdit* edit = AudioEdit(channel)) edit->setText(QString::number(value));
    }
    const quint32 argb = Argb(red, green, blue);
    if (auto* palette = Find<ui::CColorPaletteUI>(kAudioPalette)) palette->SetSelectColor(argb);
    if (auto* button = Find<ui::CControlUI>(kAudioColourButton)) button->SetBkColor(argb);
}

AudioLightSetting CLightControlUI::ReadAudioLightSetting(bool takeColour) {
    auto* mode = Find<QComboBox>(kAudioModeCombo);
    auto* seven = Find<QAbstractButton>(kAudioSevenColour);
    auto* background = Find<QAbstractButton>(kAudioBackground);
    auto* foreground = Find<QAbstractButton>(kAudioForeground);
    auto* button = Find<ui::CControlUI>(kAudioColourButton);
    if (mode == nullptr || seven == nullptr || background == nullptr || foreground == nullptr ||
        button == nullptr) {
        qCWarning(lcLightControl, "GetAudioLightInfo control is NULL");
        return audio_;
    }
    auto& b = audio_.bytes;
    if (mode->currentIndex() >= 0) b[AudioLightSetting::kMode] = uint8_t(mode->currentIndex());
    b[AudioLightSetting::kSevenColour] = seven->isChecked() ? 1 : 0;
    if (b[AudioLightSetting::kColourType] != 0) {
        if (background->isChecked()) b[AudioLightSetting::kColourType] = 0;
    } else if (foreground->isChecked()) {
        b[AudioLightSetting::kColourType] = 1;
    }
    if (takeColour) {
        const quint32 colour = button->GetBkColor();
        const int first = b[AudioLightSetting::kColourType] != 0 ? AudioLightSetting::kForeground
                                                                 : AudioLightSetting::kBackground;
        b[std::size_t(first)] = uint8_t(Red(colour));
        b[std::size_t(first) + 1] = uint8_t(Green(colour));
        b[std::size_t(first) + 2] = uint8_t(Blue(colour));
    }
    return audio_;
}

quint32 CLightControlUI::AudioSwatchColor(int n) const {
    const auto* swatch = qobject_cast<const ui::CControlUI*>(
        Control(ui::IndexedName(QLatin1String(kAudioSwatchPrefix), n)));
    return swatch != nullptr ? swatch->GetBkColor() : 0;
}

quint32 CLightControlUI::AudioPaletteColor() const {
    const auto* palette = Find<ui::CColorPaletteUI>(kAudioPalette);
    return palette != nullptr ? palette->GetSelectColor() : kNoColour;
}

QString CLightControlUI::AudioEditText(Channel channel) const {
    const QLineEdit* edit = AudioEdit(channel);
    if (edit == nullptr) {
        qCWarning(lcLightControl, "GetLightAudioColor control is NULL");
        return QString();
    }
    return edit->text();
}

}  // namespace rerov::lighting
