#pragma once
// The fixed tables by which the program recognises its devices: the HID interfaces it
// knows, the device families (one page each), their page layouts and the product records.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "device_link/device_ids.h"

namespace rerov {

// Device kinds.
inline constexpr uint16_t kKindKeyboard = 1;
inline constexpr uint16_t kKindKeyboardReceiver = 9;
inline constexpr uint16_t kKindMouse = 2;
inline constexpr uint16_t kKindMouseReceiver = 6;
inline constexpr uint16_t kKindMousePad = 3;
inline constexpr uint16_t kKindHeadset = 7;

// Interface roles.
inline constexpr uint16_t kRoleCommand = 0;      // vendor-defined collection of the protocol
inline constexpr uint16_t kRoleSecondary = 255;  // consumer-control collection with events

inline constexpr uint16_t kCommandUsagePage = 0xFF1C;
inline constexpr uint16_t kCommandUsage = 0x92;
inline constexpr uint16_t kConsumerUsagePage = 0x000C;
inline constexpr uint16_t kConsumerUsage = 0x01;

// One HID interface the program knows.
struct SupportedDevice {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t interfaceNumber = 0;
    uint16_t collectionNumber = 0;
    uint16_t kind = 0;
    uint16_t role = 0;
    uint16_t present = 0;  // run time only
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    uint16_t paired = 0;     // reachable both by cable and by receiver
    uint16_t pairedRow = 0;  // the row of the same role on the other path
    std::string path;        // run time only
};

// Same device interface: ids, interface, collection, kind, role, usage page and usage
// equal; the present flag, the pairing and the path are not compared.
bool SameDeviceInterface(const SupportedDevice& a, const SupportedDevice& b);
inline bool operator==(const SupportedDevice& a, const SupportedDevice& b) {
    return SameDeviceInterface(a, b);
}

// Which configured id a table row takes.
enum class DeviceIdSlot : uint8_t { VidA, VidB, Pid1, Pid2, Pid3, Pid4, Pid5, Pid6 };
// The id of one slot.
uint16_t DeviceIdValue(const DeviceIds& ids, DeviceIdSlot slot);

// Constant part of a SupportedDevice row; the ids are filled in from DeviceIds.
struct SupportedDeviceRow {
    DeviceIdSlot vendor;
    DeviceIdSlot product;
    uint16_t interfaceNumber;
    uint16_t collectionNumber;
    uint16_t kind;
    uint16_t role;
    uint16_t usagePage;
    uint16_t usage;
    uint16_t paired;
    uint16_t pairedRow;
};

inline constexpr size_t kSupportedDeviceCount = 11;
// The interface rows in their fixed order; the row number is the index used everywhere.
extern const std::array<SupportedDeviceRow, kSupportedDeviceCount> kSupportedDeviceRows;

// The table with the given ids, rows in their fixed order (row number = index), present
// flags cleared and paths empty.
std::vector<SupportedDevice> SupportedDevices(const DeviceIds& ids);
// The same with the ids in effect (LoadDeviceIds()).
std::vector<SupportedDevice> SupportedDevices();

// The keyboard's rows: its command and event interfaces on the cable and through the
// receiver.
inline constexpr int kKeyboardCableCommandRow = 0;
inline constexpr int kKeyboardCableEventRow = 1;
inline constexpr int kKeyboardReceiverCommandRow = 2;
inline constexpr int kKeyboardReceiverEventRow = 3;

// Family rows; the family index is the row number.
inline constexpr int kFamilyMouse = 0;
inline constexpr int kFamilyKeyboard = 1;
inline constexpr int kFamilyMousePad = 2;
inline constexpr int kFamilyHeadset = 3;
inline constexpr size_t kDeviceFamilyCount = 4;

// The main window's container of the power displays, one per page; every family's display
// goes there.
inline constexpr char kPowerContainerName[] = "device_power_switch";

struct DeviceFamily {
    const char* listEntryLayout = "";
    const char* tabHeader = "";
    const char* powerContainer = "";
    const char* familyName = "";  // also the name of the family's user-data folder
    int defaultDataIndex = 0;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t kind = 0;
    uint16_t role = 0;
};

struct DeviceFamilyRow {
    const char* listEntryLayout;
    const char* tabHeader;
    const char* powerContainer;
    const char* familyName;
    int defaultDataIndex;
    DeviceIdSlot vendor;
    DeviceIdSlot product;
    uint16_t kind;
    uint16_t role;
};
// Family rows with the ids left as slots.
extern const std::array<DeviceFamilyRow, kDeviceFamilyCount> kDeviceFamilyRows;

// The family table with the given ids / with the ids in effect.
std::vector<DeviceFamily> DeviceFamilies(const DeviceIds& ids);
std::vector<DeviceFamily> DeviceFamilies();

// The family row of a device kind (keyboard kinds 1 and 9, mouse 2 and 6, mouse pad 3,
// headset 7); -1 for any other kind.
int FamilyIndexForKind(uint16_t kind);

struct DevicePageLayout {
    int lightCount;
    int keyButtonCount;
    int hasPowerDisplay;
    const char* pageLayout;
    const char* lightFileName;
    int logoLightIndex;  // read only by the mouse page; -1 = logo not painted from the lights
};
// Page layouts, in family order.
extern const std::array<DevicePageLayout, kDeviceFamilyCount> kDevicePageLayouts;

struct ProductRecord {
    std::array<int, 3> numbers;  // the third is rewritten at run time by the version list
    const char* vendor;
    const char* modelCode;
    const char* productName;
    const char* displayName;
    const char* version;
};
// Family order; the last row describes the application itself.
extern const std::array<ProductRecord, kDeviceFamilyCount> kProductRecords;

}  // namespace rerov
