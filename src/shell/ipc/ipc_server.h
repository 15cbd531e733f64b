#pragma once
// The running program's end of the IPC channel: a local server, same user only, that reads
// framed requests, carries them out on the UI thread and answers each one. A connection
// that sends a bad frame (empty, too large, not a JSON object with a type) gets one error
// reply and is closed; nothing it sent has any effect. A request answered later (a ui action
// that waits for the window) holds back the requests after it on its connection, so replies
// keep the order of requests; other connections are served meanwhile.
// One connection may be the sound-capture companion's (see audio_link.h): after its
// "audio.hello" its records go one way to the audio sink, capped per second and kind.

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "shell/ipc/audio_link.h"
#include "shell/ipc/audio_rate_limit.h"
#include "shell/ipc/ipc_requests.h"

class QLocalServer;
class QLocalSocket;

namespace rerov::ipc {

class IpcServer : public QObject, public AudioLinkSender {
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

    // Where the companion's records go (null: no companion is taken; its hello is refused).
    // The sink must outlive the server or be taken away first.
    void SetAudioSink(AudioLinkSink* sink) { audioSink_ = sink; }
    // The steady clock, in milliseconds, that the record cap counts by (tests freeze it).
    void SetAudioClock(std::function<qint64()> nowMs) { audioClock_ = std::move(nowMs); }
    // True while a companion that introduced itself is connected.
    bool HasCompanion() const { return companion_ != nullptr; }
    // Records of the companion dropped by the cap since the start.
    quint64 DroppedAudioRecords() const { return audioLimit_.Dropped(); }
    // AudioLinkSender.
    bool SendToCompanion(const QJsonObject& message) override;

  private:
    struct Connection;

    void OnNewConnection();
    void OnReadyRead(Connection* connection);
    Connection* Find(const QLocalSocket* socket) const;
    SendReply LateReply(QLocalSocket* socket);
    void SendLateReply(QLocalSocket* socket, const QJsonObject& reply);
    void Drop(QLocalSocket* socket);
    void RequestExit();
    // True when `message` was the companion's (its hello or one of its records) and was
    // dealt with; false for everything the request table handles.
    bool HandleAudioMessage(Connection* connection, const QJsonObject& message);

    QLocalServer* server_ = nullptr;
    std::vector<std::unique_ptr<Connection>> connections_;
    RequestTargets targets_;
    std::function<void()> exitHandler_;
    AudioLinkSink* audioSink_ = nullptr;
    Connection* companion_ = nullptr;  // one of connections_, or null
    AudioRateLimit audioLimit_;
    std::function<qint64()> audioClock_;
};

}  // namespace rerov::ipc
