// The background side of CMainWnd: what a skin choice does to the window, and the choice
// kept from the last run.
#include <QLoggingCategory>

#include "controls/control_base.h"
#include "controls/resource_index.h"
#include "shell/main_wnd.h"
#include "shell/skin/skin_ini.h"
#include "shell/skin/user_background.h"

namespace rerov::shell {

void CMainWnd::OnSkinChanged(const SkinChangedParam& param) {
    auto* root = qobject_cast<ui::CControlUI*>(FindControl(QStringLiteral("root")));
    if (root == nullptr) return;
    if (param.isColour) {
        root->SetBkColor(param.colour);
        root->SetBkImage(QString());
    } else {
        root->SetBkColor(0);
        root->SetBkImage(param.image);
    }
}

void CMainWnd::RestoreStoredSkin() {
    const SkinSources sources{ui::ResourceIndex::Instance().SkinDir(), UserBackgroundFolder()};
    if (const std::optional<SkinChangedParam> stored = ReadStoredSkin(SkinIniPath(), sources)) {
        OnSkinChanged(*stored);
    }
}

}  // namespace rerov::shell
