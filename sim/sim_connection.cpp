#include "sim/sim_connection.h"

#include <algorithm>
#include <cstring>

namespace rerov::sim::detail {

SimConnection::SimConnection(std::shared_ptr<State> state, SimPath path, size_t node,
                             uint64_t generation, HidOpenMode mode)
    : state_(std::move(state)), path_(path), node_(node), generation_(generation), mode_(mode) {
    NodeState& nodeState = state_->Path(path_).nodes[node_];
    vendorId_ = nodeState.description.vendorId;
    productId_ = nodeState.description.productId;
    versionNumber_ = nodeState.description.versionNumber;
    descriptor_ = nodeState.description.descriptor;
    nodeState.connections.push_back(this);
}

SimConnection::~SimConnection() {
    std::lock_guard lock(state_->mutex);
    auto& connections = state_->Path(path_).nodes[node_].connections;
    connections.erase(std::remove(connections.begin(), connections.end(), this), connections.end());
}

bool SimConnection::AliveLocked() const {
    const PathState& path = state_->Path(path_);
    return !cancelled_ && !state_->shutDown && path.plugged && path.generation == generation_;
}

bool SimConnection::AcceptsOutputLocked(const uint8_t* data, size_t length) const {
    const auto& outputs = state_->Path(path_).nodes[node_].description.outputs;
    return std::any_of(outputs.begin(), outputs.end(), [&](const OutputReport& output) {
        return output.reportId == data[0] && output.length == length;
    });
}

int SimConnection::Write(const uint8_t* data, size_t length, int timeoutMs) {
    std::unique_lock lock(state_->mutex);
    if (!AliveLocked() || !mode_.write || data == nullptr || length == 0) return -1;
    // A report the interface does not declare is stalled by the device.
    if (!AcceptsOutputLocked(data, length)) return -1;
    const auto latency = state_->latency;
    const auto now = Clock::now();
    if (latency.count() > 0) {
        const bool timesOut = timeoutMs >= 0 && std::chrono::milliseconds(timeoutMs) < latency;
        const auto until = timesOut ? now + std::chrono::milliseconds(timeoutMs) : now + latency;
        if (wake_.wait_until(lock, until, [&] { return !AliveLocked(); })) return -1;
        if (timesOut) return 0;  // the transfer was cancelled before it left the host
    }
    lock.unlock();
    return ReceiveHostReport(*state_, path_, generation_, node_, data, length, now);
}

int SimConnection::Read(uint8_t* buffer, size_t length, int timeoutMs) {
    std::unique_lock lock(state_->mutex);
    if (!mode_.read || buffer == nullptr) return -1;
    const auto ready = [&] { return !AliveLocked() || !queue_.empty(); };
    if (timeoutMs < 0) {
        wake_.wait(lock, ready);
    } else if (!wake_.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready)) {
        return 0;
    }
    if (!AliveLocked()) return -1;
    const std::vector<uint8_t> report = std::move(queue_.front());
    queue_.pop_front();
    const size_t copied = std::min(length, report.size());
    std::memcpy(buffer, report.data(), copied);
    return static_cast<int>(copied);
}

void SimConnection::Cancel() {
    std::lock_guard lock(state_->mutex);
    cancelled_ = true;
    wake_.notify_all();
}

void SimConnection::PushLocked(const uint8_t* report, size_t length) {
    if (!mode_.read || cancelled_) return;
    if (queue_.size() == kQueueCapacity) queue_.pop_front();
    queue_.emplace_back(report, report + length);
    wake_.notify_all();
}

}  // namespace rerov::sim::detail
