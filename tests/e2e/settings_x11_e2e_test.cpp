// The settings window on a real X server (xvfb-run): the system's close of that window
// (what a window manager does on Alt+F4: WM_DELETE_WINDOW) ends the whole program, in
// order, as the tray menu's "exit" does.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QThread>
#include <functional>

#include "tests/e2e/e2e_support.h"

// Xlib's macros clash with Qt's names: it comes last.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace rerov::e2e {
namespace {

// The first window below `parent` (depth first) whose name is `name`; 0 when none.
Window FindNamedWindow(Display* display, Window parent, const char* name) {
    Window root = 0;
    Window up = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, parent, &root, &up, &children, &count) == 0) return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && found == 0; ++i) {
        char* title = nullptr;
        if (XFetchName(display, children[i], &title) != 0 && title != nullptr) {
            if (std::string(title) == name) found = children[i];
            XFree(title);
        }
        if (found == 0) found = FindNamedWindow(display, children[i], name);
    }
    if (children != nullptr) XFree(children);
    return found;
}

TEST(SettingsX11Test, TheSystemsCloseOfTheSettingsWindowEndsTheProgram) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) GTEST_SKIP() << "no X display (run under xvfb-run)";
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    Sandbox sandbox;
    ASSERT_TRUE(sandbox.IsValid());
    sandbox.SetPlatform(QStringLiteral("xcb"));
    auto program = StartAnswering(sandbox, {"--simulate"});
    ASSERT_NE(program, nullptr);
    const RunOutcome open = Rerovctl(sandbox, {"app", "settings"});
    ASSERT_EQ(open.exitCode, 0) << open.err.toStdString();

    Window settings = 0;
    for (int i = 0; i < 100 && settings == 0; ++i) {
        settings = FindNamedWindow(display, DefaultRootWindow(display), "SetWnd");
        if (settings == 0) QThread::msleep(100);
    }
    ASSERT_NE(settings, 0u) << "the settings window never reached the X server";

    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = settings;
    close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    close.xclient.data.l[1] = CurrentTime;
    ASSERT_NE(XSendEvent(display, settings, False, NoEventMask, &close), 0);
    XSync(display, False);

    EXPECT_TRUE(program->WaitForEnd(kRunMs)) << program->StandardError().toStdString();
    EXPECT_EQ(program->Process().exitStatus(), QProcess::NormalExit)
        << program->StandardError().toStdString();
    EXPECT_EQ(program->Process().exitCode(), 0) << program->StandardError().toStdString();
    XCloseDisplay(display);
}

}  // namespace
}  // namespace rerov::e2e
