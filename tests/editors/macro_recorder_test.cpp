// Recording into a macro: delays of the three timing modes on an injected clock, the four
// insert modes, the repeat and stop-button filters, the step limit, hand-inserted steps and
// the row moves.

#include "editors/macro/macro_recorder.h"

#include <gtest/gtest.h>

#include "editors/macro/macro_library.h"

namespace rerov::editors {
namespace {

constexpr std::uint8_t kScanA = 0x1E;
constexpr std::uint8_t kScanB = 0x30;
constexpr std::uint8_t kScanC = 0x2E;
constexpr std::uint8_t kUsageA = 0x04;
constexpr std::uint8_t kUsageB = 0x05;
constexpr std::uint8_t kUsageC = 0x06;

struct TimingCase {
    RecordMode mode;
    int fixedDelay;
    int delayOfA;
    int delayOfB;
};

class TimingTest : public ::testing::TestWithParam<TimingCase> {};

TEST_P(TimingTest, AThenThreeHundredMillisecondsThenB) {
    MacroRecorder recorder;
    recorder.SetFixedDelay(GetParam().fixedDelay);
    recorder.Start(GetParam().mode, InsertMode::Append, 1000);
    ASSERT_TRUE(recorder.RecordKey(InsertMode::Append, kScanA, false, true, 1010));
    ASSERT_TRUE(recorder.RecordKey(InsertMode::Append, kScanB, false, true, 1310));
    ASSERT_EQ(recorder.Steps().size(), 2u);
    EXPECT_EQ(recorder.Steps()[0], (MacroEvent{kStepKey, kUsageA, true, GetParam().delayOfA}));
    EXPECT_EQ(recorder.Steps()[1], (MacroEvent{kStepKey, kUsageB, true, GetParam().delayOfB}));
    EXPECT_EQ(recorder.Selected(), 1);
}

INSTANTIATE_TEST_SUITE_P(Modes, TimingTest,
                         ::testing::Values(TimingCase{RecordMode::Measured, 50, 300, 0},
                                           TimingCase{RecordMode::Constant, 40, 40, 40},
                                           TimingCase{RecordMode::NoDelay, 40, 0, 0}));

TEST(MacroRecorder, MeasuredGapSaturatesAt65535) {
    MacroRecorder recorder;
    recorder.Start(RecordMode::Measured, InsertMode::Append, 0);
    recorder.RecordKey(InsertMode::Append, kScanA, false, true, 0);
    recorder.RecordKey(InsertMode::Append, kScanA, false, false, 100000);
    EXPECT_EQ(recorder.Steps()[0].delay, kMaxStepDelay);
}

TEST(MacroRecorder, FixedDelayIsClamped) {
    MacroRecorder recorder;
    recorder.SetFixedDelay(70000);
    EXPECT_EQ(recorder.FixedDelay(), 65535);
    recorder.SetFixedDelay(-5);
    EXPECT_EQ(recorder.FixedDelay(), 0);
}

TEST(MacroRecorder, HeldKeyGivesOneDownAndOneUp) {
    MacroRecorder recorder;
    recorder.Start(RecordMode::NoDelay, InsertMode::Append, 0);
    EXPECT_TRUE(recorder.RecordKey(InsertMode::Append, kScanA, false, true, 0));
    for (int i = 1; i <= 20; ++i) {
        EXPECT_FALSE(recorder.RecordKey(InsertMode::Append, kScanA, false, true, i * 30));
    }
    EXPECT_TRUE(recorder.RecordKey(InsertMode::Append, kScanA, false, false, 700));
    // Pressed again after the release, it counts again.
    EXPECT_TRUE(recorder.RecordKey(InsertMode::Append, kScanA, false, true, 800));
    ASSERT_EQ(recorder.Steps().size(), 3u);
    EXPECT_TRUE(recorder.Steps()[0].down);
    EXPECT_FALSE(recorder.Steps()[1].down);
}

TEST(MacroRecorder, EachHandlerHasItsOwnRepeatMemory) {
    MacroRecorder recorder;
    recorder.Start(RecordMode::NoDelay, InsertMode::Append, 0);
    ASSERT_TRUE(recorder.RecordKey(InsertMode::Append, kScanA, false, true, 0));
    // The "after" handler has not seen A yet.
    EXPECT_TRUE(recorder.RecordKey(InsertMode::After, kScanA, false, true, 0));
}

TEST(MacroRecorder, ModifiersAndExtendedKeys) {
    MacroRecorder recorder;
    recorder.Start(RecordMode::NoDelay, InsertMode::Append, 0);
    ASSERT_TRUE(recorder.RecordKey(InsertMode::Append, 0x1D, true, true, 0));    // right Ctrl
    ASSERT_TRUE(recorder.RecordKey(InsertMode::Append, 0x1C, true, true, 0));    // keypad Enter
    EXPECT_FALSE(recorder.RecordKey(InsertMode::Append, 0x7F, false, true, 0));  // no row
    ASSERT_EQ(recorder.Steps().size(), 2u);
    EXPECT_EQ(recorder.Steps()[0].type, kStepModifier);
    EXPECT_EQ(recorder.Steps()[0].button, 0x10);
    EXPECT_EQ(recorder.Steps()[1].type, kStepKey);
    EXPECT_EQ(recorder.Steps()[1].button, 0x58);
}

TEST(MacroRecorder, InsertModesPlaceAndSelectAsDocumented) {
    MacroRecorder recorder;
    recorder.SetSteps({{kStepKey, kUsageA, true, 5}, {kStepKey, kUsageA, false, 6}});
    recorder.Start(RecordMode::NoDelay, InsertMode::Before, 0);
    EXPECT_FALSE(recorder.RecordKey(InsertMode::Before, kScanC, false, true, 0))
        << "before needs a selected row";
    recorder.Select(1);
    ASSERT_TRUE(recorder.RecordKey(InsertMode::Before, kScanB, false, true, 0));
    EXPECT_EQ(recorder.Steps()[1].button, kUsageB);
    EXPECT_EQ(recorder.Selected(), 2) << "the previously selected row stays selected";

    ASSERT_TRUE(recorder.RecordKey(InsertMode::After, kScanC, false, true, 0));
    EXPECT_EQ(recorder.Steps()[3].button, kUsageC);
    EXPECT_EQ(recorder.Selected(), 3);

    recorder.Select(0);
    ASSERT_TRUE(recorder.RecordKey(InsertMode::Replace, kScanC, false, true, 0));
    EXPECT_EQ(recorder.Steps().size(), 4u);
    EXPECT_EQ(recorder.Steps()[0], (MacroEvent{kStepKey, kUsageC, true, 5}))
        << "replace keeps action and delay";
    EXPECT_EQ(recorder.Selected(), 0);
}

TEST(MacroRecorder, BeforeTheFirstRowStartsWithZero) {
    MacroRecorder recorder;
    recorder.SetSteps({{kStepKey, kUsageA, true, 5}});
    recorder.Select(0);
    recorder.SetFixedDelay(40);
    recorder.Start(RecordMode::Constant, InsertMode::Before, 0);
    ASSERT_TRUE(recorder.RecordKey(InsertMode::Before, kScanB, false, true, 0));
    EXPECT_EQ(recorder.Steps()[0].delay, 0);
    EXPECT_EQ(recorder.Steps()[1].delay, 5) << "nothing else changes";
}

TEST(MacroRecorder, FullListTakesNoRecordedStep) {
    MacroRecorder recorder;
    recorder.SetSteps(
        std::vector<MacroEvent>(kMaxMacroSteps, MacroEvent{kStepKey, kUsageA, true, 0}));
    recorder.Select(3);
    recorder.Start(RecordMode::Measured, InsertMode::Append, 0);
    for (InsertMode mode : {InsertMode::Append, InsertMode::Before, InsertMode::After}) {
        EXPECT_FALSE(recorder.RecordKey(mode, kScanB, false, true, 0));
        EXPECT_FALSE(recorder.RecordMouse(mode, kMsgRightDown, 0, false, 0));
    }
    EXPECT_EQ(recorder.Steps().size(), static_cast<std::size_t>(kMaxMacroSteps));
    EXPECT_TRUE(recorder.RecordKey(InsertMode::Replace, kScanB, false, true, 0))
        << "replace adds no row";
}

TEST(MacroRecorder, MouseButtonsAndTheStopButton) {
    MacroRecorder recorder;
    recorder.Start(RecordMode::NoDelay, InsertMode::Append, 0);
    EXPECT_TRUE(
        recorder.RecordMouse(InsertMode::Append, kMsgExtraDown, kExtraButtonForward, false, 0));
    EXPECT_TRUE(
        recorder.RecordMouse(InsertMode::Append, kMsgExtraDown, kExtraButtonBack, false, 0));
    EXPECT_FALSE(recorder.RecordMouse(InsertMode::Append, kMsgExtraDown, 3, false, 0));
    EXPECT_FALSE(
        recorder.RecordMouse(InsertMode::Append, kMsgExtraDown, kExtraButtonBack, false, 0))
        << "the same message twice is dropped";
    EXPECT_FALSE(recorder.RecordMouse(InsertMode::Append, kMsgLeftDown, 0, true, 0));
    EXPECT_FALSE(recorder.RecordMouse(InsertMode::Append, kMsgLeftUp, 0, true, 0));
    EXPECT_TRUE(recorder.RecordMouse(InsertMode::Append, kMsgRightUp, 0, true, 0))
        << "only the left button on the stop button is dropped";
    EXPECT_FALSE(recorder.RecordMouse(InsertMode::Append, 0x0200, 0, false, 0)) << "no row";
    ASSERT_EQ(recorder.Steps().size(), 3u);
    EXPECT_EQ(recorder.Steps()[0], (MacroEvent{kStepMouseButton, 0x10, true, 0}));
    EXPECT_EQ(recorder.Steps()[1], (MacroEvent{kStepMouseButton, 0x08, true, 0}));
    EXPECT_EQ(recorder.Steps()[2], (MacroEvent{kStepMouseButton, 0x02, false, 0}));
}

TEST(MacroRecorder, HandInsertedStepsGoAfterTheSelection) {
    MacroRecorder recorder;
    recorder.SetFixedDelay(30);
    recorder.InsertMouseStep(0);  // left down, first
    recorder.InsertMouseStep(1);  // left up, after it
    recorder.Select(0);
    recorder.InsertMouseStep(kRowMoveUp, 300);
    ASSERT_EQ(recorder.Steps().size(), 3u);
    EXPECT_EQ(recorder.Steps()[0], (MacroEvent{kStepMouseButton, 1, true, 30}));
    EXPECT_EQ(recorder.Steps()[1], (MacroEvent{kStepMoveY, 300 & 0xFF, true, 30}));
    EXPECT_EQ(recorder.Steps()[2], (MacroEvent{kStepMouseButton, 1, false, 30}));
    EXPECT_EQ(recorder.Selected(), 1);
}

TEST(MacroRecorder, RowMoves) {
    MacroRecorder recorder;
    std::vector<MacroEvent> steps;
    for (int i = 0; i < 4; ++i) steps.push_back({kStepKey, 4 + i, true, i});
    const auto order = [&] {
        std::vector<int> buttons;
        for (const MacroEvent& e : recorder.Steps()) buttons.push_back(e.button);
        return buttons;
    };
    recorder.SetSteps(steps);
    EXPECT_FALSE(recorder.MoveUp());
    EXPECT_FALSE(recorder.DeleteSelected());
    recorder.Select(2);
    EXPECT_TRUE(recorder.MoveUp());
    EXPECT_EQ(order(), (std::vector<int>{4, 6, 5, 7}));
    EXPECT_TRUE(recorder.MoveToBottom());
    EXPECT_EQ(order(), (std::vector<int>{4, 5, 7, 6}));
    EXPECT_FALSE(recorder.MoveDown());
    EXPECT_TRUE(recorder.MoveToTop());
    EXPECT_EQ(order(), (std::vector<int>{6, 4, 5, 7}));
    EXPECT_EQ(recorder.Selected(), 0);
    EXPECT_TRUE(recorder.MoveDown());
    EXPECT_EQ(recorder.Selected(), 1);
    EXPECT_TRUE(recorder.DeleteSelected());
    EXPECT_EQ(order(), (std::vector<int>{4, 5, 7}));
    recorder.DeleteAll();
    EXPECT_TRUE(recorder.Steps().empty());
    EXPECT_EQ(recorder.Selected(), -1);
}

}  // namespace
}  // namespace rerov::editors
