#pragma once
// One running program per user. The first start takes a lock file in the user's runtime
// folder and then listens on the IPC channel; a later start finds the lock taken, asks the
// running program over the channel to come to the front and ends.

#include <QLockFile>
#include <QString>
#include <memory>

namespace rerov::ipc {

class SingleInstance {
  public:
    enum class Claim {
        First,           // this process holds the lock
        AlreadyRunning,  // another live process holds it
        Unavailable,     // no lock could be made (no runtime folder, no permission)
    };

    // The lock at `lockPath` (LockFilePath() by default); not claimed yet.
    explicit SingleInstance(QString lockPath);
    ~SingleInstance();

    // Tries to take the lock. A lock left by a process that no longer runs is taken over.
    // *error says why on Unavailable.
    Claim TryClaim(QString* error);
    // Gives the lock up (also done by the destructor).
    void Release();

    // Asks the program listening on `serverName` to come to the front. It may still be
    // starting, so connecting is retried until `timeoutMs` has passed. False with a reason
    // when it never answers.
    static bool ActivateRunning(const QString& serverName, int timeoutMs, QString* error);

  private:
    QString lockPath_;
    std::unique_ptr<QLockFile> lock_;
};

}  // namespace rerov::ipc
