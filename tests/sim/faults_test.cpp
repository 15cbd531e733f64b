// Faults armed on a path: each kind, the report it fires at, and disarming.

#include <gtest/gtest.h>

#include <chrono>

#include "tests/sim/sim_test_support.h"

namespace rerov::sim::testing {
namespace {

using namespace std::chrono_literals;

class FaultTest : public SimTest {
  protected:
    void SetUp() override {
        bus_.Plug(SimPath::KeyboardCable);
        connection_ = OpenCommand(SimPath::KeyboardCable);
        ASSERT_NE(connection_, nullptr);
    }

    int Write(const Report& request) {
        return connection_->Write(request.data(), request.size(), kReplyTimeoutMs);
    }

    int Read(Report* reply, int timeoutMs) {
        return connection_->Read(reply->data(), reply->size(), timeoutMs);
    }

    std::unique_ptr<HidConnection> connection_;
};

// A key-table write is the faulted report: whether it was carried out shows in memory.
const Report kFaulted = Request(kCmdWriteKeyTable, 3, 0, {0x11, 0x12, 0x13});

bool FaultedWriteLanded(KeyboardModel& keyboard) {
    const auto table = keyboard.KeyTable();
    return table[0] == 0x11 && table[1] == 0x12 && table[2] == 0x13;
}

struct ReplyFaultCase {
    const char* name;
    SimFault::Kind kind;
    uint8_t replyCommand;
    uint8_t replyStatus;
    bool carriedOut;
};

const ReplyFaultCase kReplyFaultCases[] = {
    {"wrong command", SimFault::Kind::WrongCommand, kCmdWriteKeyTable + 1, 0x00, true},
    {"status FF", SimFault::Kind::StatusFF, kCmdWriteKeyTable, 0xFF, false},
    {"status FE", SimFault::Kind::StatusFE, kCmdWriteKeyTable, 0xFE, false},
};

TEST_F(FaultTest, ReplyFaultsChangeOnlyTheMatchingReport) {
    for (const ReplyFaultCase& c : kReplyFaultCases) {
        SCOPED_TRACE(c.name);
        bus_.Keyboard().ResetMemory();
        // Fires at the second key-table write; other commands in between do not count.
        bus_.InjectFault(SimPath::KeyboardCable, {c.kind, 2, kCmdWriteKeyTable, 0ms});
        EXPECT_EQ(Transact(*connection_, Request(kCmdWriteKeyTable, 1, 100, {1}))[7], 0);
        EXPECT_EQ(Transact(*connection_, Request(kCmdReadDeviceInfo, 1, 0))[7], 0);
        const Report reply = Transact(*connection_, kFaulted);
        EXPECT_EQ(reply[3], c.replyCommand);
        EXPECT_EQ(reply[7], c.replyStatus);
        EXPECT_EQ(static_cast<uint16_t>(reply[1] | reply[2] << 8),
                  ComputeReportChecksum(reply.data()));
        EXPECT_EQ(FaultedWriteLanded(bus_.Keyboard()), c.carriedOut);
        // One shot: the next one is answered normally.
        const Report next = Transact(*connection_, kFaulted);
        EXPECT_EQ(next[3], kCmdWriteKeyTable);
        EXPECT_EQ(next[7], 0);
    }
}

TEST_F(FaultTest, NoReplyTakesTheReportAndAnswersNothing) {
    bus_.InjectFault(SimPath::KeyboardCable, {SimFault::Kind::NoReply, 1, -1, 0ms});
    Report reply{};
    EXPECT_EQ(Write(kFaulted), 64);
    EXPECT_EQ(Read(&reply, 100), 0);
    EXPECT_TRUE(FaultedWriteLanded(bus_.Keyboard()));
    EXPECT_EQ(Transact(*connection_, Request(kCmdBeginSession))[3], kCmdBeginSession);
}

TEST_F(FaultTest, LateReplyArrivesAfterItsDelay) {
    bus_.InjectFault(SimPath::KeyboardCable, {SimFault::Kind::LateReply, 1, -1, 300ms});
    Report reply{};
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Write(kFaulted), 64);
    EXPECT_EQ(Read(&reply, 0), 0) << "not there yet";
    ASSERT_EQ(Read(&reply, kReplyTimeoutMs), 64);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
    EXPECT_EQ(reply[3], kCmdWriteKeyTable);
    EXPECT_EQ(reply[7], 0);
}

TEST_F(FaultTest, WriteFailsLeavesTheDeviceUntouchedAndPlugged) {
    bus_.InjectFault(SimPath::KeyboardCable,
                     {SimFault::Kind::WriteFails, 1, kCmdWriteKeyTable, 0ms});
    EXPECT_EQ(Write(kFaulted), -1);
    EXPECT_FALSE(FaultedWriteLanded(bus_.Keyboard()));
    Report reply{};
    EXPECT_EQ(Read(&reply, 50), 0);
    EXPECT_TRUE(bus_.IsPlugged(SimPath::KeyboardCable));
    EXPECT_EQ(Transact(*connection_, kFaulted)[7], 0);
}

TEST_F(FaultTest, DisconnectDuringUnplugsThePathWhenTheReportArrives) {
    bus_.InjectFault(SimPath::KeyboardCable, {SimFault::Kind::DisconnectDuring, 2, -1, 0ms});
    EXPECT_EQ(Transact(*connection_, Request(kCmdBeginSession))[7], 0);
    EXPECT_EQ(Write(kFaulted), 64);
    Report reply{};
    EXPECT_EQ(Read(&reply, kReplyTimeoutMs), -1);
    EXPECT_FALSE(bus_.IsPlugged(SimPath::KeyboardCable));
    EXPECT_TRUE(bus_.EnumeratePaths().empty());
    EXPECT_EQ(Write(kFaulted), -1);
}

TEST_F(FaultTest, FaultsStayOnTheirPathAndClearFaultsDisarms) {
    bus_.Plug(SimPath::KeyboardReceiver);
    auto receiver = OpenCommand(SimPath::KeyboardReceiver);
    ASSERT_NE(receiver, nullptr);
    bus_.InjectFault(SimPath::KeyboardReceiver, {SimFault::Kind::StatusFE, 1, -1, 0ms});
    EXPECT_EQ(Transact(*connection_, kFaulted)[7], 0) << "the cable is not the receiver";
    bus_.InjectFault(SimPath::KeyboardCable, {SimFault::Kind::StatusFF, 1, -1, 0ms});
    bus_.ClearFaults();
    EXPECT_EQ(Transact(*connection_, kFaulted)[7], 0);
    EXPECT_EQ(Transact(*receiver, kFaulted)[7], 0);
}

}  // namespace
}  // namespace rerov::sim::testing
