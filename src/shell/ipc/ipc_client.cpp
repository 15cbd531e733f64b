#include "shell/ipc/ipc_client.h"

#include <QDeadlineTimer>

namespace rerov::ipc {

bool IpcClient::Connect(const QString& name, int timeoutMs, QString* error) {
    if (name.isEmpty()) {
        *error = QStringLiteral("no runtime folder for the IPC channel");
        return false;
    }
    socket_.connectToServer(name);
    if (!socket_.waitForConnected(timeoutMs)) {
        // Qt words a missing socket as "Invalid name"; say what it means here.
        const bool nobody = socket_.error() == QLocalSocket::ServerNotFoundError ||
                            socket_.error() == QLocalSocket::ConnectionRefusedError;
        *error = nobody ? QStringLiteral("nothing listens there") : socket_.errorString();
        socket_.abort();
        return false;
    }
    reader_ = FrameReader();
    return true;
}

bool IpcClient::SendRaw(const QByteArray& bytes, int timeoutMs) {
    if (socket_.state() != QLocalSocket::ConnectedState) return false;
    if (socket_.write(bytes) != bytes.size()) return false;
    QDeadlineTimer deadline(timeoutMs);
    while (socket_.bytesToWrite() > 0) {
        if (!socket_.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) return false;
    }
    return true;
}

bool IpcClient::ReadReply(int timeoutMs, QJsonObject* reply, QString* error) {
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        switch (reader_.Next(reply)) {
            case FrameReader::Status::Message:
                return true;
            case FrameReader::Status::Failed:
                *error = QStringLiteral("bad reply: ") + reader_.Error();
                return false;
            case FrameReader::Status::NeedMore:
                break;
        }
        if (socket_.bytesAvailable() == 0) {
            if (socket_.state() != QLocalSocket::ConnectedState) {
                *error = QStringLiteral("the program closed the channel without a reply");
                return false;
            }
            if (deadline.hasExpired() ||
                !socket_.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
                *error = socket_.state() == QLocalSocket::ConnectedState
                             ? QStringLiteral("no reply in time")
                             : QStringLiteral("the program closed the channel without a reply");
                return false;
            }
        }
        reader_.Append(socket_.readAll());
    }
}

bool IpcClient::Request(const QJsonObject& request, int timeoutMs, QJsonObject* reply,
                        QString* error) {
    QDeadlineTimer deadline(timeoutMs);
    if (!SendRaw(EncodeMessage(request), timeoutMs)) {
        *error = QStringLiteral("cannot send the request: ") + socket_.errorString();
        return false;
    }
    return ReadReply(static_cast<int>(deadline.remainingTime()), reply, error);
}

bool IpcClient::WaitForClosed(int timeoutMs) {
    if (socket_.state() == QLocalSocket::UnconnectedState) return true;
    QDeadlineTimer deadline(timeoutMs);
    while (socket_.state() != QLocalSocket::UnconnectedState) {
        // Whatever still arrives is read and dropped; a closed peer ends the wait.
        if (deadline.hasExpired()) return false;
        if (!socket_.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            return socket_.state() == QLocalSocket::UnconnectedState ||
                   socket_.error() == QLocalSocket::PeerClosedError;
        }
        socket_.readAll();
    }
    return true;
}

void IpcClient::Close() { socket_.abort(); }

}  // namespace rerov::ipc
