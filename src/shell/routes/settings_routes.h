#pragma once
// The main window's ways into the settings window: the caption button "setbtn" (placed
// below the caption's right end), the tray menu item "setwnd_menu" (centred), and where
// the window goes.

#include <QRect>
#include <vector>

#include "shell/settings/version_list.h"

namespace rerov::shell {

class CMainWnd;

/// Adds the click route of "setbtn" and the menu command of "setwnd_menu".
void AddSettingsRoutes(CMainWnd& window);

/// Where "setbtn" puts a settings window of `size`: its right edge 30 scaled pixels left of
/// the main window's right edge, its top 60 scaled pixels below the main window's top
/// (scaled: times dpi / 96).
QRect PlacedSettingsGeometry(const QRect& mainWindow, const QSize& size, int dpi);

/// What the version list needs of each entry of the main window's device list.
std::vector<VersionEntry> VersionEntriesOf(const CMainWnd& window);

}  // namespace rerov::shell
