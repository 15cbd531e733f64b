#include "shell/routes/keyboard_settings_routes.h"

#include <QLoggingCategory>
#include <vector>

#include "controls/device_key_button.h"
#include "controls/notification.h"
#include "devices/pages/device_page.h"
#include "devices/pages/keyboard_page.h"
#include "devices/pages/keyboard_system_panel.h"
#include "devices/pages/page_editors.h"
#include "profiles/keyboard_profile_data.h"
#include "shell/dialogs/msg_wnd.h"
#include "shell/main_wnd.h"
#include "shell/routes/download_report.h"

namespace rerov::shell {
namespace {

Q_LOGGING_CATEGORY(lcKeyboardRoutes, "rerov.shell.keyboard", QtWarningMsg)

// The current page when it is a keyboard's, with its object; both null otherwise.
struct CurrentKeyboard {
    CDevicePageUI* page = nullptr;
    CZidiraKeyboardDevice* keyboard = nullptr;
};

CurrentKeyboard FindCurrentKeyboard(const CMainWnd& window) {
    CDevicePageUI* page = window.CurrentDevicePage();
    if (page == nullptr) return {};
    CZidiraKeyboardDevice* keyboard = KeyboardOf(*page);
    if (keyboard == nullptr) return {};
    return {page, keyboard};
}

// The profile file of the page, read again and given the settings: the editors save their
// own parts of the same file, and the object's copy may be older than theirs.
bool SaveSystemSettings(CDevicePageUI& page, const KeyboardSystemSettings& settings) {
    if (page.Editors() == nullptr) return false;
    const std::filesystem::path path = page.Editors()->ProfilePath();
    if (path.empty()) return false;
    CKeyboardProfiledata data;
    data.SetDefaultPath(page.Device().DefaultProfilePath());
    data.SetProfilePath(path);
    data.LoadProfile(path);
    data.WriteKeyboardSystem(settings);
    return data.Save();
}

// A control of the system tab changed: the tab's values go to the object, the profile
// and the device.
void SystemSettingChanged(CMainWnd& window) {
    const CurrentKeyboard current = FindCurrentKeyboard(window);
    if (current.keyboard == nullptr) return;
    KeyboardSystemPanel* panel = KeyboardSystemPanel::Of(*current.page);
    if (panel == nullptr) return;
    const KeyboardSystemValues values = panel->Read();
    panel->Show(values);  // the delay label follows the chosen delay
    const KeyboardSystemSettings settings = values.Packed();
    current.keyboard->SetSystemSettings(settings.words[0], settings.words[1], settings.words[2]);
    if (!SaveSystemSettings(*current.page, settings)) {
        qCWarning(lcKeyboardRoutes, "the system settings could not be saved in the profile");
        ShowMessage(&window, QStringLiteral("message_text_7"), window.Dpi());
        return;
    }
    const int written = current.keyboard->WriteParameterBlock(0, 0, 1, 0, 0);
    // 0: no keyboard connected, the settings reach it with the profile on its arrival.
    if (written != 1 && written != 0) {
        ShowKeyboardDownloadReport(&window, DownloadReport{0, written < 0 ? written : -written},
                                   window.Dpi());
    }
}

// "default_btn": the profile shown goes back to the factory profile, and to the device.
void RestoreDefaults(CMainWnd& window) {
    const CurrentKeyboard current = FindCurrentKeyboard(window);
    if (current.keyboard == nullptr) return;
    if (!ConfirmMessage(&window, QStringLiteral("message_text_22"), window.Dpi())) return;
    // The page may have gone while the question was open (the keyboard was unplugged).
    if (FindCurrentKeyboard(window).keyboard != current.keyboard) return;
    current.keyboard->ApplyDefaultProfile();
    if (current.page->Editors() != nullptr) current.page->Editors()->LoadSelectedProfile();
    current.keyboard->ClearKeyMarks();
    ShowKeyboardDownloadReport(&window, current.keyboard->DownloadAll(), window.Dpi());
}

// The keys a drag selected on the page's picture.
std::vector<int> SelectedKeys(CDevicePageUI& page, int keyCount) {
    std::vector<int> keys;
    for (int key = 0; key < keyCount; ++key) {
        const ui::CDeviceKeyButtonUI* button = page.KeyButton(key);
        if (button != nullptr && button->IsKeySelected() != 0) keys.push_back(key);
    }
    return keys;
}

}  // namespace

void AddKeyboardSettingsRoutes(CMainWnd& window) {
    using ui::Notification;
    namespace type = ui::notify_type;
    ui::NotifyPump& options = window.Routes(type::kSelectChanged);
    const auto changed = [&window](const Notification& msg) {
        // A choice among options reports the one chosen; the one left reports nothing.
        if (msg.wParam != 0 || msg.SenderName().endsWith(QLatin1String("flag_option")))
            SystemSettingChanged(window);
    };
    options.OnPrefix(type::kSelectChanged, QLatin1String(kPollingRateOptionPrefix), changed);
    options.OnPrefix(type::kSelectChanged, QLatin1String(kRepeatDelayOptionPrefix), changed);
    for (const char* name : {kWinLockOption, kWFlagOption, k6FlagOption}) {
        options.On(type::kSelectChanged, QLatin1String(name), changed);
    }
    window.Routes(type::kValueChanged)
        .On(type::kValueChanged, QLatin1String(kRepeatRateSlider),
            [&window](const Notification&) { SystemSettingChanged(window); });

    ui::NotifyPump& clicks = window.Routes(type::kClick);
    clicks.On(type::kClick, QStringLiteral("reset_repeat_btn"), [&window](const Notification&) {
        const CurrentKeyboard current = FindCurrentKeyboard(window);
        if (current.page == nullptr) return;
        if (KeyboardSystemPanel* panel = KeyboardSystemPanel::Of(*current.page))
            panel->ClearRepeatTest();
    });
    clicks.On(type::kClick, QStringLiteral("default_btn"),
              [&window](const Notification&) { RestoreDefaults(window); });
    for (const bool paintColour : {true, false}) {
        clicks.On(type::kClick,
                  paintColour ? QStringLiteral("custom_bright_color_btn")
                              : QStringLiteral("custom_off_color_btn"),
                  [&window, paintColour](const Notification&) {
                      const CurrentKeyboard current = FindCurrentKeyboard(window);
                      if (current.page != nullptr)
                          SetCustomColourTarget(*current.page, paintColour);
                  });
    }
    window.Routes(type::kClickSelectEnd)
        .On(type::kClickSelectEnd, QStringLiteral("keyboard_device_key_light"),
            [&window](const Notification&) {
                const CurrentKeyboard current = FindCurrentKeyboard(window);
                if (current.keyboard == nullptr) return;
                PaintCustomKeys(*current.page, SelectedKeys(*current.page, kKeyboardKeyCount));
            });
}

}  // namespace rerov::shell
