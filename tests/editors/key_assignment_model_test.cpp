// The key editor's rules without a window: assignments composed from the fields of each
// category, assignments shown again as fields, and keys captured from the hook.

#include "editors/assignment/key_assignment_model.h"

#include <gtest/gtest.h>

#include "editors/assignment/code_tables.h"

namespace rerov::editors {
namespace {

KeyAssignment Make(std::uint8_t type, std::uint8_t value, std::uint8_t code,
                   std::uint16_t index = 7, std::uint8_t reserved = 0x5A) {
    return {index, type, value, code, reserved};
}

// The factory function of the key in these tests: Esc.
const KeyAssignment kEsc = Make(0x20, 0, 0x29);

class KeyModelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        model.SetDeviceKind(2);
        model.SetMacroCount(3);
        model.SetGunKeyCount(2);
        model.SetKeyEntry(kEsc, kEsc);
    }
    KeyAssignment Compose() { return model.ComposeAssignment().current; }
    KeyAssignmentModel model;
};

TEST_F(KeyModelTest, ComposeKeepsIndexAndReservedInEveryCategory) {
    for (int category = 0; category < kCategoryCount; ++category) {
        model.SetKeyEntry(Make(0x20, 0, 0x04, 7, 0x5A), kEsc);
        model.ResetFields();
        model.Form().category = category;
        const KeyAssignment result = Compose();
        EXPECT_EQ(result.keyIndex, 7) << category;
        EXPECT_EQ(result.reserved, 0x5A) << category;
    }
}

struct ComposeCase {
    const char* what;
    void (*fill)(KeySetForm&);
    std::uint8_t type, value, code;
};

class ComposeTest : public KeyModelTest, public ::testing::WithParamInterface<ComposeCase> {};

TEST_P(ComposeTest, BuildsTheAssignment) {
    GetParam().fill(model.Form());
    const KeyAssignment result = Compose();
    EXPECT_EQ(result.type, GetParam().type) << GetParam().what;
    EXPECT_EQ(result.value, GetParam().value) << GetParam().what;
    EXPECT_EQ(result.code, GetParam().code) << GetParam().what;
    EXPECT_EQ(model.Entry().current, result) << "Compose stores what it returns";
}

INSTANTIATE_TEST_SUITE_P(
    Categories, ComposeTest,
    ::testing::Values(ComposeCase{"default", [](KeySetForm& f) { f.category = 0; }, 0x20, 0, 0x29},
                      ComposeCase{"unknown category is default",
                                  [](KeySetForm& f) { f.category = 12; }, 0x20, 0, 0x29},
                      ComposeCase{"right button",
                                  [](KeySetForm& f) {
                                      f.category = 1;
                                      f.mouseButton = 2;
                                  },
                                  0x10, 0x02, 0},
                      ComposeCase{"tilt right 3",
                                  [](KeySetForm& f) {
                                      f.category = 2;
                                      f.tiltDirection = 1;
                                      f.tiltCount = "3";
                                      f.tiltDelay = "2";
                                      f.tiltSpeed = "5";
                                  },
                                  0x11, 0x25, 0x83},
                      ComposeCase{"tilt left 3",
                                  [](KeySetForm& f) {
                                      f.category = 2;
                                      f.tiltDirection = 0;
                                      f.tiltCount = "3";
                                  },
                                  0x11, 0x00, 0x03},
                      ComposeCase{"scroll down 3",
                                  [](KeySetForm& f) {
                                      f.category = 3;
                                      f.wheelDirection = 1;
                                      f.wheelCount = "3";
                                  },
                                  0x12, 0x00, 0xFD},
                      ComposeCase{"scroll up 3, delay and speed keep four bits",
                                  [](KeySetForm& f) {
                                      f.category = 3;
                                      f.wheelDirection = 0;
                                      f.wheelCount = "3";
                                      f.wheelDelay = "17";
                                      f.wheelSpeed = "31";
                                  },
                                  0x12, 0x1F, 0x03},
                      ComposeCase{"wheel without direction keeps code",
                                  [](KeySetForm& f) {
                                      f.category = 3;
                                      f.wheelDirection = -1;
                                      f.wheelCount = "3";
                                  },
                                  0x12, 0x00, 0x29},
                      ComposeCase{"dpi cycle",
                                  [](KeySetForm& f) {
                                      f.category = 4;
                                      f.dpiAction = 2;
                                  },
                                  0x13, 3, 0},
                      ComposeCase{"fire low bytes, junk is 0",
                                  [](KeySetForm& f) {
                                      f.category = 5;
                                      f.fireInterval = "300";
                                      f.fireCount = "x2";
                                  },
                                  0x14, 300 & 0xFF, 0},
                      ComposeCase{"keyboard with Alt",
                                  [](KeySetForm& f) {
                                      f.category = 6;
                                      f.modifierOptions = {false, false, false, true, false};
                                      f.keyTextKey = "keyboard_key_Esc";
                                  },
                                  0x20, 0x04, 0x29},
                      ComposeCase{"keyboard with cleared text",
                                  [](KeySetForm& f) {
                                      f.category = 6;
                                      f.modifierOptions = {true, false, false, false, false};
                                  },
                                  0x20, 0, 0},
                      ComposeCase{"media calculator",
                                  [](KeySetForm& f) {
                                      f.category = 7;
                                      f.media = 16;
                                  },
                                  0x30, 0x92, 0x01},
                      ComposeCase{"system sleep",
                                  [](KeySetForm& f) {
                                      f.category = 8;
                                      f.system = 1;
                                  },
                                  0x40, 2, 0},
                      ComposeCase{"macro 2 run mode 3",
                                  [](KeySetForm& f) {
                                      f.category = 9;
                                      f.macro = 2;
                                      f.macroRunMode = 3;
                                  },
                                  0x70, 2, 3},
                      ComposeCase{"macro 1 repeated 260 times keeps the low byte",
                                  [](KeySetForm& f) {
                                      f.category = 9;
                                      f.macro = 1;
                                      f.macroRunMode = 4;
                                      f.macroRepeatCount = "260";
                                  },
                                  0x71, 1, 4},
                      ComposeCase{"no macro selected leaves current",
                                  [](KeySetForm& f) {
                                      f.category = 9;
                                      f.macro = -1;
                                  },
                                  0x20, 0, 0x29},
                      ComposeCase{"gun key 1",
                                  [](KeySetForm& f) {
                                      f.category = 10;
                                      f.gunKey = 1;
                                  },
                                  0x72, 1, 0},
                      ComposeCase{"shortcut paste",
                                  [](KeySetForm& f) {
                                      f.category = 11;
                                      f.shortcut = 6;
                                  },
                                  0x20, 0x10, 0x19},
                      ComposeCase{"list without selection leaves current",
                                  [](KeySetForm& f) {
                                      f.category = 7;
                                      f.media = -1;
                                  },
                                  0x20, 0, 0x29}));

struct ShowCase {
    const char* what;
    KeyAssignment shown;
    int category;
    bool (*check)(const KeySetForm&);
};

class ShowTest : public KeyModelTest, public ::testing::WithParamInterface<ShowCase> {};

TEST_P(ShowTest, ShowsTheCategoryAndFields) {
    model.SetKeyEntry(GetParam().shown, kEsc);
    EXPECT_TRUE(model.Form().bodyVisible) << GetParam().what;
    EXPECT_EQ(model.Form().category, GetParam().category) << GetParam().what;
    EXPECT_TRUE(GetParam().check(model.Form())) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Assignments, ShowTest,
    ::testing::Values(
        ShowCase{"equal to default is category 0 whatever the type", kEsc, 0,
                 [](const KeySetForm&) { return true; }},
        ShowCase{"scroll down 3", Make(0x12, 0x25, 0xFD), 3,
                 [](const KeySetForm& f) {
                     return f.wheelDirection == 1 && f.wheelCount == "3" && f.wheelDelay == "2" &&
                            f.wheelSpeed == "5";
                 }},
        ShowCase{"tilt right 3", Make(0x11, 0, 0x83), 2,
                 [](const KeySetForm& f) { return f.tiltDirection == 1 && f.tiltCount == "3"; }},
        ShowCase{"middle button", Make(0x10, 0x04, 0), 1,
                 [](const KeySetForm& f) { return f.mouseButton == 1; }},
        ShowCase{"shift + A", Make(0x20, 0x02, 0x04), 6,
                 [](const KeySetForm& f) {
                     return f.modifierOptions ==
                                std::array<bool, 5>{false, false, true, false, false} &&
                            f.keyTextKey == "keyboard_key_A";
                 }},
        ShowCase{"right Win folds to option 4", Make(0x20, 0x80, 0x2C), 6,
                 [](const KeySetForm& f) {
                     return f.modifierOptions[4] && f.keyTextKey == "keyboard_key_Space";
                 }},
        ShowCase{"plain key selects option 0", Make(0x20, 0, 0x04), 6,
                 [](const KeySetForm& f) {
                     return f.modifierOptions[0] && f.keyTextKey == "keyboard_key_A";
                 }},
        ShowCase{"right Ctrl modifier is a shortcut", Make(0x20, 0x10, 0x06), 11,
                 [](const KeySetForm& f) { return f.shortcut == 4; }},
        ShowCase{"media mute", Make(0x30, 0xE2, 0x00), 7,
                 [](const KeySetForm& f) { return f.media == 7; }},
        ShowCase{"macro repeated", Make(0x71, 2, 9), 9,
                 [](const KeySetForm& f) {
                     return f.macro == 2 && f.macroRunMode == 4 && f.macroRepeatVisible &&
                            f.macroRepeatCount == "9";
                 }},
        ShowCase{"macro past the list", Make(0x70, 5, 1), 9,
                 [](const KeySetForm& f) {
                     return f.macro == -1 && f.macroRunMode == -1 && !f.macroRepeatVisible;
                 }},
        ShowCase{"fire", Make(0x14, 50, 2), 5,
                 [](const KeySetForm& f) { return f.fireInterval == "50" && f.fireCount == "2"; }},
        ShowCase{"gun key", Make(0x72, 1, 0), 10,
                 [](const KeySetForm& f) { return f.gunKey == 1; }}));

TEST_F(KeyModelTest, ScrollDownRoundTripsThroughTheFields) {
    model.Form().category = kCategoryWheel;
    model.Form().wheelDirection = 1;
    model.Form().wheelCount = "3";
    const KeyAssignment stored = Compose();
    EXPECT_EQ(stored.code, 0xFD);
    model.Form() = KeySetForm{};
    model.ShowCurrent();
    EXPECT_EQ(model.Form().wheelDirection, 1);
    EXPECT_EQ(model.Form().wheelCount, "3");
    EXPECT_EQ(Compose(), stored);
}

TEST_F(KeyModelTest, KeyWithoutRowIsClearedToNothing) {
    model.SetKeyEntry(Make(0x20, 0, 0xEE), kEsc);
    EXPECT_EQ(model.Form().category, kCategoryKeyboard);
    EXPECT_TRUE(model.Form().keyTextKey.empty());
    EXPECT_EQ(model.SelectedModifierOption(), -1);
    EXPECT_EQ(model.Entry().current.value, 0);
    EXPECT_EQ(model.Entry().current.code, 0);
}

TEST_F(KeyModelTest, UnknownTypeHidesTheBody) {
    model.SetKeyEntry(Make(0x05, 1, 1), kEsc);
    EXPECT_FALSE(model.Form().bodyVisible);
}

TEST_F(KeyModelTest, KeyboardOffersNoDpiAndNoGunKey) {
    model.SetDeviceKind(kKindKeyboard);
    for (int category = 0; category < kCategoryCount; ++category) {
        EXPECT_EQ(model.IsCategoryOffered(category),
                  category != kCategoryDpi && category != kCategoryGunKey)
            << category;
    }
    model.SetKeyEntry(Make(0x13, 1, 0), kEsc);
    EXPECT_FALSE(model.Form().bodyVisible);
    model.SetDeviceKind(2);
    model.ShowCurrent();
    EXPECT_TRUE(model.Form().bodyVisible);
    EXPECT_EQ(model.Form().category, kCategoryDpi);
}

TEST_F(KeyModelTest, ChoosingTheKeyboardCategoryAppliesNothingAtOnce) {
    model.SetKeyEntry(Make(0x20, 0x02, 0x04), kEsc);
    model.ChooseCategory(kCategoryKeyboard);
    const KeyAssignment result = Compose();
    EXPECT_EQ(result.type, 0x20);
    EXPECT_EQ(result.value, 0);
    EXPECT_EQ(result.code, 0);
}

struct CaptureCase {
    const char* what;
    int optionBefore;  // -1 none
    std::uint8_t scan;
    std::uint32_t flags;
    bool accepted;
    int optionAfter;
    const char* keyText;
    std::uint8_t value, code;
};

class CaptureTest : public KeyModelTest, public ::testing::WithParamInterface<CaptureCase> {};

TEST_P(CaptureTest, StoresTheCapturedKey) {
    const CaptureCase& c = GetParam();
    model.ChooseCategory(kCategoryKeyboard);
    model.SelectModifierOption(c.optionBefore);
    Compose();
    EXPECT_EQ(model.CaptureKey(c.scan, c.flags), c.accepted) << c.what;
    if (!c.accepted) return;
    EXPECT_EQ(model.SelectedModifierOption(), c.optionAfter) << c.what;
    EXPECT_EQ(model.Form().keyTextKey, c.keyText) << c.what;
    const KeyAssignment result = Compose();  // the apply that follows every capture
    EXPECT_EQ(result.type, 0x20) << c.what;
    EXPECT_EQ(result.value, c.value) << c.what;
    EXPECT_EQ(result.code, c.code) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, CaptureTest,
    ::testing::Values(
        CaptureCase{"right Ctrl alone", -1, 0x1D, 1, true, 1, "", 0x01, 0},
        CaptureCase{"A with Shift", 2, 0x1E, 0, true, 2, "keyboard_key_A", 0x02, 0x04},
        CaptureCase{"A without option", -1, 0x1E, 0, true, 0, "keyboard_key_A", 0, 0x04},
        CaptureCase{"keypad Enter", 0, 0x1C, 1, true, 0, "keyboard_key_Num Enter", 0, 0x58},
        CaptureCase{"Enter", 0, 0x1C, 0, true, 0, "keyboard_key_Enter", 0, 0x28},
        CaptureCase{"Num Lock", 0, 0x45, 1, true, 0, "keyboard_key_Num Lock", 0, 0x53},
        CaptureCase{"Pause", 0, 0x45, 0, true, 0, "keyboard_key_Pause", 0, 0x48},
        CaptureCase{"left Win alone", 0, 0x5B, 1, true, 4, "", 0x08, 0},
        CaptureCase{"flags beyond bit 0 do not matter", 3, 0x30, 0x80, true, 3, "keyboard_key_B",
                    0x04, 0x05},
        CaptureCase{"scan code without row", 0, 0x7F, 0, false, 0, "", 0, 0}));

TEST(ParseDecimal, ReadsLeadingDigitsLikeTheEditDoes) {
    EXPECT_EQ(ParseDecimal("42"), 42);
    EXPECT_EQ(ParseDecimal(" 7x"), 7);
    EXPECT_EQ(ParseDecimal("-3"), -3);
    EXPECT_EQ(ParseDecimal("abc"), 0);
    EXPECT_EQ(ParseDecimal(""), 0);
    EXPECT_GT(ParseDecimal("99999999999999999999999999"), 0);
}

}  // namespace
}  // namespace rerov::editors
