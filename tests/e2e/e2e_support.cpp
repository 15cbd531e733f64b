#include "tests/e2e/e2e_support.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QThread>

namespace rerov::e2e {

namespace {
// Between two polls of the program's state; a rerovctl run takes longer than this.
constexpr int kPollMs = 100;
}  // namespace

Sandbox::Sandbox() : runtimeDir_("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit()) {
    QFile::setPermissions(runtime_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    environment_ = QProcessEnvironment::systemEnvironment();
    environment_.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
    environment_.insert(QStringLiteral("XDG_DATA_HOME"), data_.path());
    // The remembered language lives in the sandbox; a start without one shows English.
    environment_.insert(QStringLiteral("XDG_CONFIG_HOME"), config_.path());
    environment_.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    environment_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
}

RunOutcome RunToEnd(const QString& program, const QStringList& arguments,
                    const QProcessEnvironment& environment) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    RunOutcome run;
    if (!process.waitForFinished(kRunMs)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.finished = process.exitStatus() == QProcess::NormalExit;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

RunOutcome Rerovctl(const Sandbox& sandbox, const QStringList& arguments) {
    return RunToEnd(QStringLiteral(REROVCTL_PATH), arguments, sandbox.Environment());
}

void UiStep(const Sandbox& sandbox, const QStringList& arguments) {
    const RunOutcome run = Rerovctl(sandbox, QStringList{"app", "ui"} + arguments);
    EXPECT_EQ(run.exitCode, 0) << arguments.join(' ').toStdString() << ": "
                               << (run.out + run.err).toStdString();
}

QJsonArray UiControls(const Sandbox& sandbox) {
    const RunOutcome run = Rerovctl(sandbox, {"app", "ui", "list", "--json"});
    EXPECT_EQ(run.exitCode, 0) << (run.out + run.err).toStdString();
    return QJsonDocument::fromJson(run.out.toUtf8()).array();
}

RunningProgram::RunningProgram(const Sandbox& sandbox, const QStringList& arguments,
                               const QString& program)
    : sandbox_(sandbox) {
    process_.setProcessEnvironment(sandbox.Environment());
    // To a file, not a pipe: nobody reads a pipe while the test polls, and a full one
    // would block the program.
    static int serial = 0;
    errPath_ = sandbox.RuntimeDir() + QStringLiteral("/stderr-%1.txt").arg(++serial);
    process_.setStandardErrorFile(errPath_);
    process_.setStandardOutputFile(QProcess::nullDevice());
    for (const QString& argument : arguments) {
        if (argument.startsWith(QLatin1String("--simulate"))) simulated_ = true;
    }
    process_.start(program, arguments);
    process_.waitForStarted(kStartMs);
}

RunningProgram::~RunningProgram() {
    if (simulated_ && IsRunning()) {
        const RunOutcome timing =
            Rerovctl(sandbox_, {QStringLiteral("sim"), QStringLiteral("timing")});
        EXPECT_TRUE(timing.finished && timing.exitCode == 0) << timing.err.toStdString();
        EXPECT_EQ(timing.out.trimmed().toStdString(), "timing violations: 0")
            << "the program closed a session too soon after a transfer";
    }
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished();
    }
}

bool RunningProgram::IsRunning() {
    // Without an event loop the process's end is only noticed when asked for.
    return process_.state() != QProcess::NotRunning && !process_.waitForFinished(0);
}

bool RunningProgram::WaitUntilAnswering() {
    QDeadlineTimer deadline(kStartMs);
    while (!deadline.hasExpired()) {
        if (!IsRunning()) return false;
        const RunOutcome run = Rerovctl(sandbox_, {QStringLiteral("app"), QStringLiteral("state")});
        if (run.exitCode == 0) return true;
        QThread::msleep(kPollMs);
    }
    return false;
}

bool RunningProgram::WaitForState(const std::function<bool(const QJsonObject&)>& accept,
                                  QJsonObject* last) {
    QDeadlineTimer deadline(kStateMs);
    while (!deadline.hasExpired()) {
        const RunOutcome run = Rerovctl(
            sandbox_, {QStringLiteral("app"), QStringLiteral("state"), QStringLiteral("--json")});
        if (run.exitCode == 0) {
            *last = QJsonDocument::fromJson(run.out.toUtf8()).object();
            if (accept(*last)) return true;
        }
        if (!IsRunning()) return false;
        QThread::msleep(kPollMs);
    }
    return false;
}

bool RunningProgram::StateHoldsFor(int durationMs,
                                   const std::function<bool(const QJsonObject&)>& accept,
                                   QJsonObject* last) {
    QDeadlineTimer deadline(durationMs);
    int seen = 0;
    while (!deadline.hasExpired()) {
        const RunOutcome run = Rerovctl(
            sandbox_, {QStringLiteral("app"), QStringLiteral("state"), QStringLiteral("--json")});
        if (run.exitCode != 0) return false;
        *last = QJsonDocument::fromJson(run.out.toUtf8()).object();
        if (!accept(*last)) return false;
        ++seen;
        QThread::msleep(kPollMs);
    }
    return seen > 0;
}

bool RunningProgram::WaitForEnd(int timeoutMs) {
    return process_.state() == QProcess::NotRunning || process_.waitForFinished(timeoutMs);
}

QString RunningProgram::StandardError() const {
    QFile file(errPath_);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

QJsonObject Entry(const QJsonObject& state, const QString& family) {
    for (const QJsonValue& value : state.value(QStringLiteral("entries")).toArray()) {
        if (value.toObject().value(QStringLiteral("family")).toString() == family) {
            return value.toObject();
        }
    }
    return {};
}

std::unique_ptr<RunningProgram> StartAnswering(const Sandbox& sandbox,
                                               const QStringList& arguments) {
    auto program = std::make_unique<RunningProgram>(sandbox, arguments);
    EXPECT_TRUE(program->WaitUntilAnswering()) << program->StandardError().toStdString();
    return program;
}

std::unique_ptr<RunningProgram> StartWithKeyboardReady(const Sandbox& sandbox,
                                                       const QStringList& arguments) {
    auto program = StartAnswering(sandbox, arguments);
    QJsonObject state;
    const bool ready = program->WaitForState(
        [](const QJsonObject& s) {
            return Entry(s, "keyboard").value("ready").toBool() &&
                   Entry(s, "keyboard").value("pageVisible").toBool();
        },
        &state);
    EXPECT_TRUE(ready) << QJsonDocument(state).toJson().toStdString();
    return ready ? std::move(program) : nullptr;
}

}  // namespace rerov::e2e
