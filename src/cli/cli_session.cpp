#include "cli/cli_session.h"

#include <chrono>
#include <iostream>
#include <vector>

#include "device_link/link_trace.h"
#include "sim/simulated_bus.h"

namespace rerov::cli {

CliSession::CliSession() = default;

// The simulator stays installed until the process ends: links may still hold it.
CliSession::~CliSession() = default;

bool CliSession::Start(const CommandLine& options, std::string* error, bool* usageError) {
    *usageError = false;
    receiver_ = options.receiver;
    if (options.simulate) {
        std::vector<sim::SimPath> paths;
        std::string parseError;
        if (!sim::ParseSimPathList(options.simulateList, &paths, &parseError)) {
            *error = "--simulate: " + parseError;
            *usageError = true;
            return false;
        }
        bus_ = std::make_shared<sim::SimulatedBus>();
        for (sim::SimPath path : paths) {
            // --receiver moves the simulated keyboard from its cable to its receiver.
            if (receiver_ && path == sim::SimPath::KeyboardCable) {
                path = sim::SimPath::KeyboardReceiver;
            }
            bus_->Plug(path);
            for (const sim::SimFault& fault : options.simFaults) bus_->InjectFault(path, fault);
        }
        if (options.simLatencyUs >= 0) {
            bus_->SetLatency(std::chrono::microseconds(options.simLatencyUs));
        }
        if (options.simOutOfReach) bus_->SetKeyboardInReach(false);
        InstallHidBackend(bus_);
    }
    if (!options.traceFile.empty()) {
        tracePath_ = options.traceFile;
        trace_.open(options.traceFile, std::ios::out | std::ios::trunc);
        if (!trace_) {
            *error = "cannot write the trace file " + options.traceFile;
            return false;
        }
    }
    return true;
}

void CliSession::AttachTrace(DeviceLink& link) {
    if (!trace_.is_open()) return;
    link.SetReportTraceHook(
        [this](ReportDirection direction, const uint8_t* report, size_t length) {
            trace_ << FormatReportTraceLine(direction, report, length) << '\n';
            // Flushed per line so the trace is complete up to a crash; a write fails here.
            if (!trace_.flush()) traceFailed_ = true;
        });
}

bool CliSession::FinishTrace(std::string* error) {
    if (!trace_.is_open()) return true;
    trace_.close();
    if (traceFailed_.load() || trace_.fail()) {
        *error = "cannot write the trace file " + tracePath_;
        return false;
    }
    return true;
}

void PrintError(const std::string& message) { std::cerr << "rerovctl: " << message << '\n'; }

std::string DescribeResult(int code) {
    return "result " + std::to_string(code) + " (" + ResultCodeMeaning(code) + ")";
}

}  // namespace rerov::cli
