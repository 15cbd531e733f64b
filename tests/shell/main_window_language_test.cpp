// The language switch of a real main window on the simulated keyboard: every text it shows,
// the ones its layouts name and the ones its pages compose, follows the language chosen in
// the settings window, and the next start shows the language chosen last.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <algorithm>

#include "controls/control_base.h"
#include "controls/device_key_button.h"
#include "controls/language_texts.h"
#include "controls/resource_index.h"
#include "controls/skin_setup.h"
#include "devices/pages/keyboard_key_editing.h"
#include "editors/widgets/key_set_control.h"
#include "shell/dialogs/about_wnd.h"
#include "shell/language/language_config.h"
#include "shell/language/language_store.h"
#include "tests/shell/page_editors_fixture.h"
#include "tests/support/skin_texts.h"

namespace rerov::shell::test {
namespace {

// Positions in DefaultData/Language.config.
constexpr int kChinese = 0;
constexpr int kEnglish = 1;
// Past the last key of the keyboard's picture.
constexpr int kKeysLooked = 200;

// What the window shows that a language changes, in one language.
struct Shown {
    QString keyTip;         // a key's tip on the picture (composed by the keyboard object)
    QStringList keyTips;    // the tips of every key of the picture
    QString modeItem;       // the lighting editor's first mode
    QString modeKey;        // its language key (the item's data)
    QStringList functions;  // the key editor's function list
    QString keyText;        // the key editor's key text (composed from its form)
    QString tab;            // the profile bar's "keys" tab
    QString repeatDelay;    // the system panel's repeat delay (composed)
    QString repeatTip;      // the repeat test field's hint
};

class MainWindowLanguage : public PageEditorsTest {
  protected:
    void SetUp() override {
        PageEditorsTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_SOON(wnd->State().entries.at(kKeyboardEntry).ready);
        keys = KeyboardKeyEditing::Of(*page);
        ASSERT_NE(keys, nullptr);
    }
    void TearDown() override {
        // The other tests of the program start in English, with nothing remembered.
        if (wnd != nullptr) wnd->ApplyLanguage(kEnglish);
        PageEditorsTest::TearDown();
        LanguageStore().Clear();
        ui::ApplyLanguage(QStringLiteral("lan_en.xml"));
    }

    // The first key of the picture whose tip the keyboard object composed.
    int LabelledKey() const {
        for (int key = 0; key < kKeysLooked; ++key) {
            if (ui::CDeviceKeyButtonUI* button = page->KeyButton(key)) {
                if (!button->property(kKeyLabelProperty).toString().isEmpty()) return key;
            }
        }
        return -1;
    }

    Shown Now(int key) const {
        Shown shown;
        shown.keyTip = page->KeyButton(key)->toolTip();
        for (int k = 0; k < kKeysLooked; ++k) {
            if (ui::CDeviceKeyButtonUI* button = page->KeyButton(k))
                shown.keyTips << button->toolTip();
        }
        if (auto* modes = editor->findChild<QComboBox*>("light_combo_modeSelect")) {
            shown.modeItem = modes->itemText(0);
            shown.modeKey = modes->itemData(0).toString();
        }
        if (auto* functions = keys->Editor()->findChild<QComboBox*>("keyset_function_combo")) {
            for (int i = 0; i < functions->count(); ++i) shown.functions << functions->itemText(i);
        }
        if (auto* keyText = keys->Editor()->findChild<QLabel*>("text_test")) {
            shown.keyText = keyText->text();
        }
        if (auto* tab = page->findChild<QPushButton*>("key_Op_tab")) shown.tab = tab->text();
        if (auto* delay = page->findChild<QLabel*>("repeat_delay_time_label1")) {
            shown.repeatDelay = delay->text();
        }
        if (auto* field = page->findChild<QTextEdit*>("repeat_input_richedit")) {
            shown.repeatTip = field->placeholderText();
        }
        return shown;
    }

    // Every text of `shown` is the one `texts` gives.
    static void ExpectIn(const Shown& shown, const QHash<QString, QString>& texts,
                         const char* language) {
        SCOPED_TRACE(language);
        EXPECT_TRUE(shown.keyTip.contains(texts.value("Key_Set"))) << shown.keyTip.toStdString();
        // The space bar's tip names it in the language shown.
        const QString space = texts.value("keyboard_key_Space") + texts.value("Key_Set");
        EXPECT_TRUE(std::any_of(shown.keyTips.cbegin(), shown.keyTips.cend(),
                                [&](const QString& tip) { return tip.startsWith(space); }))
            << shown.keyTips.join(" | ").toStdString();
        EXPECT_FALSE(shown.modeKey.isEmpty());
        EXPECT_EQ(shown.modeItem, texts.value(shown.modeKey));
        EXPECT_TRUE(shown.functions.contains(texts.value("keyset_category_keyboard")))
            << shown.functions.join(", ").toStdString();
        EXPECT_TRUE(shown.functions.contains(texts.value("keyset_category_macro")));
        EXPECT_EQ(shown.tab, texts.value("tab_keys"));
        EXPECT_TRUE(shown.repeatDelay.startsWith(texts.value("Repeat_Delay_Time")))
            << shown.repeatDelay.toStdString();
        EXPECT_TRUE(shown.repeatDelay.endsWith("ms"));
        EXPECT_EQ(shown.repeatTip, texts.value("Repeat_input_text"));
    }

    KeyboardKeyEditing* keys = nullptr;
};

TEST_F(MainWindowLanguage, EveryTextFollowsTheSettingsWindowsChoiceAndBack) {
    const QHash<QString, QString> en = rerov::test::SkinTexts("lan_en.xml");
    const QHash<QString, QString> cn = rerov::test::SkinTexts("lan_cn.xml");
    ASSERT_EQ(wnd->LanguageIndex(), kEnglish) << "an English system starts in English";
    const int key = LabelledKey();
    ASSERT_GE(key, 0) << "the keyboard labelled no key";
    keys->SelectKey(key);
    // Space captured into the editor (not applied): the editor composes its key text.
    ASSERT_TRUE(keys->Editor()->CaptureKey(input_hook::ScanKey{0x39, false}));
    const Shown english = Now(key);
    ExpectIn(english, en, "English at start");
    ASSERT_FALSE(english.keyText.isEmpty()) << "the selected key shows its key text";

    // An open about window follows too.
    CAboutWnd about(wnd);
    ASSERT_TRUE(about.Create(QStringLiteral("  "),
                             QSize(CAboutWnd::kDesignWidth, CAboutWnd::kDesignHeight)));
    about.show();
    auto* version = about.findChild<ui::CControlUI*>("software_ver_label");
    ASSERT_NE(version, nullptr);
    ASSERT_EQ(version->GetText(), en.value("software_rev_text") + ProgramVersion());

    wnd->OnLanguageChosen(kChinese);
    EXPECT_EQ(wnd->LanguageIndex(), kChinese);
    const Shown chinese = Now(key);
    ExpectIn(chinese, cn, "Chinese");
    EXPECT_NE(chinese.keyText, english.keyText);
    EXPECT_EQ(version->GetText(), cn.value("software_rev_text") + ProgramVersion());
    EXPECT_EQ(QApplication::font().families().value(0), QString::fromUtf8("汉仪菱心体简"));
    EXPECT_EQ(LanguageStore().StoredId(), 2052);

    wnd->OnLanguageChosen(kEnglish);
    const Shown back = Now(key);
    ExpectIn(back, en, "English again");
    EXPECT_EQ(back.keyText, english.keyText);
    EXPECT_EQ(back.keyTip, english.keyTip);
    EXPECT_EQ(version->GetText(), en.value("software_rev_text") + ProgramVersion());
    EXPECT_EQ(QApplication::font().families().value(0), "Verdana Unicode MS");
    EXPECT_EQ(LanguageStore().StoredId(), 1033);
}

TEST_F(MainWindowLanguage, TheNextStartShowsTheLanguageChosenLast) {
    wnd->OnLanguageChosen(kChinese);
    // The program ends and starts again.
    sim_.reset();
    wnd = nullptr;
    ui::ApplyLanguage(QStringLiteral("lan_en.xml"));
    MainWindowOnSim next;
    ASSERT_NE(next.window, nullptr);
    EXPECT_EQ(next.window->LanguageIndex(), kChinese);
    EXPECT_EQ(ui::Tr("caption_close"), rerov::test::SkinTexts("lan_cn.xml").value("caption_close"));
    auto* close = next.window->FindControl("closebtn");
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->toolTip(), rerov::test::SkinTexts("lan_cn.xml").value("caption_close"));
    next.window->ApplyLanguage(kEnglish);
}

}  // namespace
}  // namespace rerov::shell::test
