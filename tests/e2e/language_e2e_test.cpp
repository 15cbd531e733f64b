// The real rerov-ever's language at start, read with rerovctl app ui list: a system whose
// language is Chinese starts in Chinese, an English one in English, and the language a start
// showed is remembered, so the next start shows it whatever the system's language is then.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <QXmlStreamReader>

#include "tests/e2e/e2e_support.h"

namespace rerov::e2e {
namespace {

// The texts of a language file of the skin beside the program.
QHash<QString, QString> SkinTexts(const char* file) {
    QFile f(QFileInfo(QStringLiteral(REROV_EVER_PATH)).dir().filePath(QStringLiteral("skin/")) +
            QLatin1String(file));
    QHash<QString, QString> texts;
    if (!f.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << file;
        return texts;
    }
    QXmlStreamReader reader(&f);
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement &&
            reader.name() == QLatin1String("Text")) {
            const QString id = reader.attributes().value(QLatin1String("id")).toString();
            texts.insert(id, reader.readElementText());
        }
    }
    EXPECT_FALSE(reader.hasError()) << file;
    return texts;
}

class LanguageAtStart : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(sandbox_.IsValid());
        en_ = SkinTexts("lan_en.xml");
        cn_ = SkinTexts("lan_cn.xml");
        ASSERT_FALSE(en_.isEmpty());
        ASSERT_FALSE(cn_.isEmpty());
    }

    // The texts of the main window's shown controls, by name, once the keyboard is ready.
    QHash<QString, QString> ShownTexts() {
        const RunOutcome run = Rerovctl(sandbox_, {"app", "ui", "list", "--json"});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        QHash<QString, QString> shown;
        for (const QJsonValue& value : QJsonDocument::fromJson(run.out.toUtf8()).array()) {
            const QJsonObject row = value.toObject();
            if (row.value("window").toString() != "MainWnd" || !row.value("visible").toBool()) {
                continue;
            }
            const QString text = row.value("text").toString();
            if (!text.isEmpty()) shown.insert(row.value("name").toString(), text);
        }
        return shown;
    }

    // Every shown text that one of the languages gives and the other does not is `wanted`'s,
    // and there are such texts (the device names, the tabs, the lighting editor's words).
    void ExpectAllIn(const QHash<QString, QString>& shown, const QHash<QString, QString>& wanted,
                     const QHash<QString, QString>& other, const char* what) {
        QSet<QString> wantedOnly;
        QSet<QString> otherOnly;
        for (auto it = en_.cbegin(); it != en_.cend(); ++it) {
            if (cn_.value(it.key()) == it.value()) continue;
            wantedOnly.insert(wanted.value(it.key()));
            otherOnly.insert(other.value(it.key()));
        }
        int inWanted = 0;
        for (auto it = shown.cbegin(); it != shown.cend(); ++it) {
            EXPECT_FALSE(otherOnly.contains(it.value()) && !wantedOnly.contains(it.value()))
                << what << ": " << it.key().toStdString() << " shows " << it.value().toStdString();
            if (wantedOnly.contains(it.value())) ++inWanted;
        }
        EXPECT_GE(inWanted, 10) << what << ": too few translated texts shown";
        // Every page has a profile bar; the shown one is the keyboard's.
        QString keysTab;
        for (auto it = shown.cbegin(); it != shown.cend(); ++it) {
            if (it.key().startsWith("key_Op_tab")) keysTab = it.value();
        }
        EXPECT_EQ(keysTab, wanted.value("tab_keys")) << what;
        EXPECT_EQ(shown.value("device_select_name#1"), wanted.value("kb_device_name_text")) << what;
    }

    // Starts the program with the system language `locale`, reads its texts and ends it.
    QHash<QString, QString> RunOnce(const QString& locale) {
        sandbox_.SetVariable(QStringLiteral("LC_ALL"), locale);
        auto program = StartWithKeyboardReady(sandbox_, {"--simulate=keyboard"});
        if (program == nullptr) return {};
        const QHash<QString, QString> shown = ShownTexts();
        const RunOutcome quit = Rerovctl(sandbox_, {"app", "quit"});
        EXPECT_EQ(quit.exitCode, 0) << quit.err.toStdString();
        EXPECT_TRUE(program->WaitForEnd(kRunMs));
        return shown;
    }

    Sandbox sandbox_;
    QHash<QString, QString> en_;
    QHash<QString, QString> cn_;
};

TEST_F(LanguageAtStart, AChineseSystemStartsInChineseAndTheNextStartKeepsIt) {
    const QHash<QString, QString> first = RunOnce(QStringLiteral("zh_CN.UTF-8"));
    ExpectAllIn(first, cn_, en_, "first start on a Chinese system");
    // The system's language is English now: the remembered choice wins.
    const QHash<QString, QString> second = RunOnce(QStringLiteral("C.UTF-8"));
    ExpectAllIn(second, cn_, en_, "next start on an English system");
}

TEST_F(LanguageAtStart, AnEnglishSystemStartsInEnglish) {
    const QHash<QString, QString> shown = RunOnce(QStringLiteral("en_US.UTF-8"));
    ExpectAllIn(shown, en_, cn_, "start on an English system");
}

}  // namespace
}  // namespace rerov::e2e
