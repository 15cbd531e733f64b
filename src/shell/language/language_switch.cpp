#include "shell/language/language_switch.h"

#include "controls/skin_setup.h"
#include "shell/language/language_fonts.h"
#include "shell/language/language_log.h"
#include "shell/language/language_store.h"

namespace rerov::shell {

Q_LOGGING_CATEGORY(lcLanguage, "rerov.language", QtWarningMsg)

LanguageSwitchResult SwitchLanguage(int current, int index, const LanguageList& languages,
                                    LanguageStore& store) {
    LanguageSwitchResult result;
    result.index = current;
    if (index == current) return result;
    const bool inList = index >= 0 && static_cast<size_t>(index) < languages.size();
    if (!languages.empty() && !inList) {
        qCWarning(lcLanguage, "there is no language %d (the list has %zu); nothing changes", index,
                  languages.size());
        return result;
    }
    if (LanguageSwitchReplacesFonts(current, index)) {
        ui::ApplyFontFaces(LanguageFontFaces(index));
        result.fontsReplaced = true;
    }
    result.index = index;
    if (!inList) {
        // Without a list there is no file to load: the texts stay, and the choice is
        // remembered as no language (0).
        qCWarning(lcLanguage, "the list of languages is missing or broken; the texts stay");
        result.stored = store.Store(0);
        return result;
    }
    const LanguageEntry& entry = languages[static_cast<size_t>(index)];
    if (!ui::ApplyLanguage(entry.file)) {
        qCWarning(lcLanguage,
                  "the language file \"%s\" of language %d cannot be read; the texts "
                  "stay and the choice is not remembered",
                  qPrintable(entry.file), index);
        return result;
    }
    result.textsLoaded = true;
    result.stored = store.Store(entry.id);
    return result;
}

}  // namespace rerov::shell
