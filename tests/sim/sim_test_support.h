#pragma once
// Shared helpers of the simulator tests: a bus with known ids, framed requests and one
// write-then-read transaction through a HidConnection.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "device_link/command_report.h"
#include "sim/keyboard_model.h"
#include "sim/simulated_bus.h"

namespace rerov::sim::testing {

inline DeviceIds TestIds() {
    DeviceIds ids;
    ids.vidA = 0x1a2b;
    ids.vidB = 0x3c4d;
    ids.pid1 = 0x0101;
    ids.pid2 = 0x0102;
    ids.pid3 = 0x0203;
    ids.pid4 = 0x0204;
    ids.pid5 = 0x0305;
    ids.pid6 = 0x0406;
    return ids;
}

// Canonical path of the vendor command collection (interface 1, collection 4).
inline std::string CommandPath(SimPath path) {
    switch (path) {
        case SimPath::KeyboardCable:
            return "vid_1a2b&pid_0101&mi_01&col04#sim:keyboard/1";
        case SimPath::KeyboardReceiver:
            return "vid_1a2b&pid_0102&mi_01&col04#sim:keyboard-receiver/1";
        case SimPath::MouseCable:
            return "vid_1a2b&pid_0203&mi_01&col04#sim:mouse/1";
        case SimPath::MouseReceiver:
            return "vid_1a2b&pid_0204&mi_01&col04#sim:mouse-receiver/1";
        case SimPath::MousePad:
            return "vid_1a2b&pid_0305&mi_01&col04#sim:mousepad/1";
        case SimPath::Headset:
            return "vid_3c4d&pid_0406&mi_03#sim:headset/3";
    }
    return {};
}

// Canonical path of the event collection (interface 1, collection 3).
inline std::string EventPath(SimPath path) {
    std::string p = CommandPath(path);
    p.replace(p.find("&col04"), 6, "&col03");
    return p;
}

using Report = std::array<uint8_t, kCommandReportSize>;

inline Report Request(uint8_t command, uint8_t length = 0, uint16_t offset = 0,
                      const std::vector<uint8_t>& payload = {}) {
    return CommandReport::Build(command, length, offset, payload.data(), payload.size()).bytes;
}

// Generous time-out for "a reply arrives": the machine is shared with other builds.
inline constexpr int kReplyTimeoutMs = 5000;

class SimTest : public ::testing::Test {
  protected:
    std::unique_ptr<HidConnection> OpenPath(const std::string& path,
                                            HidOpenMode mode = kCommandAccess) {
        std::string error;
        auto connection = bus_.Open(path, mode, &error);
        EXPECT_NE(connection, nullptr) << error;
        return connection;
    }

    std::unique_ptr<HidConnection> OpenCommand(SimPath path) { return OpenPath(CommandPath(path)); }

    // Writes the request and reads one reply; fails the test when either does not happen.
    Report Transact(HidConnection& connection, const Report& request) {
        Report reply{};
        EXPECT_EQ(connection.Write(request.data(), request.size(), kReplyTimeoutMs),
                  static_cast<int>(request.size()));
        EXPECT_EQ(connection.Read(reply.data(), reply.size(), kReplyTimeoutMs),
                  static_cast<int>(reply.size()));
        return reply;
    }

    SimulatedBus bus_{TestIds()};
};

}  // namespace rerov::sim::testing
