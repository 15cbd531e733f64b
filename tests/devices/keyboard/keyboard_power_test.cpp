// The keyboard's power status: read through the command link, with the link type the host
// knows, and shown on the page.

#include "tests/devices/keyboard/keyboard_observed.h"

namespace rerov::test {
namespace {

class KeyboardPower : public ObservedKeyboardTest {
  protected:
    void SetUp() override {
        ObservedKeyboardTest::SetUp();
        keyboard_->SetView(&view_);
    }
    void TearDown() override {
        keyboard_->SetView(nullptr);
        ObservedKeyboardTest::TearDown();
    }
    QueueingPageView view_;
};

TEST_F(KeyboardPower, StatusCarriesTheLinkTypeOfThePathItCameBy) {
    for (bool receiver : {false, true}) {
        SCOPED_TRACE(receiver ? "receiver" : "cable");
        Connect(receiver);
        Firmware().SetPowerStatus(57, sim::KeyboardModel::kCharging);
        view_.powerShown.clear();
        keyboard_->ReadPowerStatus();
        const auto status = keyboard_->PowerStatus();
        EXPECT_EQ(status[0], 57);
        EXPECT_EQ(status[1], sim::KeyboardModel::kCharging);
        EXPECT_EQ(status[3], receiver ? 1 : 0);
        ASSERT_EQ(view_.powerShown.size(), 1u);
        EXPECT_EQ(view_.powerShown.front(), status);
        bus_->Unplug(receiver ? sim::SimPath::KeyboardReceiver : sim::SimPath::KeyboardCable);
        keyboard_->MainLink().SetConnected(false);
    }
}

TEST_F(KeyboardPower, ARefusedReadKeepsTheLastStatus) {
    Connect(true);
    Firmware().SetPowerStatus(80, sim::KeyboardModel::kOnBattery);
    keyboard_->ReadPowerStatus();
    const auto last = keyboard_->PowerStatus();
    ASSERT_EQ(last[0], 80);

    Firmware().SetPowerStatus(20, sim::KeyboardModel::kOnBattery);
    bus_->InjectFault(sim::SimPath::KeyboardReceiver,
                      {sim::SimFault::Kind::StatusFF, 1, 0x1A, std::chrono::milliseconds(0)});
    keyboard_->ReadPowerStatus();
    EXPECT_EQ(keyboard_->PowerStatus(), last);
    EXPECT_EQ(view_.powerShown.size(), 1u);
}

TEST_F(KeyboardPower, NothingIsAskedWhileHeldUnreachableOrUnconnected) {
    keyboard_->ReadPowerStatus();  // not connected
    Connect(true);
    keyboard_->SetStatusHold(true);
    keyboard_->ReadPowerStatus();
    keyboard_->SetStatusHold(false);
    bus_->SetKeyboardInReach(false);
    keyboard_->ReadPowerStatus();
    EXPECT_TRUE(Sent(0x1A).empty());
    EXPECT_TRUE(view_.powerShown.empty());
}

TEST_F(KeyboardPower, ReceiverLinkIsAliveOnlyThroughAReceiverThatReachesTheKeyboard) {
    EXPECT_EQ(keyboard_->IsReceiverLinkAlive(), 0);  // not connected
    Connect(false);
    EXPECT_EQ(keyboard_->IsReceiverLinkAlive(), 0);  // the cable has no receiver to lose
    bus_->Unplug(sim::SimPath::KeyboardCable);
    Connect(true);
    EXPECT_EQ(keyboard_->IsReceiverLinkAlive(), 1);
    bus_->SetKeyboardInReach(false);
    EXPECT_EQ(keyboard_->IsReceiverLinkAlive(), 0);
}

}  // namespace
}  // namespace rerov::test
