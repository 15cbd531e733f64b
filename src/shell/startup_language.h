#pragma once
// The language the main window shows from its start.

#include <QString>

namespace rerov::shell {

/// The language file the window loads at start ("lan_en.xml"). The one place that decides
/// it: the list of languages and the user's remembered choice will answer here.
QString StartupLanguageFile();

/// Loads the language file `file` of the skin and re-resolves the texts of every open
/// window. When the file cannot be read or parsed, a warning is traced, the texts loaded
/// before stay (the keys themselves show when there were none) and false is returned.
bool LoadStartupLanguage(const QString& file);

}  // namespace rerov::shell
