#pragma once
// The main window's secondary windows opened from its menus: the about window.

namespace rerov::shell {

class CMainWnd;

/// Adds the menu commands that open the secondary windows.
void AddDialogRoutes(CMainWnd& window);

}  // namespace rerov::shell
