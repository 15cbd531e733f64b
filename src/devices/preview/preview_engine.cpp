// The engine's state, reset, initialisers, pacing and dispatch.
#include "devices/preview/preview_engine.h"

#include <algorithm>
#include <utility>

#include "devices/preview/preview_math.h"

namespace rerov::preview {

namespace {

constexpr uint8_t kMaxSpeed = 4;
constexpr uint8_t kMaxBrightness = 4;
constexpr int kLastMode = 30;

bool IsLight(int light) { return light >= 0 && light < kLightSlots; }

// Speed and brightness past the tables count as their last entry; an unknown mode plays as
// the light-effect playback of mode 0.
LightingInput Sanitised(LightingInput lighting) {
    if (lighting.mode > kLastMode) lighting.mode = 0;
    lighting.speed = std::min(lighting.speed, kMaxSpeed);
    lighting.brightness = std::min(lighting.brightness, kMaxBrightness);
    return lighting;
}

}  // namespace

RandomSource SeededRandom(uint32_t seed) {
    // A linear congruential generator: repeatable, cheap, and plenty for scattering colours.
    return [state = seed]() mutable {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
}

PreviewEngine::PreviewEngine(RandomSource random) : random_(std::move(random)) {
    if (!random_) random_ = SeededRandom(1);
    ResetPreview();
    InitialiseMode(lighting_.mode);
}

// --- Inputs ---------------------------------------------------------------------------------

void PreviewEngine::ApplyLighting(const LightingInput& lighting,
                                  const std::vector<LightSetting>& perKey) {
    const LightingInput next = Sanitised(lighting);
    const bool modeChanged = next.mode != lighting_.mode;
    lighting_ = next;
    keyEffects_.clear();
    const size_t count = std::min<size_t>(perKey.size(), kLightSlots);
    keyEffects_.reserve(count);
    for (size_t i = 0; i < count; ++i) keyEffects_.push_back({perKey[i], FreshTimers(perKey[i])});
    if (modeChanged || lighting_.mode == 19) StartMode(modeChanged);
    if (lighting_.mode == 24) wheelPositions_.fill(0);
    stepPosition_ = 0;
    playback_ = {};
}

void PreviewEngine::ModeChanged(const LightingInput& lighting) {
    const LightingInput next = Sanitised(lighting);
    const bool modeChanged = next.mode != lighting_.mode;
    lighting_ = next;
    StartMode(modeChanged);
}

void PreviewEngine::SetLighting(const LightingInput& lighting) {
    const LightingInput next = Sanitised(lighting);
    const bool modeChanged = next.mode != lighting_.mode;
    lighting_ = next;
    // A new mode never starts from another mode's leftovers.
    if (modeChanged) StartMode(true);
}

void PreviewEngine::StartMode(bool fromAnotherMode) {
    // Some modes paint only part of the keys; after a switch the rest start dark instead of
    // keeping the last mode's colours. A re-read of the same mode keeps the picture, so the
    // keys do not flash dark until its first step.
    if (fromAnotherMode) colours_.fill(0);
    ResetPreview();
    InitialiseMode(lighting_.mode);
}

void PreviewEngine::SetCustomColours(const std::vector<uint32_t>& colours) {
    customColours_.assign(colours.begin(),
                          colours.begin() + std::min<size_t>(colours.size(), kLightSlots));
    if (lighting_.mode == 19) LoadCustomColours();
}

void PreviewEngine::SetCustomColour(int light, uint32_t colour) {
    if (!IsLight(light)) return;
    if (customColours_.size() <= static_cast<size_t>(light)) customColours_.resize(light + 1, 0);
    customColours_[light] = colour;
    if (lighting_.mode == 19) colours_[light] = colour;
}

void PreviewEngine::SetEffectSteps(const std::vector<LedEffectStep>& steps) {
    effectSteps_ = steps;
    playback_ = {};
}

void PreviewEngine::SetAudio(const AudioInput& audio) {
    audio_ = audio;
    if (audio_.type > 6) audio_.type = 0;
}

// --- Time -----------------------------------------------------------------------------------

int PreviewEngine::StepInterval(int mode, int speed) {
    if (mode < 0 || mode > kLastMode || mode == 0 || mode == 28) return 0;
    if (mode == 29) return 2;
    if (mode == 26) mode = 5;
    if (mode == 27) mode = 23;
    const int clampedSpeed = std::clamp(speed, 0, int{kMaxSpeed});
    return kStepIntervals[mode][clampedSpeed];
}

bool PreviewEngine::Tick(uint64_t nowMs) {
    ++tickCounter_;
    const int mode = lighting_.mode;
    bool stepped = false;
    if (mode == 29) {
        // The audio step runs when the counter exceeds 1, whatever the speed.
        if (tickCounter_ > 1) {
            RunStep(mode, nowMs);
            tickCounter_ = 0;
            stepped = true;
        }
    } else if ((mode >= 1 && mode <= 27) || mode == 30) {
        if (tickCounter_ >= StepInterval(mode, lighting_.speed)) {
            RunStep(mode, nowMs);
            tickCounter_ = 0;
            stepped = true;
        }
    } else {
        StepPlayback(nowMs);
        stepped = true;
    }
    AdvanceKeyEffects(nowMs);
    return stepped;
}

void PreviewEngine::StepMode(uint64_t nowMs) {
    const int mode = lighting_.mode;
    if (mode == 0 || mode == 28) {
        StepPlayback(nowMs);
    } else {
        RunStep(mode, nowMs);
    }
}

void PreviewEngine::RunStep(int mode, uint64_t nowMs) {
    switch (mode) {
        case 1:
            StepHorizontalWave();
            break;
        case 2:
            StepColumnPulse();
            break;
        case 3:
            StepKeySweep();
            break;
        case 4:
            StepWholeWheel();
            break;
        case 5:
            StepBreathing();
            break;
        case 6:
            StepStatic();
            break;
        case 7:
        case 25:
            StepReactiveGlow();
            break;
        case 8:
            StepRipple();
            break;
        case 9:
            StepSidewaysFlash();
            break;
        case 10:
            StepRain();
            break;
        case 11:
            StepOwnWheel();
            break;
        case 12:
            StepRows();
            break;
        case 13:
            StepFountain();
            break;
        case 14:
            StepPhasePulse(1, false);
            break;
        case 15:
            StepPhasePulse(2, true);
            break;
        case 16:
            StepBouncingSweep();
            break;
        case 17:
            StepFixedWheel();
            break;
        case 18:
            StepDiagonals();
            break;
        case 19:
            StepCustomColours();
            break;
        case 20:
            StepOff();
            break;
        case 21:
            StepSnake();
            break;
        case 22:
            StepScriptedShow();
            break;
        case 23:
            StepBlink(nowMs, false);
            break;
        case 24:
            StepRing();
            break;
        case 26:
            StepBasicBreathing();
            break;
        case 27:
            StepBlink(nowMs, true);
            break;
        case 29:
            StepAudio();
            break;
        case 30:
            StepAudioLevels();
            break;
        default:
            StepOff();
            break;  // modes without a step of their own show nothing
    }
}

// --- Reactive entries -----------------------------------------------------------------------

void PreviewEngine::KeyEvent(int light, int action) {
    if (!IsLight(light) || (action != 1 && action != 2)) return;
    switch (PlayingMode()) {
        case 7:
            ReactiveGlowEntry(light, action);
            break;
        case 8:
        case 9:
            SeedPlanes(light, action);
            break;
        case 25:
            ReactiveSpreadEntry(light, action);
            break;
        default:
            break;
    }
}

// --- Reset and initialisers -----------------------------------------------------------------

void PreviewEngine::ResetPreview() {
    ResetAnimation();
    spectrum_.fill(0);
    columnLocks_.fill(1);
    playback_ = {};
}

void PreviewEngine::ResetAnimation() {
    stepPosition_ = 0;
    phaseByte_ = 0;
    levels_.fill(0);
    wheelPositions_.fill(0);
    reactiveStates_.fill(0);
    pressed_.fill(0);
    phases_.fill(0);
    for (auto& plane : planes_) plane.fill(0);
    blinkOn_ = false;
    blinkStarted_ = false;
    basicColourIndex_ = 0;
}

void PreviewEngine::InitialiseMode(int mode) {
    switch (mode) {
        case 13:
            for (auto& plane : planes_) plane[9] |= 0x40;
            break;
        case 14:
            InitialisePhasePulse();
            break;
        case 15:
            for (int c = 0; c < kColumns; ++c) {
                for (int r = 0; r < kRows; ++r) {
                    const uint8_t light = kKeyMatrix[c][r];
                    if (light >= kKeyLights) continue;
                    levels_[light] = kColumnPhases[c][r];
                    wheelPositions_[light] = static_cast<uint8_t>(6 * c);
                }
            }
            break;
        case 16:
            for (auto& plane : planes_) plane[1] |= 0x01;
            break;
        case 19:
            LoadCustomColours();
            break;
        default:
            SpreadWheel();
            break;
    }
}

void PreviewEngine::InitialisePhasePulse() {
    // Each column starts further along the pulse and each row lags the one above it, so the
    // keys pulse in a slanted pattern. The running value is lowered before each row.
    for (int c = 0; c < kColumns; ++c) {
        auto value = static_cast<uint8_t>(-8 * c - 64);
        for (int r = 0; r < kRows; ++r) {
            value = static_cast<uint8_t>(value - 35);
            if (value > 191) value = static_cast<uint8_t>(value - 63);
            const uint8_t light = kKeyMatrix[c][r];
            if (light >= kLightSlots) continue;
            phases_[light] = value;
            wheelPositions_[light] = static_cast<uint8_t>(6 * c);
        }
    }
}

void PreviewEngine::SpreadWheel() {
    int value = 0;
    for (int light = 0; light < kLightSlots; ++light) {
        value += 33;
        if (value > kWheelHues) value -= kWheelHues;
        wheelPositions_[light] = static_cast<uint8_t>(value);
    }
}

void PreviewEngine::LoadCustomColours() {
    for (int light = 0; light < kLightSlots; ++light) {
        colours_[light] =
            static_cast<size_t>(light) < customColours_.size() ? customColours_[light] : 0;
    }
}

// --- State accessors ------------------------------------------------------------------------

uint32_t PreviewEngine::Colour(int light) const { return IsLight(light) ? colours_[light] : 0; }
uint8_t PreviewEngine::Level(int light) const { return IsLight(light) ? levels_[light] : 0; }
uint8_t PreviewEngine::WheelPosition(int light) const {
    return IsLight(light) ? wheelPositions_[light] : 0;
}
uint8_t PreviewEngine::ReactiveState(int light) const {
    return IsLight(light) ? reactiveStates_[light] : 0;
}
uint8_t PreviewEngine::Phase(int light) const { return IsLight(light) ? phases_[light] : 0; }

bool PreviewEngine::ColumnLocked(int column) const {
    return column >= 0 && column < kColumns && columnLocks_[column] != 0;
}

uint8_t PreviewEngine::Plane(int plane, int column) const {
    if (plane < 0 || plane >= 4 || column < 0 || column >= kColumns) return 0;
    return planes_[plane][column];
}

void PreviewEngine::SetPlane(int plane, int column, uint8_t bits) {
    if (plane < 0 || plane >= 4 || column < 0 || column >= kColumns) return;
    planes_[plane][column] = bits;
}

void PreviewEngine::SetLevel(int light, uint8_t level) {
    if (IsLight(light)) levels_[light] = level;
}

// --- Brightness and colour helpers ----------------------------------------------------------

uint8_t PreviewEngine::FullBrightness() const {
    return kBrightnessLevels[std::min(lighting_.brightness, kMaxBrightness)];
}

uint8_t PreviewEngine::ScaledBrightness(uint8_t level) const {
    return static_cast<uint8_t>((FullBrightness() * level) >> 8);
}

uint8_t PreviewEngine::CurveBrightness(uint8_t curveValue) const {
    return static_cast<uint8_t>((curveValue * FullBrightness()) >> 8);
}

uint8_t PreviewEngine::Random192() { return static_cast<uint8_t>(random_() % kWheelHues); }

uint32_t PreviewEngine::RandomBelow(uint32_t limit) { return limit == 0 ? 0 : random_() % limit; }

void PreviewEngine::SetColour(int light, Rgb colour, uint8_t brightness) {
    if (IsLight(light)) colours_[light] = PackColour(colour, brightness);
}

Rgb PreviewEngine::WheelColour(int index) { return kColourWheel[static_cast<uint8_t>(index)]; }

}  // namespace rerov::preview
