// rerovctl keyboard run as a program against the simulator. What reached the keyboard is
// found by replaying the --trace file's requests into a fresh keyboard model: the trace
// holds every report rerovctl sent, so the model ends up with the memory the simulated
// keyboard had.

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <map>
#include <memory>
#include <vector>

#include "sim/keyboard_model.h"

namespace {

using rerov::sim::Frame;
using rerov::sim::KeyboardLink;
using rerov::sim::KeyboardModel;

constexpr uint8_t kCmdWriteParameters = 0x06;
constexpr uint8_t kCmdWriteKeyTable = 0x09;
constexpr uint8_t kCmdWriteMacroData = 0x15;
constexpr size_t kKeyTableBytes = 138 * 3;  // the simulated keyboard's positions

struct RunOutcome {
    int exitCode = -1;
    QString out;
    QString err;
};

int Lines(const QString& text) { return int(text.split('\n', Qt::SkipEmptyParts).size()); }

// One user data folder per test, and the trace of the last run.
class KeyboardCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        environment_.insert("XDG_DATA_HOME", home_.path());
    }

    RunOutcome Run(const QStringList& arguments, bool receiver = false,
                   const QStringList& simOptions = {}) {
        QStringList all{"--simulate=keyboard", "--trace", TracePath()};
        if (receiver) all << "--receiver";
        all << simOptions << "keyboard" << arguments;
        QProcess process;
        process.setProcessEnvironment(environment_);
        process.start(QStringLiteral(REROVCTL_PATH), all);
        RunOutcome run;
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
            process.kill();
            process.waitForFinished();
            ADD_FAILURE() << "rerovctl did not finish: " << all.join(' ').toStdString();
            return run;
        }
        run.exitCode = process.exitCode();
        run.out = QString::fromUtf8(process.readAllStandardOutput());
        run.err = QString::fromUtf8(process.readAllStandardError());
        return run;
    }

    QJsonObject RunJson(const QStringList& arguments, bool receiver = false) {
        const RunOutcome run = Run(arguments + QStringList{"--json"}, receiver);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(run.out.toUtf8(), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << run.out.toStdString();
        return document.object();
    }

    QString TracePath() const { return home_.filePath("trace.txt"); }

    // The requests of the last run's trace, in order.
    std::vector<Frame> Requests() const {
        std::vector<Frame> requests;
        QFile file(TracePath());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (!line.startsWith("> ")) continue;
            const QByteArray bytes = QByteArray::fromHex(line.mid(2).replace(' ', ""));
            EXPECT_EQ(bytes.size(), 64) << line.toStdString();
            Frame frame{};
            std::copy_n(bytes.begin(), std::min<qsizetype>(bytes.size(), 64), frame.begin());
            requests.push_back(frame);
        }
        return requests;
    }

    // A factory keyboard that has taken the last run's requests.
    void Replay(KeyboardModel* model, KeyboardLink link) const {
        for (const Frame& request : Requests()) model->Handle(request, link);
    }

    // The device position of key index `key`, from the read-out.
    int PositionOf(int key) {
        for (const QJsonValue entry : RunJson({"read"}).value("keys").toArray()) {
            if (entry.toObject().value("key").toInt() == key) {
                return entry.toObject().value("position").toInt();
            }
        }
        return -1;
    }

    // The selected keyboard profile's file (made by the profile store on first use).
    QString ProfilePath() {
        QProcess process;
        process.setProcessEnvironment(environment_);
        process.start(QStringLiteral(REROVCTL_PATH), {"profile", "keyboard", "list", "--json"});
        EXPECT_TRUE(process.waitForFinished(60000));
        const QJsonObject list = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
        const int selected = list.value("selected").toInt(-1);
        const QString uuid =
            list.value("profiles").toArray().at(selected).toObject().value("uuid").toString();
        EXPECT_FALSE(uuid.isEmpty());
        return home_.filePath("REROV ER60 EVER/keyboard/" + uuid + ".Json");
    }

    // The device element of the selected profile.
    QJsonObject ProfileDevice() {
        const QJsonObject root = QJsonDocument::fromJson(ReadFile(ProfilePath())).object();
        return root.value("Device").toArray().at(0).toObject();
    }

    static QByteArray ReadFile(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir home_;
    QProcessEnvironment environment_ = QProcessEnvironment::systemEnvironment();
};

// The chunks of one command in the trace: lengths and offsets as the link cut them.
std::vector<std::pair<int, int>> Chunks(const std::vector<Frame>& requests, uint8_t command) {
    std::vector<std::pair<int, int>> chunks;
    for (const Frame& request : requests) {
        if (request[3] == command) chunks.emplace_back(request[4], request[5] | request[6] << 8);
    }
    return chunks;
}

std::vector<std::pair<int, int>> ExpectedChunks(int total, int chunk) {
    std::vector<std::pair<int, int>> chunks;
    for (int position = 0; position < total; position += chunk) {
        chunks.emplace_back(std::min(chunk, total - position), position);
    }
    return chunks;
}

TEST_F(KeyboardCommandTest, ApplyWritesTheBlockThenTheKeyTableInChunksOfThePath) {
    for (bool receiver : {false, true}) {
        SCOPED_TRACE(receiver ? "receiver" : "cable");
        const QJsonObject report = RunJson({"apply"}, receiver);
        EXPECT_EQ(report.value("report").toInt(-1), 0);
        EXPECT_EQ(report.value("link").toInt(), 1);
        EXPECT_TRUE(report.value("ok").toBool());

        const std::vector<Frame> requests = Requests();
        int blockAt = -1, keysAt = -1;
        for (size_t i = 0; i < requests.size(); ++i) {
            if (requests[i][3] == kCmdWriteParameters && blockAt < 0) blockAt = int(i);
            if (requests[i][3] == kCmdWriteKeyTable && keysAt < 0) keysAt = int(i);
        }
        ASSERT_GE(blockAt, 0) << "no parameter block written";
        ASSERT_GT(keysAt, blockAt) << "the key table comes after the block";
        const int chunk = receiver ? 24 : 56;
        EXPECT_EQ(Chunks(requests, kCmdWriteParameters), ExpectedChunks(42, chunk));
        EXPECT_EQ(Chunks(requests, kCmdWriteKeyTable), ExpectedChunks(int(kKeyTableBytes), chunk));

        KeyboardModel model;
        Replay(&model, receiver ? KeyboardLink::Receiver : KeyboardLink::Cable);
        // The factory profile gives every key its keycap's function back.
        const std::vector<uint8_t> factory = model.FactoryKeyTable();
        const std::vector<uint8_t> keys = model.KeyTable();
        EXPECT_TRUE(std::equal(keys.begin(), keys.begin() + kKeyTableBytes, factory.begin()));
        const std::vector<uint8_t> block = model.ParameterBlock(0);
        EXPECT_EQ(block[0], 0);
        EXPECT_EQ(block[1], 1) << "mode code of the factory profile's mode";
        EXPECT_EQ(block[2], 4) << "brightness";
        EXPECT_EQ(block[3], 2) << "4 - speed";
        EXPECT_EQ(block[6], 0xFF);
        // Bytes the program does not interpret go back as the keyboard had them.
        const std::vector<uint8_t> device = KeyboardModel().ParameterBlock(0);
        for (size_t i : {9u, 10u, 15u, 23u, 24u, 26u, 41u}) EXPECT_EQ(block[i], device[i]) << i;
    }
}

TEST_F(KeyboardCommandTest, SetKeyChangesTheProfileAndTheKeyAtItsPosition) {
    constexpr int kKey = 44;  // a letter key
    const int position = PositionOf(kKey);
    ASSERT_GE(position, 0);
    const RunOutcome set =
        Run({"set-key", QString::number(kKey), "--type", "0x20", "--value", "0x02", "--code", "4"});
    ASSERT_EQ(set.exitCode, 0) << set.err.toStdString();
    KeyboardModel model;
    Replay(&model, KeyboardLink::Cable);
    const std::vector<uint8_t> keys = model.KeyTable();
    EXPECT_EQ(keys[size_t(position) * 3], 0x20);
    EXPECT_EQ(keys[size_t(position) * 3 + 1], 0x02);
    EXPECT_EQ(keys[size_t(position) * 3 + 2], 0x04);
    const QJsonArray list = ProfileDevice().value("KeyList").toArray();
    EXPECT_EQ(list.at(kKey).toObject().value("Assignment").toInteger(), 0x200204);

    ASSERT_EQ(Run({"set-key", QString::number(kKey), "--default"}).exitCode, 0);
    KeyboardModel back;
    Replay(&back, KeyboardLink::Cable);
    const std::vector<uint8_t> factory = back.FactoryKeyTable();
    const std::vector<uint8_t> restored = back.KeyTable();
    EXPECT_TRUE(std::equal(restored.begin() + position * 3, restored.begin() + position * 3 + 3,
                           factory.begin() + position * 3));
    EXPECT_EQ(
        ProfileDevice().value("KeyList").toArray().at(kKey).toObject().value("Assignment"),
        ProfileDevice().value("KeyList").toArray().at(kKey).toObject().value("DefaultAssignment"));
}

TEST_F(KeyboardCommandTest, SetLightingAndSetSystemWriteTheBlockAndSaveTheProfile) {
    const RunOutcome light = Run({"set-lighting", "--mode", "5", "--brightness", "3", "--speed",
                                  "1", "--color", "00ff80", "--multicolor", "0"},
                                 true);
    ASSERT_EQ(light.exitCode, 0) << light.err.toStdString();
    KeyboardModel model;
    Replay(&model, KeyboardLink::Receiver);
    std::vector<uint8_t> block = model.ParameterBlock(0);
    EXPECT_EQ(block[1], 5);
    EXPECT_EQ(block[2], 3);
    EXPECT_EQ(block[3], 3) << "speed 1 is written as 4 - 1";
    EXPECT_EQ(block[5], 0);
    EXPECT_EQ((std::vector<uint8_t>{block[6], block[7], block[8]}),
              (std::vector<uint8_t>{0x00, 0xFF, 0x80}));
    EXPECT_EQ(block[10], KeyboardModel().ParameterBlock(0)[10]) << "device data kept";
    const QJsonObject info = ProfileDevice().value("LightInfo").toObject();
    EXPECT_EQ(info.value("SelectItem").toInt(), 5);
    EXPECT_EQ(info.value("Light").toInt(), 3);
    EXPECT_EQ(info.value("Speed").toInt(), 1);
    EXPECT_EQ(info.value("Green").toInt(), 255);

    const RunOutcome system =
        Run({"set-system", "--polling", "2", "--winlock", "1", "--sixkey", "1", "--delay", "3"});
    ASSERT_EQ(system.exitCode, 0) << system.err.toStdString();
    KeyboardModel after;
    Replay(&after, KeyboardLink::Cable);
    block = after.ParameterBlock(0);
    EXPECT_EQ(block[22], 2) << "polling rate";
    EXPECT_EQ(block[21], 1) << "Windows-key lock";
    EXPECT_EQ(block[20], 1) << "6-key mode";
    EXPECT_EQ(block[19], 0) << "W flag unchanged";
    const QJsonObject stages = ProfileDevice().value("SystemStages").toObject();
    EXPECT_EQ(stages.value("PollingRate").toInt(), 2);
    EXPECT_EQ(stages.value("WinFlag").toInt(), 1);
    EXPECT_EQ(stages.value("RepeatDelay").toInt(), 3);

    // Each run meets a factory keyboard (brightness 4): apply sends the profile's lighting,
    // not what the read-out found on the device.
    ASSERT_EQ(Run({"apply"}).exitCode, 0);
    KeyboardModel applied;
    Replay(&applied, KeyboardLink::Cable);
    EXPECT_EQ(applied.ParameterBlock(0)[2], 3);
    EXPECT_EQ(applied.ParameterBlock(0)[22], 2);
    EXPECT_EQ(ProfileDevice().value("LightInfo").toObject().value("Light").toInt(), 3);
}

// Every file under the data folder with its bytes.
std::map<QString, QByteArray> FolderBytes(const QString& root) {
    std::map<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        files[path] = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("?");
    }
    return files;
}

TEST_F(KeyboardCommandTest, ReadShowsGeometryBlockAndPowerOverEachPath) {
    const KeyboardModel factory;
    ProfilePath();  // the profile store made
    const auto before = FolderBytes(home_.path() + "/REROV ER60 EVER");
    for (bool receiver : {false, true}) {
        SCOPED_TRACE(receiver ? "receiver" : "cable");
        const QJsonObject read = RunJson({"read"}, receiver);
        EXPECT_EQ(read.value("link").toString(), receiver ? "receiver" : "cable");
        EXPECT_EQ(read.value("keyPositions").toInt(), factory.KeyPositionCount());
        EXPECT_EQ(read.value("macroMemory").toInt(), KeyboardModel::kDefaultMacroUnits * 128);
        const QJsonArray keys = read.value("keys").toArray();
        ASSERT_FALSE(keys.isEmpty());
        const std::vector<uint8_t> leds = factory.LedTable();
        for (const QJsonValue entry : keys) {
            const int position = entry.toObject().value("position").toInt();
            ASSERT_LT(position, factory.KeyPositionCount());
            EXPECT_EQ(entry.toObject().value("led").toInt(), leds[size_t(position)]);
        }
        EXPECT_EQ(read.value("onboardProfile").toInt(-1), 0);
        const QJsonObject lighting = read.value("lighting").toObject();
        EXPECT_EQ(lighting.value("brightness").toInt(), 4);
        EXPECT_EQ(lighting.value("speed").toInt(), 2);
        EXPECT_EQ(lighting.value("color").toString(), "ff0000");
        const QJsonObject power = read.value("power").toObject();
        EXPECT_EQ(power.value("linkType").toInt(), receiver ? 1 : 0);
        EXPECT_EQ(power.value("chargeState").toInt(),
                  receiver ? KeyboardModel::kOnBattery : KeyboardModel::kPowered);
        EXPECT_EQ(power.value("battery").toInt(), 100);
    }
    EXPECT_EQ(FolderBytes(home_.path() + "/REROV ER60 EVER"), before)
        << "the read-out changed the user's files";
}

TEST_F(KeyboardCommandTest, AFailedDownloadEndsNonZeroAndLeavesTheProfileFile) {
    const QString path = ProfilePath();
    const QByteArray before = ReadFile(path);
    ASSERT_FALSE(before.isEmpty());
    const RunOutcome run = Run({"apply"}, false, {"--sim-fault", "status-fe@3:0x09"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("device status 0xFE")) << run.err.toStdString();
    EXPECT_EQ(Lines(run.err), 1);
    EXPECT_EQ(ReadFile(path), before) << "the profile file changed";
    // Two key-table chunks were taken, the third refused, no more were sent.
    EXPECT_EQ(Chunks(Requests(), kCmdWriteKeyTable).size(), 3u);

    const RunOutcome away = Run({"apply"}, true, {"--sim-out-of-reach"});
    EXPECT_EQ(away.exitCode, 1);
    EXPECT_TRUE(away.err.contains("not reachable")) << away.err.toStdString();
    EXPECT_EQ(ReadFile(path), before);
}

TEST_F(KeyboardCommandTest, BadArgumentsAreRefusedBeforeAnythingIsSent) {
    const QStringList cases[] = {
        {},
        {"frobnicate"},
        {"read", "--xml"},
        {"apply", "now"},
        {"set-key"},
        {"set-key", "170", "--default"},
        {"set-key", "-1", "--default"},
        {"set-key", "5"},
        {"set-key", "5", "--type", "1", "--value", "1"},
        {"set-key", "5", "--default", "--type", "1", "--value", "1", "--code", "1"},
        {"set-key", "5", "--default", "--code", "1"},
        {"set-key", "5", "--type", "256", "--value", "1", "--code", "1"},
        {"set-key", "5", "--type"},
        {"set-lighting"},
        {"set-lighting", "--brightness", "5"},
        {"set-lighting", "--speed", "x"},
        {"set-lighting", "--multicolor", "2"},
        {"set-lighting", "--color", "12345"},
        {"set-lighting", "--color", "12345g"},
        {"set-lighting", "--colour", "123456"},
        {"set-system"},
        {"set-system", "--polling", "4"},
        {"set-system", "--delay", "4"},
        {"set-system", "--winlock", "2"},
        {"set-system", "--repeat", "65536"},
    };
    for (const QStringList& arguments : cases) {
        const std::string label = arguments.join(' ').toStdString();
        const RunOutcome run = Run(arguments);
        EXPECT_EQ(run.exitCode, 2) << label << ": " << run.err.toStdString();
        EXPECT_EQ(Lines(run.err), 1) << label << ": " << run.err.toStdString();
        EXPECT_TRUE(Requests().empty()) << label << ": reports were sent";
    }
}

}  // namespace
