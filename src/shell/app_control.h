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

// What became of an updater's message passed on to the settings window.
struct SettingsRelayOutcome {
    bool delivered = false;     // a settings window was open and took it
    bool windowClosed = false;  // the window closed after it (it stays while an update runs)
};

class AppControl {
  public:
    virtual ~AppControl() = default;
    virtual AppState State() const = 0;
    // Shows the window and brings it to the front (as a second start does).
    virtual void BringToFront() = 0;
    // Ends the program as the tray menu's "exit" does.
    virtual void Exit() = 0;
    // An updater's message (code 1 finished, 2 and 3 failed, 4 progress `value`) for the
    // settings window, if one is open.
    virtual SettingsRelayOutcome RelayToSettings(int /*code*/, int /*value*/) { return {}; }
    // Opens the settings window centred, after the current request was answered (the
    // window is modal); true when it is or will be open.
    virtual bool OpenSettings() { return false; }
};

}  // namespace rerov
