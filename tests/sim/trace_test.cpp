// The trace of command reports, trace line format and the --simulate=LIST parser.

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>

#include "tests/sim/sim_test_support.h"

namespace rerov::sim::testing {
namespace {

using namespace std::chrono_literals;

TEST(TraceLineTest, FormatsDirectionAndLowerCaseHexBytes) {
    const uint8_t bytes[] = {0x04, 0xAB, 0x00, 0x1F};
    EXPECT_EQ(TraceLine(TraceDirection::HostToDevice, bytes, 4), "> 04 ab 00 1f");
    EXPECT_EQ(TraceLine(TraceDirection::DeviceToHost, bytes, 2), "< 04 ab");
    EXPECT_EQ(TraceLine(TraceDirection::HostToDevice, bytes, 0), "> ");
}

class TraceTest : public SimTest {
  protected:
    void SetUp() override {
        bus_.SetTraceSink([this](TraceDirection direction, const uint8_t* report, size_t length) {
            std::lock_guard lock(mutex_);
            lines_.push_back(TraceLine(direction, report, length));
        });
    }

    std::vector<std::string> Lines() {
        std::lock_guard lock(mutex_);
        return lines_;
    }

    std::mutex mutex_;
    std::vector<std::string> lines_;
};

TEST_F(TraceTest, EveryCommandReportIsTracedInOrderBothWays) {
    bus_.Plug(SimPath::KeyboardCable);
    bus_.Plug(SimPath::KeyboardReceiver);
    auto cable = OpenCommand(SimPath::KeyboardCable);
    auto receiver = OpenCommand(SimPath::KeyboardReceiver);
    std::vector<std::string> expected;
    auto traced = [&](HidConnection& connection, const Report& request) {
        const Report reply = Transact(connection, request);
        expected.push_back(TraceLine(TraceDirection::HostToDevice, request.data(), 64));
        expected.push_back(TraceLine(TraceDirection::DeviceToHost, reply.data(), 64));
    };
    traced(*cable, Request(kCmdBeginSession));
    Report bad = Request(kCmdReadDeviceInfo, 24, 0);
    bad[1] = 0;
    traced(*cable, bad);
    bus_.SetKeyboardInReach(false);
    traced(*receiver, Request(kCmdReadStatus, 6, 0));
    // Events are not command reports.
    ASSERT_TRUE(bus_.SendEventCode(SimPath::KeyboardCable, 0x401));
    std::array<uint8_t, 64> event{};
    ASSERT_EQ(cable->Read(event.data(), event.size(), kReplyTimeoutMs), 3);  // same node
    // With latency the reply is traced when it is handed to the host.
    bus_.SetLatency(20ms);
    traced(*cable, Request(kCmdEndSession));
    EXPECT_EQ(Lines(), expected);
    ASSERT_EQ(expected.size(), 8u);
    EXPECT_EQ(expected[0].substr(0, 23), "> 04 01 00 01 00 00 00 ");
}

TEST_F(TraceTest, UnansweredAndUnsentReportsTraceOnlyWhatMoved) {
    bus_.Plug(SimPath::KeyboardCable);
    auto cable = OpenCommand(SimPath::KeyboardCable);
    bus_.InjectFault(SimPath::KeyboardCable, {SimFault::Kind::WriteFails, 1, -1, 0ms});
    bus_.InjectFault(SimPath::KeyboardCable, {SimFault::Kind::NoReply, 2, -1, 0ms});
    const Report request = Request(kCmdBeginSession);
    EXPECT_EQ(cable->Write(request.data(), request.size(), 1000), -1);
    EXPECT_EQ(cable->Write(request.data(), request.size(), 1000), 64);
    EXPECT_EQ(
        Lines(),
        (std::vector<std::string>{TraceLine(TraceDirection::HostToDevice, request.data(), 64)}));
}

struct PathListCase {
    const char* list;
    bool ok;
    std::vector<SimPath> paths;
};

const PathListCase kPathListCases[] = {
    {"keyboard", true, {SimPath::KeyboardCable}},
    {"keyboard,keyboard-receiver,mouse,mouse-receiver,mousepad,headset",
     true,
     {SimPath::KeyboardCable, SimPath::KeyboardReceiver, SimPath::MouseCable,
      SimPath::MouseReceiver, SimPath::MousePad, SimPath::Headset}},
    {"headset, mouse", true, {SimPath::Headset, SimPath::MouseCable}},
    {"mouse,mouse", true, {SimPath::MouseCable}},
    {"keyboard,trackball", false, {}},
    {"keyboard,,mouse", false, {}},
    {"", false, {}},
    {"Keyboard", false, {}},
};

TEST(ParseSimPathListTest, NamesAndErrors) {
    for (const PathListCase& c : kPathListCases) {
        SCOPED_TRACE(c.list);
        std::vector<SimPath> paths{SimPath::Headset, SimPath::Headset};
        std::string error;
        EXPECT_EQ(ParseSimPathList(c.list, &paths, &error), c.ok);
        if (c.ok) {
            EXPECT_EQ(paths, c.paths);
            EXPECT_TRUE(error.empty());
        } else {
            EXPECT_FALSE(error.empty());
        }
    }
    std::string error;
    ParseSimPathList("keyboard,trackball", nullptr, &error);
    EXPECT_NE(error.find("trackball"), std::string::npos);
}

}  // namespace
}  // namespace rerov::sim::testing
