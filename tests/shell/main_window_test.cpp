// The main window on the simulator: arrivals, removals and path switches as the device
// list shows them, the list's selection, the caption and tray behaviour, and screenshots.

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QtTest/QSignalSpy>
#include <QtTest/QTest>

#include "controls/control_timers.h"
#include "controls/device_key_button.h"
#include "controls/device_picture.h"
#include "controls/option_ui.h"
#include "controls/select_panel.h"
#include "devices/pages/device_page.h"
#include "shell/device_option_ui.h"
#include "shell/monitor_fit.h"
#include "shell_test_support.h"

namespace rerov::shell {
namespace {

using sim::SimPath;
using test::kKeyboardEntry;
using test::kMouseEntry;
using test::kPadEntry;
using test::kWaitMs;

class MainWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(sim.window, nullptr) << "the main layout did not build";
        wnd = sim.window.get();
        wnd->show();  // "windowinit" runs the start-up
        ASSERT_TRUE(wnd->IsStarted());
        ASSERT_EQ(wnd->EntryCount(), 3) << "mouse, keyboard and mouse pad pages";
        QTRY_VERIFY_WITH_TIMEOUT(wnd->isVisible(), kWaitMs);
    }

    CDevicePageUI* Keyboard() const { return wnd->PageOfFamily(kFamilyKeyboard); }
    DeviceLink& KeyboardLink() const { return Keyboard()->Device().MainLink(); }
    bool HintVisible() const { return wnd->State().noDeviceHintVisible; }
    DeviceEntryState EntryState(int index) const { return wnd->State().entries.at(index); }

    // Waits for the keyboard link to be connected on the given path.
    void WaitKeyboardOn(bool receiver) {
        QTRY_VERIFY_WITH_TIMEOUT(
            KeyboardLink().IsConnected() && KeyboardLink().IsReceiver() == receiver, kWaitMs);
    }
    void SaveScreenshot(const QString& name) {
        QDir().mkpath(QStringLiteral(REROV_SCREENSHOT_DIR));
        // The picture is taken at the size the monitor fit gives the window.
        const QSize fitted = FitToMonitor(wnd->screen()->geometry()).size;
        QTRY_COMPARE_WITH_TIMEOUT(wnd->size(), fitted, kWaitMs);
        QTest::qWait(50);  // one more round of layout and paint events
        EXPECT_TRUE(wnd->SaveScreenshot(QStringLiteral(REROV_SCREENSHOT_DIR "/") + name));
    }

    test::MainWindowOnSim sim;
    CMainWnd* wnd = nullptr;
};

TEST_F(MainWindow, WithoutDevicesItShowsTheHint) {
    const AppState state = wnd->State();
    ASSERT_EQ(state.entries.size(), 3u);
    EXPECT_EQ(state.entries[kMouseEntry].family, "mouse");
    EXPECT_EQ(state.entries[kKeyboardEntry].family, "keyboard");
    EXPECT_EQ(state.entries[kPadEntry].family, "MousePad");
    for (const DeviceEntryState& e : state.entries) {
        EXPECT_FALSE(e.shown);
        EXPECT_FALSE(e.connected);
    }
    EXPECT_TRUE(state.noDeviceHintVisible);
    EXPECT_EQ(wnd->CurrentDevicePage(), nullptr);
    EXPECT_EQ(wnd->windowTitle(), QStringLiteral("REROV ER60 EVER"));
    SaveScreenshot(QStringLiteral("main_nodevice.png"));
}

TEST_F(MainWindow, PowerDisplaysShowOnlyForFamiliesThatHaveOne) {
    auto* powers = wnd->FindControl(QStringLiteral("device_power_switch"));
    ASSERT_NE(powers, nullptr);
    struct Expect {
        int entry;
        bool layoutShown;
    };
    for (const Expect& e :
         {Expect{kMouseEntry, true}, Expect{kKeyboardEntry, true}, Expect{kPadEntry, false}}) {
        SCOPED_TRACE(e.entry);
        const int index = wnd->Entry(e.entry)->PowerTabIndex();
        ASSERT_GE(index, 0);
        auto* tabs = qobject_cast<ui::CTabLayoutUI*>(powers);
        ASSERT_NE(tabs, nullptr);
        QWidget* layout = tabs->Items().at(index)->findChild<QWidget*>("device_power_Layout");
        ASSERT_NE(layout, nullptr);
        EXPECT_EQ(!layout->isHidden(), e.layoutShown);
    }
}

TEST_F(MainWindow, KeyboardByCableOpensTheWiredLinkAndShowsItsEntry) {
    sim.Plug(SimPath::KeyboardCable);
    WaitKeyboardOn(false);
    // Two arrivals: the command interface (row 0) and the secondary interface (row 1).
    EXPECT_TRUE(wnd->FoundDevices().IsPresent(0));
    QTRY_VERIFY_WITH_TIMEOUT(wnd->FoundDevices().IsPresent(1), kWaitMs);
    EXPECT_EQ(KeyboardLink().ChunkSize(), kWiredChunkSize);
    EXPECT_TRUE(KeyboardLink().Wired().IsOpen());
    const DeviceEntryState e = EntryState(kKeyboardEntry);
    EXPECT_TRUE(e.shown);
    EXPECT_TRUE(e.current);
    EXPECT_TRUE(e.connected);
    EXPECT_FALSE(e.receiver);
    EXPECT_FALSE(HintVisible());
    EXPECT_EQ(wnd->CurrentDevicePage(), Keyboard());
    SaveScreenshot(QStringLiteral("main_keyboard.png"));
}

TEST_F(MainWindow, CableAndReceiverSwitchWithoutANewPage) {
    sim.Plug(SimPath::KeyboardCable);
    WaitKeyboardOn(false);
    CDevicePageUI* page = Keyboard();

    // The receiver while the cable is in use changes nothing.
    sim.Plug(SimPath::KeyboardReceiver);
    QTRY_VERIFY_WITH_TIMEOUT(wnd->FoundDevices().IsPresent(2), kWaitMs);
    EXPECT_FALSE(KeyboardLink().IsReceiver());
    EXPECT_EQ(KeyboardLink().ChunkSize(), kWiredChunkSize);

    // Losing the cable moves the link to the receiver, same page.
    sim.Unplug(SimPath::KeyboardCable);
    WaitKeyboardOn(true);
    EXPECT_EQ(KeyboardLink().ChunkSize(), kReceiverChunkSize);
    EXPECT_EQ(Keyboard(), page);
    EXPECT_EQ(wnd->EntryCount(), 3);
    EXPECT_TRUE(EntryState(kKeyboardEntry).shown);
    EXPECT_TRUE(EntryState(kKeyboardEntry).receiver);

    // The cable back: the link returns to it and the entry is the selected one.
    sim.Plug(SimPath::KeyboardCable);
    WaitKeyboardOn(false);
    EXPECT_EQ(KeyboardLink().ChunkSize(), kWiredChunkSize);
    EXPECT_EQ(Keyboard(), page);
    QTRY_VERIFY_WITH_TIMEOUT(EntryState(kKeyboardEntry).current, kWaitMs);
    EXPECT_TRUE(EntryState(kKeyboardEntry).shown);
}

TEST_F(MainWindow, UnpluggingTheOnlyPathClosesBothInterfaces) {
    sim.Plug(SimPath::KeyboardCable);
    WaitKeyboardOn(false);
    CDevicePageUI* page = Keyboard();
    sim.Unplug(SimPath::KeyboardCable);
    QTRY_VERIFY_WITH_TIMEOUT(!KeyboardLink().IsConnected(), kWaitMs);
    EXPECT_FALSE(KeyboardLink().Wired().IsOpen());
    EXPECT_FALSE(KeyboardLink().Receiver().IsOpen());
    EXPECT_EQ(Keyboard(), page);
    EXPECT_FALSE(EntryState(kKeyboardEntry).shown);
    EXPECT_TRUE(HintVisible());
    EXPECT_EQ(wnd->CurrentDevicePage(), nullptr);
}

TEST_F(MainWindow, KeyboardOutOfTheReceiversReachLeavesTheListAndComesBack) {
    sim.Plug(SimPath::KeyboardReceiver);
    WaitKeyboardOn(true);
    // The link check shows the entry once the keyboard answers through the receiver.
    QTRY_VERIFY_WITH_TIMEOUT(EntryState(kKeyboardEntry).shown, kWaitMs);
    EXPECT_FALSE(HintVisible());

    sim.bus->SetKeyboardInReach(false);
    // The receiver watch looks every 3 s; the limit leaves room for a busy machine.
    QTRY_VERIFY_WITH_TIMEOUT(!EntryState(kKeyboardEntry).shown, kWaitMs);
    EXPECT_TRUE(HintVisible());
    EXPECT_TRUE(KeyboardLink().IsConnected()) << "the receiver itself stays";

    sim.bus->SetKeyboardInReach(true);
    QTRY_VERIFY_WITH_TIMEOUT(EntryState(kKeyboardEntry).shown, kWaitMs);
    EXPECT_TRUE(EntryState(kKeyboardEntry).current) << "no other entry was shown";
    EXPECT_FALSE(HintVisible());
}

TEST_F(MainWindow, SecondIdenticalKeyboardGetsNoEntry) {
    sim.backend->twins = true;
    sim.Plug(SimPath::KeyboardCable);
    WaitKeyboardOn(false);
    QTRY_VERIFY_WITH_TIMEOUT(wnd->FoundDevices().IsPresent(1), kWaitMs);
    sim.Plug(SimPath::MousePad);  // a later pass still finds only one keyboard
    QTRY_VERIFY_WITH_TIMEOUT(EntryState(kPadEntry).shown, kWaitMs);
    const AppState state = wnd->State();
    ASSERT_EQ(state.entries.size(), 3u);
    int keyboards = 0;
    for (const DeviceEntryState& e : state.entries) keyboards += e.family == "keyboard";
    EXPECT_EQ(keyboards, 1);
}

// --- The list ---

class DeviceList : public MainWindow {
  protected:
    void SetUp() override {
        MainWindow::SetUp();
        sim.Plug(SimPath::KeyboardCable);
        WaitKeyboardOn(false);
        sim.Plug(SimPath::MouseCable);
        sim.Plug(SimPath::MousePad);
        QTRY_VERIFY_WITH_TIMEOUT(EntryState(kMouseEntry).shown && EntryState(kPadEntry).shown,
                                 kWaitMs);
        ASSERT_TRUE(EntryState(kKeyboardEntry).current) << "the first device stays selected";
    }
    int Current() const {
        const AppState state = wnd->State();
        for (size_t i = 0; i < state.entries.size(); ++i) {
            if (state.entries[i].current) return int(i);
        }
        return -1;
    }
    int ShownPage() const {
        auto* tabs = qobject_cast<ui::CTabLayoutUI*>(wnd->FindControl("device_switch"));
        return tabs != nullptr ? tabs->GetCurSel() : -2;
    }
    int ShownPower() const {
        auto* tabs = qobject_cast<ui::CTabLayoutUI*>(wnd->FindControl("device_power_switch"));
        return tabs != nullptr ? tabs->GetCurSel() : -2;
    }
};

TEST_F(DeviceList, PreviousAndNextStepThroughShownEntriesWithoutWrapping) {
    struct Step {
        bool next;
        int current;
    };
    // From the keyboard (1): next, next (stays on the last), previous twice, previous
    // (stays on the first).
    const Step steps[] = {{true, 2}, {true, 2}, {false, 1}, {false, 0}, {false, 0}};
    for (const Step& s : steps) {
        if (s.next) {
            wnd->SelectNextDevice();
        } else {
            wnd->SelectPreviousDevice();
        }
        EXPECT_EQ(Current(), s.current);
        EXPECT_EQ(ShownPage(), wnd->Entry(s.current)->PageTabIndex());
        EXPECT_EQ(ShownPower(), wnd->Entry(s.current)->PowerTabIndex());
        EXPECT_EQ(wnd->CurrentDevicePage(), wnd->PageOfEntry(s.current));
    }
}

TEST_F(DeviceList, NextSkipsHiddenEntries) {
    wnd->SelectPreviousDevice();  // the mouse
    ASSERT_EQ(Current(), kMouseEntry);
    wnd->SelectDeviceEntry(kKeyboardEntry, false, false);
    wnd->SelectNextDevice();
    EXPECT_EQ(Current(), kPadEntry);
}

TEST_F(DeviceList, ClickingAnEntrySelectsItsPageAndPowerDisplay) {
    ui::COptionUI* option = wnd->Entry(kPadEntry)->DeviceOption();
    ASSERT_NE(option, nullptr);
    option->Activate();
    EXPECT_EQ(Current(), kPadEntry);
    EXPECT_EQ(ShownPage(), wnd->Entry(kPadEntry)->PageTabIndex());
    EXPECT_EQ(ShownPower(), wnd->Entry(kPadEntry)->PowerTabIndex());
    EXPECT_FALSE(wnd->Entry(kKeyboardEntry)->IsCurrent()) << "one group, one current entry";
    // Family order mouse, keyboard, mouse pad: the pad sits two after the first mouse.
    EXPECT_EQ(wnd->CurrentKeyboardIndex(), kPadEntry - 1);
    EXPECT_EQ(wnd->CurrentMouseIndex(), kPadEntry - 1);
    SaveScreenshot(QStringLiteral("main_three_devices.png"));
}

TEST_F(DeviceList, DeactivatingTheCurrentEntryMovesTheSelection) {
    wnd->DeactivateDeviceEntry(kKeyboardEntry);
    EXPECT_FALSE(EntryState(kKeyboardEntry).shown);
    EXPECT_EQ(Current(), kMouseEntry) << "the first other shown entry";
    // A hidden, not current entry only hides.
    wnd->DeactivateDeviceEntry(kPadEntry);
    EXPECT_EQ(Current(), kMouseEntry);
    wnd->DeactivateDeviceEntry(kMouseEntry);
    EXPECT_EQ(Current(), -1);
    EXPECT_TRUE(HintVisible());
    // Out of range indices are ignored.
    wnd->DeactivateDeviceEntry(-1);
    wnd->DeactivateDeviceEntry(99);
}

TEST_F(DeviceList, ShowMessageMakesAnEntryCurrentOnlyWhenNoneWasShown) {
    wnd->OnShowEntryMessage(kFamilyKeyboard, 0);
    EXPECT_FALSE(EntryState(kKeyboardEntry).shown);
    wnd->OnShowEntryMessage(kFamilyKeyboard, 1);
    EXPECT_TRUE(EntryState(kKeyboardEntry).shown);
    EXPECT_NE(Current(), kKeyboardEntry);
    wnd->OnShowEntryMessage(kFamilyKeyboard, 7);  // neither show nor hide
    EXPECT_TRUE(EntryState(kKeyboardEntry).shown);

    for (int family : {kFamilyMouse, kFamilyKeyboard, kFamilyMousePad}) {
        wnd->OnShowEntryMessage(family, 0);
    }
    ASSERT_TRUE(HintVisible());
    wnd->OnShowEntryMessage(kFamilyMousePad, 1);
    EXPECT_EQ(Current(), kPadEntry);
    EXPECT_FALSE(HintVisible());
}

TEST_F(DeviceList, SyncTicksNeedTwoTickedEntries) {
    wnd->Entry(kKeyboardEntry)->SetSyncTicked(true);
    wnd->Entry(kMouseEntry)->SetSyncTicked(true);
    wnd->DeactivateDeviceEntry(kPadEntry);
    EXPECT_TRUE(wnd->Entry(kKeyboardEntry)->IsSyncTicked()) << "two ticked entries stay shown";
    wnd->DeactivateDeviceEntry(kMouseEntry);
    EXPECT_FALSE(wnd->Entry(kKeyboardEntry)->IsSyncTicked());
}

// --- Window behaviour ---

TEST_F(MainWindow, CloseButtonHidesAndTheTrayBringsItBack) {
    QSignalSpy exits(wnd, &CMainWnd::exitRequested);
    auto* close = qobject_cast<ui::CButtonUI*>(wnd->FindControl("closebtn"));
    ASSERT_NE(close, nullptr);
    close->Activate();
    EXPECT_FALSE(wnd->isVisible());
    EXPECT_EQ(exits.count(), 0);
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
}

TEST_F(MainWindow, CaptionButtonsMaximiseRestoreAndMinimise) {
    wnd->FitToMonitor(QRect(0, 0, 1366, 768));
    auto click = [&](const char* name) {
        auto* button = qobject_cast<ui::CButtonUI*>(wnd->FindControl(QLatin1String(name)));
        ASSERT_NE(button, nullptr) << name;
        button->Activate();
    };
    click("maxbtn");
    QTRY_VERIFY_WITH_TIMEOUT(wnd->isMaximized(), kWaitMs);
    EXPECT_TRUE(wnd->FindControl("maxbtn")->isHidden());
    EXPECT_FALSE(wnd->FindControl("restorebtn")->isHidden());
    click("restorebtn");
    QTRY_VERIFY_WITH_TIMEOUT(!wnd->isMaximized(), kWaitMs);
    EXPECT_FALSE(wnd->FindControl("maxbtn")->isHidden());
    EXPECT_TRUE(wnd->FindControl("restorebtn")->isHidden());
    EXPECT_EQ(wnd->size(), QSize(1000, 640));
    click("minbtn");
    QTRY_VERIFY_WITH_TIMEOUT(wnd->isMinimized(), kWaitMs);
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

// Runs the event loop until `done` holds or `ms` pass; true when it holds. (The QTRY macros
// of QtTest only return from the test body when they time out, which GoogleTest counts as
// a pass, so the tests below wait with this and assert on its result.)
template <typename Done>
bool WaitUntil(Done done, int ms = kWaitMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms) return false;
        QTest::qWait(10);
    }
    return true;
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
    ASSERT_TRUE(WaitUntil([&] { return wnd->CurrentDevicePage() == Keyboard(); }));
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
    ASSERT_TRUE(WaitUntil([&] { return wnd->CurrentDevicePage() == Keyboard(); }));
    auto* picture = Keyboard()->findChild<ui::CDevicePictureUI*>();
    ASSERT_NE(picture, nullptr);
    auto* maximise = qobject_cast<ui::CButtonUI*>(wnd->FindControl("maxbtn"));
    ASSERT_NE(maximise, nullptr);
    maximise->Activate();
    QTRY_VERIFY_WITH_TIMEOUT(wnd->isMaximized(), kWaitMs);
    // Whatever room the page now has, the keyboard fills its area's width or height.
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            const QRect panel = Keyboard()->SelectPanel()->geometry();
            return picture->rect().contains(panel) && (panel.width() >= picture->width() - 1 ||
                                                       panel.height() >= picture->height() - 1);
        }(),
        kWaitMs);
}

}  // namespace
}  // namespace rerov::shell
