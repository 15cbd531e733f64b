#pragma once
// Report descriptors of the simulated USB interfaces, as the devices send them, and the
// output reports each interface accepts.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace rerov::sim {

// Report ids of the four top-level collections of a device's interface 1.
inline constexpr uint8_t kSystemControlReportId = 1;
inline constexpr uint8_t kKeyboardOrMouseReportId = 2;
inline constexpr uint8_t kEventReportId = 3;   // consumer control: the device's events
inline constexpr uint8_t kVendorReportId = 4;  // vendor page 0xFF1C usage 0x92
inline constexpr size_t kVendorReportDataBytes = 63;
// The headset's light reports (single collection, consumer control).
inline constexpr uint8_t kHeadsetLightReportId = 0xFF;
inline constexpr size_t kHeadsetLightReportDataBytes = 16;

// What the second collection of interface 1 is.
enum class SecondCollection { Keyboard, Mouse };

// One output report an interface accepts: report id (0 when the descriptor uses none)
// and its length in bytes with the report id byte.
struct OutputReport {
    uint8_t reportId;
    size_t length;
};

// Interface 0 of the keyboard, mouse and mouse pad: a boot keyboard without report ids.
std::vector<uint8_t> BootKeyboardDescriptor();
std::vector<OutputReport> BootKeyboardOutputs();

// Interface 1: system control (id 1), keyboard or mouse (id 2), consumer control with the
// device events (id 3), vendor command collection with 63-byte reports (id 4).
std::vector<uint8_t> CommandInterfaceDescriptor(SecondCollection second);
std::vector<OutputReport> CommandInterfaceOutputs(SecondCollection second);

// The headset's interface 3: one consumer-control collection with its media keys (id 1)
// and the 16-byte light output report (id 0xFF).
std::vector<uint8_t> HeadsetDescriptor();
std::vector<OutputReport> HeadsetOutputs();

}  // namespace rerov::sim
