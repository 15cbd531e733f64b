#include "shell/startup/startup.h"

#include <QApplication>
#include <QFont>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QRect>
#include <chrono>
#include <cstdio>
#include <memory>

#include "controls/private_fonts.h"
#include "controls/resource_index.h"
#include "controls/skin_setup.h"
#include "device_link/hid_backend.h"
#include "shell/audio/audio_bridge.h"
#include "shell/ipc/ipc_protocol.h"
#include "shell/ipc/ipc_server.h"
#include "shell/ipc/single_instance.h"
#include "shell/main_wnd.h"
#include "shell/remote_ui/remote_ui.h"
#include "shell/shell_controls.h"
#include "shell/startup/program_options.h"
#include "shell/startup/sim_bus_control.h"
#include "shell/startup/skin_check.h"
#include "shell/startup/window_shown_probe.h"
#include "sim/simulated_bus.h"

Q_LOGGING_CATEGORY(lcStartup, "rerov.startup", QtWarningMsg)

namespace rerov::startup {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitSkin = 1;
constexpr int kExitUsage = 2;

// The main window's size at creation; the monitor fit resizes it later.
constexpr int kWindowWidth = 800;
constexpr int kWindowHeight = 572;

// How long a second start tries to reach the first (which may still be starting).
constexpr int kActivateTimeoutMs = 5000;

void PrintError(const QString& message) {
    std::fprintf(stderr, "rerov-ever: %s\n", qPrintable(message));
}

// The devices of --simulate: the simulator installed as the HID backend with its paths
// plugged, for as long as this object lives. Its delivery thread ends with it, so it must
// go after the window (whose links use it) and before main returns.
class InstalledSimulator {
  public:
    explicit InstalledSimulator(const ProgramOptions& options) {
        if (!options.simulate) return;
        bus_ = std::make_shared<sim::SimulatedBus>();
        if (options.simLatencyUs >= 0)
            bus_->SetLatency(std::chrono::microseconds(options.simLatencyUs));
        for (const sim::SimPath path : options.simulatedPaths) bus_->Plug(path);
        InstallHidBackend(bus_);
    }
    ~InstalledSimulator() {
        if (!bus_) return;
        InstallHidBackend(nullptr);
        const std::weak_ptr<sim::SimulatedBus> left = bus_;
        bus_.reset();
        if (!left.expired()) qCWarning(lcStartup, "the simulator outlives the window");
    }
    InstalledSimulator(const InstalledSimulator&) = delete;
    InstalledSimulator& operator=(const InstalledSimulator&) = delete;

    // The bus, or null without --simulate.
    const std::shared_ptr<sim::SimulatedBus>& Bus() const { return bus_; }

  private:
    std::shared_ptr<sim::SimulatedBus> bus_;
};

// The fonts are loaded before the skin (and before the single-instance check) so that every
// window can use them for its whole life; the skin's default font is the first of them.
void UsePrivateFont(const QStringList& families) {
    if (families.isEmpty()) return;
    QFont font(families.first());
    font.setPixelSize(QApplication::font().pixelSize());
    QApplication::setFont(font);
}

}  // namespace

int RunProgram(int argc, char** argv) {
    ipc::StartupTimes times;
    times.mainEnteredUs = SteadyNowUs();

    QApplication app(argc, argv);
    // "closebtn" may hide the window into the tray and dialogs come and go; the window ends
    // the program itself ("exit", or "closebtn" without a tray).
    QApplication::setQuitOnLastWindowClosed(false);

    ProgramOptions options;
    QString error;
    if (!ParseProgramOptions(QApplication::arguments().mid(1), &options, &error)) {
        PrintError(error);
        return kExitUsage;
    }
    if (options.help) {
        std::fputs(ProgramUsage(), stdout);
        return kExitOk;
    }

    // 1. Private fonts beside the program, when present; released last.
    ui::PrivateFonts fonts;
    const QStringList families = fonts.Load(ui::DefaultFontDir());

    // 2. One instance per user; a second start brings the first to the front and ends.
    ipc::SingleInstance instance(ipc::LockFilePath());
    ipc::IpcServer server;
    switch (instance.TryClaim(&error)) {
        case ipc::SingleInstance::Claim::AlreadyRunning:
            if (!ipc::SingleInstance::ActivateRunning(ipc::ServerName(), kActivateTimeoutMs,
                                                      &error)) {
                qCWarning(lcStartup) << "the running program did not answer:" << error;
            }
            return kExitOk;
        case ipc::SingleInstance::Claim::Unavailable:
            qCWarning(lcStartup) << "running without the single-instance lock:" << error;
            break;
        case ipc::SingleInstance::Claim::First:
            if (!server.Listen(ipc::ServerName(), &error)) {
                qCWarning(lcStartup) << "running without the IPC channel:" << error;
            }
            break;
    }

    // 3. The skin and its resource index; without them there is no window to show.
    error.clear();
    const QString skinDir = ui::DefaultSkinDir();
    ui::PrivateFonts noMoreFonts;  // step 1 loaded them: no font folder this time
    if (!CheckSkin(skinDir, &error) || !ui::SetUpSkin(app, skinDir, QString(), noMoreFonts)) {
        PrintError(error.isEmpty() ? QStringLiteral("cannot load the skin in %1").arg(skinDir)
                                   : error);
        return kExitSkin;
    }
    UsePrivateFont(families);

    // 4. The control classes the layouts name (the toolkit's own ones came with the skin).
    shell::RegisterShellControls();

    // 5. The devices: the simulator with --simulate, else the real HID interfaces.
    InstalledSimulator simulator(options);

    // 6. The main window; its start-up hides it until the device scan's first pass and
    // launches the sound-capture companion, whose records the channel hands the bridge.
    auto window = std::make_unique<shell::CMainWnd>();
    window->EnableAudioCompanion(AudioCompanionArguments(options));
    server.SetAudioSink(&window->Audio());
    window->Audio().SetSender(&server);
    if (!window->Create(QLatin1String(shell::kProductTitle), QSize(kWindowWidth, kWindowHeight))) {
        PrintError(QStringLiteral("cannot build the main window from the layout %1")
                       .arg(ui::ResourceIndex::Instance().LayoutPath(window->GetSkinFile())));
        return kExitSkin;
    }
    window->SetSimulated(options.simulate);
    window->CenterWindow();
    new WindowShownProbe(window.get(), &times);
    std::unique_ptr<SimBusControl> simControl;
    if (simulator.Bus()) {
        shell::CMainWnd* target = window.get();
        simControl =
            std::make_unique<SimBusControl>(simulator.Bus(), [target] { target->ScanNow(); });
    }
    // rerovctl app ui / app screenshot; the ui actions are refused without --simulate.
    remote_ui::RemoteUi remoteUi(window.get());
    const shell::CMainWnd* shown = window.get();
    server.SetTargets(ipc::RequestTargets{
        window.get(), simControl.get(), &times,
        [shown] {
            // Where the desktop has the window (frame included), for checks of maximise,
            // restore and the monitor fit.
            const QRect frame = shown->frameGeometry();
            return QJsonObject{{QStringLiteral("title"), shown->windowTitle()},
                               {QStringLiteral("visible"), shown->isVisible()},
                               {QStringLiteral("minimized"), shown->isMinimized()},
                               {QStringLiteral("maximized"), shown->isMaximized()},
                               {QStringLiteral("x"), frame.x()},
                               {QStringLiteral("y"), frame.y()},
                               {QStringLiteral("width"), frame.width()},
                               {QStringLiteral("height"), frame.height()}};
        },
        &remoteUi});
    window->show();

    // 7. The message loop, until "exit" (the tray menu, app quit) ends it.
    const int status = QApplication::exec();

    // 8. Teardown in reverse order: nothing reaches the window any more, the window stops
    // its threads and destroys its pages, then the channel and the lock go; the simulator,
    // the fonts and the application object follow as the stack unwinds.
    server.SetTargets(ipc::RequestTargets{nullptr, nullptr, &times, {}});
    server.SetAudioSink(nullptr);
    window.reset();
    simControl.reset();
    server.Close();
    instance.Release();
    qCInfo(lcStartup, "ended with status %d", status);
    return status;  // the simulator goes before the fonts and the application object
}

}  // namespace rerov::startup
