#pragma once
// The running program's end of the IPC channel: a local server, same user only, that reads
// framed requests, carries them out on the UI thread and answers each one. A connection
// that sends a bad frame (empty, too large, not a JSON object with a type) gets one error
// reply and is closed; nothing it sent has any effect. A request answered later (a ui action
// that waits for the window) holds back the requests after it on its connection, so replies
// keep the order of requests; other connections are served meanwhile.

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "shell/ipc/ipc_requests.h"

class QLocalServer;
class QLocalSocket;

namespace rerov::ipc {

class IpcServer : public QObject {
    Q_OBJECT
  public:
    // Most connections served at once; more are closed at once.
    static constexpr int kMaxConnections = 32;

    // Not listening until Listen.
    explicit IpcServer(QObject* parent = nullptr);
    ~IpcServer() override;

    // Listens on `name` (a socket path), accessible to the user only. The caller must hold
    // the single-instance lock: a socket left by a crashed instance is removed first.
    // False with a reason when the channel cannot be opened.
    bool Listen(const QString& name, QString* error);
    // True while listening.
    bool IsListening() const;
    // What requests act on from now on (see RequestTargets).
    void SetTargets(const RequestTargets& targets) { targets_ = targets; }
    // Called (queued, after the reply was sent) when a request asks the program to exit;
    // by default it calls AppControl::Exit of the current targets.
    void SetExitHandler(std::function<void()> handler) { exitHandler_ = std::move(handler); }
    // Stops listening and closes every connection.
    void Close();
    // Connections currently open.
    int ConnectionCount() const { return static_cast<int>(connections_.size()); }

  private:
    struct Connection;

    void OnNewConnection();
    void OnReadyRead(Connection* connection);
    Connection* Find(const QLocalSocket* socket) const;
    SendReply LateReply(QLocalSocket* socket);
    void SendLateReply(QLocalSocket* socket, const QJsonObject& reply);
    void Drop(QLocalSocket* socket);
    void RequestExit();

    QLocalServer* server_ = nullptr;
    std::vector<std::unique_ptr<Connection>> connections_;
    RequestTargets targets_;
    std::function<void()> exitHandler_;
};

}  // namespace rerov::ipc
