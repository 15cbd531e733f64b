#pragma once
// The device simulator: a HID backend that presents virtual interfaces with canonical
// paths and answers command reports as the firmware does. It shares no state with host
// code except through reports; the control calls below are for tests, demos and
// rerovctl --simulate.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "device_link/device_ids.h"
#include "device_link/hid_backend.h"

namespace rerov::sim {

// The USB paths the virtual bus can plug in; each is one row pair of the supported-device
// table (command interface and secondary interface).
enum class SimPath {
    KeyboardCable,
    KeyboardReceiver,
    MouseCable,
    MouseReceiver,
    MousePad,
    Headset
};

// A fault armed for one path; it fires at the n-th command report (1-based, counted from
// the moment it is armed) whose command byte matches `command` (-1 = any command).
struct SimFault {
    enum class Kind {
        NoReply,           // the report is taken but never answered
        LateReply,         // answered after `delay`
        WrongCommand,      // the reply carries another command byte (command + 1)
        StatusFF,          // reply status byte 0xFF
        StatusFE,          // reply status byte 0xFE
        WriteFails,        // the host's write of that report fails
        DisconnectDuring,  // the path is unplugged when that report arrives
    };
    Kind kind = Kind::NoReply;
    int atReport = 1;
    int command = -1;
    std::chrono::milliseconds delay{0};
};

enum class TraceDirection { HostToDevice, DeviceToHost };

class KeyboardModel;  // device memory and behaviour of the keyboard (keyboard_model.h)

// Nodes: the keyboard, mouse and mouse pad paths have interface 0 (a boot keyboard) and
// interface 1 (system control, keyboard or mouse, the event collection and the vendor
// command collection); the headset has interface 3 (consumer control with its 17-byte
// light report). Command reports go to the keyboard model on the keyboard paths; the
// mouse and mouse pad, whose firmware is not modelled yet, echo each command report with
// status 0 (0xFF for a bad checksum). Replies reach every open connection of the node.
class SimulatedBus : public HidBackend {
  public:
    SimulatedBus();
    ~SimulatedBus() override;
    // A bus whose devices carry the given USB ids (the default constructor takes the ids in
    // effect, LoadDeviceIds(), as the host's tables do).
    explicit SimulatedBus(const DeviceIds& ids);
    SimulatedBus(const SimulatedBus&) = delete;
    SimulatedBus& operator=(const SimulatedBus&) = delete;

    std::vector<std::string> EnumeratePaths() override;
    std::unique_ptr<HidConnection> Open(const std::string& canonicalPath, HidOpenMode mode,
                                        std::string* error) override;

    // Wakes on every Plug and Unplug (an unplug by an injected fault is found by the
    // caller's slow poll).
    std::unique_ptr<HotplugWatcher> WatchHotplug() override;

    // Plugging and unplugging; unplugging makes every open connection of the path fail.
    void Plug(SimPath path);
    void Unplug(SimPath path);
    bool IsPlugged(SimPath path) const;

    // The keyboard behind its receiver going out of reach (receiver answers 0xAA) and back.
    // Plugging the cable powers and charges the keyboard; without it it runs on battery.
    void SetKeyboardInReach(bool inReach);
    bool IsKeyboardInReach() const;

    // Extra time each report takes in each direction (0 = none; 1 ms models full speed USB):
    // a write returns after it (0 when the write's time-out is shorter: nothing is sent),
    // and the reply becomes readable that long after the write completed.
    void SetLatency(std::chrono::microseconds perReport);

    // An input report the device sends by itself on its event collection (report id 3,
    // 16-bit event code little-endian: 3 bytes in all), to every open connection of the
    // path's interface 1. False when the path is unplugged, has no event collection, the
    // report is not a 3-byte report with id 3, or the keyboard is out of its receiver's
    // reach.
    bool SendEvent(SimPath path, const std::vector<uint8_t>& report);
    // SendEvent of the report that carries `code` (0x401 configuration changed, 0x500 + p
    // key p pressed, 0x1000 + n onboard profile n, ...).
    bool SendEventCode(SimPath path, uint16_t code);

    // The keyboard's own events go out over the way it is reached: the cable when that path
    // is plugged, else the receiver. False when neither carries it.
    bool SendKeyboardEvent(uint16_t code);
    // A key at device position `position` pressed (event 0x500 + p) or released (0x600 + p).
    bool PressKey(uint8_t position, bool pressed);
    // The profile key on the keyboard: selects onboard profile n and reports 0x1000 + n.
    // False for a profile the keyboard does not have (nothing changes then).
    bool SelectProfileOnDevice(uint8_t profile);
    // The same with the device field m (below 16): reports 0x1100 + 16 m + n and keeps m in
    // byte 17 of profile n's parameter block.
    bool SelectProfileOnDevice(uint8_t profile, uint8_t deviceField);
    // The keyboard's settings were changed on the device itself (its own keys, or a test
    // that edited its memory): reports 0x402 (profile data changed), then 0x401
    // (configuration changed). False when no path carries the keyboard's events.
    bool ReportChangedOnDevice();

    // The protocol's timing as the firmware checks it: an EndSession that arrives less than
    // 10 ms after the previous command report of its path (streamed lighting frames aside)
    // was taken or answered is refused with status 0xFF and counted here (since the bus was
    // made, every path together).
    unsigned TimingViolations() const;

    // Arms a one-shot fault on the path (see SimFault); several may be armed at once.
    void InjectFault(SimPath path, const SimFault& fault);
    // Disarms every fault of every path.
    void ClearFaults();

    // The keyboard's device memory, for tests that assert on what was written.
    KeyboardModel& Keyboard();

    // Every command report in both directions, in order. The sink is called on the
    // thread that moved the report, a reply while the bus is locked (so it is traced before
    // the host can read it); it must not call the bus itself. TraceLine formats
    // one line as rerovctl --trace does. An empty function removes the sink.
    void SetTraceSink(
        std::function<void(TraceDirection, const uint8_t* report, size_t length)> sink);

  private:
    struct State;
    std::shared_ptr<State> state_;
};

// "> " or "< " and the bytes as two lower-case hex digits separated by single spaces.
std::string TraceLine(TraceDirection direction, const uint8_t* report, size_t length);

// Parses "keyboard,mouse,..." as rerovctl/rerov-ever --simulate=LIST does: the names
// keyboard, keyboard-receiver, mouse, mouse-receiver, mousepad, headset. Returns false on
// an unknown name.
bool ParseSimPathList(const std::string& list, std::vector<SimPath>* paths, std::string* error);

}  // namespace rerov::sim
