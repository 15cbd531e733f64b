#pragma once
// KeyboardSimTest: a keyboard device object on the simulated bus, with its own user data
// folder and the factory data of the source tree, the way the program sets one up on
// arrival (command interface open on the cable or behind the receiver). Every report in
// both directions is kept, so a test can assert on the bytes the device received.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device_link/command_report.h"
#include "device_link/device_ids.h"
#include "device_link/hid_device.h"
#include "device_link/supported_devices.h"
#include "devices/family_devices.h"
#include "devices/keyboard/keyboard_device.h"
#include "sim/keyboard_model.h"
#include "sim/simulated_bus.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/sim_paths.h"

namespace rerov::test {

class KeyboardSimTest : public ::testing::Test {
  protected:
    KeyboardSimTest()
        : dataHome_("XDG_DATA_HOME", home_.path().toUtf8()),
          defaultData_("REROV_DEFAULT_DATA", QByteArray(REROV_TEST_DEFAULT_DATA)) {}

    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        bus_ = std::make_shared<sim::SimulatedBus>();
        bus_->SetTraceSink(
            [this](sim::TraceDirection direction, const uint8_t* report, size_t length) {
                std::lock_guard<std::mutex> lock(traceMutex_);
                trace_.push_back({direction, std::vector<uint8_t>(report, report + length)});
                traceChanged_.notify_all();
            });
        device_ = MakeKeyboard();
    }

    void TearDown() override {
        device_.reset();
        bus_->SetTraceSink(nullptr);
        EXPECT_EQ(bus_->TimingViolations(), 0u) << "EndSession sent too soon after a transfer";
    }

    // A keyboard device object configured as the factory configures it, on this bus.
    std::unique_ptr<CZidiraKeyboardDevice> MakeKeyboard() {
        std::unique_ptr<CZidiraUSBDevice> made =
            CreateFamilyDevice(kFamilyKeyboard, SupportedDevices()[kKeyboardCableCommandRow], bus_);
        auto* keyboard = dynamic_cast<CZidiraKeyboardDevice*>(made.get());
        if (keyboard == nullptr) return nullptr;
        made.release();
        return std::unique_ptr<CZidiraKeyboardDevice>(keyboard);
    }

    std::string PathOfRow(int row) const { return test::PathOfRow(*bus_, row); }

    // Plugs the keyboard and opens its command interface on the device's main link, as
    // discovery does on arrival.
    void Connect(bool receiver = false) {
        bus_->Plug(receiver ? sim::SimPath::KeyboardReceiver : sim::SimPath::KeyboardCable);
        const std::string path =
            PathOfRow(receiver ? kKeyboardReceiverCommandRow : kKeyboardCableCommandRow);
        ASSERT_FALSE(path.empty()) << "no command interface on the simulated bus";
        DeviceLink& link = device_->MainLink();
        HidDevice& hid = receiver ? link.Receiver() : link.Wired();
        ASSERT_TRUE(hid.Open(path, kCommandAccess)) << hid.LastError();
        link.SetLinkMode(receiver ? LinkMode::Receiver : LinkMode::Wired);
        link.SetConnected(true);
    }

    sim::KeyboardModel& Firmware() { return bus_->Keyboard(); }

    // Requests the device received (optionally of one command), in order.
    std::vector<CommandReport> Sent(int command = -1) const {
        return Reports(sim::TraceDirection::HostToDevice, command);
    }
    std::vector<CommandReport> Replies(int command = -1) const {
        return Reports(sim::TraceDirection::DeviceToHost, command);
    }
    void ClearTrace() {
        std::lock_guard<std::mutex> lock(traceMutex_);
        trace_.clear();
    }
    // Waits (generously: the machine is shared) until the device saw `count` requests.
    bool WaitForSent(int command, size_t count,
                     std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        std::unique_lock<std::mutex> lock(traceMutex_);
        return traceChanged_.wait_for(lock, limit, [&] {
            return CountLocked(sim::TraceDirection::HostToDevice, command) >= count;
        });
    }

    // The user data folder of the keyboard family (created on first use).
    std::filesystem::path ProfileFolder() const { return device_->ProfileFolder(); }

    QTemporaryDir home_;
    ScopedEnvironment dataHome_;
    ScopedEnvironment defaultData_;
    std::shared_ptr<sim::SimulatedBus> bus_;
    std::unique_ptr<CZidiraKeyboardDevice> device_;

  private:
    struct Traced {
        sim::TraceDirection direction;
        std::vector<uint8_t> bytes;
    };
    std::vector<CommandReport> Reports(sim::TraceDirection direction, int command) const {
        std::lock_guard<std::mutex> lock(traceMutex_);
        std::vector<CommandReport> out;
        for (const Traced& t : trace_) {
            if (t.direction != direction || t.bytes.size() < kCommandReportSize) continue;
            CommandReport report;
            std::copy_n(t.bytes.begin(), kCommandReportSize, report.bytes.begin());
            if (command < 0 || report.Command() == command) out.push_back(report);
        }
        return out;
    }
    size_t CountLocked(sim::TraceDirection direction, int command) const {
        size_t n = 0;
        for (const Traced& t : trace_) {
            if (t.direction == direction && t.bytes.size() > kReportCommandOffset &&
                (command < 0 || t.bytes[kReportCommandOffset] == command))
                ++n;
        }
        return n;
    }

    mutable std::mutex traceMutex_;
    std::condition_variable traceChanged_;
    std::vector<Traced> trace_;
};

}  // namespace rerov::test
