#pragma once
// The controls of one report type of a collection as HidDevice exposes them: building
// the data descriptors from the capabilities and filling them from an input report.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "device_link/hid_device.h"
#include "device_link/report_descriptor.h"

namespace rerov {

// Status values stored in HidDataDescriptor::lastStatus.
inline constexpr int32_t kHidStatusSuccess = 0;
inline constexpr int32_t kHidStatusReportTooShort = 1;  // the control lies past the report end
inline constexpr int32_t kHidStatusUsageNotFound = 2;

// The largest number of button usages of one usage page that one report can carry.
uint16_t MaxUsageListLength(const HidReportTypeInfo& info, uint16_t usagePage);

// One descriptor per button capability, then one per value usage (a value range gives one
// descriptor per usage).
std::vector<HidDataDescriptor> BuildDataDescriptors(const HidReportTypeInfo& info);

// Updates the descriptors whose report id equals report[0]. Returns false at the first
// value control that the report does not contain.
bool UnpackReport(const HidReportTypeInfo& info, const uint8_t* report, size_t length,
                  std::vector<HidDataDescriptor>* descriptors);

}  // namespace rerov
