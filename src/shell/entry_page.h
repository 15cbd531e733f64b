#pragma once
// What a device list entry drives: the periodic work of one device page, run on the UI
// thread from the entry's control timers. The shell adapts each device object to it; tests
// drive entries with fakes.

class QWidget;

namespace rerov {
class ManagedDevice;
}

namespace rerov::shell {

class EntryPage {
  public:
    virtual ~EntryPage() = default;
    /// The device object (link, family index, power display, read-out, power status).
    virtual ManagedDevice& Device() = 0;
    /// The link came up: reads the device out (and gives it what it must hold again).
    virtual void ReadAll() = 0;
    /// Sends one lighting frame of the preview to the device.
    virtual void StreamLightFrame() = 0;
    /// Re-reads after the device reported a change of its own.
    virtual void OnSyncRequest() = 0;
    /// True only when the link is connected, on the receiver, and the device behind the
    /// receiver answers the link query (false on the cable and once the link is gone).
    virtual bool IsReceiverLinkAlive() = 0;
    /// The container of the page's key buttons, or null.
    virtual QWidget* KeyLightContainer() = 0;
    /// True while the main window is active (the page's window-active flag).
    virtual bool IsWindowActive() const = 0;
};

}  // namespace rerov::shell
