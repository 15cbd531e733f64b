// Framing of the IPC channel: whole messages out of a byte stream, and refusal of frames
// that are empty, too large or not a typed JSON object.

#include "shell/ipc/ipc_protocol.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QtEndian>

namespace rerov::ipc {
namespace {

QByteArray Frame(const QByteArray& body) {
    QByteArray frame(4, '\0');
    qToBigEndian(static_cast<quint32>(body.size()), frame.data());
    return frame + body;
}

QByteArray Header(quint32 length) {
    QByteArray header(4, '\0');
    qToBigEndian(length, header.data());
    return header;
}

TEST(FrameReaderTest, MessagesSplitAcrossReadsComeOutWholeAndInOrder) {
    const QJsonObject first{{"type", "app.state"}};
    const QJsonObject second{{"type", "sim.plug"}, {"device", "mouse"}, {"list", QJsonArray{1, 2}}};
    const QByteArray stream = EncodeMessage(first) + EncodeMessage(second);
    FrameReader reader;
    std::vector<QJsonObject> received;
    for (char byte : stream) {
        reader.Append(QByteArray(1, byte));
        QJsonObject message;
        FrameReader::Status status;
        while ((status = reader.Next(&message)) == FrameReader::Status::Message) {
            received.push_back(message);
        }
        ASSERT_EQ(status, FrameReader::Status::NeedMore);
    }
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0], first);
    EXPECT_EQ(received[1], second);
    EXPECT_EQ(reader.Buffered(), 0);
}

TEST(FrameReaderTest, BadFramesFailTheStreamForGood) {
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* errorPart;
    };
    const Case cases[] = {
        {"empty body", Header(0), "empty"},
        {"over the limit", Header(kMaxMessageBytes + 1), "over the limit"},
        {"huge length", Header(0xFFFFFFFFu), "over the limit"},
        {"not json", Frame("{\"type\": \"app.state\""), "malformed"},
        {"trailing garbage", Frame("{\"type\":\"app.state\"} x"), "malformed"},
        {"array", Frame("[\"app.state\"]"), "not an object"},
        {"no type", Frame("{\"device\":\"keyboard\"}"), "no type"},
        {"type not a string", Frame("{\"type\":7}"), "no type"},
        {"not utf-8 json", Frame(QByteArray("\xff\xfe\x00\x01", 4)), "malformed"},
    };
    const QByteArray good = EncodeMessage(QJsonObject{{"type", "app.show"}});
    for (const Case& c : cases) {
        FrameReader reader;
        reader.Append(c.bytes + good);
        QJsonObject message;
        EXPECT_EQ(reader.Next(&message), FrameReader::Status::Failed) << c.name;
        EXPECT_TRUE(reader.Error().contains(QLatin1String(c.errorPart)))
            << c.name << ": " << reader.Error().toStdString();
        // Nothing after a bad frame is handed out, not even a good message.
        reader.Append(good);
        EXPECT_EQ(reader.Next(&message), FrameReader::Status::Failed) << c.name;
        EXPECT_TRUE(message.isEmpty()) << c.name;
        EXPECT_EQ(reader.Buffered(), 0) << c.name;
    }
}

TEST(FrameReaderTest, AFrameExactlyAtTheLimitIsAccepted) {
    // {"type":"x","pad":"aaaa..."} padded to exactly the limit.
    const QByteArray head = "{\"type\":\"x\",\"pad\":\"";
    const QByteArray tail = "\"}";
    const QByteArray body =
        head + QByteArray(kMaxMessageBytes - head.size() - tail.size(), 'a') + tail;
    ASSERT_EQ(body.size(), static_cast<qsizetype>(kMaxMessageBytes));
    FrameReader reader;
    reader.Append(Frame(body));
    QJsonObject message;
    ASSERT_EQ(reader.Next(&message), FrameReader::Status::Message) << reader.Error().toStdString();
    EXPECT_EQ(message.value("type").toString(), "x");
}

TEST(FrameReaderTest, RepliesCarryTheirEnvelope) {
    const QJsonObject ok = OkReply(QJsonObject{{"simulated", true}});
    EXPECT_EQ(ok.value("type").toString(), kReply);
    EXPECT_TRUE(ok.value("ok").toBool());
    EXPECT_TRUE(ok.value("simulated").toBool());
    const QJsonObject refused = ErrorReply("no");
    EXPECT_EQ(refused.value("type").toString(), kReply);
    EXPECT_FALSE(refused.value("ok").toBool(true));
    EXPECT_EQ(refused.value("error").toString(), "no");
}

}  // namespace
}  // namespace rerov::ipc
