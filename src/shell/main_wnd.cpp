#include "shell/main_wnd.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QIcon>
#include <QLoggingCategory>
#include <QScreen>
#include <QWindow>

#include "controls/control_factory.h"
#include "controls/control_timers.h"
#include "controls/language_texts.h"
#include "controls/option_ui.h"
#include "controls/popup_menu.h"
#include "controls/resource_index.h"
#include "controls/skin_setup.h"
#include "controls/tray_icon.h"
#include "device_link/device_manager.h"
#include "devices/pages/device_page.h"
#include "devices/pages/keyboard_page.h"
#include "shell/audio/audio_bridge.h"
#include "shell/audio/audio_style_store.h"
#include "shell/close_policy.h"
#include "shell/device_option_ui.h"
#include "shell/hook_key_capture.h"
#include "shell/main_wnd_page_slot.h"
#include "shell/monitor_fit.h"
#include "shell/mp_device_power_ui.h"
#include "shell/routes/audio_routes.h"
#include "shell/routes/dialog_routes.h"
#include "shell/routes/keyboard_settings_routes.h"
#include "shell/routes/light_editor_routes.h"
#include "shell/routes/profile_bar_routes.h"
#include "shell/routes/settings_routes.h"
#include "shell/routes/skin_routes.h"
#include "shell/settings/set_wnd.h"
#include "shell/shell_controls.h"
#include "shell/sleep_watch.h"

Q_LOGGING_CATEGORY(lcMainWnd, "rerov.mainwnd", QtWarningMsg)

namespace rerov::shell {
namespace {

constexpr int kMonitorFitDelayMs = 100;
constexpr int kTrayMenuDelayMs = 10;
constexpr int kWorkerStopBoundMs = 1000;

// The nine caption buttons.
constexpr const char* kCaptionButtons[] = {"closebtn", "maxbtn",       "restorebtn",
                                           "minbtn",   "skinbtn",      "gamemodebtn",
                                           "cloudbtn", "smarteyesbtn", "setbtn"};

// Notification types and the routing table each goes to. Types not listed go to the
// window's own pump only.
struct RouteRow {
    const char* type;
    const char* table;
};
constexpr RouteRow kRouteRows[] = {
    {"colorchanged", "colorchanged"},
    {"click", "click"},
    {"msleave", "hover"},
    {"msenter", "hover"},
    {"selectchanged", "selectchanged"},
    {"valuechanged", "valuechanged"},
    {"movevaluechanged", "movevaluechanged"},
    {"itemselect", "itemselect"},
    {"itemclick", "listitem"},
    {"textchanged", "listitem"},
    {"killfocus", "killfocus"},
    {"click_select_end", "click_select_end"},
    {"itemactivate", "itemactivate"},
    {"setfocus", "setfocus"},
};
// Notifications that end here: they do not reach the window's own pump.
constexpr const char* kStoppedTypes[] = {"click_wpremove", "click_wpedit"};
// Notifications that are ignored but still passed on.
constexpr const char* kIgnoredTypes[] = {"click_wpadd", "click_wpselect"};

// The scan thread as a worker slot.
class ScanWorker : public WorkerSlot {
  public:
    explicit ScanWorker(DeviceScanner& scanner) : scanner_(scanner) {}
    void RequestStop() override { scanner_.RequestStop(); }
    bool WaitStopped(int boundMs) override {
        return scanner_.Stop(std::chrono::milliseconds(boundMs));
    }
    void Abandon() override { scanner_.Detach(); }

  private:
    DeviceScanner& scanner_;
};

template <typename List, typename T>
bool Contains(const List& list, const T& value) {
    for (const auto& item : list) {
        if (value == QLatin1String(item)) return true;
    }
    return false;
}

}  // namespace

CMainWnd::CMainWnd(std::shared_ptr<HidBackend> backend)
    : backend_(backend ? std::move(backend) : CurrentHidBackend()),
      supported_(SupportedDevices()),
      found_(supported_) {
    RegisterShellControls();
    manager_ = std::make_unique<DeviceManager>(found_, *this);
    SetUpAudio();
    SetUpRouting();
}

CMainWnd::~CMainWnd() {
    Shutdown();
    ui::KillAllControlTimers(this);
}

QWidget* CMainWnd::CreateControl(const QString& tag) {
    static const ui::TagTable table(ui::CustomControlTagRows());
    return table.Create(tag);
}

void CMainWnd::InitWindow() {
    // Before anything shows: the layout's texts and every entry created later read it.
    LoadStartLanguage();
    for (const char* name : kCaptionButtons) {
        captionButtons_.insert(QLatin1String(name), FindControl(QLatin1String(name)));
    }
    setWindowIcon(
        QIcon(ui::ResourceIndex::Instance().SkinPath(QStringLiteral("images/app_icon.svg"))));
    ApplyTitle();
    SetUpTray();
    if (QWidget* restore = captionButtons_.value(QStringLiteral("restorebtn"))) restore->hide();
    if (QWidget* power = FindControl(QLatin1String(kPowerContainerName))) {
        // The device bar keeps its shape while there is no power status to show.
        QSizePolicy policy = power->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        power->setSizePolicy(policy);
    }
    RefreshNoDeviceHint();
    SkinObserver::Instance().AddReceiver(this);
    RestoreStoredSkin();
}

void CMainWnd::SetUpRouting() {
    // Types that share a handler table share one pump ("msenter" and "msleave": hover).
    QHash<QString, ui::NotifyPump*> tables;
    for (const RouteRow& row : kRouteRows) {
        const QString table = QLatin1String(row.table);
        ui::NotifyPump*& pump = tables[table];
        if (pump == nullptr) {
            routeTables_.push_back(std::make_unique<ui::NotifyPump>());
            pump = routeTables_.back().get();
        }
        routes_.insert(QLatin1String(row.type), pump);
    }
    // Caption buttons.
    for (const char* name : kCaptionButtons) {
        const QString button = QLatin1String(name);
        Routes(QStringLiteral("click"))
            .On(QStringLiteral("click"), button,
                [this, button](const ui::Notification&) { OnCaptionClick(button); });
    }
    // The device list.
    Routes(QStringLiteral("click"))
        .On(QStringLiteral("click"), QStringLiteral("device_select_prev"),
            [this](const ui::Notification&) { SelectPreviousDevice(); });
    Routes(QStringLiteral("click"))
        .On(QStringLiteral("click"), QStringLiteral("device_select_next"),
            [this](const ui::Notification&) { SelectNextDevice(); });
    // The user's own choice of an entry: the start-up preference gives way to it.
    Routes(QStringLiteral("click"))
        .On(QStringLiteral("click"), QStringLiteral("device_select"),
            [this](const ui::Notification&) { startEntryAwaited_ = false; });
    Routes(QStringLiteral("selectchanged"))
        .On(QStringLiteral("selectchanged"), QStringLiteral("device_select"),
            [this](const ui::Notification& msg) {
                if (msg.wParam != 0) OnDeviceEntrySelected();
            });
    AddProfileBarRoutes(*this);
    AddLightEditorRoutes(*this);
    AddDialogRoutes(*this);
    AddKeyboardSettingsRoutes(*this);
    AddAudioRoutes(*this);
    AddSkinRoutes(*this);
    AddSettingsRoutes(*this);
}

ui::NotifyPump& CMainWnd::Routes(const QString& type) {
    auto it = routes_.find(type);
    if (it != routes_.end()) return **it;
    routeTables_.push_back(std::make_unique<ui::NotifyPump>());
    routes_.insert(type, routeTables_.back().get());
    return *routeTables_.back();
}

void CMainWnd::Notify(const ui::Notification& msg) {
    if (msg.type == ui::notify_type::kWindowInit) {
        StartUp();
    } else if (Contains(kStoppedTypes, msg.type)) {
        return;
    } else if (!Contains(kIgnoredTypes, msg.type)) {
        if (ui::NotifyPump* pump = routes_.value(msg.type)) pump->LoopDispatch(msg);
    }
    ui::CWindowBase::Notify(msg);
}

// --- Start and end ---

void CMainWnd::StartUp() {
    if (started_ || shutDown_) return;
    started_ = true;
    CreateDevicePages();
    // Hidden until the scan's first pass shows it; the hide is queued because start-up
    // may run inside the first show.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!firstPassSeen_) hide();
        },
        Qt::QueuedConnection);
    StartScan();
    StartAudio();
    sleepWatch_ = new SleepWatch(this);
    connect(sleepWatch_, &SleepWatch::prepareForSleep, this, &CMainWnd::OnPrepareForSleep);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        connect(screen, &QScreen::geometryChanged, this,
                [this] { FitToMonitor(CurrentMonitor()); });
    }
    ui::SetControlTimer(this, kTimerMonitorFit, kMonitorFitDelayMs);
}

void CMainWnd::StartScan() {
    scanner_ = std::make_unique<DeviceScanner>(found_, backend_, scanOptions_);
    DeviceScanner* scanner = scanner_.get();
    // The scan thread waits while the UI thread handles an arrival or removal; the wait
    // gives up when the window stops the scan, so Shutdown never deadlocks with it.
    const DeviceScanner::Poster post = [this](std::function<void()> work) {
        QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
    };
    scanner_->SetArrivalCallback([this, scanner, post](size_t index) {
        scanner->CallAndWait(post, [this, index] { OnArrival(index); });
    });
    scanner_->SetRemovalCallback([this, scanner, post](size_t index) {
        scanner->CallAndWait(post, [this, index] { OnRemoval(index); });
    });
    scanner_->SetFirstPassCallback([this] {
        QMetaObject::invokeMethod(
            this, [this] { OnFirstPass(); }, Qt::QueuedConnection);
    });
    workers_[kScanSlot] = std::make_unique<ScanWorker>(*scanner_);
    if (!scanner_->Start()) qCWarning(lcMainWnd, "the scan thread did not start");
}

void CMainWnd::ScanNow() {
    if (scanner_) scanner_->Wake();
}

void CMainWnd::OnArrival(size_t index) {
    if (shutDown_) return;
    manager_->OnDeviceArrival(index);
}

void CMainWnd::OnRemoval(size_t index) {
    if (shutDown_) return;
    manager_->OnDeviceRemoval(index);
}

void CMainWnd::OnFirstPass() {
    if (shutDown_) return;
    firstPassSeen_ = true;
    SelectStartEntry();
    BringToFront();
}

void CMainWnd::Shutdown() {
    if (shutDown_) return;
    shutDown_ = true;
    hide();
    ui::KillAllControlTimers(this);
    // Every worker is asked first, then each is waited for in turn.
    for (auto& worker : workers_) {
        if (worker) worker->RequestStop();
    }
    bool scanAbandoned = false;
    for (int slot = 0; slot < kWorkerSlotCount; ++slot) {
        if (!workers_[slot]) continue;
        if (workers_[slot]->WaitStopped(kWorkerStopBoundMs)) continue;
        // A thread cannot be killed safely, and joining it could hang the exit: it is left
        // running, with what it uses, and ends with the process.
        qCWarning(lcMainWnd, "worker %d did not stop within %d ms; left running", slot,
                  kWorkerStopBoundMs);
        workers_[slot]->Abandon();
        (void)workers_[slot].release();
        if (slot == kScanSlot) scanAbandoned = true;
    }
    for (auto& worker : workers_) worker.reset();
    if (scanAbandoned) {
        (void)scanner_.release();
    } else {
        scanner_.reset();
    }
    // The companion goes after the workers (its daemon is one of them), before the pages.
    ShutdownAudio();
    if (trayMenu_ != nullptr) trayMenu_->Close();
    if (tray_ != nullptr) tray_->DeleteTrayIcon();
    DestroyDevicePages();
}

void CMainWnd::Exit() {
    CloseSecondaryWindows();
    Shutdown();
    emit exitRequested();
    if (quitOnExit_) QCoreApplication::exit(0);
}

void CMainWnd::closeEvent(QCloseEvent* event) {
    // Closing by the system ends the program as "exit" does; closebtn follows the close
    // policy.
    if (!shutDown_ && event->spontaneous()) {
        Exit();
    }
    ui::CWindowBase::closeEvent(event);
}

bool CMainWnd::SetWorker(int slot, std::unique_ptr<WorkerSlot> worker) {
    if (slot < 0 || slot >= kWorkerSlotCount || workers_[slot] || !worker) return false;
    workers_[slot] = std::move(worker);
    return true;
}

WorkerSlot* CMainWnd::Worker(int slot) const {
    if (slot < 0 || slot >= kWorkerSlotCount) return nullptr;
    return workers_[slot].get();
}

void CMainWnd::SetSimulated(bool simulated) {
    simulated_ = simulated;
    ApplyTitle();
}

void CMainWnd::ApplyTitle() {
    QString title = QLatin1String(kProductTitle);
    if (simulated_) title += QStringLiteral(" (simulated)");
    setWindowTitle(title);
    if (auto* label = qobject_cast<ui::CControlUI*>(FindControl(QStringLiteral("title")))) {
        label->SetText(title);
    }
    if (tray_ != nullptr && tray_->IsCreated()) tray_->CreateTrayIcon(windowIcon(), title);
}

// --- Timers and events ---

bool CMainWnd::event(QEvent* event) {
    if (event->type() == ui::ControlTimerEvent::EventType()) {
        OnControlTimer(static_cast<ui::ControlTimerEvent*>(event)->TimerId());
        return true;
    }
    return ui::CWindowBase::event(event);
}

void CMainWnd::OnControlTimer(int id) {
    ui::KillControlTimer(this, id);
    switch (id) {
        case kTimerMonitorFit:
            FitToMonitor(CurrentMonitor());
            update();
            audio_->StartCapture();
            break;
        case kTimerTrayMenu:
            ShowTrayMenu();
            break;
        default:
            if (const auto it = timerHandlers_.constFind(id); it != timerHandlers_.cend() && *it) {
                (*it)();
            }
            break;
    }
}

void CMainWnd::AddTimerHandler(int id, std::function<void()> handler) {
    timerHandlers_.insert(id, std::move(handler));
}

void CMainWnd::enterEvent(QEnterEvent* event) {
    SetWindowActiveFlags(true);
    ui::CWindowBase::enterEvent(event);
}

void CMainWnd::leaveEvent(QEvent* event) {
    // The key pictures are not repainted while the pointer is elsewhere.
    SetWindowActiveFlags(false);
    ui::CWindowBase::leaveEvent(event);
}

void CMainWnd::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange) SetWindowActiveFlags(isActiveWindow());
    if (event->type() == QEvent::WindowStateChange) {
        const bool maximised = isMaximized();
        if (QWidget* b = captionButtons_.value(QStringLiteral("maxbtn"))) b->setVisible(!maximised);
        if (QWidget* b = captionButtons_.value(QStringLiteral("restorebtn"))) {
            b->setVisible(maximised);
        }
    }
    ui::CWindowBase::changeEvent(event);
}

QRect CMainWnd::CurrentMonitor() const {
    const QScreen* screen = this->screen();
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry() : QRect(0, 0, 1024, 768);
}

void CMainWnd::FitToMonitor(const QRect& monitor) {
    const bool shown = isVisible() && !isMinimized();
    const MonitorFit fit = shell::FitToMonitor(monitor);
    dpi_ = fit.dpi;
    fittedSize_ = fit.size;
    // The content grows with the window: every window's sheet and this window's controls.
    ui::ApplySkinScale(fit.contentScale);
    SetContentScale(fit.contentScale);
    normalGeometry_ = fit.geometry;
    // A window the user maximised stays so (a late timer 1011 must not undo the click);
    // restore brings it to the fitted place.
    if (isMaximized()) return;
    setFixedSize(fit.size);
    move(fit.geometry.topLeft());
    if (shown) {
        showNormal();
    }
}

// --- Caption, tray and menu ---

void CMainWnd::OnCaptionClick(const QString& name) {
    if (name == QLatin1String("minbtn")) {
        showMinimized();
    } else if (name == QLatin1String("maxbtn")) {
        // Restore brings back where the window was, however it got there.
        if (!isMaximized()) normalGeometry_ = geometry();
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);  // the fitted size is fixed
        showMaximized();
    } else if (name == QLatin1String("restorebtn")) {
        RestoreFromMaximised();
    } else if (name == QLatin1String("closebtn")) {
        OnCloseButton();
    }
    // "setbtn" has a route of its own; "skinbtn" and the others open windows that come
    // with later features.
}

void CMainWnd::RestoreFromMaximised() {
    showNormal();
    if (normalGeometry_.isValid()) {
        setFixedSize(normalGeometry_.size());
        move(normalGeometry_.topLeft());
    } else if (!fittedSize_.isEmpty()) {
        setFixedSize(fittedSize_);
    }
}

void CMainWnd::OnCloseButton() {
    // The desktop's tray may have come up since the program started.
    if (tray_ != nullptr && !tray_->IsCreated()) tray_->CreateTrayIcon(windowIcon(), windowTitle());
    switch (CloseActionFor(tray_ != nullptr && tray_->IsCreated())) {
        case CloseAction::HideToTray:
            HideToTray();
            if (!trayHintShown_) {
                // Once per run: where the window went and how to end the program.
                trayHintShown_ =
                    tray_->ShowMessage(windowTitle(), ui::Tr(QStringLiteral("tray_hidden_hint")));
            }
            break;
        case CloseAction::EndProgram:
            Exit();
            break;
    }
}

void CMainWnd::HideToTray() {
    CloseSecondaryWindows();
    hide();
    // No power status is read while nobody sees it.
    SetStatusHold(true);
}

void CMainWnd::SetUpTray() {
    tray_ = new ui::TrayIcon(this);
    tray_->CreateTrayIcon(windowIcon(), windowTitle());
    connect(tray_, &ui::TrayIcon::leftClicked, this, &CMainWnd::OnTrayLeftClick);
    connect(tray_, &ui::TrayIcon::rightClicked, this,
            [this] { ui::SetControlTimer(this, kTimerTrayMenu, kTrayMenuDelayMs); });
}

void CMainWnd::OnTrayLeftClick() {
    RefreshNoDeviceHint();
    CloseSecondaryWindows();
    if (isVisible() && !isMinimized()) {
        hide();
        SetStatusHold(true);
        return;
    }
    FitToMonitor(CurrentMonitor());
    showNormal();
    raise();
    activateWindow();
    update();
    SetStatusHold(false);
}

void CMainWnd::ShowTrayMenu() {
    if (trayMenu_ != nullptr) {
        trayMenu_->Close();
        trayMenu_->deleteLater();
        trayMenu_ = nullptr;
    }
    trayMenu_ = new ui::PopupMenu(this);
    if (!trayMenu_->Load(QStringLiteral("menu.xml"))) {
        qCWarning(lcMainWnd, "the tray menu cannot be loaded");
        return;
    }
    connect(trayMenu_, &ui::PopupMenu::itemClicked, this, &CMainWnd::OnMenuCommand);
    // The desktop places the menu beside its panel; open it above-left of the cursor.
    trayMenu_->Popup(QCursor::pos(), ui::kMenuLeft | ui::kMenuBottom);
}

void CMainWnd::OnMenuCommand(const QString& name) {
    if (name == QLatin1String("exit")) {
        Exit();
        return;
    }
    const auto it = menuCommands_.constFind(name);
    if (it != menuCommands_.constEnd() && *it) (*it)();
}

void CMainWnd::AddMenuCommand(const QString& name, std::function<void()> command) {
    menuCommands_.insert(name, std::move(command));
}

void CMainWnd::TrackSecondaryWindow(QWidget* window) {
    if (window != nullptr) secondaryWindows_.emplace_back(window);
}

void CMainWnd::CloseSecondaryWindows() {
    for (const QPointer<QWidget>& window : secondaryWindows_) {
        if (window) window->close();
    }
    secondaryWindows_.clear();
}

void CMainWnd::CloseSettingsWindow() {
    // Asked as a window message would: the window stays while an update runs.
    if (QWidget* settings = SettingsWindow()) settings->close();
}

// --- Front, hint and flags ---

void CMainWnd::BringToFront() {
    // The first show can come before timer 1011: fit first, so the window never appears at
    // its design size and then jumps.
    if (fittedSize_.isEmpty()) FitToMonitor(CurrentMonitor());
    RefreshNoDeviceHint();
    SetStatusHold(false);
    showNormal();
    raise();
    activateWindow();
}

void CMainWnd::AfterArrival() {
    RefreshNoDeviceHint();
    if (firstPassSeen_) BringToFront();
}

void CMainWnd::OnPrepareForSleep(bool suspending) {
    awake_.store(!suspending);
    TellPagesHostLighting(suspending ? 0 : lightingControl_);
    if (!suspending) ReapplyKeyboardProfiles();
}

void CMainWnd::ReapplyKeyboardProfiles() {
    // A keyboard may come back from standby with its power-on settings: it gets the
    // profile again, and the lighting back into the program's hands.
    for (CDevicePageUI* page : pageLists_[kKeyboardPages]) {
        CZidiraKeyboardDevice* keyboard = KeyboardOf(*page);
        if (keyboard == nullptr || !keyboard->MainLink().IsConnected()) continue;
        const DownloadReport report = keyboard->ApplyToDevice();
        if (report.Failed() || report.report != 0) {
            qCWarning(lcMainWnd, "the profile did not reach the keyboard after resume (%d, %d)",
                      report.report, report.link);
        }
        // Writing the profile may take the lighting from the host; hand it back unless the
        // user gave it away.
        keyboard->SetHostLighting(lightingControl_);
    }
}

void CMainWnd::SetWindowActiveFlags(bool active) {
    for (PageGroup group : kLitPageGroups) {
        for (CDevicePageUI* page : pageLists_[group]) page->Device().SetWindowActive(active);
    }
}

void CMainWnd::TellPagesHostLighting(int on) {
    for (PageGroup group : kLitPageGroups) {
        for (CDevicePageUI* page : pageLists_[group]) page->Device().SetHostLighting(on);
    }
}

void CMainWnd::SetStatusHold(bool hold) {
    for (PageGroup group : kPowerPageGroups) {
        for (CDevicePageUI* page : pageLists_[group]) page->Device().SetStatusHold(hold);
    }
}

// --- AppControl ---

AppState CMainWnd::State() const {
    AppState state;
    const QWidget* hint = FindControl(QStringLiteral("No_device_Link"));
    state.noDeviceHintVisible = hint != nullptr && !hint->isHidden();
    for (int i = 0; i < EntryCount(); ++i) {
        CDeviceOptionUI* entry = Entry(i);
        CDevicePageUI* page = PageOfEntry(i);
        DeviceEntryState e;
        if (page != nullptr) {
            e.family = page->Device().FamilyName();
            e.connected = page->Device().MainLink().IsConnected();
            e.receiver = e.connected && page->Device().MainLink().IsReceiver();
            // Whether the window is shown or hidden, which page its page area shows.
            e.pageVisible = page->isVisibleTo(this) && !state.noDeviceHintVisible;
            e.lightFramesSent = page->Device().LightFramesSent();
            e.lightFramesSkipped = page->Device().LightFramesSkipped();
        }
        e.ready = e.connected && entry->ArrivalRead();
        e.shown = entry->IsShown();
        e.current = entry->IsCurrent();
        state.entries.push_back(e);
    }
    return state;
}

}  // namespace rerov::shell
