// The device side of the bus: what happens to a host report once it reaches a device,
// armed faults, the receiver's answer for an unreachable keyboard, and the hand-out of
// device-to-host reports (at once, or later through the delivery thread).

#include <algorithm>
#include <optional>

#ifdef __linux__
#include <sys/prctl.h>
#endif

#include "sim/sim_connection.h"

namespace rerov::sim::detail {

namespace {

constexpr uint8_t kStatusOk = 0x00;
constexpr uint8_t kReceiverNoDevice = 0x00;  // reply byte 8 of the receiver's 0xAA answer
// The firmware closes a session only once the previous transfer has settled this long; an
// EndSession that comes sooner is refused with status 0xFF. Streamed lighting frames do not
// count: the animation runs beside the sessions on a channel of its own.
constexpr auto kEndSessionSettleTime = std::chrono::milliseconds(10);

bool CountsForSessionTiming(uint8_t command) { return command != kCmdStreamLightFrame; }

// What the faults armed for a path do to one command report.
struct FaultEffects {
    bool writeFails = false;
    bool disconnect = false;
    bool noReply = false;
    bool wrongCommand = false;
    std::optional<uint8_t> status;
    std::chrono::microseconds extraDelay{0};
};

// Counts the report against every armed fault of the path; faults that reach their
// report fire once and are disarmed.
FaultEffects TakeFaultsLocked(PathState& path, uint8_t command) {
    FaultEffects effects;
    auto fires = [&](ArmedFault& armed) {
        if (armed.fault.command >= 0 && armed.fault.command != command) return false;
        return ++armed.matched >= std::max(1, armed.fault.atReport);
    };
    for (auto it = path.faults.begin(); it != path.faults.end();) {
        if (!fires(*it)) {
            ++it;
            continue;
        }
        switch (it->fault.kind) {
            case SimFault::Kind::NoReply:
                effects.noReply = true;
                break;
            case SimFault::Kind::LateReply:
                effects.extraDelay +=
                    std::chrono::duration_cast<std::chrono::microseconds>(it->fault.delay);
                break;
            case SimFault::Kind::WrongCommand:
                effects.wrongCommand = true;
                break;
            case SimFault::Kind::StatusFF:
                effects.status = kStatusError;
                break;
            case SimFault::Kind::StatusFE:
                effects.status = kStatusRefused;
                break;
            case SimFault::Kind::WriteFails:
                effects.writeFails = true;
                break;
            case SimFault::Kind::DisconnectDuring:
                effects.disconnect = true;
                break;
        }
        it = path.faults.erase(it);
    }
    return effects;
}

// The receiver's own answer while the keyboard behind it is out of reach: command byte
// 0xAA whatever was asked, and "no device" in byte 8.
Frame ReceiverOutOfReachReply(const Frame& request) {
    Frame reply = StartReply(request, kStatusOk);
    reply[kReportCommandOffset] = kCmdQueryReceiverLink;
    reply[kReportPayloadOffset] = kReceiverNoDevice;
    SealReply(&reply);
    return reply;
}

// Devices whose firmware is not modelled yet answer every command with an echo of the
// request and status 0 (0xFF for a bad checksum), so a host can still talk to them.
Frame EchoReply(const Frame& request) {
    if (!ChecksumMatches(request)) return StatusReply(request, kStatusError);
    Frame reply = request;
    reply[kReportStatusOffset] = kStatusOk;
    SealReply(&reply);
    return reply;
}

Frame Answer(State& state, SimPath path, const Frame& request, bool keyboardInReach) {
    switch (path) {
        case SimPath::KeyboardCable:
            return state.keyboard.Handle(request, KeyboardLink::Cable);
        case SimPath::KeyboardReceiver:
            if (!keyboardInReach) return ReceiverOutOfReachReply(request);
            return state.keyboard.Handle(request, KeyboardLink::Receiver);
        default:
            return EchoReply(request);
    }
}

}  // namespace

void Trace(const std::shared_ptr<const TraceSink>& sink, TraceDirection direction,
           const uint8_t* report, size_t length) {
    if (sink && *sink) (*sink)(direction, report, length);
}

namespace {

bool CanDeliverLocked(const State& state, SimPath path, uint64_t generation) {
    const PathState& pathState = state.paths[static_cast<size_t>(path)];
    return !state.shutDown && pathState.plugged && pathState.generation == generation;
}

// Hands a command reply to the host. Its trace line is recorded first, so that whoever reads
// the trace after the host has read the reply finds the line there; a reply the path can no
// longer take is neither traced nor counted as a transfer.
void HandOverReplyLocked(State& state, SimPath path, uint64_t generation, size_t node,
                         const std::vector<uint8_t>& report) {
    if (!CanDeliverLocked(state, path, generation)) return;
    Trace(state.traceSink, TraceDirection::DeviceToHost, report.data(), report.size());
    DeliverLocked(state, path, generation, node, report.data(), report.size());
    if (report.size() > kReportCommandOffset &&
        CountsForSessionTiming(report[kReportCommandOffset])) {
        state.Path(path).lastTransfer = Clock::now();
    }
}

}  // namespace

bool DeliverLocked(State& state, SimPath path, uint64_t generation, size_t node,
                   const uint8_t* report, size_t length) {
    if (!CanDeliverLocked(state, path, generation)) return false;
    for (SimConnection* connection : state.Path(path).nodes[node].connections) {
        connection->PushLocked(report, length);
    }
    return true;
}

void UnplugLocked(State& state, SimPath path) {
    PathState& pathState = state.Path(path);
    if (!pathState.plugged) return;
    pathState.plugged = false;
    // Without its cable the keyboard runs on its battery.
    if (path == SimPath::KeyboardCable) state.keyboard.SetCableAttached(false);
    ++pathState.generation;
    for (NodeState& node : pathState.nodes) {
        for (SimConnection* connection : node.connections) connection->WakeLocked();
    }
}

namespace {

// Time from now until a reply is due: two latencies after the write began (one for the
// write, one for the reply), plus any injected delay.
std::chrono::microseconds ReplyDelay(std::chrono::microseconds latency,
                                     std::chrono::microseconds extra,
                                     Clock::time_point writeStarted) {
    if (latency.count() <= 0) return extra;
    const auto due = writeStarted + 2 * latency + extra;
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(due - Clock::now());
    return std::max(left, std::chrono::microseconds{1});
}

}  // namespace

void SendToHost(State& state, SimPath path, uint64_t generation, size_t node,
                std::vector<uint8_t> report, bool traced, std::chrono::microseconds delay) {
    std::unique_lock lock(state.mutex);
    if (delay.count() > 0) {
        state.pending.emplace(Clock::now() + delay,
                              PendingReport{path, generation, node, std::move(report), traced});
        state.pendingChanged.notify_all();
        return;
    }
    if (traced) {
        HandOverReplyLocked(state, path, generation, node, report);
    } else {
        DeliverLocked(state, path, generation, node, report.data(), report.size());
    }
}

int ReceiveHostReport(State& state, SimPath path, uint64_t generation, size_t node,
                      const uint8_t* data, size_t length, Clock::time_point writeStarted) {
    std::lock_guard device(state.deviceMutex);
    std::unique_lock lock(state.mutex);
    PathState& pathState = state.Path(path);
    if (state.shutDown || !pathState.plugged || pathState.generation != generation) return -1;
    const int written = static_cast<int>(length);
    const bool isCommand = pathState.nodes[node].description.carriesCommands &&
                           data[0] == kVendorReportId && length == kCommandReportSize;
    // Keyboard LED reports and headset light reports are taken without an answer.
    if (!isCommand) return written;

    Frame request;
    std::copy(data, data + kCommandReportSize, request.begin());
    const FaultEffects faults = TakeFaultsLocked(pathState, request[kReportCommandOffset]);
    if (faults.writeFails) return -1;
    // The protocol's timing, checked as the firmware would: a session closed too soon after
    // the previous transfer is refused (and counted, so tests can assert there were none).
    const auto arrived = Clock::now();
    const bool endSessionTooSoon = request[kReportCommandOffset] == kCmdEndSession &&
                                   pathState.lastTransfer.has_value() &&
                                   arrived - *pathState.lastTransfer < kEndSessionSettleTime;
    if (endSessionTooSoon) ++state.timingViolations;
    if (CountsForSessionTiming(request[kReportCommandOffset])) pathState.lastTransfer = arrived;
    const auto sink = state.traceSink;
    const auto delay = ReplyDelay(state.latency, faults.extraDelay, writeStarted);
    const bool inReach = state.keyboardInReach;
    if (faults.disconnect) UnplugLocked(state, path);
    lock.unlock();

    Trace(sink, TraceDirection::HostToDevice, request.data(), request.size());
    if (faults.disconnect) return written;
    // A device that reports an error has not carried the command out.
    Frame reply = faults.status       ? StatusReply(request, *faults.status)
                  : endSessionTooSoon ? StatusReply(request, kStatusError)
                                      : Answer(state, path, request, inReach);
    // The device carried the command out; only its answer is lost.
    if (faults.noReply) return written;
    if (faults.wrongCommand) {
        reply[kReportCommandOffset] = static_cast<uint8_t>(reply[kReportCommandOffset] + 1);
        SealReply(&reply);
    }
    SendToHost(state, path, generation, node, {reply.begin(), reply.end()}, true, delay);
    return written;
}

void RunDeliveries(State& state) {
#ifdef __linux__
    // Replies are due at exact times that model the bus; the default 50 us timer slack
    // would add itself to every simulated report. Failing only costs precision.
    if (prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL) != 0) {
        // keep the default slack
    }
#endif
    std::unique_lock lock(state.mutex);
    while (!state.shutDown) {
        if (state.pending.empty()) {
            state.pendingChanged.wait(lock);
            continue;
        }
        const auto due = state.pending.begin()->first;
        if (Clock::now() < due) {
            state.pendingChanged.wait_until(lock, due);
            continue;
        }
        PendingReport item = std::move(state.pending.begin()->second);
        state.pending.erase(state.pending.begin());
        lock.unlock();
        {
            // Lock order: deviceMutex before mutex, as on the write path.
            std::lock_guard device(state.deviceMutex);
            std::unique_lock deliver(state.mutex);
            if (item.traced) {
                HandOverReplyLocked(state, item.path, item.generation, item.node, item.report);
            } else {
                DeliverLocked(state, item.path, item.generation, item.node, item.report.data(),
                              item.report.size());
            }
        }
        lock.lock();
    }
}

}  // namespace rerov::sim::detail
