#include "shell/routes/skin_routes.h"

#include <QPointer>

#include "shell/dialogs/msg_wnd.h"
#include "shell/main_wnd.h"
#include "shell/skin/skin_frame.h"
#include "shell/skin/skin_ini.h"
#include "shell/skin/user_background.h"

namespace rerov::shell {

void AddSkinRoutes(CMainWnd& window) {
    auto open = std::make_shared<QPointer<CSkinFrame>>();
    window.Routes(ui::notify_type::kClick)
        .On(ui::notify_type::kClick, QStringLiteral("skinbtn"),
            [&window, open](const ui::Notification& msg) {
                if (!open->isNull() && (*open)->isVisible()) return;
                SkinFrameServices services;
                services.chooseFile = ChooseBackgroundFile;
                services.showMessage = [&window](const QString& key) {
                    ShowMessage(&window, key, window.Dpi());
                };
                services.iniPath = SkinIniPath();
                services.userImageDir = UserBackgroundFolder();
                *open = OpenSkinFrame(&window, msg.sender, window.Dpi(), std::move(services));
            });
}

}  // namespace rerov::shell
