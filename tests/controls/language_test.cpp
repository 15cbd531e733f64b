#include <gtest/gtest.h>

#include <QComboBox>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QTabWidget>
#include <set>

#include "controls/button_base.h"
#include "controls/language_texts.h"
#include "controls/layout_builder.h"
#include "controls/resource_index.h"

namespace rerov::ui {
namespace {

const char* const kLanguageFiles[] = {"lan_en.xml", "lan_cn.xml"};

// Keys asked for outside the layouts: the tray menu, the language names that the language
// list of the settings window shows, the tray message after the window hides, the report of
// a refused download and the texts the keyboard page composes (key tips, repeat delay); the
// words of the macro editor's step rows and recording, the key editor's capture note and
// tips, and the about window's version.
const char* const kCodeKeys[] = {"menu_settings",
                                 "menu_about",
                                 "menu_exit",
                                 "language_name_zh_CN",
                                 "language_name_en",
                                 "tray_hidden_hint",
                                 "message_download_failed",
                                 "Key_Set",
                                 "Repeat_Delay_Time",
                                 "Repeat_input_text",
                                 "macro_step_down",
                                 "macro_step_up",
                                 "macro_ms",
                                 "macro_recording",
                                 "keyset_capture_note",
                                 "capture_tip",
                                 "capture_in_window",
                                 "capture_x11",
                                 "capture_evdev",
                                 "software_rev_text"};

std::set<QString> KeysUsedBySkin() {
    std::set<QString> keys;
    const QRegularExpression ref(QStringLiteral("%\\[([^\\]\\s]+)\\]"));
    QDirIterator it(ResourceIndex::Instance().SkinDir(), {"*.ui", "*.xml"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (!file.open(QIODevice::ReadOnly)) continue;
        const QString text = QString::fromUtf8(file.readAll());
        for (const auto& match : ref.globalMatch(text)) keys.insert(match.captured(1));
    }
    for (const char* key : kCodeKeys) keys.insert(key);
    return keys;
}

// Restores English after tests that switch the language.
struct LanguageGuard {
    ~LanguageGuard() { LanguageTexts::Instance().Load("lan_en.xml"); }
};

TEST(LanguageTexts, EveryKeyOfTheLayoutsAndCodeResolvesInEveryLanguage) {
    const std::set<QString> keys = KeysUsedBySkin();
    ASSERT_FALSE(keys.empty());
    for (const char* fileName : kLanguageFiles) {
        QFile file(ResourceIndex::Instance().SkinPath(fileName));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << fileName;
        QHash<QString, QString> texts;
        QString name;
        ASSERT_TRUE(LanguageTexts::Parse(file.readAll(), &texts, &name)) << fileName;
        EXPECT_FALSE(name.isEmpty()) << fileName;
        QStringList missing;
        for (const QString& key : keys) {
            if (texts.value(key).isEmpty()) missing << key;
        }
        EXPECT_TRUE(missing.isEmpty())
            << fileName << " lacks: " << missing.join(", ").toStdString();
    }
}

TEST(LanguageTexts, MissingKeyShowsTheKeyItself) {
    LanguageGuard guard;
    ASSERT_TRUE(LanguageTexts::Instance().LoadFromData(
        "<Language name=\"T\"><Text id=\"hello\">Hi &amp; bye</Text><Other/></Language>"));
    EXPECT_EQ(Tr("hello"), "Hi & bye");
    EXPECT_EQ(Tr("message_text_99"), "message_text_99");
    EXPECT_TRUE(LanguageTexts::Instance().Has("hello"));
    EXPECT_FALSE(LanguageTexts::Instance().Has("message_text_99"));
    EXPECT_EQ(LanguageTexts::Instance().LanguageName(), "T");
}

TEST(LanguageTexts, BadFilesLeaveTheCurrentTexts) {
    LanguageGuard guard;
    ASSERT_TRUE(LanguageTexts::Instance().Load("lan_en.xml"));
    const char* const bad[] = {"", "<Language><Text id=\"a\">x</Language>", "<Other/>", "not xml"};
    for (const char* data : bad) {
        EXPECT_FALSE(LanguageTexts::Instance().LoadFromData(data)) << data;
        EXPECT_EQ(Tr("menu_exit"), "Exit") << data;
    }
    EXPECT_FALSE(LanguageTexts::Instance().Load("lan_none.xml"));
}

TEST(LanguageTexts, KeyReferences) {
    struct Case {
        const char* value;
        bool isKey;
        const char* key;
    };
    const Case cases[] = {{"%[menu_exit]", true, "menu_exit"},
                          {"%[]", false, ""},
                          {"menu_exit", false, ""},
                          {"%[menu_exit", false, ""},
                          {"50%", false, ""}};
    for (const Case& c : cases) {
        QString key;
        EXPECT_EQ(LanguageTexts::IsKeyReference(c.value, &key), c.isKey) << c.value;
        if (c.isKey) {
            EXPECT_EQ(key, c.key);
        }
    }
}

TEST(LanguageTexts, LayoutTextsFollowALanguageChange) {
    LanguageGuard guard;
    ASSERT_TRUE(LanguageTexts::Instance().Load("lan_en.xml"));
    LayoutBuilder builder;
    std::unique_ptr<QWidget> root(builder.CreateFromData(
        "<ui version=\"4.0\"><widget class=\"QWidget\" name=\"root\">"
        "<widget class=\"QLabel\" name=\"label\"><property name=\"text\"><string>%[menu_exit]"
        "</string></property></widget>"
        "<widget class=\"CButtonUI\" name=\"button\"><property name=\"text\"><string>"
        "%[menu_about]</string></property><property name=\"tooltip\" stdset=\"0\"><string>"
        "%[menu_settings]</string></property></widget>"
        "<widget class=\"QLabel\" name=\"plain\"><property name=\"text\"><string>50%</string>"
        "</property></widget></widget></ui>",
        nullptr, nullptr));
    ASSERT_NE(root, nullptr);
    auto* label = root->findChild<QLabel*>("label");
    auto* button = root->findChild<CButtonUI*>("button");
    auto* plain = root->findChild<QLabel*>("plain");
    EXPECT_EQ(label->text(), "Exit");
    EXPECT_EQ(button->GetText(), "About");
    EXPECT_EQ(button->toolTip(), "Settings");
    ASSERT_TRUE(LanguageTexts::Instance().Load("lan_cn.xml"));
    LanguageTexts::Retranslate(root.get());
    EXPECT_EQ(label->text(), QString::fromUtf8("退出"));
    EXPECT_EQ(button->GetText(), QString::fromUtf8("关于"));
    EXPECT_EQ(button->toolTip(), QString::fromUtf8("设置"));
    EXPECT_EQ(plain->text(), "50%");
}

// Items of layouts and items added by code: the key travels with the item, its data stays.
TEST(LanguageTexts, ComboItemsAndTabTitlesFollowALanguageChange) {
    LanguageGuard guard;
    ASSERT_TRUE(LanguageTexts::Instance().Load("lan_en.xml"));
    LayoutBuilder builder;
    std::unique_ptr<QWidget> root(builder.CreateFromData(
        "<ui version=\"4.0\"><widget class=\"QWidget\" name=\"root\">"
        "<widget class=\"QComboBox\" name=\"combo\"><item><property name=\"text\"><string>"
        "%[menu_exit]</string></property></item><item><property name=\"text\"><string>plain"
        "</string></property></item></widget>"
        "<widget class=\"QTabWidget\" name=\"tabs\"><widget class=\"QWidget\" name=\"a\">"
        "<attribute name=\"title\"><string>%[menu_about]</string></attribute></widget>"
        "<widget class=\"QWidget\" name=\"b\"><attribute name=\"title\"><string>Literal"
        "</string></attribute></widget></widget></widget></ui>",
        nullptr, nullptr));
    ASSERT_NE(root, nullptr);
    auto* combo = root->findChild<QComboBox*>("combo");
    auto* tabs = root->findChild<QTabWidget*>("tabs");
    ASSERT_NE(combo, nullptr);
    ASSERT_NE(tabs, nullptr);
    combo->addItem(QString(), 42);
    LanguageTexts::BindItemText(combo, 2, "menu_settings");
    LanguageTexts::BindItemText(combo, 7, "menu_settings");  // no such item: ignored
    EXPECT_EQ(combo->itemText(0), "Exit");
    EXPECT_EQ(combo->itemText(2), "Settings");
    EXPECT_EQ(tabs->tabText(0), "About");

    ASSERT_TRUE(LanguageTexts::Instance().Load("lan_cn.xml"));
    LanguageTexts::Retranslate(root.get());
    EXPECT_EQ(combo->itemText(0), QString::fromUtf8("退出"));
    EXPECT_EQ(combo->itemText(1), "plain");
    EXPECT_EQ(combo->itemText(2), QString::fromUtf8("设置"));
    EXPECT_EQ(combo->itemData(2).toInt(), 42);
    EXPECT_EQ(tabs->tabText(0), QString::fromUtf8("关于"));
    EXPECT_EQ(tabs->tabText(1), "Literal");
}

}  // namespace
}  // namespace rerov::ui
