#pragma once
// CMainWnd: the program's main window. It hosts the device list, the device pages and
// their power displays, owns the tray icon and its menu, runs the scan thread, follows the
// system's suspend and resume, and routes the notifications of its controls by type to
// handler tables. It is the device manager's host and the running program's AppControl.

#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "controls/notify_pump.h"
#include "controls/window_base.h"
#include "device_link/device_manager.h"
#include "device_link/device_scanner.h"
#include "device_link/found_device_list.h"
#include "shell/app_control.h"
#include "shell/page_groups.h"
#include "shell/skin/skin_observer.h"

namespace rerov {
class CDevicePageUI;
class KeyCaptureSource;
class KeyboardMacroEditing;
namespace input_hook {
class CDeviceHook;
}
namespace audio {
class AudioBridge;
class AudioReceivers;
class AudioStyleStore;
struct AudioStyleSet;
}  // namespace audio
class CZidiraUSBDevice;
class DeviceManager;
namespace ui {
class CTabLayoutUI;
class CHorizontalLayoutUI;
class PopupMenu;
class TrayIcon;
}  // namespace ui
}  // namespace rerov

namespace rerov::shell {

class CDeviceOptionUI;
class CMpDevicePowerUI;
class CSetWnd;
class HookKeyCapture;
class SleepWatch;
class PageEntryAdapter;

/// The window's own timers (each fires once per arming).
inline constexpr int kTimerMonitorFit = 1011;      // 100 ms after start-up: monitor fit
inline constexpr int kTimerTrayMenu = 1032;        // 10 ms after a tray right click: the menu
inline constexpr int kTimerProfileSwitch = 1055;   // after a profile combo selection: the switch
inline constexpr int kProfileSwitchDelayMs = 400;  // rapid selections become one switch

/// Number of worker slots; slot 0 is the scan thread, slot 1 the audio daemon.
inline constexpr int kWorkerSlotCount = 20;
inline constexpr int kScanSlot = 0;
inline constexpr int kAudioDaemonSlot = 1;

/// The family whose entry is current at start when its device is plugged in: the keyboard,
/// the product the program ships with, in whatever order the devices arrive.
inline constexpr int kStartFamily = kFamilyKeyboard;

/// The window title and tray tip.
inline constexpr const char* kProductTitle = "REROV ER60 EVER";

/// A worker thread the window starts and stops (a slot of its table).
class WorkerSlot {
  public:
    virtual ~WorkerSlot() = default;
    /// Asks the thread to end; does not wait.
    virtual void RequestStop() = 0;
    /// Waits up to `boundMs` for the thread to end; true when it ended.
    virtual bool WaitStopped(int boundMs) = 0;
    /// The thread did not end in time: lets it run on by itself (detached) so the program
    /// ends on time. The slot, and whatever the thread uses, must then stay alive until
    /// the process ends.
    virtual void Abandon() = 0;
};

/// Where a device list entry stands: its position in "device_select_layout".
struct DeviceListCount {
    int firstShown = -1;  // position of the first shown entry, -1 when none
    int shownCount = 0;
};

class CMainWnd : public ui::CWindowBase,
                 public DeviceManagerHost,
                 public AppControl,
                 public SkinReceiver {
    Q_OBJECT
  public:
    /// A window whose devices use `backend` (null: the process-wide one).
    explicit CMainWnd(std::shared_ptr<HidBackend> backend = nullptr);
    ~CMainWnd() override;

    QString GetSkinFile() const override { return QStringLiteral("XML_MAIN"); }
    QString GetWindowClassName() const override { return QStringLiteral("MainWnd"); }
    QWidget* CreateControl(const QString& tag) override;
    void Notify(const ui::Notification& msg) override;

    // --- Start and end ---

    /// Scan options used by StartUp (tests shorten the poll).
    void SetScanOptions(const DeviceScannerOptions& options) { scanOptions_ = options; }
    /// Window start-up (also run by "windowinit"): creates the device pages, hides the
    /// window until the scan's first pass, starts the scan thread and timer 1011. Runs once.
    void StartUp();
    /// True once StartUp ran.
    bool IsStarted() const { return started_; }
    /// Orderly end: hides the window, stops every worker (waiting for each), removes the
    /// tray icon and destroys the device pages in reverse order. Runs once.
    void Shutdown();
    /// Whether Exit also ends the application's event loop (default true).
    void SetQuitOnExit(bool quit) { quitOnExit_ = quit; }
    /// Marks the program as running on the simulator: " (simulated)" in title and tray tip.
    void SetSimulated(bool simulated);
    /// The found-device list the scan thread keeps.
    FoundDeviceList& FoundDevices() { return found_; }
    /// Makes the scan thread run a pass now (after a simulated plug, for instance).
    void ScanNow();

    // --- Device list (UI thread) ---

    /// The list entry at `index` of "device_select_layout", or null.
    CDeviceOptionUI* Entry(int index) const;
    /// Number of list entries.
    int EntryCount() const;
    /// Shows or hides entry `index`; with `current` also selects its page and power display.
    void SelectDeviceEntry(int index, bool show, bool current);
    /// Hides entry `index`; when it was the current one the first other shown entry
    /// becomes current.
    void DeactivateDeviceEntry(int index);
    /// Message 3331: lParam 0 hides the entry of a family, 1 shows it (current only when
    /// every entry was hidden); other values do nothing.
    void OnShowEntryMessage(int familyIndex, int lParam);
    /// The reaction to the device option of an entry becoming selected.
    void OnDeviceEntrySelected();
    /// "device_select_prev": the shown entry before the current one becomes current; nothing
    /// on the first.
    void SelectPreviousDevice();
    /// "device_select_next": the shown entry after the current one becomes current; nothing
    /// on the last.
    void SelectNextDevice();
    /// The page of the first shown entry whose device option is selected, or null.
    CDevicePageUI* CurrentDevicePage() const;
    /// Whether any entry is shown, with the first shown position and the count.
    bool AnyDeviceConnected(DeviceListCount* count = nullptr) const;
    /// The page of entry `index`, or null.
    CDevicePageUI* PageOfEntry(int index) const;
    /// The page of a family, or null.
    CDevicePageUI* PageOfFamily(int familyIndex) const;
    /// Keyboard index of the current entry: its position less the number of mouse pages
    /// (for the audio bridge; not a keyboard position when negative or too large).
    int CurrentKeyboardIndex() const { return currentKeyboardIndex_; }
    /// Mouse index of the current entry: its position less the number of keyboard pages.
    int CurrentMouseIndex() const { return currentMouseIndex_; }

    /// Creates the pages of every family row but the last (mouse, keyboard, mouse pad), in
    /// family order, so a family's entry sits at the position of its family index.
    void CreateDevicePages();
    /// Destroys every page with its entry and power display, in reverse order.
    void DestroyDevicePages();

    // --- Window behaviour ---

    /// Shows or hides "No_device_Link" by AnyDeviceConnected.
    void RefreshNoDeviceHint();
    /// Fits the window to a monitor rectangle (1000 x 640 at 96 DPI, x 1.5 on a monitor
    /// wider than 1500 and taller than 960) and centres it; keeps it shown or hidden.
    void FitToMonitor(const QRect& monitor);
    /// The DPI the last monitor fit chose (96 at start).
    int Dpi() const { return dpi_; }
    /// The tray icon's left click: hide when shown, else fit, show and raise.
    void OnTrayLeftClick();
    /// The tray icon (null before the layout was built).
    ui::TrayIcon* Tray() const { return tray_; }
    /// A tray menu item was chosen: "exit" ends the program, other names run the command
    /// added for them (nothing for an unknown name).
    void OnMenuCommand(const QString& name);
    /// Adds (or replaces) the command of a menu item name ("about_menu", "setwnd_menu").
    void AddMenuCommand(const QString& name, std::function<void()> command);
    /// The routing table of one notification type ("click", "selectchanged", ...); later
    /// features add their handlers here.
    ui::NotifyPump& Routes(const QString& type);
    /// Adds (or replaces) what timer `id` of the window runs when it fires (the timer is
    /// killed first, so it fires once per arming).
    void AddTimerHandler(int id, std::function<void()> handler);
    /// Keeps a secondary window (about, settings, ...) to close with the others.
    void TrackSecondaryWindow(QWidget* window);

    // --- Language (main_wnd_language.cpp) ---

    /// The position in "Language.config" of the language shown; -1 before one was applied.
    int LanguageIndex() const { return languageIndex_; }
    /// Shows the language at `index` of "Language.config": nothing when it is already the
    /// one shown; otherwise its texts in every open window, its fonts, and the choice
    /// remembered for the next start (see SwitchLanguage, shell/language/language_switch.h).
    void ApplyLanguage(int index);
    /// A language chosen in the settings window: applies it, then the device pages refresh
    /// the texts they compose themselves.
    void OnLanguageChosen(int index);
    /// True while the system is not suspended.
    bool IsAwake() const { return awake_.load(); }
    /// System suspend (true) or resume (false), as login1 announces it.
    void OnPrepareForSleep(bool suspending);
    /// Worker slot `slot` (null when empty).
    WorkerSlot* Worker(int slot) const;
    /// Puts `worker` into slot `slot` (a thread the window stops at shutdown); false for a
    /// slot out of range or taken.
    bool SetWorker(int slot, std::unique_ptr<WorkerSlot> worker);
    /// The key capture of the key editors over the window's input hook (made on first use).
    KeyCaptureSource* KeyCapture();
    /// Gives a page's macro editor the input hook and the window's message box.
    void ConnectMacroEditing(KeyboardMacroEditing& editing);

    /// A page list by group (positions are what CurrentKeyboardIndex and
    /// CurrentMouseIndex count in).
    const std::vector<CDevicePageUI*>& PageList(PageGroup group) const {
        return pageLists_[size_t(group)];
    }

    // --- Settings window (main_wnd_settings.cpp) ---

    /// Opens the settings window and returns when it closed: centred on the screen, or
    /// placed below the caption's right end ("setbtn"). A request while it is open does
    /// nothing.
    void OpenSettingsWindow(bool centred);
    /// The open settings window, or null.
    CSetWnd* SettingsWindow() const;
    /// "setbtn" loses its update badge (its foreground image).
    void ClearUpdateBadge();

    // --- Audio-reactive lighting (main_wnd_audio.cpp) ---

    /// Has StartUp launch the sound-capture companion beside the program with `arguments`;
    /// the program does so, a window built by a test does not.
    void EnableAudioCompanion(const QStringList& arguments);
    /// The bridge to the companion (the IPC channel hands it the companion's records).
    audio::AudioBridge& Audio() const { return *audio_; }
    /// The audio styles as loaded or last edited.
    const audio::AudioStyleSet& AudioStyles() const;
    /// "music_setting_btn": the audio style window; on OK the style colour goes to the
    /// companion and the styles are saved. A request while it is open does nothing.
    void OpenMusicWindow();
    /// "device_reset_btn" (after the profile reset): the factory styles replace the user's.
    void ResetAudioStyles();

    // --- Background (main_wnd_skin.cpp) ---

    /// A background was chosen: a colour fills "root" (no image), or an image covers it.
    void OnSkinChanged(const SkinChangedParam& param) override;
    /// Shows the background kept in "main.ini" when it is one the window may show; else
    /// the layout's own stays (logged).
    void RestoreStoredSkin();

    // --- DeviceManagerHost ---
    ManagedDevice* FindDevicePage(const SupportedDevice& record) override;
    bool CreateDevicePage(int supportedRow, int role) override;
    bool HasListEntry(ManagedDevice* page) override;
    void SelectDeviceEntry(ManagedDevice* page) override;
    void DeactivateDeviceEntry(ManagedDevice* page) override;
    void StartEntryTimer(ManagedDevice* page, int timerId, int periodMs) override;
    void ShowDeviceEntry(int familyIndex, bool show) override;
    void CloseSettingsWindow() override;
    void AfterArrival() override;
    void RemoveDevicePage(ManagedDevice* page) override;

    // --- AppControl ---
    AppState State() const override;
    void BringToFront() override;
    void Exit() override;
    SettingsRelayOutcome RelayToSettings(int code, int value) override;
    bool OpenSettings() override;

  signals:
    /// Exit ran: the program is ending.
    void exitRequested();

  protected:
    void InitWindow() override;
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    struct PageSlot;
    // InitWindow: "lan_cn.xml", then the remembered language (main_wnd_language.cpp).
    void LoadStartLanguage();
    void OnControlTimer(int id);
    void SetUpRouting();
    void SetUpTray();
    void ShowTrayMenu();
    void OnCaptionClick(const QString& name);
    void OnCloseButton();
    void RestoreFromMaximised();
    void HideToTray();
    void SetStatusHold(bool hold);
    void CloseSecondaryWindows();
    void StartScan();
    void OnArrival(size_t index);
    void OnRemoval(size_t index);
    void OnFirstPass();
    void SetWindowActiveFlags(bool active);
    void TellPagesHostLighting(int on);
    // After resume: every connected keyboard gets its profile again.
    void ReapplyKeyboardProfiles();
    void ApplyTitle();
    int EntryIndexOf(const ManagedDevice* page) const;
    int EntryIndexOfFamily(int familyIndex) const;
    void UpdateAfterListChange();
    void SelectStartEntry();
    ui::CTabLayoutUI* Tab(const QString& name) const;
    // Shows the entry's power display (or hides it when the entry has none); false when
    // the entry names no power container that exists.
    bool ShowEntryPower(CDeviceOptionUI* entry);
    QRect CurrentMonitor() const;
    void SetUpAudio();
    void StartAudio();
    void ShutdownAudio();

    std::shared_ptr<HidBackend> backend_;
    std::vector<SupportedDevice> supported_;
    FoundDeviceList found_;
    std::unique_ptr<DeviceManager> manager_;
    std::unique_ptr<DeviceScanner> scanner_;
    DeviceScannerOptions scanOptions_;
    std::array<std::unique_ptr<WorkerSlot>, kWorkerSlotCount> workers_;
    std::vector<std::unique_ptr<PageSlot>> pages_;                        // in creation order
    std::array<std::vector<CDevicePageUI*>, kPageGroupCount> pageLists_;  // by PageGroup
    QHash<QString, ui::NotifyPump*> routes_;
    std::vector<std::unique_ptr<ui::NotifyPump>> routeTables_;
    QHash<QString, QPointer<QWidget>> captionButtons_;
    QHash<QString, std::function<void()>> menuCommands_;
    QHash<int, std::function<void()>> timerHandlers_;
    std::vector<QPointer<QWidget>> secondaryWindows_;
    ui::TrayIcon* tray_ = nullptr;
    ui::PopupMenu* trayMenu_ = nullptr;
    SleepWatch* sleepWatch_ = nullptr;
    std::atomic<bool> awake_{true};
    int lightingControl_ = 1;
    int dpi_ = 96;
    int languageIndex_ = -1;
    QSize fittedSize_;
    QRect normalGeometry_;  // where "restorebtn" puts the window back
    bool trayHintShown_ = false;
    int currentKeyboardIndex_ = 0;
    int currentMouseIndex_ = 0;
    bool started_ = false;
    bool shutDown_ = false;
    bool firstPassSeen_ = false;
    bool startEntryAwaited_ = false;  // the start family's entry is current when it shows
    bool quitOnExit_ = true;
    bool simulated_ = false;
    QString profileTitle_;
    // The audio bridge, its receivers (the current pages) and the style file.
    std::unique_ptr<audio::AudioStyleStore> audioStyles_;
    std::unique_ptr<audio::AudioReceivers> audioReceivers_;
    std::unique_ptr<audio::AudioBridge> audio_;
    bool audioCompanion_ = false;
    QStringList audioArguments_;
    bool musicWindowOpen_ = false;
    QPointer<CSetWnd> settingsWindow_;
    bool settingsWindowOpen_ = false;
    // The one input hook; declared last so it outlives everything that captures through it.
    std::unique_ptr<input_hook::CDeviceHook> hook_;
    std::unique_ptr<HookKeyCapture> keyCapture_;
};

}  // namespace rerov::shell
