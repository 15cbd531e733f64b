#pragma once
// KeyboardSystemPanel: the system tab of the keyboard page. It shows the keyboard's six
// system settings in the tab's controls whenever the device shows its settings, and reads
// them back from the controls when the user changed one. UI thread only.

#include <QObject>
#include <QString>
#include <cstdint>

#include "devices/pages/device_settings_panel.h"
#include "profiles/profile_records.h"

class QWidget;

namespace rerov {

class CDevicePageUI;

/// The controls of the system tab.
inline constexpr const char* kPollingRateOptionPrefix = "polling_rate_option_";
inline constexpr const char* kRepeatDelayOptionPrefix = "repeat_delay_check_";
inline constexpr const char* kWinLockOption = "winlockflag_option";
inline constexpr const char* kWFlagOption = "wflag_option";
inline constexpr const char* k6FlagOption = "6flag_option";
inline constexpr const char* kRepeatRateSlider = "repeat_rate_slider";
inline constexpr const char* kRepeatDelayLabel = "repeat_delay_time_label1";
inline constexpr const char* kRepeatTestField = "repeat_input_richedit";
/// The polling-rate and repeat-delay choices (options 0 to 3).
inline constexpr int kSystemChoiceCount = 4;

/// The six settings as the tab shows them, unpacked from the three words.
struct KeyboardSystemValues {
    uint16_t repeat = 0;
    uint16_t repeatDelay = 0;
    uint16_t key6Flag = 0;
    uint16_t pollingRate = 0;
    uint16_t wFlag = 0;
    uint16_t winFlag = 0;
    static KeyboardSystemValues From(const KeyboardSystemSettings& settings);
    KeyboardSystemSettings Packed() const;
    bool operator==(const KeyboardSystemValues&) const = default;
};

/// The repeat-delay label: "Repeat_Delay_Time" in the current language, then the delay of
/// choice `delay` (250 ms steps from 250 ms; a value outside 0 to 3 counts as 0).
QString RepeatDelayText(int delay);

class KeyboardSystemPanel : public QObject, public DeviceSettingsPanel {
    Q_OBJECT
  public:
    /// The panel of `page`'s system tab, registered with the page; null when the page has no
    /// system tab controls. The page owns the result.
    static KeyboardSystemPanel* Attach(CDevicePageUI& page);
    /// The panel of `page`, or null.
    static KeyboardSystemPanel* Of(CDevicePageUI& page);
    ~KeyboardSystemPanel() override;

    /// Shows `values` in the controls without any of them reporting a change (the repeat
    /// test field keeps what it holds).
    void Show(const KeyboardSystemValues& values);
    /// What the controls hold now.
    KeyboardSystemValues Read() const;
    /// Empties the repeat test field and gives it its tip.
    void ClearRepeatTest();

    // DeviceSettingsPanel: the device's settings, with an empty test field.
    void ShowDeviceSettings(CZidiraUSBDevice& device) override;
    void ShowAudioLightSetting(const AudioLightWords&) override {}

  protected:
    /// A language change (handed on by the page): the repeat-delay label is composed again.
    bool event(QEvent* event) override;

  private:
    explicit KeyboardSystemPanel(CDevicePageUI& page);
    QWidget* Control(const QString& name) const;
    void ShowRepeatDelay(int delay);

    CDevicePageUI& page_;
    bool delayShown_ = false;  // the label shows a composed delay (not the layout's text)
};

}  // namespace rerov
