// CMainWnd: the settings window, opened from the caption, the tray menu and the IPC
// channel, and the updater's messages passed on to it.

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include "controls/control_base.h"
#include "shell/main_wnd.h"
#include "shell/routes/settings_routes.h"
#include "shell/settings/set_wnd.h"
#include "shell/settings/software_version.h"
#include "shell/settings/update_relay.h"
#include "shell/settings/version_list.h"

namespace rerov::shell {
namespace {

// The settings window's calls back into the main window.
class MainWindowSettingsOwner : public SettingsOwner {
  public:
    explicit MainWindowSettingsOwner(CMainWnd& window) : window_(window) {}
    void OnLanguageChosen(int index) override { window_.OnLanguageChosen(index); }
    void ClearUpdateBadge() override { window_.ClearUpdateBadge(); }
    void ExitProgram() override {
        // Not from inside the settings window's close: once it has returned.
        QPointer<CMainWnd> window(&window_);
        QTimer::singleShot(0, &window_, [window] {
            if (window) window->Exit();
        });
    }

  private:
    CMainWnd& window_;
};

}  // namespace

CSetWnd* CMainWnd::SettingsWindow() const { return settingsWindow_.data(); }

void CMainWnd::OpenSettingsWindow(bool centred) {
    if (settingsWindowOpen_) return;  // a request while it is open does nothing
    settingsWindowOpen_ = true;
    MainWindowSettingsOwner owner(*this);
    QPointer<CSetWnd> settings = new CSetWnd(this);
    if (!settings->Create(QStringLiteral("SetWnd"),
                          QSize(CSetWnd::kDesignWidth, CSetWnd::kDesignHeight))) {
        delete settings;
        settingsWindowOpen_ = false;
        return;
    }
    settings->SetDpi(Dpi());
    settings->SetOwner(&owner);
    settings->SetLanguageIndex(LanguageIndex());
    settings->SetVersionRows(
        PresentRows(BuildVersionList(VersionEntriesOf(*this), SoftwareVersion())));
    if (centred) {
        QScreen* screen =
            this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
        if (screen != nullptr) {
            QRect area(QPoint(), settings->size());
            area.moveCenter(screen->availableGeometry().center());
            settings->move(area.topLeft());
        }
    } else {
        settings->move(PlacedSettingsGeometry(geometry(), settings->size(), Dpi()).topLeft());
    }
    settingsWindow_ = settings;
    TrackSecondaryWindow(settings);
    settings->ShowModal();
    if (settings) settings->SetOwner(nullptr);
    delete settings;  // null when the main window took it along
    settingsWindowOpen_ = false;
}

void CMainWnd::ClearUpdateBadge() {
    if (auto* button = qobject_cast<ui::CControlUI*>(FindControl(QStringLiteral("setbtn")))) {
        button->SetAttribute(QStringLiteral("foreimage"), QString());
        button->update();
    }
}

SettingsRelayOutcome CMainWnd::RelayToSettings(int code, int value) {
    SettingsRelayOutcome outcome;
    CSetWnd* settings = SettingsWindow();
    if (settings == nullptr || !IsRelayCode(code)) return outcome;
    outcome.delivered = true;
    outcome.windowClosed = settings->Relay(code, value);
    return outcome;
}

bool CMainWnd::OpenSettings() {
    if (settingsWindowOpen_) return true;
    // The window's modal loop must not run inside the request that asked for it.
    QPointer<CMainWnd> self(this);
    QTimer::singleShot(0, this, [self] {
        if (self) self->OpenSettingsWindow(true);
    });
    return true;
}

}  // namespace rerov::shell
