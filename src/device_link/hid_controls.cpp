#include "device_link/hid_controls.h"

#include <algorithm>

namespace rerov {
namespace {

int64_t SignExtend(uint32_t raw, uint16_t bitSize) {
    if (bitSize == 0 || bitSize >= 32) return static_cast<int32_t>(raw);
    const uint32_t signBit = 1u << (bitSize - 1);
    return static_cast<int64_t>(raw ^ signBit) - static_cast<int64_t>(signBit);
}

// The value as the logical range reads it: signed when the range goes below zero.
int64_t LogicalValue(const HidCapability& cap, uint32_t raw) {
    return cap.logicalMin < 0 ? SignExtend(raw, cap.bitSize) : static_cast<int64_t>(raw);
}

// Physical value of a raw field; 0 when the field is outside its logical range or the
// ranges cannot scale (as a platform parser reports a null value).
int32_t ScaledValue(const HidCapability& cap, uint32_t raw) {
    const int64_t v = LogicalValue(cap, raw);
    const int64_t lmin = cap.logicalMin, lmax = cap.logicalMax;
    const int64_t pmin = cap.physicalMin, pmax = cap.physicalMax;
    if (lmax <= lmin || v < lmin || v > lmax) return 0;
    return static_cast<int32_t>(pmin + (v - lmin) * (pmax - pmin) / (lmax - lmin));
}

// Every pressed usage of the given page in one report, in capability order.
bool PressedUsages(const HidReportTypeInfo& info, uint16_t usagePage, uint8_t reportId,
                   const uint8_t* report, size_t length, std::vector<uint16_t>* usages) {
    usages->clear();
    for (const HidCapability& cap : info.buttonCaps) {
        if (cap.usagePage != usagePage || cap.reportId != reportId) continue;
        for (uint32_t k = 0; k < cap.reportCount; ++k) {
            uint32_t raw = 0;
            if (!ExtractReportBits(report, length, cap.bitOffset + k * cap.bitSize, cap.bitSize,
                                   &raw)) {
                return false;
            }
            if (cap.isArray) {
                const int64_t index = LogicalValue(cap, raw) - cap.logicalMin;
                const int64_t first = cap.arrayIndexBase;
                const int64_t last = first + (cap.usageMax - cap.usageMin);
                if (LogicalValue(cap, raw) > cap.logicalMax || index < first || index > last) {
                    continue;  // null or another usage list entry's index
                }
                const auto usage = static_cast<uint16_t>(cap.usageMin + (index - first));
                if (usage != 0) usages->push_back(usage);  // usage 0 means "no event"
            } else if (raw != 0) {
                usages->push_back(
                    static_cast<uint16_t>(std::min<uint32_t>(cap.usageMin + k, cap.usageMax)));
            }
        }
    }
    return true;
}

const HidCapability* FindValueCap(const HidReportTypeInfo& info, const HidDataDescriptor& d) {
    for (const HidCapability& cap : info.valueCaps) {
        if (cap.reportId == d.reportId && cap.usagePage == d.usagePage && d.usage >= cap.usageMin &&
            d.usage <= cap.usageMax) {
            return &cap;
        }
    }
    return nullptr;
}

}  // namespace

uint16_t MaxUsageListLength(const HidReportTypeInfo& info, uint16_t usagePage) {
    uint32_t total = 0;
    for (const HidCapability& cap : info.buttonCaps) {
        if (cap.usagePage == usagePage) total += cap.reportCount;
    }
    return static_cast<uint16_t>(std::min<uint32_t>(total, 0xFFFF));
}

std::vector<HidDataDescriptor> BuildDataDescriptors(const HidReportTypeInfo& info) {
    std::vector<HidDataDescriptor> out;
    for (const HidCapability& cap : info.buttonCaps) {
        HidDataDescriptor d;
        d.isButton = true;
        d.usagePage = cap.usagePage;
        d.reportId = cap.reportId;
        d.usageMin = cap.usageMin;
        d.usageMax = cap.usageMax;
        d.usages.assign(MaxUsageListLength(info, cap.usagePage), 0);
        out.push_back(std::move(d));
    }
    for (const HidCapability& cap : info.valueCaps) {
        for (uint32_t usage = cap.usageMin; usage <= cap.usageMax; ++usage) {
            HidDataDescriptor d;
            d.usagePage = cap.usagePage;
            d.reportId = cap.reportId;
            d.usage = static_cast<uint16_t>(usage);
            out.push_back(std::move(d));
        }
    }
    return out;
}

bool UnpackReport(const HidReportTypeInfo& info, const uint8_t* report, size_t length,
                  std::vector<HidDataDescriptor>* descriptors) {
    if (!report || length == 0) return false;
    const uint8_t reportId = report[0];
    std::vector<uint16_t> pressed;
    for (HidDataDescriptor& d : *descriptors) {
        if (d.reportId != reportId) continue;
        if (d.isButton) {
            std::fill(d.usages.begin(), d.usages.end(), 0);
            if (!PressedUsages(info, d.usagePage, reportId, report, length, &pressed)) {
                d.lastStatus = kHidStatusReportTooShort;
            } else {
                d.lastStatus = kHidStatusSuccess;
                size_t kept = 0;
                for (uint16_t usage : pressed) {
                    if (kept == d.usages.size()) break;
                    if (usage >= d.usageMin && usage <= d.usageMax) d.usages[kept++] = usage;
                }
            }
        } else {
            const HidCapability* cap = FindValueCap(info, d);
            if (!cap) {
                d.lastStatus = kHidStatusUsageNotFound;
                return false;
            }
            // A usage of a range reads its own field; a single usage reads the first.
            const uint32_t field = d.usage - cap->usageMin;
            uint32_t raw = 0;
            if (!ExtractReportBits(report, length, cap->bitOffset + field * cap->bitSize,
                                   cap->bitSize, &raw)) {
                d.lastStatus = kHidStatusReportTooShort;
                return false;
            }
            d.lastStatus = kHidStatusSuccess;
            d.rawValue = raw;
            d.scaledValue = ScaledValue(*cap, raw);
        }
        d.isDataSet = true;
    }
    return true;
}

}  // namespace rerov
