// The keyboard behind its receiver: the receiver's own 0xAA answer while the keyboard is
// out of reach, the link query while it is in reach, and one keyboard behind both paths.

#include <gtest/gtest.h>

#include "tests/sim/sim_test_support.h"

namespace rerov::sim::testing {
namespace {

class ReceiverTest : public SimTest {
  protected:
    void SetUp() override {
        bus_.Plug(SimPath::KeyboardCable);
        bus_.Plug(SimPath::KeyboardReceiver);
        cable_ = OpenCommand(SimPath::KeyboardCable);
        receiver_ = OpenCommand(SimPath::KeyboardReceiver);
        ASSERT_NE(cable_, nullptr);
        ASSERT_NE(receiver_, nullptr);
    }

    std::unique_ptr<HidConnection> cable_, receiver_;
};

struct OutOfReachCase {
    const char* name;
    Report request;
};

Report WithBadChecksum(Report report) {
    report[2] ^= 0x80;
    return report;
}

const OutOfReachCase kOutOfReachCases[] = {
    {"begin session", Request(kCmdBeginSession)},
    {"read info", Request(kCmdReadDeviceInfo, 24, 0)},
    {"write key table", Request(kCmdWriteKeyTable, 3, 0, {9, 9, 9})},
    {"write parameters", Request(kCmdWriteParameters, 1, 0, {1})},
    {"read status", Request(kCmdReadStatus, 6, 0)},
    {"link query", Request(kCmdQueryReceiverLink)},
    {"unknown command", Request(0x42)},
    {"bad checksum", WithBadChecksum(Request(kCmdReadDeviceInfo, 24, 0))},
};

TEST_F(ReceiverTest, OutOfReachTheReceiverAnswersEveryCommandWithAA) {
    bus_.SetKeyboardInReach(false);
    const auto keysBefore = bus_.Keyboard().KeyTable();
    const auto parametersBefore = bus_.Keyboard().ParameterArea();
    for (const OutOfReachCase& c : kOutOfReachCases) {
        SCOPED_TRACE(c.name);
        const Report reply = Transact(*receiver_, c.request);
        EXPECT_EQ(reply[0], 4);
        EXPECT_EQ(reply[3], 0xAA);
        EXPECT_EQ(reply[8], 0x00);
    }
    EXPECT_EQ(bus_.Keyboard().KeyTable(), keysBefore) << "nothing reached the keyboard";
    EXPECT_EQ(bus_.Keyboard().ParameterArea(), parametersBefore);
    EXPECT_EQ(bus_.Keyboard().CommandCount(kCmdBeginSession), 0u);

    // The cable does not go through the receiver.
    const Report cable = Transact(*cable_, Request(kCmdReadDeviceInfo, 24, 0));
    EXPECT_EQ(cable[3], kCmdReadDeviceInfo);
    EXPECT_EQ(cable[7], 0);
}

TEST_F(ReceiverTest, InReachTheLinkQueryAnswersFFAndCommandsReachTheKeyboard) {
    const Report query = Transact(*receiver_, Request(kCmdQueryReceiverLink));
    EXPECT_EQ(query[3], 0xAA);
    EXPECT_EQ(query[7], 0);
    EXPECT_EQ(query[8], 0xFF);

    bus_.SetKeyboardInReach(false);
    EXPECT_EQ(Transact(*receiver_, Request(kCmdQueryReceiverLink))[8], 0x00);
    bus_.SetKeyboardInReach(true);
    EXPECT_TRUE(bus_.IsKeyboardInReach());
    EXPECT_EQ(Transact(*receiver_, Request(kCmdQueryReceiverLink))[8], 0xFF);
    const Report info = Transact(*receiver_, Request(kCmdReadDeviceInfo, 24, 0));
    EXPECT_EQ(info[3], kCmdReadDeviceInfo);
    EXPECT_EQ(info[13], bus_.Keyboard().KeyPositionCount());
}

TEST_F(ReceiverTest, BothPathsReachTheSameKeyboardMemory) {
    ASSERT_EQ(Transact(*receiver_, Request(kCmdWriteParameters, 3, 6, {0x11, 0x22, 0x33}))[7], 0);
    const Report readBack = Transact(*cable_, Request(kCmdReadParameters, 3, 6));
    EXPECT_EQ(readBack[8], 0x11);
    EXPECT_EQ(readBack[9], 0x22);
    EXPECT_EQ(readBack[10], 0x33);
    ASSERT_EQ(Transact(*cable_, Request(kCmdWriteKeyTable, 3, 24, {0x20, 0x02, 0x00}))[7], 0);
    const auto keys = bus_.Keyboard().KeyTable();
    EXPECT_EQ(keys[24], 0x20);
    EXPECT_EQ(keys[25], 0x02);
}

TEST_F(ReceiverTest, EventsComeOnTheEventCollectionAndNotFromAKeyboardOutOfReach) {
    auto events = OpenPath(EventPath(SimPath::KeyboardReceiver), kEventAccess);
    ASSERT_NE(events, nullptr);
    std::array<uint8_t, 8> report{};
    ASSERT_TRUE(bus_.SendEventCode(SimPath::KeyboardReceiver, 0x1132));
    ASSERT_EQ(events->Read(report.data(), report.size(), kReplyTimeoutMs), 3);
    EXPECT_EQ(report[0], 3);
    EXPECT_EQ(report[1], 0x32);
    EXPECT_EQ(report[2], 0x11);

    bus_.SetKeyboardInReach(false);
    EXPECT_FALSE(bus_.SendEventCode(SimPath::KeyboardReceiver, 0x401));
    EXPECT_EQ(events->Read(report.data(), report.size(), 50), 0);

    EXPECT_FALSE(bus_.SendEvent(SimPath::KeyboardCable, {4, 1, 4})) << "not an event report";
    EXPECT_FALSE(bus_.SendEvent(SimPath::KeyboardCable, {3, 1}));
    EXPECT_FALSE(bus_.SendEventCode(SimPath::MousePad, 0x401)) << "mouse pad not plugged";
}

struct KeyboardEventCase {
    const char* name;
    bool (*act)(SimulatedBus&);
    uint16_t code;
};

const KeyboardEventCase kKeyboardEventCases[] = {
    {"key 0x23 pressed", [](SimulatedBus& bus) { return bus.PressKey(0x23, true); }, 0x523},
    {"key 0x23 released", [](SimulatedBus& bus) { return bus.PressKey(0x23, false); }, 0x623},
    {"profile 2", [](SimulatedBus& bus) { return bus.SelectProfileOnDevice(2); }, 0x1002},
    {"profile 1, device field 3", [](SimulatedBus& bus) { return bus.SelectProfileOnDevice(1, 3); },
     0x1131},
    {"configuration changed", [](SimulatedBus& bus) { return bus.SendKeyboardEvent(0x401); },
     0x401},
};

// The keyboard's own events leave by the cable while it is plugged, else by the receiver.
TEST_F(ReceiverTest, KeyboardEventsTakeTheCableFirstThenTheReceiver) {
    auto cableEvents = OpenPath(EventPath(SimPath::KeyboardCable), kEventAccess);
    auto receiverEvents = OpenPath(EventPath(SimPath::KeyboardReceiver), kEventAccess);
    std::array<uint8_t, 8> report{};
    for (const KeyboardEventCase& c : kKeyboardEventCases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.act(bus_));
        ASSERT_EQ(cableEvents->Read(report.data(), report.size(), kReplyTimeoutMs), 3);
        EXPECT_EQ(report[1] | report[2] << 8, c.code);
        EXPECT_EQ(receiverEvents->Read(report.data(), report.size(), 0), 0);
    }
    EXPECT_EQ(bus_.Keyboard().CurrentProfile(), 1);
    EXPECT_EQ(bus_.Keyboard().ParameterBlock(1)[17], 3) << "the device field is kept";
    EXPECT_FALSE(bus_.SelectProfileOnDevice(3));
    EXPECT_FALSE(bus_.SelectProfileOnDevice(0, 16)) << "the field is one nibble";
    EXPECT_EQ(bus_.Keyboard().CurrentProfile(), 1);

    bus_.Unplug(SimPath::KeyboardCable);
    ASSERT_TRUE(bus_.PressKey(5, true));
    ASSERT_EQ(receiverEvents->Read(report.data(), report.size(), kReplyTimeoutMs), 3);
    EXPECT_EQ(report[1] | report[2] << 8, 0x505);
    bus_.Unplug(SimPath::KeyboardReceiver);
    EXPECT_FALSE(bus_.PressKey(5, true));
}

TEST_F(ReceiverTest, AChangeOnTheDeviceReportsProfileDataBeforeConfiguration) {
    bus_.Unplug(SimPath::KeyboardCable);
    auto events = OpenPath(EventPath(SimPath::KeyboardReceiver), kEventAccess);
    ASSERT_NE(events, nullptr);
    ASSERT_TRUE(bus_.ReportChangedOnDevice());
    std::array<uint8_t, 8> report{};
    for (uint16_t expected : {0x402, 0x401}) {
        ASSERT_EQ(events->Read(report.data(), report.size(), kReplyTimeoutMs), 3);
        EXPECT_EQ(report[1] | report[2] << 8, expected);
    }
    bus_.SetKeyboardInReach(false);
    EXPECT_FALSE(bus_.ReportChangedOnDevice());
}

// The receiver's radio frame carries 24 payload bytes; the cable carries 56.
struct PayloadCase {
    const char* name;
    bool receiver;
    uint8_t command;
    uint8_t length;
    uint8_t status;
};

const PayloadCase kPayloadCases[] = {
    {"receiver write 24", true, kCmdWriteMacroData, 24, 0x00},
    {"receiver write 25", true, kCmdWriteMacroData, 25, 0xFE},
    {"receiver key table 56", true, kCmdWriteKeyTable, 56, 0xFE},
    {"receiver read 25", true, kCmdReadLedTable, 25, 0xFE},
    {"cable write 56", false, kCmdWriteMacroData, 56, 0x00},
    {"cable read 56", false, kCmdReadLedTable, 56, 0x00},
};

TEST_F(ReceiverTest, TheReceiverRefusesAPayloadLongerThanItsFrame) {
    for (const PayloadCase& c : kPayloadCases) {
        SCOPED_TRACE(c.name);
        bus_.Keyboard().ResetMemory();
        const std::vector<uint8_t> payload(c.length, 0x5A);
        const Report reply =
            Transact(c.receiver ? *receiver_ : *cable_, Request(c.command, c.length, 0, payload));
        EXPECT_EQ(reply[3], c.command);
        EXPECT_EQ(reply[7], c.status);
        if (c.command == kCmdWriteMacroData) {
            const std::vector<uint8_t> macros = bus_.Keyboard().MacroArea();
            const size_t written = c.status == 0 ? c.length : 0;
            EXPECT_EQ(std::count(macros.begin(), macros.end(), 0x5A), written)
                << "a refused write changes nothing";
        }
        if (c.command == kCmdWriteKeyTable) {
            EXPECT_EQ(bus_.Keyboard().KeyTable(), bus_.Keyboard().FactoryKeyTable());
        }
    }
}

// The keyboard behind the receiver runs on battery and drains by one percent per
// kStatusReadsPerPercent status reads; the cable powers it and charges it back.
TEST_F(ReceiverTest, TheBatteryDrainsOnTheReceiverAndChargesOnTheCable) {
    constexpr unsigned kPerPercent = KeyboardModel::kStatusReadsPerPercent;
    auto readStatus = [this](HidConnection& connection) {
        const Report reply = Transact(connection, Request(kCmdReadStatus, 6, 0));
        EXPECT_EQ(reply[7], 0);
        return std::pair<int, int>{reply[8], reply[9]};
    };
    EXPECT_EQ(readStatus(*cable_), (std::pair{100, int{KeyboardModel::kPowered}}));
    bus_.Unplug(SimPath::KeyboardCable);
    for (unsigned i = 0; i < 3 * kPerPercent; ++i) {
        const auto [level, state] = readStatus(*receiver_);
        EXPECT_EQ(level, 100 - static_cast<int>(i / kPerPercent)) << "read " << i;
        EXPECT_EQ(state, KeyboardModel::kOnBattery);
    }
    EXPECT_EQ(readStatus(*receiver_).first, 97);

    bus_.Plug(SimPath::KeyboardCable);
    auto cable = OpenCommand(SimPath::KeyboardCable);
    ASSERT_NE(cable, nullptr);
    EXPECT_EQ(readStatus(*cable), (std::pair{97, int{KeyboardModel::kCharging}}));
    // Through the receiver too: the cable charges whichever way the host asks.
    EXPECT_EQ(readStatus(*receiver_).second, KeyboardModel::kCharging);
    for (unsigned i = 2; i < 3 * kPerPercent; ++i) readStatus(*cable);
    EXPECT_EQ(readStatus(*cable), (std::pair{100, int{KeyboardModel::kPowered}}));

    // A pinned status holds on every link.
    bus_.Keyboard().SetPowerStatus(42, KeyboardModel::kCharging);
    for (unsigned i = 0; i < 2 * kPerPercent; ++i) readStatus(*receiver_);
    EXPECT_EQ(readStatus(*receiver_), (std::pair{42, int{KeyboardModel::kCharging}}));
}

}  // namespace
}  // namespace rerov::sim::testing
