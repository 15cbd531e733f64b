#pragma once
// CompanionProcess: the sound-capture companion as a child process of the program. It is
// started hidden beside the program, kept alive by the bridge's daemon tick and ended at
// shutdown. A companion that ends with kNoSoundServerExit found no sound server: starting
// it again would only fail again, so it is not restarted. UI thread.

#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>

namespace rerov::audio {

/// The companion's exit code when the machine has no sound server.
inline constexpr int kNoSoundServerExit = 3;

class CompanionProcess : public QObject {
    Q_OBJECT
  public:
    /// `program` empty: nothing is ever started. `lockFile`: the companion's lock, which
    /// tells whether a companion (this one or another) runs; empty: only the child counts.
    CompanionProcess(QString program, QStringList arguments, QString lockFile,
                     QObject* parent = nullptr);
    ~CompanionProcess() override;

    /// Starts the companion; false when it could not be started (the program is missing
    /// or cannot run). The failure handler runs for the first failure only; later ones are
    /// logged.
    bool Launch();
    /// Called once, for the first launch that fails.
    void SetLaunchFailedHandler(std::function<void()> handler) {
        launchFailed_ = std::move(handler);
    }
    /// True while the child runs (or is starting).
    bool IsRunning() const;
    /// True when no companion holds its lock (the child is gone and no other one runs).
    bool LockIsFree() const;
    /// True once a companion ended with kNoSoundServerExit: it is not restarted.
    bool NoSoundServer() const { return noSoundServer_; }
    /// Launches so far (successful or not).
    int LaunchCount() const { return launches_; }
    /// Waits up to `graceMs` for the child to end by itself, then ends it (terminate, then
    /// kill). Nothing when it is not running.
    void Stop(int graceMs);
    /// The child's process id, 0 when none runs.
    qint64 ProcessId() const;

  private:
    void OnFinished(int exitCode, QProcess::ExitStatus status);
    void OnError(QProcess::ProcessError error);
    void ReportLaunchFailure(const QString& reason);

    QString program_;
    QStringList arguments_;
    QString lockFile_;
    QProcess* process_ = nullptr;
    std::function<void()> launchFailed_;
    int launches_ = 0;
    bool failureReported_ = false;
    bool failedThisLaunch_ = false;  // the current launch's failure was reported
    bool noSoundServer_ = false;
};

}  // namespace rerov::audio
