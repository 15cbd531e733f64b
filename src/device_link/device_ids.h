#pragma once
// USB vendor and product ids of the supported devices: built-in defaults from
// config/device_ids.txt, overridable per user without rebuilding.

#include <cstdint>
#include <string>
#include <vector>

namespace rerov {

struct DeviceIds {
    uint16_t vidA = 0;  // keyboard, mouse and mouse pad
    uint16_t vidB = 0;  // the headset's audio chip
    uint16_t pid1 = 0;  // keyboard on the cable
    uint16_t pid2 = 0;  // keyboard's receiver
    uint16_t pid3 = 0;  // mouse on the cable
    uint16_t pid4 = 0;  // mouse's receiver
    uint16_t pid5 = 0;  // mouse pad
    uint16_t pid6 = 0;  // headset

    bool operator==(const DeviceIds&) const = default;
};

// The ids the build was configured with.
DeviceIds DefaultDeviceIds();

// The ids in effect: the defaults with the user's override file applied. Read once, on
// the first call, from any thread; later calls return the same object.
const DeviceIds& LoadDeviceIds();

// Where the user's override file lives: the generic data folder (XDG_DATA_HOME on Linux),
// then "REROV ER60 EVER/device_ids.txt".
std::string DeviceIdsOverrideFile();

// Applies NAME=0xHEX lines (VID_A, VID_B, PID_1..PID_6; '#' starts a comment) to base.
// Unknown names and malformed lines are skipped, each with a one-line note in *warnings
// (when given) that is also logged.
DeviceIds ApplyDeviceIdOverrides(const DeviceIds& base, const std::string& text,
                                 std::vector<std::string>* warnings);

// Reads an override file and applies it to base; a missing file changes nothing, an
// unreadable one is reported in *warnings.
DeviceIds ReadDeviceIdsFile(const DeviceIds& base, const std::string& filePath,
                            std::vector<std::string>* warnings);

}  // namespace rerov
