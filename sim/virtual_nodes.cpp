#include "sim/virtual_nodes.h"

#include <cstdio>

#include "device_link/supported_devices.h"

namespace rerov::sim {

namespace {

enum class NodeSet { KeyboardLike, MouseLike, Headset };

struct PathRow {
    SimPath path;
    const char* name;
    DeviceIdSlot vendor;
    DeviceIdSlot product;
    NodeSet nodes;
};

constexpr PathRow kPathRows[] = {
    {SimPath::KeyboardCable, "keyboard", DeviceIdSlot::VidA, DeviceIdSlot::Pid1,
     NodeSet::KeyboardLike},
    {SimPath::KeyboardReceiver, "keyboard-receiver", DeviceIdSlot::VidA, DeviceIdSlot::Pid2,
     NodeSet::KeyboardLike},
    {SimPath::MouseCable, "mouse", DeviceIdSlot::VidA, DeviceIdSlot::Pid3, NodeSet::MouseLike},
    {SimPath::MouseReceiver, "mouse-receiver", DeviceIdSlot::VidA, DeviceIdSlot::Pid4,
     NodeSet::MouseLike},
    {SimPath::MousePad, "mousepad", DeviceIdSlot::VidA, DeviceIdSlot::Pid5, NodeSet::KeyboardLike},
    {SimPath::Headset, "headset", DeviceIdSlot::VidB, DeviceIdSlot::Pid6, NodeSet::Headset},
};

constexpr uint16_t kVersionNumber = 0x0105;
constexpr uint8_t kHeadsetInterface = 3;

const PathRow& RowOf(SimPath path) {
    for (const PathRow& row : kPathRows) {
        if (row.path == path) return row;
    }
    return kPathRows[0];  // unreachable: every enumerator has a row
}

NodeSpec MakeNode(const PathRow& row, const DeviceIds& ids, uint8_t interfaceNumber,
                  int collectionCount, std::vector<uint8_t> descriptor,
                  std::vector<OutputReport> outputs) {
    NodeSpec node;
    node.path = row.path;
    node.vendorId = DeviceIdValue(ids, row.vendor);
    node.productId = DeviceIdValue(ids, row.product);
    node.versionNumber = kVersionNumber;
    node.interfaceNumber = interfaceNumber;
    node.collectionCount = collectionCount;
    node.descriptor = std::move(descriptor);
    node.outputs = std::move(outputs);
    node.nativePath = std::string("sim:") + row.name + "/" + std::to_string(interfaceNumber);
    char prefix[48];
    std::snprintf(prefix, sizeof prefix, "vid_%04x&pid_%04x&mi_%02x", node.vendorId, node.productId,
                  interfaceNumber);
    if (collectionCount == 1) {
        node.canonicalPaths.push_back(std::string(prefix) + "#" + node.nativePath);
    } else {
        for (int collection = 1; collection <= collectionCount; ++collection) {
            char suffix[16];
            std::snprintf(suffix, sizeof suffix, "&col%02x", collection);
            node.canonicalPaths.push_back(std::string(prefix) + suffix + "#" + node.nativePath);
        }
    }
    return node;
}

}  // namespace

const char* SimPathName(SimPath path) { return RowOf(path).name; }

std::vector<NodeSpec> NodesOfPath(SimPath path, const DeviceIds& ids) {
    const PathRow& row = RowOf(path);
    std::vector<NodeSpec> nodes;
    if (row.nodes == NodeSet::Headset) {
        NodeSpec headset =
            MakeNode(row, ids, kHeadsetInterface, 1, HeadsetDescriptor(), HeadsetOutputs());
        nodes.push_back(std::move(headset));
        return nodes;
    }
    const SecondCollection second =
        row.nodes == NodeSet::MouseLike ? SecondCollection::Mouse : SecondCollection::Keyboard;
    nodes.push_back(MakeNode(row, ids, 0, 1, BootKeyboardDescriptor(), BootKeyboardOutputs()));
    NodeSpec commands = MakeNode(row, ids, 1, 4, CommandInterfaceDescriptor(second),
                                 CommandInterfaceOutputs(second));
    commands.carriesCommands = true;
    commands.carriesEvents = true;
    nodes.push_back(std::move(commands));
    return nodes;
}

}  // namespace rerov::sim
