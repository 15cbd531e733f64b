#pragma once
// AudioBridge: the program's end of the sound-capture companion. It launches the companion
// beside the program, keeps it alive (the daemon tick: a 1000 ms timer on the UI thread
// stands for the original's daemon thread, since all it did was sleep and check a lock),
// starts its capture once it has introduced itself on the IPC channel, tells it the style
// colour and the slider levels, turns its spectra into band levels for the current
// keyboard and mouse, hands its levels to the current keyboard, and ends it at shutdown.
// Owned by the main window; UI thread only.

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "shell/audio/audio_bands.h"
#include "shell/audio/audio_style_set.h"
#include "shell/ipc/audio_link.h"
#include "shell/ipc/audio_records.h"

namespace rerov::audio {

class CompanionProcess;

/// Where the companion's data goes: the pages of the current keyboard and mouse. An
/// implementation drops what has no page to go to.
class AudioReceivers {
  public:
    virtual ~AudioReceivers() = default;
    virtual void KeyboardSpectrum(const SpectrumArray& spectrum) = 0;
    virtual void MouseSpectrum(const SpectrumArray& spectrum) = 0;
    virtual void KeyboardLevels(const std::array<uint32_t, ipc::kAudioLevelValues>& levels) = 0;
};

struct AudioBridgeOptions {
    QString program;                // the companion's file; empty: it is never launched
    QStringList arguments;          // its command line
    QString lockFile;               // its lock; empty: only the bridge's own child counts
    int daemonPeriodMs = 1000;      // how often the daemon looks for the companion
    int restartStartDelayMs = 500;  // after a relaunch: when its capture is started
    int shutdownGraceMs = 1000;     // at shutdown: how long it may take to exit by itself
};

class AudioBridge : public QObject, public ipc::AudioLinkSink {
    Q_OBJECT
  public:
    /// `keyboardRows`, `mouseRows`: supported-device rows of the keyboard and mouse kinds.
    AudioBridge(int keyboardRows, int mouseRows, QObject* parent = nullptr);
    ~AudioBridge() override;

    /// How messages reach the companion (the IPC server; null: nothing is sent).
    void SetSender(ipc::AudioLinkSender* sender) { sender_ = sender; }
    /// Where data goes (null: dropped).
    void SetReceivers(AudioReceivers* receivers) { receivers_ = receivers; }
    /// The companion to launch; before Launch. Replaces any earlier one.
    void SetOptions(const AudioBridgeOptions& options);
    /// Called once when the first launch fails (the window shows "Record open failed!").
    void SetLaunchFailedHandler(std::function<void()> handler);

    /// Start-up: launches the companion and starts the daemon. False when it did not start.
    bool Launch();
    /// Timer 1011 (and 500 ms after a relaunch): the companion's capture is to start. It
    /// gets commands 0, 3 and 1 (and the style colour) as soon as it has introduced itself;
    /// from then on every companion that introduces itself gets them, once per connection.
    void StartCapture();
    /// One daemon tick: a companion that is gone (its lock free) is launched again, unless
    /// it reported that the machine has no sound server.
    void CheckCompanion();
    /// Stops the daemon (worker slot 1 at shutdown); nothing is relaunched afterwards.
    void StopDaemon();
    /// Shutdown: the daemon stops, the companion gets commands 2, 4 and 5 and is ended
    /// when it has not exited on its own after a short wait. Runs once.
    void Shutdown();

    /// The style colour record of `styles` goes to the companion (once it has introduced
    /// itself) and is kept for its next start.
    void SendStyleColour(const AudioStyleSet& styles);
    /// A slider of the levels' colour: command 6, 7 or 8 with the value.
    void SendColourCommand(ipc::AudioCommand command, int value);

    /// True while a companion that introduced itself is connected.
    bool IsIntroduced() const { return introduced_; }
    /// Launches so far.
    int LaunchCount() const;
    /// True once the companion reported that there is no sound server.
    bool RestartsStopped() const;
    /// True while the daemon runs.
    bool DaemonRunning() const { return daemon_.isActive(); }
    int DaemonPeriodMs() const { return daemon_.interval(); }
    /// The companion's process id, 0 when the bridge's child does not run.
    qint64 CompanionProcessId() const;

    // ipc::AudioLinkSink
    void OnCompanionIntroduced() override;
    void OnCompanionRecord(const ipc::AudioRecord& record) override;
    void OnCompanionGone() override;

  private:
    bool Send(const QJsonObject& message);
    void StartIfReady();
    void SendStartCommands();
    void OnSpectrum(const QByteArray& data);
    void OnLevels(const QByteArray& data);

    AudioBridgeOptions options_;
    std::unique_ptr<CompanionProcess> process_;
    std::function<void()> launchFailed_;
    ipc::AudioLinkSender* sender_ = nullptr;
    AudioReceivers* receivers_ = nullptr;
    AudioBands bands_;
    SpectrumArray spectrum_{};                               // the last values received
    std::array<uint32_t, ipc::kAudioLevelValues> levels_{};  // the last levels received
    std::vector<int32_t> styleColour_;                       // empty until styles load
    QTimer daemon_;
    QTimer restartStart_;
    bool introduced_ = false;
    bool captureWanted_ = false;  // timer 1011 has fired
    bool startSent_ = false;      // the connected companion has had its start commands
    bool shutDown_ = false;
};

}  // namespace rerov::audio
