#pragma once
// The main window's routing of the lighting editor: every user change becomes one field
// change of the current page's lighting (or audio-light) record, handed to the page, which
// stores, saves and applies it.

namespace rerov::shell {

class CMainWnd;

/// Adds the lighting editor's rows to the window's routing tables.
void AddLightEditorRoutes(CMainWnd& window);

}  // namespace rerov::shell
