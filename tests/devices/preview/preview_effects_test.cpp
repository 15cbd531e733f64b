// The per-light effects that run over every mode, and the light-effect playback of modes 0
// and 28.
#include <gtest/gtest.h>

#include <vector>

#include "devices/preview/preview_engine.h"
#include "tests/devices/preview/preview_test_support.h"

namespace rerov::preview {
namespace {

using testing::BrightnessOf;
using testing::EngineIn;
using testing::Lighting;
using testing::RgbOf;

LightSetting Record(int type, int speed = 0, int brightness = 4, bool multi = false,
                    bool valid = true, Rgb colour = {10, 20, 30}) {
    LightSetting setting;
    setting.bytes[LightSetting::kMode] = static_cast<uint8_t>(type);
    setting.bytes[LightSetting::kSpeed] = static_cast<uint8_t>(speed);
    setting.bytes[LightSetting::kBrightness] = static_cast<uint8_t>(brightness);
    setting.bytes[LightSetting::kMultiColor] = multi ? 1 : 0;
    setting.bytes[LightSetting::kValid] = valid ? 1 : 0;
    setting.bytes[LightSetting::kRed] = colour.red;
    setting.bytes[LightSetting::kGreen] = colour.green;
    setting.bytes[LightSetting::kBlue] = colour.blue;
    return setting;
}

// An engine in the all-off mode 20 whose first lights carry `records`.
PreviewEngine WithRecords(const std::vector<LightSetting>& records) {
    PreviewEngine engine;
    engine.ApplyLighting(Lighting(20, 4), records);
    return engine;
}

TEST(PreviewKeyEffects, StaticAndOffPaintOverTheMode) {
    PreviewEngine engine;
    engine.ApplyLighting(Lighting(6, 4, 4), {Record(1, 0, 2), Record(4), Record(9)});
    engine.Tick(0);
    EXPECT_EQ(RgbOf(engine.Colour(0)), (Rgb{10, 20, 30}));
    EXPECT_EQ(BrightnessOf(engine.Colour(0)), 135);
    EXPECT_EQ(engine.Colour(1), 0u);
    EXPECT_EQ(RgbOf(engine.Colour(2)), (Rgb{200, 100, 50}));  // an unknown type leaves the mode
    EXPECT_EQ(RgbOf(engine.Colour(3)), (Rgb{200, 100, 50}));  // no record
}

TEST(PreviewKeyEffects, BreathingAdvancesByItsSpeedAndNeedsTheEnableByte) {
    PreviewEngine engine = WithRecords({Record(0, 2), Record(0, 2, 4, false, false)});
    engine.Tick(0);
    engine.Tick(16);
    EXPECT_EQ(engine.KeyEffects()[0].timers.phase, 12);  // 2 x (speed 2 + 4)
    EXPECT_EQ(BrightnessOf(engine.Colour(0)), kBreathingCurve[12] * 255 / 256);
    EXPECT_EQ(engine.KeyEffects()[1].timers.phase, 0);
    EXPECT_EQ(engine.Colour(1), 0u);
    for (int i = 0; i < 20; ++i) engine.Tick(32 + 16 * i);  // 22 passes of 6: wraps once
    EXPECT_EQ(engine.KeyEffects()[0].timers.wheelPosition, 1);
}

TEST(PreviewKeyEffects, ColourCycleStepsOnItsInterval) {
    PreviewEngine engine = WithRecords({Record(3, 1)});  // 6 passes per hue
    for (int i = 0; i < 5; ++i) engine.Tick(16 * i);
    EXPECT_EQ(engine.KeyEffects()[0].timers.wheelPosition, 0);
    engine.Tick(80);
    EXPECT_EQ(engine.KeyEffects()[0].timers.wheelPosition, 1);
    EXPECT_EQ(RgbOf(engine.Colour(0)), kColourWheel[1]);
    EXPECT_EQ(BrightnessOf(engine.Colour(0)), 255);
}

TEST(PreviewKeyEffects, BlinkFollowsRealTime) {
    PreviewEngine engine = WithRecords({Record(2, 3, 4, false, false)});  // 400 ms
    engine.Tick(100);
    EXPECT_EQ(engine.Colour(0), 0u);
    engine.Tick(400);
    EXPECT_EQ(RgbOf(engine.Colour(0)), (Rgb{10, 20, 30}));
    EXPECT_EQ(engine.KeyEffects()[0].timers.wheelPosition, 14);
    engine.Tick(799);
    EXPECT_NE(engine.Colour(0), 0u);
    engine.Tick(800);
    EXPECT_EQ(engine.Colour(0), 0u);
}

TEST(PreviewKeyEffects, ReapplyingRestartsTheTimers) {
    PreviewEngine engine = WithRecords({Record(3, 4)});
    for (int i = 0; i < 5; ++i) engine.Tick(16 * i);
    ASSERT_EQ(engine.KeyEffects()[0].timers.wheelPosition, 5);
    engine.ApplyLighting(Lighting(20, 4), {Record(3, 4)});
    EXPECT_EQ(engine.KeyEffects()[0].timers.wheelPosition, 0);
    EXPECT_EQ(engine.KeyEffects()[0].timers.interval, 1);
}

TEST(PreviewKeyEffects, MoreRecordsThanLightsAreCut) {
    PreviewEngine engine = WithRecords(std::vector<LightSetting>(300, Record(1)));
    EXPECT_EQ(engine.KeyEffects().size(), static_cast<size_t>(kLightSlots));
    engine.Tick(0);
}

LedEffectStep EffectStep(int mode, Rgb colour, int32_t timeMs, int32_t cycles) {
    LedEffectStep step;
    step.mode = static_cast<uint8_t>(mode);
    step.brightness = 4;
    step.speed = 4;
    step.red = colour.red;
    step.green = colour.green;
    step.blue = colour.blue;
    step.time = timeMs;
    step.cycle = cycles;
    return step;
}

TEST(PreviewPlayback, NoStepsShowsEveryLightOff) {
    PreviewEngine engine = EngineIn(Lighting(4));
    engine.StepMode(0);
    engine.ModeChanged(Lighting(28));
    engine.Tick(0);
    for (uint32_t colour : engine.Colours()) EXPECT_EQ(colour, 0u);
}

TEST(PreviewPlayback, StepsPlayForTheirTimeAndCyclesThenLoop) {
    const Rgb red{255, 0, 0};
    const Rgb blue{0, 0, 255};
    PreviewEngine engine = EngineIn(Lighting(0));
    engine.SetEffectSteps(
        {EffectStep(6, red, 100, 2), EffectStep(6, blue, 50, 0), EffectStep(99, red, 50, 1)});
    struct Expectation {
        uint64_t nowMs;
        Rgb colour;
        bool lit;
    };
    const Expectation timeline[] = {
        {1000, red, true}, {1099, red, true},  {1100, red, true},
        {1199, red, true}, {1200, blue, true}, {1249, blue, true},
        {1250, {}, false}, {1299, {}, false},  {1300, red, true},
    };
    for (const Expectation& e : timeline) {
        engine.Tick(e.nowMs);
        EXPECT_EQ(BrightnessOf(engine.Colour(5)) != 0, e.lit) << e.nowMs;
        if (e.lit) {
            EXPECT_EQ(RgbOf(engine.Colour(5)), e.colour) << e.nowMs;
        }
    }
}

TEST(PreviewPlayback, EachCycleStartsTheStepsModeAfresh) {
    LedEffectStep breathing = EffectStep(5, {0, 255, 0}, 500, 3);
    breathing.speed = 4;
    PreviewEngine engine = EngineIn(Lighting(28));
    engine.SetEffectSteps({breathing});
    uint64_t now = 0;
    for (; now < 480; now += 16) engine.Tick(now);
    const uint8_t late = engine.StepPosition();
    engine.Tick(500);  // the second cycle begins: the breath starts from dark again
    EXPECT_EQ(engine.StepPosition(), 1);
    EXPECT_GT(late, 1);
}

TEST(PreviewPlayback, ReactiveStepsTakeKeyEvents) {
    PreviewEngine engine = EngineIn(Lighting(0));
    engine.SetEffectSteps({EffectStep(7, {0, 0, 255}, 1000, 1)});
    engine.Tick(0);
    engine.KeyEvent(46, 1);
    engine.Tick(16);
    EXPECT_EQ(RgbOf(engine.Colour(46)), (Rgb{0, 0, 255}));
    EXPECT_EQ(BrightnessOf(engine.Colour(46)), 254);
}

}  // namespace
}  // namespace rerov::preview
