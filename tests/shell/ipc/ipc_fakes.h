#pragma once
// Stand-ins for the running window and the simulator that record what the IPC channel asks.

#include <string>
#include <utility>
#include <vector>

#include "shell/app_control.h"
#include "shell/ipc/ipc_requests.h"
#include "shell/ui_remote.h"

namespace rerov::ipc::testing {

class FakeApp : public AppControl {
  public:
    AppState State() const override { return state; }
    void BringToFront() override { ++fronts; }
    void Exit() override { ++exits; }
    SettingsRelayOutcome RelayToSettings(int code, int value) override {
        relays.emplace_back(code, value);
        return relayOutcome;
    }
    bool OpenSettings() override {
        ++settingsOpened;
        return true;
    }

    AppState state;
    int fronts = 0;
    int exits = 0;
    std::vector<std::pair<int, int>> relays;  // code, value
    SettingsRelayOutcome relayOutcome;        // what the window makes of a relay
    int settingsOpened = 0;
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

    unsigned TimingViolations() const override { return timingViolations; }

    bool PressKey(const std::string& device, int position, bool down, std::string* error) override {
        return Record("key " + device + " " + std::to_string(position) + (down ? " down" : " up"),
                      device, error);
    }
    bool SelectOnboardProfile(const std::string& device, int profile, int field,
                              std::string* error) override {
        return Record(
            "onboard " + device + " " + std::to_string(profile) + " " + std::to_string(field),
            device, error);
    }
    bool ReportChanged(const std::string& device, std::string* error) override {
        return Record("changed " + device, device, error);
    }
    bool SetParameterByte(const std::string& device, int offset, int value,
                          std::string* error) override {
        return Record(
            "param " + device + " " + std::to_string(offset) + " " + std::to_string(value), device,
            error);
    }

    std::vector<std::string> calls;
    unsigned timingViolations = 0;  // what TimingViolations reports
    SimMemoryArea memory;           // what ReadMemory hands out
    std::string traceFile;          // the running trace, empty when none

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

// Controls to list, a screenshot result to give, and the actions asked for; an action's
// `done` is kept until the test calls Finish (or called at once with `refusal` when set).
class FakeUi : public UiRemote {
  public:
    std::vector<ControlInfo> Controls() const override { return controls; }
    bool SaveScreenshot(const std::string& path, ScreenshotInfo* info,
                        std::string* error) override {
        shots.push_back(path);
        if (!shotError.empty()) {
            *error = shotError;
            return false;
        }
        *info = shot;
        return true;
    }
    void Perform(const UiAction& action, Done done) override {
        actions.push_back(action);
        if (!refusal.empty()) {
            done(refusal);
            return;
        }
        pending.push_back(std::move(done));
    }
    // Ends the oldest action still waiting with `error` (empty: carried out).
    void Finish(const std::string& error = {}) {
        Done done = std::move(pending.front());
        pending.erase(pending.begin());
        done(error);
    }

    std::vector<ControlInfo> controls;
    ScreenshotInfo shot;
    std::string shotError;
    std::string refusal;
    std::vector<std::string> shots;
    std::vector<UiAction> actions;
    std::vector<Done> pending;
};

}  // namespace rerov::ipc::testing
