#include "shell/routes/dialog_routes.h"

#include "shell/dialogs/about_wnd.h"
#include "shell/main_wnd.h"

namespace rerov::shell {

void AddDialogRoutes(CMainWnd& window) {
    window.AddMenuCommand(QStringLiteral("about_menu"), [&window] {
        // A second request while the window is open does nothing.
        static bool open = false;
        if (open) return;
        open = true;
        ShowAboutWindow(&window, window.Dpi(),
                        [&window](QWidget* about) { window.TrackSecondaryWindow(about); });
        open = false;
    });
}

}  // namespace rerov::shell
