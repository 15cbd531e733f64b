// Connections of the virtual bus: blocking reads, cancel, unplug, fan-out, the bounded
// queue and the per-report latency.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "tests/sim/sim_test_support.h"

namespace rerov::sim::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Generous bound for "a blocked call returned promptly" on a busy machine.
constexpr auto kPrompt = 5s;

class TransportTest : public SimTest {
  protected:
    void SetUp() override { bus_.Plug(SimPath::KeyboardCable); }

    // Starts a read without limit in another thread.
    std::future<int> ReadInBackground(HidConnection& connection) {
        return std::async(std::launch::async, [&connection] {
            std::array<uint8_t, 64> buffer{};
            return connection.Read(buffer.data(), buffer.size(), kInfiniteTimeout);
        });
    }
};

TEST_F(TransportTest, ReadTimesOutWithZeroWhenNothingArrives) {
    auto connection = OpenCommand(SimPath::KeyboardCable);
    std::array<uint8_t, 64> buffer{};
    EXPECT_EQ(connection->Read(buffer.data(), buffer.size(), 0), 0);
    EXPECT_EQ(connection->Read(buffer.data(), buffer.size(), 30), 0);
}

TEST_F(TransportTest, UnplugWakesABlockedReadAndFailsEveryConnectionOfThePath) {
    auto commands = OpenCommand(SimPath::KeyboardCable);
    auto events = OpenPath(EventPath(SimPath::KeyboardCable), kEventAccess);
    auto boot = OpenPath("vid_1a2b&pid_0101&mi_00#sim:keyboard/0", kEventAccess);
    auto blocked = ReadInBackground(*events);
    EXPECT_EQ(blocked.wait_for(100ms), std::future_status::timeout) << "nothing to read yet";
    bus_.Unplug(SimPath::KeyboardCable);
    ASSERT_EQ(blocked.wait_for(kPrompt), std::future_status::ready);
    EXPECT_EQ(blocked.get(), -1);
    const Report request = Request(kCmdBeginSession);
    EXPECT_EQ(commands->Write(request.data(), request.size(), 100), -1);
    std::array<uint8_t, 64> buffer{};
    EXPECT_EQ(boot->Read(buffer.data(), buffer.size(), 0), -1);

    std::string error;
    EXPECT_EQ(bus_.Open(CommandPath(SimPath::KeyboardCable), kCommandAccess, &error), nullptr);
    // Plugged in again, the old connections stay dead and new ones work.
    bus_.Plug(SimPath::KeyboardCable);
    EXPECT_EQ(commands->Write(request.data(), request.size(), 100), -1);
    auto fresh = OpenCommand(SimPath::KeyboardCable);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(Transact(*fresh, request)[3], kCmdBeginSession);
}

TEST_F(TransportTest, CancelReleasesABlockedReadAndOnlyThatConnection) {
    auto first = OpenCommand(SimPath::KeyboardCable);
    auto second = OpenCommand(SimPath::KeyboardCable);
    auto blocked = ReadInBackground(*first);
    EXPECT_EQ(blocked.wait_for(50ms), std::future_status::timeout);
    first->Cancel();
    ASSERT_EQ(blocked.wait_for(kPrompt), std::future_status::ready);
    EXPECT_EQ(blocked.get(), -1);
    const Report request = Request(kCmdBeginSession);
    EXPECT_EQ(first->Write(request.data(), request.size(), 100), -1);
    EXPECT_EQ(Transact(*second, request)[3], kCmdBeginSession);
}

TEST_F(TransportTest, EveryConnectionOfTheNodeReceivesEachReport) {
    // Two collections of interface 1 are one node; interface 0 is another.
    auto commands = OpenCommand(SimPath::KeyboardCable);
    auto events = OpenPath(EventPath(SimPath::KeyboardCable), kEventAccess);
    auto boot = OpenPath("vid_1a2b&pid_0101&mi_00#sim:keyboard/0", kEventAccess);
    const Report reply = Transact(*commands, Request(kCmdReadDeviceInfo, 2, 5));
    Report copy{};
    ASSERT_EQ(events->Read(copy.data(), copy.size(), kReplyTimeoutMs), 64);
    EXPECT_EQ(copy, reply);
    ASSERT_TRUE(bus_.SendEventCode(SimPath::KeyboardCable, 0x523));
    std::array<uint8_t, 3> event{};
    ASSERT_EQ(commands->Read(event.data(), event.size(), kReplyTimeoutMs), 3);
    EXPECT_EQ(event, (std::array<uint8_t, 3>{3, 0x23, 0x05}));
    ASSERT_EQ(events->Read(event.data(), event.size(), kReplyTimeoutMs), 3);
    EXPECT_EQ(boot->Read(copy.data(), copy.size(), 0), 0);
}

TEST_F(TransportTest, QueueKeepsTheNewest64Reports) {
    auto events = OpenPath(EventPath(SimPath::KeyboardCable), kEventAccess);
    constexpr int kSent = 70;
    for (int i = 0; i < kSent; ++i) {
        ASSERT_TRUE(bus_.SendEventCode(SimPath::KeyboardCable, static_cast<uint16_t>(0x500 + i)));
    }
    std::array<uint8_t, 3> event{};
    for (int i = kSent - 64; i < kSent; ++i) {
        ASSERT_EQ(events->Read(event.data(), event.size(), 0), 3);
        EXPECT_EQ(event[1] | event[2] << 8, 0x500 + i);
    }
    EXPECT_EQ(events->Read(event.data(), event.size(), 0), 0);
}

TEST_F(TransportTest, LatencyDelaysTheWriteAndThenTheReply) {
    constexpr auto kLatency = 150ms;
    bus_.SetLatency(kLatency);
    auto connection = OpenCommand(SimPath::KeyboardCable);
    const Report request = Request(kCmdReadDeviceInfo, 1, 5);
    const auto start = Clock::now();
    ASSERT_EQ(connection->Write(request.data(), request.size(), kReplyTimeoutMs), 64);
    const auto written = Clock::now();
    EXPECT_GE(written - start, kLatency);
    Report reply{};
    EXPECT_EQ(connection->Read(reply.data(), reply.size(), 0), 0) << "reply is still on its way";
    ASSERT_EQ(connection->Read(reply.data(), reply.size(), kReplyTimeoutMs), 64);
    // One latency for the write and one for the reply, counted from the write's start.
    EXPECT_GE(Clock::now() - start, 2 * kLatency);
    EXPECT_LT(Clock::now() - start, kPrompt);
    EXPECT_EQ(reply[3], kCmdReadDeviceInfo);
}

TEST_F(TransportTest, WriteShorterThanTheLatencyTimesOutAndSendsNothing) {
    bus_.SetLatency(2s);
    auto connection = OpenCommand(SimPath::KeyboardCable);
    const Report request = Request(kCmdBeginSession);
    EXPECT_EQ(connection->Write(request.data(), request.size(), 20), 0);
    EXPECT_EQ(bus_.Keyboard().CommandCount(kCmdBeginSession), 0u);
    // A write held by the latency fails at once when the path goes away.
    auto pending = std::async(std::launch::async, [&] {
        return connection->Write(request.data(), request.size(), kInfiniteTimeout);
    });
    EXPECT_EQ(pending.wait_for(50ms), std::future_status::timeout);
    bus_.Unplug(SimPath::KeyboardCable);
    ASSERT_EQ(pending.wait_for(kPrompt), std::future_status::ready);
    EXPECT_EQ(pending.get(), -1);
}

TEST_F(TransportTest, ConnectionOutlivingTheBusFailsSafely) {
    auto bus = std::make_unique<SimulatedBus>(TestIds());
    bus->Plug(SimPath::KeyboardCable);
    std::string error;
    auto connection = bus->Open(CommandPath(SimPath::KeyboardCable), kCommandAccess, &error);
    ASSERT_NE(connection, nullptr);
    bus.reset();
    const Report request = Request(kCmdBeginSession);
    EXPECT_EQ(connection->Write(request.data(), request.size(), 100), -1);
    auto read = ReadInBackground(*connection);
    ASSERT_EQ(read.wait_for(kPrompt), std::future_status::ready);
    EXPECT_EQ(read.get(), -1);
}

// A host thread transacts while another reads events and the test thread sends events:
// replies stay paired with their requests (run under ThreadSanitizer as well).
TEST_F(TransportTest, ConcurrentHostAndEventTraffic) {
    bus_.SetLatency(200us);
    auto commands = OpenCommand(SimPath::KeyboardCable);
    auto events = OpenPath(EventPath(SimPath::KeyboardCable), kEventAccess);
    constexpr int kTransactions = 100;
    constexpr int kEvents = 40;
    std::atomic<int> eventsSeen{0};
    std::thread eventReader([&] {
        std::array<uint8_t, 64> report{};
        while (eventsSeen.load() < kEvents) {
            if (events->Read(report.data(), report.size(), kReplyTimeoutMs) <= 0) return;
            if (report[0] == 3) eventsSeen.fetch_add(1);
        }
    });
    std::thread host([&] {
        for (int i = 0; i < kTransactions; ++i) {
            const uint16_t offset = static_cast<uint16_t>(i % 34);
            const Report request = Request(kCmdReadDeviceInfo, 1, offset);
            ASSERT_EQ(commands->Write(request.data(), request.size(), kReplyTimeoutMs), 64);
            Report reply{};
            do {  // the command connection sees the events of its node too
                ASSERT_GT(commands->Read(reply.data(), reply.size(), kReplyTimeoutMs), 0);
            } while (reply[0] != 4);
            EXPECT_EQ(reply[3], kCmdReadDeviceInfo);
            EXPECT_EQ(reply[5], offset);
        }
    });
    for (int i = 0; i < kEvents; ++i) {
        EXPECT_TRUE(bus_.SendEventCode(SimPath::KeyboardCable, static_cast<uint16_t>(0x500 + i)));
    }
    host.join();
    eventReader.join();
    EXPECT_EQ(eventsSeen.load(), kEvents);
}

}  // namespace
}  // namespace rerov::sim::testing
