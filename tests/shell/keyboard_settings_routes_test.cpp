// The keyboard's settings in the main window: a change on the system tab reaches the
// keyboard object and the profile file (read again first, so the lighting saved meanwhile
// stays), the repeat test field empties on its button, and a refused download is named as
// such while the other reports keep their texts.

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QLabel>
#include <QTextEdit>
#include <QtTest/QTest>

#include "controls/control_lookup.h"
#include "controls/language_texts.h"
#include "devices/pages/keyboard_page.h"
#include "devices/pages/keyboard_system_panel.h"
#include "profiles/json_file_io.h"
#include "shell/routes/download_report.h"
#include "tests/shell/page_editors_fixture.h"

namespace rerov::shell {
namespace {

class KeyboardSettingsRoutes : public test::PageEditorsTest {
  protected:
    void SetUp() override {
        test::PageEditorsTest::SetUp();
        if (HasFatalFailure()) return;
        keyboard = KeyboardOf(*page);
        ASSERT_NE(keyboard, nullptr);
        // The system tab is the page's fourth function tab.
        ASSERT_TRUE(page->SelectTab(kFunctionSwitchName, 3));
        QCoreApplication::processEvents();
    }
    template <typename T = QWidget>
    T* Find(const char* name) const {
        auto* widget = qobject_cast<T*>(ui::FindSubControlByName(page, QLatin1String(name)));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void Click(const char* name) {
        QWidget* control = Find(name);
        ASSERT_NE(control, nullptr) << name;
        QTest::mouseClick(control, Qt::LeftButton, {}, control->rect().center());
    }
    int StoredSystem(const char* key) const {
        const Json::Value root = JsonFileIO::ReadJsonFile(page->Editors()->ProfilePath());
        const Json::Value& value = root["Device"][0]["SystemStages"][key];
        return value.isInt() ? value.asInt() : -1;
    }

    CZidiraKeyboardDevice* keyboard = nullptr;
};

TEST_F(KeyboardSettingsRoutes, AChangeOnTheSystemTabReachesTheObjectAndTheProfile) {
    // The lighting editor saved its part of the file since the page read it.
    ASSERT_TRUE(page->Editors()->StoreLighting([&] {
        LightSetting light = page->Editors()->Lighting();
        light.bytes[LightSetting::kBrightness] = 2;
        return light;
    }()));

    Click("polling_rate_option_2");
    Click("winlockflag_option");
    Click("repeat_delay_check_3");
    Find<QAbstractSlider>("repeat_rate_slider")->setValue(7);

    const KeyboardSystemValues held = KeyboardSystemValues::From(keyboard->SystemSettings());
    EXPECT_EQ(held.pollingRate, 2);
    EXPECT_EQ(held.winFlag, 1);
    EXPECT_EQ(held.repeatDelay, 3);
    EXPECT_EQ(held.repeat, 7);
    EXPECT_EQ(StoredSystem("PollingRate"), 2);
    EXPECT_EQ(StoredSystem("WinFlag"), 1);
    EXPECT_EQ(StoredSystem("RepeatDelay"), 3);
    EXPECT_EQ(StoredSystem("Repeat"), 7);
    EXPECT_EQ(StoredLight("Light"), 2) << "the lighting saved meanwhile stays";
    EXPECT_EQ(Find<QLabel>("repeat_delay_time_label1")->text(),
              ui::Tr(QStringLiteral("Repeat_Delay_Time")) + QStringLiteral(" 1000ms"));

    // Unticking a switch is a change too.
    Click("winlockflag_option");
    EXPECT_EQ(KeyboardSystemValues::From(keyboard->SystemSettings()).winFlag, 0);
    EXPECT_EQ(StoredSystem("WinFlag"), 0);
}

TEST_F(KeyboardSettingsRoutes, TheRepeatTestFieldEmptiesOnItsButton) {
    auto* field = Find<QTextEdit>("repeat_input_richedit");
    ASSERT_NE(field, nullptr);
    field->setPlainText(QStringLiteral("jjjjjjjj"));
    Click("reset_repeat_btn");
    EXPECT_TRUE(field->toPlainText().isEmpty());
}

TEST_F(KeyboardSettingsRoutes, ARefusedDownloadIsNamedAndOtherReportsKeepTheirTexts) {
    struct Case {
        DownloadReport report;
        QString text;  // empty: no message box
    };
    const QString refused = ui::Tr(QLatin1String(kDownloadRefusedKey));
    ASSERT_NE(refused, QLatin1String(kDownloadRefusedKey)) << "the language has the text";
    const Case cases[] = {
        {{0, -1}, refused},
        {{0, -7}, refused},
        {{-1, 1}, ui::Tr(QStringLiteral("message_text_7"))},
        {{12, 1}, ui::Tr(QStringLiteral("message_text_16")).replace(QStringLiteral("%d"), "12")},
    };
    for (const Case& c : cases) {
        QString text;
        bool answered = false;
        test::AnswerNextModal(QStringLiteral("confirm_btn"), &text, &answered);
        ShowKeyboardDownloadReport(wnd, c.report, wnd->Dpi());
        EXPECT_TRUE(answered) << c.report.report << " " << c.report.link;
        EXPECT_EQ(text, c.text) << c.report.report << " " << c.report.link;
    }
    // Nothing to report: no box at all (the box would block here).
    ShowKeyboardDownloadReport(wnd, DownloadReport{0, 1}, wnd->Dpi());
    ShowKeyboardDownloadReport(wnd, DownloadReport{0, 0}, wnd->Dpi());
}

}  // namespace
}  // namespace rerov::shell
