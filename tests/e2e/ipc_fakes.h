#pragma once
// Stand-ins for the running window and the simulator that record what the IPC channel asks.

#include <string>
#include <vector>

#include "shell/app_control.h"
#include "shell/ipc/ipc_requests.h"

namespace rerov::ipc::testing {

class FakeApp : public AppControl {
  public:
    AppState State() const override { return state; }
    void BringToFront() override { ++fronts; }
    void Exit() override { ++exits; }

    AppState state;
    int fronts = 0;
    int exits = 0;
};

class FakeSim : public SimulatorControl {
  public:
    bool Plug(const std::string& device, std::string* error) override {
        return Record("plug " + device, device, error);
    }
    bool Unplug(const std::string& device, std::string* error) override {
        return Record("unplug " + device, device, error);
    }
    void SetKeyboardInReach(bool inReach) override {
        calls.push_back(inReach ? "reach on" : "reach off");
    }

    bool ReadMemory(const std::string& device, const std::string& area, SimMemoryArea* memory,
                    std::string* error) override {
        if (area != "info") {
            *error = "unknown memory area " + area;
            return false;
        }
        if (!Record("memory " + device + " " + area, device, error)) return false;
        *memory = this->memory;
        return true;
    }
    bool StartTrace(const std::string& file, std::string* error) override {
        if (file.find("unwritable") != std::string::npos) {
            *error = "cannot write the trace file " + file;
            return false;
        }
        calls.push_back("trace start " + file);
        traceFile = file;
        return true;
    }
    bool StopTrace(SimTraceSummary* summary, std::string* error) override {
        if (traceFile.empty()) {
            *error = "no trace is running";
            return false;
        }
        calls.push_back("trace stop");
        *summary = SimTraceSummary{traceFile, 4};
        traceFile.clear();
        return true;
    }

    std::vector<std::string> calls;
    SimMemoryArea memory;   // what ReadMemory hands out
    std::string traceFile;  // the running trace, empty when none

  private:
    bool Record(const std::string& call, const std::string& device, std::string* error) {
        if (device != "keyboard" && device != "mouse") {
            *error = "unknown device " + device;
            return false;
        }
        calls.push_back(call);
        return true;
    }
};

}  // namespace rerov::ipc::testing
