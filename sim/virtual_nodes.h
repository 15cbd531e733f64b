#pragma once
// The virtual USB interfaces behind each simulated path: ids, interface numbers, report
// descriptors and canonical paths, one node per interface as hidraw presents them.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "device_link/device_ids.h"
#include "sim/report_descriptors.h"
#include "sim/simulated_bus.h"

namespace rerov::sim {

inline constexpr size_t kSimPathCount = 6;
inline constexpr std::array<SimPath, kSimPathCount> kAllSimPaths = {
    SimPath::KeyboardCable, SimPath::KeyboardReceiver, SimPath::MouseCable,
    SimPath::MouseReceiver, SimPath::MousePad,         SimPath::Headset};

// The name of a path as --simulate=LIST spells it ("keyboard", "keyboard-receiver", ...).
const char* SimPathName(SimPath path);

// One virtual interface node.
struct NodeSpec {
    SimPath path = SimPath::KeyboardCable;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t versionNumber = 0;
    uint8_t interfaceNumber = 0;
    int collectionCount = 1;  // top-level collections in the descriptor
    std::vector<uint8_t> descriptor;
    std::vector<OutputReport> outputs;
    bool carriesCommands = false;  // the vendor collection with report id 4 is on this node
    bool carriesEvents = false;    // the consumer collection with report id 3 is on this node
    std::string nativePath;        // "sim:<path name>/<interface>"
    // One per top-level collection; without "&col" for a single-collection node.
    std::vector<std::string> canonicalPaths;
};

// The nodes a path presents, in interface order, with the given USB ids.
std::vector<NodeSpec> NodesOfPath(SimPath path, const DeviceIds& ids);

}  // namespace rerov::sim
