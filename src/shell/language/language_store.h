#pragma once
// The remembered language: the "Language_ID" of the user's choice, kept as "LANGUAGE" in the
// product's user settings (QSettings, native format, organisation "REROV ER60 EVER" and no
// application name: $XDG_CONFIG_HOME/REROV ER60 EVER.conf on Linux, the key
// HKEY_CURRENT_USER\Software\REROV ER60 EVER on Windows).

#include <QLocale>
#include <QString>
#include <memory>
#include <optional>

#include "shell/language/language_config.h"

class QSettings;

namespace rerov::shell {

/// The identifier looked for when none is stored and the system's language is not offered.
inline constexpr qint64 kFallbackLanguageId = 520;

class LanguageStore {
  public:
    /// The product's user settings.
    LanguageStore();
    /// An ini file of its own (tests).
    explicit LanguageStore(const QString& iniPath);
    ~LanguageStore();
    LanguageStore(const LanguageStore&) = delete;
    LanguageStore& operator=(const LanguageStore&) = delete;

    /// The stored identifier; none when nothing, or no whole number, is stored.
    std::optional<qint64> StoredId() const;
    /// Stores `id` and writes it out; false (and a warning) when it could not be written.
    bool Store(qint64 id);
    /// Forgets the stored identifier (tests start from nothing).
    bool Clear();
    /// Where the settings live.
    QString FileName() const;

  private:
    // Writes the settings out; true when the value is `expected` (none: removed) on disk.
    bool Sync(std::optional<qint64> expected);
    std::unique_ptr<QSettings> settings_;
};

/// The identifier the system's language asks for when none is stored: 2052 for Chinese of
/// China or Singapore, 1033 for English and the C locale, else kFallbackLanguageId.
qint64 SystemLanguageId(const QLocale& system);

/// The language index to start with: the position of the first language whose id is
/// `stored` (or, with nothing stored, SystemLanguageId(system)); 0 when no language has it
/// or the list is empty.
int StoredLanguageIndex(const LanguageList& languages, std::optional<qint64> stored,
                        const QLocale& system);

}  // namespace rerov::shell
