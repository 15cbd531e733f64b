// The command set of DeviceLink against the simulated keyboard: chunking and offsets on
// both paths, status mapping, table pages, the lighting stream and concurrent traffic.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "device_link/device_link.h"
#include "sim/keyboard_model.h"
#include "tests/device_link/link_test_support.h"

namespace rerov {
namespace {

using namespace std::chrono_literals;
using linktest::SimLinkTest;

struct Chunk {
    uint8_t length;
    uint16_t offset;
};

std::vector<Chunk> ChunksOf(const std::vector<CommandReport>& reports) {
    std::vector<Chunk> chunks;
    for (const CommandReport& report : reports) {
        chunks.push_back({report.DataLength(), report.DataOffset()});
    }
    return chunks;
}

std::vector<Chunk> ExpectedChunks(size_t length, size_t chunk, uint16_t base = 0) {
    std::vector<Chunk> chunks;
    for (size_t position = 0; position < length; position += chunk) {
        chunks.push_back({static_cast<uint8_t>(std::min(chunk, length - position)),
                          static_cast<uint16_t>(base + position)});
    }
    return chunks;
}

void ExpectChunks(const std::vector<Chunk>& actual, const std::vector<Chunk>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        EXPECT_EQ(actual[i].length, expected[i].length) << "chunk " << i;
        EXPECT_EQ(actual[i].offset, expected[i].offset) << "chunk " << i;
    }
}

class LinkCommandsTest : public SimLinkTest, public ::testing::WithParamInterface<bool> {
  protected:
    bool Receiver() const { return GetParam(); }
    size_t ChunkSize() const { return Receiver() ? 24 : 56; }
    sim::SimPath Path() const {
        return Receiver() ? sim::SimPath::KeyboardReceiver : sim::SimPath::KeyboardCable;
    }
    void SetUp() override {
        SimLinkTest::SetUp();
        ConnectKeyboard(Receiver());
    }
};

TEST_P(LinkCommandsTest, DeviceInfoIsReadInChunksOfThePath) {
    uint8_t info[kDeviceInfoSize] = {};
    ASSERT_EQ(link_.ReadDeviceInfo(info), kResultSuccess);
    // Cable: one report of 34; receiver: 24 at 0 and 10 at 24.
    ExpectChunks(ChunksOf(Sent(kCmdReadDeviceInfo)), ExpectedChunks(34, ChunkSize()));
    const auto expected = bus_->Keyboard().InfoBlock();
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), std::begin(info)));
    for (const CommandReport& request : Sent(kCmdReadDeviceInfo)) {
        EXPECT_EQ(request.StoredChecksum(), ComputeReportChecksum(request.Data()));
    }
}

TEST_P(LinkCommandsTest, DeviceInfoFailingInTheLastChunkLeavesTheCallerBlockAlone) {
    const int chunks = Receiver() ? 2 : 1;
    bus_->InjectFault(Path(), {sim::SimFault::Kind::StatusFF, chunks, kCmdReadDeviceInfo, 0ms});
    uint8_t info[kDeviceInfoSize];
    std::fill(std::begin(info), std::end(info), 0x5A);
    EXPECT_EQ(link_.ReadDeviceInfo(info), kResultStatusFF);
    for (uint8_t byte : info) ASSERT_EQ(byte, 0x5A);
}

TEST_P(LinkCommandsTest, KeyTableWriteTakesTenReportsOnCableTwentyTwoThroughReceiver) {
    const std::vector<uint8_t> table = Pattern(512, 11);
    ASSERT_EQ(link_.BeginSession(), kResultSuccess);
    ASSERT_EQ(link_.WriteKeyTable(table.data(), 0), kResultSuccess);
    ASSERT_EQ(link_.EndSession(1), kResultSuccess);
    const std::vector<CommandReport> sent = Sent(kCmdWriteKeyTable);
    EXPECT_EQ(sent.size(), Receiver() ? 22u : 10u);
    ExpectChunks(ChunksOf(sent), ExpectedChunks(512, ChunkSize()));
    EXPECT_EQ(bus_->Keyboard().KeyTable(), table);
    EXPECT_FALSE(bus_->Keyboard().SessionOpen());
}

TEST_P(LinkCommandsTest, FnKeyTableGoesToItsOwnTable) {
    const std::vector<uint8_t> table = Pattern(512, 40);
    ASSERT_EQ(link_.WriteFnKeyTable(table.data(), 0), kResultSuccess);
    EXPECT_EQ(bus_->Keyboard().FnKeyTable(), table);
    EXPECT_NE(bus_->Keyboard().KeyTable(), table);
}

TEST_P(LinkCommandsTest, TablePageOtherThanZeroIsRefusedUnsent) {
    const std::vector<uint8_t> table = Pattern(512, 1);
    for (int page : {1, 2, -1}) {
        EXPECT_EQ(link_.WriteKeyTable(table.data(), page), kResultBadPage) << page;
        EXPECT_EQ(link_.WriteFnKeyTable(table.data(), page), kResultBadPage) << page;
    }
    link_.SetConnected(false);
    EXPECT_EQ(link_.WriteKeyTable(table.data(), 1), kResultBadPage);
    EXPECT_TRUE(Sent().empty());
}

TEST_P(LinkCommandsTest, TablesAreReadWhole) {
    std::vector<uint8_t> keys(512), leds(512, 0xCC);
    ASSERT_EQ(link_.ReadKeyTable(keys.data()), kResultSuccess);
    EXPECT_EQ(keys, bus_->Keyboard().FactoryKeyTable());
    ExpectChunks(ChunksOf(Sent(kCmdReadKeyTable)), ExpectedChunks(512, ChunkSize()));

    // The LED table read covers a third of the block length.
    ASSERT_EQ(link_.ReadLedTable(leds.data()), kResultSuccess);
    ExpectChunks(ChunksOf(Sent(kCmdReadLedTable)), ExpectedChunks(170, ChunkSize()));
    const std::vector<uint8_t> deviceLeds = bus_->Keyboard().LedTable();
    EXPECT_TRUE(std::equal(leds.begin(), leds.begin() + 170, deviceLeds.begin()));
    EXPECT_EQ(leds[170], 0xCC);  // nothing past the read length
}

TEST_P(LinkCommandsTest, ShorterBlockLengthShortensTableTransfers) {
    ASSERT_TRUE(link_.SetBlockLength(300));
    const std::vector<uint8_t> table = Pattern(512, 2);
    ASSERT_EQ(link_.WriteKeyTable(table.data(), 0), kResultSuccess);
    ExpectChunks(ChunksOf(Sent(kCmdWriteKeyTable)), ExpectedChunks(300, ChunkSize()));
    std::vector<uint8_t> leds(512);
    ASSERT_EQ(link_.ReadLedTable(leds.data()), kResultSuccess);
    ExpectChunks(ChunksOf(Sent(kCmdReadLedTable)), ExpectedChunks(100, ChunkSize()));
}

TEST_P(LinkCommandsTest, ParametersUseTheBaseOffset) {
    const std::vector<uint8_t> block = Pattern(42, 9);
    ASSERT_EQ(link_.WriteParameters(block.data(), block.size(), 42), kResultSuccess);
    ExpectChunks(ChunksOf(Sent(kCmdWriteParameters)), ExpectedChunks(42, ChunkSize(), 42));
    EXPECT_EQ(bus_->Keyboard().ParameterBlock(1), block);

    std::vector<uint8_t> readBack(42);
    ASSERT_EQ(link_.ReadParameters(readBack.data(), readBack.size(), 42), kResultSuccess);
    ExpectChunks(ChunksOf(Sent(kCmdReadParameters)), ExpectedChunks(42, ChunkSize(), 42));
    EXPECT_EQ(readBack, block);
}

TEST_P(LinkCommandsTest, StatusBytesMapToResultCodes) {
    const struct {
        sim::SimFault::Kind kind;
        int expected;
    } cases[] = {
        {sim::SimFault::Kind::StatusFF, kResultStatusFF},
        {sim::SimFault::Kind::StatusFE, kResultStatusFE},
    };
    for (const auto& c : cases) {
        bus_->InjectFault(Path(), {c.kind, 1, -1, 0ms});
        EXPECT_EQ(link_.BeginSession(), c.expected);
        bus_->InjectFault(Path(), {c.kind, 1, -1, 0ms});
        EXPECT_EQ(link_.HostLightControl(), c.expected);
        bus_->InjectFault(Path(), {c.kind, 1, -1, 0ms});
        uint8_t status[6];
        EXPECT_EQ(link_.ReadStatus(status, 6, 0), c.expected);
    }
    EXPECT_EQ(link_.BeginSession(), kResultSuccess);
}

TEST_P(LinkCommandsTest, RefusalInTheThirdChunkStopsTheWriteAfterTwo) {
    const std::vector<uint8_t> before = bus_->Keyboard().KeyTable();
    const std::vector<uint8_t> table = Pattern(512, 77);
    bus_->InjectFault(Path(), {sim::SimFault::Kind::StatusFE, 3, kCmdWriteKeyTable, 0ms});
    EXPECT_EQ(link_.WriteKeyTable(table.data(), 0), kResultStatusFE);
    EXPECT_EQ(Sent(kCmdWriteKeyTable).size(), 3u);
    const std::vector<uint8_t> after = bus_->Keyboard().KeyTable();
    const size_t accepted = 2 * ChunkSize();
    EXPECT_TRUE(std::equal(after.begin(), after.begin() + accepted, table.begin()));
    EXPECT_TRUE(std::equal(after.begin() + accepted, after.end(), before.begin() + accepted));
}

TEST_P(LinkCommandsTest, LightTableGoesToItsSlot) {
    const std::vector<uint8_t> colours = Pattern(512, 21);
    ASSERT_EQ(link_.WriteLightTable(colours.data(), colours.size(), 2, 512), kResultSuccess);
    ExpectChunks(ChunksOf(Sent(kCmdWriteLightTable)), ExpectedChunks(512, ChunkSize(), 1024));
    EXPECT_EQ(bus_->Keyboard().CustomColorSlot(2), colours);
}

TEST_P(LinkCommandsTest, MacroDataAndLightFrameAreChunked) {
    const std::vector<uint8_t> macros = Pattern(300, 4);
    ASSERT_EQ(link_.WriteMacroData(macros.data(), macros.size()), kResultSuccess);
    ExpectChunks(ChunksOf(Sent(kCmdWriteMacroData)), ExpectedChunks(300, ChunkSize()));
    const std::vector<uint8_t> area = bus_->Keyboard().MacroArea();
    EXPECT_TRUE(std::equal(macros.begin(), macros.end(), area.begin()));

    const std::vector<uint8_t> frame = Pattern(200, 8);
    ASSERT_EQ(link_.StreamLightFrame(frame.data(), frame.size()), kResultSuccess);
    ExpectChunks(ChunksOf(Sent(kCmdStreamLightFrame)), ExpectedChunks(200, ChunkSize()));
    const std::vector<uint8_t> deviceFrame = bus_->Keyboard().LightFrame();
    EXPECT_TRUE(std::equal(frame.begin(), frame.end(), deviceFrame.begin()));
}

TEST_P(LinkCommandsTest, ShootDataUsesFiftySixBytePiecesOnEitherPath) {
    const std::vector<uint8_t> shoot = Pattern(120, 6);
    link_.WriteShootData(shoot.data(), shoot.size());  // the keyboard may refuse it
    const std::vector<CommandReport> sent = Sent(kCmdWriteShootData);
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent[0].DataLength(), 56);
    EXPECT_EQ(sent[0].DataOffset(), 0);
    EXPECT_TRUE(std::equal(shoot.begin(), shoot.begin() + 56, sent[0].Payload()));
}

TEST_P(LinkCommandsTest, StatusReadCopiesTheReplyData) {
    bus_->Keyboard().SetPowerStatus(57, sim::KeyboardModel::kOnBattery);
    uint8_t status[6] = {};
    ASSERT_EQ(link_.ReadStatus(status, 6, 0), kResultSuccess);
    const auto expected = bus_->Keyboard().PowerStatus(Receiver() ? sim::KeyboardLink::Receiver
                                                                  : sim::KeyboardLink::Cable);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), std::begin(status)));
    EXPECT_EQ(status[0], 57);
    const std::vector<CommandReport> sent = Sent(kCmdReadStatus);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].DataLength(), 6);
}

TEST_P(LinkCommandsTest, SessionAndHostLightingReachTheDevice) {
    ASSERT_EQ(link_.BeginSession(), kResultSuccess);
    EXPECT_TRUE(bus_->Keyboard().SessionOpen());
    ASSERT_EQ(link_.HostLightControl(), kResultSuccess);
    EXPECT_TRUE(bus_->Keyboard().HostLighting());
    ASSERT_EQ(link_.EndSession(1), kResultSuccess);
    EXPECT_FALSE(bus_->Keyboard().SessionOpen());
}

TEST_P(LinkCommandsTest, TransfersThatCannotBeAddressedAreRefusedUnsent) {
    std::vector<uint8_t> buffer(512);
    // Offsets are 16 bits: a transfer reaching past 0xFFFF would wrap to offset 0.
    EXPECT_EQ(link_.WriteParameters(buffer.data(), 100, 0xFFC0), kResultWriteFailed);
    EXPECT_EQ(link_.ReadParameters(buffer.data(), 100, 0xFFC0), kResultWriteFailed);
    EXPECT_EQ(link_.WriteLightTable(buffer.data(), 512, 200, 512), kResultWriteFailed);
    EXPECT_EQ(link_.WriteLightTable(buffer.data(), 10, -1, 512), kResultWriteFailed);
    // One status report carries at most 56 bytes.
    EXPECT_EQ(link_.ReadStatus(buffer.data(), 57, 0), kResultWriteFailed);
    EXPECT_TRUE(Sent().empty());
}

TEST_P(LinkCommandsTest, LightFramePiecesAreDroppedWhileACommandIsInProgress) {
    // BeginSession gets no answer, so its transaction stays in progress for two reads.
    bus_->InjectFault(Path(), {sim::SimFault::Kind::NoReply, 1, kCmdBeginSession, 0ms});
    auto command = std::async(std::launch::async, [&] { return link_.BeginSession(); });
    ASSERT_TRUE(WaitForSent(kCmdBeginSession, 1));
    ASSERT_TRUE(link_.IsBusy());
    const std::vector<uint8_t> frame = Pattern(200, 3);
    EXPECT_EQ(link_.StreamLightFrame(frame.data(), frame.size()), kResultSuccess);
    EXPECT_TRUE(Sent(kCmdStreamLightFrame).empty());
    EXPECT_EQ(command.get(), kResultNoReply);
    EXPECT_FALSE(link_.IsBusy());
    EXPECT_EQ(link_.StreamLightFrame(frame.data(), frame.size()), kResultSuccess);
    EXPECT_FALSE(Sent(kCmdStreamLightFrame).empty());
}

TEST_P(LinkCommandsTest, CommandAndLightingTrafficRunTogether) {
    const std::vector<uint8_t> table = Pattern(512, 31);
    const std::vector<uint8_t> frame = Pattern(512, 32);
    std::atomic<bool> stop{false};
    std::atomic<int> lightingFailures{0};
    std::thread lighting([&] {
        while (!stop.load()) {
            if (link_.StreamLightFrame(frame.data(), frame.size()) != kResultSuccess) {
                lightingFailures.fetch_add(1);
            }
        }
    });
    int commandFailures = 0;
    for (int round = 0; round < 5; ++round) {
        uint8_t info[kDeviceInfoSize];
        if (link_.BeginSession() != kResultSuccess) ++commandFailures;
        if (link_.WriteKeyTable(table.data(), 0) != kResultSuccess) ++commandFailures;
        if (link_.ReadDeviceInfo(info) != kResultSuccess) ++commandFailures;
        if (link_.EndSession(1) != kResultSuccess) ++commandFailures;
    }
    stop.store(true);
    lighting.join();
    EXPECT_EQ(commandFailures, 0);
    EXPECT_EQ(lightingFailures.load(), 0);
    EXPECT_EQ(bus_->Keyboard().KeyTable(), table);
}

INSTANTIATE_TEST_SUITE_P(Paths, LinkCommandsTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Receiver" : "Cable";
                         });

}  // namespace
}  // namespace rerov
