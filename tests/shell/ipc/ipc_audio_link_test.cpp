// The companion's connection on the IPC server, over real local sockets: the hello and its
// refusals, one-way records that reach the audio sink, records from other connections
// refused, the cap on a flood, messages down to the companion and its end.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <thread>
#include <vector>

#include "shell/ipc/audio_link.h"
#include "shell/ipc/audio_rate_limit.h"
#include "shell/ipc/audio_records.h"
#include "shell/ipc/ipc_client.h"
#include "shell/ipc/ipc_protocol.h"
#include "shell/ipc/ipc_server.h"
#include "tests/shell/ipc/ipc_fakes.h"

namespace rerov::ipc {
namespace {

constexpr int kGenerousMs = 10000;

struct RecordingSink : AudioLinkSink {
    void OnCompanionIntroduced() override { ++introduced; }
    void OnCompanionRecord(const AudioRecord& record) override { records.push_back(record); }
    void OnCompanionGone() override { ++gone; }
    int introduced = 0;
    int gone = 0;
    std::vector<AudioRecord> records;
};

QJsonObject Hello(const char* title = kAudioCaptureTitle) {
    return QJsonObject{{"type", kAudioHello}, {"title", title}};
}

class AudioLinkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        name_ = folder_.filePath(QStringLiteral("server.ipc"));
        QString error;
        ASSERT_TRUE(server_.Listen(name_, &error)) << error.toStdString();
        server_.SetTargets(RequestTargets{&app_, nullptr, nullptr, {}});
        server_.SetAudioSink(&sink_);
        server_.SetAudioClock([this] { return nowMs_; });
    }

    // Runs `client` on its own thread while this thread serves the server's event loop.
    void RunClient(const std::function<void()>& client) {
        QEventLoop loop;
        std::thread thread([&] {
            client();
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        loop.exec();
        thread.join();
    }

    // Connects and introduces the client as the companion.
    void Introduce(IpcClient& client) {
        QString error;
        ASSERT_TRUE(client.Connect(name_, kGenerousMs, &error)) << error.toStdString();
        QJsonObject reply;
        ASSERT_TRUE(client.Request(Hello(), kGenerousMs, &reply, &error)) << error.toStdString();
        ASSERT_TRUE(reply.value("ok").toBool()) << reply.value("error").toString().toStdString();
    }

    // Records get no reply: the next reply on the connection is that of this request.
    void ExpectOnlyTheActivateReply(IpcClient& client) {
        QJsonObject reply;
        QString error;
        ASSERT_TRUE(client.Request({{"type", "activate"}}, kGenerousMs, &reply, &error))
            << error.toStdString();
        EXPECT_TRUE(reply.value("ok").toBool());
        EXPECT_FALSE(reply.contains("error"));
    }

    QTemporaryDir folder_;
    QString name_;
    IpcServer server_;
    testing::FakeApp app_;
    RecordingSink sink_;
    qint64 nowMs_ = 5000;
};

TEST_F(AudioLinkTest, TheCompanionsRecordsReachTheSinkWithoutReplies) {
    RunClient([&] {
        IpcClient client;
        Introduce(client);
        QByteArray records;
        records += EncodeMessage(EncodeAudioValues(kAudioSpectrumRecord, {1, 2, 3}));
        records += EncodeMessage(EncodeAudioValues(kAudioLevelsRecord, {7, 8}));
        records += EncodeMessage(EncodeAudioRecord(44, QByteArray("\x01\x00\x00\x00", 4)));
        // Not base64: ignored, and the connection stays.
        records += EncodeMessage(QJsonObject{{"type", kAudioRecord}, {"id", 1}, {"data", "*!"}});
        ASSERT_TRUE(client.SendRaw(records, kGenerousMs));
        ExpectOnlyTheActivateReply(client);
    });
    EXPECT_EQ(sink_.introduced, 1);
    ASSERT_EQ(sink_.records.size(), 3u);
    EXPECT_EQ(sink_.records[0].id, kAudioSpectrumRecord);
    EXPECT_EQ(AudioValues(sink_.records[0].data, kAudioSpectrumValues),
              (std::vector<int32_t>{1, 2, 3}));
    EXPECT_EQ(sink_.records[1].id, kAudioLevelsRecord);
    EXPECT_EQ(sink_.records[2].id, 44);  // the bridge picks the ids it knows
    EXPECT_EQ(app_.fronts, 1);
}

TEST_F(AudioLinkTest, AHelloWithAnotherTitleOrASecondCompanionIsRefused) {
    RunClient([&] {
        IpcClient stranger;
        QString error;
        ASSERT_TRUE(stranger.Connect(name_, kGenerousMs, &error));
        QJsonObject reply;
        ASSERT_TRUE(stranger.Request(Hello("SOMETHING ELSE"), kGenerousMs, &reply, &error));
        EXPECT_FALSE(reply.value("ok").toBool(true));

        IpcClient companion;
        Introduce(companion);
        IpcClient second;
        ASSERT_TRUE(second.Connect(name_, kGenerousMs, &error));
        ASSERT_TRUE(second.Request(Hello(), kGenerousMs, &reply, &error));
        EXPECT_FALSE(reply.value("ok").toBool(true));
        // The refused one's records are unknown requests, refused and without effect.
        ASSERT_TRUE(second.Request(EncodeAudioValues(kAudioSpectrumRecord, {9}), kGenerousMs,
                                   &reply, &error));
        EXPECT_FALSE(reply.value("ok").toBool(true));
        EXPECT_TRUE(reply.value("error").toString().contains("unknown request"));
    });
    EXPECT_EQ(sink_.introduced, 1);
    EXPECT_TRUE(sink_.records.empty());
}

TEST_F(AudioLinkTest, ARecordWithoutAHelloIsAnUnknownRequest) {
    RunClient([&] {
        IpcClient client;
        QString error;
        ASSERT_TRUE(client.Connect(name_, kGenerousMs, &error));
        QJsonObject reply;
        ASSERT_TRUE(client.Request(EncodeAudioValues(kAudioLevelsRecord, {1}), kGenerousMs, &reply,
                                   &error));
        EXPECT_FALSE(reply.value("ok").toBool(true));
    });
    EXPECT_TRUE(sink_.records.empty());
}

TEST_F(AudioLinkTest, AHelloIsRefusedWhenNoBridgeTakesIt) {
    server_.SetAudioSink(nullptr);
    RunClient([&] {
        IpcClient client;
        QString error;
        ASSERT_TRUE(client.Connect(name_, kGenerousMs, &error));
        QJsonObject reply;
        ASSERT_TRUE(client.Request(Hello(), kGenerousMs, &reply, &error));
        EXPECT_FALSE(reply.value("ok").toBool(true));
    });
    EXPECT_FALSE(server_.HasCompanion());
}

TEST_F(AudioLinkTest, AFloodIsCappedPerKindAndSecond) {
    const int sent = 3 * AudioRateLimit::kRecordsPerWindow;
    RunClient([&] {
        IpcClient client;
        Introduce(client);
        QByteArray flood;
        for (int i = 0; i < sent; ++i) {
            flood += EncodeMessage(EncodeAudioValues(kAudioSpectrumRecord, {i}));
        }
        flood += EncodeMessage(EncodeAudioValues(kAudioLevelsRecord, {1}));
        ASSERT_TRUE(client.SendRaw(flood, kGenerousMs));
        ExpectOnlyTheActivateReply(client);
    });
    // The clock stood still: one window's worth of spectra, the first ones, and the levels.
    ASSERT_EQ(sink_.records.size(), size_t(AudioRateLimit::kRecordsPerWindow) + 1);
    EXPECT_EQ(AudioValues(sink_.records[AudioRateLimit::kRecordsPerWindow - 1].data, 1),
              std::vector<int32_t>{AudioRateLimit::kRecordsPerWindow - 1});
    EXPECT_EQ(sink_.records.back().id, kAudioLevelsRecord);
    EXPECT_EQ(server_.DroppedAudioRecords(), quint64(sent - AudioRateLimit::kRecordsPerWindow));
}

TEST(AudioRateLimitTest, ANewWindowLetsRecordsThroughAgain) {
    AudioRateLimit limit;
    for (int i = 0; i < AudioRateLimit::kRecordsPerWindow; ++i) ASSERT_TRUE(limit.Allow(1, 100));
    EXPECT_FALSE(limit.Allow(1, 100 + AudioRateLimit::kWindowMs - 1));
    EXPECT_TRUE(limit.Allow(2, 100));  // another kind has its own count
    EXPECT_TRUE(limit.Allow(1, 100 + AudioRateLimit::kWindowMs));
    EXPECT_EQ(limit.Dropped(), 1u);
}

TEST_F(AudioLinkTest, MessagesGoDownToTheCompanionAndItsEndIsReported) {
    EXPECT_FALSE(server_.SendToCompanion(EncodeAudioCommand(AudioCommand::Attach)));
    RunClient([&] {
        IpcClient client;
        Introduce(client);
        // The server's thread sends once the hello is in; the client reads what came.
        QMetaObject::invokeMethod(
            &server_,
            [this] {
                EXPECT_TRUE(server_.SendToCompanion(EncodeAudioCommand(AudioCommand::Reset, 0)));
                EXPECT_TRUE(
                    server_.SendToCompanion(EncodeAudioValues(kAudioStyleRecord, {1, 2, 3})));
            },
            Qt::QueuedConnection);
        QJsonObject message;
        QString error;
        ASSERT_TRUE(client.ReadReply(kGenerousMs, &message, &error)) << error.toStdString();
        const auto command = DecodeAudioCommand(message);
        ASSERT_TRUE(command.has_value());
        EXPECT_EQ(command->command, AudioCommand::Reset);
        ASSERT_TRUE(client.ReadReply(kGenerousMs, &message, &error)) << error.toStdString();
        const auto record = DecodeAudioRecord(message);
        ASSERT_TRUE(record.has_value());
        EXPECT_EQ(record->id, kAudioStyleRecord);
        client.Close();
    });
    QElapsedTimer waited;
    waited.start();
    while (sink_.gone == 0 && waited.elapsed() < kGenerousMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    EXPECT_EQ(sink_.gone, 1);
    EXPECT_FALSE(server_.HasCompanion());
}

}  // namespace
}  // namespace rerov::ipc
