#pragma once

#include <QHash>
#include <QString>

class QComboBox;
class QTabWidget;
class QWidget;

namespace rerov::ui {

/// Language key -> text of the current language, loaded from a language file of the skin:
///   <Language name="..."><Text id="key">text</Text>...</Language>
/// One resolver serves every window. UI thread only.
class LanguageTexts {
  public:
    /// The resolver shared by every window.
    static LanguageTexts& Instance();

    /// Loads a language file (absolute, or relative to the skin folder) and makes it current.
    /// On failure the current texts stay and false is returned.
    bool Load(const QString& file);
    /// Parses language XML from memory; same rules as Load.
    bool LoadFromData(const QByteArray& xml);

    /// The text of `key`; a key without text comes back as the key itself.
    QString Text(const QString& key) const;
    /// True when the current language has a text for `key`.
    bool Has(const QString& key) const { return texts_.contains(key); }
    /// The name of the current language (the file's "name" attribute).
    QString LanguageName() const { return name_; }
    /// Every key of the current language.
    QList<QString> Keys() const { return texts_.keys(); }

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
    /// Marks the title of page `index` of `tabs` as showing language key `key` and shows it.
    static void BindTabText(QTabWidget* tabs, int index, const QString& key);
    /// Re-resolves every bound text in the subtree of `root` (after a language change):
    /// widget properties, combo items and tab titles.
    static void Retranslate(QWidget* root);

    /// If `value` is a language reference "%[key]", returns true and the key.
    static bool IsKeyReference(const QString& value, QString* key);

  private:
    QHash<QString, QString> texts_;
    QString name_;
};

/// Shorthand for LanguageTexts::Instance().Text(key).
QString Tr(const QString& key);

}  // namespace rerov::ui
