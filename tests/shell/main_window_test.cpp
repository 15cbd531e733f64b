// The main window on the simulator: arrivals, removals and path switches as the device
// list shows them, the list's selection and the window's start.

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
    ASSERT_SOON(wnd->FoundDevices().IsPresent(1));
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
    ASSERT_SOON(wnd->FoundDevices().IsPresent(2));
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
    ASSERT_SOON(EntryState(kKeyboardEntry).current);
    EXPECT_TRUE(EntryState(kKeyboardEntry).shown);
}

TEST_F(MainWindow, UnpluggingTheOnlyPathClosesBothInterfaces) {
    sim.Plug(SimPath::KeyboardCable);
    WaitKeyboardOn(false);
    CDevicePageUI* page = Keyboard();
    sim.Unplug(SimPath::KeyboardCable);
    ASSERT_SOON(!KeyboardLink().IsConnected());
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
    ASSERT_SOON(EntryState(kKeyboardEntry).shown);
    EXPECT_FALSE(HintVisible());

    sim.bus->SetKeyboardInReach(false);
    // The receiver watch looks every 3 s; the limit leaves room for a busy machine.
    ASSERT_SOON(!EntryState(kKeyboardEntry).shown);
    EXPECT_TRUE(HintVisible());
    EXPECT_TRUE(KeyboardLink().IsConnected()) << "the receiver itself stays";

    sim.bus->SetKeyboardInReach(true);
    ASSERT_SOON(EntryState(kKeyboardEntry).shown);
    EXPECT_TRUE(EntryState(kKeyboardEntry).current) << "no other entry was shown";
    EXPECT_FALSE(HintVisible());
}

TEST_F(MainWindow, UnpluggedReceiverKeyboardStaysGone) {
    sim.Plug(SimPath::KeyboardReceiver);
    WaitKeyboardOn(true);
    ASSERT_SOON(EntryState(kKeyboardEntry).shown);
    CDeviceOptionUI* entry = wnd->Entry(kKeyboardEntry);
    ASSERT_SOON(ui::IsControlTimerArmed(entry, kTimerReceiverWatch));

    sim.Unplug(SimPath::KeyboardReceiver);
    ASSERT_SOON(!KeyboardLink().IsConnected());
    EXPECT_FALSE(EntryState(kKeyboardEntry).shown);
    EXPECT_TRUE(HintVisible());
    for (int timer : {kTimerLightFrame, kTimerLinkCheck, kTimerPowerStatus, kTimerReceiverWatch}) {
        EXPECT_FALSE(ui::IsControlTimerArmed(entry, timer)) << "timer " << timer;
    }
    // Even a receiver watch that fires late leaves the entry hidden.
    ui::ControlTimerEvent late(kTimerReceiverWatch);
    QCoreApplication::sendEvent(entry, &late);
    const DeviceEntryState after = EntryState(kKeyboardEntry);
    EXPECT_FALSE(after.shown);
    EXPECT_FALSE(after.current);
    EXPECT_TRUE(HintVisible());
}

TEST_F(MainWindow, TheAdapterSaysInReachOnlyForAConnectedReceiverLinkThatAnswers) {
    PageEntryAdapter adapter(*Keyboard());
    sim.Plug(SimPath::KeyboardCable);
    WaitKeyboardOn(false);
    EXPECT_FALSE(adapter.IsReceiverLinkAlive()) << "on the cable";

    sim.Plug(SimPath::KeyboardReceiver);
    sim.Unplug(SimPath::KeyboardCable);
    WaitKeyboardOn(true);
    EXPECT_TRUE(adapter.IsReceiverLinkAlive()) << "receiver, keyboard in reach";
    sim.bus->SetKeyboardInReach(false);
    EXPECT_FALSE(adapter.IsReceiverLinkAlive()) << "receiver, keyboard out of reach";
    sim.bus->SetKeyboardInReach(true);
    EXPECT_TRUE(adapter.IsReceiverLinkAlive());

    sim.Unplug(SimPath::KeyboardReceiver);
    ASSERT_SOON(!KeyboardLink().IsConnected());
    EXPECT_TRUE(KeyboardLink().IsReceiver()) << "the link keeps its last path";
    EXPECT_FALSE(adapter.IsReceiverLinkAlive()) << "receiver unplugged";
}

TEST_F(MainWindow, AHotPluggedPageStaysBehindTheCurrentOne) {
    sim.Plug(SimPath::KeyboardCable);
    WaitKeyboardOn(false);
    ASSERT_SOON(EntryState(kKeyboardEntry).current);
    EXPECT_TRUE(EntryState(kKeyboardEntry).pageVisible);
    sim.Plug(SimPath::Headset);  // its page is created now, while the keyboard's shows
    ASSERT_SOON(wnd->EntryCount() == 4 && EntryState(3).shown);
    const AppState state = wnd->State();
    for (size_t i = 0; i < state.entries.size(); ++i) {
        SCOPED_TRACE(state.entries[i].family);
        EXPECT_EQ(state.entries[i].pageVisible, int(i) == kKeyboardEntry);
        EXPECT_EQ(state.entries[i].current, int(i) == kKeyboardEntry);
        EXPECT_EQ(wnd->PageOfEntry(int(i))->isVisible(), int(i) == kKeyboardEntry);
    }
    // Choosing the headset shows its page, and only its page.
    wnd->SelectNextDevice();
    for (const DeviceEntryState& e : wnd->State().entries) {
        EXPECT_EQ(e.pageVisible, e.family == "HD") << e.family;
    }
}

TEST_F(MainWindow, NoPageCountsAsVisibleUnderTheNoDeviceHint) {
    ASSERT_TRUE(HintVisible());
    for (const DeviceEntryState& e : wnd->State().entries) EXPECT_FALSE(e.pageVisible) << e.family;
}

TEST_F(MainWindow, SecondIdenticalKeyboardGetsNoEntry) {
    sim.backend->twins = true;
    sim.Plug(SimPath::KeyboardCable);
    WaitKeyboardOn(false);
    ASSERT_SOON(wnd->FoundDevices().IsPresent(1));
    sim.Plug(SimPath::MousePad);  // a later pass still finds only one keyboard
    ASSERT_SOON(EntryState(kPadEntry).shown);
    const AppState state = wnd->State();
    ASSERT_EQ(state.entries.size(), 3u);
    int keyboards = 0;
    for (const DeviceEntryState& e : state.entries) keyboards += e.family == "keyboard";
    EXPECT_EQ(keyboards, 1);
}

// --- Start-up ---

// A window on the simulator with `paths` plugged in before it starts; `shown` are the
// entries that show once the devices answer.
struct StartCase {
    const char* name;
    std::vector<SimPath> paths;
    std::vector<int> shown;
    int current;
};

TEST(MainWindowStart, TheKeyboardIsCurrentAtStartWhateverTheArrivalOrder) {
    const StartCase cases[] = {
        {"keyboard and mouse",
         {SimPath::MouseCable, SimPath::KeyboardCable},
         {kMouseEntry, kKeyboardEntry},
         kKeyboardEntry},
        // The simulated mouse does not answer through its receiver: its entry stays hidden.
        {"keyboard and receiver mouse",
         {SimPath::MouseReceiver, SimPath::KeyboardCable},
         {kKeyboardEntry},
         kKeyboardEntry},
        {"receiver keyboard and mouse",
         {SimPath::MouseCable, SimPath::KeyboardReceiver},
         {kMouseEntry, kKeyboardEntry},
         kKeyboardEntry},
    };
    for (const StartCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::MainWindowOnSim sim;
        ASSERT_NE(sim.window, nullptr);
        // The system may list the devices in any order: the keyboard last here.
        sim.backend->reverseOrder = true;
        for (SimPath path : c.paths) sim.bus->Plug(path);
        sim.window->show();
        ASSERT_SOON(sim.window->isVisible());
        ASSERT_SOON(sim.window->State().entries.at(c.current).current);
        // It stays so once every plugged device's entry shows.
        for (int entry : c.shown) {
            ASSERT_SOON(sim.window->State().entries.at(entry).shown);
        }
        const AppState state = sim.window->State();
        for (size_t i = 0; i < state.entries.size(); ++i) {
            EXPECT_EQ(state.entries[i].current, int(i) == c.current) << state.entries[i].family;
        }
    }
}

// The window's own timers with the delay each is armed with; the numbers are the
// protocol's, written out so that a wrong constant in the code fails here.
TEST(MainWindowStart, EveryWindowTimerIsArmedWithItsDelay) {
    test::MainWindowOnSim sim;
    ASSERT_NE(sim.window, nullptr);
    CMainWnd* wnd = sim.window.get();
    struct Case {
        const char* what;
        std::function<void()> arm;
        int id;
        int periodMs;
    };
    const Case cases[] = {
        {"monitor_fit_at_start", [wnd] { wnd->show(); }, 1011, 100},
        {"tray_menu_after_right_click", [wnd] { emit wnd->Tray()->rightClicked(); }, 1032, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.arm();
        EXPECT_EQ(ui::ControlTimerPeriod(wnd, c.id), c.periodMs);
        ui::KillControlTimer(wnd, c.id);  // nothing of it is needed once its arming is seen
    }
}

TEST(MainWindowStart, ADevicePluggedLaterDoesNotTakeTheSelection) {
    test::MainWindowOnSim sim;
    ASSERT_NE(sim.window, nullptr);
    sim.bus->Plug(SimPath::MouseCable);
    sim.window->show();
    ASSERT_SOON(sim.window->State().entries.at(kMouseEntry).current);
    sim.Plug(SimPath::KeyboardCable);
    ASSERT_SOON(sim.window->State().entries.at(kKeyboardEntry).shown);
    EXPECT_TRUE(sim.window->State().entries.at(kMouseEntry).current);
    EXPECT_FALSE(sim.window->State().entries.at(kKeyboardEntry).current);
}

TEST(MainWindowStart, TheWindowLoadsItsLanguageItself) {
    // Whatever an earlier window of this test program loaded is gone.
    ASSERT_TRUE(ui::LanguageTexts::Instance().LoadFromData("<Language name=\"none\"/>"));
    test::MainWindowOnSim sim;
    ASSERT_NE(sim.window, nullptr);
    sim.bus->Plug(SimPath::KeyboardCable);
    sim.window->show();
    ASSERT_SOON(sim.window->State().entries.at(kKeyboardEntry).shown);
    EXPECT_EQ(ui::LanguageTexts::Instance().LanguageName(), "English");
    CDeviceOptionUI* entry = sim.window->Entry(kKeyboardEntry);
    auto* name = entry->findChild<ui::CControlUI*>("device_select_name");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->GetText(), "Keyboard");
    EXPECT_EQ(entry->DeviceOption()->toolTip(), "Keyboard");
    // Texts the layout names by key show as texts.
    auto* close = sim.window->FindControl("closebtn");
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->toolTip(), "Close");
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
        ASSERT_SOON(EntryState(kMouseEntry).shown && EntryState(kPadEntry).shown);
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

}  // namespace
}  // namespace rerov::shell
