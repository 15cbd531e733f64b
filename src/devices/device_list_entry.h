#pragma once
// DeviceListEntry: what a device's worker threads ask of the page's entry in the device
// list. The entry lives in the window layer and implements this; the device holds it only
// through this interface, so it stays free of widgets.

namespace rerov {

class DeviceListEntry {
  public:
    virtual ~DeviceListEntry() = default;
    /// Asks for OnSyncRequest on the UI thread `delayMs` from now (the entry's sync timer);
    /// a request while one is pending re-arms it. Any thread; never blocks.
    virtual void RequestSync(int delayMs) = 0;
};

}  // namespace rerov
