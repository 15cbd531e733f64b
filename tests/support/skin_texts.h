#pragma once
// The texts of a language file of the skin, for tests that compare what a window shows.

#include <gtest/gtest.h>

#include <QFile>
#include <QHash>
#include <QString>

#include "controls/language_texts.h"
#include "controls/resource_index.h"

namespace rerov::test {

// Key -> text of language file `file` of the skin, read without making it current; a test
// failure and no texts when it cannot be read.
inline QHash<QString, QString> SkinTexts(const char* file) {
    QFile f(ui::ResourceIndex::Instance().SkinPath(QLatin1String(file)));
    QHash<QString, QString> texts;
    QString name;
    if (!f.open(QIODevice::ReadOnly) || !ui::LanguageTexts::Parse(f.readAll(), &texts, &name)) {
        ADD_FAILURE() << "cannot read " << file;
    }
    return texts;
}

}  // namespace rerov::test
