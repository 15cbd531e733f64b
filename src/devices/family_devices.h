#pragma once
// The device families. Each has the base behaviour until its own operations are built;
// the factory configures a device from the family's rows of the supported-device tables.

#include <memory>

#include "devices/czidira_usb_device.h"
#include "devices/keyboard/keyboard_device.h"

namespace rerov {

/// The mouse, by cable or through its receiver.
class CZidiraMouseDevice : public CZidiraUSBDevice {
  public:
    using CZidiraUSBDevice::CZidiraUSBDevice;
    std::string GetClass() const override { return "ZidiraMouseDevice"; }
};

/// The lit mouse pad.
class CZidiraMousePadDevice : public CZidiraUSBDevice {
  public:
    using CZidiraUSBDevice::CZidiraUSBDevice;
    std::string GetClass() const override { return "ZidiraMousePadDevice"; }
};

/// The headset on its audio chip.
class CZidiraRI6533Device : public CZidiraUSBDevice {
  public:
    using CZidiraUSBDevice::CZidiraUSBDevice;
    std::string GetClass() const override { return "ZidiraRI6533Device"; }
};

/// A device of family row `familyIndex` (kFamilyMouse ... kFamilyHeadset) with the
/// family's counts, power-display flag, layout path, light file name, family name,
/// default-data index and family index set, and `record` as its device record; null for
/// an unknown family.
std::unique_ptr<CZidiraUSBDevice> CreateFamilyDevice(int familyIndex, const SupportedDevice& record,
                                                     std::shared_ptr<HidBackend> backend = nullptr);

}  // namespace rerov
