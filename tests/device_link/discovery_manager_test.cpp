// The device manager's decisions, driven directly on the test thread with the simulator
// behind the links and a fake window.

#include <gtest/gtest.h>

#include "tests/device_link/discovery_test_support.h"

namespace rerov::discoverytest {
namespace {

using Lines = std::vector<std::string>;

class ManagerTest : public DiscoveryTest {
  protected:
    void SetUp() override {
        bus_->SetTraceSink(
            [this](sim::TraceDirection direction, const uint8_t* report, size_t length) {
                if (direction != sim::TraceDirection::HostToDevice || length <= 3) return;
                std::lock_guard lock(traceMutex_);
                sentCommands_.push_back(report[3]);
            });
        manager_.CreateDevicePages();
        ASSERT_NE(Keyboard(), nullptr);
    }
    void TearDown() override { bus_->SetTraceSink(nullptr); }

    FakePage* Keyboard() { return host_.Page(kFamilyKeyboard); }
    DeviceLink& Link() { return Keyboard()->MainLink(); }

    void Arrive(sim::SimPath path, size_t row) {
        bus_->Plug(path);
        ASSERT_TRUE(MarkPresent(row)) << "row " << row;
        manager_.OnDeviceArrival(row);
    }
    void Remove(sim::SimPath path, size_t row) {
        bus_->Unplug(path);
        ASSERT_TRUE(found_.MarkAbsent(row)) << "row " << row;
        manager_.OnDeviceRemoval(row);
    }
    size_t Sent(uint8_t command) {
        std::lock_guard lock(traceMutex_);
        return static_cast<size_t>(std::count(sentCommands_.begin(), sentCommands_.end(), command));
    }
    void ExpectOnCable() {
        EXPECT_TRUE(Link().IsConnected());
        EXPECT_FALSE(Link().IsReceiver());
        EXPECT_EQ(Link().ChunkSize(), kWiredChunkSize);
        EXPECT_TRUE(Link().Wired().IsOpen());
    }
    void ExpectOnReceiver() {
        EXPECT_TRUE(Link().IsConnected());
        EXPECT_TRUE(Link().IsReceiver());
        EXPECT_EQ(Link().ChunkSize(), kReceiverChunkSize);
        EXPECT_TRUE(Link().Receiver().IsOpen());
    }

    std::mutex traceMutex_;
    std::vector<uint8_t> sentCommands_;
};

TEST_F(ManagerTest, StartUpCreatesEveryPageButTheHeadsets) {
    EXPECT_EQ(log_.Lines(), (Lines{"create 4 family 0", "create 0 family 1", "create 8 family 2"}));
    EXPECT_EQ(host_.PageCount(), 3u);
}

TEST_F(ManagerTest, CableArrivalOpensWiredLinkSelectsEntryAndStartsLinkCheck) {
    const size_t mark = log_.Size();
    Arrive(sim::SimPath::KeyboardCable, kKeyboardCommand);
    EXPECT_EQ(log_.Since(mark),
              (Lines{"record 1 kind 1", "select 1", "timer 1 1001 500", "after-arrival"}));
    ExpectOnCable();
    EXPECT_FALSE(Link().Receiver().IsOpen());

    const size_t second = log_.Size();
    Arrive(sim::SimPath::KeyboardCable, kKeyboardSecondary);
    EXPECT_EQ(log_.Since(second), (Lines{"open-secondary 1 kind 1", "after-arrival"}));
    EXPECT_EQ(host_.PageCount(), 3u);
}

TEST_F(ManagerTest, ReceiverPluggedWhileCableConnectedChangesNothing) {
    Arrive(sim::SimPath::KeyboardCable, kKeyboardCommand);
    const size_t mark = log_.Size();
    Arrive(sim::SimPath::KeyboardReceiver, kReceiverCommand);
    EXPECT_EQ(log_.Since(mark), (Lines{"after-arrival"}));
    ExpectOnCable();
    EXPECT_FALSE(Link().Receiver().IsOpen());
    EXPECT_EQ(Sent(kCmdQueryReceiverLink), 0u);
}

TEST_F(ManagerTest, CableUnpluggedSwitchesToReceiverWithoutNewPage) {
    Arrive(sim::SimPath::KeyboardCable, kKeyboardCommand);
    Arrive(sim::SimPath::KeyboardReceiver, kReceiverCommand);
    FakePage* page = Keyboard();
    const size_t mark = log_.Size();

    Remove(sim::SimPath::KeyboardCable, kKeyboardCommand);

    ExpectOnReceiver();
    EXPECT_EQ(Keyboard(), page);
    EXPECT_EQ(host_.PageCount(), 3u);
    EXPECT_EQ(log_.Since(mark),
              (Lines{"power 1", "timer 1 1007 2000", "readall 1", "close-settings"}));
    EXPECT_EQ(Sent(kCmdQueryReceiverLink), 1u);  // in reach: the first answer is true
    EXPECT_EQ(Sent(kCmdBeginSession), 1u);
    EXPECT_EQ(sleeps_.load(), 0);
}

TEST_F(ManagerTest, ReceiverQueryIsTriedTwentySixTimesAndTheSwitchGoesOn) {
    Arrive(sim::SimPath::KeyboardCable, kKeyboardCommand);
    Arrive(sim::SimPath::KeyboardReceiver, kReceiverCommand);
    bus_->SetKeyboardInReach(false);
    const size_t mark = log_.Size();

    Remove(sim::SimPath::KeyboardCable, kKeyboardCommand);

    EXPECT_EQ(Sent(kCmdQueryReceiverLink), 26u);
    EXPECT_EQ(sleeps_.load(), 25);  // between answers, not after the last
    ExpectOnReceiver();
    EXPECT_EQ(log_.Since(mark),
              (Lines{"power 1", "timer 1 1007 2000", "readall 1", "close-settings"}));
}

TEST_F(ManagerTest, CableBackSwitchesToCableAndShowsTheEntry) {
    Arrive(sim::SimPath::KeyboardCable, kKeyboardCommand);
    Arrive(sim::SimPath::KeyboardReceiver, kReceiverCommand);
    Remove(sim::SimPath::KeyboardCable, kKeyboardCommand);
    const size_t mark = log_.Size();

    Arrive(sim::SimPath::KeyboardCable, kKeyboardCommand);

    ExpectOnCable();
    EXPECT_EQ(log_.Since(mark), (Lines{"timer 1 1001 500", "show 1 1", "close-settings", "power 1",
                                       "after-arrival"}));
    EXPECT_EQ(host_.PageCount(), 3u);
}

TEST_F(ManagerTest, UnusedReceiverRemovedWhileOnCableChangesNothing) {
    Arrive(sim::SimPath::KeyboardCable, kKeyboardCommand);
    Arrive(sim::SimPath::KeyboardReceiver, kReceiverCommand);
    const size_t mark = log_.Size();
    Remove(sim::SimPath::KeyboardReceiver, kReceiverCommand);
    EXPECT_TRUE(log_.Since(mark).empty());
    ExpectOnCable();
}

TEST_F(ManagerTest, UnpluggingTheOnlyPathClosesBothInterfacesAndKeepsThePage) {
    struct Case {
        const char* name;
        bool viaReceiver;  // cable first, then receiver, then cable out, then receiver out
    };
    for (const Case& c : {Case{"cable only", false}, Case{"after a switch", true}}) {
        SCOPED_TRACE(c.name);
        Arrive(sim::SimPath::KeyboardCable, kKeyboardCommand);
        size_t last = kKeyboardCommand;
        sim::SimPath lastPath = sim::SimPath::KeyboardCable;
        if (c.viaReceiver) {
            Arrive(sim::SimPath::KeyboardReceiver, kReceiverCommand);
            Remove(sim::SimPath::KeyboardCable, kKeyboardCommand);
            last = kReceiverCommand;
            lastPath = sim::SimPath::KeyboardReceiver;
        }
        const size_t mark = log_.Size();
        Remove(lastPath, last);
        EXPECT_EQ(log_.Since(mark), (Lines{"deactivate 1"}));
        EXPECT_FALSE(Link().IsConnected());
        EXPECT_FALSE(Link().Wired().IsOpen());
        EXPECT_FALSE(Link().Receiver().IsOpen());
        EXPECT_EQ(host_.PageCount(), 3u);
    }
}

TEST_F(ManagerTest, ReceiverAloneOpensReceiverModeAndLeavesTheEntryToTheLinkCheck) {
    const size_t mark = log_.Size();
    Arrive(sim::SimPath::KeyboardReceiver, kReceiverCommand);
    ExpectOnReceiver();
    EXPECT_FALSE(Link().Wired().IsOpen());
    EXPECT_EQ(log_.Since(mark), (Lines{"record 1 kind 1", "timer 1 1001 500", "after-arrival"}));

    const size_t events = log_.Size();
    Arrive(sim::SimPath::KeyboardReceiver, kReceiverSecondary);
    EXPECT_EQ(log_.Since(events), (Lines{"open-secondary 1 kind 9", "after-arrival"}));
    const size_t gone = log_.Size();
    Remove(sim::SimPath::KeyboardReceiver, kReceiverSecondary);
    EXPECT_EQ(log_.Since(gone), (Lines{"close-secondary 1 kind 9"}));
}

TEST_F(ManagerTest, EachFamilyOpensItsOwnPageOnItsCable) {
    struct Case {
        sim::SimPath path;
        size_t row;
        int family;
    };
    for (const Case& c : {Case{sim::SimPath::MouseCable, kMouseCommand, kFamilyMouse},
                          Case{sim::SimPath::MousePad, kPadCommand, kFamilyMousePad},
                          Case{sim::SimPath::KeyboardCable, kKeyboardCommand, kFamilyKeyboard}}) {
        SCOPED_TRACE(c.row);
        Arrive(c.path, c.row);
        FakePage* page = host_.Page(c.family);
        ASSERT_NE(page, nullptr);
        EXPECT_TRUE(page->MainLink().IsConnected());
        EXPECT_EQ(page->MainLink().ChunkSize(), kWiredChunkSize);
        EXPECT_TRUE(log_.Contains("select " + std::to_string(c.family)));
    }
    EXPECT_EQ(host_.PageCount(), 3u);
}

TEST_F(ManagerTest, HeadsetPageIsCreatedOnItsFirstArrival) {
    const size_t mark = log_.Size();
    Arrive(sim::SimPath::Headset, kHeadsetCommand);
    EXPECT_EQ(log_.Since(mark), (Lines{"create 10 family 3", "record 3 kind 7", "select 3",
                                       "timer 3 1001 500", "after-arrival"}));
    ASSERT_NE(host_.Page(kFamilyHeadset), nullptr);
    EXPECT_TRUE(host_.Page(kFamilyHeadset)->MainLink().IsConnected());
}

TEST_F(ManagerTest, InterfaceThatWillNotOpenLeavesLinkUnconnectedAndEntryPresent) {
    const SupportedDevice row = found_.Entry(kKeyboardCommand);
    ASSERT_EQ(
        found_.MarkPresent(row.vendorId, row.productId, row.interfaceNumber, row.collectionNumber,
                           row.usagePage, row.usage, "vid_0000&pid_0000&mi_01&col04#sim:nowhere/1"),
        static_cast<int>(kKeyboardCommand));
    manager_.OnDeviceArrival(kKeyboardCommand);
    EXPECT_FALSE(Link().IsConnected());
    EXPECT_FALSE(log_.Contains("record 1 kind 1"));
    EXPECT_TRUE(found_.IsPresent(kKeyboardCommand));
}

TEST_F(ManagerTest, ShutdownClosesTheOpenInterfaceAndRemovesEveryPage) {
    const std::pair<sim::SimPath, size_t> paths[] = {
        {sim::SimPath::KeyboardCable, kKeyboardCommand},
        {sim::SimPath::KeyboardReceiver, kReceiverCommand},
    };
    for (const auto& [path, row] : paths) {
        SCOPED_TRACE(row);
        Arrive(path, row);
        ASSERT_TRUE(Link().Wired().IsOpen() || Link().Receiver().IsOpen());
        DeviceLink& link = Link();
        const size_t mark = log_.Size();
        manager_.DestroyDevicePages();
        EXPECT_EQ(log_.Since(mark), (Lines{"remove 0", "remove 1", "remove 2"}));
        EXPECT_FALSE(link.IsConnected());
        EXPECT_FALSE(link.Wired().IsOpen());
        EXPECT_FALSE(link.Receiver().IsOpen());
        Remove(path, row);  // the fake window keeps its pages: the next case starts afresh
    }
}

TEST_F(ManagerTest, DeviceRecordIsTheCableCommandRow) {
    const std::vector<std::pair<size_t, size_t>> cases = {
        {0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 4}, {5, 4}, {6, 4}, {7, 4}, {8, 8}, {9, 8}, {10, 10}};
    for (const auto& [entry, record] : cases) {
        EXPECT_TRUE(manager_.DeviceRecordOf(entry) == found_.Entry(record)) << "entry " << entry;
    }
    EXPECT_EQ(manager_.DeviceRecordOf(found_.Size()).vendorId, 0);
}

TEST_F(ManagerTest, FamilyOfRowMatchesIdsKindAndRole) {
    struct Case {
        int row;
        int role;
        int family;
    };
    for (const Case& c : {Case{0, 0, kFamilyKeyboard}, Case{4, 0, kFamilyMouse},
                          Case{8, 0, kFamilyMousePad}, Case{10, 0, kFamilyHeadset}, Case{2, 0, -1},
                          Case{0, 255, -1}, Case{-1, 0, -1}, Case{99, 0, -1}}) {
        EXPECT_EQ(manager_.FamilyOfRow(c.row, c.role), c.family) << c.row << "/" << c.role;
    }
}

}  // namespace
}  // namespace rerov::discoverytest
