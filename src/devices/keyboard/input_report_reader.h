#pragma once
// InputReportReader: the thread that reads one slot of a device's secondary interface
// (the cable slot or the receiver slot of a DeviceLink) and hands every event code it
// carries to a callback, on that thread. The reader owns its thread: Stop (or the
// destructor) ends it and waits for it, also while it is blocked in a read.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

#include "device_link/device_link.h"

namespace rerov {

class InputReportReader {
  public:
    using EventHandler = std::function<void(uint16_t code)>;

    // Pause after a read that failed (slot closed, device gone), so that a dead slot does
    // not spin; a stop ends it at once.
    static constexpr std::chrono::milliseconds kRetryPause{10};

    // Reads the receiver slot of `link` when `receiver`, else its cable slot. The link
    // must outlive the reader.
    InputReportReader(DeviceLink& link, bool receiver, EventHandler onEvent);
    ~InputReportReader();
    InputReportReader(const InputReportReader&) = delete;
    InputReportReader& operator=(const InputReportReader&) = delete;

    // Starts the thread (once).
    void Start();
    // Ends the thread and waits for it: signals the stop, then closes the slot's interface
    // under the slot's lock, which releases a read that is blocked. The caller opens the
    // slot again if it wants it. Harmless when not running. Not from the reader's thread.
    void Stop();
    bool IsRunning() const { return running_.load(); }

  private:
    void Run();
    HidDevice& Slot();
    std::mutex& SlotLock();
    bool SlotOpen() const;
    // Waits up to `pause` for a stop; true when stopping.
    bool WaitForStop(std::chrono::milliseconds pause);

    DeviceLink& link_;
    const bool receiver_;
    EventHandler onEvent_;
    std::thread thread_;
    std::atomic<bool> running_{false};
    std::atomic<bool> stop_{false};
    std::mutex stopMutex_;
    std::condition_variable stopSignal_;
};

}  // namespace rerov
