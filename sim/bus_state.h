#pragma once
// Internal state of the simulated bus, shared by the bus, its connections and the thread
// that hands out delayed reports. Not part of the simulator's public interface.

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "sim/keyboard_model.h"
#include "sim/simulated_bus.h"
#include "sim/virtual_nodes.h"

namespace rerov::sim::detail {

using Clock = std::chrono::steady_clock;
using TraceSink = std::function<void(TraceDirection, const uint8_t*, size_t)>;

class SimConnection;

struct NodeState {
    NodeSpec description;
    std::vector<SimConnection*> connections;  // open connections of this node
};

struct ArmedFault {
    SimFault fault;
    int matched = 0;  // matching command reports seen since it was armed
};

struct PathState {
    bool plugged = false;
    uint64_t generation = 0;  // bumped by every unplug; older connections stay dead
    std::vector<NodeState> nodes;
    std::vector<ArmedFault> faults;
    // When the device last took a command report or handed out its reply; the firmware
    // times EndSession from it. Empty until the first command report.
    std::optional<Clock::time_point> lastTransfer;
};

// A device-to-host report waiting for its time.
struct PendingReport {
    SimPath path = SimPath::KeyboardCable;
    uint64_t generation = 0;
    size_t node = 0;
    std::vector<uint8_t> report;
    bool traced = false;  // a command reply (traced); events are not
};

struct State {
    explicit State(const DeviceIds& ids);

    PathState& Path(SimPath path) { return paths[static_cast<size_t>(path)]; }

    const DeviceIds ids;

    // Held while one host report passes through the device side and while a delayed
    // report is handed out, so the device answers one report at a time and the trace sink
    // sees the reports in order. Taken before `mutex`, never after it.
    std::mutex deviceMutex;

    // Guards everything below (the keyboard model locks itself).
    std::mutex mutex;
    bool shutDown = false;
    std::array<PathState, kSimPathCount> paths;
    bool keyboardInReach = true;
    std::chrono::microseconds latency{0};
    std::shared_ptr<const TraceSink> traceSink;
    std::multimap<Clock::time_point, PendingReport> pending;
    std::condition_variable pendingChanged;
    unsigned timingViolations = 0;  // EndSession reports that came too soon

    KeyboardModel keyboard;
};

// Queues a report on every open connection of the node if the path is still plugged in
// the given generation; returns whether it was delivered. Caller holds State::mutex.
bool DeliverLocked(State& state, SimPath path, uint64_t generation, size_t node,
                   const uint8_t* report, size_t length);

// Unplugs the path: every connection of it fails from now on and blocked calls wake up.
// Caller holds State::mutex.
void UnplugLocked(State& state, SimPath path);

// Sends a device-to-host report now (latency 0) or after `delay` through the delivery
// thread; traced reports go to the trace sink when delivered. Caller holds deviceMutex and
// not State::mutex.
void SendToHost(State& state, SimPath path, uint64_t generation, size_t node,
                std::vector<uint8_t> report, bool traced, std::chrono::microseconds delay);

// The device side of one host write that has passed its latency: faults, trace, the
// firmware's answer. Returns what Write returns. Caller holds no lock.
// `writeStarted` is when the host began the write: with a latency set, the reply is due
// two latencies after it, so the time the write itself overran is not paid twice.
int ReceiveHostReport(State& state, SimPath path, uint64_t generation, size_t node,
                      const uint8_t* data, size_t length, Clock::time_point writeStarted);

// Body of the delivery thread: hands out pending reports when due, until shutDown.
void RunDeliveries(State& state);

// Calls the trace sink, if any.
void Trace(const std::shared_ptr<const TraceSink>& sink, TraceDirection direction,
           const uint8_t* report, size_t length);

}  // namespace rerov::sim::detail
