#pragma once
// The main window's routing of the keyboard's own settings: the system tab (polling rate,
// key switches, key repeat), the profile back to its defaults, and the keys painted in the
// custom lighting mode (one by a click, many by a drag).

namespace rerov::shell {

class CMainWnd;

/// Adds the keyboard settings' rows to the window's routing tables.
void AddKeyboardSettingsRoutes(CMainWnd& window);

}  // namespace rerov::shell
