#pragma once
// PreviewEngine: the keyboard's lighting preview. It plays every lighting mode as the
// device does, one step per tick, into a colour per light; in the host-driven modes 29
// (audio-reactive) and 30 (audio levels) those colours are what the keyboard shows.
//
// The engine is plain data and single-threaded: whoever owns it (the animation runner)
// calls it from one thread at a time and hands it the input of other threads (key events,
// audio records, lighting changes) on that thread. Time comes in as a millisecond count and
// randomness from an injected source, so a run is repeatable.
//
// Files: preview_engine.cpp (state, reset, initialisers, pacing, dispatch),
// preview_primitives.cpp (the shared primitives), preview_modes.cpp (mode steps 1 to 27),
// preview_reactive.cpp (reactive entries and steps), preview_effects.cpp (per-key effects
// and the light-effect playback of modes 0 and 28), preview_audio.cpp (modes 29 and 30 and
// the audio inputs), preview_tables.{h,cpp} (constant tables).

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "devices/custom_light_list.h"
#include "devices/preview/preview_tables.h"
#include "profiles/profile_records.h"

namespace rerov::preview {

/// The light setting as the engine reads it (taken from the page's lighting state).
struct LightingInput {
    uint8_t mode = 0;        // mode index 0..30 (other values play as mode 0)
    uint8_t speed = 0;       // 0..4, larger values count as 4
    uint8_t brightness = 0;  // brightness level 0..4, larger values count as 4
    bool direction = false;  // "Fx"
    bool multiColour = false;
    Rgb colour{};             // the fixed colour
    uint8_t zzccLedMode = 0;  // mode 17's colour choice
    bool operator==(const LightingInput&) const = default;
};

/// The audio light setting (type 0..6, larger values count as 0).
struct AudioInput {
    uint8_t type = 0;
    Rgb background{};
    Rgb foreground{};
    bool sevenColour = false;
    bool operator==(const AudioInput&) const = default;
};

/// A colour of the light colour list: byte 0 red, 1 green, 2 blue, 3 brightness.
inline constexpr uint32_t PackColour(Rgb colour, uint8_t brightness) {
    return uint32_t{colour.red} | (uint32_t{colour.green} << 8) | (uint32_t{colour.blue} << 16) |
           (uint32_t{brightness} << 24);
}

/// Pseudo-random numbers for the modes that scatter colours and drops.
using RandomSource = std::function<uint32_t()>;
/// A source with a fixed seed (the program seeds it from the clock).
RandomSource SeededRandom(uint32_t seed);

/// The engine's tick: one step of a 64-per-second tick counter (15.625 ms).
inline constexpr int64_t kTickPeriodMicroseconds = 15625;

class PreviewEngine {
  public:
    explicit PreviewEngine(RandomSource random = SeededRandom(1));

    // --- Inputs (owner's thread) --------------------------------------------------------
    /// ApplyLighting: takes the light setting and the per-light effect records (one per
    /// light, fresh timers); when the mode index changed or is 19, ResetPreview and the
    /// mode's initialiser run; mode 24 puts every wheel position to 0; the step position
    /// becomes 0.
    void ApplyLighting(const LightingInput& lighting, const std::vector<LightSetting>& perKey);
    /// A mode read back from the device (ReadParameterBlock): takes the setting, then
    /// ResetPreview and the mode's initialiser. Whenever the mode index changes (here, in
    /// ApplyLighting or in SetLighting) the colours start black.
    void ModeChanged(const LightingInput& lighting);
    /// Takes the light setting (brightness, speed or colour edit) without resetting; a
    /// different mode index resets as ModeChanged does.
    void SetLighting(const LightingInput& lighting);
    const LightingInput& Lighting() const { return lighting_; }
    /// The custom group's colours (mode 19's initialiser loads them), one per light.
    void SetCustomColours(const std::vector<uint32_t>& colours);
    /// One light painted by the user in mode 19.
    void SetCustomColour(int light, uint32_t colour);
    /// The custom light effect's steps (modes 0 and 28 play them).
    void SetEffectSteps(const std::vector<LedEffectStep>& steps);
    void SetAudio(const AudioInput& audio);
    const AudioInput& Audio() const { return audio_; }

    // --- Time ---------------------------------------------------------------------------
    /// One tick at time `nowMs`: counts the tick, runs the mode's step when its interval
    /// has passed (modes 1-27 and 30 by the step-interval table, 29 every second tick,
    /// 0 and 28 the playback on every tick), then advances the per-key effects. True when
    /// a step ran.
    bool Tick(uint64_t nowMs);
    /// Runs the current mode's step once (tests, benchmarks).
    void StepMode(uint64_t nowMs);
    /// The ticks between two steps of `mode` at `speed` (mode 26 uses mode 5's, 27 mode
    /// 23's); 0 and 28 give 0 (every tick), 29 gives 2.
    static int StepInterval(int mode, int speed);

    // --- Reactive and audio entries -----------------------------------------------------
    /// A key event for the reactive modes 7, 8, 9 and 25 (light 0..169, action 1 press,
    /// 2 release), also while a playback step of modes 0 and 28 shows one of them; ignored
    /// in other modes, for lights out of range and for other actions.
    void KeyEvent(int light, int action);
    /// One spectrum record: up to 100 bytes (25 little-endian int32 band values); the length
    /// is capped at 500 and bytes past the data's 100 are not read.
    void OnAudioSpectrum(const uint8_t* data, size_t length);
    /// Up to six 32-bit level words (mode 30 paints their low bytes as red, green, blue).
    void OnAudioLevels(const uint32_t* data, size_t count);

    // --- Reset and initialisers ---------------------------------------------------------
    /// Step position and phase byte 0; levels, wheel positions, reactive states, pressed
    /// markers, phases and planes cleared; audio spectrum cleared, column locks set; the
    /// light-effect playback starts again from its first step. The band offset and the beat
    /// accumulator stay.
    void ResetPreview();
    /// The initialiser of `mode` (run once after ResetPreview).
    void InitialiseMode(int mode);

    // --- Output and state (for the owner, tests and benchmarks) -------------------------
    const std::array<uint32_t, kLightSlots>& Colours() const { return colours_; }
    uint32_t Colour(int light) const;
    uint8_t Level(int light) const;
    uint8_t WheelPosition(int light) const;
    uint8_t ReactiveState(int light) const;
    uint8_t Phase(int light) const;
    uint8_t StepPosition() const { return stepPosition_; }
    uint8_t PhaseByte() const { return phaseByte_; }
    uint8_t BandOffset() const { return bandOffset_; }
    int32_t BeatAccumulator() const { return beatAccumulator_; }
    bool ColumnLocked(int column) const;
    int TickCounter() const { return tickCounter_; }
    /// Plane 0..3 (A up-left, B up-right, C down-right, D down-left), column byte 0..22.
    uint8_t Plane(int plane, int column) const;
    /// The per-light effect records with their timers.
    const std::vector<CustomLight>& KeyEffects() const { return keyEffects_; }

    // --- Primitives (public for their table tests) --------------------------------------
    /// Lowers one light's level on `curve` (the mode index unless a step says otherwise).
    void DecayLevel(int light, int curve);
    /// Colour of a light from its level: the fixed colour or (multi-colour) the wheel colour
    /// at its wheel position, at the scaled brightness L[b] * level / 256.
    void PaintByLevel(int light);
    /// A press (action 1) sets the light's first key matrix cell in all four planes.
    void SeedPlanes(int light, int action);
    void LightPlanes();
    void SpreadPlanes();
    void ShiftPlanesSideways();
    /// Plane bytes set directly (tests).
    void SetPlane(int plane, int column, uint8_t bits);
    void SetLevel(int light, uint8_t level);

  private:
    // preview_engine.cpp
    uint8_t FullBrightness() const;                     // L[b]
    uint8_t ScaledBrightness(uint8_t level) const;      // L[b] * level / 256
    uint8_t CurveBrightness(uint8_t curveValue) const;  // curve value * L[b] / 256
    uint8_t Random192();                                // random % 192
    uint32_t RandomBelow(uint32_t limit);               // random % limit (0 for limit 0)
    void SetColour(int light, Rgb colour, uint8_t brightness);
    static Rgb WheelColour(int index);  // the wheel entry at the index's low byte
    void ResetAnimation();              // ResetPreview without the audio and playback parts
    void SpreadWheel();                 // the initialiser of most modes
    void InitialisePhasePulse();        // mode 14's initialiser
    void LoadCustomColours();           // mode 19's initialiser
    void RunStep(int mode, uint64_t nowMs);
    void StartMode(bool fromAnotherMode);  // ResetPreview and the initialiser of the mode

    // preview_modes.cpp: one step per mode (7, 25 and 29, 30 elsewhere)
    void StepHorizontalWave();                            // 1
    void StepColumnPulse();                               // 2
    void StepKeySweep();                                  // 3
    void StepWholeWheel();                                // 4
    void StepBreathing();                                 // 5
    void StepStatic();                                    // 6
    void StepRipple();                                    // 8
    void StepSidewaysFlash();                             // 9
    void StepRain();                                      // 10
    void StepOwnWheel();                                  // 11
    void StepRows();                                      // 12
    void StepFountain();                                  // 13
    void StepPhasePulse(int advance, bool phaseIsLevel);  // 14, 15
    void StepBouncingSweep();                             // 16
    void StepFixedWheel();                                // 17
    void StepDiagonals();                                 // 18
    void StepCustomColours();                             // 19
    void StepOff();                                       // 20
    void StepSnake();                                     // 21
    void StepScriptedShow();                              // 22
    void StepBlink(uint64_t nowMs, bool basicColours);    // 23, 27
    void StepRing();                                      // 24
    void StepBasicBreathing();                            // 26
    void DecayAndPaintKeys();  // DecayLevel (mode's curve) and PaintByLevel for lights 0..125
    void LightUp(int light);   // level 255 and, with multi-colour, a random wheel position
    // Sets `seed` in byte `column` of all four planes when that byte's OR is exactly `alone`.
    void ReseedWhenAlone(int column, uint8_t alone, uint8_t seed);

    // preview_reactive.cpp
    void ReactiveGlowEntry(int light, int action);    // 7
    void ReactiveSpreadEntry(int light, int action);  // 25
    void StepReactiveGlow();                          // 7, 25
    bool NearPressedKey(int column, int row, int light) const;

    // preview_effects.cpp
    void AdvanceKeyEffects(uint64_t nowMs);
    void AdvanceKeyEffect(int light, CustomLight& entry, uint64_t nowMs);
    void StepPlayback(uint64_t nowMs);        // 0, 28
    void StartPlaybackCycle(uint64_t nowMs);  // the playing step's mode starts afresh
    int PlayingMode() const;  // the mode on show: a playback step's own in modes 0 and 28

    // preview_audio.cpp
    void StepAudio();        // 29
    void StepAudioLevels();  // 30
    using AudioBandValues = std::array<int32_t, kAudioBands>;
    AudioBandValues TakeSpectrum();                            // copies the spectrum and clears it
    void StepAudioColumns(const AudioBandValues& bands);       // type 0
    void StepAudioMirroredRows(const AudioBandValues& bands);  // type 1
    void StepAudioRings();                                     // type 2
    void StepAudioDiagonals(const AudioBandValues& bands);     // type 3
    void StepAudioDots(const AudioBandValues& bands);          // type 4
    void StepAudioRows(const AudioBandValues& bands);          // type 5
    void StepAudioSerpentine(const AudioBandValues& bands);    // type 6
    void AdvanceAudioStepCounter(bool movesBandOffset);        // types 0 and 4
    /// A bar light decays unless its trailing neighbour (kNoLight: none) is still at
    /// `bright` or above.
    void DecayAudioCell(int light, int trailing, int bright);
    /// A bar light lit (level 255) or fading; `wheel` is the index the seven-colour flag
    /// takes, first moved on by `advancePerUse` each time it is taken.
    void PaintAudioCell(int light, bool lit, uint8_t& wheel, int advancePerUse);

    RandomSource random_;
    LightingInput lighting_;
    AudioInput audio_;

    std::array<uint32_t, kLightSlots> colours_{};
    std::array<uint8_t, kLightSlots> levels_{};
    std::array<uint8_t, kLightSlots> wheelPositions_{};
    std::array<uint8_t, kLightSlots> reactiveStates_{};
    std::array<uint8_t, kLightSlots> pressed_{};
    std::array<uint8_t, kLightSlots> phases_{};
    std::array<std::array<uint8_t, kColumns>, 4> planes_{};
    uint8_t stepPosition_ = 0;
    uint8_t phaseByte_ = 0;
    uint8_t stepCounter_ = 0;
    uint8_t basicColourIndex_ = 0;
    bool blinkOn_ = false;
    bool blinkStarted_ = false;  // false until the first toggle after a reset
    uint64_t lastBlinkMs_ = 0;
    int tickCounter_ = 0;

    std::vector<uint32_t> customColours_;
    std::vector<CustomLight> keyEffects_;
    std::vector<LedEffectStep> effectSteps_;
    struct Playback {
        size_t step = 0;  // index into effectSteps_
        int32_t cyclesDone = 0;
        uint64_t stepStartMs = 0;
        bool started = false;
        int ticks = 0;       // tick counter of the playing step's own pacing
        bool fresh = false;  // the step's mode has not run since its repetition started
    } playback_;

    // Audio state.
    std::array<int32_t, kAudioBands> spectrum_{};
    std::array<uint32_t, kAudioLevelWords> levelWords_{};
    std::array<uint32_t, kColumns> columnLocks_{};
    uint8_t bandOffset_ = 0;
    uint8_t audioStepCounter_ = 0;
    int32_t beatAccumulator_ = 0;
};

}  // namespace rerov::preview
