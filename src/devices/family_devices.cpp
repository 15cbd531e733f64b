#include "devices/family_devices.h"

namespace rerov {

std::unique_ptr<CZidiraUSBDevice> CreateFamilyDevice(int familyIndex, const SupportedDevice& record,
                                                     std::shared_ptr<HidBackend> backend) {
    std::unique_ptr<CZidiraUSBDevice> device;
    switch (familyIndex) {
        case kFamilyMouse:
            device = std::make_unique<CZidiraMouseDevice>(backend);
            break;
        case kFamilyKeyboard:
            device = std::make_unique<CZidiraKeyboardDevice>(backend);
            break;
        case kFamilyMousePad:
            device = std::make_unique<CZidiraMousePadDevice>(backend);
            break;
        case kFamilyHeadset:
            device = std::make_unique<CZidiraRI6533Device>(backend);
            break;
        default:
            return nullptr;
    }
    const DevicePageLayout& layout = kDevicePageLayouts[static_cast<size_t>(familyIndex)];
    const DeviceFamilyRow& family = kDeviceFamilyRows[static_cast<size_t>(familyIndex)];
    device->SetKeyButtonCount(layout.keyButtonCount);
    device->SetLightCount(layout.lightCount);
    device->SetFamilyIndex(familyIndex);
    device->SetPowerDisplay(layout.hasPowerDisplay != 0);
    device->SetPageLayoutPath(layout.pageLayout);
    device->SetLightFileName(layout.lightFileName);
    device->SetFamilyName(family.familyName);
    device->SetDeviceRecord(record);
    device->SetDefaultDataIndex(family.defaultDataIndex);
    return device;
}

}  // namespace rerov
