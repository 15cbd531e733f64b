#include "shell/startup/sim_bus_control.h"

#include <algorithm>
#include <vector>

#include "sim/device_memory.h"
#include "sim/keyboard_model.h"

namespace rerov::startup {

SimBusControl::SimBusControl(std::shared_ptr<sim::SimulatedBus> bus, std::function<void()> changed)
    : bus_(std::move(bus)), changed_(std::move(changed)) {}

SimBusControl::~SimBusControl() {
    if (!trace_) return;
    bus_->SetTraceSink(nullptr);
    std::string ignored;
    trace_->Close(&ignored);  // the program is ending: nobody is left to tell
}

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

namespace {

std::string AreaList(const std::vector<sim::MemoryAreaName>& areas) {
    std::string list;
    for (const sim::MemoryAreaName& area : areas) {
        if (!list.empty()) list += ", ";
        list += area.name;
    }
    return list;
}

}  // namespace

bool SimBusControl::ReadMemory(const std::string& device, const std::string& area,
                               ipc::SimMemoryArea* memory, std::string* error) {
    sim::SimPath path{};
    if (!Path(device, &path, error)) return false;
    const std::vector<sim::MemoryAreaName> names = sim::MemoryAreasOf(path);
    if (names.empty()) {
        *error = "the simulator keeps no memory for " + device +
                 " (it answers commands without storing them); devices with memory: " +
                 sim::PathsWithMemory();
        return false;
    }
    const bool known = std::any_of(names.begin(), names.end(),
                                   [&](const sim::MemoryAreaName& n) { return area == n.name; });
    if (!known) {
        *error = "unknown memory area \"" + area + "\" of " + device +
                 " (areas: " + AreaList(names) + ")";
        return false;
    }
    for (sim::MemoryArea& read : sim::ReadDeviceMemory(*bus_, path)) {
        if (read.name != area) continue;
        memory->description = std::move(read.description);
        memory->sections.clear();
        for (sim::MemorySection& section : read.sections) {
            memory->sections.push_back(
                {std::move(section.title), section.address, std::move(section.bytes)});
        }
        memory->values.clear();
        for (const sim::MemoryValue& value : read.values) {
            memory->values.emplace_back(value.name, value.value);
        }
        return true;
    }
    *error = "the memory area \"" + area + "\" of " + device + " could not be read";
    return false;
}

bool SimBusControl::Keyboard(const std::string& device, std::string* error) const {
    if (device == "keyboard") return true;
    *error = "only the keyboard has keys, onboard profiles and settings of its own, not \"" +
             device + "\"";
    return false;
}

namespace {

constexpr char kNoEventPath[] =
    "the keyboard is not plugged in (or out of its receiver's reach): nothing carries its "
    "events";

}  // namespace

bool SimBusControl::PressKey(const std::string& device, int position, bool down,
                             std::string* error) {
    if (!Keyboard(device, error)) return false;
    if (position < 0 || position > 0xFF) {
        *error = "a key position is 0-255, not " + std::to_string(position);
        return false;
    }
    if (!bus_->PressKey(static_cast<uint8_t>(position), down)) {
        *error = kNoEventPath;
        return false;
    }
    return true;
}

bool SimBusControl::SelectOnboardProfile(const std::string& device, int profile, int field,
                                         std::string* error) {
    if (!Keyboard(device, error)) return false;
    constexpr int kProfiles = static_cast<int>(sim::KeyboardModel::kProfileCount);
    constexpr int kFieldLimit = 16;
    if (profile < 0 || profile >= kProfiles) {
        *error = "the keyboard has onboard profiles 0-" + std::to_string(kProfiles - 1) + ", not " +
                 std::to_string(profile);
        return false;
    }
    if (field >= kFieldLimit) {
        *error = "the device field is 0-15, not " + std::to_string(field);
        return false;
    }
    const auto number = static_cast<uint8_t>(profile);
    const bool sent = field < 0 ? bus_->SelectProfileOnDevice(number)
                                : bus_->SelectProfileOnDevice(number, static_cast<uint8_t>(field));
    if (!sent) {
        *error = kNoEventPath;
        return false;
    }
    return true;
}

bool SimBusControl::ReportChanged(const std::string& device, std::string* error) {
    if (!Keyboard(device, error)) return false;
    if (!bus_->ReportChangedOnDevice()) {
        *error = kNoEventPath;
        return false;
    }
    return true;
}

bool SimBusControl::SetParameterByte(const std::string& device, int offset, int value,
                                     std::string* error) {
    if (!Keyboard(device, error)) return false;
    constexpr int kAreaSize = static_cast<int>(sim::KeyboardModel::kParameterAreaSize);
    if (offset < 0 || offset >= kAreaSize || value < 0 || value > 0xFF) {
        *error =
            "the parameter area is offsets 0-" + std::to_string(kAreaSize - 1) + " of bytes 0-255";
        return false;
    }
    if (!bus_->Keyboard().SetParameterByte(static_cast<size_t>(offset),
                                           static_cast<uint8_t>(value))) {
        *error = "byte 0 is the current profile: 0-" +
                 std::to_string(sim::KeyboardModel::kProfileCount - 1);
        return false;
    }
    return true;
}

bool SimBusControl::StartTrace(const std::string& file, std::string* error) {
    // Opening empties the file; the running trace must not go on writing into it after that.
    if (trace_ && trace_->Path() == file) {
        bus_->SetTraceSink(nullptr);
        std::string ignored;
        trace_->Close(&ignored);
        trace_.reset();
    }
    std::shared_ptr<sim::TraceFile> trace = sim::TraceFile::Open(file, error);
    if (!trace) return false;
    // The new sink goes in before the old file closes, so no report falls between the two.
    bus_->SetTraceSink(sim::TraceFile::Sink(trace));
    if (trace_) {
        std::string ignored;
        trace_->Close(&ignored);
    }
    trace_ = std::move(trace);
    return true;
}

bool SimBusControl::StopTrace(ipc::SimTraceSummary* summary, std::string* error) {
    if (!trace_) {
        *error = "no trace is running";
        return false;
    }
    bus_->SetTraceSink(nullptr);
    const std::shared_ptr<sim::TraceFile> trace = std::move(trace_);
    trace_.reset();
    if (!trace->Close(error)) return false;
    summary->file = trace->Path();
    summary->lines = trace->Lines();
    return true;
}

}  // namespace rerov::startup
