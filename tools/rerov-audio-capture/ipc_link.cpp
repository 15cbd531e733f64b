#include "tools/rerov-audio-capture/ipc_link.h"

#include <QJsonValue>
#include <QThread>

#include "shell/ipc/audio_records.h"
#include "tools/rerov-audio-capture/capture_control.h"
#include "tools/rerov-audio-capture/exit_codes.h"

namespace rerov::capture {

namespace {

constexpr int kFlushWaitMs = 1000;

}  // namespace

IpcLink::IpcLink(QObject* parent) : QObject(parent) {
    connect(&socket_, &QLocalSocket::readyRead, this, &IpcLink::OnReadyRead);
    connect(&socket_, &QLocalSocket::disconnected, this, &IpcLink::OnDisconnected);
}

bool IpcLink::Connect(const QString& serverName, QString* error) {
    if (serverName.isEmpty()) {
        *error = QStringLiteral("no runtime folder for the IPC channel");
        return false;
    }
    for (int attempt = 0; attempt < kConnectAttempts; ++attempt) {
        if (attempt > 0) QThread::msleep(kConnectPauseMs);
        socket_.connectToServer(serverName);
        if (socket_.waitForConnected(kConnectWaitMs)) {
            const QJsonObject hello{
                {QStringLiteral("type"), QLatin1String(ipc::kAudioHello)},
                {QStringLiteral("title"), QLatin1String(ipc::kAudioCaptureTitle)}};
            return Write(hello, error);
        }
        // Qt words a missing socket as "Invalid name"; say what it means here.
        const bool nobody = socket_.error() == QLocalSocket::ServerNotFoundError ||
                            socket_.error() == QLocalSocket::ConnectionRefusedError;
        *error = nobody ? QStringLiteral("nothing listens there") : socket_.errorString();
        socket_.abort();
    }
    *error = QStringLiteral("cannot reach rerov-ever at %1 (%2)").arg(serverName, *error);
    return false;
}

bool IpcLink::Write(const QJsonObject& message, QString* error) {
    const QByteArray frame = ipc::EncodeMessage(message);
    if (socket_.write(frame) != frame.size()) {
        *error = QStringLiteral("cannot send to rerov-ever: %1").arg(socket_.errorString());
        return false;
    }
    return true;
}

bool IpcLink::Send(const std::vector<int32_t>& spectrum, const std::vector<int32_t>& levels,
                   QString* error) {
    if (socket_.state() != QLocalSocket::ConnectedState) return true;  // ending anyway
    if (socket_.bytesToWrite() > kMaxUnsentBytes) return true;
    return Write(ipc::EncodeAudioValues(ipc::kAudioSpectrumRecord, spectrum), error) &&
           Write(ipc::EncodeAudioValues(ipc::kAudioLevelsRecord, levels), error);
}

void IpcLink::Flush() {
    if (socket_.state() != QLocalSocket::ConnectedState) return;
    // Best effort: the companion ends next, whether or not the program took everything.
    while (socket_.bytesToWrite() > 0 && socket_.waitForBytesWritten(kFlushWaitMs)) {
    }
}

void IpcLink::OnReadyRead() {
    reader_.Append(socket_.readAll());
    for (;;) {
        QJsonObject message;
        switch (reader_.Next(&message)) {
            case ipc::FrameReader::Status::NeedMore:
                return;
            case ipc::FrameReader::Status::Failed:
                if (control_) {
                    control_->Finish(
                        kExitChannelFailed,
                        QStringLiteral("bad message from rerov-ever: %1").arg(reader_.Error()));
                }
                return;
            case ipc::FrameReader::Status::Message:
                OnMessage(message);
                break;
        }
    }
}

void IpcLink::OnDisconnected() {
    if (control_) control_->Finish(kExitDone);
}

void IpcLink::OnMessage(const QJsonObject& message) {
    if (!control_) return;
    const QString type = message.value(QStringLiteral("type")).toString();
    if (type == QLatin1String(ipc::kReply) && !helloAnswered_) {
        helloAnswered_ = true;
        if (!message.value(QStringLiteral("ok")).toBool()) {
            control_->Finish(kExitChannelFailed,
                             QStringLiteral("rerov-ever refused the companion: %1")
                                 .arg(message.value(QStringLiteral("error")).toString()));
        }
        return;
    }
    if (const auto command = ipc::DecodeAudioCommand(message)) {
        OnCommand(static_cast<int>(command->command), command->value);
        return;
    }
    if (const auto record = ipc::DecodeAudioRecord(message)) {
        if (record->id == ipc::kAudioStyleRecord) {
            control_->SetStyleColour(ipc::AudioValues(record->data, ipc::kAudioStyleValues));
        }
    }
    // Anything else is not meant for the companion.
}

void IpcLink::OnCommand(int command, int value) {
    switch (static_cast<ipc::AudioCommand>(command)) {
        case ipc::AudioCommand::Attach:
            break;  // connecting was the attachment
        case ipc::AudioCommand::Reset:
            control_->ResetAnalysis();
            break;
        case ipc::AudioCommand::StartCapture:
            control_->StartCapture();
            break;
        case ipc::AudioCommand::StopCapture:
            control_->StopCapture();
            break;
        case ipc::AudioCommand::Release:
            control_->Release();
            break;
        case ipc::AudioCommand::Exit:
            control_->Finish(kExitDone);
            break;
        case ipc::AudioCommand::Red:
            control_->SetColourComponent(0, value);
            break;
        case ipc::AudioCommand::Green:
            control_->SetColourComponent(1, value);
            break;
        case ipc::AudioCommand::Blue:
            control_->SetColourComponent(2, value);
            break;
    }
}

}  // namespace rerov::capture
