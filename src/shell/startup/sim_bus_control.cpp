#include "shell/startup/sim_bus_control.h"

#include <vector>

namespace rerov::startup {

SimBusControl::SimBusControl(std::shared_ptr<sim::SimulatedBus> bus, std::function<void()> changed)
    : bus_(std::move(bus)), changed_(std::move(changed)) {}

bool SimBusControl::Path(const std::string& device, sim::SimPath* path, std::string* error) const {
    std::vector<sim::SimPath> paths;
    // One name only: a list would plug several paths under one request.
    if (device.find(',') != std::string::npos || !sim::ParseSimPathList(device, &paths, error) ||
        paths.size() != 1) {
        if (error->empty()) *error = "one device name expected, not \"" + device + "\"";
        return false;
    }
    *path = paths.front();
    return true;
}

bool SimBusControl::Plug(const std::string& device, std::string* error) {
    sim::SimPath path{};
    if (!Path(device, &path, error)) return false;
    bus_->Plug(path);
    if (changed_) changed_();
    return true;
}

bool SimBusControl::Unplug(const std::string& device, std::string* error) {
    sim::SimPath path{};
    if (!Path(device, &path, error)) return false;
    bus_->Unplug(path);
    if (changed_) changed_();
    return true;
}

void SimBusControl::SetKeyboardInReach(bool inReach) {
    bus_->SetKeyboardInReach(inReach);
    if (changed_) changed_();
}

}  // namespace rerov::startup
