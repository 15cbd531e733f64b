#include "shell/ipc/audio_records.h"

#include <QJsonValue>
#include <QtEndian>
#include <cmath>

namespace rerov::ipc {

namespace {

const QString kType = QStringLiteral("type");
const QString kId = QStringLiteral("id");
const QString kData = QStringLiteral("data");
const QString kCommand = QStringLiteral("command");
const QString kValue = QStringLiteral("value");

// A JSON number that is a whole int, or nothing.
std::optional<int> WholeNumber(const QJsonValue& value) {
    if (!value.isDouble()) return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || std::floor(number) != number || number < -2147483648.0 ||
        number > 2147483647.0) {
        return std::nullopt;
    }
    return static_cast<int>(number);
}

}  // namespace

QJsonObject EncodeAudioRecord(int id, const QByteArray& data) {
    QJsonObject message;
    message.insert(kType, QLatin1String(kAudioRecord));
    message.insert(kId, id);
    message.insert(kData, QString::fromLatin1(data.toBase64()));
    return message;
}

QJsonObject EncodeAudioValues(int id, const std::vector<int32_t>& values) {
    QByteArray data(static_cast<qsizetype>(values.size() * sizeof(int32_t)), '\0');
    for (size_t i = 0; i < values.size(); ++i) {
        qToLittleEndian(values[i], data.data() + i * sizeof(int32_t));
    }
    return EncodeAudioRecord(id, data);
}

std::optional<AudioRecord> DecodeAudioRecord(const QJsonObject& message) {
    if (message.value(kType).toString() != QLatin1String(kAudioRecord)) return std::nullopt;
    const std::optional<int> id = WholeNumber(message.value(kId));
    const QJsonValue data = message.value(kData);
    if (!id || !data.isString()) return std::nullopt;
    const auto decoded = QByteArray::fromBase64Encoding(data.toString().toLatin1(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) return std::nullopt;
    return AudioRecord{*id, *decoded};
}

std::vector<int32_t> AudioValues(const QByteArray& data, int limit) {
    const qsizetype whole = data.size() / qsizetype(sizeof(int32_t));
    const qsizetype count = std::min<qsizetype>(whole, std::max(limit, 0));
    std::vector<int32_t> values(static_cast<size_t>(count));
    for (qsizetype i = 0; i < count; ++i) {
        values[static_cast<size_t>(i)] =
            qFromLittleEndian<int32_t>(data.constData() + i * qsizetype(sizeof(int32_t)));
    }
    return values;
}

QJsonObject EncodeAudioCommand(AudioCommand command, int value) {
    QJsonObject message;
    message.insert(kType, QLatin1String(kAudioCommand));
    message.insert(kCommand, static_cast<int>(command));
    message.insert(kValue, value);
    return message;
}

std::optional<AudioCommandMessage> DecodeAudioCommand(const QJsonObject& message) {
    if (message.value(kType).toString() != QLatin1String(kAudioCommand)) return std::nullopt;
    const std::optional<int> command = WholeNumber(message.value(kCommand));
    if (!command || *command < 0 || *command >= kAudioCommandCount) return std::nullopt;
    const std::optional<int> value = WholeNumber(message.value(kValue));
    return AudioCommandMessage{static_cast<AudioCommand>(*command), value.value_or(0)};
}

}  // namespace rerov::ipc
