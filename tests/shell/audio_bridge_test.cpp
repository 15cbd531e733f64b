// The audio bridge: what it sends the companion and when, where the companion's records go,
// and the companion's life (launch, relaunch after a kill, no restart without a sound
// server, the end at shutdown) with a stand-in companion process on a real IPC channel.

#include "shell/audio/audio_bridge.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <vector>

#include "shell/ipc/audio_records.h"
#include "shell/ipc/ipc_protocol.h"
#include "shell/ipc/ipc_server.h"
#include "tests/support/scoped_environment.h"

#ifdef Q_OS_UNIX
#include <signal.h>
#endif

namespace rerov::audio {
namespace {

using ipc::AudioCommand;

// One keyboard row and one mouse row, so each spectrum runs each family once.
constexpr int kKeyboardRows = 1;
constexpr int kMouseRows = 1;
constexpr int kGenerousMs = 10000;

struct FakeSender : ipc::AudioLinkSender {
    bool SendToCompanion(const QJsonObject& message) override {
        sent.push_back(message);
        return true;
    }
    // The commands sent, in order, as numbers; records as 100 + id.
    std::vector<int> Codes() const {
        std::vector<int> codes;
        for (const QJsonObject& message : sent) {
            if (const auto command = ipc::DecodeAudioCommand(message)) {
                codes.push_back(static_cast<int>(command->command));
            } else if (const auto record = ipc::DecodeAudioRecord(message)) {
                codes.push_back(100 + record->id);
            }
        }
        return codes;
    }
    std::vector<QJsonObject> sent;
};

struct FakeReceivers : AudioReceivers {
    void KeyboardSpectrum(const SpectrumArray& spectrum) override { keyboard.push_back(spectrum); }
    void MouseSpectrum(const SpectrumArray& spectrum) override { mouse.push_back(spectrum); }
    void KeyboardLevels(const std::array<uint32_t, ipc::kAudioLevelValues>& values) override {
        levels.push_back(values);
    }
    std::vector<SpectrumArray> keyboard;
    std::vector<SpectrumArray> mouse;
    std::vector<std::array<uint32_t, ipc::kAudioLevelValues>> levels;
};

ipc::AudioRecord Values(int id, const std::vector<int32_t>& values) {
    return *ipc::DecodeAudioRecord(ipc::EncodeAudioValues(id, values));
}

AudioStyleSet StyleWithGreen(int green) {
    AudioStyleSet styles;
    styles.selected = 2;
    styles.levels[2] = {4, green, 6};
    return styles;
}

class BridgeTest : public ::testing::Test {
  protected:
    BridgeTest() {
        bridge_.SetSender(&sender_);
        bridge_.SetReceivers(&receivers_);
    }
    AudioBridge bridge_{kKeyboardRows, kMouseRows};
    FakeSender sender_;
    FakeReceivers receivers_;
};

TEST_F(BridgeTest, TheStartCommandsFollowTheHelloAndTheStartTimerOncePerConnection) {
    bridge_.SendStyleColour(StyleWithGreen(0));
    EXPECT_TRUE(sender_.sent.empty()) << "nothing goes out before the companion introduced itself";

    bridge_.OnCompanionIntroduced();
    EXPECT_TRUE(sender_.sent.empty()) << "not before timer 1011";
    bridge_.OnCompanionGone();
    bridge_.StartCapture();  // timer 1011 before the companion connected
    EXPECT_TRUE(sender_.sent.empty());
    bridge_.OnCompanionIntroduced();
    EXPECT_EQ(sender_.Codes(), (std::vector<int>{0, 3, 1, 110}));

    // The relaunch's start step finds it started: once per connection.
    sender_.sent.clear();
    bridge_.StartCapture();
    EXPECT_TRUE(sender_.sent.empty());

    // A later companion (after a relaunch) is started as soon as it is there.
    bridge_.OnCompanionGone();
    bridge_.OnCompanionIntroduced();
    EXPECT_EQ(sender_.Codes(), (std::vector<int>{0, 3, 1, 110}));
    sender_.sent.clear();
    bridge_.StartCapture();
    EXPECT_TRUE(sender_.sent.empty());
}

TEST_F(BridgeTest, TheStyleColourIsTheSelectedStyleWithGreenZeroSentAsOne) {
    bridge_.OnCompanionIntroduced();
    const struct {
        int green;
        std::vector<int32_t> expected;
    } cases[] = {{0, {4, 1, 6, 0, 0, 0, 0, 0, 0, 0}}, {9, {4, 9, 6, 0, 0, 0, 0, 0, 0, 0}}};
    for (const auto& c : cases) {
        sender_.sent.clear();
        bridge_.SendStyleColour(StyleWithGreen(c.green));
        ASSERT_EQ(sender_.sent.size(), 1u);
        const auto record = ipc::DecodeAudioRecord(sender_.sent[0]);
        ASSERT_TRUE(record.has_value());
        EXPECT_EQ(record->id, ipc::kAudioStyleRecord);
        EXPECT_EQ(record->data.size(), 40);
        EXPECT_EQ(ipc::AudioValues(record->data, 10), c.expected) << "green " << c.green;
    }
}

TEST_F(BridgeTest, SliderCommandsCarryTheirValueOnlyToAnIntroducedCompanion) {
    bridge_.SendColourCommand(AudioCommand::Red, 128);
    EXPECT_TRUE(sender_.sent.empty());
    bridge_.OnCompanionIntroduced();
    bridge_.SendColourCommand(AudioCommand::Blue, 77);
    ASSERT_EQ(sender_.sent.size(), 1u);
    const auto command = ipc::DecodeAudioCommand(sender_.sent[0]);
    ASSERT_TRUE(command.has_value());
    EXPECT_EQ(command->command, AudioCommand::Blue);
    EXPECT_EQ(command->value, 77);
}

TEST_F(BridgeTest, EveryThirdSpectrumReachesTheKeyboardAndTheMouse) {
    std::vector<int32_t> loud(500, 0);
    for (int i = 0; i < 500; ++i) loud[size_t(i)] = (i % 7) * 100;
    const std::vector<int32_t> quiet(500, 0);
    for (int frame = 0; frame < 6; ++frame) {
        bridge_.OnCompanionRecord(Values(ipc::kAudioSpectrumRecord, frame % 2 ? loud : quiet));
    }
    ASSERT_EQ(receivers_.keyboard.size(), 2u);
    ASSERT_EQ(receivers_.mouse.size(), 2u);
    // What the pages get is the band step's output for the same spectra.
    AudioBands bands(kKeyboardRows, kMouseRows);
    std::vector<SpectrumArray> expected;
    for (int frame = 0; frame < 6; ++frame) {
        const std::vector<int32_t>& values = frame % 2 ? loud : quiet;
        const BandOutput output = bands.Feed(values.data(), values.size());
        if (output.keyboard) expected.push_back(*output.keyboard);
    }
    EXPECT_EQ(receivers_.keyboard, expected);
    EXPECT_NE(receivers_.keyboard[0][0], 0);
}

TEST_F(BridgeTest, ASpectrumOfSizeZeroOrAnotherIdChangesNothing) {
    // The same spectra with and without records that must be ignored between them: the
    // pages see the same (a record counted as a frame would hand on a spectrum early).
    AudioBridge plain(kKeyboardRows, kMouseRows);
    FakeReceivers plainReceivers;
    plain.SetReceivers(&plainReceivers);
    const std::vector<int32_t> other(500, 900);
    for (int32_t level : {300, 900, 100}) {
        const std::vector<int32_t> spectrum(500, level);
        plain.OnCompanionRecord(Values(ipc::kAudioSpectrumRecord, spectrum));
        bridge_.OnCompanionRecord(Values(ipc::kAudioSpectrumRecord, spectrum));
        bridge_.OnCompanionRecord(ipc::AudioRecord{ipc::kAudioSpectrumRecord, QByteArray()});
        bridge_.OnCompanionRecord(
            ipc::AudioRecord{ipc::kAudioSpectrumRecord, QByteArray(3, '\x7f')});
        bridge_.OnCompanionRecord(Values(7, other));
        bridge_.OnCompanionRecord(Values(ipc::kAudioStyleRecord, other));
        bridge_.OnCompanionRecord(ipc::AudioRecord{ipc::kAudioLevelsRecord, QByteArray()});
    }
    ASSERT_EQ(plainReceivers.keyboard.size(), 1u);
    EXPECT_EQ(receivers_.keyboard, plainReceivers.keyboard);
    EXPECT_EQ(receivers_.mouse, plainReceivers.mouse);
    EXPECT_TRUE(receivers_.levels.empty());
}

TEST_F(BridgeTest, LevelsGoToTheKeyboardAsSixWordsAndAShortRecordKeepsTheRest) {
    bridge_.OnCompanionRecord(Values(ipc::kAudioLevelsRecord, {255, 10, 20, 30, 40, 50, 99}));
    bridge_.OnCompanionRecord(Values(ipc::kAudioLevelsRecord, {1, 2}));
    ASSERT_EQ(receivers_.levels.size(), 2u);
    EXPECT_EQ(receivers_.levels[0], (std::array<uint32_t, 6>{255, 10, 20, 30, 40, 50}));
    EXPECT_EQ(receivers_.levels[1], (std::array<uint32_t, 6>{1, 2, 20, 30, 40, 50}));
}

TEST_F(BridgeTest, ShutdownSendsStopReleaseAndExitOnce) {
    bridge_.OnCompanionIntroduced();
    bridge_.Shutdown();
    bridge_.Shutdown();
    EXPECT_EQ(sender_.Codes(), (std::vector<int>{2, 4, 5}));
    bridge_.StartCapture();
    bridge_.SendColourCommand(AudioCommand::Red, 1);
    EXPECT_EQ(sender_.Codes(), (std::vector<int>{2, 4, 5})) << "nothing after the shutdown";
}

// --- The companion as a process ---

class CompanionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(runtime_.isValid());
        QString error;
        ASSERT_TRUE(server_.Listen(ipc::ServerName(), &error)) << error.toStdString();
        server_.SetAudioSink(&bridge_);
        bridge_.SetSender(&server_);
        options_.program = QStringLiteral(REROV_FAKE_AUDIO_COMPANION);
        options_.lockFile = LockFile();
    }
    void TearDown() override { bridge_.Shutdown(); }

    QString LockFile() const {
        return ipc::RuntimeFolder() + u'/' + QLatin1String(ipc::kAudioCaptureLockName) +
               QStringLiteral(".lock");
    }
    // The lines the companion wrote so far.
    QStringList Log() const {
        QFile file(logPath_);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
        return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

    QTemporaryDir runtime_;
    test::ScopedEnvironment runtimeDir_{"XDG_RUNTIME_DIR", runtime_.path().toUtf8()};
    QString logPath_ = runtime_.filePath(QStringLiteral("companion.log"));
    test::ScopedEnvironment log_{"FAKE_AUDIO_LOG", logPath_.toUtf8()};
    ipc::IpcServer server_;
    AudioBridge bridge_{kKeyboardRows, kMouseRows};
    AudioBridgeOptions options_;
};

TEST_F(CompanionTest, ALaunchedCompanionIsStartedWithItsStyleAndEndedAtShutdown) {
    options_.arguments = {QStringLiteral("--wav"), QStringLiteral("song.wav"),
                          QStringLiteral("--loop")};
    bridge_.SetOptions(options_);
    bridge_.SendStyleColour(StyleWithGreen(0));
    ASSERT_TRUE(bridge_.Launch());
    EXPECT_TRUE(bridge_.DaemonRunning());
    EXPECT_EQ(bridge_.DaemonPeriodMs(), 1000);
    bridge_.StartCapture();
    QTRY_COMPARE_WITH_TIMEOUT(Log().size(), 5, kGenerousMs);
    EXPECT_EQ(Log(), (QStringList{"started --wav song.wav --loop", "command 0 0", "command 3 0",
                                  "command 1 0", "record 10 4 1 6 0 0 0 0 0 0 0"}));

    const qint64 pid = bridge_.CompanionProcessId();
    ASSERT_NE(pid, 0);
    QElapsedTimer shutdown;
    shutdown.start();
    bridge_.Shutdown();
    EXPECT_EQ(bridge_.CompanionProcessId(), 0);
    EXPECT_FALSE(bridge_.DaemonRunning());
    // The companion left on command 5 by itself, well before it would have been ended.
    EXPECT_LT(shutdown.elapsed(), 1000);
    EXPECT_EQ(Log().mid(5), (QStringList{"command 2 0", "command 4 0", "command 5 0"}));
}

#ifdef Q_OS_UNIX
TEST_F(CompanionTest, AKilledCompanionIsRelaunchedByTheNextDaemonTick) {
    bridge_.SetOptions(options_);
    ASSERT_TRUE(bridge_.Launch());
    bridge_.StartCapture();
    QTRY_VERIFY_WITH_TIMEOUT(bridge_.IsIntroduced(), kGenerousMs);
    ASSERT_EQ(bridge_.LaunchCount(), 1);

    bridge_.StopDaemon();  // the tick is driven by hand here
    ASSERT_EQ(::kill(pid_t(bridge_.CompanionProcessId()), SIGKILL), 0);
    QTRY_COMPARE_WITH_TIMEOUT(bridge_.CompanionProcessId(), qint64(0), kGenerousMs);
    QTRY_VERIFY_WITH_TIMEOUT(!bridge_.IsIntroduced(), kGenerousMs);
    bridge_.CheckCompanion();
    EXPECT_EQ(bridge_.LaunchCount(), 2);
    // The new one is started once it has introduced itself.
    QTRY_COMPARE_WITH_TIMEOUT(Log().count(QStringLiteral("command 1 0")), 2, kGenerousMs);
    EXPECT_EQ(Log().count(QStringLiteral("started ")), 2);
}

TEST_F(CompanionTest, TheDaemonRelaunchesAKilledCompanionWithinItsPeriod) {
    bridge_.SetOptions(options_);
    ASSERT_TRUE(bridge_.Launch());
    QTRY_VERIFY_WITH_TIMEOUT(bridge_.IsIntroduced(), kGenerousMs);
    ASSERT_EQ(::kill(pid_t(bridge_.CompanionProcessId()), SIGKILL), 0);
    QElapsedTimer sinceKill;
    sinceKill.start();
    QTRY_COMPARE_WITH_TIMEOUT(bridge_.LaunchCount(), 2, kGenerousMs);
    // One period of 1000 ms at most, with room for a busy machine.
    EXPECT_LE(sinceKill.elapsed(), 2500);
}
#endif

TEST_F(CompanionTest, ACompanionWithoutASoundServerIsNotRestarted) {
    const test::ScopedEnvironment mode("FAKE_AUDIO_MODE", "no-sound");
    bridge_.SetOptions(options_);
    ASSERT_TRUE(bridge_.Launch());
    QTRY_VERIFY_WITH_TIMEOUT(bridge_.RestartsStopped(), kGenerousMs);
    bridge_.CheckCompanion();
    bridge_.CheckCompanion();
    EXPECT_EQ(bridge_.LaunchCount(), 1);
}

TEST_F(CompanionTest, ACompanionThatHoldsTheLockIsLeftAlone) {
    QLockFile other(LockFile());
    ASSERT_TRUE(other.tryLock(0));
    bridge_.SetOptions(options_);
    bridge_.CheckCompanion();
    EXPECT_EQ(bridge_.LaunchCount(), 0);
    other.unlock();
    bridge_.CheckCompanion();
    EXPECT_EQ(bridge_.LaunchCount(), 1);
}

TEST_F(CompanionTest, AMissingProgramIsReportedOnceAndRetried) {
    options_.program = runtime_.filePath(QStringLiteral("no-such-companion"));
    bridge_.SetOptions(options_);
    int reports = 0;
    bridge_.SetLaunchFailedHandler([&reports] { ++reports; });
    EXPECT_FALSE(bridge_.Launch());
    EXPECT_TRUE(bridge_.DaemonRunning()) << "the program may yet appear";
    bridge_.CheckCompanion();
    EXPECT_EQ(bridge_.LaunchCount(), 2);
    EXPECT_EQ(reports, 1);
}

}  // namespace
}  // namespace rerov::audio
