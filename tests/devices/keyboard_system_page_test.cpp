// The keyboard page's system tab and the keyboard's texts: the tab shows the object's six
// settings in its controls (an out-of-range choice shows the first), reads back what the
// user chose, and the object's texts come from the program's language on any thread.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QLabel>
#include <QTemporaryDir>
#include <QTextEdit>
#include <optional>
#include <string>
#include <thread>

#include "controls/control_lookup.h"
#include "controls/language_texts.h"
#include "devices/pages/keyboard_page.h"
#include "devices/pages/keyboard_system_panel.h"
#include "tests/devices/family_page_support.h"
#include "tests/support/scoped_environment.h"

namespace rerov {
namespace {

class DevicePageKeyboardSystem : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(data_.isValid());
        // The window loads its language before it builds any page.
        ASSERT_TRUE(ui::LanguageTexts::Instance().Load(QStringLiteral("lan_en.xml")));
        dataHome_.emplace("XDG_DATA_HOME", data_.path().toLocal8Bit());
        page_ = testing::BuildFamilyPage(kFamilyKeyboard);
        panel_ = KeyboardSystemPanel::Of(*page_);
        ASSERT_NE(panel_, nullptr);
        keyboard_ = KeyboardOf(*page_);
        ASSERT_NE(keyboard_, nullptr);
    }
    template <typename T = QWidget>
    T* Control(const QString& name) const {
        auto* widget = qobject_cast<T*>(ui::FindSubControlByName(page_.get(), name));
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    bool Checked(const QString& name) const {
        auto* button = Control<QAbstractButton>(name);
        return button != nullptr && button->isChecked();
    }
    // The object holds `values` and the page is told to show its settings.
    void ShowObjectSettings(const KeyboardSystemValues& values) {
        const KeyboardSystemSettings packed = values.Packed();
        keyboard_->SetSystemSettings(packed.words[0], packed.words[1], packed.words[2]);
        page_->ShowSettings();
    }

    QTemporaryDir data_;
    std::optional<test::ScopedEnvironment> dataHome_;
    std::unique_ptr<CDevicePageUI> page_;
    KeyboardSystemPanel* panel_ = nullptr;
    CZidiraKeyboardDevice* keyboard_ = nullptr;
};

TEST_F(DevicePageKeyboardSystem, TheTabShowsTheObjectsSettings) {
    struct Case {
        KeyboardSystemValues values;
        int pollingOption;
        int delayOption;
        const char* delayMs;
    };
    const Case cases[] = {
        {{.repeat = 20,
          .repeatDelay = 3,
          .key6Flag = 1,
          .pollingRate = 2,
          .wFlag = 0,
          .winFlag = 1},
         2,
         3,
         "1000ms"},
        {{.repeat = 0, .repeatDelay = 0, .key6Flag = 0, .pollingRate = 3, .wFlag = 1, .winFlag = 0},
         3,
         0,
         "250ms"},
        // Values the tab has no option for show the first option.
        {{.repeat = 31,
          .repeatDelay = 9,
          .key6Flag = 0,
          .pollingRate = 7,
          .wFlag = 0,
          .winFlag = 0},
         0,
         0,
         "250ms"},
    };
    for (const Case& c : cases) {
        ShowObjectSettings(c.values);
        for (int n = 0; n < kSystemChoiceCount; ++n) {
            EXPECT_EQ(Checked(QStringLiteral("polling_rate_option_%1").arg(n)),
                      n == c.pollingOption)
                << "polling " << c.values.pollingRate << " option " << n;
            EXPECT_EQ(Checked(QStringLiteral("repeat_delay_check_%1").arg(n)), n == c.delayOption)
                << "delay " << c.values.repeatDelay << " option " << n;
        }
        EXPECT_EQ(Checked(QStringLiteral("winlockflag_option")), c.values.winFlag != 0);
        EXPECT_EQ(Checked(QStringLiteral("wflag_option")), c.values.wFlag != 0);
        EXPECT_EQ(Checked(QStringLiteral("6flag_option")), c.values.key6Flag != 0);
        EXPECT_EQ(Control<QAbstractSlider>(QStringLiteral("repeat_rate_slider"))->value(),
                  c.values.repeat);
        const QString label = Control<QLabel>(QStringLiteral("repeat_delay_time_label1"))->text();
        EXPECT_EQ(label,
                  ui::Tr(QStringLiteral("Repeat_Delay_Time")) + u' ' + QLatin1String(c.delayMs));
    }
}

TEST_F(DevicePageKeyboardSystem, ShowingSettingsEmptiesTheTestFieldAndGivesItsTip) {
    auto* field = Control<QTextEdit>(QStringLiteral("repeat_input_richedit"));
    field->setPlainText(QStringLiteral("aaaaaaa"));
    ShowObjectSettings({});
    EXPECT_TRUE(field->toPlainText().isEmpty());
    EXPECT_EQ(field->toolTip(), ui::Tr(QStringLiteral("Repeat_input_text")));
    EXPECT_NE(field->toolTip(), QStringLiteral("Repeat_input_text")) << "the language has it";
}

TEST_F(DevicePageKeyboardSystem, WhatTheUserChoseIsReadBack) {
    ShowObjectSettings({});
    Control<QAbstractButton>(QStringLiteral("polling_rate_option_1"))->click();
    Control<QAbstractButton>(QStringLiteral("repeat_delay_check_2"))->click();
    Control<QAbstractButton>(QStringLiteral("6flag_option"))->click();
    Control<QAbstractSlider>(QStringLiteral("repeat_rate_slider"))->setValue(9);
    const KeyboardSystemValues read = panel_->Read();
    const KeyboardSystemValues expected{
        .repeat = 9, .repeatDelay = 2, .key6Flag = 1, .pollingRate = 1, .wFlag = 0, .winFlag = 0};
    EXPECT_EQ(read, expected);
    // The words keep the order the profile and the object use: first value in the low half.
    EXPECT_EQ(read.Packed().words[0], 9u | (2u << 16));
    EXPECT_EQ(read.Packed().words[1], 1u | (1u << 16));
    EXPECT_EQ(KeyboardSystemValues::From(read.Packed()), read);
}

TEST_F(DevicePageKeyboardSystem, TextsComeFromTheLanguageOnEveryThread) {
    const auto lookup = MakeLanguageLookup(*page_);
    const std::string expected = ui::Tr(QStringLiteral("Key_Set")).toStdString();
    ASSERT_NE(expected, "Key_Set") << "the language has the text";
    EXPECT_EQ(lookup("Key_Set"), expected);
    std::string fromThread;
    std::thread reader([&] { fromThread = lookup("Key_Set"); });
    reader.join();
    EXPECT_EQ(fromThread, expected);
    std::string unknown;
    std::thread other([&] { unknown = lookup("no_such_text_key"); });
    other.join();
    EXPECT_EQ(unknown, "no_such_text_key");
}

}  // namespace
}  // namespace rerov
