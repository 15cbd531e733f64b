// A stand-in for the sound-capture companion, for the bridge's tests: it behaves as the
// contract says (lock, hello, commands, exit 0 on command 5, exit 3 without a sound server)
// and writes every command and record it receives, one line each, to $FAKE_AUDIO_LOG.
// $FAKE_AUDIO_MODE=no-sound makes it end at once with code 3.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QLockFile>
#include <QTextStream>
#include <cstdio>

#include "shell/ipc/audio_records.h"
#include "shell/ipc/ipc_protocol.h"

namespace {

constexpr int kNoSoundServer = 3;
constexpr int kLockTaken = 4;
constexpr int kNoChannel = 5;
constexpr int kNoLog = 6;

}  // namespace

int main(int argc, char** argv) {
    using namespace rerov::ipc;
    QCoreApplication app(argc, argv);
    if (qgetenv("FAKE_AUDIO_MODE") == "no-sound") {
        std::fputs("fake companion: no sound server\n", stderr);
        return kNoSoundServer;
    }
    QFile log(QString::fromLocal8Bit(qgetenv("FAKE_AUDIO_LOG")));
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) return kNoLog;
    const auto write = [&log](const QString& line) {
        // Line by line and flushed: the test reads the file while this runs.
        const QByteArray bytes = (line + u'\n').toUtf8();
        if (log.write(bytes) != bytes.size() || !log.flush()) QCoreApplication::exit(kNoLog);
    };
    write(QStringLiteral("started ") + QCoreApplication::arguments().mid(1).join(u' '));

    QLockFile lock(RuntimeFolder() + u'/' + QLatin1String(kAudioCaptureLockName) +
                   QStringLiteral(".lock"));
    if (!lock.tryLock(0)) return kLockTaken;

    QLocalSocket socket;
    socket.connectToServer(ServerName());
    if (!socket.waitForConnected(5000)) return kNoChannel;
    socket.write(EncodeMessage(
        QJsonObject{{"type", kAudioHello}, {"title", QLatin1String(kAudioCaptureTitle)}}));
    socket.flush();

    FrameReader reader;
    QObject::connect(&socket, &QLocalSocket::readyRead, [&] {
        reader.Append(socket.readAll());
        QJsonObject message;
        while (reader.Next(&message) == FrameReader::Status::Message) {
            if (const auto command = DecodeAudioCommand(message)) {
                write(QStringLiteral("command %1 %2")
                          .arg(static_cast<int>(command->command))
                          .arg(command->value));
                if (command->command == AudioCommand::Exit) QCoreApplication::exit(0);
            } else if (const auto record = DecodeAudioRecord(message)) {
                QStringList values;
                for (int32_t value : AudioValues(record->data, kAudioStyleValues)) {
                    values << QString::number(value);
                }
                write(QStringLiteral("record %1 %2").arg(record->id).arg(values.join(u' ')));
            }
        }
    });
    QObject::connect(&socket, &QLocalSocket::disconnected, [] { QCoreApplication::exit(0); });
    return QCoreApplication::exec();
}
