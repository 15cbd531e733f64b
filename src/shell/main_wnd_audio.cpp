// The audio side of CMainWnd: the bridge to the sound-capture companion, where its data
// goes (the current keyboard and mouse pages) and the audio styles.

#include <QCoreApplication>
#include <QLoggingCategory>

#include "devices/czidira_usb_device.h"
#include "devices/pages/device_page.h"
#include "shell/audio/audio_bridge.h"
#include "shell/audio/audio_style_store.h"
#include "shell/dialogs/msg_wnd.h"
#include "shell/dialogs/music_wnd.h"
#include "shell/ipc/audio_records.h"
#include "shell/ipc/ipc_protocol.h"
#include "shell/main_wnd.h"

Q_LOGGING_CATEGORY(lcMainWndAudio, "rerov.mainwnd.audio", QtWarningMsg)

namespace rerov::shell {
namespace {

// The text of the launch failure; a plain message, as the capture protocol's own.
constexpr char kLaunchFailedText[] = "Record open failed!";

// The audio daemon in its worker slot. It is a timer of the UI thread, not a thread: all the
// daemon does is look for the companion once a second, so a thread would only sleep.
class AudioDaemonWorker : public WorkerSlot {
  public:
    explicit AudioDaemonWorker(audio::AudioBridge& bridge) : bridge_(bridge) {}
    void RequestStop() override { bridge_.StopDaemon(); }
    bool WaitStopped(int) override { return true; }
    void Abandon() override {}

  private:
    audio::AudioBridge& bridge_;
};

// The device of the page at `index` of `pages`; null when the index is no position of the
// list (with the mouse pad's entry current both indices are out of range).
CZidiraUSBDevice* DeviceAt(const std::vector<CDevicePageUI*>& pages, int index) {
    if (index < 0 || size_t(index) >= pages.size() || pages[size_t(index)] == nullptr) {
        return nullptr;
    }
    return &pages[size_t(index)]->Device();
}

// The companion's data for the pages of the current keyboard and mouse.
class PageAudioReceivers : public audio::AudioReceivers {
  public:
    explicit PageAudioReceivers(const CMainWnd& window) : window_(window) {}

    void KeyboardSpectrum(const audio::SpectrumArray& spectrum) override {
        Spectrum(DeviceAt(window_.PageList(kKeyboardPages), window_.CurrentKeyboardIndex()),
                 spectrum);
    }
    void MouseSpectrum(const audio::SpectrumArray& spectrum) override {
        Spectrum(DeviceAt(window_.PageList(kMousePages), window_.CurrentMouseIndex()), spectrum);
    }
    void KeyboardLevels(const std::array<uint32_t, ipc::kAudioLevelValues>& levels) override {
        CZidiraUSBDevice* device =
            DeviceAt(window_.PageList(kKeyboardPages), window_.CurrentKeyboardIndex());
        if (device != nullptr) device->OnAudioLevels(levels.data(), levels.size());
    }

  private:
    static void Spectrum(CZidiraUSBDevice* device, const audio::SpectrumArray& spectrum) {
        // The pages take the array's bytes with its value count, as the capture protocol
        // hands them on.
        if (device != nullptr) {
            device->OnAudioSpectrum(reinterpret_cast<const uint8_t*>(spectrum.data()),
                                    spectrum.size());
        }
    }

    const CMainWnd& window_;
};

// The companion's program file beside the program's own.
QString CompanionProgram() {
    QString program =
        QCoreApplication::applicationDirPath() + u'/' + QLatin1String(ipc::kAudioCaptureProgram);
#ifdef Q_OS_WIN
    program += QStringLiteral(".exe");
#endif
    return program;
}

// The companion's lock, empty without a runtime folder.
QString CompanionLock() {
    const QString folder = ipc::RuntimeFolder();
    if (folder.isEmpty()) return {};
    return folder + u'/' + QLatin1String(ipc::kAudioCaptureLockName) + QStringLiteral(".lock");
}

}  // namespace

void CMainWnd::SetUpAudio() {
    int keyboardRows = 0;
    int mouseRows = 0;
    for (const SupportedDevice& row : supported_) {
        if (row.kind == kKindKeyboard || row.kind == kKindKeyboardReceiver) ++keyboardRows;
        if (row.kind == kKindMouse || row.kind == kKindMouseReceiver) ++mouseRows;
    }
    audioStyles_ = std::make_unique<audio::AudioStyleStore>(audio::AudioStyleStore::ForProgram());
    audioReceivers_ = std::make_unique<PageAudioReceivers>(*this);
    audio_ = std::make_unique<audio::AudioBridge>(keyboardRows, mouseRows);
    audio_->SetReceivers(audioReceivers_.get());
    audio_->SetLaunchFailedHandler([this] {
        // Shown once, from the event loop: the launch runs inside the window's start-up.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (shutDown_) return;
                ShowMessageBox(this, QString(), QLatin1String(kLaunchFailedText), dpi_,
                               MsgText::Literal, MsgButtons::ConfirmOnly);
            },
            Qt::QueuedConnection);
    });
}

void CMainWnd::EnableAudioCompanion(const QStringList& arguments) {
    audioCompanion_ = true;
    audioArguments_ = arguments;
}

void CMainWnd::StartAudio() {
    if (audioCompanion_) {
        audio::AudioBridgeOptions options;
        options.program = CompanionProgram();
        options.arguments = audioArguments_;
        options.lockFile = CompanionLock();
        audio_->SetOptions(options);
        SetWorker(kAudioDaemonSlot, std::make_unique<AudioDaemonWorker>(*audio_));
        audio_->Launch();
    }
    if (!audioStyles_->Load()) qCWarning(lcMainWndAudio, "no audio styles could be loaded");
    audio_->SendStyleColour(audioStyles_->Styles());
}

void CMainWnd::ShutdownAudio() { audio_->Shutdown(); }

const audio::AudioStyleSet& CMainWnd::AudioStyles() const { return audioStyles_->Styles(); }

void CMainWnd::OpenMusicWindow() {
    if (musicWindowOpen_ || shutDown_) return;
    musicWindowOpen_ = true;
    audio::AudioStyleSet styles = audioStyles_->Styles();
    const int result = ShowMusicWindow(this, dpi_, &styles,
                                       [this](QWidget* window) { TrackSecondaryWindow(window); });
    musicWindowOpen_ = false;
    if (result != kMusicConfirmed || shutDown_) return;
    audio_->SendStyleColour(styles);
    if (!audioStyles_->Save(styles)) {
        qCWarning(lcMainWndAudio, "the audio styles were not saved");
    }
}

void CMainWnd::ResetAudioStyles() {
    if (!audioStyles_->Reset()) {
        qCWarning(lcMainWndAudio, "the factory audio styles could not be restored");
        return;
    }
    audio_->SendStyleColour(audioStyles_->Styles());
}

}  // namespace rerov::shell
