#include "shell/routes/profile_bar_routes.h"

#include <QFileDialog>
#include <QLoggingCategory>

#include "controls/control_timers.h"
#include "devices/czidira_usb_device.h"
#include "devices/pages/device_page.h"
#include "devices/pages/keyboard_page.h"
#include "devices/pages/page_editors.h"
#include "editors/profile_bar/device_profile_ui.h"
#include "profiles/store_result.h"
#include "shell/dialogs/msg_wnd.h"
#include "shell/main_wnd.h"
#include "shell/routes/download_report.h"

namespace rerov::shell {
namespace {

using profile_bar::CDeviceProfileUI;

// The commands that ask first, with the language key of their question.
struct ConfirmedCommand {
    const char* control;
    const char* question;
    StoreResult (CDeviceProfileUI::*command)();
    bool reloadsPage;  // the shown profile changes: the page loads and downloads it
};
constexpr ConfirmedCommand kConfirmedCommands[] = {
    {"device_add_btn", "message_text_27", &CDeviceProfileUI::AddProfile, false},
    {"device_sub_btn", "message_text_29", &CDeviceProfileUI::DeleteProfile, true},
    {"device_copy_btn", "message_text_26", &CDeviceProfileUI::CopyProfile, false},
    {"device_reset_btn", "message_text_22", &CDeviceProfileUI::ResetProfile, true},
};

// The bar of the current page, with its page; both null when there is none.
struct CurrentBar {
    CDevicePageUI* page = nullptr;
    CDeviceProfileUI* bar = nullptr;
};

CurrentBar FindCurrentBar(const CMainWnd& window) {
    CurrentBar current;
    current.page = window.CurrentDevicePage();
    if (current.page == nullptr || current.page->Editors() == nullptr) return {};
    current.bar = current.page->Editors()->ProfileBar();
    if (current.bar == nullptr) return {};
    return current;
}

// A refused or failed command tells the user why; the store has changed nothing.
void ReportResult(CMainWnd& window, StoreResult result) {
    if (result == StoreResult::Ok) return;
    ShowMessage(&window, QLatin1String(StoreResultMessageKey(result)), window.Dpi());
}

// The page takes the profile the bar shows now, and downloads it with the report.
void LoadShownProfile(CMainWnd& window, CDevicePageUI* page) {
    page->Editors()->LoadSelectedProfile();
    if (CZidiraKeyboardDevice* keyboard = KeyboardOf(*page)) {
        // Marks tell edits since the last download; a profile just loaded has none.
        const DownloadReport report = keyboard->ApplyToDevice();
        keyboard->ClearKeyMarks();
        ShowKeyboardDownloadReport(&window, report, window.Dpi());
        return;
    }
    // ApplyProfile's result says whether a profile was applied (1), not what a download
    // came to: it is no download report.
    page->Device().ApplyProfile();
}

void RunConfirmed(CMainWnd& window, const ConfirmedCommand& command) {
    const CurrentBar current = FindCurrentBar(window);
    if (current.bar == nullptr) return;
    if (!ConfirmMessage(&window, QLatin1String(command.question), window.Dpi())) return;
    // The page may have gone while the question was open (the device was unplugged).
    const CurrentBar after = FindCurrentBar(window);
    if (after.bar != current.bar) return;
    const StoreResult result = (current.bar->*command.command)();
    if (result == StoreResult::Ok && command.reloadsPage) LoadShownProfile(window, current.page);
    if (result == StoreResult::ProfileRemoved) current.page->Editors()->LoadSelectedProfile();
    // A reset also brings back the factory audio styles.
    if (result == StoreResult::Ok && command.command == &CDeviceProfileUI::ResetProfile) {
        window.ResetAudioStyles();
    }
    ReportResult(window, result);
}

void ImportProfile(CMainWnd& window) {
    const CurrentBar current = FindCurrentBar(window);
    if (current.bar == nullptr || current.bar->GetSelectedProfile() < 0) return;
    const QString path = QFileDialog::getOpenFileName(&window, QString(), QString(),
                                                      QLatin1String(kProfileFileFilter));
    if (path.isEmpty() || FindCurrentBar(window).bar != current.bar) return;
    // A file that is not a profile is refused by the store and named as such here: a user
    // who picked a file deserves an answer.
    ReportResult(window, current.bar->ImportProfile(path.toStdString()));
}

void ExportProfile(CMainWnd& window) {
    const CurrentBar current = FindCurrentBar(window);
    if (current.bar == nullptr || current.bar->GetSelectedProfile() < 0) return;
    QFileDialog dialog(&window, QString(), QString(), QLatin1String(kProfileFileFilter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("json"));
    dialog.selectFile(current.bar->GetNameEditText() + QStringLiteral(".json"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString path = dialog.selectedFiles().constFirst();
    if (path.isEmpty() || FindCurrentBar(window).bar != current.bar) return;
    ReportResult(window, current.bar->ExportProfile(path.toStdString()));
}

void RenameProfile(CMainWnd& window) {
    const CurrentBar current = FindCurrentBar(window);
    if (current.bar == nullptr) return;
    const QString name = current.bar->GetNameEditText();
    if (name.isEmpty()) return;
    ReportResult(window, current.bar->RenameProfile(name));
}

void SwitchProfile(CMainWnd& window) {
    const CurrentBar current = FindCurrentBar(window);
    if (current.bar == nullptr) return;
    const int index = current.bar->GetSelectedProfile();
    if (index < 0) return;
    const StoreResult result = current.bar->SelectProfile(index, false);
    // Whatever the store shows now (the chosen profile, or the list as another program left
    // it) is what the page loads.
    LoadShownProfile(window, current.page);
    ReportResult(window, result);
}

void SelectFeatureTab(CMainWnd& window, int tab) {
    const CurrentBar current = FindCurrentBar(window);
    if (current.page == nullptr) return;
    current.page->Device().SelectFunctionTab(tab);
    current.bar->SelectFeatureTab(tab);
}

}  // namespace

void AddProfileBarRoutes(CMainWnd& window) {
    ui::NotifyPump& clicks = window.Routes(ui::notify_type::kClick);
    for (const ConfirmedCommand& command : kConfirmedCommands) {
        clicks.On(ui::notify_type::kClick, QLatin1String(command.control),
                  [&window, &command](const ui::Notification&) { RunConfirmed(window, command); });
    }
    clicks.On(ui::notify_type::kClick, QStringLiteral("device_import_btn"),
              [&window](const ui::Notification&) { ImportProfile(window); });
    clicks.On(ui::notify_type::kClick, QStringLiteral("device_export_btn"),
              [&window](const ui::Notification&) { ExportProfile(window); });
    clicks.On(ui::notify_type::kClick, QStringLiteral("device_profile_edit_save_btn"),
              [&window](const ui::Notification&) { RenameProfile(window); });
    // Enter in the name edit renames as the button does.
    window.Routes(ui::notify_type::kReturn)
        .On(ui::notify_type::kReturn, QStringLiteral("device_profile_name_edit"),
            [&window](const ui::Notification&) { RenameProfile(window); });
    clicks.On(ui::notify_type::kClick, QStringLiteral("profile_fun_spread_btn"),
              [&window](const ui::Notification&) {
                  const CurrentBar current = FindCurrentBar(window);
                  if (current.bar != nullptr)
                      current.bar->SetMenuVisible(!current.bar->IsMenuVisible());
              });
    // A run of selections in the combo becomes one switch, 400 ms after the last.
    window.Routes(ui::notify_type::kItemSelect)
        .On(ui::notify_type::kItemSelect, QStringLiteral("device_profile_combo"),
            [&window](const ui::Notification&) {
                ui::SetControlTimer(&window, kTimerProfileSwitch, kProfileSwitchDelayMs);
            });
    window.AddTimerHandler(kTimerProfileSwitch, [&window] { SwitchProfile(window); });
    ui::NotifyPump& options = window.Routes(ui::notify_type::kSelectChanged);
    for (int tab = 1; tab <= profile_bar::kFeatureTabCount; ++tab) {
        options.On(ui::notify_type::kSelectChanged,
                   QLatin1String(profile_bar::kFeatureTabNames[tab - 1]),
                   [&window, tab](const ui::Notification& msg) {
                       if (msg.wParam != 0) SelectFeatureTab(window, tab);
                   });
    }
}

}  // namespace rerov::shell
