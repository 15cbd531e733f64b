#pragma once
// What the requests of the IPC channel do, apart from any socket: each request object is
// turned into its reply by calling the running window (AppControl) or the simulator.

#include <QJsonObject>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "shell/app_control.h"
#include "shell/ui_remote.h"

namespace rerov::ipc {

// One memory area of a simulated device as SimulatorControl::ReadMemory hands it out.
struct SimMemorySection {
    std::string title;   // "profile 1", "key table", ...
    size_t address = 0;  // where it starts in the memory its commands address
    std::vector<uint8_t> bytes;
};
struct SimMemoryArea {
    std::string description;  // one line for people
    std::vector<SimMemorySection> sections;
    std::vector<std::pair<std::string, int64_t>> values;  // decoded numbers, by name
};

// What a stopped trace wrote.
struct SimTraceSummary {
    std::string file;
    uint64_t lines = 0;
};

// The simulated devices of a program started with --simulate. UI thread only.
class SimulatorControl {
  public:
    virtual ~SimulatorControl() = default;
    // Plugs in a path by its --simulate name (keyboard, keyboard-receiver, mouse,
    // mouse-receiver, mousepad, headset). False with a reason for an unknown name.
    virtual bool Plug(const std::string& device, std::string* error) = 0;
    // Unplugs a path by its --simulate name. False with a reason for an unknown name.
    virtual bool Unplug(const std::string& device, std::string* error) = 0;
    // The keyboard behind its receiver comes into reach (true) or goes out of it.
    virtual void SetKeyboardInReach(bool inReach) = 0;
    // One memory area of a simulated device by --simulate name and area name, as its
    // firmware holds it now. False with a reason naming the valid devices or areas.
    virtual bool ReadMemory(const std::string& device, const std::string& area,
                            SimMemoryArea* memory, std::string* error) = 0;
    // From now on every report the simulator moves (both ways) goes to `file`, an absolute
    // path, line by line; a trace already running ends and this one replaces it. False with
    // a reason when the file cannot be written (a running trace then goes on).
    virtual bool StartTrace(const std::string& file, std::string* error) = 0;
    // Ends the trace and closes its file. False with a reason when none runs or a line
    // could not be written.
    virtual bool StopTrace(SimTraceSummary* summary, std::string* error) = 0;
    // How many command reports the simulated firmware refused because they came sooner than
    // the protocol allows (an EndSession right after a transfer).
    virtual unsigned TimingViolations() const = 0;
    // The simulated keyboard's own events and changes, by --simulate device name (only
    // "keyboard" has them). Each is false with a reason when the device has no such thing,
    // an argument is out of range or no path carries the keyboard's events; a simulator
    // without them refuses.
    virtual bool PressKey(const std::string& device, int /*position*/, bool /*down*/,
                          std::string* error) {
        return Unsupported(device, error);
    }
    // The profile key: onboard profile `profile` becomes active and is reported (with the
    // device field `field` when it is 0 or more).
    virtual bool SelectOnboardProfile(const std::string& device, int /*profile*/, int /*field*/,
                                      std::string* error) {
        return Unsupported(device, error);
    }
    virtual bool ReportChanged(const std::string& device, std::string* error) {
        return Unsupported(device, error);
    }
    virtual bool SetParameterByte(const std::string& device, int /*offset*/, int /*value*/,
                                  std::string* error) {
        return Unsupported(device, error);
    }

  private:
    static bool Unsupported(const std::string& device, std::string* error) {
        *error = "the simulator cannot act on " + device;
        return false;
    }
};

// When the program started and first showed its window, on the steady clock in
// microseconds (std::chrono::steady_clock, the monotonic clock on Linux); -1 until known.
struct StartupTimes {
    qint64 mainEnteredUs = -1;
    qint64 windowShownUs = -1;
};

// What requests act on; null members are not available (no window yet, not simulated).
struct RequestTargets {
    AppControl* app = nullptr;
    SimulatorControl* sim = nullptr;
    const StartupTimes* times = nullptr;
    // The main window as the desktop sees it ({"title", "visible", "minimized"}), reported
    // under "window" by "app.state"; empty: not reported.
    std::function<QJsonObject()> window;
    // The window's controls for "app.ui.*" and "app.screenshot"; null: not available.
    UiRemote* ui = nullptr;
};

// Sends the one reply of a request answered later; does nothing once its connection is gone.
using SendReply = std::function<void(const QJsonObject& reply)>;

// The reply to one request, and whether the program is to exit once it is sent.
struct RequestOutcome {
    QJsonObject reply;
    bool exitAfterReply = false;
    // Set for a request answered later (the ui actions): instead of sending `reply`, the
    // channel calls it with the way to send the reply, now or later from the event loop.
    // Requests after it on the same connection wait for that reply.
    std::function<void(SendReply)> answerLater = nullptr;
};

// Carries out one well-formed request (it has a string "type"). Unknown types and bad
// arguments are refused with an error reply and no effect.
RequestOutcome HandleRequest(const QJsonObject& request, const RequestTargets& targets);

// The JSON form of the window's state used in the "app.state" reply.
QJsonObject StateToJson(const AppState& state);

}  // namespace rerov::ipc
