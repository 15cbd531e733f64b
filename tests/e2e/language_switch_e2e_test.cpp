// The language of the real rerov-ever switched from its settings window and back, driven with
// rerovctl app ui as a user drives it; the language and a background image chosen in the
// skin pop-up are both there after a restart.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include "tests/e2e/e2e_support.h"

namespace rerov::e2e {
namespace {

std::string Text(const RunOutcome& run) { return (run.out + run.err).toStdString(); }

// Key -> text of one language file of the program's skin.
QHash<QString, QString> LanguageFile(const QString& name) {
    QFile file(QFileInfo(QStringLiteral(REROV_EVER_PATH)).dir().filePath("skin/" + name));
    QHash<QString, QString> texts;
    if (!file.open(QIODevice::ReadOnly)) return texts;
    QXmlStreamReader reader(&file);
    while (reader.readNextStartElement()) {
        if (reader.name() == QLatin1String("Language")) continue;
        if (reader.name() != QLatin1String("Text")) {
            reader.skipCurrentElement();
            continue;
        }
        const QString id = reader.attributes().value(QLatin1String("id")).toString();
        texts.insert(id, reader.readElementText());
    }
    return texts;
}

bool HasHan(const QString& text) {
    static const QRegularExpression han(QStringLiteral("\\p{Han}"));
    return han.match(text).hasMatch();
}

class LanguageSkinE2e : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(sandbox_.IsValid());
        program_ = StartWithKeyboardReady(sandbox_, {"--simulate=keyboard"});
        ASSERT_TRUE(program_);
    }

    void Ui(const QStringList& arguments) { UiStep(sandbox_, arguments); }

    QJsonArray Rows() { return UiControls(sandbox_); }

    QJsonObject Row(const QString& window, const QString& name) {
        for (const QJsonValue& row : Rows()) {
            const QJsonObject o = row.toObject();
            if (o.value("window").toString() == window && o.value("name").toString() == name) {
                return o;
            }
        }
        return {};
    }

    // The texts the main window shows now, by control name.
    QMap<QString, QString> ShownTexts() {
        QMap<QString, QString> texts;
        for (const QJsonValue& row : Rows()) {
            const QJsonObject o = row.toObject();
            if (o.value("window").toString() != QLatin1String("MainWnd")) continue;
            if (!o.value("visible").toBool() || !o.contains("text")) continue;
            texts.insert(o.value("name").toString(), o.value("text").toString());
        }
        return texts;
    }

    void Restart() {
        const RunOutcome quit = Rerovctl(sandbox_, {"app", "quit"});
        ASSERT_EQ(quit.exitCode, 0) << Text(quit);
        ASSERT_TRUE(program_->WaitForEnd(kRunMs));
        program_.reset();
        program_ = StartWithKeyboardReady(sandbox_, {"--simulate=keyboard"});
        ASSERT_TRUE(program_);
    }

    Sandbox sandbox_;
    std::unique_ptr<RunningProgram> program_;
};

TEST_F(LanguageSkinE2e, TheLanguageSwitchesFromTheSettingsWindowAndBackAndOutlivesARestart) {
    const QHash<QString, QString> english = LanguageFile("lan_en.xml");
    const QHash<QString, QString> chinese = LanguageFile("lan_cn.xml");
    ASSERT_FALSE(english.isEmpty());
    ASSERT_FALSE(chinese.isEmpty());
    // English text -> what it reads in Chinese (one English text may have several keys), for
    // the texts that differ between the languages.
    QHash<QString, QStringList> inChineseOf;
    for (auto it = english.cbegin(); it != english.cend(); ++it) {
        if (chinese.value(it.key()) != it.value())
            inChineseOf[it.value()].append(chinese.value(it.key()));
    }

    const QMap<QString, QString> before = ShownTexts();
    Ui({"click", "setbtn"});
    ASSERT_FALSE(Row("SetWnd", "Language_combox_info").isEmpty()) << "the settings window opened";
    EXPECT_EQ(Row("SetWnd", "Language_combox_info").value("text").toString(),
              english.value("language_name_en"));

    Ui({"select", "Language_combox_info", "0"});
    const QMap<QString, QString> inChinese = ShownTexts();
    int translated = 0;
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        const auto texts = inChineseOf.constFind(it.value());
        if (texts == inChineseOf.cend()) continue;
        ++translated;
        EXPECT_TRUE(texts->contains(inChinese.value(it.key())))
            << it.key().toStdString() << " shows \"" << inChinese.value(it.key()).toStdString()
            << "\" for \"" << it.value().toStdString() << '"';
    }
    EXPECT_GE(translated, 10) << "the main window shows too few language texts to judge";
    EXPECT_TRUE(HasHan(Row("SetWnd", "Language_combox_info").value("text").toString()));

    Ui({"select", "Language_combox_info", "1"});
    const QMap<QString, QString> back = ShownTexts();
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (!inChineseOf.contains(it.value())) continue;
        EXPECT_EQ(back.value(it.key()), it.value()) << it.key().toStdString();
    }

    // Chinese again, and a background image: both are there after a restart.
    Ui({"select", "Language_combox_info", "0"});
    Ui({"click", "closebtn"});
    ASSERT_TRUE(Row("SetWnd", "Language_combox_info").isEmpty()) << "the settings window closed";
    const QString defaultImage = Row("MainWnd", "root").value("bkimage").toString();
    Ui({"click", "skinbtn"});
    Ui({"click", "skin_image_btn#3"});
    const QString image = Row("MainWnd", "root").value("bkimage").toString();
    ASSERT_FALSE(image.isEmpty());
    EXPECT_NE(image, defaultImage) << "the chosen image shows";

    Restart();
    const QMap<QString, QString> restarted = ShownTexts();
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        const auto texts = inChineseOf.constFind(it.value());
        if (texts == inChineseOf.cend()) continue;
        EXPECT_TRUE(texts->contains(restarted.value(it.key()))) << it.key().toStdString();
    }
    EXPECT_EQ(Row("MainWnd", "root").value("bkimage").toString(), image);
}

}  // namespace
}  // namespace rerov::e2e
