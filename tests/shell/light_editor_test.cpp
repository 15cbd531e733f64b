// The lighting editor on the keyboard page of the main window: what it shows of a record,
// and each user change becoming one field change that the page stores and saves.

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QtTest/QTest>

#include "controls/color_palette.h"
#include "controls/notify_bridge.h"
#include "controls/option_ui.h"
#include "profiles/keyboard_profile_data.h"
#include "tests/shell/page_editors_fixture.h"

namespace rerov::shell {
namespace {

using lighting::Channel;

class LightEditor : public test::PageEditorsTest {
  protected:
    QWidget* Control(const char* name) const { return editor->Control(QLatin1String(name)); }

    // Types `text` into an edit and leaves it, as a person does.
    void TypeAndLeave(const char* name, const QString& text) {
        auto* edit = qobject_cast<QLineEdit*>(Control(name));
        ASSERT_NE(edit, nullptr) << name;
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text.isEmpty() ? QString() : text);
        if (text.isEmpty()) QTest::keyClick(edit, Qt::Key_Backspace);
        edit->clearFocus();
    }

    void Click(const char* name) {
        QWidget* control = Control(name);
        ASSERT_NE(control, nullptr) << name;
        QTest::mouseClick(control, Qt::LeftButton, {}, control->rect().center());
    }

    void SelectMode(int index) {
        auto* combo = qobject_cast<QComboBox*>(Control("light_combo_modeSelect"));
        ASSERT_NE(combo, nullptr);
        combo->setCurrentIndex(index);  // as the user's pick, it notifies
    }

    bool Shown(const char* name) const {
        QWidget* control = Control(name);
        return control != nullptr && !control->isHidden();
    }
};

TEST_F(LightEditor, ShowsARecordAndFindsItsSwatch) {
    LightSetting setting;
    setting.bytes[LightSetting::kMode] = 6;
    setting.bytes[LightSetting::kBrightness] = 3;
    setting.bytes[LightSetting::kSpeed] = 2;
    setting.bytes[LightSetting::kDirection] = 1;
    setting.bytes[LightSetting::kRed] = 255;
    setting.bytes[LightSetting::kGreen] = 0;
    setting.bytes[LightSetting::kBlue] = 128;
    editor->ShowLightSetting(setting);
    EXPECT_EQ(editor->SelectedMode(), 6);
    EXPECT_EQ(editor->Brightness(), 3);
    EXPECT_EQ(editor->Speed(), 2);
    EXPECT_EQ(editor->Direction(), 1);
    EXPECT_EQ(editor->EditText(Channel::Red), "255");
    EXPECT_EQ(editor->EditText(Channel::Green), "0");
    EXPECT_EQ(editor->EditText(Channel::Blue), "128");
    EXPECT_EQ(editor->PaletteColor(), 0xFFFF0080u);
    EXPECT_FALSE(editor->SevenColour());
    // Swatch 11 of the layout is this rose; a colour no swatch has gives 0, as swatch 0.
    EXPECT_EQ(editor->SwatchColor(11), 0xFFFF0080u);
    EXPECT_EQ(editor->FindColorOption(255, 0, 128), 11);
    EXPECT_EQ(editor->FindColorOption(1, 2, 3), 0);
    EXPECT_EQ(editor->FindColorOption(255, 0, 0), 0) << "swatch 0 is red";
    EXPECT_EQ(editor->SwatchColor(13), 0u) << "no such swatch";
}

TEST_F(LightEditor, ColourEditsAreClampedWrittenBackAndSaved) {
    struct Case {
        const char* edit;
        const char* typed;
        const char* shown;
        const char* key;
        int stored;
    };
    const Case cases[] = {
        {"deng_edit_G", "300", "255", "Green", 255}, {"deng_edit_G", "", "0", "Green", 0},
        {"deng_edit_R", "17", "17", "Red", 17},      {"deng_edit_B", "256", "255", "Blue", 255},
        {"deng_edit_B", "007", "7", "Blue", 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.edit) + " <- '" + c.typed + "'");
        TypeAndLeave(c.edit, QLatin1String(c.typed));
        EXPECT_EQ(qobject_cast<QLineEdit*>(Control(c.edit))->text(), c.shown);
        EXPECT_EQ(StoredLight(c.key), c.stored);
        EXPECT_EQ(StoredLight("MultiColor"), 0) << "a single colour ends the cycling";
        EXPECT_FALSE(editor->SevenColour());
        const auto& b = page->Editors()->Lighting().bytes;
        EXPECT_EQ(editor->PaletteColor(), lighting::Argb(b[5], b[6], b[7])) << "palette follows";
    }
    // Text that is no number changes nothing and shows the stored value again.
    const int before = StoredLight("Red");
    TypeAndLeave("deng_edit_R", QStringLiteral("1x"));
    EXPECT_EQ(StoredLight("Red"), before);
    EXPECT_EQ(editor->EditText(Channel::Red), QString::number(before));
}

// The key and macro editors save their own sections of the same profile file: a lighting
// change made afterwards must keep them, not write back the copy the page read earlier.
TEST_F(LightEditor, ALightingChangeKeepsWhatAnotherEditorSavedMeanwhile) {
    const std::filesystem::path path = page->Editors()->ProfilePath();
    ASSERT_FALSE(path.empty());
    CKeyboardProfiledata other;
    other.SetProfilePath(path);
    other.LoadProfile(path);
    std::vector<KeyEntry> keys = other.ReadKeyList();
    ASSERT_FALSE(keys.empty());
    keys[0].current.type = 2;
    keys[0].current.value = 0x02;
    keys[0].current.code = 0x04;
    other.WriteKeyList(keys);
    ASSERT_TRUE(other.Save());

    TypeAndLeave("deng_edit_R", QStringLiteral("17"));
    ASSERT_EQ(StoredLight("Red"), 17);
    CKeyboardProfiledata after;
    after.SetProfilePath(path);
    after.LoadProfile(path);
    const std::vector<KeyEntry> stored = after.ReadKeyList();
    ASSERT_FALSE(stored.empty());
    EXPECT_EQ(stored[0].current.Packed(), keys[0].current.Packed());
}

TEST_F(LightEditor, SwatchAndPaletteSetTheColourInStep) {
    Click("color_option_4");  // green
    EXPECT_EQ(StoredLight("Red"), 0);
    EXPECT_EQ(StoredLight("Green"), 255);
    EXPECT_EQ(StoredLight("Blue"), 0);
    EXPECT_EQ(editor->EditText(Channel::Green), "255");
    EXPECT_EQ(editor->PaletteColor(), 0xFF00FF00u);
    EXPECT_EQ(editor->FindColorOption(0, 255, 0), 4);

    // A pick in the palette: its colour reaches the record, the edits and the swatch search.
    auto* palette = qobject_cast<ui::CColorPaletteUI*>(Control("deng_Color_Pallet"));
    ASSERT_NE(palette, nullptr);
    QTest::mouseClick(palette, Qt::LeftButton, {}, QPoint(1, 1));  // top left: about red
    const quint32 picked = palette->GetSelectColor();
    EXPECT_NE(picked, 0xFF00FF00u);
    EXPECT_EQ(StoredLight("Red"), int((picked >> 16) & 0xFF));
    EXPECT_EQ(StoredLight("Green"), int((picked >> 8) & 0xFF));
    EXPECT_EQ(StoredLight("Blue"), int(picked & 0xFF));
    EXPECT_GT(StoredLight("Red"), 240);
    EXPECT_EQ(editor->EditText(Channel::Red), QString::number(StoredLight("Red")));
    EXPECT_EQ(editor->PaletteColor(), picked);
    EXPECT_EQ(qobject_cast<ui::CControlUI*>(Control("deng_colordp_btn"))->GetBkColor(), picked)
        << "the colour button follows";
}

TEST_F(LightEditor, ModesLayTheEditorOut) {
    SelectMode(17);
    EXPECT_EQ(StoredLight("SelectItem"), 17);
    EXPECT_FALSE(Shown("deng_speed_layout")) << "mode 17 hides the speed group";
    EXPECT_TRUE(Shown("light_combo_ZZCCmodeSelectLayout"));
    EXPECT_FALSE(Control("light_color_layout")->isEnabled());

    SelectMode(29);
    EXPECT_EQ(StoredLight("SelectItem"), 29);
    auto* tabs = qobject_cast<ui::CTabLayoutUI*>(Control("light_color_tablayout"));
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->GetCurSel(), 1) << "mode 29 edits the audio colours";
    EXPECT_TRUE(Shown("light_combo_AudiomodeSelectLayout"));
    EXPECT_FALSE(Shown("light_combo_ZZCCmodeSelectLayout"));

    SelectMode(5);
    EXPECT_EQ(tabs->GetCurSel(), 0);
    EXPECT_TRUE(Shown("deng_speed_layout"));
    EXPECT_FALSE(Control("deng_fx_layout")->isEnabled());
}

TEST_F(LightEditor, OneDeviceNeverOffersTheSameEffectForAll) {
    auto* combo = qobject_cast<QComboBox*>(Control("light_combo_modeSelect"));
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->count(), 31) << "the keyboard's modes from the factory file";
    for (int mode = 0; mode < combo->count(); ++mode) {
        editor->ApplyModeLayout(1, mode);
        EXPECT_FALSE(Shown("deng_same_mode")) << mode;
    }
    editor->SetSameModeAllowed(true);
    editor->ApplyModeLayout(1, 4);
    EXPECT_TRUE(Shown("deng_same_mode")) << "two devices: mode 4 offers it";
    editor->SetSameModeAllowed(false);
    EXPECT_FALSE(Shown("deng_same_mode"));
}

TEST_F(LightEditor, SlidersDirectionAndCyclingAreFieldChanges) {
    SelectMode(1);
    auto* brightness = qobject_cast<QAbstractSlider*>(Control("deng_light_slider"));
    ASSERT_NE(brightness, nullptr);
    EXPECT_EQ(brightness->maximum(), 4);
    brightness->setValue(2);
    EXPECT_EQ(StoredLight("Light"), 2);
    Click("deng_FXL_check");
    EXPECT_EQ(StoredLight("Fx"), 1);
    Click("deng_FXR_check");
    EXPECT_EQ(StoredLight("Fx"), 0);
    Click("deng_7color_check");
    EXPECT_EQ(StoredLight("MultiColor"), editor->SevenColour() ? 1 : 0);
}

TEST_F(LightEditor, TheAudioSettingRoundTrips) {
    AudioLightSetting shown;
    shown.bytes = {2, 10, 20, 30, 200, 150, 100, 1, 1};
    editor->ShowAudioLightSetting(shown);
    EXPECT_EQ(editor->AudioEditText(Channel::Red), "200") << "the foreground is edited";
    EXPECT_EQ(editor->AudioPaletteColor(), lighting::Argb(200, 150, 100));
    EXPECT_EQ(editor->ReadAudioLightSetting(false), shown);

    // The user picks the background: the flag turns and the button's colour is taken in.
    auto* background = qobject_cast<QAbstractButton*>(Control("audio_BkColor_check"));
    ASSERT_NE(background, nullptr);
    ui::SetCheckedSilently(background, true);
    const AudioLightSetting read = editor->ReadAudioLightSetting(true);
    EXPECT_EQ(read.bytes[AudioLightSetting::kColourType], 0);
    EXPECT_EQ(read.bytes[1], 200);
    EXPECT_EQ(read.bytes[2], 150);
    EXPECT_EQ(read.bytes[3], 100);

    // Mode 3 paints its own colours: the colour groups rest.
    AudioLightSetting own = shown;
    own.bytes[AudioLightSetting::kMode] = 3;
    editor->ShowAudioLightSetting(own);
    EXPECT_FALSE(Control("light_audiocolor_layout")->isEnabled());
    editor->ShowAudioLightSetting(shown);
    EXPECT_TRUE(Control("light_audiocolor_layout")->isEnabled());
}

TEST_F(LightEditor, AudioEditsChangeTheEditedColourAndAreSaved) {
    SelectMode(29);
    AudioLightSetting setting;
    setting.bytes = {0, 0, 0, 0, 10, 20, 30, 1, 1};
    page->Editors()->StoreAudioLighting(setting);
    TypeAndLeave("deng_audioedit_G", QStringLiteral("999"));
    const AudioLightSetting stored = page->Editors()->AudioLighting();
    EXPECT_EQ(stored.bytes[5], 255) << "the foreground's green, clamped";
    EXPECT_EQ(stored.bytes[AudioLightSetting::kSevenColour], 0) << "a new foreground";
    const Json::Value root = JsonFileIO::ReadJsonFile(page->Editors()->ProfilePath());
    EXPECT_EQ(root["Device"][0]["AudioLightInfo"]["FgColorG"].asInt(), 255);
    Click("Close_bkColor_btn");
    EXPECT_EQ(page->Editors()->AudioLighting().bytes[1], 0);
}

TEST_F(LightEditor, OnlyAForegroundThatChangesEndsTheSevenColours) {
    SelectMode(29);
    const quint32 swatch = editor->AudioSwatchColor(0);
    const auto r = uint8_t((swatch >> 16) & 0xFF);
    const auto g = uint8_t((swatch >> 8) & 0xFF);
    const auto b = uint8_t(swatch & 0xFF);
    AudioLightSetting setting;
    setting.bytes = {0, 0, 0, 0, r, g, b, 1, 1};  // foreground edited, seven colours on
    page->Editors()->StoreAudioLighting(setting);
    editor->ShowAudioLightSetting(setting);
    const auto sevenColours = [this] {
        return page->Editors()->AudioLighting().bytes[AudioLightSetting::kSevenColour];
    };

    Click("audiocolor_option_0");  // the colour it has already
    EXPECT_EQ(sevenColours(), 1);
    TypeAndLeave("deng_audioedit_R", QString::number(r));
    EXPECT_EQ(sevenColours(), 1);
    Click("audiocolor_option_1");
    EXPECT_EQ(sevenColours(), 0);
    EXPECT_EQ(page->Editors()->AudioLighting().bytes[4],
              uint8_t((editor->AudioSwatchColor(1) >> 16) & 0xFF));
}

TEST(LightChannelText, ParsesAsTheEditsNeed) {
    struct Case {
        const char* text;
        bool ok;
        int value;
    };
    const Case cases[] = {{"", true, 0},
                          {"0", true, 0},
                          {"255", true, 255},
                          {"256", true, 255},
                          {"99999999999", true, 255},
                          {" 12 ", true, 12},
                          {"-1", false, 0},
                          {"1.5", false, 0},
                          {"abc", false, 0},
                          {"0x10", false, 0}};
    for (const Case& c : cases) {
        int value = -7;
        EXPECT_EQ(lighting::ParseChannelText(QLatin1String(c.text), &value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

}  // namespace
}  // namespace rerov::shell
