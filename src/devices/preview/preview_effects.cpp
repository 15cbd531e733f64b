// The per-light effects (one record per light, run after every mode's step) and the
// light-effect playback of modes 0 and 28.
//
// Playback: the effect's steps play one after another and the list loops. A step shows its
// own mode with its own brightness, speed, direction, multi-colour flag and colour; it
// lasts its "Time" in milliseconds (at least 1) and repeats that "Cyle" times (at least 1),
// each repetition starting its mode afresh (reset and initialiser), so a repeated breathing
// step breathes from dark each time. The mode's steps are paced by the step-interval table
// like the main modes, and the first step of a repetition runs at once. A step whose mode is
// outside 1..27 shows every light off, as does an effect without steps. At most one step
// change happens per tick, so even a time of 0 cannot stall the engine.
#include <algorithm>

#include "devices/preview/preview_engine.h"

namespace rerov::preview {

namespace {

constexpr uint8_t kMaxSpeed = 4;
constexpr uint8_t kMaxBrightness = 4;

enum KeyEffectType : uint8_t {
    kBreathingEffect = 0,
    kStaticEffect = 1,
    kBlinkEffect = 2,
    kColourCycleEffect = 3,
    kOffEffect = 4,
};
// The order the effect types are processed in on every pass.
constexpr KeyEffectType kEffectOrder[] = {kBreathingEffect, kStaticEffect, kColourCycleEffect,
                                          kBlinkEffect, kOffEffect};

constexpr int kBreathingPhases = 128;

Rgb RecordColour(const LightSetting& setting) {
    return {setting.bytes[LightSetting::kRed], setting.bytes[LightSetting::kGreen],
            setting.bytes[LightSetting::kBlue]};
}

uint8_t RecordBrightness(const LightSetting& setting) {
    return kBrightnessLevels[std::min(setting.bytes[LightSetting::kBrightness], kMaxBrightness)];
}

// The wheel index one hue on, 0 after 191.
uint8_t NextHue(uint8_t index, int advance) {
    const int next = index + advance;
    return static_cast<uint8_t>(next > kWheelHues - 1 ? 0 : next);
}

LightingInput StepLighting(const LedEffectStep& step, uint8_t zzccLedMode) {
    LightingInput lighting;
    lighting.mode = step.mode;
    lighting.speed = std::min(step.speed, kMaxSpeed);
    lighting.brightness = std::min(step.brightness, kMaxBrightness);
    lighting.direction = step.direction != 0;
    lighting.multiColour = step.multiColor != 0;
    lighting.colour = {step.red, step.green, step.blue};
    lighting.zzccLedMode = zzccLedMode;
    return lighting;
}

bool PlaysOwnMode(int mode) { return mode >= 1 && mode <= 27; }

}  // namespace

void PreviewEngine::AdvanceKeyEffects(uint64_t nowMs) {
    const size_t count = std::min<size_t>(keyEffects_.size(), kLightSlots);
    for (KeyEffectType type : kEffectOrder) {
        for (size_t index = 0; index < count; ++index) {
            CustomLight& entry = keyEffects_[index];
            const LightSetting& setting = entry.setting;
            if (setting.bytes[LightSetting::kMode] != type) continue;
            const bool enabled = setting.bytes[LightSetting::kValid] != 0;
            if ((type == kBreathingEffect || type == kColourCycleEffect) && !enabled) continue;
            AdvanceKeyEffect(static_cast<int>(index), entry, nowMs);
        }
    }
}

void PreviewEngine::AdvanceKeyEffect(int light, CustomLight& entry, uint64_t nowMs) {
    const LightSetting& setting = entry.setting;
    CustomLightTimers& timers = entry.timers;
    const bool multiColour = setting.bytes[LightSetting::kMultiColor] != 0;
    const uint8_t brightness = RecordBrightness(setting);
    switch (setting.bytes[LightSetting::kMode]) {
        case kBreathingEffect: {
            const int speed = std::min(setting.bytes[LightSetting::kSpeed], kMaxSpeed);
            int phase = timers.phase + speed + 4;
            if (phase >= kBreathingPhases) {
                phase = 0;
                const int hue = timers.wheelPosition + 1;
                timers.wheelPosition =
                    static_cast<uint8_t>(hue > kWheelHues ? kWheelHues - 1 : hue);
            }
            timers.phase = static_cast<uint8_t>(phase);
            const Rgb colour =
                multiColour ? WheelColour(timers.wheelPosition) : RecordColour(setting);
            SetColour(light, colour,
                      static_cast<uint8_t>(
                          (kBreathingCurve[timers.phase % kBreathingPhases] * brightness) >> 8));
            break;
        }
        case kStaticEffect:
            SetColour(light, RecordColour(setting), brightness);
            break;
        case kColourCycleEffect:
            if (++timers.counter >= timers.interval) {
                timers.counter = 0;
                timers.wheelPosition = NextHue(timers.wheelPosition, 1);
            }
            SetColour(light, WheelColour(timers.wheelPosition), brightness);
            break;
        case kBlinkEffect:
            if (nowMs - timers.lastToggleMs >= timers.blinkPeriodMs ||
                nowMs < timers.lastToggleMs) {
                timers.on = !timers.on;
                timers.lastToggleMs = nowMs;
                timers.wheelPosition = NextHue(timers.wheelPosition, 14);
            }
            if (!timers.on) {
                SetColour(light, Rgb{}, 0);
            } else {
                SetColour(light,
                          multiColour ? WheelColour(timers.wheelPosition) : RecordColour(setting),
                          brightness);
            }
            break;
        case kOffEffect:
            SetColour(light, Rgb{}, 0);
            break;
        default:
            break;
    }
}

void PreviewEngine::StepPlayback(uint64_t nowMs) {
    if (effectSteps_.empty()) {
        colours_.fill(0);
        return;
    }
    if (!playback_.started || playback_.step >= effectSteps_.size()) {
        playback_ = {};
        playback_.started = true;
        StartPlaybackCycle(nowMs);
    } else {
        const LedEffectStep& current = effectSteps_[playback_.step];
        const uint64_t durationMs = static_cast<uint64_t>(std::max<int32_t>(current.time, 1));
        if (nowMs < playback_.stepStartMs || nowMs - playback_.stepStartMs >= durationMs) {
            if (++playback_.cyclesDone >= std::max<int32_t>(current.cycle, 1)) {
                playback_.cyclesDone = 0;
                playback_.step = (playback_.step + 1) % effectSteps_.size();
            }
            StartPlaybackCycle(nowMs);
        }
    }

    const LightingInput own = lighting_;
    lighting_ = StepLighting(effectSteps_[playback_.step], own.zzccLedMode);
    const int mode = lighting_.mode;
    if (!PlaysOwnMode(mode)) {
        colours_.fill(0);
    } else {
        ++playback_.ticks;
        if (playback_.fresh || playback_.ticks >= StepInterval(mode, lighting_.speed)) {
            RunStep(mode, nowMs);
            playback_.ticks = 0;
            playback_.fresh = false;
        }
    }
    lighting_ = own;
}

void PreviewEngine::StartPlaybackCycle(uint64_t nowMs) {
    playback_.stepStartMs = nowMs;
    playback_.ticks = 0;
    playback_.fresh = true;
    const LightingInput own = lighting_;
    lighting_ = StepLighting(effectSteps_[playback_.step], own.zzccLedMode);
    ResetAnimation();
    colours_.fill(0);
    if (PlaysOwnMode(lighting_.mode)) {
        InitialiseMode(lighting_.mode);
        if (lighting_.mode == 24) wheelPositions_.fill(0);
    }
    lighting_ = own;
}

int PreviewEngine::PlayingMode() const {
    const int mode = lighting_.mode;
    if ((mode != 0 && mode != 28) || !playback_.started || playback_.step >= effectSteps_.size()) {
        return mode;
    }
    return effectSteps_[playback_.step].mode;
}

}  // namespace rerov::preview
