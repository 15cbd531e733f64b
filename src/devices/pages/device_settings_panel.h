#pragma once
// DeviceSettingsPanel: a control of a device page that shows part of the device's settings
// (the lighting editor shows the light and audio light settings). The page's wiring adds
// its panels to the page; the page calls them on its UI thread whenever the device asks
// for its settings or its audio light setting to be shown, from whatever thread it asked.

#include "devices/czidira_usb_device.h"

namespace rerov {

class DeviceSettingsPanel {
  public:
    virtual ~DeviceSettingsPanel() = default;
    /// The device's settings are to be shown (ShowSettings): read what the panel shows.
    virtual void ShowDeviceSettings(CZidiraUSBDevice& device) = 0;
    /// The device's audio light setting is now `words`.
    virtual void ShowAudioLightSetting(const AudioLightWords& words) = 0;
};

}  // namespace rerov
