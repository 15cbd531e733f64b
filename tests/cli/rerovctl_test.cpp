// rerovctl run as a program against the simulator: output formats, the trace file and
// the exit codes.

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

#include "sim/keyboard_model.h"

namespace {

struct RunOutcome {
    int exitCode = -1;
    QString out;
    QString err;
};

RunOutcome RunRerovctl(const QStringList& arguments, const QProcessEnvironment& environment =
                                                         QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(REROVCTL_PATH), arguments);
    RunOutcome run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << "rerovctl did not finish: " << arguments.join(' ').toStdString();
        return run;
    }
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QStringList Lines(const QString& text) { return text.split('\n', Qt::SkipEmptyParts); }

QString Hex(const uint8_t* bytes, size_t length) {
    QStringList parts;
    for (size_t i = 0; i < length; ++i)
        parts << QStringLiteral("%1").arg(bytes[i], 2, 16, QChar('0'));
    return parts.join(' ');
}

struct ListCase {
    const char* simulate;
    bool receiver;
    std::vector<int> rows;
};

TEST(RerovctlTest, ListShowsTheRowsOfThePluggedDevices) {
    const ListCase cases[] = {
        {"keyboard", false, {0, 1}},
        {"keyboard", true, {2, 3}},
        {"keyboard-receiver,mouse", false, {2, 3, 4, 5}},
        {"mousepad,headset", false, {8, 9, 10}},
    };
    const QRegularExpression line(
        QStringLiteral("^(\\d+) (\\d+) (0|255) (vid_[0-9a-f]{4}&pid_[0-9a-f]{4}&mi_\\d\\d\\S*)$"));
    for (const ListCase& c : cases) {
        QStringList args{QStringLiteral("--simulate=%1").arg(c.simulate)};
        if (c.receiver) args << QStringLiteral("--receiver");
        args << QStringLiteral("list");
        const RunOutcome run = RunRerovctl(args);
        ASSERT_EQ(run.exitCode, 0) << c.simulate << run.err.toStdString();
        std::vector<int> rows;
        for (const QString& text : Lines(run.out)) {
            const QRegularExpressionMatch match = line.match(text);
            ASSERT_TRUE(match.hasMatch()) << text.toStdString();
            rows.push_back(match.captured(1).toInt());
            // Odd rows up to 9 are the secondary interfaces, the rest command interfaces.
            const int row = rows.back();
            const int role = match.captured(3).toInt();
            EXPECT_EQ(role, (row < 10 && row % 2 == 1) ? 255 : 0) << text.toStdString();
        }
        EXPECT_EQ(rows, c.rows) << c.simulate;
    }
}

TEST(RerovctlTest, ListAsJson) {
    const RunOutcome run = RunRerovctl({"--simulate=keyboard", "list", "--json"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(run.out.toUtf8(), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << run.out.toStdString();
    const QJsonArray list = document.array();
    ASSERT_EQ(list.size(), 2);
    const QJsonObject command = list[0].toObject();
    EXPECT_EQ(command["row"].toInt(), 0);
    EXPECT_EQ(command["kind"].toInt(), 1);
    EXPECT_EQ(command["role"].toInt(), 0);
    EXPECT_TRUE(command["path"].toString().contains("&col04"));
    EXPECT_EQ(list[1].toObject()["role"].toInt(), 255);
}

TEST(RerovctlTest, InfoReadsTheKeyboardOnBothPaths) {
    rerov::sim::KeyboardModel keyboard;  // factory state, as the program's simulator starts
    const auto info = keyboard.InfoBlock();
    for (bool receiver : {false, true}) {
        QStringList args{"--simulate=keyboard"};
        if (receiver) args << "--receiver";
        args << "info";
        const RunOutcome run = RunRerovctl(args);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QStringList lines = Lines(run.out);
        ASSERT_EQ(lines.size(), 3) << run.out.toStdString();
        EXPECT_EQ(lines[0], "info: " + Hex(info.data(), info.size()));
        EXPECT_EQ(lines[1], QStringLiteral("key positions: %1").arg(info[5]));
        EXPECT_EQ(lines[2], QStringLiteral("macro memory: %1 bytes").arg(info[6] * 128));
    }
}

TEST(RerovctlTest, TraceFileHoldsEveryReportOnePerLine) {
    const struct {
        bool receiver;
        QList<int> commands;  // command byte of each line, in order
    } cases[] = {
        {false, {0x01, 0x01, 0x03, 0x03, 0x02, 0x02}},
        {true, {0x01, 0x01, 0x03, 0x03, 0x03, 0x03, 0x02, 0x02}},
    };
    const QRegularExpression line(QStringLiteral("^[<>]( [0-9a-f]{2}){64}$"));
    for (const auto& c : cases) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString tracePath = dir.filePath("trace.txt");
        QStringList args{"--simulate=keyboard"};
        if (c.receiver) args << "--receiver";
        args << "--trace" << tracePath << "info";
        const RunOutcome run = RunRerovctl(args);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        QFile file(tracePath);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QStringList lines = Lines(QString::fromUtf8(file.readAll()));
        ASSERT_EQ(lines.size(), c.commands.size());
        for (int i = 0; i < lines.size(); ++i) {
            ASSERT_TRUE(line.match(lines[i]).hasMatch()) << lines[i].toStdString();
            EXPECT_EQ(lines[i].at(0), i % 2 == 0 ? QChar('>') : QChar('<')) << i;
            EXPECT_TRUE(lines[i].mid(2).startsWith("04 ")) << i;  // report id
            EXPECT_EQ(lines[i].mid(11, 2).toInt(nullptr, 16), c.commands[i]) << i;
        }
    }
    // The BeginSession request is the one of the protocol, byte for byte.
    QTemporaryDir dir;
    const QString tracePath = dir.filePath("t.txt");
    ASSERT_EQ(RunRerovctl({"--simulate=keyboard", "--trace", tracePath, "info"}).exitCode, 0);
    QFile file(tracePath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QString expected = "> 04 01 00 01";
    for (int i = 4; i < 64; ++i) expected += " 00";
    EXPECT_EQ(Lines(QString::fromUtf8(file.readAll())).value(0), expected);
}

TEST(RerovctlTest, RawSendsOneFramedCommand) {
    const RunOutcome run =
        RunRerovctl({"--simulate=keyboard", "raw", "--cmd", "0x1a", "--length", "6"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], "result 1 (success)");
    rerov::sim::KeyboardModel keyboard;
    const auto status = keyboard.PowerStatus(rerov::sim::KeyboardLink::Cable);
    // Reply: id 4, checksum, command 1a, length 6, offset 0, status 0, the power status.
    EXPECT_TRUE(lines[1].startsWith("reply: 04 ")) << lines[1].toStdString();
    EXPECT_EQ(lines[1].mid(7 + 9, 15), "1a 06 00 00 00 ") << lines[1].toStdString();
    EXPECT_EQ(lines[1].mid(7 + 24, 17), Hex(status.data(), status.size()));
}

TEST(RerovctlTest, RawWritesTheDataItIsGiven) {
    QTemporaryDir dir;
    const QString tracePath = dir.filePath("t.txt");
    const RunOutcome run = RunRerovctl({"--simulate=keyboard", "--trace", tracePath, "raw",
                                        "--cmd=6", "--offset=0x102", "--data", "0a0b0c"});
    // Offset 0x102 lies beyond the parameter area, so the keyboard refuses: exit 1.
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.startsWith("result -103 (device status 0xFE)")) << run.out.toStdString();
    QFile file(tracePath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString request = Lines(QString::fromUtf8(file.readAll())).value(0);
    EXPECT_EQ(request.mid(11, 26), "06 03 02 01 00 0a 0b 0c 00") << request.toStdString();
}

struct ExitCase {
    QStringList args;
    int exitCode;
    const char* errorText;  // part of the one-line message on stderr
};

TEST(RerovctlTest, ExitCodesAndOneLineMessages) {
    const ExitCase cases[] = {
        {{"--help"}, 0, ""},
        {{}, 2, "no command"},
        {{"--bogus", "list"}, 2, "unknown option"},
        {{"--simulate=keyboard", "frobnicate"}, 2, "unknown command"},
        {{"--simulate=toaster", "list"}, 2, "toaster"},
        {{"--simulate=keyboard", "raw"}, 2, "--cmd"},
        {{"--simulate=keyboard", "raw", "--cmd", "300"}, 2, "bad value"},
        {{"--simulate=keyboard", "raw", "--cmd", "1", "--data", "abc"}, 2, "bad value"},
        {{"--simulate=keyboard", "list", "--yaml"}, 2, "unknown argument"},
        {{"--simulate=headset", "info"}, 1, "no supported device"},
        {{"--simulate=keyboard", "raw", "--cmd", "0x99"}, 1, "device status 0xFF"},
        {{"--simulate=keyboard", "--trace", "/nonexistent-dir/t.txt", "info"}, 1, "trace"},
        // Opens, but every write fails: the command must not end as a success.
        {{"--simulate=keyboard", "--trace", "/dev/full", "info"}, 1, "trace"},
    };
    for (const ExitCase& c : cases) {
        const RunOutcome run = RunRerovctl(c.args);
        const std::string label = c.args.join(' ').toStdString();
        EXPECT_EQ(run.exitCode, c.exitCode) << label << ": " << run.err.toStdString();
        if (c.exitCode == 0) {
            EXPECT_TRUE(run.err.isEmpty()) << label;
            continue;
        }
        EXPECT_EQ(Lines(run.err).size(), 1) << label << ": " << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.errorText)))
            << label << ": " << run.err.toStdString();
    }
    EXPECT_TRUE(RunRerovctl({"--help"}).out.contains("usage: rerovctl"));
}

// --sim-fault, --sim-out-of-reach and --sim-latency-us shape the simulator rerovctl runs
// against; info sends BeginSession (report 1), ReadDeviceInfo (report 2), EndSession.
TEST(RerovctlTest, SimOptionsShapeTheSimulatedKeyboard) {
    const ExitCase cases[] = {
        {{"--simulate=keyboard", "--sim-fault", "status-ff:0x03", "info"}, 1, "0xFF"},
        {{"--simulate=keyboard", "--sim-fault=status-fe@2", "info"}, 1, "0xFE"},
        {{"--simulate=keyboard", "--sim-fault", "status-fe@3:0x03", "info"}, 0, ""},
        {{"--simulate=keyboard", "--sim-fault", "write-fails@1", "info"}, 1, "not written"},
        {{"--simulate=keyboard", "--sim-fault", "no-reply@2", "info"}, 1, "no reply"},
        {{"--simulate=keyboard", "--sim-fault", "wrong-command@2", "info"}, 1, "no reply"},
        {{"--simulate=keyboard", "--sim-fault", "disconnect-during@2", "info"}, 1, "Read"},
        {{"--simulate=keyboard", "--sim-fault", "status-fe@1", "--sim-fault", "status-ff@1",
          "info"},
         1,
         "BeginSession"},
        {{"--simulate=keyboard", "--receiver", "--sim-out-of-reach", "info"}, 1, "not reachable"},
        {{"--simulate=keyboard", "--sim-out-of-reach", "info"}, 0, ""},
        {{"--simulate=keyboard", "--sim-latency-us", "1000", "info"}, 0, ""},
        {{"--simulate=keyboard", "--sim-latency-us", "x", "info"}, 2, "--sim-latency-us"},
        {{"--simulate=keyboard", "--sim-latency-us", "1000001", "info"}, 2, "--sim-latency-us"},
        {{"--simulate=keyboard", "--sim-fault", "status-fd", "info"}, 2, "status-fe"},
        {{"--simulate=keyboard", "--sim-fault"}, 2, "--sim-fault"},
        {{"--sim-fault", "status-fe", "info"}, 2, "need --simulate"},
        {{"--sim-out-of-reach", "info"}, 2, "need --simulate"},
    };
    for (const ExitCase& c : cases) {
        const RunOutcome run = RunRerovctl(c.args);
        const std::string label = c.args.join(' ').toStdString();
        EXPECT_EQ(run.exitCode, c.exitCode) << label << ": " << run.err.toStdString();
        if (c.exitCode == 0) continue;
        EXPECT_EQ(Lines(run.err).size(), 1) << label << ": " << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.errorText)))
            << label << ": " << run.err.toStdString();
    }
}

TEST(RerovctlTest, ProfileCommandsReachTheProfileStore) {
    QTemporaryDir dataHome;
    ASSERT_TRUE(dataHome.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_HOME", dataHome.path());
    const RunOutcome listed = RunRerovctl({"profile", "keyboard", "list"}, environment);
    EXPECT_EQ(listed.exitCode, 0) << listed.err.toStdString();
    EXPECT_FALSE(listed.out.isEmpty());
    const RunOutcome refused = RunRerovctl({"profile", "toaster", "list"}, environment);
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_FALSE(refused.err.contains("unknown command")) << refused.err.toStdString();
}

}  // namespace
