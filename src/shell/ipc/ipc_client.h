#pragma once
// The other end of the IPC channel, for rerovctl, a second start of the program and tests:
// blocking calls with time-outs, no event loop needed.

#include <QJsonObject>
#include <QLocalSocket>
#include <QString>

#include "shell/ipc/ipc_protocol.h"

namespace rerov::ipc {

class IpcClient {
  public:
    // Not connected.
    IpcClient() = default;

    // Connects to the program listening on `name` (ServerName() by default). False with a
    // reason when nothing listens there within `timeoutMs`.
    bool Connect(const QString& name, int timeoutMs, QString* error);
    // Sends one request and waits up to `timeoutMs` for its reply. False with a reason when
    // the channel fails, the time runs out or the reply is not a well-formed message; a
    // refusal from the program is a reply ({"ok": false, ...}) and returns true.
    bool Request(const QJsonObject& request, int timeoutMs, QJsonObject* reply, QString* error);
    // Sends raw bytes as they are (for tests of bad frames). False when they cannot be sent.
    bool SendRaw(const QByteArray& bytes, int timeoutMs);
    // Waits up to `timeoutMs` for the next reply after SendRaw.
    bool ReadReply(int timeoutMs, QJsonObject* reply, QString* error);
    // Waits up to `timeoutMs` until the program closes the channel (for example because it
    // ended). True when it was closed.
    bool WaitForClosed(int timeoutMs);
    // Closes the connection.
    void Close();

  private:
    QLocalSocket socket_;
    FrameReader reader_;
};

}  // namespace rerov::ipc
