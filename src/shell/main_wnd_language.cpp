// The language side of CMainWnd: which language the window shows.
#include <QLocale>

#include "controls/language_texts.h"
#include "devices/keyboard/keyboard_device.h"
#include "devices/pages/device_page.h"
#include "shell/language/language_config.h"
#include "shell/language/language_log.h"
#include "shell/language/language_store.h"
#include "shell/language/language_switch.h"
#include "shell/main_wnd.h"

namespace rerov::shell {
namespace {

// Loaded before the remembered language, so a key that language lacks still has a text.
constexpr char kFirstLanguageFile[] = "lan_cn.xml";

}  // namespace

void CMainWnd::LoadStartLanguage() {
    if (!ui::LanguageTexts::Instance().Load(QLatin1String(kFirstLanguageFile))) {
        qCWarning(lcLanguage, "the language file %s cannot be read", kFirstLanguageFile);
    }
    const LanguageStore store;
    ApplyLanguage(StoredLanguageIndex(ReadLanguageList(), store.StoredId(), QLocale::system()));
}

void CMainWnd::ApplyLanguage(int index) {
    LanguageStore store;
    languageIndex_ = SwitchLanguage(languageIndex_, index, ReadLanguageList(), store).index;
}

void CMainWnd::OnLanguageChosen(int index) {
    ApplyLanguage(index);
    // The texts the pages compose from their device's state. The mouse pages have no
    // button list of their own yet; the keyboards label their keys again.
    for (CDevicePageUI* page : PageList(kKeyboardPages)) {
        if (auto* keyboard = dynamic_cast<CZidiraKeyboardDevice*>(&page->Device())) {
            keyboard->RefreshKeyLabels();
        }
    }
}

}  // namespace rerov::shell
