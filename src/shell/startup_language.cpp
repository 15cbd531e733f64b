#include "shell/startup_language.h"

#include <QLoggingCategory>

#include "controls/skin_setup.h"

Q_LOGGING_CATEGORY(lcLanguage, "rerov.language", QtWarningMsg)

namespace rerov::shell {
namespace {

// The product's first language until a choice is remembered.
constexpr char kDefaultLanguageFile[] = "lan_en.xml";

}  // namespace

QString StartupLanguageFile() { return QLatin1String(kDefaultLanguageFile); }

bool LoadStartupLanguage(const QString& file) {
    if (ui::ApplyLanguage(file)) return true;
    // A window with its keys for texts is still usable; ending the program is not.
    qCWarning(lcLanguage, "the language file %s cannot be read; the texts show their keys",
              qPrintable(file));
    return false;
}

}  // namespace rerov::shell
