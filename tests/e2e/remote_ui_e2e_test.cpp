// The real rerov-ever's window driven and inspected with rerovctl app ui / app screenshot:
// the named controls of skin/main.ui, clicks that change the device list as a person's
// would, screenshots of the window's size, and bad input refused while the program goes on.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include "tests/e2e/e2e_support.h"

namespace rerov::e2e {
namespace {

std::string Text(const RunOutcome& run) { return (run.out + run.err).toStdString(); }

class RemoteUiTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(sandbox_.IsValid()); }

    std::unique_ptr<RunningProgram> Start(const QStringList& arguments) {
        return StartAnswering(sandbox_, arguments);
    }

    RunOutcome Ctl(const QStringList& arguments) { return Rerovctl(sandbox_, arguments); }

    // The rows of "app ui list --json".
    QJsonArray Controls() {
        const RunOutcome run = Ctl({"app", "ui", "list", "--json"});
        EXPECT_EQ(run.exitCode, 0) << Text(run);
        return QJsonDocument::fromJson(run.out.toUtf8()).array();
    }

    static QJsonObject Row(const QJsonArray& rows, const QString& name) {
        for (const QJsonValue& row : rows) {
            if (row.toObject().value("name").toString() == name) return row.toObject();
        }
        return {};
    }

    // The family of the current entry of "app state --json", empty when none.
    QString CurrentFamily() {
        const RunOutcome run = Ctl({"app", "state", "--json"});
        const QJsonObject state = QJsonDocument::fromJson(run.out.toUtf8()).object();
        for (const QJsonValue& entry : state.value("entries").toArray()) {
            if (entry.toObject().value("current").toBool()) {
                return entry.toObject().value("family").toString();
            }
        }
        return {};
    }

    // The program still answers and shows its window.
    void ExpectAnswering(const char* after) {
        const RunOutcome run = Ctl({"app", "state"});
        EXPECT_EQ(run.exitCode, 0) << after << ": " << Text(run);
    }

    Sandbox sandbox_;
};

TEST_F(RemoteUiTest, TheListHoldsTheNamedControlsOfTheMainLayout) {
    auto program = Start({"--simulate"});
    QJsonObject last;
    ASSERT_TRUE(program->WaitForState(
        [](const QJsonObject& s) { return s.value("window").toObject().value("visible").toBool(); },
        &last));
    const QJsonArray rows = Controls();
    for (const char* name : {"device_select_prev", "device_select_next", "No_device_Link"}) {
        EXPECT_FALSE(Row(rows, QLatin1String(name)).isEmpty()) << name;
    }
    const QJsonObject next = Row(rows, "device_select_next");
    EXPECT_EQ(next.value("class").toString(), "Button");
    EXPECT_EQ(next.value("window").toString(), "MainWnd");
    EXPECT_FALSE(next.value("enabled").toBool(true)) << "one device: nothing to step to";
    EXPECT_FALSE(Row(rows, "No_device_Link").value("visible").toBool(true))
        << "the keyboard is connected";
    for (const QJsonValue& row : rows) {
        EXPECT_FALSE(row.toObject().value("name").toString().startsWith("qt_"));
    }

    const RunOutcome table = Ctl({"app", "ui", "list"});
    EXPECT_EQ(table.exitCode, 0) << Text(table);
    EXPECT_TRUE(table.out.startsWith("WINDOW ")) << Text(table);
    EXPECT_TRUE(
        table.out.contains(QRegularExpression("\\nMainWnd +device_select_next +Button +yes +no ")))
        << Text(table);
}

TEST_F(RemoteUiTest, ClickingTheArrowsStepsThroughTheDevices) {
    auto program = Start({"--simulate=keyboard,mouse"});
    QJsonObject state;
    ASSERT_TRUE(program->WaitForState(
        [](const QJsonObject& s) {
            return Entry(s, "keyboard").value("connected").toBool() &&
                   Entry(s, "mouse").value("connected").toBool() &&
                   (Entry(s, "keyboard").value("current").toBool() ||
                    Entry(s, "mouse").value("current").toBool());
        },
        &state))
        << QJsonDocument(state).toJson().toStdString();
    const QString first = CurrentFamily();
    ASSERT_FALSE(first.isEmpty());

    // The list runs mouse, keyboard and does not wrap: step away from the first current
    // entry and back.
    const bool atEnd = first == "keyboard";
    const QString away = atEnd ? "device_select_prev" : "device_select_next";
    const QString back = atEnd ? "device_select_next" : "device_select_prev";
    RunOutcome run = Ctl({"app", "ui", "click", away});
    ASSERT_EQ(run.exitCode, 0) << Text(run);
    // The reply comes once the window has handled the click: no waiting needed.
    const QString second = CurrentFamily();
    EXPECT_EQ(second, atEnd ? "mouse" : "keyboard");

    run = Ctl({"app", "ui", "click", back});
    ASSERT_EQ(run.exitCode, 0) << Text(run);
    EXPECT_EQ(CurrentFamily(), first);
}

TEST_F(RemoteUiTest, AScreenshotIsAPngOfTheWindowsSize) {
    auto program = Start({"--simulate"});
    QJsonObject last;
    ASSERT_TRUE(program->WaitForState(
        [](const QJsonObject& s) { return s.value("window").toObject().value("visible").toBool(); },
        &last));
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    // A relative path is the caller's, not the program's.
    QProcessEnvironment environment = sandbox_.Environment();
    QProcess ctl;
    ctl.setProcessEnvironment(environment);
    ctl.setWorkingDirectory(folder.path());
    // The window is fitted to the monitor shortly after it shows; a screenshot taken across
    // that moment may differ from the size listed after it, so compare until both agree.
    QImage image;
    QSize listed;
    for (int attempt = 0; attempt < 50 && (image.isNull() || image.size() != listed); ++attempt) {
        if (attempt > 0) QThread::msleep(100);
        ctl.start(QStringLiteral(REROVCTL_PATH), {"app", "screenshot", "window.png"});
        ASSERT_TRUE(ctl.waitForFinished(kRunMs));
        ASSERT_EQ(ctl.exitCode(), 0) << ctl.readAllStandardError().toStdString();
        image = QImage(folder.filePath("window.png"));
        ASSERT_FALSE(image.isNull());
        const QJsonObject window = Row(Controls(), "MainWnd");
        ASSERT_FALSE(window.isEmpty());
        listed = QSize(window.value("width").toInt(), window.value("height").toInt());
    }
    EXPECT_EQ(image.size(), listed);
    EXPECT_GT(image.width(), 100);
    EXPECT_TRUE(
        QString::fromUtf8(ctl.readAllStandardOutput())
            .contains(QStringLiteral("%1x%2 of MainWnd").arg(image.width()).arg(image.height())));

    // A file that cannot be written: a message, exit 1, nothing left behind.
    const QString missing = folder.filePath("no/such/folder/window.png");
    RunOutcome run = Ctl({"app", "screenshot", missing});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("cannot write")) << Text(run);
    EXPECT_FALSE(QFile::exists(missing));
    run = Ctl({"app", "screenshot", folder.path()});
    EXPECT_EQ(run.exitCode, 1) << "a folder is not a file";
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"window.png"});
    ExpectAnswering("failed screenshots");
}

TEST_F(RemoteUiTest, BadInputIsRefusedAndTheProgramGoesOn) {
    auto program = Start({"--simulate"});
    QJsonObject last;
    ASSERT_TRUE(program->WaitForState(
        [](const QJsonObject& s) { return Entry(s, "keyboard").value("shown").toBool(); }, &last));
    struct Case {
        QStringList arguments;
        const char* says;
    };
    const Case cases[] = {
        {{"app", "ui", "click", "no_such_control"}, "no control named \"no_such_control\""},
        {{"app", "ui", "click", "device_select_next"}, "\"device_select_next\" is disabled"},
        {{"app", "ui", "click", "No_device_Link"}, "\"No_device_Link\" is hidden"},
        {{"app", "ui", "select", "device_select_next", "0"}, "is disabled"},
        {{"app", "ui", "select", "title", "4"}, "has no items to select"},
        {{"app", "ui", "value", "title", "4"}, "is not a slider"},
        {{"app", "ui", "text", "title", "x"}, "is not a one-line edit"},
        {{"app", "ui", "text", "title", QString(70 * 1024, u'x')},
         "larger than the channel's limit"},
    };
    for (const Case& c : cases) {
        const RunOutcome run = Ctl(c.arguments);
        EXPECT_EQ(run.exitCode, 1) << c.arguments.mid(0, 4).join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.says))) << c.says << ": " << Text(run);
    }
    const QStringList usage[] = {
        {"app", "ui"},
        {"app", "ui", "click"},
        {"app", "ui", "select", "x"},
        {"app", "ui", "select", "x", "one"},
        {"app", "ui", "value", "x", "1.5"},
        {"app", "ui", "list", "--xml"},
        {"app", "ui", "wave", "x"},
        {"app", "screenshot"},
    };
    for (const QStringList& arguments : usage) {
        EXPECT_EQ(Ctl(arguments).exitCode, 2) << arguments.join(' ').toStdString();
    }
    ExpectAnswering("bad input");
}

// A language key shown as it stands ("device_family_", "no_device_title"): lower-case words
// joined by underscores, which no English text of the window is.
bool LooksLikeAKey(const QString& text) {
    static const QRegularExpression key(QStringLiteral("^[a-z0-9]+(_[a-z0-9]*)+$"));
    return key.match(text).hasMatch();
}

TEST_F(RemoteUiTest, TheWindowShowsItsEnglishTextsFromTheStart) {
    auto program = Start({"--simulate=keyboard"});
    QJsonObject last;
    ASSERT_TRUE(program->WaitForState(
        [](const QJsonObject& s) { return Entry(s, "keyboard").value("connected").toBool(); },
        &last));
    const auto shownTexts = [&] {
        QStringList texts;
        for (const QJsonValue& value : Controls()) {
            const QJsonObject row = value.toObject();
            if (row.value("visible").toBool() && row.contains("text"))
                texts.append(row.value("text").toString());
        }
        return texts;
    };
    QStringList texts = shownTexts();
    EXPECT_TRUE(texts.contains("Keyboard")) << texts.join(" | ").toStdString();
    for (const QString& text : texts) EXPECT_FALSE(LooksLikeAKey(text)) << text.toStdString();

    const RunOutcome unplug = Ctl({"sim", "unplug", "keyboard"});
    ASSERT_EQ(unplug.exitCode, 0) << Text(unplug);
    ASSERT_TRUE(program->WaitForState(
        [](const QJsonObject& s) { return s.value("noDeviceHintVisible").toBool(); }, &last));
    texts = shownTexts();
    EXPECT_TRUE(texts.contains("No device connected")) << texts.join(" | ").toStdString();
    for (const QString& text : texts) EXPECT_FALSE(LooksLikeAKey(text)) << text.toStdString();
}

TEST_F(RemoteUiTest, MaximiseThenRestoreBringsTheWindowBackWhereItWas) {
    auto program = Start({"--simulate=keyboard"});
    QJsonObject state;
    ASSERT_TRUE(program->WaitForState(
        [](const QJsonObject& s) { return s.value("window").toObject().value("visible").toBool(); },
        &state));
    // The fitted place, once timer 1011 has run (the window is fitted before its first show).
    const QJsonObject before = state.value("window").toObject();
    ASSERT_EQ(Ctl({"app", "ui", "click", "maxbtn"}).exitCode, 0);
    ASSERT_TRUE(program->WaitForState(
        [](const QJsonObject& s) {
            return s.value("window").toObject().value("maximized").toBool();
        },
        &state));
    ASSERT_EQ(Ctl({"app", "ui", "click", "restorebtn"}).exitCode, 0);
    ASSERT_TRUE(program->WaitForState(
        [](const QJsonObject& s) {
            return !s.value("window").toObject().value("maximized").toBool(true);
        },
        &state));
    const QJsonObject after = state.value("window").toObject();
    for (const char* field : {"x", "y", "width", "height"}) {
        EXPECT_EQ(after.value(field).toInt(), before.value(field).toInt()) << field;
    }
    EXPECT_TRUE(Row(Controls(), "maxbtn").value("visible").toBool());
}

TEST_F(RemoteUiTest, CloseWithoutATrayEndsTheProgram) {
    // The offscreen platform has no system tray, as a desktop without one.
    auto program = Start({"--simulate=keyboard"});
    QJsonObject state;
    ASSERT_TRUE(program->WaitForState(
        [](const QJsonObject& s) { return s.value("window").toObject().value("visible").toBool(); },
        &state));
    const RunOutcome close = Ctl({"app", "ui", "click", "closebtn"});
    EXPECT_EQ(close.exitCode, 0) << Text(close);
    ASSERT_TRUE(program->WaitForEnd(kRunMs));
    EXPECT_EQ(program->Process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program->Process().exitCode(), 0);
}

TEST_F(RemoteUiTest, UiCommandsNeedSimulateButScreenshotsDoNot) {
    auto program = Start({});
    for (const QStringList& arguments :
         {QStringList{"app", "ui", "list"}, QStringList{"app", "ui", "click", "setbtn"}}) {
        const RunOutcome run = Ctl(arguments);
        EXPECT_EQ(run.exitCode, 1) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("not started with --simulate")) << Text(run);
    }
    QTemporaryDir folder;
    const RunOutcome shot = Ctl({"app", "screenshot", folder.filePath("plain.png")});
    EXPECT_EQ(shot.exitCode, 0) << Text(shot);
    EXPECT_FALSE(QImage(folder.filePath("plain.png")).isNull());
}

}  // namespace
}  // namespace rerov::e2e
