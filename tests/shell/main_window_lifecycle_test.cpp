// The main window's own behaviour: close, tray and exit with its workers, the caption
// buttons, menus and routes, and how the content follows the monitor and the window size.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QtTest/QSignalSpy>
#include <QtTest/QTest>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "controls/control_timers.h"
#include "controls/device_key_button.h"
#include "controls/device_picture.h"
#include "controls/language_texts.h"
#include "controls/option_ui.h"
#include "controls/select_panel.h"
#include "controls/tray_icon.h"
#include "devices/pages/device_page.h"
#include "shell/device_option_ui.h"
#include "shell/monitor_fit.h"
#include "shell/page_entry_adapter.h"
#include "tests/shell/main_window_fixture.h"
#include "tests/shell/shell_test_support.h"

namespace rerov::shell {
namespace {

using sim::SimPath;
using test::kKeyboardEntry;
using test::kMouseEntry;
using test::kPadEntry;
using test::kWaitMs;
using test::MainWindow;

TEST_F(MainWindow, WithATrayCloseHidesTellsOnceWhereAndTheTrayBringsItBack) {
    // A desktop with a tray (its tray comes up after the program started).
    wnd->Tray()->SetAvailabilityProbe([] { return true; });
    QSignalSpy exits(wnd, &CMainWnd::exitRequested);
    QSignalSpy messages(wnd->Tray(), &ui::TrayIcon::messageShown);
    auto* close = qobject_cast<ui::CButtonUI*>(wnd->FindControl("closebtn"));
    ASSERT_NE(close, nullptr);
    close->Activate();
    EXPECT_FALSE(wnd->isVisible());
    EXPECT_EQ(exits.count(), 0);
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages[0][1].toString(), ui::Tr("tray_hidden_hint"));
    EXPECT_NE(messages[0][1].toString(), "tray_hidden_hint") << "a text, not its key";
    EXPECT_NE(wnd->Worker(kScanSlot), nullptr) << "the program keeps running";
    wnd->OnTrayLeftClick();
    EXPECT_TRUE(wnd->isVisible());
    const MonitorFit fit = FitToMonitor(wnd->screen()->geometry());
    EXPECT_EQ(wnd->size(), fit.size);
    wnd->OnTrayLeftClick();
    EXPECT_FALSE(wnd->isVisible());
    // A second start (or "rerovctl app show") brings it back too.
    wnd->BringToFront();
    EXPECT_TRUE(wnd->isVisible());
    EXPECT_TRUE(HintVisible());
    // The user was told once.
    close->Activate();
    EXPECT_FALSE(wnd->isVisible());
    EXPECT_EQ(messages.count(), 1);
    EXPECT_EQ(exits.count(), 0);
}

TEST_F(MainWindow, WithoutATrayCloseEndsTheProgramAsExitDoes) {
    // What the desktop says here decides; a stock desktop without a tray says no.
    wnd->Tray()->SetAvailabilityProbe([] { return false; });
    QSignalSpy exits(wnd, &CMainWnd::exitRequested);
    auto* close = qobject_cast<ui::CButtonUI*>(wnd->FindControl("closebtn"));
    ASSERT_NE(close, nullptr);
    close->Activate();
    EXPECT_EQ(exits.count(), 1);
    EXPECT_FALSE(wnd->isVisible());
    EXPECT_EQ(wnd->Worker(kScanSlot), nullptr) << "the threads are stopped";
    EXPECT_EQ(wnd->EntryCount(), 0) << "the pages are gone";
}

// A worker whose thread ends only when the test lets it.
struct StuckThread {
    std::mutex lock;
    std::condition_variable changed;
    bool released = false;
    bool ended = false;
    bool abandoned = false;
    bool slotDestroyed = false;
};

class StuckWorker : public WorkerSlot {
  public:
    explicit StuckWorker(std::shared_ptr<StuckThread> state) : state_(std::move(state)) {
        thread_ = std::thread([state = state_] {
            std::unique_lock<std::mutex> guard(state->lock);
            state->changed.wait(guard, [&] { return state->released; });
            state->ended = true;
            state->changed.notify_all();
        });
    }
    ~StuckWorker() override {
        {
            std::lock_guard<std::mutex> guard(state_->lock);
            state_->slotDestroyed = true;
        }
        if (thread_.joinable()) thread_.join();  // what leaving it running must avoid
    }
    void RequestStop() override {}  // the thread does not listen: it is stuck
    bool WaitStopped(int boundMs) override {
        std::unique_lock<std::mutex> guard(state_->lock);
        return state_->changed.wait_for(guard, std::chrono::milliseconds(boundMs),
                                        [&] { return state_->ended; });
    }
    void Abandon() override {
        thread_.detach();
        std::lock_guard<std::mutex> guard(state_->lock);
        state_->abandoned = true;
    }

  private:
    std::shared_ptr<StuckThread> state_;
    std::thread thread_;
};

// A worker without a thread of its own: it stops at once.
class StoppingWorker : public WorkerSlot {
  public:
    void RequestStop() override {}
    bool WaitStopped(int) override { return true; }
    void Abandon() override {}
};

TEST_F(MainWindow, AStuckWorkerIsLeftRunningAndTheExitGoesOn) {
    // A join without limit would hang here, before the test releases the thread.
    auto stuck = std::make_shared<StuckThread>();
    auto worker = std::make_unique<StuckWorker>(stuck);
    StuckWorker* leftRunning = worker.get();
    constexpr int kSlot = 5;
    ASSERT_TRUE(wnd->SetWorker(kSlot, std::move(worker)));
    EXPECT_FALSE(wnd->SetWorker(kSlot, std::make_unique<StoppingWorker>()))
        << "a taken slot is refused";
    wnd->Shutdown();
    {
        std::lock_guard<std::mutex> guard(stuck->lock);
        EXPECT_TRUE(stuck->abandoned);
        EXPECT_FALSE(stuck->slotDestroyed) << "the thread may still use its slot";
        EXPECT_FALSE(stuck->ended);
    }
    EXPECT_EQ(wnd->Worker(kSlot), nullptr);
    EXPECT_EQ(wnd->Worker(kScanSlot), nullptr) << "the scan thread stopped in time";
    EXPECT_EQ(wnd->EntryCount(), 0) << "the pages are gone";

    // The process would end here; the test lets the thread end and frees its slot.
    {
        std::unique_lock<std::mutex> guard(stuck->lock);
        stuck->released = true;
        stuck->changed.notify_all();
        stuck->changed.wait(guard, [&] { return stuck->ended; });
    }
    delete leftRunning;
}

TEST_F(MainWindow, EachPageKnowsItsListEntryAndAnInputThreadCanAskItForARead) {
    CDevicePageUI* page = Keyboard();
    ASSERT_NE(page, nullptr);
    CDeviceOptionUI* entry = wnd->Entry(kKeyboardEntry);
    ASSERT_EQ(page->Device().ListEntry(), entry);
    EXPECT_FALSE(ui::IsControlTimerArmed(entry, kTimerSyncRequest));
    std::thread input([&] { page->Device().ListEntry()->RequestSync(50); });
    input.join();
    ASSERT_SOON(ui::IsControlTimerArmed(entry, kTimerSyncRequest));
}

TEST_F(MainWindow, CloseFollowsWhatThePlatformSaysOfItsTray) {
    // The program as started: no probe replaced.
    QSignalSpy exits(wnd, &CMainWnd::exitRequested);
    auto* close = qobject_cast<ui::CButtonUI*>(wnd->FindControl("closebtn"));
    ASSERT_NE(close, nullptr);
    close->Activate();
    EXPECT_EQ(exits.count(), QSystemTrayIcon::isSystemTrayAvailable() ? 0 : 1);
}

TEST_F(MainWindow, CaptionButtonsMaximiseRestoreAndMinimise) {
    // The window as the program fits it at start: centred on its monitor.
    const MonitorFit fit = FitToMonitor(wnd->screen()->geometry());
    ASSERT_SOON(wnd->size() == fit.size);
    auto click = [&](const char* name) {
        auto* button = qobject_cast<ui::CButtonUI*>(wnd->FindControl(QLatin1String(name)));
        ASSERT_NE(button, nullptr) << name;
        button->Activate();
    };
    const QRect fitted = wnd->geometry();
    ASSERT_EQ(fitted, fit.geometry);
    click("maxbtn");
    ASSERT_SOON(wnd->isMaximized());
    EXPECT_TRUE(wnd->FindControl("maxbtn")->isHidden());
    EXPECT_FALSE(wnd->FindControl("restorebtn")->isHidden());
    click("restorebtn");
    ASSERT_SOON(!wnd->isMaximized());
    EXPECT_FALSE(wnd->FindControl("maxbtn")->isHidden());
    EXPECT_TRUE(wnd->FindControl("restorebtn")->isHidden());
    ASSERT_SOON(wnd->geometry() == fitted);
    // Moved away and maximised again: restore brings it back where the user left it.
    wnd->move(fitted.topLeft() + QPoint(40, 30));
    const QRect moved = wnd->geometry();
    click("maxbtn");
    ASSERT_SOON(wnd->isMaximized());
    click("restorebtn");
    ASSERT_SOON(!wnd->isMaximized());
    ASSERT_SOON(wnd->geometry() == moved);
    // A fit that comes while maximised (a late timer 1011, a changed screen) leaves the
    // window maximised; restore then brings the fitted place.
    click("maxbtn");
    ASSERT_SOON(wnd->isMaximized());
    wnd->FitToMonitor(wnd->screen()->geometry());
    QCoreApplication::processEvents();
    EXPECT_TRUE(wnd->isMaximized());
    click("restorebtn");
    ASSERT_SOON(!wnd->isMaximized());
    ASSERT_SOON(wnd->geometry() == fitted);
    click("minbtn");
    ASSERT_SOON(wnd->isMinimized());
}

TEST_F(MainWindow, BringingToTheFrontRestoresAMinimisedWindow) {
    // What a second start or "rerovctl app show" asks of a minimised window.
    wnd->showMinimized();
    ASSERT_SOON(wnd->isMinimized());
    wnd->BringToFront();
    ASSERT_SOON(!wnd->isMinimized());
    EXPECT_TRUE(wnd->isVisible());
}

TEST_F(MainWindow, TrayExitStopsEverything) {
    sim.Plug(SimPath::KeyboardCable);
    WaitKeyboardOn(false);
    QSignalSpy exits(wnd, &CMainWnd::exitRequested);
    wnd->OnMenuCommand(QStringLiteral("exit"));
    EXPECT_EQ(exits.count(), 1);
    EXPECT_FALSE(wnd->isVisible());
    EXPECT_EQ(wnd->Worker(kScanSlot), nullptr);
    EXPECT_EQ(wnd->EntryCount(), 0) << "the pages are gone";
    EXPECT_TRUE(wnd->State().entries.empty());
}

TEST_F(MainWindow, MenuItemsRunTheirCommands) {
    int about = 0;
    wnd->AddMenuCommand(QStringLiteral("about_menu"), [&] { ++about; });
    wnd->OnMenuCommand(QStringLiteral("about_menu"));
    wnd->OnMenuCommand(QStringLiteral("no_such_item"));
    EXPECT_EQ(about, 1);
    EXPECT_TRUE(wnd->isVisible());
    EXPECT_NE(wnd->Worker(kScanSlot), nullptr);
}

TEST_F(MainWindow, SimulatedShowsInTheTitle) {
    wnd->SetSimulated(true);
    EXPECT_EQ(wnd->windowTitle(), QStringLiteral("REROV ER60 EVER (simulated)"));
    auto* title = qobject_cast<ui::CControlUI*>(wnd->FindControl("title"));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->GetText(), wnd->windowTitle());
}

TEST_F(MainWindow, SuspendHandsTheLightingBackUntilResume) {
    wnd->OnPrepareForSleep(true);
    EXPECT_FALSE(wnd->IsAwake());
    EXPECT_EQ(Keyboard()->Device().HostLighting(), 0);
    wnd->OnPrepareForSleep(false);
    EXPECT_TRUE(wnd->IsAwake());
    EXPECT_EQ(Keyboard()->Device().HostLighting(), 1);
}

TEST_F(MainWindow, RoutesReachLaterHandlersAndStoppedTypesGoNowhere) {
    int routed = 0;
    int own = 0;
    wnd->Routes(QStringLiteral("click"))
        .On(QStringLiteral("click"), QStringLiteral("logo"),
            [&](const ui::Notification&) { ++routed; });
    wnd->Pump().OnType(QStringLiteral("click_wpremove"), [&](const ui::Notification&) { ++own; });
    wnd->Pump().OnType(QStringLiteral("click_wpadd"), [&](const ui::Notification&) { ++own; });
    ui::Notification msg;
    msg.sender = wnd->FindControl("logo");
    msg.type = QStringLiteral("click");
    wnd->Notify(msg);
    msg.type = QStringLiteral("click_wpremove");
    wnd->Notify(msg);
    msg.type = QStringLiteral("click_wpadd");
    wnd->Notify(msg);
    EXPECT_EQ(routed, 1);
    EXPECT_EQ(own, 1) << "click_wpadd passes on, click_wpremove stops";
}

TEST_F(MainWindow, MonitorFitScalesOnLargeMonitors) {
    struct FitCase {
        QRect monitor;
        int dpi;
        QSize size;
    };
    const FitCase cases[] = {
        {QRect(0, 0, 1920, 1080), 144, QSize(1500, 960)},
        {QRect(0, 0, 1366, 768), 96, QSize(1000, 640)},
        {QRect(0, 0, 1500, 1200), 96, QSize(1000, 640)},  // not wider than 1500
        {QRect(0, 0, 2560, 960), 96, QSize(1000, 640)},   // not taller than 960
        {QRect(1920, 0, 2560, 1440), 144, QSize(1500, 960)},
    };
    for (const FitCase& c : cases) {
        wnd->FitToMonitor(c.monitor);
        EXPECT_EQ(wnd->Dpi(), c.dpi);
        EXPECT_EQ(wnd->size(), c.size);
        EXPECT_EQ(wnd->geometry().center(), c.monitor.center());
        EXPECT_TRUE(wnd->isVisible());
    }
}

// What the keyboard page and the window's chrome measure, for comparing two fits.
struct ContentSizes {
    QSize caption;
    int titleFont = 0;
    QSize entry;
    QSize picture;
    QSize key;
    int keyFont = 0;
};

TEST_F(MainWindow, ALargeMonitorScalesTheWholeContent) {
    // The start-up fit to the (small) test screen must not land between the fits below.
    ui::KillControlTimer(wnd, kTimerMonitorFit);
    sim.Plug(SimPath::KeyboardCable);
    ASSERT_SOON(wnd->CurrentDevicePage() == Keyboard());
    auto measure = [&] {
        QTest::qWait(20);  // layouts settle
        ContentSizes s;
        s.caption = wnd->FindControl("caption")->size();
        s.titleFont =
            qobject_cast<ui::CControlUI*>(wnd->FindControl("title"))->GetFont().pixelSize();
        s.entry = wnd->Entry(kKeyboardEntry)->size();
        s.picture = Keyboard()->findChild<ui::CDevicePictureUI*>()->size();
        s.key = Keyboard()->KeyButton(64)->size();
        s.keyFont = Keyboard()->KeyButton(64)->GetFont().pixelSize();
        return s;
    };
    wnd->FitToMonitor(QRect(0, 0, 1366, 768));
    ASSERT_EQ(wnd->size(), QSize(1000, 640));
    const ContentSizes design = measure();
    EXPECT_EQ(design.caption.height(), 44);
    EXPECT_EQ(design.entry, QSize(176, 56));

    wnd->FitToMonitor(QRect(0, 0, 1600, 1000));
    ASSERT_EQ(wnd->size(), QSize(1500, 960));
    const ContentSizes large = measure();
    EXPECT_EQ(large.caption.height(), 66);
    EXPECT_EQ(large.titleFont, design.titleFont * 3 / 2);
    EXPECT_EQ(large.entry, QSize(264, 84));
    EXPECT_NEAR(large.picture.width(), design.picture.width() * 1.5, 2);
    EXPECT_NEAR(large.picture.height(), design.picture.height() * 1.5, 2);
    EXPECT_NEAR(large.key.width(), design.key.width() * 1.5, 1.5);
    EXPECT_NEAR(large.key.height(), design.key.height() * 1.5, 1.5);
    EXPECT_NEAR(large.keyFont, design.keyFont * 1.5, 1);
    QDir().mkpath(QStringLiteral(REROV_SCREENSHOT_DIR));
    EXPECT_TRUE(
        wnd->SaveScreenshot(QStringLiteral(REROV_SCREENSHOT_DIR "/main_keyboard_large.png")));

    // Back on a small monitor the content returns to its design, without drift.
    wnd->FitToMonitor(QRect(0, 0, 1366, 768));
    const ContentSizes again = measure();
    EXPECT_EQ(again.caption, design.caption);
    EXPECT_EQ(again.entry, design.entry);
    EXPECT_EQ(again.picture, design.picture);
    EXPECT_EQ(again.key, design.key);
}

TEST_F(MainWindow, ThePictureFollowsTheRoomWhenMaximised) {
    ui::KillControlTimer(wnd, kTimerMonitorFit);  // a late start-up fit would restore it
    sim.Plug(SimPath::KeyboardCable);
    ASSERT_SOON(wnd->CurrentDevicePage() == Keyboard());
    auto* picture = Keyboard()->findChild<ui::CDevicePictureUI*>();
    ASSERT_NE(picture, nullptr);
    auto* maximise = qobject_cast<ui::CButtonUI*>(wnd->FindControl("maxbtn"));
    ASSERT_NE(maximise, nullptr);
    maximise->Activate();
    ASSERT_SOON(wnd->isMaximized());
    // Whatever room the page now has, the keyboard fills its area's width or height.
    EXPECT_SOON([&] {
        const QRect panel = Keyboard()->SelectPanel()->geometry();
        return picture->rect().contains(panel) &&
               (panel.width() >= picture->width() - 1 || panel.height() >= picture->height() - 1);
    }());
}

}  // namespace
}  // namespace rerov::shell
