#include "device_link/supported_devices.h"

namespace rerov {
namespace {

using S = DeviceIdSlot;
constexpr uint16_t kCmdPage = kCommandUsagePage;
constexpr uint16_t kConPage = kConsumerUsagePage;

}  // namespace

// clang-format off
const std::array<SupportedDeviceRow, kSupportedDeviceCount> kSupportedDeviceRows = {{
    //  vendor  product  mi col kind                   role            page      usage          paired row
    {S::VidA, S::Pid1, 1, 4, kKindKeyboard,         kRoleCommand,   kCmdPage, kCommandUsage,  1, 2},
    {S::VidA, S::Pid1, 1, 3, kKindKeyboard,         kRoleSecondary, kConPage, kConsumerUsage, 1, 3},
    {S::VidA, S::Pid2, 1, 4, kKindKeyboardReceiver, kRoleCommand,   kCmdPage, kCommandUsage,  1, 0},
    {S::VidA, S::Pid2, 1, 3, kKindKeyboardReceiver, kRoleSecondary, kConPage, kConsumerUsage, 1, 1},
    {S::VidA, S::Pid3, 1, 4, kKindMouse,            kRoleCommand,   kCmdPage, kCommandUsage,  1, 6},
    {S::VidA, S::Pid3, 1, 3, kKindMouse,            kRoleSecondary, kConPage, kConsumerUsage, 1, 7},
    {S::VidA, S::Pid4, 1, 4, kKindMouseReceiver,    kRoleCommand,   kCmdPage, kCommandUsage,  1, 4},
    {S::VidA, S::Pid4, 1, 3, kKindMouseReceiver,    kRoleSecondary, kConPage, kConsumerUsage, 1, 5},
    {S::VidA, S::Pid5, 1, 4, kKindMousePad,         kRoleCommand,   kCmdPage, kCommandUsage,  0, 0},
    {S::VidA, S::Pid5, 1, 3, kKindMousePad,         kRoleSecondary, kConPage, kConsumerUsage, 0, 0},
    {S::VidB, S::Pid6, 3, 0, kKindHeadset,          kRoleCommand,   kConPage, kConsumerUsage, 0, 0},
}};

#define REROV_ENTRY_LAYOUT "XML\\CustomControlXML\\DeviceOption.xml"
const std::array<DeviceFamilyRow, kDeviceFamilyCount> kDeviceFamilyRows = {{
    {REROV_ENTRY_LAYOUT, "tab_header_device", kPowerContainerName, "mouse",    1, S::VidA, S::Pid3, kKindMouse,    kRoleCommand},
    {REROV_ENTRY_LAYOUT, "tab_header_device", kPowerContainerName, "keyboard", 0, S::VidA, S::Pid1, kKindKeyboard, kRoleCommand},
    {REROV_ENTRY_LAYOUT, "tab_header_device", kPowerContainerName, "MousePad", 2, S::VidA, S::Pid5, kKindMousePad, kRoleCommand},
    {REROV_ENTRY_LAYOUT, "tab_header_device", kPowerContainerName, "HD",       3, S::VidB, S::Pid6, kKindHeadset,  kRoleCommand},
}};
#undef REROV_ENTRY_LAYOUT

const std::array<DevicePageLayout, kDeviceFamilyCount> kDevicePageLayouts = {{
    {15,  11,  1, "XML\\DeviceXml\\mousedevice.xml",    "zired_light", -1},
    {170, 170, 1, "XML\\DeviceXml\\keyboarddevice.xml", "zired_light", -1},
    {15,  0,   0, "XML\\DeviceXml\\mousepaddevice.xml", "zired_light", -1},
    {13,  0,   0, "XML\\DeviceXml\\ri6533device.xml",   "zired_light", -1},
}};

const std::array<ProductRecord, kDeviceFamilyCount> kProductRecords = {{
    {{1, 1, 0}, "ZIRED", "ZU40V01A",   "MS",              "MS",              ""},
    {{1, 1, 0}, "ZIRED", "VO40Z02U",   "REROV ER60 EVER", "REROV ER60 EVER", ""},
    {{2, 1, 0}, "ZIRED", "DI40V03O_1", "D90",             "D90",             ""},
    {{0, 1, 0}, "ZIRED", "ALL",        "DEZOR VA60",      "AP",              "V1000"},
}};
// clang-format on

bool SameDeviceInterface(const SupportedDevice& a, const SupportedDevice& b) {
    return a.vendorId == b.vendorId && a.productId == b.productId &&
           a.interfaceNumber == b.interfaceNumber && a.collectionNumber == b.collectionNumber &&
           a.kind == b.kind && a.role == b.role && a.usagePage == b.usagePage && a.usage == b.usage;
}

uint16_t DeviceIdValue(const DeviceIds& ids, DeviceIdSlot slot) {
    switch (slot) {
        case DeviceIdSlot::VidA:
            return ids.vidA;
        case DeviceIdSlot::VidB:
            return ids.vidB;
        case DeviceIdSlot::Pid1:
            return ids.pid1;
        case DeviceIdSlot::Pid2:
            return ids.pid2;
        case DeviceIdSlot::Pid3:
            return ids.pid3;
        case DeviceIdSlot::Pid4:
            return ids.pid4;
        case DeviceIdSlot::Pid5:
            return ids.pid5;
        case DeviceIdSlot::Pid6:
            return ids.pid6;
    }
    return 0;
}

std::vector<SupportedDevice> SupportedDevices(const DeviceIds& ids) {
    std::vector<SupportedDevice> rows;
    rows.reserve(kSupportedDeviceRows.size());
    for (const SupportedDeviceRow& r : kSupportedDeviceRows) {
        SupportedDevice d;
        d.vendorId = DeviceIdValue(ids, r.vendor);
        d.productId = DeviceIdValue(ids, r.product);
        d.interfaceNumber = r.interfaceNumber;
        d.collectionNumber = r.collectionNumber;
        d.kind = r.kind;
        d.role = r.role;
        d.usagePage = r.usagePage;
        d.usage = r.usage;
        d.paired = r.paired;
        d.pairedRow = r.pairedRow;
        rows.push_back(std::move(d));
    }
    return rows;
}

std::vector<SupportedDevice> SupportedDevices() { return SupportedDevices(LoadDeviceIds()); }

std::vector<DeviceFamily> DeviceFamilies(const DeviceIds& ids) {
    std::vector<DeviceFamily> rows;
    rows.reserve(kDeviceFamilyRows.size());
    for (const DeviceFamilyRow& r : kDeviceFamilyRows) {
        rows.push_back(DeviceFamily{r.listEntryLayout, r.tabHeader, r.powerContainer, r.familyName,
                                    r.defaultDataIndex, DeviceIdValue(ids, r.vendor),
                                    DeviceIdValue(ids, r.product), r.kind, r.role});
    }
    return rows;
}

std::vector<DeviceFamily> DeviceFamilies() { return DeviceFamilies(LoadDeviceIds()); }

int FamilyIndexForKind(uint16_t kind) {
    switch (kind) {
        case kKindKeyboard:
        case kKindKeyboardReceiver:
            return kFamilyKeyboard;
        case kKindMouse:
        case kKindMouseReceiver:
            return kFamilyMouse;
        case kKindMousePad:
            return kFamilyMousePad;
        case kKindHeadset:
            return kFamilyHeadset;
        default:
            return -1;
    }
}

}  // namespace rerov
