#include "shell/ipc/ipc_protocol.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QStandardPaths>
#include <QtEndian>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace rerov::ipc {

namespace {

constexpr int kHeaderBytes = 4;

QString UserTag() {
#ifdef Q_OS_UNIX
    return QString::number(static_cast<qulonglong>(::getuid()));
#else
    return qEnvironmentVariable("USERNAME");
#endif
}

}  // namespace

QString RuntimeFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

QString ServerName() {
    const QString folder = RuntimeFolder();
    if (folder.isEmpty()) return {};
    return QDir(folder).filePath(QLatin1String(kInstanceName) + u'.' + UserTag() +
                                 QStringLiteral(".ipc"));
}

QString LockFilePath() {
    const QString folder = RuntimeFolder();
    if (folder.isEmpty()) return {};
    return QDir(folder).filePath(QLatin1String(kInstanceName) + u'.' + UserTag() +
                                 QStringLiteral(".lock"));
}

QByteArray EncodeMessage(const QJsonObject& message) {
    const QByteArray body = QJsonDocument(message).toJson(QJsonDocument::Compact);
    QByteArray frame(kHeaderBytes, '\0');
    qToBigEndian(static_cast<quint32>(body.size()), frame.data());
    frame += body;
    return frame;
}

QJsonObject OkReply(const QJsonObject& fields) {
    QJsonObject reply = fields;
    reply.insert(QStringLiteral("type"), QLatin1String(kReply));
    reply.insert(QStringLiteral("ok"), true);
    return reply;
}

QJsonObject ErrorReply(const QString& text) {
    return QJsonObject{{QStringLiteral("type"), QLatin1String(kReply)},
                       {QStringLiteral("ok"), false},
                       {QStringLiteral("error"), text}};
}

void FrameReader::Append(const QByteArray& bytes) {
    if (error_.isEmpty()) buffer_ += bytes;
}

FrameReader::Status FrameReader::Next(QJsonObject* message) {
    if (!error_.isEmpty()) return Status::Failed;
    if (buffer_.size() < kHeaderBytes) return Status::NeedMore;
    const quint32 length = qFromBigEndian<quint32>(buffer_.constData());
    if (length == 0) return Fail(QStringLiteral("empty message"));
    if (length > kMaxMessageBytes) {
        return Fail(QStringLiteral("message of %1 bytes is over the limit of %2")
                        .arg(length)
                        .arg(kMaxMessageBytes));
    }
    if (buffer_.size() < kHeaderBytes + static_cast<qsizetype>(length)) return Status::NeedMore;
    const QByteArray body = buffer_.mid(kHeaderBytes, length);
    buffer_.remove(0, kHeaderBytes + length);
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        return Fail(QStringLiteral("malformed message: ") + parseError.errorString());
    }
    if (!document.isObject()) return Fail(QStringLiteral("malformed message: not an object"));
    const QJsonObject object = document.object();
    if (!object.value(QStringLiteral("type")).isString()) {
        return Fail(QStringLiteral("malformed message: no type"));
    }
    *message = object;
    return Status::Message;
}

FrameReader::Status FrameReader::Fail(const QString& reason) {
    error_ = reason;
    buffer_.clear();
    return Status::Failed;
}

}  // namespace rerov::ipc
