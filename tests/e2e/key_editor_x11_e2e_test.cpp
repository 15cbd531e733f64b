// The key editor in the running program on a real X server (xvfb-run): a key of the picture
// is opened with rerovctl, the key text is clicked and a key typed on the X server's
// keyboard with XTest; the desktop-wide capture takes it and the profile file holds
// Shift+A. A click elsewhere ends the capture and gives the keyboard back.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QThread>
#include <chrono>
#include <thread>

#include "tests/e2e/e2e_support.h"

// Xlib's macros clash with Qt's names: it comes last.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace rerov::e2e {
namespace {

constexpr unsigned kKeycodeA = 30 + 8;
constexpr int kKey = 30;  // key_30 of the picture
constexpr std::uint32_t kShiftA = 0x200204;

QJsonObject Json(const RunOutcome& run) {
    return QJsonDocument::fromJson(run.out.toUtf8()).object();
}

class KeyEditorX11Test : public ::testing::Test {
  protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "no X display (run under xvfb-run)";
        display_ = XOpenDisplay(nullptr);
        ASSERT_NE(display_, nullptr);
        ASSERT_TRUE(sandbox_.IsValid());
        sandbox_.SetPlatform(QStringLiteral("xcb"));
        // The capture's trace is in the program's stderr when a test fails.
        sandbox_.SetVariable(QStringLiteral("QT_LOGGING_RULES"),
                             QStringLiteral("rerov.devices.page.debug=true"));
    }
    void TearDown() override {
        program_.reset();
        if (display_ != nullptr) XCloseDisplay(display_);
    }
    RunOutcome Ctl(const QStringList& args) {
        RunOutcome run = Rerovctl(sandbox_, args);
        EXPECT_TRUE(run.finished && run.exitCode == 0)
            << args.join(' ').toStdString() << ": " << run.err.toStdString();
        return run;
    }
    // The screen centre of a named control: the window's place plus the control's.
    bool CentreOf(const QString& name, int* x, int* y) {
        const QJsonObject window = Json(Ctl({"app", "state", "--json"}))["window"].toObject();
        const QJsonDocument list =
            QJsonDocument::fromJson(Ctl({"app", "ui", "list", "--json"}).out.toUtf8());
        const QJsonArray controls =
            list.isArray() ? list.array() : list.object()["controls"].toArray();
        for (const QJsonValue& value : controls) {
            const QJsonObject control = value.toObject();
            if (control["name"].toString() != name) continue;
            *x = window["x"].toInt() + control["x"].toInt() + control["width"].toInt() / 2;
            *y = window["y"].toInt() + control["y"].toInt() + control["height"].toInt() / 2;
            return true;
        }
        return false;
    }
    void ClickAt(int x, int y) {
        XTestFakeMotionEvent(display_, -1, x, y, 0);
        XTestFakeButtonEvent(display_, 1, True, 0);
        XTestFakeButtonEvent(display_, 1, False, 0);
        XSync(display_, False);
    }
    void Tap(unsigned keycode) {
        XTestFakeKeyEvent(display_, keycode, True, 0);
        XTestFakeKeyEvent(display_, keycode, False, 0);
        XSync(display_, False);
    }
    // The current assignment of key `key` in the keyboard's profile file (0 when none).
    std::uint32_t StoredAssignment(int key) {
        QDir folder(
            QString::fromLocal8Bit(
                sandbox_.Environment().value(QStringLiteral("XDG_DATA_HOME")).toLocal8Bit()) +
            QStringLiteral("/REROV ER60 EVER/keyboard"));
        for (const QString& name : folder.entryList({QStringLiteral("*.Json")}, QDir::Files)) {
            QFile file(folder.filePath(name));
            if (!file.open(QIODevice::ReadOnly)) continue;
            const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
            const QJsonArray keys = root["Device"].toArray().at(0).toObject()["KeyList"].toArray();
            if (key < keys.size()) {
                return static_cast<std::uint32_t>(keys.at(key).toObject()["Assignment"].toDouble());
            }
        }
        return 0;
    }
    // Polls "app ui list" until the line of control `name` matches `pattern`.
    bool WaitForControl(const QString& name, const QString& pattern) {
        const QRegularExpression line(QStringLiteral("(^|\\n)MainWnd +") + name +
                                      QStringLiteral(" .*") + pattern);
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < end) {
            if (Rerovctl(sandbox_, {"app", "ui", "list"}).out.contains(line)) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }
    bool WaitForAssignment(int key, std::uint32_t expected) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < end) {
            if (StoredAssignment(key) == expected) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    Sandbox sandbox_;
    std::unique_ptr<RunningProgram> program_;
    Display* display_ = nullptr;
};

TEST_F(KeyEditorX11Test, ShiftAIsCapturedFromTheDesktopKeyboardAndSaved) {
    program_ = StartAnswering(sandbox_, {QStringLiteral("--simulate=keyboard")});
    ASSERT_TRUE(program_);
    QJsonObject state;
    ASSERT_TRUE(program_->WaitForState(
        [](const QJsonObject& s) { return Entry(s, "keyboard")["ready"].toBool(); }, &state));

    Ctl({"app", "ui", "click", QStringLiteral("key_%1").arg(kKey)});
    Ctl({"app", "ui", "select", "keyset_function_combo", "1"});  // the keyboard key
    Ctl({"app", "ui", "click", "key_ComBox_check_2"});           // with Shift
    int x = 0, y = 0;
    ASSERT_TRUE(CentreOf(QStringLiteral("keyset_keyboard_text_edit"), &x, &y));
    ClickAt(x, y);
    QThread::msleep(300);
    Tap(kKeycodeA);
    EXPECT_TRUE(WaitForAssignment(kKey, kShiftA))
        << std::hex << "stored " << StoredAssignment(kKey) << "\n"
        << program_->StandardError().toStdString();

    // A click on the window's title ends the capture: the next key changes nothing.
    int px = 0, py = 0;
    ASSERT_TRUE(CentreOf(QStringLiteral("title"), &px, &py));
    ClickAt(px, py);
    QThread::msleep(300);
    Tap(30 + 8 + 18);  // B
    QThread::msleep(300);
    EXPECT_EQ(StoredAssignment(kKey), kShiftA);
    const RunOutcome list = Ctl({"app", "ui", "list"});
    EXPECT_TRUE(list.out.contains(QRegularExpression(
        QStringLiteral("keyset_keyboard_text_edit +QLineEdit +yes +yes +- +\"A\""))))
        << list.out.toStdString();
}

TEST_F(KeyEditorX11Test, AMacroRecordedFromTheDesktopKeyboardLandsInItsFile) {
    program_ = StartAnswering(sandbox_, {QStringLiteral("--simulate=keyboard")});
    ASSERT_TRUE(program_);
    QJsonObject state;
    ASSERT_TRUE(program_->WaitForState(
        [](const QJsonObject& s) { return Entry(s, "keyboard")["ready"].toBool(); }, &state));

    // From a key's macro function to the macro editor, and a new macro there.
    Ctl({"app", "ui", "click", QStringLiteral("key_%1").arg(kKey)});
    Ctl({"app", "ui", "select", "keyset_function_combo", "4"});  // the macro function
    Ctl({"app", "ui", "click", "keyset_macro_edit_btn"});
    Ctl({"app", "ui", "click", "macro_btn_name_add"});
    Ctl({"app", "ui", "click", "confirm_btn"});
    // The new macro is selected once the message box has gone.
    ASSERT_TRUE(WaitForControl(QStringLiteral("macro_name_list"), QStringLiteral("#0 of 1")));
    Ctl({"app", "ui", "click", "macro_btn_starredio"});
    ASSERT_TRUE(WaitForControl(QStringLiteral("macro_record_state"), QStringLiteral("REC")));

    XTestFakeKeyEvent(display_, kKeycodeA, True, 0);
    XTestFakeKeyEvent(display_, kKeycodeA, True, 0);  // an auto-repeat of the held key
    XTestFakeKeyEvent(display_, kKeycodeA, False, 0);
    XSync(display_, False);
    QThread::msleep(300);
    XTestFakeKeyEvent(display_, kKeycodeA + 18, True, 0);  // B
    XTestFakeKeyEvent(display_, kKeycodeA + 18, False, 0);
    XSync(display_, False);
    QThread::msleep(300);
    // The click on the stop button ends the recording and is not part of it.
    int x = 0, y = 0;
    ASSERT_TRUE(CentreOf(QStringLiteral("macro_btn_stopredio"), &x, &y));
    ClickAt(x, y);

    // The click reaches the program a moment later: the file is read once it has steps.
    RunOutcome shown;
    QJsonArray steps;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (steps.isEmpty() && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        shown = Rerovctl(sandbox_, {"macro", "keyboard", "show", "0", "--json"});
        ASSERT_EQ(shown.exitCode, 0) << shown.err.toStdString();
        steps = Json(shown)["steps"].toArray();
    }
    ASSERT_EQ(steps.size(), 4) << shown.out.toStdString()
                               << program_->StandardError().toStdString();
    const int buttons[] = {0x04, 0x04, 0x05, 0x05};
    const char* actions[] = {"down", "up", "down", "up"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(steps[i].toObject()["Type"].toInt(), 10) << i;
        EXPECT_EQ(steps[i].toObject()["Button"].toInt(), buttons[i]) << i;
        EXPECT_EQ(steps[i].toObject()["Action"].toString(), actions[i]) << i;
    }
    // A was released, then the test slept 300 ms before B: the release waits about that
    // long (the program reads both events a few milliseconds late, not always equally).
    const int gap = steps[1].toObject()["Delay"].toString().toInt();
    EXPECT_GE(gap, 250);
    EXPECT_LT(gap, 3000);
    EXPECT_EQ(steps[3].toObject()["Delay"].toString(), "0");
}

}  // namespace
}  // namespace rerov::e2e
