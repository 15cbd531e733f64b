#pragma once
// Running the real rerov-ever and rerovctl as separate processes, each test in its own
// runtime and data folders so that tests never meet each other's instance.

#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "tests/support/scoped_environment.h"

namespace rerov::e2e {

// Generous limits: the machine is small and shared with other builds.
inline constexpr int kStartMs = 30000;
inline constexpr int kStateMs = 30000;
inline constexpr int kRunMs = 60000;

struct RunOutcome {
    bool finished = false;
    int exitCode = -1;
    QString out;
    QString err;
};

// A private runtime folder (user-only), data and settings folder, and the environment that uses
// them on the offscreen platform. The test process's own XDG_RUNTIME_DIR is pointed at the
// runtime folder too, so that ipc::ServerName() finds the program under test.
class Sandbox {
  public:
    Sandbox();
    bool IsValid() const { return runtime_.isValid() && data_.isValid() && config_.isValid(); }
    QProcessEnvironment Environment() const { return environment_; }
    // The Qt platform the programs start on ("offscreen" unless set; "xcb" for tests that
    // drive the real X server of xvfb-run).
    void SetPlatform(const QString& platform) {
        environment_.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    }
    // Another variable of the programs' environment.
    void SetVariable(const QString& name, const QString& value) {
        environment_.insert(name, value);
    }
    QString RuntimeDir() const { return runtime_.path(); }
    // The programs' settings folder (XDG_CONFIG_HOME).
    QString ConfigDir() const { return config_.path(); }

  private:
    QTemporaryDir runtime_;
    QTemporaryDir data_;
    QTemporaryDir config_;
    QProcessEnvironment environment_;
    // This process's own clients find the program's channel in the sandbox too; put back
    // before runtime_ goes.
    test::ScopedEnvironment runtimeDir_;
};

// Runs a program to its end (killed after kRunMs).
RunOutcome RunToEnd(const QString& program, const QStringList& arguments,
                    const QProcessEnvironment& environment);
// Runs rerovctl with `arguments`.
RunOutcome Rerovctl(const Sandbox& sandbox, const QStringList& arguments);
// Runs "rerovctl app ui ARGUMENTS" as one step of a user; a test failure with the step and
// rerovctl's output when it does not succeed.
void UiStep(const Sandbox& sandbox, const QStringList& arguments);
// The rows of "rerovctl app ui list --json" (a test failure and none when it fails).
QJsonArray UiControls(const Sandbox& sandbox);

// rerov-ever running in the background; killed when the object goes if still running. A
// simulated one is asked first whether its devices refused any report for its timing: a
// test fails when they did.
class RunningProgram {
  public:
    RunningProgram(const Sandbox& sandbox, const QStringList& arguments,
                   const QString& program = QStringLiteral(REROV_EVER_PATH));
    ~RunningProgram();

    // Waits until the program answers "app state" (its window exists). False when it ended
    // or did not answer within kStartMs.
    bool WaitUntilAnswering();
    // Polls "rerovctl app state --json" until `accept` is true for it, up to kStateMs.
    // The last state seen is left in *last.
    bool WaitForState(const std::function<bool(const QJsonObject&)>& accept, QJsonObject* last);
    // Polls "rerovctl app state --json" for `durationMs`: true when every state seen (at
    // least one) is accepted. The first state not accepted, or the last one, is in *last.
    bool StateHoldsFor(int durationMs, const std::function<bool(const QJsonObject&)>& accept,
                       QJsonObject* last);
    // True while the process runs.
    bool IsRunning();
    // Waits for the process to end; false when it still runs after `timeoutMs`.
    bool WaitForEnd(int timeoutMs);
    QProcess& Process() { return process_; }
    // What the program wrote to stderr so far.
    QString StandardError() const;

  private:
    const Sandbox& sandbox_;
    QProcess process_;
    QString errPath_;
    bool simulated_ = false;  // started with --simulate
};

// Starts rerov-ever with `arguments` and waits until it answers (a test failure, with its
// stderr, when it does not).
std::unique_ptr<RunningProgram> StartAnswering(const Sandbox& sandbox,
                                               const QStringList& arguments);

// The entry of `family` in an "app state --json" reply (empty when there is none).
QJsonObject Entry(const QJsonObject& state, const QString& family);

// Starts rerov-ever with `arguments` and waits until the keyboard's page is shown and the
// keyboard is ready (read and sent its profile). Null, with a test failure that shows the
// last state, when it does not get there.
std::unique_ptr<RunningProgram> StartWithKeyboardReady(const Sandbox& sandbox,
                                                       const QStringList& arguments);

}  // namespace rerov::e2e
