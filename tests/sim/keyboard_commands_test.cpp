// The keyboard firmware's answers to command reports, through the HidBackend interface.

#include <gtest/gtest.h>

#include <chrono>
#include <numeric>
#include <thread>

#include "sim/keyboard_layout.h"
#include "tests/sim/sim_test_support.h"

namespace rerov::sim::testing {
namespace {

using namespace std::chrono_literals;

// What the host waits after a transfer before it closes a session.
constexpr auto kSessionSettle = 10ms;

class KeyboardTest : public SimTest {
  protected:
    void SetUp() override {
        bus_.Plug(SimPath::KeyboardCable);
        connection_ = OpenCommand(SimPath::KeyboardCable);
        ASSERT_NE(connection_, nullptr);
    }

    Report Send(uint8_t command, uint8_t length = 0, uint16_t offset = 0,
                const std::vector<uint8_t>& payload = {}) {
        return Transact(*connection_, Request(command, length, offset, payload));
    }

    // Reads `total` bytes of an area in chunks of `chunk`, as the host's chunked reads do.
    std::vector<uint8_t> ReadArea(uint8_t command, size_t total, size_t chunk, uint16_t base = 0) {
        std::vector<uint8_t> data;
        for (size_t position = 0; position < total; position += chunk) {
            const size_t piece = std::min(chunk, total - position);
            const Report reply =
                Send(command, static_cast<uint8_t>(piece), static_cast<uint16_t>(base + position));
            EXPECT_EQ(reply[3], command);
            EXPECT_EQ(reply[7], 0) << "chunk at " << position;
            data.insert(data.end(), reply.begin() + 8, reply.begin() + 8 + piece);
        }
        return data;
    }

    std::unique_ptr<HidConnection> connection_;
};

TEST_F(KeyboardTest, ReplyEchoesTheHeaderAndCarriesAValidChecksum) {
    const Report reply = Send(kCmdReadDeviceInfo, 24, 10);
    EXPECT_EQ(reply[0], 4);
    EXPECT_EQ(reply[3], kCmdReadDeviceInfo);
    EXPECT_EQ(reply[4], 24);
    EXPECT_EQ(reply[5], 10);
    EXPECT_EQ(reply[6], 0);
    EXPECT_EQ(reply[7], 0);
    const uint16_t checksum = static_cast<uint16_t>(reply[1] | reply[2] << 8);
    EXPECT_EQ(checksum, ComputeReportChecksum(reply.data()));
}

TEST_F(KeyboardTest, InformationBlockGivesGeometryAndMacroMemory) {
    // One 34-byte read on the cable; the receiver path reads 24 + 10 and must agree.
    const auto info = ReadArea(kCmdReadDeviceInfo, 34, 34);
    ASSERT_EQ(info.size(), 34u);
    EXPECT_EQ(info[5], kMatrixPositions);
    EXPECT_LE(info[5], 170) << "the host refuses a geometry above 170 positions";
    EXPECT_EQ(info[6], 16);
    EXPECT_EQ(ReadArea(kCmdReadDeviceInfo, 34, 24), info);
    const auto block = bus_.Keyboard().InfoBlock();
    EXPECT_TRUE(std::equal(block.begin(), block.end(), info.begin()));
}

TEST_F(KeyboardTest, FactoryAndLedTablesReadInChunksMatchTheLayout) {
    const size_t positions = bus_.Keyboard().KeyPositionCount();
    const auto keys = ReadArea(kCmdReadKeyTable, positions * 3, 56);
    const auto leds = ReadArea(kCmdReadLedTable, positions, 56);
    // Esc (key index 0) sits at position 1, behind the macro key G1.
    EXPECT_EQ(std::vector<uint8_t>(keys.begin() + 3, keys.begin() + 6),
              (std::vector<uint8_t>{0x20, 0x00, 0x29}));
    EXPECT_EQ(std::vector<uint8_t>(keys.begin(), keys.begin() + 3),
              (std::vector<uint8_t>{0xD0, 0xA2, 0x01}));
    EXPECT_EQ(leds[0], 0);
    EXPECT_EQ(leds[1], 1);
    EXPECT_EQ(ReadArea(kCmdReadKeyTable, positions * 3, 24), keys);
}

TEST_F(KeyboardTest, KeyTableWriteLandsInTheWritableTableOnly) {
    std::vector<uint8_t> table(512);
    std::iota(table.begin(), table.end(), uint8_t{1});
    for (size_t position = 0; position < table.size(); position += 56) {
        const size_t piece = std::min<size_t>(56, table.size() - position);
        const std::vector<uint8_t> payload(table.begin() + position,
                                           table.begin() + position + piece);
        const Report reply = Send(kCmdWriteKeyTable, static_cast<uint8_t>(piece),
                                  static_cast<uint16_t>(position), payload);
        ASSERT_EQ(reply[7], 0);
    }
    EXPECT_EQ(bus_.Keyboard().KeyTable(), table);
    // The read-out keeps learning the geometry from the factory codes.
    EXPECT_EQ(ReadArea(kCmdReadKeyTable, 6, 6),
              (std::vector<uint8_t>{0xD0, 0xA2, 0x01, 0x20, 0x00, 0x29}));
    EXPECT_EQ(bus_.Keyboard().FnKeyTable(), std::vector<uint8_t>(512, 0));

    const Report fn = Send(kCmdWriteFnKeyTable, 3, 509, {7, 8, 9});
    EXPECT_EQ(fn[7], 0);
    const auto fnTable = bus_.Keyboard().FnKeyTable();
    EXPECT_EQ(std::vector<uint8_t>(fnTable.end() - 3, fnTable.end()),
              (std::vector<uint8_t>{7, 8, 9}));
}

struct RangeCase {
    const char* name;
    uint8_t command;
    uint8_t length;
    uint16_t offset;
    uint8_t status;
};

// Each area accepts its last byte and refuses one past it; refusals change no memory.
const RangeCase kRangeCases[] = {
    {"info last byte", kCmdReadDeviceInfo, 1, 33, 0x00},
    {"info past end", kCmdReadDeviceInfo, 2, 33, 0xFE},
    {"parameters last byte", kCmdReadParameters, 1, 125, 0x00},
    {"parameters past end", kCmdReadParameters, 2, 125, 0xFE},
    {"parameter write past end", kCmdWriteParameters, 2, 125, 0xFE},
    {"key table read past page", kCmdReadKeyTable, 56, 480, 0xFE},
    {"key table page 1", kCmdWriteKeyTable, 1, 512, 0xFE},
    {"key table last byte", kCmdWriteKeyTable, 1, 511, 0x00},
    {"Fn table page 1", kCmdWriteFnKeyTable, 4, 510, 0xFE},
    {"LED table past page", kCmdReadLedTable, 2, 511, 0xFE},
    {"custom slot 7 end", kCmdWriteLightTable, 56, 8 * 512 - 56, 0x00},
    {"custom slot 8", kCmdWriteLightTable, 1, 8 * 512, 0xFE},
    {"light frame past end", kCmdStreamLightFrame, 24, 500, 0xFE},
    {"macro area end", kCmdWriteMacroData, 56, 16 * 128 - 56, 0x00},
    {"macro area past end", kCmdWriteMacroData, 24, 16 * 128 - 8, 0xFE},
    {"status past end", kCmdReadStatus, 7, 0, 0xFE},
    {"length above payload", kCmdReadDeviceInfo, 57, 0, 0xFE},
    {"shoot data is a mouse command", kCmdWriteShootData, 1, 0, 0xFF},
    {"unknown command", 0x42, 0, 0, 0xFF},
};

class RangeTest : public KeyboardTest, public ::testing::WithParamInterface<RangeCase> {};

TEST_P(RangeTest, StatusByte) {
    const RangeCase& c = GetParam();
    const std::vector<uint8_t> payload(c.length <= 56 ? c.length : 56, 0xA5);
    const auto macrosBefore = bus_.Keyboard().MacroArea();
    const auto parametersBefore = bus_.Keyboard().ParameterArea();
    const Report reply = Send(c.command, c.length, c.offset, payload);
    EXPECT_EQ(reply[3], c.command);
    EXPECT_EQ(reply[7], c.status);
    if (c.status != 0) {
        EXPECT_EQ(bus_.Keyboard().MacroArea(), macrosBefore);
        EXPECT_EQ(bus_.Keyboard().ParameterArea(), parametersBefore);
    }
}

INSTANTIATE_TEST_SUITE_P(Areas, RangeTest, ::testing::ValuesIn(kRangeCases), [](const auto& info) {
    std::string name = info.param.name;
    for (char& ch : name) {
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    }
    return name;
});

TEST_F(KeyboardTest, BadChecksumIsAnsweredWithStatusFFAndNothingIsWritten) {
    Report request = Request(kCmdWriteKeyTable, 3, 0, {1, 2, 3});
    request[1] ^= 0x01;
    const auto before = bus_.Keyboard().KeyTable();
    const Report reply = Transact(*connection_, request);
    EXPECT_EQ(reply[3], kCmdWriteKeyTable);
    EXPECT_EQ(reply[7], 0xFF);
    EXPECT_EQ(bus_.Keyboard().KeyTable(), before);
    // A payload byte changed after the checksum was computed is caught as well.
    Report tampered = Request(kCmdWriteKeyTable, 3, 0, {1, 2, 3});
    tampered[10] = 4;
    EXPECT_EQ(Transact(*connection_, tampered)[7], 0xFF);
    EXPECT_EQ(bus_.Keyboard().KeyTable(), before);
}

TEST_F(KeyboardTest, ParameterAreaIsOneFlatAreaOfProfileBlocks) {
    EXPECT_EQ(ReadArea(kCmdReadParameters, 1, 1), (std::vector<uint8_t>{0}));
    std::vector<uint8_t> block(42);
    std::iota(block.begin(), block.end(), uint8_t{0x80});
    block[0] = 1;
    // Written with base 42 (profile slot 1) in chunks of 24, as the receiver path does.
    for (size_t position = 0; position < 42; position += 24) {
        const size_t piece = std::min<size_t>(24, 42 - position);
        const Report reply = Send(
            kCmdWriteParameters, static_cast<uint8_t>(piece), static_cast<uint16_t>(42 + position),
            std::vector<uint8_t>(block.begin() + position, block.begin() + position + piece));
        ASSERT_EQ(reply[7], 0);
    }
    EXPECT_EQ(bus_.Keyboard().ParameterBlock(1), block);
    EXPECT_EQ(ReadArea(kCmdReadParameters, 42, 56, 42), block);
    EXPECT_EQ(bus_.Keyboard().CurrentProfile(), 0) << "only byte 0 of slot 0 selects";

    EXPECT_EQ(Send(kCmdWriteParameters, 1, 0, {2})[7], 0);
    EXPECT_EQ(bus_.Keyboard().CurrentProfile(), 2);
    EXPECT_EQ(Send(kCmdWriteParameters, 1, 0, {3})[7], 0xFE) << "no profile 3 on the device";
    EXPECT_EQ(bus_.Keyboard().CurrentProfile(), 2);
}

TEST_F(KeyboardTest, CustomColourSlotsAreAddressedBySlotTimesSize) {
    EXPECT_EQ(Send(kCmdWriteLightTable, 2, 3 * 512 + 62, {0x55, 0x66})[7], 0);
    const auto slot = bus_.Keyboard().CustomColorSlot(3);
    ASSERT_EQ(slot.size(), 512u);
    EXPECT_EQ(slot[62], 0x55);
    EXPECT_EQ(slot[63], 0x66);
    EXPECT_EQ(bus_.Keyboard().CustomColorSlot(2), std::vector<uint8_t>(512, 0));
}

TEST_F(KeyboardTest, MacroAreaFollowsTheInformationBlock) {
    ASSERT_TRUE(bus_.Keyboard().SetInfoByte(KeyboardModel::kInfoMacroUnits, 2));
    EXPECT_EQ(Send(kCmdWriteMacroData, 1, 255, {0x77})[7], 0);
    EXPECT_EQ(Send(kCmdWriteMacroData, 1, 256, {0x77})[7], 0xFE);
    const auto macros = bus_.Keyboard().MacroArea();
    ASSERT_EQ(macros.size(), 256u);
    EXPECT_EQ(macros[255], 0x77);
}

TEST_F(KeyboardTest, LightFrameSessionAndHostLighting) {
    EXPECT_FALSE(bus_.Keyboard().SessionOpen());
    EXPECT_EQ(Send(kCmdBeginSession)[7], 0);
    EXPECT_TRUE(bus_.Keyboard().SessionOpen());
    std::this_thread::sleep_for(kSessionSettle);  // as the host waits before closing
    EXPECT_EQ(Send(kCmdEndSession)[7], 0);
    EXPECT_FALSE(bus_.Keyboard().SessionOpen());

    EXPECT_EQ(Send(kCmdStreamLightFrame, 3, 30, {0xFF, 0x80, 0x01})[7], 0);
    const auto frame = bus_.Keyboard().LightFrame();
    EXPECT_EQ(frame[30], 0xFF);
    EXPECT_EQ(frame[31], 0x80);
    EXPECT_EQ(frame[32], 0x01);

    EXPECT_FALSE(bus_.Keyboard().HostLighting());
    EXPECT_EQ(Send(kCmdHostLightControl)[7], 0);
    EXPECT_TRUE(bus_.Keyboard().HostLighting());
}

// The firmware closes a session only 10 ms after the previous transfer, timed from when it
// handed out that transfer's reply; a late reply must not make an early EndSession pass.
TEST_F(KeyboardTest, EndSessionRightAfterAReplyIsRefusedAndCounted) {
    struct Case {
        const char* what;
        std::chrono::milliseconds lateReply;
    };
    const Case cases[] = {{"after_a_prompt_reply", 0ms}, {"after_a_late_reply", 30ms}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // A test thread descheduled for 10 ms sends late by itself: one refusal in a few
        // tries is the rule, and every answer must agree with the count.
        bool refused = false;
        for (int attempt = 0; attempt < 5 && !refused; ++attempt) {
            if (c.lateReply > 0ms) {
                bus_.InjectFault(SimPath::KeyboardCable,
                                 {SimFault::Kind::LateReply, 1, kCmdBeginSession, c.lateReply});
            }
            const unsigned before = bus_.TimingViolations();
            ASSERT_EQ(Send(kCmdBeginSession)[7], 0);
            refused = Send(kCmdEndSession)[7] == kStatusError;
            EXPECT_EQ(bus_.TimingViolations(), before + (refused ? 1u : 0u));
            EXPECT_EQ(bus_.Keyboard().SessionOpen(), refused) << "a refused command does nothing";
            std::this_thread::sleep_for(kSessionSettle);
            EXPECT_EQ(Send(kCmdEndSession)[7], 0) << "once the transfer has settled";
        }
        EXPECT_TRUE(refused);
    }
}

TEST_F(KeyboardTest, LightingFramesStreamedBesideASessionDoNotDelayItsEnd) {
    ASSERT_EQ(Send(kCmdBeginSession)[7], 0);
    std::this_thread::sleep_for(kSessionSettle);
    ASSERT_EQ(Send(kCmdStreamLightFrame, 3, 0, {1, 2, 3})[7], 0);
    EXPECT_EQ(Send(kCmdEndSession)[7], 0);
    EXPECT_FALSE(bus_.Keyboard().SessionOpen());
    EXPECT_EQ(bus_.TimingViolations(), 0u);
}

TEST_F(KeyboardTest, PowerStatusReportsTheLinkItWasAskedOver) {
    bus_.Keyboard().SetPowerStatus(57, KeyboardModel::kCharging);
    const Report cable = Send(kCmdReadStatus, 6, 0);
    EXPECT_EQ(cable[7], 0);
    EXPECT_EQ(cable[8], 57);
    EXPECT_EQ(cable[9], KeyboardModel::kCharging);
    EXPECT_EQ(cable[11], 0);

    bus_.Plug(SimPath::KeyboardReceiver);
    auto receiver = OpenCommand(SimPath::KeyboardReceiver);
    ASSERT_NE(receiver, nullptr);
    const Report wireless = Transact(*receiver, Request(kCmdReadStatus, 6, 0));
    EXPECT_EQ(wireless[8], 57);
    EXPECT_EQ(wireless[11], 1);
}

}  // namespace
}  // namespace rerov::sim::testing
