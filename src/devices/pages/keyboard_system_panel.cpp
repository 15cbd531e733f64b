#include "devices/pages/keyboard_system_panel.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QEvent>
#include <QLabel>
#include <QSignalBlocker>
#include <QTextEdit>
#include <QVariant>
#include <algorithm>

#include "controls/control_lookup.h"
#include "controls/language_texts.h"
#include "devices/keyboard/keyboard_device.h"
#include "devices/pages/device_page.h"

namespace rerov {

namespace {

constexpr const char* kPanelProperty = "rerov_system_panel";
constexpr int kRepeatDelayStepMs = 250;

QString Indexed(const char* prefix, int n) {
    return QString::fromLatin1(prefix) + QString::number(n);
}

int ChoiceOrFirst(int value) { return value >= 0 && value < kSystemChoiceCount ? value : 0; }

// The option of a group that is checked, 0 when none is.
template <typename Find>
uint16_t CheckedChoice(const char* prefix, Find find) {
    for (int n = 0; n < kSystemChoiceCount; ++n) {
        auto* option = qobject_cast<QAbstractButton*>(find(Indexed(prefix, n)));
        if (option != nullptr && option->isChecked()) return static_cast<uint16_t>(n);
    }
    return 0;
}

// Checks without a notification: showing settings is not a user's change.
void SetChecked(QWidget* widget, bool checked) {
    auto* button = qobject_cast<QAbstractButton*>(widget);
    if (button == nullptr) return;
    const QSignalBlocker quiet(button);
    // An exclusive option cannot be unchecked while it is the group's checked one; the
    // option of the shown value is checked instead, which unchecks it.
    button->setChecked(checked);
}

}  // namespace

KeyboardSystemValues KeyboardSystemValues::From(const KeyboardSystemSettings& settings) {
    KeyboardSystemValues v;
    v.repeat = static_cast<uint16_t>(settings.words[0] & 0xFFFFu);
    v.repeatDelay = static_cast<uint16_t>(settings.words[0] >> 16);
    v.key6Flag = static_cast<uint16_t>(settings.words[1] & 0xFFFFu);
    v.pollingRate = static_cast<uint16_t>(settings.words[1] >> 16);
    v.wFlag = static_cast<uint16_t>(settings.words[2] & 0xFFFFu);
    v.winFlag = static_cast<uint16_t>(settings.words[2] >> 16);
    return v;
}

KeyboardSystemSettings KeyboardSystemValues::Packed() const {
    KeyboardSystemSettings settings;
    settings.words = {PackHalves(repeat, repeatDelay), PackHalves(key6Flag, pollingRate),
                      PackHalves(wFlag, winFlag)};
    return settings;
}

QString RepeatDelayText(int delay) {
    const int ms = ChoiceOrFirst(delay) * kRepeatDelayStepMs + kRepeatDelayStepMs;
    return ui::Tr(QStringLiteral("Repeat_Delay_Time")) + u' ' + QString::number(ms) +
           QStringLiteral("ms");
}

KeyboardSystemPanel::KeyboardSystemPanel(CDevicePageUI& page) : QObject(&page), page_(page) {
    page_.setProperty(kPanelProperty, QVariant::fromValue<QObject*>(this));
    page_.AddSettingsPanel(this);
}

KeyboardSystemPanel::~KeyboardSystemPanel() { page_.RemoveSettingsPanel(this); }

KeyboardSystemPanel* KeyboardSystemPanel::Attach(CDevicePageUI& page) {
    if (ui::FindSubControlByName(&page, QLatin1String(kRepeatRateSlider)) == nullptr)
        return nullptr;
    auto* panel = new KeyboardSystemPanel(page);
    panel->ClearRepeatTest();
    return panel;
}

KeyboardSystemPanel* KeyboardSystemPanel::Of(CDevicePageUI& page) {
    return qobject_cast<KeyboardSystemPanel*>(page.property(kPanelProperty).value<QObject*>());
}

QWidget* KeyboardSystemPanel::Control(const QString& name) const {
    return ui::FindSubControlByName(&page_, name);
}

void KeyboardSystemPanel::Show(const KeyboardSystemValues& values) {
    SetChecked(Control(Indexed(kPollingRateOptionPrefix, ChoiceOrFirst(values.pollingRate))), true);
    SetChecked(Control(QLatin1String(kWinLockOption)), values.winFlag != 0);
    SetChecked(Control(QLatin1String(kWFlagOption)), values.wFlag != 0);
    SetChecked(Control(QLatin1String(k6FlagOption)), values.key6Flag != 0);
    if (auto* slider = qobject_cast<QAbstractSlider*>(Control(QLatin1String(kRepeatRateSlider)))) {
        const QSignalBlocker quiet(slider);
        slider->setValue(values.repeat);
    }
    SetChecked(Control(Indexed(kRepeatDelayOptionPrefix, ChoiceOrFirst(values.repeatDelay))), true);
    ShowRepeatDelay(values.repeatDelay);
}

void KeyboardSystemPanel::ShowRepeatDelay(int delay) {
    if (auto* label = qobject_cast<QLabel*>(Control(QLatin1String(kRepeatDelayLabel)))) {
        // Composed here, so the layout's key no longer names the label's text.
        ui::LanguageTexts::UnbindText(label, "text");
        label->setText(RepeatDelayText(delay));
        delayShown_ = true;
    }
}

bool KeyboardSystemPanel::event(QEvent* event) {
    // The page hands a language change on to the objects it owns, this panel among them.
    if (event->type() == QEvent::LanguageChange && delayShown_) {
        ShowRepeatDelay(Read().repeatDelay);
    }
    return QObject::event(event);
}

KeyboardSystemValues KeyboardSystemPanel::Read() const {
    const auto find = [this](const QString& name) { return Control(name); };
    const auto checked = [this](const char* name) {
        auto* button = qobject_cast<QAbstractButton*>(Control(QLatin1String(name)));
        return static_cast<uint16_t>(button != nullptr && button->isChecked() ? 1 : 0);
    };
    KeyboardSystemValues values;
    values.pollingRate = CheckedChoice(kPollingRateOptionPrefix, find);
    values.repeatDelay = CheckedChoice(kRepeatDelayOptionPrefix, find);
    values.winFlag = checked(kWinLockOption);
    values.wFlag = checked(kWFlagOption);
    values.key6Flag = checked(k6FlagOption);
    if (auto* slider = qobject_cast<QAbstractSlider*>(Control(QLatin1String(kRepeatRateSlider)))) {
        values.repeat = static_cast<uint16_t>(std::max(slider->value(), 0));
    }
    return values;
}

void KeyboardSystemPanel::ClearRepeatTest() {
    auto* field = qobject_cast<QTextEdit*>(Control(QLatin1String(kRepeatTestField)));
    if (field == nullptr) return;
    field->clear();
    ui::LanguageTexts::BindText(field, "toolTip", QStringLiteral("Repeat_input_text"));
    ui::LanguageTexts::BindText(field, "placeholderText", QStringLiteral("Repeat_input_text"));
}

void KeyboardSystemPanel::ShowDeviceSettings(CZidiraUSBDevice& device) {
    auto* keyboard = dynamic_cast<CZidiraKeyboardDevice*>(&device);
    if (keyboard == nullptr) return;
    Show(KeyboardSystemValues::From(keyboard->SystemSettings()));
    ClearRepeatTest();
}

}  // namespace rerov
