#include "controls/language_texts.h"

#include <QComboBox>
#include <QFile>
#include <QLoggingCategory>
#include <QTabWidget>
#include <QVariant>
#include <QWidget>
#include <QXmlStreamReader>

#include "controls/control_base.h"
#include "controls/resource_index.h"

Q_LOGGING_CATEGORY(lcLanguageTexts, "rerov.language", QtWarningMsg)

namespace rerov::ui {
namespace {
// How many missing keys one log line names before it only counts the rest.
constexpr int kMissingKeysNamed = 20;
constexpr char kBoundPrefix[] = "_rerov_lang_";
// The language key of a combo item, beside whatever data the item carries.
constexpr int kItemKeyRole = Qt::UserRole + 0x4C4B;
// The language keys of a tab widget's titles, by page index ("" for a literal title).
constexpr char kTabKeysProperty[] = "_rerov_lang_tabs";

void RetranslateItems(QWidget* widget) {
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        for (int i = 0; i < combo->count(); ++i) {
            const QString key = combo->itemData(i, kItemKeyRole).toString();
            if (!key.isEmpty()) combo->setItemText(i, Tr(key));
        }
    } else if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
        const QStringList keys = tabs->property(kTabKeysProperty).toStringList();
        for (int i = 0; i < tabs->count() && i < keys.size(); ++i) {
            if (!keys[i].isEmpty()) tabs->setTabText(i, Tr(keys[i]));
        }
    }
}
}  // namespace

LanguageTexts& LanguageTexts::Instance() {
    static LanguageTexts instance;
    return instance;
}

bool LanguageTexts::Parse(const QByteArray& xml, QHash<QString, QString>* texts, QString* name) {
    QXmlStreamReader reader(xml);
    if (!reader.readNextStartElement() || reader.name() != QLatin1String("Language")) return false;
    QHash<QString, QString> parsed;
    const QString parsedName = reader.attributes().value(QLatin1String("name")).toString();
    while (reader.readNextStartElement()) {
        if (reader.name() == QLatin1String("Text")) {
            const QString id = reader.attributes().value(QLatin1String("id")).toString();
            const QString text = reader.readElementText();
            if (!id.isEmpty()) parsed.insert(id, text);
        } else {
            reader.skipCurrentElement();
        }
    }
    if (reader.hasError()) return false;
    *texts = std::move(parsed);
    *name = parsedName;
    return true;
}

bool LanguageTexts::LoadFromData(const QByteArray& xml) {
    if (!Parse(xml, &texts_, &name_)) return false;
    LogMissingKeys(name_);
    return true;
}

bool LanguageTexts::Load(const QString& file) {
    QFile f(ResourceIndex::Instance().SkinPath(file));
    if (!f.open(QIODevice::ReadOnly)) return false;
    if (!Parse(f.readAll(), &texts_, &name_)) return false;
    LogMissingKeys(file);
    return true;
}

QString LanguageTexts::Text(const QString& key) const {
    const auto found = texts_.constFind(key);
    if (found != texts_.constEnd()) return found.value();
    return Base().value(key, key);
}

QList<QString> LanguageTexts::Keys() const {
    QSet<QString> keys(texts_.keyBegin(), texts_.keyEnd());
    const QHash<QString, QString>& base = Base();
    for (auto it = base.keyBegin(); it != base.keyEnd(); ++it) keys.insert(*it);
    return keys.values();
}

const QHash<QString, QString>& LanguageTexts::Base() const {
    // Read again only when the skin folder moved (tests point it elsewhere).
    const QString path = ResourceIndex::Instance().SkinPath(QLatin1String(kBaseLanguageFile));
    if (path == basePath_) return base_;
    basePath_ = path;
    base_.clear();
    QFile f(path);
    QString name;
    if (!f.open(QIODevice::ReadOnly) || !Parse(f.readAll(), &base_, &name)) {
        qCWarning(lcLanguageTexts, "the base language %s cannot be read", qPrintable(path));
        base_.clear();
    }
    return base_;
}

void LanguageTexts::LogMissingKeys(const QString& source) const {
    if (loggedSources_.contains(source)) return;
    loggedSources_.insert(source);
    QStringList missing;
    const QHash<QString, QString>& base = Base();
    for (auto it = base.keyBegin(); it != base.keyEnd(); ++it) {
        if (!texts_.contains(*it)) missing << *it;
    }
    if (missing.isEmpty()) return;
    missing.sort();
    const qsizetype count = missing.size();
    if (count > kMissingKeysNamed) missing.resize(kMissingKeysNamed);
    qCWarning(lcLanguageTexts, "%s lacks %lld key(s), shown in the base language: %s%s",
              qPrintable(source), static_cast<long long>(count), qPrintable(missing.join(u' ')),
              count > kMissingKeysNamed ? " ..." : "");
}

bool LanguageTexts::IsKeyReference(const QString& value, QString* key) {
    if (value.size() < 4 || !value.startsWith(QLatin1String("%[")) || !value.endsWith(u']')) {
        return false;
    }
    *key = value.mid(2, value.size() - 3);
    return !key->isEmpty();
}

void LanguageTexts::BindText(QWidget* widget, const QByteArray& property, const QString& key) {
    widget->setProperty(QByteArray(kBoundPrefix) + property, key);
    const QString text = Instance().Text(key);
    if (property == "text") {
        if (auto* control = qobject_cast<CControlUI*>(widget)) {
            control->SetText(text);
            return;
        }
    }
    widget->setProperty(property.constData(), text);
}

void LanguageTexts::UnbindText(QWidget* widget, const QByteArray& property) {
    widget->setProperty((QByteArray(kBoundPrefix) + property).constData(), QVariant());
}

void LanguageTexts::BindItemText(QComboBox* combo, int index, const QString& key) {
    if (index < 0 || index >= combo->count()) return;
    combo->setItemData(index, key, kItemKeyRole);
    combo->setItemText(index, Instance().Text(key));
}

int LanguageTexts::AddBoundItem(QComboBox* combo, const QString& key, const QVariant& data) {
    combo->addItem(QString(), data);
    const int index = combo->count() - 1;
    BindItemText(combo, index, key);
    return index;
}

void LanguageTexts::BindTabText(QTabWidget* tabs, int index, const QString& key) {
    if (index < 0 || index >= tabs->count()) return;
    QStringList keys = tabs->property(kTabKeysProperty).toStringList();
    while (keys.size() <= index) keys.append(QString());
    keys[index] = key;
    tabs->setProperty(kTabKeysProperty, keys);
    tabs->setTabText(index, Instance().Text(key));
}

void LanguageTexts::Retranslate(QWidget* root) {
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* w : widgets) {
        RetranslateItems(w);
        for (const QByteArray& name : w->dynamicPropertyNames()) {
            if (!name.startsWith(kBoundPrefix)) continue;
            BindText(w, name.mid(static_cast<int>(sizeof(kBoundPrefix)) - 1),
                     w->property(name.constData()).toString());
        }
    }
}

QString Tr(const QString& key) { return LanguageTexts::Instance().Text(key); }

}  // namespace rerov::ui
