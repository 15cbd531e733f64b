#include "shell/ipc/ipc_server.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QPointer>
#include <algorithm>
#include <chrono>
#include <limits>

#include "shell/ipc/audio_records.h"
#include "shell/ipc/ipc_protocol.h"
#include "shell/ipc/peer_user.h"

Q_LOGGING_CATEGORY(lcIpc, "rerov.ipc", QtInfoMsg)

namespace rerov::ipc {

struct IpcServer::Connection {
    QLocalSocket* socket = nullptr;  // owned by the server object (QObject parent)
    FrameReader reader;
    bool closing = false;        // a bad frame was answered; nothing more is read
    bool awaitingReply = false;  // a request waits for its late reply; later ones wait too
};

IpcServer::IpcServer(QObject* parent)
    : QObject(parent), audioClock_([] {
          return static_cast<qint64>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now().time_since_epoch())
                                         .count());
      }) {}

IpcServer::~IpcServer() { Close(); }

bool IpcServer::Listen(const QString& name, QString* error) {
    Close();
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // Only a crashed instance leaves a socket behind; the lock says none is running.
    QLocalServer::removeServer(name);
    if (!server_->listen(name)) {
        *error =
            QStringLiteral("cannot open the IPC channel %1: %2").arg(name, server_->errorString());
        delete server_;
        server_ = nullptr;
        return false;
    }
    connect(server_, &QLocalServer::newConnection, this, &IpcServer::OnNewConnection);
    return true;
}

bool IpcServer::IsListening() const { return server_ && server_->isListening(); }

void IpcServer::Close() {
    for (const auto& connection : connections_) {
        connection->socket->disconnect(this);
        connection->socket->abort();
        connection->socket->deleteLater();
    }
    connections_.clear();
    companion_ = nullptr;  // the program is ending: nobody is told
    if (server_) {
        server_->close();
        delete server_;
        server_ = nullptr;
    }
}

void IpcServer::OnNewConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        socket->setParent(this);
        if (!PeerIsSameUser(socket->socketDescriptor())) {
            qCWarning(lcIpc) << "refused a connection from another user";
            socket->abort();
            socket->deleteLater();
            continue;
        }
        if (ConnectionCount() >= kMaxConnections) {
            qCWarning(lcIpc) << "refused a connection: too many open";
            socket->abort();
            socket->deleteLater();
            continue;
        }
        auto connection = std::make_unique<Connection>();
        connection->socket = socket;
        Connection* raw = connection.get();
        connections_.push_back(std::move(connection));
        connect(socket, &QLocalSocket::readyRead, this, [this, raw] { OnReadyRead(raw); });
        // Queued: a socket may report its end from inside a write of OnReadyRead, which
        // must not lose its connection record under its feet.
        connect(
            socket, &QLocalSocket::disconnected, this, [this, socket] { Drop(socket); },
            Qt::QueuedConnection);
        // Bytes may have arrived before the signals were connected.
        if (socket->bytesAvailable() > 0) OnReadyRead(raw);
    }
}

void IpcServer::OnReadyRead(Connection* connection) {
    QLocalSocket* socket = connection->socket;
    if (connection->closing) {
        socket->readAll();  // discarded: the stream failed
        return;
    }
    connection->reader.Append(socket->readAll());
    QJsonObject request;
    while (!connection->awaitingReply) {
        const FrameReader::Status status = connection->reader.Next(&request);
        if (status == FrameReader::Status::NeedMore) return;
        if (status == FrameReader::Status::Failed) {
            qCWarning(lcIpc) << "refused a message:" << connection->reader.Error();
            connection->closing = true;
            socket->write(EncodeMessage(ErrorReply(connection->reader.Error())));
            socket->flush();
            socket->disconnectFromServer();  // after the reply is written
            return;
        }
        if (HandleAudioMessage(connection, request)) continue;
        RequestOutcome outcome = HandleRequest(request, targets_);
        if (outcome.answerLater) {
            connection->awaitingReply = true;
            // The record stays: connections are dropped from the event loop only.
            outcome.answerLater(LateReply(socket));
            continue;
        }
        socket->write(EncodeMessage(outcome.reply));
        socket->flush();
        if (outcome.exitAfterReply) {
            // Nothing sent after a quit is carried out; the connection stays open so that
            // the client sees it close when the program has ended.
            connection->closing = true;
            QMetaObject::invokeMethod(this, &IpcServer::RequestExit, Qt::QueuedConnection);
            return;
        }
    }
}

IpcServer::Connection* IpcServer::Find(const QLocalSocket* socket) const {
    const auto it = std::find_if(connections_.begin(), connections_.end(),
                                 [socket](const auto& c) { return c->socket == socket; });
    return it == connections_.end() ? nullptr : it->get();
}

SendReply IpcServer::LateReply(QLocalSocket* socket) {
    // The server or the connection may be gone by the time the reply is ready.
    return [server = QPointer<IpcServer>(this),
            socket = QPointer<QLocalSocket>(socket)](const QJsonObject& reply) {
        if (server && socket) server->SendLateReply(socket, reply);
    };
}

void IpcServer::SendLateReply(QLocalSocket* socket, const QJsonObject& reply) {
    Connection* connection = Find(socket);
    if (!connection || !connection->awaitingReply) return;  // one reply per request
    connection->awaitingReply = false;
    socket->write(EncodeMessage(reply));
    socket->flush();
    // Requests that arrived meanwhile are carried out now, in order, from the event loop
    // (this may be called from inside OnReadyRead).
    QMetaObject::invokeMethod(
        this,
        [this, socket = QPointer<QLocalSocket>(socket)] {
            if (!socket) return;
            if (Connection* waiting = Find(socket)) OnReadyRead(waiting);
        },
        Qt::QueuedConnection);
}

void IpcServer::Drop(QLocalSocket* socket) {
    const auto it = std::find_if(connections_.begin(), connections_.end(),
                                 [socket](const auto& c) { return c->socket == socket; });
    if (it == connections_.end()) return;
    socket->disconnect(this);  // nothing may reach the record erased here
    const bool wasCompanion = it->get() == companion_;
    if (wasCompanion) companion_ = nullptr;
    connections_.erase(it);
    socket->deleteLater();
    if (wasCompanion && audioSink_) audioSink_->OnCompanionGone();
}

bool IpcServer::HandleAudioMessage(Connection* connection, const QJsonObject& message) {
    const QString type = message.value(QStringLiteral("type")).toString();
    QLocalSocket* socket = connection->socket;
    if (type == QLatin1String(kAudioHello)) {
        QJsonObject reply;
        if (audioSink_ == nullptr) {
            reply = ErrorReply(QStringLiteral("this program takes no sound-capture companion"));
        } else if (message.value(QStringLiteral("title")).toString() !=
                   QLatin1String(kAudioCaptureTitle)) {
            reply = ErrorReply(QStringLiteral("not the sound-capture companion"));
        } else if (companion_ != nullptr && companion_ != connection) {
            reply = ErrorReply(QStringLiteral("a sound-capture companion is already connected"));
        } else {
            reply = OkReply();
        }
        const bool accepted = reply.value(QStringLiteral("ok")).toBool();
        if (accepted) companion_ = connection;
        socket->write(EncodeMessage(reply));
        socket->flush();
        if (accepted) audioSink_->OnCompanionIntroduced();
        return true;
    }
    // A record from any other connection is an unknown request for the table to refuse.
    if (type != QLatin1String(kAudioRecord) || connection != companion_) return false;
    // Records are one-way: no reply, whatever becomes of them. The cap comes before the
    // decoding, so a flood costs no more than its parsing.
    const int id = message.value(QStringLiteral("id")).toInt(std::numeric_limits<int>::min());
    if (!audioLimit_.Allow(id, audioClock_())) {
        if (audioLimit_.Dropped() == 1) {
            qCWarning(lcIpc) << "the sound-capture companion sends too fast; records dropped";
        }
        return true;
    }
    const std::optional<AudioRecord> record = DecodeAudioRecord(message);
    if (record && audioSink_) audioSink_->OnCompanionRecord(*record);
    return true;
}

bool IpcServer::SendToCompanion(const QJsonObject& message) {
    if (companion_ == nullptr || companion_->closing) return false;
    QLocalSocket* socket = companion_->socket;
    if (socket->write(EncodeMessage(message)) < 0) return false;
    socket->flush();
    return true;
}

void IpcServer::RequestExit() {
    if (exitHandler_) {
        exitHandler_();
    } else if (targets_.app) {
        targets_.app->Exit();
    }
}

}  // namespace rerov::ipc
