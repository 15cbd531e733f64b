#include "sim/simulated_bus.h"

#include <algorithm>
#include <cctype>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "sim/sim_connection.h"

namespace rerov::sim {

using detail::SimConnection;

namespace {

// Counts plug and unplug calls; hot-plug watchers wait for the count to move.
struct HotplugSignal {
    std::mutex mutex;
    std::condition_variable changed;
    uint64_t generation = 0;

    void Bump() {
        {
            std::lock_guard lock(mutex);
            ++generation;
        }
        changed.notify_all();
    }
};

class SimHotplugWatcher : public HotplugWatcher {
  public:
    explicit SimHotplugWatcher(std::shared_ptr<HotplugSignal> signal) : signal_(std::move(signal)) {
        std::lock_guard lock(signal_->mutex);
        seen_ = signal_->generation;
    }

    HotplugWait Wait(std::chrono::milliseconds timeout) override {
        std::unique_lock lock(signal_->mutex);
        const bool woken = signal_->changed.wait_for(
            lock, timeout, [&] { return interrupted_ || signal_->generation != seen_; });
        if (!woken) return HotplugWait::TimedOut;
        if (interrupted_) {
            interrupted_ = false;
            return HotplugWait::Interrupted;
        }
        seen_ = signal_->generation;
        return HotplugWait::Changed;
    }

    void Interrupt() override {
        {
            std::lock_guard lock(signal_->mutex);
            interrupted_ = true;
        }
        signal_->changed.notify_all();
    }

  private:
    std::shared_ptr<HotplugSignal> signal_;
    uint64_t seen_ = 0;         // guarded by signal_->mutex
    bool interrupted_ = false;  // guarded by signal_->mutex
};

}  // namespace

// The shared state and the thread that hands out delayed reports; the bus owns the
// thread and stops it in its destructor.
struct SimulatedBus::State {
    std::shared_ptr<detail::State> shared;
    std::thread deliveries;
    std::shared_ptr<HotplugSignal> hotplug = std::make_shared<HotplugSignal>();
};

namespace detail {

State::State(const DeviceIds& deviceIds) : ids(deviceIds) {
    for (SimPath path : kAllSimPaths) {
        for (NodeSpec& description : NodesOfPath(path, ids)) {
            Path(path).nodes.push_back(NodeState{std::move(description), {}});
        }
    }
}

}  // namespace detail

namespace {

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

constexpr size_t kEventReportLength = 3;
constexpr uint16_t kKeyPressedEvent = 0x500;
constexpr uint16_t kKeyReleasedEvent = 0x600;
constexpr uint16_t kProfileEvent = 0x1000;
constexpr uint16_t kProfileFieldEvent = 0x1100;  // + 16 m + n
constexpr uint16_t kConfigurationChangedEvent = 0x401;
constexpr uint16_t kProfileDataChangedEvent = 0x402;
constexpr uint8_t kEventFieldLimit = 16;  // m and n are one nibble each
// The parameter block byte that carries the device field of a profile change.
constexpr size_t kDeviceFieldByte = 17;

}  // namespace

SimulatedBus::SimulatedBus() : SimulatedBus(LoadDeviceIds()) {}

SimulatedBus::SimulatedBus(const DeviceIds& ids) : state_(std::make_shared<State>()) {
    state_->shared = std::make_shared<detail::State>(ids);
    state_->deliveries = std::thread(detail::RunDeliveries, std::ref(*state_->shared));
}

SimulatedBus::~SimulatedBus() {
    detail::State& shared = *state_->shared;
    {
        std::lock_guard lock(shared.mutex);
        shared.shutDown = true;
        for (SimPath path : kAllSimPaths) detail::UnplugLocked(shared, path);
        shared.pending.clear();
        shared.pendingChanged.notify_all();
    }
    state_->deliveries.join();
}

std::vector<std::string> SimulatedBus::EnumeratePaths() {
    detail::State& shared = *state_->shared;
    std::lock_guard lock(shared.mutex);
    std::vector<std::string> paths;
    for (SimPath path : kAllSimPaths) {
        const detail::PathState& pathState = shared.Path(path);
        if (!pathState.plugged) continue;
        for (const detail::NodeState& node : pathState.nodes) {
            paths.insert(paths.end(), node.description.canonicalPaths.begin(),
                         node.description.canonicalPaths.end());
        }
    }
    return paths;
}

std::unique_ptr<HidConnection> SimulatedBus::Open(const std::string& canonicalPath,
                                                  HidOpenMode mode, std::string* error) {
    auto fail = [&](const std::string& reason) -> std::unique_ptr<HidConnection> {
        if (error) *error = reason;
        return nullptr;
    };
    detail::State& shared = *state_->shared;
    std::lock_guard lock(shared.mutex);
    if (shared.shutDown) return fail("simulated bus is shut down");
    for (SimPath path : kAllSimPaths) {
        detail::PathState& pathState = shared.Path(path);
        for (size_t node = 0; node < pathState.nodes.size(); ++node) {
            const auto& names = pathState.nodes[node].description.canonicalPaths;
            const bool named = std::any_of(names.begin(), names.end(), [&](const auto& name) {
                return EqualsIgnoringCase(name, canonicalPath);
            });
            if (!named) continue;
            if (!pathState.plugged) return fail("device not present: " + canonicalPath);
            // Exclusive means shared for reading only: it excludes every other writer.
            for (const SimConnection* other : pathState.nodes[node].connections) {
                if ((mode.exclusive && other->WriteAccess()) ||
                    (mode.write && other->Exclusive())) {
                    return fail("sharing violation: " + canonicalPath);
                }
            }
            return std::make_unique<SimConnection>(state_->shared, path, node, pathState.generation,
                                                   mode);
        }
    }
    return fail("no such device: " + canonicalPath);
}

void SimulatedBus::Plug(SimPath path) {
    detail::State& shared = *state_->shared;
    {
        std::lock_guard lock(shared.mutex);
        if (!shared.shutDown) shared.Path(path).plugged = true;
        if (!shared.shutDown && path == SimPath::KeyboardCable)
            shared.keyboard.SetCableAttached(true);
    }
    state_->hotplug->Bump();
}

void SimulatedBus::Unplug(SimPath path) {
    detail::State& shared = *state_->shared;
    {
        std::lock_guard lock(shared.mutex);
        detail::UnplugLocked(shared, path);
    }
    state_->hotplug->Bump();
}

std::unique_ptr<HotplugWatcher> SimulatedBus::WatchHotplug() {
    return std::make_unique<SimHotplugWatcher>(state_->hotplug);
}

bool SimulatedBus::IsPlugged(SimPath path) const {
    detail::State& shared = *state_->shared;
    std::lock_guard lock(shared.mutex);
    return shared.Path(path).plugged;
}

void SimulatedBus::SetKeyboardInReach(bool inReach) {
    detail::State& shared = *state_->shared;
    std::lock_guard lock(shared.mutex);
    shared.keyboardInReach = inReach;
}

bool SimulatedBus::IsKeyboardInReach() const {
    detail::State& shared = *state_->shared;
    std::lock_guard lock(shared.mutex);
    return shared.keyboardInReach;
}

void SimulatedBus::SetLatency(std::chrono::microseconds perReport) {
    detail::State& shared = *state_->shared;
    std::lock_guard lock(shared.mutex);
    shared.latency = std::max(perReport, std::chrono::microseconds{0});
}

bool SimulatedBus::SendEvent(SimPath path, const std::vector<uint8_t>& report) {
    if (report.size() != kEventReportLength || report[0] != kEventReportId) return false;
    detail::State& shared = *state_->shared;
    std::lock_guard device(shared.deviceMutex);
    std::unique_lock lock(shared.mutex);
    detail::PathState& pathState = shared.Path(path);
    if (!pathState.plugged) return false;
    if (path == SimPath::KeyboardReceiver && !shared.keyboardInReach) return false;
    const auto node =
        std::find_if(pathState.nodes.begin(), pathState.nodes.end(),
                     [](const detail::NodeState& n) { return n.description.carriesEvents; });
    if (node == pathState.nodes.end()) return false;
    const size_t nodeIndex = static_cast<size_t>(node - pathState.nodes.begin());
    const uint64_t generation = pathState.generation;
    const auto latency = shared.latency;
    lock.unlock();
    detail::SendToHost(shared, path, generation, nodeIndex, report, false, latency);
    return true;
}

bool SimulatedBus::SendEventCode(SimPath path, uint16_t code) {
    return SendEvent(
        path, {kEventReportId, static_cast<uint8_t>(code & 0xFF), static_cast<uint8_t>(code >> 8)});
}

bool SimulatedBus::SendKeyboardEvent(uint16_t code) {
    for (SimPath path : {SimPath::KeyboardCable, SimPath::KeyboardReceiver}) {
        if (IsPlugged(path)) return SendEventCode(path, code);
    }
    return false;
}

bool SimulatedBus::PressKey(uint8_t position, bool pressed) {
    return SendKeyboardEvent(
        static_cast<uint16_t>((pressed ? kKeyPressedEvent : kKeyReleasedEvent) + position));
}

bool SimulatedBus::SelectProfileOnDevice(uint8_t profile) {
    if (!Keyboard().SetCurrentProfile(profile)) return false;
    return SendKeyboardEvent(static_cast<uint16_t>(kProfileEvent + profile));
}

bool SimulatedBus::SelectProfileOnDevice(uint8_t profile, uint8_t deviceField) {
    if (deviceField >= kEventFieldLimit || profile >= KeyboardModel::kProfileCount) return false;
    const size_t fieldOffset = profile * KeyboardModel::kParameterBlockSize + kDeviceFieldByte;
    if (!Keyboard().SetParameterByte(fieldOffset, deviceField)) return false;
    if (!Keyboard().SetCurrentProfile(profile)) return false;
    return SendKeyboardEvent(
        static_cast<uint16_t>(kProfileFieldEvent + kEventFieldLimit * deviceField + profile));
}

bool SimulatedBus::ReportChangedOnDevice() {
    // The profile data first: the host reloads the profile before it re-reads the block.
    if (!SendKeyboardEvent(kProfileDataChangedEvent)) return false;
    return SendKeyboardEvent(kConfigurationChangedEvent);
}

void SimulatedBus::InjectFault(SimPath path, const SimFault& fault) {
    detail::State& shared = *state_->shared;
    std::lock_guard lock(shared.mutex);
    shared.Path(path).faults.push_back(detail::ArmedFault{fault, 0});
}

void SimulatedBus::ClearFaults() {
    detail::State& shared = *state_->shared;
    std::lock_guard lock(shared.mutex);
    for (SimPath path : kAllSimPaths) shared.Path(path).faults.clear();
}

unsigned SimulatedBus::TimingViolations() const {
    detail::State& shared = *state_->shared;
    std::lock_guard lock(shared.mutex);
    return shared.timingViolations;
}

KeyboardModel& SimulatedBus::Keyboard() { return state_->shared->keyboard; }

void SimulatedBus::SetTraceSink(
    std::function<void(TraceDirection, const uint8_t* report, size_t length)> sink) {
    detail::State& shared = *state_->shared;
    std::lock_guard lock(shared.mutex);
    shared.traceSink = sink ? std::make_shared<const detail::TraceSink>(std::move(sink)) : nullptr;
}

}  // namespace rerov::sim
