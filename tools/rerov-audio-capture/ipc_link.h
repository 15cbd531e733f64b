#pragma once
// The companion's end of the IPC channel: connects to the program, introduces itself with
// audio.hello, carries out the program's audio.command messages and style colour records
// on the capture, and sends the capture's records. The channel's end (the program is gone)
// ends the companion with exit code 0.

#include <QLocalSocket>
#include <QObject>
#include <QString>

#include "shell/ipc/ipc_protocol.h"
#include "tools/rerov-audio-capture/record_sink.h"

namespace rerov::capture {

class CaptureControl;

class IpcLink : public QObject, public RecordSink {
    Q_OBJECT
  public:
    // How long the program may take to listen: attempts and the pause between them.
    static constexpr int kConnectAttempts = 10;
    static constexpr int kConnectPauseMs = 300;
    static constexpr int kConnectWaitMs = 500;
    // Records are dropped rather than queued beyond this many unsent bytes (the program
    // has stalled; the lighting wants the newest hop, not a backlog).
    static constexpr qint64 kMaxUnsentBytes = 256 * 1024;

    explicit IpcLink(QObject* parent = nullptr);

    // Commands and records go to `control` from now on.
    void SetControl(CaptureControl* control) { control_ = control; }
    // Connects to `serverName`, retrying, and sends audio.hello. False with a reason when
    // nothing listens there after every attempt or the hello cannot be sent.
    bool Connect(const QString& serverName, QString* error);

    bool Send(const std::vector<int32_t>& spectrum, const std::vector<int32_t>& levels,
              QString* error) override;
    void Flush() override;

  private:
    void OnReadyRead();
    void OnDisconnected();
    void OnMessage(const QJsonObject& message);
    void OnCommand(int command, int value);
    bool Write(const QJsonObject& message, QString* error);

    QLocalSocket socket_;
    ipc::FrameReader reader_;
    CaptureControl* control_ = nullptr;
    bool helloAnswered_ = false;
};

}  // namespace rerov::capture
