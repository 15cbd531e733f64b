#include "cli/interface_scan.h"

#include <algorithm>

#include "device_link/hid_device.h"
#include "device_link/supported_devices.h"

namespace rerov::cli {

namespace {

struct KindEntry {
    uint16_t kind;
    const char* name;
    bool receiver;
};

constexpr KindEntry kKinds[] = {
    {kKindKeyboard, "keyboard", false}, {kKindKeyboardReceiver, "keyboard-receiver", true},
    {kKindMouse, "mouse", false},       {kKindMouseReceiver, "mouse-receiver", true},
    {kKindMousePad, "mousepad", false}, {kKindHeadset, "headset", false},
};

// Keyboard rows of the table: the command interface on the cable and through the receiver.
constexpr int kKeyboardCableRow = 0;
constexpr int kKeyboardReceiverRow = 2;

bool MatchesPath(const SupportedDevice& row, const std::string& path) {
    return VendorIdFromPath(path) == row.vendorId && ProductIdFromPath(path) == row.productId &&
           InterfaceFromPath(path) == row.interfaceNumber &&
           CollectionFromPath(path) == row.collectionNumber;
}

const FoundInterface* FindRow(const ScanResult& scan, int row) {
    for (const FoundInterface& found : scan.found) {
        if (found.row == row) return &found;
    }
    return nullptr;
}

}  // namespace

ScanResult ScanSupportedInterfaces() {
    ScanResult result;
    HidDevice hid;
    if (!hid.Enumerate()) return result;
    result.enumerated = true;
    const std::vector<SupportedDevice> table = SupportedDevices();
    HidDevice probe;
    for (const std::string& path : hid.Paths()) {
        for (size_t row = 0; row < table.size(); ++row) {
            if (!MatchesPath(table[row], path)) continue;
            // Read access only, shared: a running program may hold the same interface.
            if (!probe.Open(path, kProbeAccess)) {
                result.openErrors.push_back(path + ": " + probe.LastError());
                break;
            }
            const bool usageMatches = probe.Caps().usagePage == table[row].usagePage &&
                                      probe.Caps().usage == table[row].usage;
            probe.Close();
            if (usageMatches) {
                result.found.push_back(
                    {static_cast<int>(row), table[row].kind, table[row].role, path});
                break;
            }
        }
    }
    std::sort(result.found.begin(), result.found.end(),
              [](const FoundInterface& a, const FoundInterface& b) {
                  return a.row != b.row ? a.row < b.row : a.path < b.path;
              });
    return result;
}

const FoundInterface* PickCommandInterface(const ScanResult& scan, bool preferReceiver) {
    const int first = preferReceiver ? kKeyboardReceiverRow : kKeyboardCableRow;
    const int second = preferReceiver ? kKeyboardCableRow : kKeyboardReceiverRow;
    if (const FoundInterface* found = FindRow(scan, first)) return found;
    if (const FoundInterface* found = FindRow(scan, second)) return found;
    for (const FoundInterface& found : scan.found) {
        if (found.role == kRoleCommand && found.kind != kKindHeadset) return &found;
    }
    return nullptr;
}

const char* KindName(uint16_t kind) {
    for (const KindEntry& entry : kKinds) {
        if (entry.kind == kind) return entry.name;
    }
    return "unknown";
}

const char* RoleName(uint16_t role) { return role == kRoleCommand ? "command" : "secondary"; }

bool IsReceiverKind(uint16_t kind) {
    for (const KindEntry& entry : kKinds) {
        if (entry.kind == kind) return entry.receiver;
    }
    return false;
}

}  // namespace rerov::cli
