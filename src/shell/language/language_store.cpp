#include "shell/language/language_store.h"

#include <QSettings>

#include "shell/language/language_log.h"

namespace rerov::shell {
namespace {

constexpr char kOrganisation[] = "REROV ER60 EVER";
constexpr char kLanguageValue[] = "LANGUAGE";

struct LocaleRow {
    QLocale::Language language;
    QLocale::Territory territory;  // AnyTerritory: every territory of the language
    qint64 id;
};
// What the installer's choice of language gave for the system's language.
constexpr LocaleRow kLocaleRows[] = {
    {QLocale::Chinese, QLocale::China, 2052},
    {QLocale::Chinese, QLocale::Singapore, 2052},
    {QLocale::English, QLocale::AnyTerritory, 1033},
    {QLocale::C, QLocale::AnyTerritory, 1033},
};

}  // namespace

LanguageStore::LanguageStore()
    : settings_(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                            QLatin1String(kOrganisation))) {}

LanguageStore::LanguageStore(const QString& iniPath)
    : settings_(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

LanguageStore::~LanguageStore() = default;

std::optional<qint64> LanguageStore::StoredId() const {
    const QVariant value = settings_->value(QLatin1String(kLanguageValue));
    if (!value.isValid()) return std::nullopt;
    bool ok = false;
    const qint64 id = value.toString().trimmed().toLongLong(&ok);
    if (!ok) {
        qCWarning(lcLanguage, "the stored language in %s is not a number; ignored",
                  qPrintable(FileName()));
        return std::nullopt;
    }
    return id;
}

bool LanguageStore::Store(qint64 id) {
    settings_->setValue(QLatin1String(kLanguageValue), id);
    return Sync(id);
}

bool LanguageStore::Clear() {
    settings_->remove(QLatin1String(kLanguageValue));
    return Sync(std::nullopt);
}

QString LanguageStore::FileName() const { return settings_->fileName(); }

bool LanguageStore::Sync(std::optional<qint64> expected) {
    settings_->sync();
    if (settings_->status() == QSettings::NoError) return true;
    // The status keeps the first error met: a file that did not parse when it was read.
    // Writing replaces it; what a fresh reader finds tells whether that went through.
    if (settings_->status() == QSettings::FormatError) {
        const QSettings written(settings_->fileName(), settings_->format());
        const QVariant value = written.value(QLatin1String(kLanguageValue));
        const bool asExpected =
            expected ? value.toString() == QString::number(*expected) : !value.isValid();
        if (written.status() == QSettings::NoError && asExpected) return true;
    }
    qCWarning(lcLanguage, "the language choice cannot be written to %s (%s)",
              qPrintable(FileName()),
              settings_->status() == QSettings::AccessError ? "no access" : "format error");
    return false;
}

qint64 SystemLanguageId(const QLocale& system) {
    for (const LocaleRow& row : kLocaleRows) {
        if (row.language != system.language()) continue;
        if (row.territory == QLocale::AnyTerritory || row.territory == system.territory()) {
            return row.id;
        }
    }
    return kFallbackLanguageId;
}

int StoredLanguageIndex(const LanguageList& languages, std::optional<qint64> stored,
                        const QLocale& system) {
    const qint64 wanted = stored ? *stored : SystemLanguageId(system);
    for (size_t i = 0; i < languages.size(); ++i) {
        if (languages[i].id == wanted) return static_cast<int>(i);
    }
    return 0;
}

}  // namespace rerov::shell
