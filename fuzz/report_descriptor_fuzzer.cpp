// A report descriptor as a device sends it, then input reports on it: the parser on its
// own (with every capability's field extracted from the report), and the same bytes as
// the node of a HidDevice that opens each top-level collection and unpacks the report.
// Input: two bytes descriptor length (little-endian), the descriptor, the input report.

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "device_link/hid_device.h"
#include "device_link/report_descriptor.h"
#include "fuzz/scripted_hid_backend.h"

namespace {

constexpr size_t kMaxCollectionsOpened = 8;

void ExtractEveryField(const rerov::ParsedReportDescriptor& parsed,
                       const std::vector<uint8_t>& report) {
    for (const rerov::HidTopLevelCollection& top : parsed.collections) {
        for (const rerov::HidReportTypeInfo& info : top.reports) {
            for (const auto* caps : {&info.buttonCaps, &info.valueCaps}) {
                for (const rerov::HidCapability& cap : *caps) {
                    uint32_t value = 0;
                    for (uint32_t field = 0; field < cap.reportCount; ++field) {
                        const uint64_t offset = cap.bitOffset + uint64_t{field} * cap.bitSize;
                        if (offset > UINT32_MAX) break;
                        rerov::ExtractReportBits(report.data(), report.size(),
                                                 static_cast<uint32_t>(offset), cap.bitSize,
                                                 &value);
                    }
                }
            }
        }
    }
}

std::string PathOf(size_t collection, size_t count) {
    char path[64];
    if (count <= 1) {
        std::snprintf(path, sizeof path, "vid_1234&pid_5678&mi_01#fuzz");
    } else {
        std::snprintf(path, sizeof path, "vid_1234&pid_5678&mi_01&col%02zu#fuzz", collection + 1);
    }
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    if (size < 2) return 0;
    const size_t declared = bytes[0] | (size_t{bytes[1]} << 8);
    const size_t descriptorLength = std::min(declared, size - 2);
    const std::vector<uint8_t> descriptor(bytes + 2, bytes + 2 + descriptorLength);
    const std::vector<uint8_t> report(bytes + 2 + descriptorLength, bytes + size);

    rerov::ParsedReportDescriptor parsed;
    std::string error;
    if (!rerov::ParseReportDescriptor(descriptor.data(), descriptor.size(), &parsed, &error)) {
        if (!parsed.collections.empty()) {
            std::fprintf(stderr, "a refused descriptor left collections behind\n");
            std::abort();
        }
        return 0;
    }
    ExtractEveryField(parsed, report);

    auto node = std::make_shared<rerov::fuzz::ScriptedNode>();
    node->vendorId = 0x1234;
    node->productId = 0x5678;
    node->descriptor = descriptor;
    const size_t count = parsed.collections.size();
    auto backend = std::make_shared<rerov::fuzz::ScriptedBackend>(PathOf(0, count), node);
    for (size_t collection = 0; collection < std::min(count, kMaxCollectionsOpened); ++collection) {
        rerov::HidDevice device(backend);
        if (!device.Open(PathOf(collection, count), rerov::kCommandAccess)) continue;
        device.UnpackInputReport(report.data(), report.size());
        if (!report.empty()) {
            // The same report under each id the collection reads.
            std::vector<uint8_t> numbered = report;
            for (uint8_t id :
                 parsed.collections[collection].Reports(rerov::HidReportType::Input).reportIds) {
                numbered[0] = id;
                device.UnpackInputReport(numbered.data(), numbered.size());
            }
        }
        device.Close();
    }
    return 0;
}
