#include "shell/audio/companion_process.h"

#include <QFileInfo>
#include <QLockFile>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcCompanion, "rerov.audio.companion", QtWarningMsg)

namespace rerov::audio {
namespace {
// After terminate and after kill: how long the child gets to go.
constexpr int kEndWaitMs = 500;
}  // namespace

CompanionProcess::CompanionProcess(QString program, QStringList arguments, QString lockFile,
                                   QObject* parent)
    : QObject(parent),
      program_(std::move(program)),
      arguments_(std::move(arguments)),
      lockFile_(std::move(lockFile)),
      process_(new QProcess(this)) {
    // Nothing reads the companion's output: a pipe left unread would stall it once full.
    // Its complaints go to the program's own stderr.
    process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_->setStandardOutputFile(QProcess::nullDevice());
    process_->setStandardInputFile(QProcess::nullDevice());
    connect(process_, &QProcess::finished, this, &CompanionProcess::OnFinished);
    connect(process_, &QProcess::errorOccurred, this, &CompanionProcess::OnError);
}

CompanionProcess::~CompanionProcess() {
    // The owner stops the companion at shutdown; one still running here is ended so the
    // process object never goes while its child runs.
    if (IsRunning()) Stop(0);
}

bool CompanionProcess::Launch() {
    if (program_.isEmpty() || IsRunning()) return false;
    ++launches_;
    failedThisLaunch_ = false;
    const QFileInfo file(program_);
    if (!file.isFile() || !file.isExecutable()) {
        ReportLaunchFailure(QStringLiteral("%1 is not there or cannot run").arg(program_));
        return false;
    }
    process_->start(program_, arguments_);
    if (process_->state() == QProcess::NotRunning) {
        if (!failedThisLaunch_) ReportLaunchFailure(process_->errorString());
        return false;
    }
    return true;
}

bool CompanionProcess::IsRunning() const { return process_->state() != QProcess::NotRunning; }

bool CompanionProcess::LockIsFree() const {
    if (IsRunning()) return false;
    if (lockFile_.isEmpty()) return true;
    // Taking the lock for a moment is the one portable way to ask; a lock left by a
    // companion that was killed is stale and taken too.
    QLockFile lock(lockFile_);
    if (!lock.tryLock(0)) {
        return false;
    }
    lock.unlock();
    return true;
}

qint64 CompanionProcess::ProcessId() const { return IsRunning() ? process_->processId() : 0; }

void CompanionProcess::Stop(int graceMs) {
    if (!IsRunning()) return;
    if (graceMs > 0 && process_->waitForFinished(graceMs)) return;
    process_->terminate();
    if (process_->waitForFinished(kEndWaitMs)) return;
    process_->kill();
    if (!process_->waitForFinished(kEndWaitMs)) {
        qCWarning(lcCompanion, "the sound-capture companion did not end");
    }
}

void CompanionProcess::OnFinished(int exitCode, QProcess::ExitStatus status) {
    if (status == QProcess::NormalExit && exitCode == kNoSoundServerExit) {
        if (!noSoundServer_) {
            qCWarning(lcCompanion,
                      "the sound-capture companion found no sound server; it is not restarted");
        }
        noSoundServer_ = true;
        return;
    }
    qCInfo(lcCompanion, "the sound-capture companion ended (%s, code %d)",
           status == QProcess::NormalExit ? "exit" : "crash", exitCode);
}

void CompanionProcess::OnError(QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart && !failedThisLaunch_) {
        ReportLaunchFailure(process_->errorString());
    }
}

void CompanionProcess::ReportLaunchFailure(const QString& reason) {
    failedThisLaunch_ = true;
    if (failureReported_) {
        qCInfo(lcCompanion) << "the sound-capture companion did not start again:" << reason;
        return;
    }
    failureReported_ = true;
    qCWarning(lcCompanion) << "the sound-capture companion did not start:" << reason;
    if (launchFailed_) launchFailed_();
}

}  // namespace rerov::audio
