#pragma once
// How the app and sim commands reach the running program: one request over its IPC channel.

#include <QJsonObject>

namespace rerov::cli {

// Sends `request` to the running rerov-ever and stores its reply. Returns kExitOk when the
// program answered {"ok": true}; otherwise prints why (no program running, a refusal, a
// broken channel) and returns kExitFailure. With `waitForExit` it also waits until the
// program has ended (the channel closes), for app quit.
int AskProgram(const QJsonObject& request, QJsonObject* reply, bool waitForExit = false);

}  // namespace rerov::cli
