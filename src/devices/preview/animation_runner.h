#pragma once
// AnimationRunner: owns a keyboard's PreviewEngine and the animation thread that plays it.
// The engine is single-threaded; everything other threads hand it (lighting changes from
// the UI thread, key events from the input thread, audio records from the audio bridge)
// goes through a small locked inbox that the thread drains before each tick. After each
// tick the engine's colours go to the sink given at construction (the keyboard's light
// colour list, atomic words, so the page's repaint never waits on the engine).
//
// Pacing: one engine tick per kTickPeriodMicroseconds (64 per second) on deadlines of a
// steady clock, each deadline the previous one plus the period, so the ticks do not drift.
//
// Activity: the thread steps only while the owner's link is connected and the lighting
// synchronisation does not hold the colours; while the preview is not visible it sleeps
// until woken, unless the mode is host-driven (29, 30), whose frames must keep flowing.
//
// Std only (no Qt), so the runner runs in the CLI, the tests and the benchmarks.

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <variant>
#include <vector>

#include "devices/preview/preview_engine.h"

namespace rerov::preview {

/// Receives the engine's colours after each tick (animation thread).
using ColourSink = std::function<void(const std::array<uint32_t, kLightSlots>& colours)>;
/// A condition the thread asks before each pass (animation thread; must not block).
using RunnerPredicate = std::function<bool()>;

/// Key events and spectrum records waiting in the inbox beyond these drop their oldest.
inline constexpr size_t kMaxPendingKeyEvents = 64;
inline constexpr size_t kMaxPendingSpectra = 32;
/// ApplyLighting and ModeChanged events kept in order; the thread is woken for each, so
/// only a stalled thread ever reaches the limit (then the oldest goes).
inline constexpr size_t kMaxPendingLightingEvents = 16;
/// The bytes of one spectrum record the engine reads (25 little-endian int32 bands).
inline constexpr size_t kSpectrumBytes = 4 * kAudioBands;
/// How long the thread sleeps before looking again while the link is not connected or the
/// lighting synchronisation holds the colours.
inline constexpr int64_t kIdleRecheckMicroseconds = 100000;
/// Ticks run at most in one pass to catch up after the thread was held up; past that
/// the pace starts again from now instead of racing through the backlog.
inline constexpr int kMaxCatchUpTicks = 4;

/// What the thread does after a pass.
struct RunnerWait {
    enum class Kind {
        UntilDeadline,  // sleep until `deadlineUs` (or a wake-up)
        UntilWoken,     // sleep until woken (hidden preview in a mode the device plays)
    };
    Kind kind = Kind::UntilWoken;
    int64_t deadlineUs = 0;  // on the runner's clock, microseconds
    bool operator==(const RunnerWait&) const = default;
};

/// Counters of the runner (any thread).
struct RunnerCounters {
    uint64_t passes = 0;            // passes of the thread's loop (wake-ups)
    uint64_t ticks = 0;             // engine ticks run
    uint64_t droppedKeyEvents = 0;  // key events the full inbox dropped
    uint64_t droppedSpectra = 0;    // spectrum records the full inbox dropped
    uint64_t droppedLightingEvents = 0;
};

class AnimationRunner {
  public:
    /// `sink` gets the colours after each tick; `connected` and `lightingSync` are the main
    /// link's connected flag and lighting-synchronisation flag (empty: connected, never
    /// synchronised). The thread starts with Start.
    AnimationRunner(ColourSink sink, RunnerPredicate connected, RunnerPredicate lightingSync,
                    RandomSource random = SeededRandom(1));
    /// Stops the thread.
    ~AnimationRunner();
    AnimationRunner(const AnimationRunner&) = delete;
    AnimationRunner& operator=(const AnimationRunner&) = delete;

    // --- Thread (owner's thread) ----------------------------------------------------------
    /// Stops a running thread, then starts a new one on the steady clock.
    void Start();
    /// Sets the stop flag, wakes the thread and joins it. The thread never holds the inbox
    /// lock while stepping and waits only on the runner's condition variable, so it ends
    /// at once: no time-out and no forced end are needed. Nothing happens when none runs.
    void Stop();
    bool IsRunning() const;

    // --- Activity (any thread) ------------------------------------------------------------
    /// The preview is on screen (window shown, not minimised, the page the one shown).
    /// True at construction.
    void SetVisible(bool visible);
    bool Visible() const { return visible_.load(); }
    /// Makes the thread look at its predicates again at once (a flag it asks changed).
    void Wake();

    // --- Inputs (any thread) --------------------------------------------------------------
    /// Events, applied in the order they were handed in: the profile's lighting with the
    /// per-light records, and a mode read back from the device. Either replaces a pending
    /// SetLighting, which it carries itself.
    void ApplyLighting(const LightingInput& lighting, std::vector<LightSetting> perKey);
    void ModeChanged(const LightingInput& lighting);
    /// Latest wins: the light setting without a reset, the custom colours, the effect steps,
    /// the audio light setting and the audio level words.
    void SetLighting(const LightingInput& lighting);
    void SetCustomColours(std::vector<uint32_t> colours);
    /// One light painted by the user (mode 19); kept per light, the latest colour wins, and
    /// applied after a pending SetCustomColours.
    void SetCustomColour(int light, uint32_t colour);
    void SetEffectSteps(std::vector<LedEffectStep> steps);
    void SetAudio(const AudioInput& audio);
    /// Up to kAudioLevelWords level words (more are not read).
    void SetAudioLevels(const uint32_t* data, size_t count);
    /// A key event for the reactive modes (light index, 1 press or 2 release); the oldest
    /// goes past kMaxPendingKeyEvents.
    void KeyEvent(int light, int action);
    /// A spectrum record; every record reaches the engine in order (its beat detection
    /// counts them) unless more than kMaxPendingSpectra wait, then the oldest goes.
    void AudioSpectrum(const uint8_t* data, size_t length);

    // --- Manual driving (tests, benchmarks; only while no thread runs) -------------------
    /// One pass of the thread at `nowUs`: drains the inbox, runs the ticks that are due by
    /// the activity rules and publishes the colours; returns how the thread would wait.
    RunnerWait RunPass(int64_t nowUs);
    /// The engine, for inspection (only while no thread runs).
    const PreviewEngine& Engine() const { return engine_; }

    RunnerCounters Counters() const;

  private:
    struct ApplyEvent {
        LightingInput lighting;
        std::vector<LightSetting> perKey;
    };
    struct ModeEvent {
        LightingInput lighting;
    };
    using LightingEvent = std::variant<ApplyEvent, ModeEvent>;
    struct PendingKey {
        int light;
        int action;
    };
    using SpectrumRecord = std::array<uint8_t, kSpectrumBytes>;

    // What other threads handed in since the last drain. Guarded by inboxLock_.
    struct Inbox {
        std::vector<LightingEvent> events;
        std::optional<LightingInput> lighting;
        std::optional<std::vector<uint32_t>> customColours;
        std::vector<std::pair<int, uint32_t>> customColourEdits;
        std::optional<std::vector<LedEffectStep>> effectSteps;
        std::optional<AudioInput> audio;
        std::optional<std::vector<uint32_t>> levels;
        std::deque<PendingKey> keys;
        std::deque<SpectrumRecord> spectra;
        bool Empty() const;
    };

    void Run();
    // Moves the inbox out under the lock, then hands it to the engine without it.
    void Drain();
    void Apply(Inbox& taken);
    // The step of a pass after the drain (see RunPass).
    RunnerWait Advance(int64_t nowUs);
    // Stores under the lock and wakes the thread when `wake` is set.
    template <typename Change>
    void Post(Change change, bool wake);
    static int64_t SteadyNowUs();

    PreviewEngine engine_;  // animation thread only (or the manual driver)
    ColourSink sink_;
    RunnerPredicate connected_;
    RunnerPredicate lightingSync_;

    mutable std::mutex inboxLock_;
    std::condition_variable wakeUp_;
    Inbox inbox_;
    bool wakeRequested_ = false;  // under inboxLock_
    bool stopRequested_ = false;  // under inboxLock_

    std::atomic<bool> visible_{true};
    std::optional<int64_t> nextTickUs_;  // animation thread only

    std::atomic<uint64_t> passes_{0};
    std::atomic<uint64_t> ticks_{0};
    std::atomic<uint64_t> droppedKeys_{0};
    std::atomic<uint64_t> droppedSpectra_{0};
    std::atomic<uint64_t> droppedEvents_{0};

    mutable std::mutex threadLock_;  // Start, Stop and IsRunning
    std::thread thread_;
};

/// True for the modes whose colours the host sends to the device (29, 30).
bool IsHostDrivenMode(int mode);

}  // namespace rerov::preview
