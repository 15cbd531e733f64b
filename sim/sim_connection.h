#pragma once
// One open connection to a virtual interface node: its own bounded input queue, blocking
// reads and writes with time-outs, cancel from any thread.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "sim/bus_state.h"

namespace rerov::sim::detail {

class SimConnection : public HidConnection {
  public:
    // Input reports kept per connection before the oldest is dropped, as hidraw does.
    static constexpr size_t kQueueCapacity = 64;

    // Registers itself with the node; the caller holds State::mutex.
    SimConnection(std::shared_ptr<State> state, SimPath path, size_t node, uint64_t generation,
                  HidOpenMode mode);
    ~SimConnection() override;

    uint16_t VendorId() const override { return vendorId_; }
    uint16_t ProductId() const override { return productId_; }
    uint16_t VersionNumber() const override { return versionNumber_; }
    std::vector<uint8_t> ReportDescriptor() const override { return descriptor_; }
    int Write(const uint8_t* data, size_t length, int timeoutMs) override;
    int Read(uint8_t* buffer, size_t length, int timeoutMs) override;
    void Cancel() override;

    // Bus side; the caller holds State::mutex.
    void PushLocked(const uint8_t* report, size_t length);
    void WakeLocked() { wake_.notify_all(); }
    bool WriteAccess() const { return mode_.write; }
    bool Exclusive() const { return mode_.exclusive; }

  private:
    bool AliveLocked() const;
    bool AcceptsOutputLocked(const uint8_t* data, size_t length) const;

    const std::shared_ptr<State> state_;
    const SimPath path_;
    const size_t node_;
    const uint64_t generation_;
    const HidOpenMode mode_;
    uint16_t vendorId_ = 0, productId_ = 0, versionNumber_ = 0;
    std::vector<uint8_t> descriptor_;

    // Guarded by State::mutex.
    std::deque<std::vector<uint8_t>> queue_;
    bool cancelled_ = false;
    std::condition_variable wake_;
};

}  // namespace rerov::sim::detail
