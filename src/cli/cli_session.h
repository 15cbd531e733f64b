#pragma once
// What every rerovctl command shares: the HID backend in use (the simulator with
// --simulate), the --trace file, and the link to a device's command interface.

#include <atomic>
#include <fstream>
#include <memory>
#include <string>

#include "cli/cli_options.h"
#include "device_link/device_link.h"

namespace rerov::sim {
class SimulatedBus;
}

namespace rerov::cli {

class CliSession {
  public:
    // An idle session: platform backend, no trace.
    CliSession();
    ~CliSession();

    // Installs the simulator (when asked) and opens the trace file. Returns false with a
    // one-line reason; *usageError tells a bad device list from a failure.
    bool Start(const CommandLine& options, std::string* error, bool* usageError);

    // Sends every report of link to the trace file, when one was asked for.
    void AttachTrace(DeviceLink& link);

    // Closes the trace file. False with a one-line reason when a line could not be
    // written (a full disk, for example), so the command does not end as a success with
    // reports missing from its trace.
    bool FinishTrace(std::string* error);

    // True when --receiver asked for the keyboard's receiver path.
    bool Receiver() const { return receiver_; }

  private:
    std::shared_ptr<sim::SimulatedBus> bus_;
    std::ofstream trace_;
    std::string tracePath_;
    std::atomic<bool> traceFailed_{false};  // set by the trace hook, under the link's I/O lock
    bool receiver_ = false;
};

// Exit codes of rerovctl.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Writes "rerovctl: message" to stderr.
void PrintError(const std::string& message);

// "result N (meaning)".
std::string DescribeResult(int code);

}  // namespace rerov::cli
