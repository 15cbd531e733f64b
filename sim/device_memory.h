#pragma once
// Read-out of a simulated device's memory as its firmware holds it, for people and tests
// that check what the host wrote: each device model describes its areas as data, a name
// and the bytes of each section, with a few decoded values where the bytes alone say
// little.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/simulated_bus.h"

namespace rerov::sim {

// One run of bytes of an area: a table, a profile's block, a slot.
struct MemorySection {
    std::string title;           // "profile 1", "slot 3", "key table", ...
    size_t address = 0;          // where the section starts in the memory its commands address
    std::vector<uint8_t> bytes;  // the bytes as the firmware holds them now
};

// A number read from the bytes (key positions, current profile, battery percent, ...).
struct MemoryValue {
    std::string name;  // lowerCamelCase, as it appears in JSON
    int64_t value = 0;
};

// One named area of a device's memory, copied at one instant.
struct MemoryArea {
    std::string name;         // "info", "params", ...
    std::string description;  // one line for people
    std::vector<MemorySection> sections;
    std::vector<MemoryValue> values;
};

// Name and description of an area a path's model keeps.
struct MemoryAreaName {
    const char* name;
    const char* description;
};

// The areas modelled for a path, in the order a listing shows them; empty for a path whose
// firmware the simulator does not model (it answers without keeping anything).
std::vector<MemoryAreaName> MemoryAreasOf(SimPath path);

// Every area of the device on `path` as its firmware holds it now (each model copied under
// its own lock, so never halfway through one report), plugged in or not; empty for a path
// whose firmware is not modelled. The keyboard's receiver adds its link state ("link").
std::vector<MemoryArea> ReadDeviceMemory(SimulatedBus& bus, SimPath path);

// The paths whose memory is modelled, as --simulate names ("keyboard, keyboard-receiver").
std::string PathsWithMemory();

}  // namespace rerov::sim
