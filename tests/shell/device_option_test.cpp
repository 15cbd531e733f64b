// The device list entry: icons by kind, the sync tick, and the periodic work of its timers.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QtTest/QSignalSpy>
#include <QtTest/QTest>
#include <memory>

#include "controls/control_timers.h"
#include "controls/language_texts.h"
#include "controls/layout_builder.h"
#include "controls/skin_setup.h"
#include "shell/device_option_ui.h"
#include "tests/shell/shell_test_support.h"

namespace rerov::shell {
namespace {

std::unique_ptr<CDeviceOptionUI> BuildEntry() {
    ui::LayoutBuilder builder;
    QWidget* root =
        builder.Create(QStringLiteral("XML\\CustomControlXML\\DeviceOption.xml"), nullptr, nullptr);
    return std::unique_ptr<CDeviceOptionUI>(qobject_cast<CDeviceOptionUI*>(root));
}

void Fire(CDeviceOptionUI* entry, int timer) {
    ui::ControlTimerEvent event(timer);
    QCoreApplication::sendEvent(entry, &event);
}

struct IconCase {
    int kind;
    int role;
    const char* stem;
};

TEST(DeviceEntry, IconsFollowKindAndRole) {
    ui::ApplyLanguage(
        QStringLiteral("lan_en.xml"));  // the texts the window starts with here (English)
    const IconCase cases[] = {
        {1, 0, "kb_device"},      {1, 5, "kb_device"},      {2, 0, "ms_device"},
        {3, 0, "hard_mp_device"}, {3, 1, "soft_mp_device"}, {4, 0, "hd_device"},
        {7, 0, "hd_device"},      {5, 0, "hub_device"},     {9, 0, "unknow_device"},
        {6, 0, "unknow_device"},  {0, 0, "unknow_device"},
    };
    for (const IconCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " role " << c.role);
        auto entry = BuildEntry();
        ASSERT_NE(entry, nullptr);
        entry->SetDeviceIcons(c.kind, c.role);
        EXPECT_EQ(entry->Kind(), c.kind);
        const QString base = QStringLiteral("common/device_ico/") + QLatin1String(c.stem);
        EXPECT_EQ(entry->NormalImage(), base + "_normal.png");
        EXPECT_EQ(entry->SelectedImage(), base + "_selected.png");
        EXPECT_EQ(entry->SyncNormalImage(), base + "_synchro_normal.png");
        EXPECT_EQ(entry->SyncSelectedImage(), base + "_synchro_selected.png");
        ui::COptionUI* option = entry->DeviceOption();
        ASSERT_NE(option, nullptr);
        EXPECT_EQ(option->GetNormalImage(), base + "_normal.png");
        EXPECT_EQ(option->toolTip(), ui::Tr(QLatin1String(c.stem) + "_name_text"));
        EXPECT_TRUE(ui::LanguageTexts::Instance().Has(QLatin1String(c.stem) + "_name_text"));
    }
}

TEST(DeviceEntry, MousePadOfAnotherRoleKeepsItsImages) {
    auto entry = BuildEntry();
    ASSERT_NE(entry, nullptr);
    entry->SetDeviceIcons(1, 0);
    entry->SetDeviceIcons(3, 2);
    EXPECT_EQ(entry->Kind(), 3);
    EXPECT_EQ(entry->Role(), 2);
    EXPECT_EQ(entry->NormalImage(), QStringLiteral("common/device_ico/kb_device_normal.png"));
}

TEST(DeviceEntry, SyncTickSwapsTheImages) {
    auto entry = BuildEntry();
    ASSERT_NE(entry, nullptr);
    entry->SetDeviceIcons(2, 0);
    entry->SetSyncTicked(true);
    EXPECT_TRUE(entry->IsSyncTicked());
    EXPECT_EQ(entry->DeviceOption()->GetNormalImage(), entry->SyncNormalImage());
    entry->SetSyncTicked(false);
    EXPECT_FALSE(entry->IsSyncTicked());
    EXPECT_EQ(entry->DeviceOption()->GetNormalImage(), entry->NormalImage());
}

TEST(DeviceEntry, TheWholeTileSelectsTheDevice) {
    auto entry = BuildEntry();
    ASSERT_NE(entry, nullptr);
    entry->SetEntryName(QStringLiteral("Keyboard"));
    const QWidget* name = entry->findChild<QWidget*>(QStringLiteral("device_select_name"));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(entry->childAt(name->geometry().center()), entry->DeviceOption());
}

TEST(DeviceEntry, PowerTabKeepsTheLastValidValues) {
    auto entry = BuildEntry();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->PowerTabIndex(), -1);
    entry->SetPowerTab(QStringLiteral("device_power_switch"), 2);
    entry->SetPowerTab(QString(), 5);
    entry->SetPowerTab(QStringLiteral("device_power_switch"), -1);
    EXPECT_EQ(entry->PowerTabName(), QStringLiteral("device_power_switch"));
    EXPECT_EQ(entry->PowerTabIndex(), 2);
    entry->BindPageTab(QStringLiteral("device_switch"), 1);
    EXPECT_EQ(entry->PageTabName(), QStringLiteral("device_switch"));
    EXPECT_EQ(entry->PageTabIndex(), 1);
}

// A fixture with an entry driving a fake page.
class EntryTimers : public ::testing::Test {
  protected:
    void SetUp() override {
        entry = BuildEntry();
        ASSERT_NE(entry, nullptr);
        entry->SetPage(&page);
        spy = std::make_unique<QSignalSpy>(entry.get(), &CDeviceOptionUI::showEntryRequested);
    }
    // The show/hide requests so far as "+family" / "-family".
    QStringList Requests() const {
        QStringList out;
        for (const QList<QVariant>& args : *spy) {
            out << (args[1].toBool() ? QStringLiteral("+") : QStringLiteral("-")) +
                       QString::number(args[0].toInt());
        }
        return out;
    }
    bool Armed(int id) const { return ui::IsControlTimerArmed(entry.get(), id); }

    test::FakeEntryPage page;
    std::unique_ptr<CDeviceOptionUI> entry;
    std::unique_ptr<QSignalSpy> spy;
};

// Every arming of the entry's timers with the delay it takes: the first one and the one the
// handler re-arms with. The numbers are the protocol's, written out rather than taken from
// the header the code uses, so a wrong constant there fails here.
struct ArmingCase {
    const char* what;
    bool receiver;
    bool alive;  // the device behind the receiver answers
    int fired;   // the timer whose handler runs; 0: StartLinkCheck
    int armed;   // the timer it arms
    int periodMs;
};

TEST_F(EntryTimers, EveryTimerIsArmedWithItsDelay) {
    const ArmingCase cases[] = {
        {"link_check_first", false, true, 0, 1001, 500},
        {"link_check_retry", true, false, 1001, 1001, 3000},
        {"light_frame_first", false, true, 1001, 1000, 5},
        {"light_frame_repeat", false, true, 1000, 1000, 50},
        {"power_status_first", false, true, 1001, 1005, 50},
        {"power_status_repeat", false, true, 1005, 1005, 5000},
        {"receiver_watch_first", true, true, 1001, 1007, 2000},
        {"receiver_watch_repeat", true, true, 1007, 1007, 3000},
    };
    for (const ArmingCase& c : cases) {
        SCOPED_TRACE(c.what);
        ui::KillAllControlTimers(entry.get());
        page.Connect(c.receiver);
        page.alive = c.alive;
        entry->SetVisible(true);
        if (c.fired == 0) {
            entry->StartLinkCheck();
        } else {
            Fire(entry.get(), c.fired);
        }
        EXPECT_EQ(ui::ControlTimerPeriod(entry.get(), c.armed), c.periodMs);
    }
}

TEST_F(EntryTimers, LinkCheckOnCableReadsAndStartsTheFrameAndPowerTimers) {
    page.Connect(false);
    Fire(entry.get(), kTimerLinkCheck);
    EXPECT_EQ(page.device.readAlls, 1);
    EXPECT_EQ(page.aliveQueries, 0);
    EXPECT_TRUE(Requests().isEmpty());
    EXPECT_TRUE(Armed(kTimerLightFrame));
    EXPECT_TRUE(Armed(kTimerPowerStatus));
    EXPECT_FALSE(Armed(kTimerReceiverWatch));
    EXPECT_FALSE(Armed(kTimerLinkCheck));
}

TEST_F(EntryTimers, LinkCheckThroughAnsweringReceiverShowsTheEntryAndWatches) {
    page.Connect(true);
    Fire(entry.get(), kTimerLinkCheck);
    EXPECT_EQ(Requests(), QStringList{"+1"});
    EXPECT_EQ(page.device.readAlls, 1);
    EXPECT_TRUE(Armed(kTimerReceiverWatch));
    EXPECT_TRUE(Armed(kTimerPowerStatus));
}

TEST_F(EntryTimers, LinkCheckThroughSilentReceiverHidesAndRetries) {
    page.Connect(true);
    page.alive = false;
    entry->SetVisible(true);
    Fire(entry.get(), kTimerLinkCheck);
    EXPECT_EQ(Requests(), QStringList{"-1"});
    EXPECT_FALSE(entry->IsShown());
    EXPECT_EQ(page.device.readAlls, 0);
    EXPECT_TRUE(Armed(kTimerLinkCheck));
    EXPECT_FALSE(Armed(kTimerLightFrame));
    // Already hidden: the next try asks nothing more of the window.
    Fire(entry.get(), kTimerLinkCheck);
    EXPECT_EQ(Requests(), QStringList{"-1"});
}

struct WatchCase {
    const char* what;
    bool receiver;
    bool connected;
    bool alive;
    bool shown;
    const char* request;  // "" none
    int powerReads;
    bool rearmed;
};

TEST_F(EntryTimers, ReceiverWatchFollowsTheDeviceBehindTheReceiver) {
    const WatchCase cases[] = {
        {"back_in_reach", true, true, true, false, "+1", 1, true},
        {"still_in_reach", true, true, true, true, "", 0, true},
        {"out_of_reach", true, true, false, true, "-1", 0, true},
        {"still_out_of_reach", true, true, false, false, "", 0, true},
        // A receiver that is gone hides a shown entry and never brings a hidden one back,
        // whatever the device would answer.
        {"receiver_gone", true, false, true, true, "-1", 0, false},
        {"receiver_gone_hidden", true, false, true, false, "", 0, false},
        {"on_cable", false, true, false, true, "", 0, false},
    };
    for (const WatchCase& c : cases) {
        SCOPED_TRACE(c.what);
        spy->clear();
        page.device.powerReads = 0;
        ui::KillAllControlTimers(entry.get());
        page.Connect(c.receiver, c.connected);
        page.alive = c.alive;
        entry->SetVisible(c.shown);
        Fire(entry.get(), kTimerReceiverWatch);
        EXPECT_EQ(Requests().join(','), QLatin1String(c.request));
        EXPECT_EQ(page.device.powerReads, c.powerReads);
        EXPECT_EQ(Armed(kTimerReceiverWatch), c.rearmed);
    }
}

TEST_F(EntryTimers, PowerStatusRepeatsOnlyWithAPowerDisplay) {
    Fire(entry.get(), kTimerPowerStatus);
    EXPECT_EQ(page.device.powerReads, 1);
    EXPECT_TRUE(Armed(kTimerPowerStatus));
    page.device.powerDisplay = false;
    Fire(entry.get(), kTimerPowerStatus);
    EXPECT_EQ(page.device.powerReads, 2);
    EXPECT_FALSE(Armed(kTimerPowerStatus));
}

TEST_F(EntryTimers, LightFrameRepeatsWhileConnected) {
    page.Connect(false);
    Fire(entry.get(), kTimerLightFrame);
    EXPECT_EQ(page.frames, 1);
    EXPECT_TRUE(Armed(kTimerLightFrame));
    page.Connect(false, false);
    Fire(entry.get(), kTimerLightFrame);
    EXPECT_EQ(page.frames, 2);
    EXPECT_FALSE(Armed(kTimerLightFrame));
}

TEST_F(EntryTimers, SyncRequestRereadsOnce) {
    Fire(entry.get(), kTimerSyncRequest);
    EXPECT_EQ(page.syncRequests, 1);
    EXPECT_FALSE(Armed(kTimerSyncRequest));
}

TEST_F(EntryTimers, ClearedPageStopsEveryTimer) {
    page.Connect(false);
    entry->StartLinkCheck();
    entry->StartTimer(kTimerPowerStatus, 5000);
    entry->ClearPage();
    EXPECT_FALSE(Armed(kTimerLinkCheck));
    EXPECT_FALSE(Armed(kTimerPowerStatus));
    Fire(entry.get(), kTimerLinkCheck);  // a late event finds no page and does nothing
    EXPECT_EQ(page.device.readAlls, 0);
}

TEST_F(EntryTimers, ArmedLinkCheckRunsFromTheEventLoop) {
    page.Connect(false);
    entry->StartLinkCheck();
    ASSERT_SOON(page.device.readAlls == 1);
    ASSERT_SOON(page.frames > 0);
    page.Connect(false, false);  // the frames stop with the link
}

}  // namespace
}  // namespace rerov::shell
