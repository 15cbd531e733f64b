#include "tests/devices/keyboard/keyboard_test_support.h"

namespace rerov::test {
namespace {

using KeyboardFixture = KeyboardSimTest;

// The fixture itself: the keyboard it makes is the factory's, and connecting it reaches the
// simulated firmware (a read of the information block gets the firmware's key count).
TEST_F(KeyboardFixture, ConnectsTheFactoryKeyboardToTheSimulatedFirmware) {
    ASSERT_NE(device_, nullptr);
    EXPECT_EQ(device_->Kind(), kKindKeyboard);
    Connect();
    std::array<uint8_t, kDeviceInfoSize> info{};
    ASSERT_EQ(device_->MainLink().ReadDeviceInfo(info.data()), 1);
    EXPECT_EQ(info[sim::KeyboardModel::kInfoKeyPositionCount], Firmware().KeyPositionCount());
    EXPECT_FALSE(Sent(0x03).empty());
}

}  // namespace
}  // namespace rerov::test
