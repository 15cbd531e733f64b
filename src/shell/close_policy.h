#pragma once
// What the main window's close button does.

namespace rerov::shell {

enum class CloseAction {
    HideToTray,  // the window hides; the tray icon brings it back, its menu's "exit" ends it
    EndProgram,  // as the tray menu's "exit" does
};

/// "closebtn": hide into the tray while the desktop shows the program's tray icon; without
/// one (a desktop with no tray, a session without a desktop) a hidden window could only be
/// reached by starting the program again, so closing ends it.
constexpr CloseAction CloseActionFor(bool trayIconShown) {
    return trayIconShown ? CloseAction::HideToTray : CloseAction::EndProgram;
}

}  // namespace rerov::shell
