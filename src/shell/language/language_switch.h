#pragma once
// The language switch: what showing another language of "Language.config" does.

#include "shell/language/language_config.h"

namespace rerov::shell {

class LanguageStore;

/// What one switch did.
struct LanguageSwitchResult {
    int index = -1;              // the language index shown afterwards
    bool fontsReplaced = false;  // the application font took the language's faces
    bool textsLoaded = false;    // the language file was loaded and announced to every window
    bool stored = false;         // the choice was remembered in `store`
};

/// Shows language `index` of `languages` where language `current` is shown:
/// - `index` equal to `current`: nothing at all (no write to the store);
/// - `index` outside a non-empty list: nothing changes, a warning is logged;
/// - otherwise the fonts take the language's faces when LanguageSwitchReplacesFonts says
///   so, `index` becomes the shown index, its language file is loaded and announced to
///   every open window (ui::ApplyLanguage) and its "Language_ID" stored. A language file
///   that cannot be read leaves the texts as they were and stores nothing (a warning is
///   logged). An empty list (the file missing or broken) leaves the texts and stores 0.
LanguageSwitchResult SwitchLanguage(int current, int index, const LanguageList& languages,
                                    LanguageStore& store);

}  // namespace rerov::shell
