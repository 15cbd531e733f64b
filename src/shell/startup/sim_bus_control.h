#pragma once
// The IPC channel's hold on the simulated devices of rerov-ever --simulate.

#include <functional>
#include <memory>

#include "shell/ipc/ipc_requests.h"
#include "sim/simulated_bus.h"
#include "sim/trace_file.h"

namespace rerov::startup {

class SimBusControl : public ipc::SimulatorControl {
  public:
    // Controls `bus`; `changed` runs after every plug, unplug and reach change (the window
    // scans at once rather than at its next hot-plug wake-up).
    SimBusControl(std::shared_ptr<sim::SimulatedBus> bus, std::function<void()> changed);
    // Ends a running trace and closes its file.
    ~SimBusControl() override;
    SimBusControl(const SimBusControl&) = delete;
    SimBusControl& operator=(const SimBusControl&) = delete;

    bool Plug(const std::string& device, std::string* error) override;
    bool Unplug(const std::string& device, std::string* error) override;
    void SetKeyboardInReach(bool inReach) override;
    bool ReadMemory(const std::string& device, const std::string& area, ipc::SimMemoryArea* memory,
                    std::string* error) override;
    // A trace replaced by a new start is closed silently: only stop reports write failures.
    // A start on the running trace's own file ends that trace before the file is emptied.
    bool StartTrace(const std::string& file, std::string* error) override;
    bool StopTrace(ipc::SimTraceSummary* summary, std::string* error) override;
    unsigned TimingViolations() const override { return bus_->TimingViolations(); }
    bool PressKey(const std::string& device, int position, bool down, std::string* error) override;
    bool SelectOnboardProfile(const std::string& device, int profile, int field,
                              std::string* error) override;
    bool ReportChanged(const std::string& device, std::string* error) override;
    bool SetParameterByte(const std::string& device, int offset, int value,
                          std::string* error) override;

  private:
    // Only the keyboard's firmware is modelled far enough to have keys, profiles and
    // settings of its own.
    bool Keyboard(const std::string& device, std::string* error) const;
    bool Path(const std::string& device, sim::SimPath* path, std::string* error) const;

    std::shared_ptr<sim::SimulatedBus> bus_;
    std::function<void()> changed_;
    std::shared_ptr<sim::TraceFile> trace_;  // the running trace, null when none
};

}  // namespace rerov::startup
