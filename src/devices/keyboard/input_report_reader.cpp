#include "devices/keyboard/input_report_reader.h"

#include <algorithm>
#include <vector>

#include "device_link/hid_backend.h"
#include "devices/keyboard/keyboard_event_codes.h"

namespace rerov {
namespace {

// The event report is 3 bytes; a slot whose descriptor says nothing still gets room for it.
constexpr size_t kMinimumReportLength = 3;

}  // namespace

InputReportReader::InputReportReader(DeviceLink& link, bool receiver, EventHandler onEvent)
    : link_(link), receiver_(receiver), onEvent_(std::move(onEvent)) {}

InputReportReader::~InputReportReader() { Stop(); }

HidDevice& InputReportReader::Slot() { return receiver_ ? link_.Receiver() : link_.Wired(); }

std::mutex& InputReportReader::SlotLock() {
    return receiver_ ? link_.SecondaryLinkLock() : link_.IoLock();
}

bool InputReportReader::SlotOpen() const {
    return receiver_ ? link_.IsReceiver() : link_.IsConnected();
}

void InputReportReader::Start() {
    if (thread_.joinable()) return;
    stop_.store(false);
    running_.store(true);
    thread_ = std::thread([this] { Run(); });
}

void InputReportReader::Stop() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard<std::mutex> guard(stopMutex_);
        stop_.store(true);
    }
    stopSignal_.notify_all();
    {
        // Close releases a Read blocked without time-out; the reader then sees the stop.
        std::lock_guard<std::mutex> guard(SlotLock());
        Slot().Close();
    }
    thread_.join();
    running_.store(false);
}

bool InputReportReader::WaitForStop(std::chrono::milliseconds pause) {
    std::unique_lock<std::mutex> lock(stopMutex_);
    return stopSignal_.wait_for(lock, pause, [this] { return stop_.load(); });
}

void InputReportReader::Run() {
    std::vector<uint8_t> report;
    while (!stop_.load()) {
        size_t length = 0;
        {
            std::lock_guard<std::mutex> guard(SlotLock());
            if (SlotOpen()) length = Slot().Caps().inputReportByteLength;
        }
        if (length == 0) {
            if (WaitForStop(kRetryPause)) break;
            continue;
        }
        report.assign(std::max(length, kMinimumReportLength), 0);
        size_t received = 0;
        // Without time-out: a report, or Stop's Close, ends the read.
        if (!Slot().Read(report.data(), report.size(), &received, kInfiniteTimeout) ||
            received == 0) {
            if (WaitForStop(kRetryPause)) break;
            continue;
        }
        uint16_t code = 0;
        bool haveCode = false;
        {
            std::lock_guard<std::mutex> guard(SlotLock());
            if (stop_.load()) break;
            HidDevice& slot = Slot();
            haveCode =
                slot.UnpackInputReport(report.data(), received) &&
                keyboard::EventCodeFromDescriptors(slot.InputDescriptors(), report[0], &code);
        }
        if (haveCode) onEvent_(code);
    }
}

}  // namespace rerov
