#pragma once
// The main window on the simulator with its start-up run: the fixture of the main window's
// tests.

#include <gtest/gtest.h>

#include <QDir>
#include <QtTest/QTest>

#include "shell/monitor_fit.h"
#include "tests/shell/shell_test_support.h"

namespace rerov::shell::test {

class MainWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(sim.window, nullptr) << "the main layout did not build";
        wnd = sim.window.get();
        wnd->show();  // "windowinit" runs the start-up
        ASSERT_TRUE(wnd->IsStarted());
        ASSERT_EQ(wnd->EntryCount(), 3) << "mouse, keyboard and mouse pad pages";
        ASSERT_SOON(wnd->isVisible());
    }

    CDevicePageUI* Keyboard() const { return wnd->PageOfFamily(kFamilyKeyboard); }
    DeviceLink& KeyboardLink() const { return Keyboard()->Device().MainLink(); }
    bool HintVisible() const { return wnd->State().noDeviceHintVisible; }
    DeviceEntryState EntryState(int index) const { return wnd->State().entries.at(index); }

    // Waits for the keyboard link to be connected on the given path.
    void WaitKeyboardOn(bool receiver) {
        ASSERT_SOON(KeyboardLink().IsConnected() && KeyboardLink().IsReceiver() == receiver);
    }
    void SaveScreenshot(const QString& name) {
        QDir().mkpath(QStringLiteral(REROV_SCREENSHOT_DIR));
        // The picture is taken at the size the monitor fit gives the window.
        const QSize fitted = FitToMonitor(wnd->screen()->geometry()).size;
        ASSERT_SOON(wnd->size() == fitted);
        QTest::qWait(50);  // one more round of layout and paint events
        EXPECT_TRUE(wnd->SaveScreenshot(QStringLiteral(REROV_SCREENSHOT_DIR "/") + name));
    }

    test::MainWindowOnSim sim;
    CMainWnd* wnd = nullptr;
};

}  // namespace rerov::shell::test
