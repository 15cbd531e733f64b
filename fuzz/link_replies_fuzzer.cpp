// The command link's handling of what a device answers: every command of the link runs
// on the cable or the receiver path of a HidDevice whose node replies with reports from
// the fuzz input, however long, short, mismatched or hostile they are.
// Input: one byte path and command choice, then replies, each one length byte (at most 64
// are kept) and that many bytes.

#include <array>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <memory>
#include <vector>

#include "device_link/device_link.h"
#include "fuzz/scripted_hid_backend.h"
#include "sim/report_descriptors.h"

namespace {

constexpr const char* kPath = "vid_1234&pid_5678&mi_01&col04#fuzz";
constexpr int kCommandCount = 15;

std::deque<std::vector<uint8_t>> RepliesFrom(const uint8_t* bytes, size_t size) {
    std::deque<std::vector<uint8_t>> replies;
    size_t at = 0;
    while (at < size) {
        const size_t length = std::min<size_t>(bytes[at++], rerov::kCommandReportSize + 1);
        const size_t taken = std::min(length, size - at);
        replies.emplace_back(bytes + at, bytes + at + taken);
        at += taken;
    }
    return replies;
}

void RunCommand(rerov::DeviceLink& link, int command) {
    std::array<uint8_t, rerov::kMaxBlockLength> buffer{};
    std::array<uint8_t, rerov::kMaxBlockLength> data{};
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 13);
    switch (command) {
        case 0:
            link.BeginSession();
            break;
        case 1:
            link.ReadDeviceInfo(buffer.data());
            break;
        case 2:
            link.ReadParameters(buffer.data(), 200, 0x10);
            break;
        case 3:
            link.WriteParameters(data.data(), 120, 0x20);
            break;
        case 4:
            link.ReadKeyTable(buffer.data());
            break;
        case 5:
            link.WriteKeyTable(data.data(), 0);
            break;
        case 6:
            link.WriteLightTable(data.data(), 300, 1, 512);
            break;
        case 7:
            link.StreamLightFrame(data.data(), 400);
            break;
        case 8:
            link.WriteMacroData(data.data(), 250);
            break;
        case 9:
            link.WriteShootData(data.data(), 130);
            break;
        case 10:
            link.ReadStatus(buffer.data(), 56, 0x40);
            break;
        case 11:
            link.ReadLedTable(buffer.data());
            break;
        case 12:
            link.HostLightControl();
            break;
        case 13:
            link.WriteFnKeyTable(data.data(), 0);
            break;
        default:
            link.QueryReceiverLink();
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    if (size < 1) return 0;
    const bool receiver = (bytes[0] & 0x80) != 0;
    const int command = (bytes[0] & 0x7F) % kCommandCount;

    auto node = std::make_shared<rerov::fuzz::ScriptedNode>();
    node->vendorId = 0x1234;
    node->productId = 0x5678;
    node->descriptor =
        rerov::sim::CommandInterfaceDescriptor(rerov::sim::SecondCollection::Keyboard);
    node->replies = RepliesFrom(bytes + 1, size - 1);
    auto backend = std::make_shared<rerov::fuzz::ScriptedBackend>(kPath, node);

    rerov::DeviceLink link(backend);
    rerov::HidDevice& device = receiver ? link.Receiver() : link.Wired();
    if (!device.Open(kPath, rerov::kCommandAccess)) {
        std::fprintf(stderr, "the command collection did not open: %s\n",
                     device.LastError().c_str());
        std::abort();
    }
    link.SetLinkMode(receiver ? rerov::LinkMode::Receiver : rerov::LinkMode::Wired);
    link.SetConnected(true);
    // Whatever the replies were, every command of the link ends and reports an outcome.
    RunCommand(link, command);
    device.Close();
    return 0;
}
