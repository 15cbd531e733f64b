// The lighting modes as the keyboard shows them: what a step paints and how the animated
// modes move on.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <set>
#include <vector>

#include "devices/preview/preview_engine.h"
#include "tests/devices/preview/preview_test_support.h"

namespace rerov::preview {
namespace {

using testing::BrightnessOf;
using testing::EngineIn;
using testing::Lighting;
using testing::RgbOf;

int LitLights(const PreviewEngine& engine) {
    return static_cast<int>(std::count_if(engine.Colours().begin(), engine.Colours().end(),
                                          [](uint32_t colour) { return colour >> 24 != 0; }));
}

TEST(PreviewModes, StaticModeShowsTheFixedColourAtTheBrightnessLevel) {
    const int expected[] = {0, 80, 135, 195, 255};
    for (int level = 0; level <= 4; ++level) {
        PreviewEngine engine = EngineIn(Lighting(6, 0, level));
        engine.StepMode(0);
        for (int light = 0; light < kLightSlots; ++light) {
            ASSERT_EQ(BrightnessOf(engine.Colour(light)), expected[level]) << light;
            ASSERT_EQ(RgbOf(engine.Colour(light)), (Rgb{200, 100, 50}));
        }
    }
}

TEST(PreviewModes, StaticMultiColourPaintsTheDiagonals) {
    PreviewEngine engine = EngineIn(Lighting(6, 0, 4, true));
    engine.StepMode(0);
    EXPECT_EQ(RgbOf(engine.Colour(51)), kColourWheel[138]);         // diagonal 0
    EXPECT_EQ(RgbOf(engine.Colour(118)), kColourWheel[138 - 132]);  // diagonal 11
}

TEST(PreviewModes, Mode20TurnsEveryLightOff) {
    PreviewEngine engine = EngineIn(Lighting(4));
    engine.StepMode(0);
    ASSERT_EQ(LitLights(engine), kLightSlots);
    engine.ModeChanged(Lighting(20));
    engine.StepMode(0);
    for (uint32_t colour : engine.Colours()) EXPECT_EQ(colour, 0u);
}

TEST(PreviewModes, HorizontalWaveMovesTheWheelAlongTheColumns) {
    PreviewEngine engine = EngineIn(Lighting(1, 0, 4, true));
    engine.StepMode(0);  // position 1: column 0 shows hue 2, each column 7 further
    EXPECT_EQ(RgbOf(engine.Colour(120)), kColourWheel[2]);
    EXPECT_EQ(RgbOf(engine.Colour(46)), kColourWheel[2 + 35]);
    EXPECT_EQ(RgbOf(engine.Colour(131)), Rgb{});  // a light without a key stays unpainted

    PreviewEngine back = EngineIn(Lighting(1, 0, 4, true, false));
    back.StepMode(0);
    EXPECT_EQ(back.StepPosition(), 191);
    EXPECT_EQ(RgbOf(back.Colour(120)), kColourWheel[0]);  // (191 + 1) % 192

    PreviewEngine single = EngineIn(Lighting(1, 0, 4, false));
    single.StepMode(0);  // wave index 2 for column 0
    EXPECT_EQ(BrightnessOf(single.Colour(120)), kWaveCurve[2] * 255 / 256);
}

TEST(PreviewModes, Mode17ColourByItsChoice) {
    const std::pair<int, int> choices[] = {{1, 25}, {2, 70}, {3, 95}, {0, 174}, {9, 174}};
    for (auto [choice, hue] : choices) {
        LightingInput lighting = Lighting(17);
        lighting.zzccLedMode = static_cast<uint8_t>(choice);
        PreviewEngine engine = EngineIn(lighting);
        engine.StepMode(0);
        EXPECT_EQ(RgbOf(engine.Colour(169)), kColourWheel[hue]) << choice;
    }
}

TEST(PreviewModes, ReactiveGlowLightsTheKeyAndFadesAfterRelease) {
    PreviewEngine engine = EngineIn(Lighting(7), testing::Scripted({200}));
    engine.KeyEvent(46, 1);
    EXPECT_EQ(engine.Level(46), 255);
    EXPECT_EQ(engine.ReactiveState(46), 1);
    EXPECT_EQ(engine.WheelPosition(46), 8);
    engine.StepMode(0);
    EXPECT_EQ(engine.Level(46), 255);  // held: stays at full
    engine.KeyEvent(46, 2);
    engine.StepMode(0);
    engine.StepMode(0);
    EXPECT_EQ(engine.Level(46), 245);
    EXPECT_EQ(BrightnessOf(engine.Colour(46)), 255 * 245 / 256);
}

TEST(PreviewModes, Mode25PressRaisesTheNeighboursByDistance) {
    PreviewEngine engine = EngineIn(Lighting(25));
    engine.KeyEvent(46, 1);  // column 5, row 2
    EXPECT_EQ(engine.Level(46), 255);
    for (int light : {25, 67, 45, 47}) EXPECT_EQ(engine.Level(light), 150) << light;
    for (int light : {3, 87, 24, 66, 26, 68}) EXPECT_EQ(engine.Level(light), 90) << light;
    for (int light : {44, 48}) EXPECT_EQ(engine.Level(light), 60) << light;
    int raised = 0;
    for (int light = 0; light < kLightSlots; ++light) raised += engine.Level(light) != 0;
    EXPECT_EQ(raised, 13);

    engine.KeyEvent(46, 2);
    for (int light : {25, 67, 45, 47}) EXPECT_EQ(engine.Level(light), 135) << light;
    for (int light : {3, 87, 24, 66, 26, 68, 44, 48}) EXPECT_EQ(engine.Level(light), 0) << light;
    EXPECT_EQ(engine.ReactiveState(46), 2);
    EXPECT_EQ(engine.ReactiveState(45), 2);
}

TEST(PreviewModes, Mode25KeepsTheCellsOfAnotherHeldKey) {
    PreviewEngine engine = EngineIn(Lighting(25));
    engine.KeyEvent(46, 1);
    engine.KeyEvent(47, 1);  // the key to the right, still held
    engine.KeyEvent(46, 2);
    EXPECT_EQ(engine.Level(47), 255);
    EXPECT_EQ(engine.Level(45), 210);        // 150 + 60, two columns from 47: kept, not lowered
    EXPECT_EQ(engine.ReactiveState(46), 1);  // next to a held key: does not fade
    EXPECT_EQ(engine.Level(3), 0);           // column 5 row 0 is beyond 47's pattern: 90 - 90
}

TEST(PreviewModes, Mode9SendsPointsSidewaysAlongTheRow) {
    PreviewEngine engine = EngineIn(Lighting(9));
    engine.KeyEvent(46, 1);
    engine.StepMode(0);
    EXPECT_EQ(engine.Level(46), 215);  // lit, then one decay step of curve 9
    engine.StepMode(0);
    EXPECT_EQ(engine.Level(45), 215);
    EXPECT_EQ(engine.Level(47), 215);
    EXPECT_EQ(engine.Level(44), 0);
    engine.StepMode(0);
    EXPECT_EQ(engine.Level(44), 215);
    EXPECT_EQ(engine.Level(48), 215);
    EXPECT_EQ(engine.Level(25), 0);  // nothing travels up or down
    EXPECT_EQ(engine.Level(67), 0);
}

TEST(PreviewModes, RainDropOnAnEmptyEntryLightsNothing) {
    const auto emptyDrop = std::find(kDropList.begin(), kDropList.end(), 107);
    ASSERT_NE(emptyDrop, kDropList.end());
    ASSERT_EQ(kKeyOrder[4 + 107], kNoLight);
    PreviewEngine dry = EngineIn(
        Lighting(10), testing::Scripted({static_cast<uint32_t>(emptyDrop - kDropList.begin())}));
    dry.StepMode(0);
    for (int light = 0; light < kLightSlots; ++light) EXPECT_EQ(dry.Level(light), 0);

    PreviewEngine wet = EngineIn(Lighting(10), testing::Scripted({0}));  // entry 0 selects 88
    wet.StepMode(0);
    EXPECT_EQ(wet.Level(kKeyOrder[4 + 88]), 215);
}

TEST(PreviewModes, SnakeWalksThePathAndPausesAtTheEnd) {
    PreviewEngine engine = EngineIn(Lighting(21));
    engine.StepMode(0);
    EXPECT_EQ(engine.Level(0), 254 - 40);  // lit, then one decay step
    engine.StepMode(0);
    EXPECT_EQ(engine.Level(1), 214);
    for (int i = 2; i < 170; ++i) engine.StepMode(0);
    EXPECT_EQ(engine.StepPosition(), 170);
    engine.StepMode(0);  // the pause: back to the start without lighting
    EXPECT_EQ(engine.StepPosition(), 0);

    PreviewEngine back = EngineIn(Lighting(21, 2, 4, false, false));
    back.StepMode(0);  // entry 0 first, then round to the end
    back.StepMode(0);
    EXPECT_EQ(back.StepPosition(), 169);
    back.StepMode(0);
    EXPECT_EQ(back.StepPosition(), 168);
}

TEST(PreviewModes, ScriptedShowRunsItsFourPhases) {
    PreviewEngine engine = EngineIn(Lighting(22));
    std::set<int> phases;
    for (int step = 0; step < 400; ++step) {
        engine.StepMode(0);
        phases.insert(engine.PhaseByte());
    }
    EXPECT_EQ(phases, (std::set<int>{0, 1, 2, 3, 4}));
}

TEST(PreviewModes, BlinkTogglesByRealTime) {
    PreviewEngine engine = EngineIn(Lighting(23, 3));  // 2 x 200 ms
    engine.StepMode(1000);
    EXPECT_EQ(LitLights(engine), kLightSlots);  // the first step after a reset turns it on
    engine.StepMode(1399);
    EXPECT_EQ(LitLights(engine), kLightSlots);
    engine.StepMode(1400);
    EXPECT_EQ(LitLights(engine), 0);
    engine.StepMode(1800);
    EXPECT_EQ(LitLights(engine), kLightSlots);
}

TEST(PreviewModes, BasicColourBlinkMovesThroughTheFourColours) {
    PreviewEngine engine = EngineIn(Lighting(27, 4));  // 200 ms
    std::vector<Rgb> shown;
    for (uint64_t now = 0; now <= 1400; now += 200) {
        engine.StepMode(now);
        if (BrightnessOf(engine.Colour(0)) != 0) shown.push_back(RgbOf(engine.Colour(0)));
    }
    EXPECT_EQ(shown, (std::vector<Rgb>{kBasicColours[1], kBasicColours[3], kBasicColours[1],
                                       kBasicColours[3]}));
}

TEST(PreviewModes, RingLightsTheSpreadPathRowAndFades) {
    PreviewEngine engine = EngineIn(Lighting(24));
    engine.StepMode(0);  // row 1
    EXPECT_EQ(engine.StepPosition(), 1);
    EXPECT_EQ(engine.Level(27), 250);
    EXPECT_EQ(engine.WheelPosition(27), 3);
    EXPECT_EQ(BrightnessOf(engine.Colour(27)), 255 * 250 / 256);
}

TEST(PreviewModes, BasicBreathingChangesColourAtTheEndOfABreath) {
    PreviewEngine engine = EngineIn(Lighting(26));
    engine.StepMode(0);
    EXPECT_EQ(RgbOf(engine.Colour(0)), kBasicColours[0]);
    for (int i = 1; i < 128; ++i) engine.StepMode(0);
    EXPECT_EQ(engine.StepPosition(), 0);
    EXPECT_EQ(RgbOf(engine.Colour(0)), kBasicColours[1]);
}

TEST(PreviewModes, PhasePulseRestartsWithARandomHue) {
    PreviewEngine engine = EngineIn(Lighting(14, 2, 4, true), testing::Scripted({100}));
    // Light 22 starts at phase 106: after 86 steps it passes 191 and starts again.
    for (int i = 0; i < 85; ++i) engine.StepMode(0);
    EXPECT_EQ(engine.Phase(22), 191);
    engine.StepMode(0);
    EXPECT_EQ(engine.Phase(22), 0);
    EXPECT_EQ(engine.WheelPosition(22), 100);
}

}  // namespace
}  // namespace rerov::preview
