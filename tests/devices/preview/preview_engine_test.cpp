// The engine's pacing, reset and initialisers, its safety with any input, and the modes'
// behaviour that a user can see on the keyboard.
#include "devices/preview/preview_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/devices/preview/preview_test_support.h"

namespace rerov::preview {
namespace {

using testing::BrightnessOf;
using testing::EngineIn;
using testing::Lighting;
using testing::RgbOf;

constexpr uint64_t kTickMs = 16;

// The ticks (1-based) on which Tick ran a step, out of `ticks`.
std::vector<int> SteppingTicks(PreviewEngine& engine, int ticks) {
    std::vector<int> stepped;
    for (int tick = 1; tick <= ticks; ++tick) {
        if (engine.Tick(tick * kTickMs)) stepped.push_back(tick);
    }
    return stepped;
}

TEST(PreviewEnginePacing, StepsEveryIntervalOfTheModeAndSpeed) {
    struct Case {
        int mode, speed, every;
    };
    const Case cases[] = {
        {1, 3, 1},  {1, 4, 1},  {1, 0, 8},  {1, 1, 5},  {2, 0, 12}, {2, 3, 1},
        {17, 2, 3}, {19, 0, 3}, {29, 0, 2}, {29, 4, 2}, {26, 0, 8}, {27, 1, 5},
        {30, 2, 3}, {0, 0, 1},  {28, 3, 1}, {24, 9, 1},
    };
    for (const Case& c : cases) {
        PreviewEngine engine = EngineIn(Lighting(c.mode, c.speed));
        std::vector<int> expected;
        for (int tick = c.every; tick <= 48; tick += c.every) expected.push_back(tick);
        EXPECT_EQ(SteppingTicks(engine, 48), expected) << "mode " << c.mode << " speed " << c.speed;
    }
}

TEST(PreviewEnginePacing, IntervalsBorrowedAndOutOfRange) {
    for (int speed = 0; speed <= 4; ++speed) {
        EXPECT_EQ(PreviewEngine::StepInterval(26, speed), PreviewEngine::StepInterval(5, speed));
        EXPECT_EQ(PreviewEngine::StepInterval(27, speed), PreviewEngine::StepInterval(23, speed));
        EXPECT_EQ(PreviewEngine::StepInterval(29, speed), 2);
    }
    EXPECT_EQ(PreviewEngine::StepInterval(0, 0), 0);
    EXPECT_EQ(PreviewEngine::StepInterval(28, 0), 0);
    EXPECT_EQ(PreviewEngine::StepInterval(31, 0), 0);
    EXPECT_EQ(PreviewEngine::StepInterval(-1, 0), 0);
    EXPECT_EQ(PreviewEngine::StepInterval(1, 99), 0);
    EXPECT_EQ(PreviewEngine::StepInterval(1, -3), 8);
}

TEST(PreviewEngineInputs, OutOfRangeSettingsAreClamped) {
    PreviewEngine engine = EngineIn(Lighting(31, 200, 9));
    EXPECT_EQ(engine.Lighting().mode, 0);
    EXPECT_EQ(engine.Lighting().speed, 4);
    EXPECT_EQ(engine.Lighting().brightness, 4);
    engine.SetLighting(Lighting(6, 2, 77));
    engine.StepMode(0);
    EXPECT_EQ(BrightnessOf(engine.Colour(0)), 255);
}

TEST(PreviewEngineInputs, EventsAndColoursOutOfRangeAreIgnored) {
    PreviewEngine engine = EngineIn(Lighting(7));
    const auto before = engine.Colours();
    engine.KeyEvent(170, 1);
    engine.KeyEvent(-1, 1);
    engine.KeyEvent(3, 0);
    engine.KeyEvent(3, 7);
    engine.SetCustomColour(170, 0xFFFFFFFF);
    engine.SetCustomColour(-2, 0xFFFFFFFF);
    for (int light = 0; light < kLightSlots; ++light) EXPECT_EQ(engine.Level(light), 0);
    EXPECT_EQ(engine.Colours(), before);
    EXPECT_EQ(engine.Level(170), 0);
    EXPECT_EQ(engine.Plane(4, 0), 0);
    EXPECT_EQ(engine.Plane(0, 23), 0);
    EXPECT_FALSE(engine.ColumnLocked(23));
}

TEST(PreviewEngineReset, ResetClearsTheAnimationAndLocksTheColumns) {
    PreviewEngine engine = EngineIn(Lighting(25));
    engine.KeyEvent(46, 1);
    engine.SetPlane(2, 4, 0xFF);
    engine.ResetPreview();
    for (int light = 0; light < kLightSlots; ++light) {
        EXPECT_EQ(engine.Level(light), 0);
        EXPECT_EQ(engine.WheelPosition(light), 0);
        EXPECT_EQ(engine.ReactiveState(light), 0);
    }
    EXPECT_EQ(engine.Plane(2, 4), 0);
    for (int column = 0; column < kColumns; ++column) EXPECT_TRUE(engine.ColumnLocked(column));
}

TEST(PreviewEngineReset, ChangingFromMode5ToMode1ResetsTheStepPosition) {
    PreviewEngine engine = EngineIn(Lighting(5));
    for (int i = 0; i < 9; ++i) engine.StepMode(0);
    ASSERT_EQ(engine.StepPosition(), 9);
    engine.ApplyLighting(Lighting(1), {});
    EXPECT_EQ(engine.StepPosition(), 0);

    PreviewEngine readBack = EngineIn(Lighting(5));
    for (int i = 0; i < 4; ++i) readBack.StepMode(0);
    readBack.ModeChanged(Lighting(1));
    EXPECT_EQ(readBack.StepPosition(), 0);
}

TEST(PreviewEngineReset, SameModeKeepsTheAnimationButRestartsThePosition) {
    PreviewEngine engine = EngineIn(Lighting(8));
    engine.KeyEvent(46, 1);
    engine.StepMode(0);
    ASSERT_NE(engine.Level(46), 0);
    engine.ApplyLighting(Lighting(8, 4, 2), {});
    EXPECT_NE(engine.Level(46), 0);  // a speed or brightness edit does not wipe the ripple
    EXPECT_EQ(engine.StepPosition(), 0);
}

TEST(PreviewEngineReset, ANewModeStartsDarkAReReadKeepsThePicture) {
    ASSERT_EQ(std::count(kKeyOrder.begin(), kKeyOrder.end(), 16), 0);  // mode 16 never paints it
    PreviewEngine engine = EngineIn(Lighting(4));
    engine.StepMode(0);
    const uint32_t lit = engine.Colour(16);
    ASSERT_NE(lit, 0u);
    engine.ModeChanged(Lighting(4));  // the same mode read back from the device
    EXPECT_EQ(engine.Colour(16), lit);
    engine.ApplyLighting(Lighting(16), {});
    engine.StepMode(0);
    EXPECT_EQ(engine.Colour(16), 0u);
}

TEST(PreviewEngineInitialisers, SpreadTheWheelByDefault) {
    PreviewEngine engine = EngineIn(Lighting(1));
    EXPECT_EQ(engine.WheelPosition(0), 33);
    EXPECT_EQ(engine.WheelPosition(1), 66);
    EXPECT_EQ(engine.WheelPosition(5), 6);     // 198 - 192
    EXPECT_EQ(engine.WheelPosition(63), 192);  // 192 exactly is kept
    EXPECT_EQ(engine.WheelPosition(64), 33);
}

TEST(PreviewEngineInitialisers, ModeSpecificStarts) {
    PreviewEngine fountain = EngineIn(Lighting(13));
    for (int plane = 0; plane < 4; ++plane) EXPECT_EQ(fountain.Plane(plane, 9), 0x40);

    PreviewEngine sweep = EngineIn(Lighting(16));
    for (int plane = 0; plane < 4; ++plane) EXPECT_EQ(sweep.Plane(plane, 1), 0x01);

    PreviewEngine pulse = EngineIn(Lighting(14));
    EXPECT_EQ(pulse.Phase(120), 122);  // column 0, row 1: 192 - 35 - 35
    EXPECT_EQ(pulse.WheelPosition(120), 0);
    EXPECT_EQ(pulse.Phase(0), 141);  // column 2, row 0: 176 - 35
    EXPECT_EQ(pulse.WheelPosition(0), 12);
    EXPECT_EQ(pulse.Phase(22), 106);      // column 2, row 1
    EXPECT_EQ(pulse.Phase(7), 112 - 35);  // column 10 starts at -144, that is 112
    EXPECT_EQ(pulse.Phase(72), 165);      // row 3 of column 10: 7 - 35 is 228, less 63
    EXPECT_EQ(pulse.Phase(109), 95);
}

TEST(PreviewEngineInitialisers, Mode24PutsEveryWheelPositionToZero) {
    PreviewEngine engine = EngineIn(Lighting(1));
    engine.ApplyLighting(Lighting(24), {});
    for (int light = 0; light < kLightSlots; ++light) EXPECT_EQ(engine.WheelPosition(light), 0);
}

TEST(PreviewEngineInitialisers, Mode15StartsFromTheColumnPhases) {
    PreviewEngine engine = EngineIn(Lighting(15));
    EXPECT_EQ(engine.Level(46), kColumnPhases[5][2]);
    EXPECT_EQ(engine.WheelPosition(46), 30);
    EXPECT_EQ(engine.Level(126), 0);  // lights without a key are skipped
}

TEST(PreviewEngineInitialisers, Mode19ShowsTheCustomColours) {
    PreviewEngine engine;
    engine.SetCustomColours({0x00112233, 0x00445566});
    engine.ApplyLighting(Lighting(19, 2, 1), {});
    EXPECT_EQ(engine.Colour(0), 0x00112233u);
    EXPECT_EQ(engine.Colour(2), 0u);
    engine.StepMode(0);
    EXPECT_EQ(engine.Colour(1), 0x50445566u);  // brightness level 1 is 80
    engine.SetCustomColour(2, 0x00ABCDEF);
    engine.StepMode(0);
    EXPECT_EQ(engine.Colour(2), 0x50ABCDEFu);
}

}  // namespace
}  // namespace rerov::preview
