// The keyboard page's structure: the picture area that scales, the function switches the
// page looks up by name, the places of the profile bar and the editors, and the tabs that
// SelectFunctionTab chooses on the real layout.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <algorithm>
#include <memory>

#include "controls/content_scale.h"
#include "controls/device_key_button.h"
#include "controls/device_picture.h"
#include "controls/option_ui.h"
#include "controls/select_panel.h"
#include "devices/family_devices.h"
#include "devices/pages/device_page.h"
#include "tests/devices/family_page_support.h"

namespace rerov {
namespace {

using testing::BuildFamilyPage;
using testing::LayOut;

// The page area of the fitted main window at 96 DPI, and the smallest the page is designed for.
constexpr QSize kPageArea(1000, 519);
constexpr QSize kSmallestPageArea(800, 451);

// The editors' places: named, styled, empty until their editors arrive.
constexpr const char* kPlaces[] = {"device_profile_place", "lighting_editor_place",
                                   "key_editor_place", "macro_editor_place",
                                   "system_settings_place"};

// The controls of the system tab.
constexpr const char* kSystemControls[] = {"polling_rate_option_0",
                                           "polling_rate_option_1",
                                           "polling_rate_option_2",
                                           "polling_rate_option_3",
                                           "winlockflag_option",
                                           "wflag_option",
                                           "6flag_option",
                                           "repeat_rate_slider",
                                           "repeat_delay_check_0",
                                           "repeat_delay_check_1",
                                           "repeat_delay_check_2",
                                           "repeat_delay_check_3",
                                           "repeat_delay_time_label1",
                                           "repeat_input_richedit",
                                           "reset_repeat_btn"};

std::unique_ptr<CDevicePageUI> BuildKeyboardPage() { return BuildFamilyPage(kFamilyKeyboard); }

template <typename T = QWidget>
T* Find(const CDevicePageUI& page, const char* name) {
    return page.findChild<T*>(QLatin1String(name));
}

TEST(DevicePageKeyboard, HasItsSwitchesPictureAndPlaces) {
    std::unique_ptr<CDevicePageUI> page = BuildKeyboardPage();
    auto* functions = Find<ui::CTabLayoutUI>(*page, "device_function_switch");
    auto* keyFunctions = Find<ui::CTabLayoutUI>(*page, "device_key_function_switch");
    ASSERT_NE(functions, nullptr);
    ASSERT_NE(keyFunctions, nullptr);
    EXPECT_EQ(functions->Items().size(), 4) << "device, macro, pointer (none), system";
    EXPECT_EQ(keyFunctions->Items().size(), 2) << "lighting, keys";
    auto* picture = Find<ui::CDevicePictureUI>(*page, "keyboard_picture_area");
    ASSERT_NE(picture, nullptr);
    EXPECT_TRUE(picture->PictureError().isEmpty()) << picture->PictureError().toStdString();
    // The generated picture lives in the picture area and is the page's select panel.
    ASSERT_NE(page->SelectPanel(), nullptr);
    EXPECT_EQ(page->SelectPanel()->parentWidget(), picture);
    EXPECT_NE(page->KeyButton(64), nullptr);
    for (const char* name : kPlaces) {
        auto* place = Find<ui::CControlUI>(*page, name);
        ASSERT_NE(place, nullptr) << name;
        EXPECT_FALSE(place->GetBkImage().isEmpty()) << name << " is styled";
        EXPECT_NE(place->layout(), nullptr) << name << " lays out the editor it will get";
        // The profile bar and the editors are built into their places; the others wait for
        // theirs and hold no fake controls meanwhile.
        const QList<QWidget*> children = place->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        const std::string placeName = name;
        if (placeName == "device_profile_place" || placeName == "lighting_editor_place") {
            ASSERT_EQ(children.size(), 1) << name;
            EXPECT_EQ(children.constFirst()->objectName(), placeName == "device_profile_place"
                                                               ? "DeviceProfileItem"
                                                               : "LightControlItem");
        } else if (placeName == "key_editor_place" || placeName == "macro_editor_place") {
            ASSERT_EQ(children.size(), 1) << name;
            auto* editor = qobject_cast<ui::CControlUI*>(children.front());
            ASSERT_NE(editor, nullptr) << name;
            EXPECT_EQ(editor->GetClass(), placeName == "key_editor_place"
                                              ? QStringLiteral("KeySetControlUI")
                                              : QStringLiteral("MacroSetControlUI"));
        } else {
            // The system tab's controls, each named as the window's routes expect.
            ASSERT_EQ(children.size(), 1) << name;
            for (const char* control : kSystemControls) {
                EXPECT_NE(children.front()->findChild<QWidget*>(QLatin1String(control)), nullptr)
                    << control;
            }
        }
    }
}

TEST(DevicePageKeyboard, SelectFunctionTabShowsTheChosenEditor) {
    std::unique_ptr<CDevicePageUI> page = BuildKeyboardPage();
    struct Step {
        int kind;
        const char* shown;
    };
    // In order: each step starts where the one before left the switches.
    const Step steps[] = {
        {1, "lighting_editor_place"}, {2, "key_editor_place"},
        {3, "macro_editor_place"},    {4, "system_settings_place"},
        {1, "lighting_editor_place"}, {6, "key_editor_place"},
        {8, "macro_editor_place"},    {5, "device_function_unused"},
        {7, "key_editor_place"},  // a third key tab does not exist: keys stay
        {2, "key_editor_place"},      {99, "lighting_editor_place"},
    };
    const char* all[] = {"lighting_editor_place", "key_editor_place", "macro_editor_place",
                         "system_settings_place", "device_function_unused"};
    for (const Step& step : steps) {
        page->Device().SelectFunctionTab(step.kind);
        EXPECT_EQ(page->Device().FunctionTab(), step.kind);
        for (const char* name : all) {
            QWidget* place = Find(*page, name);
            ASSERT_NE(place, nullptr) << name;
            const bool expected = QLatin1String(name) == QLatin1String(step.shown);
            EXPECT_EQ(place->isVisibleTo(page.get()), expected)
                << "kind " << step.kind << ": " << name;
        }
    }
}

TEST(DevicePageKeyboard, FitsTheSmallestPageAreaAndThePictureUsesTheRoom) {
    for (const QSize area : {kSmallestPageArea, kPageArea, QSize(1600, 700)}) {
        SCOPED_TRACE(area.width());
        std::unique_ptr<CDevicePageUI> page = BuildKeyboardPage();
        const QSize needed = page->minimumSizeHint();
        EXPECT_LE(needed.width(), area.width());
        EXPECT_LE(needed.height(), area.height());
        LayOut(*page, area);
        auto* picture = Find<ui::CDevicePictureUI>(*page, "keyboard_picture_area");
        const QRect panel = page->SelectPanel()->geometry();
        EXPECT_TRUE(picture->rect().contains(panel));
        // The keyboard fills its area's width or height, whichever limits it.
        EXPECT_TRUE(panel.width() >= picture->width() - 1 ||
                    panel.height() >= picture->height() - 1)
            << "panel " << panel.width() << "x" << panel.height() << " in " << picture->width()
            << "x" << picture->height();
        EXPECT_GT(picture->PictureScale(), 1.0) << "bigger than its design in every page area";
        // Editors have room below the picture.
        EXPECT_GE(Find(*page, "device_function_switch")->height(), 160);
    }
}

// At the smallest window (800 x 572, whose page area is kSmallestPageArea) every key of the
// picture stays wide enough to hit and read, whichever editor is shown below it, and the
// editor panel stays clear of the picture and inside the page.
TEST(DevicePageKeyboard, KeysStayWideEnoughAtTheSmallestWindow) {
    constexpr int kMinKeyWidth = 24;
    // Lighting, keys, macros and system settings: the editors that share the panel.
    for (const int kind : {1, 2, 3, 4}) {
        SCOPED_TRACE(kind);
        std::unique_ptr<CDevicePageUI> page = BuildKeyboardPage();
        page->Device().SelectFunctionTab(kind);
        LayOut(*page, kSmallestPageArea);
        const QList<ui::CDeviceKeyButtonUI*> keys =
            page->SelectPanel()->findChildren<ui::CDeviceKeyButtonUI*>();
        ASSERT_GT(keys.size(), 100);
        int narrowest = kSmallestPageArea.width();
        for (const ui::CDeviceKeyButtonUI* key : keys)
            narrowest = std::min(narrowest, key->width());
        EXPECT_GE(narrowest, kMinKeyWidth);
        QWidget* stage = Find(*page, "keyboard_picture_stage");
        QWidget* panel = Find(*page, "device_function_switch");
        ASSERT_NE(stage, nullptr);
        ASSERT_NE(panel, nullptr);
        EXPECT_FALSE(stage->geometry().intersects(panel->geometry()));
        EXPECT_TRUE(page->rect().contains(panel->geometry()))
            << "panel " << panel->geometry().bottom() << " in " << page->height();
    }
}

TEST(DevicePageKeyboard, ContentScaleGrowsThePictureAndKeysAlike) {
    std::unique_ptr<CDevicePageUI> design = BuildKeyboardPage();
    LayOut(*design, kPageArea);
    std::unique_ptr<CDevicePageUI> scaled = BuildKeyboardPage();
    ui::ScaleWidgetTree(scaled.get(), 1.5);
    LayOut(*scaled, kPageArea * 1.5);
    auto area = [](const CDevicePageUI& page) {
        return Find(page, "keyboard_picture_area")->size();
    };
    const QSize small = area(*design);
    const QSize large = area(*scaled);
    EXPECT_NEAR(large.width(), small.width() * 1.5, 2);
    EXPECT_NEAR(large.height(), small.height() * 1.5, 2);
    const QSize key = design->KeyButton(64)->size();
    const QSize bigKey = scaled->KeyButton(64)->size();
    EXPECT_NEAR(bigKey.width(), key.width() * 1.5, 1.5);
    EXPECT_NEAR(bigKey.height(), key.height() * 1.5, 1.5);
    EXPECT_NEAR(scaled->KeyButton(64)->GetFont().pixelSize(),
                design->KeyButton(64)->GetFont().pixelSize() * 1.5, 1);
    EXPECT_NEAR(Find(*scaled, "device_profile_place")->height(),
                Find(*design, "device_profile_place")->height() * 1.5, 1);
}

}  // namespace
}  // namespace rerov
