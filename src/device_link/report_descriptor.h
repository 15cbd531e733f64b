#pragma once
// A small HID report-descriptor parser: enough of the item grammar to list the top-level
// collections of a node and, per collection and report type, the report ids, the report
// byte lengths and the button and value capabilities with their bit positions, so that
// input reports can be demultiplexed and unpacked without a platform HID parser.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace rerov {

enum class HidReportType : uint8_t { Input = 0, Output = 1, Feature = 2 };
inline constexpr size_t kHidReportTypeCount = 3;

// One capability: a run of fields of one main item that share a usage page and a usage
// or usage range.
struct HidCapability {
    uint16_t usagePage = 0;
    uint8_t reportId = 0;  // 0 when the descriptor uses no report ids
    bool isButton = false;
    // Buttons only: the fields hold usage indexes (an array item) instead of one bit per
    // usage. arrayIndexBase is the index of usageMin in the item's whole usage list.
    bool isArray = false;
    uint32_t arrayIndexBase = 0;
    bool isRange = false;
    uint16_t usageMin = 0;  // a single usage has usageMin == usageMax
    uint16_t usageMax = 0;
    // Position in the report buffer, whose byte 0 is the report id (0 when unnumbered).
    uint32_t bitOffset = 0;
    uint16_t bitSize = 0;
    uint16_t reportCount = 0;
    bool isAbsolute = true;
    int32_t logicalMin = 0;
    int32_t logicalMax = 0;
    int32_t physicalMin = 0;  // equal to the logical range when the descriptor gives none
    int32_t physicalMax = 0;
};

// Reports of one type inside one top-level collection.
struct HidReportTypeInfo {
    std::vector<uint8_t> reportIds;  // ascending; {0} when the descriptor uses no ids
    // Largest report of this type in bytes plus the report id byte (also counted when the
    // descriptor uses no ids); 0 when the collection has no report of this type.
    uint16_t reportByteLength = 0;
    std::vector<HidCapability> buttonCaps;
    std::vector<HidCapability> valueCaps;
};

struct HidTopLevelCollection {
    uint16_t number = 0;  // 1-based order in the descriptor
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    std::array<HidReportTypeInfo, kHidReportTypeCount> reports;

    const HidReportTypeInfo& Reports(HidReportType type) const {
        return reports[static_cast<size_t>(type)];
    }
};

struct ParsedReportDescriptor {
    bool usesReportIds = false;
    std::vector<HidTopLevelCollection> collections;
};

// Parses a raw report descriptor. Returns false with a one-line reason in *error (when
// given) on a malformed or truncated descriptor; *out is then left empty.
bool ParseReportDescriptor(const uint8_t* data, size_t length, ParsedReportDescriptor* out,
                           std::string* error);

// Reads bitSize bits (at most 32 are kept) starting at bitOffset from a little-endian
// report. Returns false when the field does not lie inside the report.
bool ExtractReportBits(const uint8_t* report, size_t length, uint32_t bitOffset, uint16_t bitSize,
                       uint32_t* value);

}  // namespace rerov
