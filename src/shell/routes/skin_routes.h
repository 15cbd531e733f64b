#pragma once
// The main window's skin button: it opens the background pop-up under itself.

namespace rerov::shell {

class CMainWnd;

/// Routes "skinbtn" to the skin frame. A click while the frame is open does nothing.
void AddSkinRoutes(CMainWnd& window);

}  // namespace rerov::shell
