// The mode layouts of the lighting editor, one table per family: which groups each mode
// enables, shows or hides, and the direction texts.

#include "editors/lighting/light_mode_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace rerov::lighting {
namespace {

// One expected row: the six group cells as a string "7C Col Pal FX Br Sp" of 0/1, and
// the further changes.
struct Expect {
    int mode;
    const char* groups;  // e.g. "111011"
    bool same = false;   // "deng_same_mode" shown when allowed
    bool lightColourOff = false;
    bool speedHidden = false;
    bool secondaryShown = false;
    bool customShown = false;
    bool rgbOff = false;
    bool audio = false;
    const char* left = nullptr;  // direction texts, null: the start state's
};

std::string Groups(const ModeLayout& l) {
    std::string s;
    for (bool b : {l.sevenColourEnabled, l.colourEnabled, l.paletteEnabled, l.directionEnabled,
                   l.brightnessEnabled, l.speedEnabled}) {
        s += b ? '1' : '0';
    }
    return s;
}

void Check(int kind, const Expect& e, const char* startLeft) {
    SCOPED_TRACE("kind " + std::to_string(kind) + " mode " + std::to_string(e.mode));
    const std::optional<ModeLayout> allowed = ResolveModeLayout(kind, e.mode, true);
    const std::optional<ModeLayout> alone = ResolveModeLayout(kind, e.mode, false);
    ASSERT_TRUE(allowed && alone);
    EXPECT_TRUE(allowed->effectEnabled);
    EXPECT_EQ(Groups(*allowed), e.groups);
    EXPECT_EQ(allowed->sameModeVisible, e.same);
    EXPECT_FALSE(alone->sameModeVisible) << "one device connected: never shown";
    if (kind == kKindKeyboard) {
        EXPECT_EQ(allowed->lightColourEnabled, std::optional<bool>(!e.lightColourOff));
        EXPECT_EQ(allowed->speedVisible, std::optional<bool>(!e.speedHidden));
        EXPECT_EQ(allowed->secondaryModeVisible, std::optional<bool>(e.secondaryShown));
        EXPECT_EQ(allowed->customVisible, std::optional<bool>(e.customShown));
        EXPECT_EQ(allowed->rgbEnabled, std::optional<bool>(!e.rgbOff));
    }
    if (kind == kKindKeyboard || kind == kKindMouse) {
        EXPECT_EQ(allowed->audioModeVisible, std::optional<bool>(e.audio));
        EXPECT_EQ(allowed->colourPage, std::optional<int>(e.audio ? 1 : 0));
        EXPECT_EQ(allowed->speedVisible, std::optional<bool>(!e.speedHidden));
        ASSERT_NE(allowed->direction.left, nullptr);
        EXPECT_STREQ(allowed->direction.left, e.left != nullptr ? e.left : startLeft);
    } else {
        // The other families' start state names none of these: the layout's stay.
        EXPECT_FALSE(allowed->speedVisible || allowed->customVisible ||
                     allowed->secondaryModeVisible || allowed->audioModeVisible ||
                     allowed->colourPage || allowed->rgbEnabled || allowed->lightColourEnabled);
        EXPECT_EQ(allowed->direction.left, nullptr);
    }
}

TEST(LightModeLayout, Keyboard) {
    const char* rl = "light_set_right_to_left_text";
    const Expect rows[] = {
        {0, "000000"},
        {1, "111111"},
        {2, "111111"},
        {3, "111111", false, false, false, false, false, false, false, "light_set_clockwise_text"},
        {4, "000011", true, true},
        {5, "111011", true},
        {6, "111010", true},
        {7, "111011"},
        {10, "111011"},
        {11, "000011", false, true},
        {12, "000111", false, false, false, false, false, false, false,
         "light_set_down_to_up_text"},
        {13, "111011"},
        {15, "111011"},
        {16, "111010"},
        {17, "000011", false, true, true, true},
        {18, "000110", false, true, false, false, false, false, false,
         "light_set_outside_to_inside_text"},
        {19, "010010", false, false, true, false, true, true},
        {20, "000000", true},
        {21, "111111", false, false, false, false, false, false, false,
         "light_set_up_to_down_text"},
        {22, "111011"},
        {23, "111011", true},
        {24, "111111", false, false, false, false, false, false, false, "light_set_clockwise_text"},
        {25, "111011"},
        {26, "000011", false, true},
        {27, "000011"},
        {28, "000000"},
        {29, "111110", false, false, true, false, false, false, true},
        {30, "000010", false, true},
        {31, "000000"},
        {255, "000000"},
        {-1, "000000"},
    };
    for (const Expect& row : rows) Check(kKindKeyboard, row, rl);
}

TEST(LightModeLayout, Mouse) {
    const char* du = "light_set_down_to_up_text";
    const Expect rows[] = {
        {0, "111111"},  {1, "000011"},
        {2, "111011"},  {3, "011010"},
        {4, "111011"},  {5, "111111"},
        {6, "111011"},  {7, "000011"},
        {8, "000011"},  {9, "000000"},
        {10, "000000"}, {11, "111110", false, false, true, false, false, false, true},
        {12, "000000"},
    };
    for (const Expect& row : rows) Check(kKindMouse, row, du);
}

TEST(LightModeLayout, MousePadAndHeadset) {
    const Expect rows[] = {
        {0, "111111"},       {1, "000011", true}, {2, "111011", true}, {3, "011010", true},
        {4, "111011", true}, {5, "000000"},       {6, "000000"},       {7, "000000"},
        {8, "000000", true}, {9, "000000"},
    };
    for (int kind : {kKindMousePad, kKindHeadsetAlike, kKindHeadset}) {
        for (const Expect& row : rows) Check(kind, row, nullptr);
    }
}

TEST(LightModeLayout, OtherKindsLeaveTheControlsAlone) {
    for (int kind : {0, 5, 6, 8, 9, -1}) {
        EXPECT_FALSE(ResolveModeLayout(kind, 1, true)) << kind;
    }
}

}  // namespace
}  // namespace rerov::lighting
