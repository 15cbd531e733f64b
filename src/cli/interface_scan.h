#pragma once
// Finding the supported interfaces that are present, the way discovery does: enumerate,
// match ids, interface and collection against the supported-device table, then open the
// interface for reading and check its usage page and usage.

#include <cstdint>
#include <string>
#include <vector>

namespace rerov::cli {

struct FoundInterface {
    int row = -1;
    uint16_t kind = 0;
    uint16_t role = 0;
    std::string path;
};

struct ScanResult {
    bool enumerated = false;              // false when the HID layer could not list interfaces
    std::vector<FoundInterface> found;    // sorted by row, then path
    std::vector<std::string> openErrors;  // matching paths that could not be opened
};

// Scans the HID interfaces of the backend in use.
ScanResult ScanSupportedInterfaces();

// The keyboard's command interface (row 0 on the cable, row 2 through the receiver);
// with preferReceiver the receiver row is taken first. Falls back to any other command
// interface of the protocol (the mouse or the mouse pad). Null when none is found.
const FoundInterface* PickCommandInterface(const ScanResult& scan, bool preferReceiver);

// "keyboard", "keyboard-receiver", "mouse", "mouse-receiver", "mousepad", "headset".
const char* KindName(uint16_t kind);
// "command" or "secondary".
const char* RoleName(uint16_t role);
// True for the kinds reached through a receiver.
bool IsReceiverKind(uint16_t kind);

}  // namespace rerov::cli
