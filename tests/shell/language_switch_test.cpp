// The language switch without a window: the list of languages, which language a start
// shows, the faces per language and what one switch does to fonts, texts and the store.

#include "shell/language/language_switch.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QRawFont>
#include <QSettings>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <optional>

#include "controls/control_base.h"
#include "controls/language_texts.h"
#include "controls/render_engine.h"
#include "controls/resource_index.h"
#include "controls/skin_setup.h"
#include "shell/language/language_config.h"
#include "shell/language/language_fonts.h"
#include "shell/language/language_store.h"
#include "tests/support/skin_texts.h"

namespace rerov::shell {
namespace {

class LanguageFiles : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    std::filesystem::path Write(const QString& name, const QByteArray& content) {
        const QString path = dir_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        EXPECT_EQ(file.write(content), content.size());
        file.close();
        return path.toStdString();
    }

    QTemporaryDir dir_;
};

TEST_F(LanguageFiles, ListReadsTheLanguagesInOrder) {
    const LanguageList list = ReadLanguageList(
        Write("ok.config",
              R"({"Language": [{"Language_name": "Chinese", "Language_file": "lan_cn.xml",
             "Language_ID": 2052, "Language_text": "language_name_zh_CN"},
            {"Language_name": "English", "Language_file": "lan_en.xml", "Language_ID": 1033,
             "Language_text": "language_name_en"}]})"));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].file, "lan_cn.xml");
    EXPECT_EQ(list[0].id, 2052);
    EXPECT_EQ(list[1].name, "English");
    EXPECT_EQ(list[1].textKey, "language_name_en");
}

TEST_F(LanguageFiles, BrokenListsReadAsEmptyOrAsBlankEntries) {
    struct Case {
        const char* what;
        const char* content;
        size_t entries;
    };
    const Case cases[] = {
        {"not JSON", "{\"Language\": [", 0},
        {"no object", "[1, 2]", 0},
        {"no array", R"({"Language": {"Language_file": "lan_en.xml"}})", 0},
        {"empty array", R"({"Language": []})", 0},
        {"empty file", "", 0},
        {"wrong member types",
         R"({"Language": [{"Language_name": 5, "Language_file": ["x"], "Language_ID": "1033",
             "Language_text": null}, 7]})",
         2},
    };
    for (const Case& c : cases) {
        const LanguageList list = ReadLanguageList(Write("case.config", c.content));
        ASSERT_EQ(list.size(), c.entries) << c.what;
        for (const LanguageEntry& entry : list) {
            EXPECT_TRUE(entry.name.isEmpty()) << c.what;
            EXPECT_TRUE(entry.file.isEmpty()) << c.what;
            EXPECT_EQ(entry.id, 0) << c.what;
        }
    }
    EXPECT_TRUE(ReadLanguageList(dir_.filePath("missing.config").toStdString()).empty());
}

// The file names come from a file: only names of the skin folder's own files are taken.
TEST_F(LanguageFiles, LanguageFilesOutsideTheSkinFolderAreNoFiles) {
    const LanguageList list = ReadLanguageList(Write(
        "paths.config",
        R"({"Language": [{"Language_file": "../../etc/passwd"}, {"Language_file": "/tmp/x.xml"},
            {"Language_file": "sub\\lan.xml"}, {"Language_file": ".."}, {"Language_file": "lan_en.xml"}]})"));
    ASSERT_EQ(list.size(), 5u);
    for (size_t i = 0; i < 4; ++i) EXPECT_TRUE(list[i].file.isEmpty()) << i;
    EXPECT_EQ(list[4].file, "lan_en.xml");
}

TEST(StoredLanguage, TheStoredIdThenTheSystemsLanguageThen520ChooseTheStartLanguage) {
    const auto list = [](std::initializer_list<qint64> ids) {
        LanguageList languages;
        for (qint64 id : ids) languages.push_back(LanguageEntry{{}, {}, id, {}});
        return languages;
    };
    struct Case {
        const char* what;
        LanguageList languages;
        std::optional<qint64> stored;
        const char* locale;
        int index;
    };
    const Case cases[] = {
        {"stored id", list({2052, 1033}), 1033, "zh_CN", 1},
        {"stored id wins over the system", list({2052, 1033}), 2052, "en_US", 0},
        {"stored id not offered", list({2052, 1033}), 1041, "en_US", 0},
        {"stored 0 (no list when stored)", list({2052, 1033}), 0, "en_US", 0},
        {"Chinese of China", list({1033, 2052}), std::nullopt, "zh_CN", 1},
        {"Chinese of Singapore", list({1033, 2052}), std::nullopt, "zh_SG", 1},
        {"Chinese of Taiwan: 520", list({2052, 1033, 520}), std::nullopt, "zh_TW", 2},
        {"English", list({2052, 1033}), std::nullopt, "en_GB", 1},
        {"C locale", list({2052, 1033}), std::nullopt, "C", 1},
        {"another language: 520", list({2052, 1033, 520}), std::nullopt, "de_DE", 2},
        {"another language, no 520", list({2052, 1033}), std::nullopt, "de_DE", 0},
        {"the first of two equal ids", list({520, 1033, 1033}), std::nullopt, "en_US", 1},
        {"no list", list({}), 1033, "en_US", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StoredLanguageIndex(c.languages, c.stored, QLocale(QLatin1String(c.locale))),
                  c.index)
            << c.what;
    }
}

TEST(StoredLanguage, StoreKeepsTheIdAndReadsBackNothingForJunk) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("settings.ini");
    {
        LanguageStore store(path);
        EXPECT_EQ(store.StoredId(), std::nullopt);
        EXPECT_TRUE(store.Store(2052));
    }
    EXPECT_EQ(LanguageStore(path).StoredId(), 2052) << "a new store (a new start) reads it";
    {
        QSettings raw(path, QSettings::IniFormat);
        raw.setValue("LANGUAGE", "chinese");
        raw.sync();
    }
    EXPECT_EQ(LanguageStore(path).StoredId(), std::nullopt);
    // A settings file that is not one at all: the choice replaces it.
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(QByteArray("\x00\xff[[[LANGUAGE\n=\x01", 16)), 16);
    }
    LanguageStore broken(path);
    EXPECT_EQ(broken.StoredId(), std::nullopt);
    EXPECT_TRUE(broken.Store(1033));
    EXPECT_EQ(LanguageStore(path).StoredId(), 1033);
}

TEST(StoredLanguage, AStoreThatCannotBeWrittenSaysSo) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A folder where the file should be: nothing can be written there.
    ASSERT_TRUE(QDir(dir.path()).mkdir("settings.ini"));
    LanguageStore store(dir.filePath("settings.ini"));
    EXPECT_FALSE(store.Store(1033));
}

TEST(LanguageFonts, FacesPerLanguageAndWhenASwitchReplacesThem) {
    EXPECT_EQ(LanguageFontFaces(0).value(0), QString::fromUtf8("汉仪菱心体简"));
    EXPECT_TRUE(LanguageFontFaces(0).contains("WenQuanYi Micro Hei"));
    EXPECT_EQ(LanguageFontFaces(2).value(0), "Noto Sans CJK TC Regular");
    EXPECT_EQ(LanguageFontFaces(15), QStringList{"Noto Sans Thai"});
    for (int other : {1, 3, 4, 14, 16, 99}) {
        EXPECT_EQ(LanguageFontFaces(other), QStringList{"Verdana Unicode MS"}) << other;
    }
    struct Case {
        int current;
        int next;
        bool replaces;
    };
    const Case cases[] = {{-1, 1, true}, {-1, 4, true}, {3, 4, false}, {1, 3, false},
                          {0, 4, true},  {2, 1, true},  {15, 1, true}, {1, 0, true},
                          {1, 2, true},  {4, 15, true}, {16, 1, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(LanguageSwitchReplacesFonts(c.current, c.next), c.replaces)
            << c.current << " -> " << c.next;
    }
}

// Switches over a list of languages in a folder of the test's own, with a store there too;
// the application font and the English texts are put back afterwards.
class LanguageSwitch : public LanguageFiles {
  protected:
    void SetUp() override {
        LanguageFiles::SetUp();
        savedFont_ = QApplication::font();
        ASSERT_TRUE(ui::ApplyLanguage(QStringLiteral("lan_en.xml")));
        store_.emplace(dir_.filePath("settings.ini"));
    }
    void TearDown() override {
        QApplication::setFont(savedFont_);
        ui::ApplyFontFaces(savedFont_.families());
        ui::ApplyLanguage(QStringLiteral("lan_en.xml"));
    }

    // `count` languages; language i has id 1000 + i and file `files[i]` (English beyond).
    LanguageList Languages(int count, const QStringList& files = {}) {
        LanguageList list;
        for (int i = 0; i < count; ++i) {
            list.push_back(LanguageEntry{QStringLiteral("L%1").arg(i),
                                         files.value(i, QStringLiteral("lan_en.xml")), 1000 + i,
                                         QString()});
        }
        return list;
    }

    QFont savedFont_;
    std::optional<LanguageStore> store_;
};

TEST_F(LanguageSwitch, TheLanguageShownDoesNothing) {
    ASSERT_TRUE(store_->Store(777));
    const QStringList faces = QApplication::font().families();
    const LanguageSwitchResult result = SwitchLanguage(0, 0, Languages(2), *store_);
    EXPECT_EQ(result.index, 0);
    EXPECT_FALSE(result.fontsReplaced);
    EXPECT_FALSE(result.textsLoaded);
    EXPECT_FALSE(result.stored);
    EXPECT_EQ(store_->StoredId(), 777) << "not even the store is written";
    EXPECT_EQ(QApplication::font().families(), faces);
}

TEST_F(LanguageSwitch, FontsFollowTheRuleOfTheLanguageIndices) {
    // A window with a control and a plain widget: both draw in the new face at once.
    QWidget window;
    window.setLayout(new QVBoxLayout);
    auto* control = new ui::CLabelUI(&window);
    control->SetAttribute("font", "2");
    auto* label = new QLabel(QStringLiteral("plain"), &window);
    window.layout()->addWidget(control);
    window.layout()->addWidget(label);
    window.show();

    const LanguageList list = Languages(16);
    ui::ApplyFontFaces({QStringLiteral("DejaVu Sans")});
    const QStringList before = QApplication::font().families();
    LanguageSwitchResult result = SwitchLanguage(3, 4, list, *store_);
    EXPECT_EQ(result.index, 4);
    EXPECT_FALSE(result.fontsReplaced) << "3 -> 4 keeps the fonts";
    EXPECT_EQ(QApplication::font().families(), before);
    EXPECT_TRUE(result.stored);
    EXPECT_EQ(store_->StoredId(), 1004);

    result = SwitchLanguage(0, 4, list, *store_);
    EXPECT_TRUE(result.fontsReplaced);
    EXPECT_EQ(QApplication::font().families().value(0), "Verdana Unicode MS");
    EXPECT_EQ(control->GetFont().families().value(0), "Verdana Unicode MS");
    EXPECT_EQ(control->GetFont().pixelSize(), 18) << "font 2 keeps its size";
    EXPECT_EQ(label->font().families().value(0), "Verdana Unicode MS");
    EXPECT_TRUE(QApplication::font().families().contains("DejaVu Sans"))
        << "a face that exists follows the chosen one";

    result = SwitchLanguage(4, 15, list, *store_);
    EXPECT_TRUE(result.fontsReplaced);
    EXPECT_EQ(QApplication::font().families().value(0), "Noto Sans Thai");
    EXPECT_EQ(control->GetFont().families().value(0), "Noto Sans Thai");

    result = SwitchLanguage(kNoLanguage, 1, list, *store_);
    EXPECT_TRUE(result.fontsReplaced) << "the first language always sets the fonts";
}

TEST_F(LanguageSwitch, AnIndexOutsideTheListChangesNothing) {
    ASSERT_TRUE(store_->Store(777));
    const QStringList faces = QApplication::font().families();
    for (int index : {2, 15, -2}) {
        const LanguageSwitchResult result = SwitchLanguage(1, index, Languages(2), *store_);
        EXPECT_EQ(result.index, 1) << index;
        EXPECT_FALSE(result.fontsReplaced) << index;
    }
    EXPECT_EQ(QApplication::font().families(), faces);
    EXPECT_EQ(store_->StoredId(), 777);
    EXPECT_EQ(ui::Tr("menu_exit"), "Exit");
}

TEST_F(LanguageSwitch, AMissingLanguageFileKeepsTheTextsAndIsNotRemembered) {
    ASSERT_TRUE(store_->Store(777));
    const LanguageSwitchResult result =
        SwitchLanguage(1, 0, Languages(2, {"lan_missing.xml"}), *store_);
    EXPECT_EQ(result.index, 0);
    EXPECT_FALSE(result.textsLoaded);
    EXPECT_FALSE(result.stored);
    EXPECT_EQ(store_->StoredId(), 777);
    EXPECT_EQ(ui::Tr("menu_exit"), "Exit");
}

TEST_F(LanguageSwitch, WithoutAListTheTextsStayAndNoLanguageIsRemembered) {
    const LanguageSwitchResult result = SwitchLanguage(kNoLanguage, 0, {}, *store_);
    EXPECT_EQ(result.index, 0);
    EXPECT_FALSE(result.textsLoaded);
    EXPECT_TRUE(result.stored);
    EXPECT_EQ(store_->StoredId(), 0);
    EXPECT_EQ(ui::Tr("menu_exit"), "Exit");
}

TEST_F(LanguageSwitch, KeysALanguageLacksShowInEnglish) {
    const std::filesystem::path partial =
        Write("lan_partial.xml",
              QString::fromUtf8(
                  "<Language name=\"partial\"><Text id=\"menu_exit\">退出</Text></Language>")
                  .toUtf8());
    const LanguageSwitchResult result =
        SwitchLanguage(1, 0, Languages(2, {QString::fromStdString(partial.string())}), *store_);
    ASSERT_TRUE(result.textsLoaded);
    EXPECT_EQ(ui::Tr("menu_exit"), QString::fromUtf8("退出"));
    EXPECT_EQ(ui::Tr("menu_about"), "About") << "the base language's text, not the key";
    EXPECT_EQ(ui::Tr("no_such_key_anywhere"), "no_such_key_anywhere");
    EXPECT_TRUE(ui::LanguageTexts::Instance().Keys().contains("menu_about"));
}

TEST_F(LanguageSwitch, OpenWindowsShowTheNewTextsThenHearOfTheChange) {
    // A window whose composed text reads a bound one when it hears of the change: it must
    // find the bound text current already.
    class Composer : public QWidget {
      public:
        Composer() {
            bound = new QLabel(this);
            ui::LanguageTexts::BindText(bound, "text", QStringLiteral("menu_exit"));
        }
        QLabel* bound;
        QString seen;
        int changes = 0;

      protected:
        void changeEvent(QEvent* event) override {
            if (event->type() == QEvent::LanguageChange) {
                ++changes;
                seen = bound->text();
            }
            QWidget::changeEvent(event);
        }
    };
    Composer window;
    const QHash<QString, QString> cn = test::SkinTexts("lan_cn.xml");
    ASSERT_TRUE(SwitchLanguage(1, 0, Languages(2, {"lan_cn.xml"}), *store_).textsLoaded);
    EXPECT_EQ(window.bound->text(), cn.value("menu_exit"));
    EXPECT_EQ(window.changes, 1) << "sent at once, not posted";
    EXPECT_EQ(window.seen, cn.value("menu_exit"));
    EXPECT_EQ(store_->StoredId(), 1000);
}

TEST_F(LanguageSwitch, ChineseTextsHaveGlyphsInTheChineseFaces) {
    ui::ApplyFontFaces(LanguageFontFaces(0));
    const QFont font = ui::render::FontForIndex(-1);
    const QString text = test::SkinTexts("lan_cn.xml").value("menu_settings") +
                         test::SkinTexts("lan_cn.xml").value("menu_exit") +
                         QString::fromUtf8("键盘灯光宏");
    ASSERT_FALSE(text.isEmpty());
    const QRawFont raw = QRawFont::fromFont(font, QFontDatabase::SimplifiedChinese);
    ASSERT_TRUE(raw.isValid()) << "no face for Chinese among "
                               << font.families().join(", ").toStdString();
    EXPECT_TRUE(LanguageFontFaces(0).contains(raw.familyName()))
        << "drawn in " << raw.familyName().toStdString() << ", a face of the list";
    for (const QChar c : text) {
        EXPECT_TRUE(raw.supportsCharacter(c)) << "no glyph for U+" << std::hex << int(c.unicode());
    }
    const QFontMetrics metrics(font);
    for (const QChar c : text) EXPECT_TRUE(metrics.inFont(c));
}

}  // namespace
}  // namespace rerov::shell
