#pragma once
// The IPC channel's hold on the simulated devices of rerov-ever --simulate.

#include <functional>
#include <memory>

#include "shell/ipc/ipc_requests.h"
#include "simulated_bus.h"

namespace rerov::startup {

class SimBusControl : public ipc::SimulatorControl {
  public:
    // Controls `bus`; `changed` runs after every plug, unplug and reach change (the window
    // scans at once rather than at its next hot-plug wake-up).
    SimBusControl(std::shared_ptr<sim::SimulatedBus> bus, std::function<void()> changed);

    bool Plug(const std::string& device, std::string* error) override;
    bool Unplug(const std::string& device, std::string* error) override;
    void SetKeyboardInReach(bool inReach) override;

  private:
    bool Path(const std::string& device, sim::SimPath* path, std::string* error) const;

    std::shared_ptr<sim::SimulatedBus> bus_;
    std::function<void()> changed_;
};

}  // namespace rerov::startup
