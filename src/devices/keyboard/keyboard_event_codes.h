#pragma once
// The events the keyboard reports by itself on its secondary interface: one 16-bit code
// per input report. This file names the codes and takes them apart; the device object
// acts on them.

#include <cstdint>
#include <vector>

#include "device_link/hid_device.h"

namespace rerov::keyboard {

enum class EventKind {
    Unknown,             // not one of the keyboard's codes: ignored
    ConfigChanged,       // 0x401: re-read the configuration
    ProfileDataChanged,  // 0x402: re-read the profile too
    KeepAlive,           // 0x404
    KeyPressed,          // 0x500 + device key position
    KeyReleased,         // 0x600 + device key position
    ProfileReport,       // 0x1000 + n, 0x1100 + 16m + n: onboard profile n (device field m)
};

inline constexpr uint16_t kConfigChangedCode = 0x401;
inline constexpr uint16_t kProfileDataChangedCode = 0x402;
inline constexpr uint16_t kKeepAliveCode = 0x404;

// Key actions of OnKeyEvent.
inline constexpr int kKeyPress = 1;
inline constexpr int kKeyRelease = 2;

struct DeviceEvent {
    EventKind kind = EventKind::Unknown;
    // Key events: the device key position.
    int position = 0;
    // Profile reports: the onboard profile and, for the 0x11 form, the device field
    // (-1 for the 0x10 form).
    int profile = 0;
    int field = -1;
    bool operator==(const DeviceEvent&) const = default;
};

DeviceEvent DecodeEventCode(uint16_t code);

// The event code of an input report unpacked into `descriptors`: the first usage of the
// first button descriptor of the report's id. False when the report carries none.
bool EventCodeFromDescriptors(const std::vector<HidDataDescriptor>& descriptors, uint8_t reportId,
                              uint16_t* code);

}  // namespace rerov::keyboard
