#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QVariant>

class QComboBox;
class QTabWidget;
class QWidget;

namespace rerov::ui {

/// Language key -> text of the current language, loaded from a language file of the skin:
///   <Language name="..."><Text id="key">text</Text>...</Language>
/// A key the current language lacks shows the text of the skin's base language
/// (kBaseLanguageFile) rather than the bare key; the missing keys of a language file are
/// logged once. One resolver serves every window. UI thread only.
class LanguageTexts {
  public:
    /// The skin's base language: every key has its text there.
    static constexpr const char* kBaseLanguageFile = "lan_en.xml";

    /// The resolver shared by every window.
    static LanguageTexts& Instance();

    /// Loads a language file (absolute, or relative to the skin folder) and makes it current.
    /// On failure the current texts stay and false is returned.
    bool Load(const QString& file);
    /// Parses language XML from memory; same rules as Load.
    bool LoadFromData(const QByteArray& xml);

    /// The text of `key`: the current language's, else the base language's, else the key.
    QString Text(const QString& key) const;
    /// True when the current language has a text for `key`.
    bool Has(const QString& key) const { return texts_.contains(key); }
    /// The name of the current language (the file's "name" attribute).
    QString LanguageName() const { return name_; }
    /// Every key that resolves: the current language's and the base language's.
    QList<QString> Keys() const;

    /// Parses a language file without making it current; returns false when it does not parse.
    static bool Parse(const QByteArray& xml, QHash<QString, QString>* texts, QString* name);

    /// Marks `widget` as showing language key `key` in `property` ("text", "toolTip",
    /// "title", "placeholderText", "windowTitle") and shows the key's text there.
    static void BindText(QWidget* widget, const QByteArray& property, const QString& key);
    /// Forgets the language key of `property` of `widget`, so a literal text set there stays
    /// after a language change.
    static void UnbindText(QWidget* widget, const QByteArray& property);
    /// Marks item `index` of `combo` as showing language key `key` and shows its text; the
    /// item's own data is left alone.
    static void BindItemText(QComboBox* combo, int index, const QString& key);
    /// Appends an item showing language key `key` to `combo`, with `data` as its data;
    /// returns its index.
    static int AddBoundItem(QComboBox* combo, const QString& key, const QVariant& data = {});
    /// Marks the title of page `index` of `tabs` as showing language key `key` and shows it.
    static void BindTabText(QTabWidget* tabs, int index, const QString& key);
    /// Re-resolves every bound text in the subtree of `root` (after a language change):
    /// widget properties, combo items and tab titles.
    static void Retranslate(QWidget* root);

    /// If `value` is a language reference "%[key]", returns true and the key.
    static bool IsKeyReference(const QString& value, QString* key);

  private:
    // The base language's texts, read from the skin on first need (empty when unreadable).
    const QHash<QString, QString>& Base() const;
    // Logs, once per language file, the keys of the base language that `texts` lacks.
    void LogMissingKeys(const QString& source) const;

    QHash<QString, QString> texts_;
    QString name_;
    mutable QHash<QString, QString> base_;
    mutable QString basePath_;
    mutable QSet<QString> loggedSources_;
};

/// Shorthand for LanguageTexts::Instance().Text(key).
QString Tr(const QString& key);

}  // namespace rerov::ui
