#pragma once
// DevicePageView: how a device object reaches the page that shows it. The object owns the
// device's state and operations and works without any widget; the page widget implements
// this interface. Every call may come from any thread: an implementation that touches
// widgets hands the work to its UI thread and never blocks the caller.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace rerov {

class DevicePageView {
  public:
    virtual ~DevicePageView() = default;

    /// Maps the page's key buttons (InitPage): the first direct "SelectPanel" child, its
    /// "DeviceKeyButton" children named "key_<n>" (n < keyButtonCount) as key button n and
    /// with user data "light_<m>" (m < lightCount) as light m, each light painted white at
    /// full brightness. Numbers past the counts are skipped. UI thread only.
    virtual void MapKeyButtons(int keyButtonCount, int lightCount) = 0;
    /// True when key button `key` was mapped.
    virtual bool HasKeyButton(int key) const = 0;
    /// True when light `light` was mapped.
    virtual bool HasLight(int light) const = 0;

    /// Shows the light colours: colours[i] is light i (byte 0 red, 1 green, 2 blue,
    /// 3 brightness 0..255); entries past the mapped lights are ignored. One repaint.
    virtual void PaintLights(const std::vector<uint32_t>& colours) = 0;
    /// Sets the label text (UTF-8) of key button `key`; ignored for an unmapped key.
    virtual void SetKeyLabel(int key, const std::string& label) = 0;
    /// Marks key `key` as the one selected in the key editor (-1: none).
    virtual void ShowSelectedKey(int key) = 0;

    /// Selects tab `index` of the tab switch named `switchName` ("device_function_switch",
    /// "device_key_function_switch"); false when the page has no such switch or no such tab.
    /// Called off the UI thread the selection is queued and the result is true.
    virtual bool SelectTab(const std::string& switchName, int index) = 0;

    /// Shows the object's current settings in the page's controls.
    virtual void ShowSettings() = 0;
    /// Shows the audio light setting (type, colour, option words) in the audio control.
    virtual void ShowAudioLightSetting(uint32_t type, uint32_t colour, uint32_t option) = 0;
    /// Shows or hides the power layout ("device_power_Layout") of the page's power control.
    virtual void ShowPowerLayout(bool visible) = 0;

    /// Shows the marks of key button `key`: a clear `changed` draws the "keysetimage" mark,
    /// a clear `pendingMark` the "keyunsetimage" mark. Ignored for an unmapped key.
    virtual void ShowKeyMarks(int key, bool changed, bool pendingMark) = 0;
    /// Shows the power status block (level, charge state, link type at bytes 0, 1, 3) in
    /// the page's power control.
    virtual void ShowPowerStatus(const std::array<uint8_t, 6>& status) = 0;
    /// Runs `work` later on the page's UI thread; never blocks the caller. The work must
    /// not outlive the device object (the page owns it, so a queued call dies with it).
    virtual void Post(std::function<void()> work) = 0;
};

}  // namespace rerov
