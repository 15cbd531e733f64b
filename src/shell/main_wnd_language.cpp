// The language side of CMainWnd: which language the window shows.
#include "controls/skin_setup.h"
#include "shell/language/language_config.h"
#include "shell/main_wnd.h"

namespace rerov::shell {

void CMainWnd::ApplyLanguage(int index) {
    if (index == languageIndex_) return;
    languageIndex_ = index;
    const LanguageList languages = ReadLanguageList();
    if (index < 0 || static_cast<size_t>(index) >= languages.size()) return;
    ui::ApplyLanguage(languages[static_cast<size_t>(index)].file);
}

void CMainWnd::OnLanguageChosen(int index) { ApplyLanguage(index); }

}  // namespace rerov::shell
