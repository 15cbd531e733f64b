// The real rerov-ever on the offscreen platform, started with --simulate and driven with
// rerovctl: its device list follows the simulated plugs, one instance per user, app quit
// ends it cleanly, the IPC channel refuses bad input, and a broken skin ends start-up.

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QThread>
#include <algorithm>
#include <csignal>

#include "shell/ipc/ipc_client.h"
#include "shell/ipc/ipc_protocol.h"
#include "tests/e2e/e2e_support.h"

namespace rerov::e2e {
namespace {

const QString kKeyboard = QStringLiteral("keyboard");

bool KeyboardIs(const QJsonObject& state, bool connected, bool receiver) {
    const QJsonObject keyboard = Entry(state, kKeyboard);
    return keyboard.value("shown").toBool() == connected &&
           keyboard.value("connected").toBool() == connected &&
           (!connected || keyboard.value("receiver").toBool() == receiver) &&
           // A connected keyboard is read and sent its profile before a step acts on it.
           keyboard.value("ready").toBool() == connected &&
           state.value("noDeviceHintVisible").toBool() == !connected;
}

std::string Dump(const QJsonObject& state) {
    return QJsonDocument(state).toJson(QJsonDocument::Compact).toStdString();
}

class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(sandbox_.IsValid()); }

    // Starts rerov-ever with `arguments` and waits until it answers.
    std::unique_ptr<RunningProgram> Start(const QStringList& arguments) {
        return StartAnswering(sandbox_, arguments);
    }

    void Expect(RunningProgram& program, bool connected, bool receiver, const char* step) {
        QJsonObject last;
        EXPECT_TRUE(program.WaitForState(
            [&](const QJsonObject& s) { return KeyboardIs(s, connected, receiver); }, &last))
            << step << ": " << Dump(last);
    }

    void Sim(const QStringList& arguments) {
        const RunOutcome run = Rerovctl(sandbox_, QStringList{"sim"} + arguments);
        EXPECT_EQ(run.exitCode, 0)
            << arguments.join(' ').toStdString() << ": " << run.err.toStdString();
    }

    Sandbox sandbox_;
};

TEST_F(ProgramTest, StartsWithTheSimulatedKeyboardConnectedByCable) {
    auto program = Start({"--simulate"});
    QJsonObject state;
    ASSERT_TRUE(program->WaitForState(
        [](const QJsonObject& s) { return KeyboardIs(s, true, false); }, &state))
        << Dump(state);
    EXPECT_TRUE(Entry(state, kKeyboard).value("current").toBool()) << Dump(state);
    EXPECT_TRUE(state.value("simulated").toBool());
    // Shown by the scan's first pass, marked as simulated.
    const QJsonObject window = state.value("window").toObject();
    EXPECT_TRUE(window.value("visible").toBool()) << Dump(state);
    EXPECT_EQ(window.value("title").toString(), "REROV ER60 EVER (simulated)") << Dump(state);
    EXPECT_GE(state.value("windowShownUs").toInteger(-1), state.value("mainEnteredUs").toInteger());
    // Only the keyboard is plugged in: no other entry is shown.
    for (const QJsonValue& entry : state.value("entries").toArray()) {
        if (entry.toObject().value("family").toString() != kKeyboard) {
            EXPECT_FALSE(entry.toObject().value("shown").toBool()) << Dump(state);
        }
    }
    // The plain form says the same.
    const RunOutcome plain = Rerovctl(sandbox_, {"app", "state"});
    EXPECT_EQ(plain.exitCode, 0);
    EXPECT_TRUE(plain.out.contains("keyboard: shown, current, connected, cable\n"))
        << plain.out.toStdString();
    EXPECT_TRUE(plain.out.contains("No_device_Link: hidden\n")) << plain.out.toStdString();
    EXPECT_EQ(Rerovctl(sandbox_, {"app", "show"}).exitCode, 0);
}

TEST_F(ProgramTest, UnplugShowsTheHintAndPlugBringsTheKeyboardBack) {
    auto program = Start({"--simulate=keyboard"});
    Expect(*program, true, false, "at start");
    Sim({"unplug", "keyboard"});
    Expect(*program, false, false, "after unplug");
    Sim({"plug", "keyboard"});
    Expect(*program, true, false, "after plugging back");
}

TEST_F(ProgramTest, TheReceiverTakesOverWhenTheCableGoesAndGivesBackWhenItReturns) {
    auto program = Start({"--simulate"});
    Expect(*program, true, false, "at start");
    Sim({"plug", "keyboard-receiver"});
    Sim({"unplug", "keyboard"});
    Expect(*program, true, true, "cable unplugged, receiver plugged");
    Sim({"plug", "keyboard"});
    Expect(*program, true, false, "cable back");
}

TEST_F(ProgramTest, TheEntryFollowsTheKeyboardInAndOutOfTheReceiversReach) {
    auto program = Start({"--simulate=keyboard-receiver"});
    Expect(*program, true, true, "at start");
    Sim({"reach", "keyboard", "off"});
    // The receiver stays plugged in with its link open; only the entry leaves the list.
    QJsonObject last;
    EXPECT_TRUE(program->WaitForState(
        [](const QJsonObject& s) {
            return !Entry(s, kKeyboard).value("shown").toBool(true) &&
                   s.value("noDeviceHintVisible").toBool();
        },
        &last))
        << "keyboard out of the receiver's reach: " << Dump(last);
    Sim({"reach", "keyboard", "on"});
    Expect(*program, true, true, "keyboard back in reach");
}

TEST_F(ProgramTest, AnUnpluggedReceiverKeyboardStaysGone) {
    auto program = Start({"--simulate=keyboard-receiver"});
    Expect(*program, true, true, "at start");
    Sim({"unplug", "keyboard-receiver"});
    const auto gone = [](const QJsonObject& s) {
        const QJsonObject keyboard = Entry(s, kKeyboard);
        return !keyboard.value("shown").toBool(true) && !keyboard.value("current").toBool(true) &&
               !keyboard.value("connected").toBool(true) && s.value("noDeviceHintVisible").toBool();
    };
    QJsonObject last;
    ASSERT_TRUE(program->WaitForState(gone, &last)) << "after unplug: " << Dump(last);
    // The receiver watch looked every 3 s; the entry never comes back.
    EXPECT_TRUE(program->StateHoldsFor(10000, gone, &last)) << "came back: " << Dump(last);
}

TEST_F(ProgramTest, AHeadsetPluggedWhileTheKeyboardShowsLeavesTheKeyboardPageTheOnlyOneShown) {
    auto program = Start({"--simulate=keyboard"});
    QJsonObject last;
    ASSERT_TRUE(program->WaitForState(
        [](const QJsonObject& s) {
            const QJsonObject keyboard = Entry(s, kKeyboard);
            return keyboard.value("current").toBool() && keyboard.value("pageVisible").toBool();
        },
        &last))
        << Dump(last);
    Sim({"plug", "headset"});
    ASSERT_TRUE(program->WaitForState(
        [](const QJsonObject& s) { return Entry(s, "HD").value("shown").toBool(); }, &last))
        << Dump(last);
    for (const QJsonValue& value : last.value("entries").toArray()) {
        const QJsonObject entry = value.toObject();
        const bool keyboard = entry.value("family").toString() == kKeyboard;
        EXPECT_EQ(entry.value("pageVisible").toBool(!keyboard), keyboard) << Dump(last);
        EXPECT_EQ(entry.value("current").toBool(!keyboard), keyboard) << Dump(last);
    }
}

TEST_F(ProgramTest, TheKeyboardIsCurrentAtStartBesideAMouse) {
    for (const char* devices : {"keyboard,mouse", "keyboard,mouse-receiver"}) {
        SCOPED_TRACE(devices);
        Sandbox sandbox;
        ASSERT_TRUE(sandbox.IsValid());
        RunningProgram program(sandbox, {QStringLiteral("--simulate=") + devices});
        ASSERT_TRUE(program.WaitUntilAnswering()) << program.StandardError().toStdString();
        QJsonObject last;
        EXPECT_TRUE(program.WaitForState(
            [](const QJsonObject& s) {
                const QJsonObject keyboard = Entry(s, kKeyboard);
                return keyboard.value("shown").toBool() && keyboard.value("current").toBool() &&
                       keyboard.value("pageVisible").toBool() &&
                       !Entry(s, "mouse").value("current").toBool(true) &&
                       s.value("window").toObject().value("visible").toBool();
            },
            &last))
            << Dump(last);
        // And stays so: the mouse's link check or its receiver does not take it.
        EXPECT_TRUE(program.StateHoldsFor(
            1500,
            [](const QJsonObject& s) { return Entry(s, kKeyboard).value("current").toBool(); },
            &last))
            << Dump(last);
    }
}

TEST_F(ProgramTest, ASecondStartEndsWithStatusZeroAndTheFirstStays) {
    auto first = Start({"--simulate"});
    Expect(*first, true, false, "first instance");
    const RunOutcome second = RunToEnd(REROV_EVER_PATH, {"--simulate"}, sandbox_.Environment());
    EXPECT_TRUE(second.finished);
    EXPECT_EQ(second.exitCode, 0) << second.err.toStdString();
    EXPECT_TRUE(first->IsRunning());
    Expect(*first, true, false, "first instance after the second start");
}

TEST_F(ProgramTest, ASecondStartRestoresAMinimisedWindow) {
    auto first = Start({"--simulate"});
    Expect(*first, true, false, "first instance");
    const RunOutcome minimise = Rerovctl(sandbox_, {"app", "ui", "click", "minbtn"});
    ASSERT_EQ(minimise.exitCode, 0) << minimise.err.toStdString();
    QJsonObject last;
    ASSERT_TRUE(first->WaitForState(
        [](const QJsonObject& s) {
            return s.value("window").toObject().value("minimized").toBool();
        },
        &last))
        << "minbtn: " << Dump(last);

    const RunOutcome second = RunToEnd(REROV_EVER_PATH, {"--simulate"}, sandbox_.Environment());
    EXPECT_EQ(second.exitCode, 0) << second.err.toStdString();
    EXPECT_TRUE(first->WaitForState(
        [](const QJsonObject& s) {
            const QJsonObject window = s.value("window").toObject();
            return !window.value("minimized").toBool(true) && window.value("visible").toBool();
        },
        &last))
        << "after the second start: " << Dump(last);
}

TEST_F(ProgramTest, AppQuitEndsTheProgramWithStatusZero) {
    auto program = Start({"--simulate"});
    Expect(*program, true, false, "before quitting");
    const RunOutcome quit = Rerovctl(sandbox_, {"app", "quit"});
    EXPECT_EQ(quit.exitCode, 0) << quit.err.toStdString();
    // rerovctl returns once the program has closed the channel; the process follows.
    ASSERT_TRUE(program->WaitForEnd(kRunMs));
    EXPECT_EQ(program->Process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program->Process().exitCode(), 0);
    const QString err = program->StandardError();
    // A thread left running at the end shows up as one of these (or as a crash above).
    EXPECT_FALSE(err.contains("QThread: Destroyed while thread")) << err.toStdString();
    EXPECT_FALSE(err.contains("terminate called")) << err.toStdString();
    EXPECT_FALSE(err.contains("did not stop")) << err.toStdString();
    EXPECT_FALSE(err.contains("outlives the window")) << err.toStdString();
    const RunOutcome after = Rerovctl(sandbox_, {"app", "state"});
    EXPECT_EQ(after.exitCode, 1);
    EXPECT_TRUE(after.err.contains("not running")) << after.err.toStdString();
}

TEST_F(ProgramTest, RerovctlSaysSoWhenNoProgramRuns) {
    for (const QStringList& arguments : {QStringList{"app", "state"}, QStringList{"app", "quit"},
                                         QStringList{"sim", "plug", "mouse"}}) {
        const RunOutcome run = Rerovctl(sandbox_, arguments);
        EXPECT_EQ(run.exitCode, 1) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("rerov-ever is not running")) << run.err.toStdString();
    }
}

TEST_F(ProgramTest, SimCommandsAreRefusedWithoutSimulate) {
    auto program = Start({});
    for (const QStringList& arguments :
         {QStringList{"sim", "plug", "keyboard"}, QStringList{"sim", "unplug", "mouse"},
          QStringList{"sim", "reach", "keyboard", "off"},
          QStringList{"sim", "memory", "keyboard", "info"},
          QStringList{"sim", "trace", "start", sandbox_.RuntimeDir() + "/refused.trace"},
          QStringList{"sim", "trace", "stop"}}) {
        const RunOutcome run = Rerovctl(sandbox_, arguments);
        EXPECT_EQ(run.exitCode, 1) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("not started with --simulate")) << run.err.toStdString();
    }
    QJsonObject state;
    ASSERT_TRUE(program->WaitForState(
        [](const QJsonObject& s) { return s.value("window").toObject().value("visible").toBool(); },
        &state))
        << Dump(state);
    EXPECT_FALSE(state.value("simulated").toBool(true));
    EXPECT_EQ(state.value("window").toObject().value("title").toString(), "REROV ER60 EVER");
}

TEST_F(ProgramTest, BadUsageOfRerovctlIsAUsageError) {
    const QStringList cases[] = {
        {"app"},
        {"app", "dance"},
        {"app", "state", "--xml"},
        {"sim", "plug"},
        {"sim", "plug", "toaster"},
        {"sim", "reach", "mouse", "off"},
        {"sim", "reach", "keyboard", "maybe"},
        {"sim", "memory"},
        {"sim", "memory", "keyboard", "info", "params"},
        {"sim", "memory", "keyboard", "info", "--xml"},
        {"sim", "trace"},
        {"sim", "trace", "start"},
        {"sim", "trace", "stop", "now"},
        {"sim", "trace", "pause"},
        {"sim", "key", "keyboard", "256", "down"},
        {"sim", "key", "keyboard", "1", "sideways"},
        {"sim", "key", "mouse", "1", "down"},
        {"sim", "key", "keyboard", "1"},
        {"sim", "onboard", "keyboard", "3"},
        {"sim", "onboard", "keyboard", "1", "--field", "16"},
        {"sim", "onboard", "keyboard", "1", "--feld", "1"},
        {"sim", "changed", "mouse"},
        {"sim", "changed", "keyboard", "now"},
        {"sim", "set", "keyboard", "param", "126", "1"},
        {"sim", "set", "keyboard", "param", "1", "256"},
        {"sim", "set", "keyboard", "colour", "1", "1"},
        {"sim", "set", "keyboard", "param", "x", "1"},
    };
    for (const QStringList& arguments : cases) {
        const RunOutcome run = Rerovctl(sandbox_, arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
    }
}

// --- Inspecting the simulated devices ---

TEST_F(ProgramTest, SimMemoryShowsTheKeyboardAsItsFirmwareHoldsIt) {
    auto program = Start({"--simulate=keyboard"});
    Expect(*program, true, false, "at start");
    const RunOutcome plain = Rerovctl(sandbox_, {"sim", "memory", "keyboard", "info"});
    ASSERT_EQ(plain.exitCode, 0) << plain.err.toStdString();
    // 138 key positions (0x8a) in byte 5 of the information block.
    EXPECT_TRUE(plain.out.contains("  keyPositions: 138\n")) << plain.out.toStdString();
    EXPECT_TRUE(plain.out.contains("information block, 34 bytes at 0x0000:\n"))
        << plain.out.toStdString();
    EXPECT_TRUE(plain.out.contains("  0000  01 05 01 00 03 8a 10 08  00 00"))
        << plain.out.toStdString();
    EXPECT_TRUE(plain.out.contains("  0020  00 00\n")) << plain.out.toStdString();

    const RunOutcome json = Rerovctl(sandbox_, {"sim", "memory", "keyboard", "params", "--json"});
    ASSERT_EQ(json.exitCode, 0) << json.err.toStdString();
    const QJsonObject params = QJsonDocument::fromJson(json.out.toUtf8()).object();
    EXPECT_EQ(params.value("area").toString(), "params");
    EXPECT_FALSE(params.contains("ok"));
    const QJsonArray blocks = params.value("sections").toArray();
    ASSERT_EQ(blocks.size(), 3) << json.out.toStdString();
    for (int profile = 0; profile < blocks.size(); ++profile) {
        const QJsonObject block = blocks[profile].toObject();
        EXPECT_EQ(block.value("title").toString(), QStringLiteral("profile %1").arg(profile));
        EXPECT_EQ(block.value("address").toInteger(), 42 * profile);
        EXPECT_EQ(block.value("hex").toString().size(), 84);
    }
    EXPECT_EQ(params.value("values").toObject().value("currentProfile").toInteger(-1),
              QByteArray::fromHex(blocks[0].toObject().value("hex").toString().toLatin1()).at(0));

    // Without an area, or with --help: the areas, from rerovctl alone.
    for (const QStringList& arguments : {QStringList{"sim", "memory", "keyboard"},
                                         QStringList{"sim", "memory", "keyboard", "--help"}}) {
        const RunOutcome list = Rerovctl(sandbox_, arguments);
        EXPECT_EQ(list.exitCode, 0) << list.err.toStdString();
        for (const char* area : {"info", "keytable", "ledtable", "params", "colors", "macros",
                                 "frame", "power", "host-lighting"}) {
            EXPECT_TRUE(list.out.contains(QStringLiteral("  %1 ").arg(area)))
                << area << " missing in: " << list.out.toStdString();
        }
    }
    const RunOutcome receiver = Rerovctl(sandbox_, {"sim", "memory", "keyboard-receiver"});
    EXPECT_TRUE(receiver.out.contains("  link ")) << receiver.out.toStdString();
}

// The keyboard's own keys, profile key and settings, acted on through the running program.
TEST_F(ProgramTest, SimKeyboardActionsReachTheKeyboardBehindTheProgram) {
    auto program = Start({"--simulate=keyboard"});
    Expect(*program, true, false, "at start");
    auto params = [&] {
        const RunOutcome run =
            Rerovctl(sandbox_, {"sim", "memory", "keyboard", "params", "--json"});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        QByteArray area;
        for (const QJsonValue section :
             QJsonDocument::fromJson(run.out.toUtf8()).object().value("sections").toArray()) {
            area += QByteArray::fromHex(section.toObject().value("hex").toString().toLatin1());
        }
        return area;
    };
    Sim({"key", "keyboard", "0x23", "down"});
    Sim({"key", "keyboard", "0x23", "up"});
    Sim({"onboard", "keyboard", "2"});
    EXPECT_EQ(params().at(0), 2) << "the profile key selects onboard profile 2";
    Sim({"onboard", "keyboard", "1", "--field", "3"});
    QByteArray area = params();
    EXPECT_EQ(area.at(0), 1);
    EXPECT_EQ(area.at(42 + 17), 3) << "the device field lands in byte 17 of profile 1";
    Sim({"set", "keyboard", "param", "44", "7"});
    EXPECT_EQ(params().at(44), 7);

    // Byte 0 names the profile in use: the keyboard has no fourth one. Checked before the
    // change report below, whose re-read downloads the profile again and may rewrite byte 0.
    const RunOutcome refused = Rerovctl(sandbox_, {"sim", "set", "keyboard", "param", "0", "3"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains("current profile")) << refused.err.toStdString();
    EXPECT_EQ(params().at(0), 1);
    Sim({"changed", "keyboard"});

    // Nothing carries the events of an unplugged keyboard; the program says so and goes on.
    Sim({"unplug", "keyboard"});
    for (const QStringList& arguments : {QStringList{"sim", "key", "keyboard", "1", "down"},
                                         QStringList{"sim", "onboard", "keyboard", "0"},
                                         QStringList{"sim", "changed", "keyboard"}}) {
        const RunOutcome run = Rerovctl(sandbox_, arguments);
        EXPECT_EQ(run.exitCode, 1) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("not plugged in")) << run.err.toStdString();
    }
    EXPECT_TRUE(program->IsRunning());
}

// A setting changed on the keyboard itself, then reported: the program reads the block again
// and takes the device's lighting into the selected profile.
TEST_F(ProgramTest, AChangeMadeOnTheKeyboardReachesTheSelectedProfile) {
    auto program = Start({"--simulate=keyboard"});
    Expect(*program, true, false, "at start");
    const QDir folder(sandbox_.Environment().value("XDG_DATA_HOME") + "/REROV ER60 EVER/keyboard");
    auto brightness = [&] {
        QFile listFile(folder.filePath("ProfileList.ini"));
        if (!listFile.open(QIODevice::ReadOnly)) return -1;
        const QJsonObject list = QJsonDocument::fromJson(listFile.readAll()).object();
        const QString uuid = list.value("profilelist")
                                 .toArray()
                                 .at(list.value("profileselect").toInt())
                                 .toObject()
                                 .value("profileUUID")
                                 .toString();
        QFile profile(folder.filePath(uuid + ".Json"));
        if (uuid.isEmpty() || !profile.open(QIODevice::ReadOnly)) return -1;
        return QJsonDocument::fromJson(profile.readAll())
            .object()
            .value("Device")
            .toArray()
            .at(0)
            .toObject()
            .value("LightInfo")
            .toObject()
            .value("Light")
            .toInt(-1);
    };
    QDeadlineTimer settled(kStateMs);
    while (brightness() != 4 && !settled.hasExpired()) QThread::msleep(100);
    ASSERT_EQ(brightness(), 4) << "the factory brightness after the arrival";

    Sim({"set", "keyboard", "param", "2", "1"});  // profile 0's brightness, on the device
    Sim({"changed", "keyboard"});
    QDeadlineTimer deadline(kStateMs);
    while (brightness() != 1 && !deadline.hasExpired()) QThread::msleep(100);
    EXPECT_EQ(brightness(), 1);
}

TEST_F(ProgramTest, BadMemoryAndTraceRequestsSayWhatIsValidAndTheProgramGoesOn) {
    auto program = Start({"--simulate=keyboard"});
    Expect(*program, true, false, "at start");
    struct Case {
        QStringList arguments;
        std::vector<const char*> errorParts;
    };
    const Case cases[] = {
        {{"sim", "memory", "toaster", "info"}, {"toaster", "keyboard-receiver", "headset"}},
        {{"sim", "memory", "toaster"}, {"toaster", "keyboard-receiver", "headset"}},
        {{"sim", "memory", "keyboard", "attic"}, {"attic", "info", "params", "host-lighting"}},
        {{"sim", "memory", "mouse", "info"}, {"no memory", "keyboard"}},
        {{"sim", "trace", "start", sandbox_.RuntimeDir() + "/no/such/folder/x.trace"},
         {"cannot write the trace file", "/no/such/folder/x.trace"}},
        {{"sim", "trace", "start", sandbox_.RuntimeDir()}, {"cannot write the trace file"}},
        {{"sim", "trace", "stop"}, {"no trace is running"}},
    };
    for (const Case& c : cases) {
        const std::string name = c.arguments.join(' ').toStdString();
        const RunOutcome run = Rerovctl(sandbox_, c.arguments);
        EXPECT_EQ(run.exitCode, 1) << name;
        for (const char* part : c.errorParts) {
            EXPECT_TRUE(run.err.contains(QLatin1String(part)))
                << name << ": " << run.err.toStdString();
        }
    }
    EXPECT_TRUE(program->IsRunning());
    Expect(*program, true, false, "after the bad requests");
}

// Every line of a trace file: "> " or "< " and 64 hex bytes.
QStringList TraceLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

bool WellFormed(const QStringList& lines) {
    static const QRegularExpression kLine(QStringLiteral("^[<>] ([0-9a-f]{2} ){63}[0-9a-f]{2}$"));
    return std::all_of(lines.begin(), lines.end(),
                       [](const QString& line) { return kLine.match(line).hasMatch(); });
}

// The command byte of a trace line's report (byte 3).
QString CommandOf(const QString& line) { return line.mid(2 + 3 * 3, 2); }

// True when the trace holds a line that starts with `direction` ("> " or "< ") and carries
// `command`.
bool HasReport(const QStringList& lines, const char* direction, const char* command) {
    return std::any_of(lines.begin(), lines.end(), [&](const QString& line) {
        return line.startsWith(QLatin1String(direction)) &&
               CommandOf(line) == QLatin1String(command);
    });
}

// Polls the trace file until `accept` holds for its lines (the entry shows as connected
// before the program has finished talking to the device); returns the last lines read.
QStringList WaitForTrace(const QString& path,
                         const std::function<bool(const QStringList&)>& accept) {
    QDeadlineTimer deadline(kStateMs);
    QStringList lines = TraceLines(path);
    while (!accept(lines) && !deadline.hasExpired()) {
        QThread::msleep(50);
        lines = TraceLines(path);
    }
    return lines;
}

TEST_F(ProgramTest, ATraceStartedWhileTheProgramRunsHoldsTheReportsOfARePlug) {
    // With the keyboard's cable out the receiver takes over: the program asks the receiver
    // for its link and opens a session; with the cable back the cable takes over again.
    auto program = Start({"--simulate=keyboard,keyboard-receiver"});
    Expect(*program, true, false, "at start");
    auto receiverTookOver = [](const QStringList& l) {
        return HasReport(l, "< ", "aa") && HasReport(l, "< ", "01");
    };
    const QString first = sandbox_.RuntimeDir() + "/first.trace";
    const RunOutcome start = Rerovctl(sandbox_, {"sim", "trace", "start", first});
    ASSERT_EQ(start.exitCode, 0) << start.err.toStdString();
    EXPECT_TRUE(start.out.contains(first)) << start.out.toStdString();
    Sim({"unplug", "keyboard"});
    Expect(*program, true, true, "cable unplugged while tracing");

    // Read while the program runs and the trace goes on: each report is there once it has
    // passed.
    const QStringList lines = WaitForTrace(first, receiverTookOver);
    EXPECT_TRUE(WellFormed(lines)) << lines.join('\n').toStdString();
    const auto query = std::find_if(lines.begin(), lines.end(), [](const QString& line) {
        return line.startsWith("> 04 ") && CommandOf(line) == "aa";
    });
    ASSERT_NE(query, lines.end()) << lines.join('\n').toStdString();
    // Its answer follows at once: byte 8 is 0xff while the keyboard is in reach.
    ASSERT_NE(query + 1, lines.end());
    EXPECT_TRUE((query + 1)->startsWith("< 04 ")) << (query + 1)->toStdString();
    EXPECT_EQ(CommandOf(*(query + 1)), "aa");
    EXPECT_EQ((query + 1)->mid(2 + 3 * 8, 2), "ff") << (query + 1)->toStdString();
    EXPECT_TRUE(HasReport(lines, "> ", "01")) << lines.join('\n').toStdString();
    Sim({"plug", "keyboard"});
    Expect(*program, true, false, "cable back while tracing");

    // A second start replaces the first trace, which ends where it was.
    const QString second = sandbox_.RuntimeDir() + "/second.trace";
    ASSERT_EQ(Rerovctl(sandbox_, {"sim", "trace", "start", second}).exitCode, 0);
    const qsizetype firstEnded = TraceLines(first).size();
    Sim({"unplug", "keyboard"});
    Expect(*program, true, true, "cable unplugged again");
    EXPECT_TRUE(receiverTookOver(WaitForTrace(second, receiverTookOver)));
    EXPECT_EQ(TraceLines(first).size(), firstEnded);
    const RunOutcome stop = Rerovctl(sandbox_, {"sim", "trace", "stop"});
    ASSERT_EQ(stop.exitCode, 0) << stop.err.toStdString();
    const QStringList secondLines = TraceLines(second);
    EXPECT_TRUE(WellFormed(secondLines));
    EXPECT_TRUE(stop.out.contains(
        QStringLiteral("trace stopped: %1 reports in %2").arg(secondLines.size()).arg(second)))
        << stop.out.toStdString() << " with " << secondLines.size() << " lines in the file";

    // Stopped means stopped, though the program goes on talking to the keyboard.
    Sim({"plug", "keyboard"});
    Expect(*program, true, false, "cable back after the stop");
    Sim({"unplug", "keyboard"});
    Expect(*program, true, true, "cable unplugged after the stop");
    const QString probe = sandbox_.RuntimeDir() + "/probe.trace";
    ASSERT_EQ(Rerovctl(sandbox_, {"sim", "trace", "start", probe}).exitCode, 0);
    // The receiver's watch asks again within seconds: the program still talks.
    EXPECT_TRUE(HasReport(
        WaitForTrace(probe, [](const QStringList& l) { return HasReport(l, "< ", "aa"); }), "< ",
        "aa"));
    EXPECT_EQ(TraceLines(second).size(), secondLines.size());

    // Starting again on the running trace's own file begins it afresh, with whole lines only.
    ASSERT_EQ(Rerovctl(sandbox_, {"sim", "trace", "start", probe}).exitCode, 0);
    const QStringList again =
        WaitForTrace(probe, [](const QStringList& l) { return HasReport(l, "< ", "aa"); });
    EXPECT_TRUE(HasReport(again, "< ", "aa"));
    EXPECT_TRUE(WellFormed(again)) << again.join('\n').toStdString();

    // A trace still running when the program ends is closed with it, cleanly.
    ASSERT_EQ(Rerovctl(sandbox_, {"app", "quit"}).exitCode, 0);
    ASSERT_TRUE(program->WaitForEnd(kRunMs));
    EXPECT_EQ(program->Process().exitCode(), 0) << program->StandardError().toStdString();
    EXPECT_TRUE(WellFormed(TraceLines(probe)));
}

TEST_F(ProgramTest, MalformedMessagesAreRefusedWithoutEffect) {
    auto program = Start({"--simulate"});
    Expect(*program, true, false, "before the bad messages");
    const QByteArray unplug =
        ipc::EncodeMessage(QJsonObject{{"type", "sim.unplug"}, {"device", "keyboard"}});
    QByteArray tooLarge(4, '\0');
    tooLarge[0] = 0x7f;  // about 2 GB announced
    const QByteArray frames[] = {
        tooLarge + unplug,
        QByteArray("\0\0\0\x05hello", 9) + unplug,
        QByteArray("\0\0\0\x02{}", 6) + unplug,
        QByteArray("\0\0\0\0", 4) + unplug,
    };
    for (const QByteArray& bytes : frames) {
        ipc::IpcClient client;
        QString error;
        ASSERT_TRUE(client.Connect(ipc::ServerName(), kStartMs, &error)) << error.toStdString();
        ASSERT_TRUE(client.SendRaw(bytes, kRunMs));
        QJsonObject reply;
        ASSERT_TRUE(client.ReadReply(kRunMs, &reply, &error)) << error.toStdString();
        EXPECT_FALSE(reply.value("ok").toBool(true));
        EXPECT_TRUE(client.WaitForClosed(kRunMs));
    }
    // An unknown request on a good frame is refused too.
    {
        ipc::IpcClient client;
        QString error;
        ASSERT_TRUE(client.Connect(ipc::ServerName(), kStartMs, &error));
        QJsonObject reply;
        ASSERT_TRUE(client.Request({{"type", "app.selfdestruct"}}, kRunMs, &reply, &error));
        EXPECT_FALSE(reply.value("ok").toBool(true));
    }
    // None of the unplugs after a bad frame was carried out.
    QJsonObject state;
    ASSERT_TRUE(program->WaitForState([](const QJsonObject&) { return true; }, &state));
    EXPECT_TRUE(KeyboardIs(state, true, false)) << Dump(state);
    EXPECT_TRUE(program->IsRunning());
}

TEST_F(ProgramTest, AnInstanceThatWasKilledLeavesNothingThatBlocksTheNext) {
    {
        auto killed = Start({"--simulate"});
        ASSERT_TRUE(killed->IsRunning());
        ::kill(static_cast<pid_t>(killed->Process().processId()), SIGKILL);
        ASSERT_TRUE(killed->WaitForEnd(kRunMs));
    }
    auto next = Start({"--simulate"});
    Expect(*next, true, false, "the start after a killed instance");
}

TEST_F(ProgramTest, AnUnknownSimulatedDeviceIsAUsageError) {
    const RunOutcome run =
        RunToEnd(REROV_EVER_PATH, {"--simulate=keyboard,toaster"}, sandbox_.Environment());
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("toaster")) << run.err.toStdString();
}

// --- A missing or broken skin ---

bool CopyTree(const QString& from, const QString& to) {
    if (!QDir().mkpath(to)) return false;
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + source.mid(from.size());
        if (it.fileInfo().isDir() ? !QDir().mkpath(target) : !QFile::copy(source, target)) {
            return false;
        }
    }
    return true;
}

bool Overwrite(const QString& path, const QByteArray& content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(content) == content.size();
}

TEST_F(ProgramTest, AMissingOrBrokenSkinEndsStartUpWithStatusOneAndSaysWhy) {
    // A copy of the program in a folder of its own: the skin is looked for beside it.
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString program = folder.filePath("rerov-ever");
    ASSERT_TRUE(QFile::copy(REROV_EVER_PATH, program));
    const QString installedSkin = QFileInfo(REROV_EVER_PATH).absolutePath() + "/skin";
    const QString skin = folder.filePath("skin");

    struct Case {
        const char* name;
        std::function<bool()> breakSkin;  // from a fresh copy of the skin
        const char* messagePart;
    };
    const Case cases[] = {
        {"no skin folder", [&] { return QDir(skin).removeRecursively(); }, "skin folder"},
        {"no resource index", [&] { return QFile::remove(skin + "/res.xml"); }, "res.xml"},
        {"broken resource index",
         [&] { return Overwrite(skin + "/res.xml", "<Resource><Layout name=\"XML_MAIN\""); },
         "res.xml"},
        {"no main layout in the index",
         [&] { return Overwrite(skin + "/res.xml", "<Resource></Resource>"); }, "XML_MAIN"},
        {"main layout missing", [&] { return QFile::remove(skin + "/main.ui"); }, "main.ui"},
        {"main layout broken",
         [&] { return Overwrite(skin + "/main.ui", "<ui version=\"4.0\"><widget class="); },
         "main.ui"},
        {"no style sheet", [&] { return QFile::remove(skin + "/style.qss"); }, "style.qss"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(QDir(skin).removeRecursively());
        ASSERT_TRUE(CopyTree(installedSkin, skin)) << c.name;
        ASSERT_TRUE(c.breakSkin()) << c.name;
        const RunOutcome run = RunToEnd(program, {"--simulate"}, sandbox_.Environment());
        EXPECT_TRUE(run.finished) << c.name << ": crashed or hung";
        EXPECT_EQ(run.exitCode, 1) << c.name;
        EXPECT_TRUE(run.err.contains("rerov-ever: ")) << c.name << ": " << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(c.messagePart)) << c.name << ": " << run.err.toStdString();
    }
    // The same copy with its skin whole starts (so the cases above failed for their fault),
    // even with a font beside it that is not a font.
    ASSERT_TRUE(QDir(skin).removeRecursively());
    ASSERT_TRUE(CopyTree(installedSkin, skin));
    ASSERT_TRUE(QDir().mkpath(folder.filePath("Font")));
    ASSERT_TRUE(Overwrite(folder.filePath("Font/Gravon-Regular.otf"), "not a font"));
    RunningProgram whole(sandbox_, {"--simulate"}, program);
    EXPECT_TRUE(whole.WaitUntilAnswering()) << whole.StandardError().toStdString();
}

TEST_F(ProgramTest, AnUnreadableLanguageFileLeavesTheKeysShowingAndTheProgramRunning) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString program = folder.filePath("rerov-ever");
    ASSERT_TRUE(QFile::copy(REROV_EVER_PATH, program));
    const QString skin = folder.filePath("skin");
    ASSERT_TRUE(CopyTree(QFileInfo(REROV_EVER_PATH).absolutePath() + "/skin", skin));
    const QByteArray cases[] = {QByteArray(), "<Language name=\"English\"><Text id="};
    for (const QByteArray& content : cases) {
        SCOPED_TRACE(content.isEmpty() ? "missing" : "broken");
        QFile::remove(skin + "/lan_en.xml");
        if (!content.isEmpty()) {
            ASSERT_TRUE(Overwrite(skin + "/lan_en.xml", content));
        }
        Sandbox sandbox;
        ASSERT_TRUE(sandbox.IsValid());
        RunningProgram running(sandbox, {"--simulate=keyboard"}, program);
        ASSERT_TRUE(running.WaitUntilAnswering()) << running.StandardError().toStdString();
        QJsonObject last;
        EXPECT_TRUE(running.WaitForState(
            [](const QJsonObject& s) { return KeyboardIs(s, true, false); }, &last))
            << Dump(last);
        EXPECT_TRUE(running.IsRunning());
        EXPECT_TRUE(running.StandardError().contains("lan_en.xml"))
            << running.StandardError().toStdString();
        EXPECT_EQ(Rerovctl(sandbox, {"app", "quit"}).exitCode, 0);
        EXPECT_TRUE(running.WaitForEnd(kRunMs));
    }
}

}  // namespace
}  // namespace rerov::e2e
