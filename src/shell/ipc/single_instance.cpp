#include "shell/ipc/single_instance.h"

#include <QDeadlineTimer>
#include <QThread>

#include "shell/ipc/ipc_client.h"

namespace rerov::ipc {

SingleInstance::SingleInstance(QString lockPath) : lockPath_(std::move(lockPath)) {}

SingleInstance::~SingleInstance() { Release(); }

SingleInstance::Claim SingleInstance::TryClaim(QString* error) {
    if (lockPath_.isEmpty()) {
        *error = QStringLiteral("no runtime folder for the instance lock");
        return Claim::Unavailable;
    }
    lock_ = std::make_unique<QLockFile>(lockPath_);
    // A live instance holds the lock for as long as it runs; only a lock whose process is
    // gone is stale, however old it is.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) return Claim::First;
    const QLockFile::LockError reason = lock_->error();
    lock_.reset();
    if (reason == QLockFile::LockFailedError) return Claim::AlreadyRunning;
    *error = QStringLiteral("cannot create the instance lock %1").arg(lockPath_);
    return Claim::Unavailable;
}

void SingleInstance::Release() {
    if (lock_) lock_->unlock();
    lock_.reset();
}

bool SingleInstance::ActivateRunning(const QString& serverName, int timeoutMs, QString* error) {
    // The running program takes the lock a moment before it listens; a start that falls in
    // between retries at a gentle pace until the deadline.
    constexpr int kRetryMs = 50;
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        IpcClient client;
        QString connectError;
        const int slice = static_cast<int>(std::max<qint64>(1, deadline.remainingTime()));
        if (client.Connect(serverName, slice, &connectError)) {
            QJsonObject reply;
            if (!client.Request(QJsonObject{{QStringLiteral("type"), QLatin1String(kActivate)}},
                                static_cast<int>(std::max<qint64>(1, deadline.remainingTime())),
                                &reply, error)) {
                return false;
            }
            if (!reply.value(QStringLiteral("ok")).toBool()) {
                *error = reply.value(QStringLiteral("error")).toString();
                return false;
            }
            return true;
        }
        if (deadline.remainingTime() <= kRetryMs) {
            *error = connectError;
            return false;
        }
        QThread::msleep(kRetryMs);
    }
}

}  // namespace rerov::ipc
