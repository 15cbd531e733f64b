#pragma once
// A DeviceLink wired to the simulator, with every report the simulated device sees or
// sends recorded, for the command-protocol tests.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device_link/device_link.h"
#include "device_link/hid_device.h"
#include "device_link/supported_devices.h"
#include "sim/simulated_bus.h"

namespace rerov::linktest {

struct TracedReport {
    sim::TraceDirection direction;
    CommandReport report;
};

class SimLinkTest : public ::testing::Test {
  protected:
    static constexpr int kKeyboardCableRow = 0;
    static constexpr int kKeyboardReceiverRow = 2;

    void SetUp() override {
        bus_->SetTraceSink([this](sim::TraceDirection direction, const uint8_t* report,
                                  size_t length) {
            TracedReport traced{direction, {}};
            std::copy_n(report, std::min(length, kCommandReportSize), traced.report.bytes.begin());
            std::lock_guard<std::mutex> lock(traceMutex_);
            trace_.push_back(traced);
            traceChanged_.notify_all();
        });
    }

    void TearDown() override {
        bus_->SetTraceSink(nullptr);
        // The simulated firmware refuses a session closed too soon; no test may provoke it.
        EXPECT_EQ(bus_->TimingViolations(), 0u) << "EndSession sent too soon after a transfer";
    }

    // Plugs the keyboard on the cable or behind its receiver and opens its command
    // interface on link_ in the matching mode.
    void ConnectKeyboard(bool receiver) {
        const sim::SimPath simPath =
            receiver ? sim::SimPath::KeyboardReceiver : sim::SimPath::KeyboardCable;
        bus_->Plug(simPath);
        const SupportedDevice row =
            SupportedDevices()[receiver ? kKeyboardReceiverRow : kKeyboardCableRow];
        std::string path;
        for (const std::string& candidate : bus_->EnumeratePaths()) {
            if (VendorIdFromPath(candidate) == row.vendorId &&
                ProductIdFromPath(candidate) == row.productId &&
                InterfaceFromPath(candidate) == row.interfaceNumber &&
                CollectionFromPath(candidate) == row.collectionNumber) {
                path = candidate;
            }
        }
        ASSERT_FALSE(path.empty()) << "no command interface on the simulated bus";
        HidDevice& device = receiver ? link_.Receiver() : link_.Wired();
        ASSERT_TRUE(device.Open(path, kCommandAccess)) << device.LastError();
        link_.SetLinkMode(receiver ? LinkMode::Receiver : LinkMode::Wired);
        link_.SetConnected(true);
    }

    // Requests the device received, optionally only those of one command.
    std::vector<CommandReport> Sent(int command = -1) const {
        return Reports(sim::TraceDirection::HostToDevice, command);
    }
    std::vector<CommandReport> Replies(int command = -1) const {
        return Reports(sim::TraceDirection::DeviceToHost, command);
    }

    // Waits (generously) until the device has seen `count` requests of `command`.
    bool WaitForSent(int command, size_t count,
                     std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        std::unique_lock<std::mutex> lock(traceMutex_);
        return traceChanged_.wait_for(lock, limit, [&] {
            return CountLocked(sim::TraceDirection::HostToDevice, command) >= count;
        });
    }
    bool WaitForReply(int command, size_t count,
                      std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        std::unique_lock<std::mutex> lock(traceMutex_);
        return traceChanged_.wait_for(lock, limit, [&] {
            return CountLocked(sim::TraceDirection::DeviceToHost, command) >= count;
        });
    }

    void ClearTrace() {
        std::lock_guard<std::mutex> lock(traceMutex_);
        trace_.clear();
    }

    static std::vector<uint8_t> Pattern(size_t length, uint8_t seed) {
        std::vector<uint8_t> bytes(length);
        for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 7);
        return bytes;
    }

    std::shared_ptr<sim::SimulatedBus> bus_ = std::make_shared<sim::SimulatedBus>();
    DeviceLink link_{bus_};

  private:
    size_t CountLocked(sim::TraceDirection direction, int command) const {
        size_t count = 0;
        for (const TracedReport& traced : trace_) {
            if (traced.direction == direction &&
                (command < 0 || traced.report.Command() == command)) {
                ++count;
            }
        }
        return count;
    }

    std::vector<CommandReport> Reports(sim::TraceDirection direction, int command) const {
        std::lock_guard<std::mutex> lock(traceMutex_);
        std::vector<CommandReport> reports;
        for (const TracedReport& traced : trace_) {
            if (traced.direction == direction &&
                (command < 0 || traced.report.Command() == command)) {
                reports.push_back(traced.report);
            }
        }
        return reports;
    }

    mutable std::mutex traceMutex_;
    std::condition_variable traceChanged_;
    std::vector<TracedReport> trace_;
};

}  // namespace rerov::linktest
