#include "sim/device_memory.h"

#include "sim/keyboard_memory.h"
#include "sim/virtual_nodes.h"

namespace rerov::sim {

namespace {

// Byte 8 of the receiver's 0xAA answer: the keyboard answers (0xFF) or is out of reach (0).
constexpr uint8_t kReceiverLinkAlive = 0xFF;
constexpr uint8_t kReceiverNoDevice = 0x00;

constexpr MemoryAreaName kReceiverLinkArea = {
    "link", "whether the keyboard is in its receiver's reach, as the receiver reports it"};

MemoryArea ReceiverLink(bool inReach) {
    MemoryArea area;
    area.name = kReceiverLinkArea.name;
    area.description = kReceiverLinkArea.description;
    area.sections.push_back(
        {"receiver link", 0, {inReach ? kReceiverLinkAlive : kReceiverNoDevice}});
    area.values = {{"inReach", inReach ? 1 : 0}};
    return area;
}

}  // namespace

std::vector<MemoryAreaName> MemoryAreasOf(SimPath path) {
    switch (path) {
        case SimPath::KeyboardCable:
            return KeyboardMemoryAreaNames();
        case SimPath::KeyboardReceiver: {
            std::vector<MemoryAreaName> names = KeyboardMemoryAreaNames();
            names.push_back(kReceiverLinkArea);
            return names;
        }
        default:
            // The mouse, the mouse pad and the headset echo commands and keep nothing.
            return {};
    }
}

std::vector<MemoryArea> ReadDeviceMemory(SimulatedBus& bus, SimPath path) {
    switch (path) {
        case SimPath::KeyboardCable:
            return KeyboardMemoryAreas(bus.Keyboard(), KeyboardLink::Cable);
        case SimPath::KeyboardReceiver: {
            std::vector<MemoryArea> areas =
                KeyboardMemoryAreas(bus.Keyboard(), KeyboardLink::Receiver);
            areas.push_back(ReceiverLink(bus.IsKeyboardInReach()));
            return areas;
        }
        default:
            return {};
    }
}

std::string PathsWithMemory() {
    std::string names;
    for (SimPath path : kAllSimPaths) {
        if (MemoryAreasOf(path).empty()) continue;
        if (!names.empty()) names += ", ";
        names += SimPathName(path);
    }
    return names;
}

}  // namespace rerov::sim
