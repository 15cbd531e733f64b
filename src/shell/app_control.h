#pragma once
// What the IPC channel and the start-up code may ask of the running main window. CMainWnd
// implements it; the IPC server (rerovctl app ...) and tests call it on the UI thread.

#include <string>
#include <vector>

namespace rerov {

// One entry of the device list as the window shows it.
struct DeviceEntryState {
    std::string family;        // "keyboard", "mouse", "MousePad", "HD"
    bool shown = false;        // the entry is visible in the list
    bool current = false;      // the entry is the selected one
    bool connected = false;    // the page's command link is connected
    bool receiver = false;     // connected through the 2.4 GHz receiver
    bool pageVisible = false;  // its device page is what the page area shows (false while
                               // the no-device hint covers the area)
    bool ready = false;        // connected, read and sent its profile since it connected
    unsigned long long lightFramesSent = 0;     // lighting frames the device object sent
    unsigned long long lightFramesSkipped = 0;  // frames skipped: the previous still going
};

struct AppState {
    std::vector<DeviceEntryState> entries;  // in list order
    bool noDeviceHintVisible = false;       // "No_device_Link" is visible
};

class AppControl {
  public:
    virtual ~AppControl() = default;
    virtual AppState State() const = 0;
    // Shows the window and brings it to the front (as a second start does).
    virtual void BringToFront() = 0;
    // Ends the program as the tray menu's "exit" does.
    virtual void Exit() = 0;
};

}  // namespace rerov
