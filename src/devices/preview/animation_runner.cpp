#include "devices/preview/animation_runner.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace rerov::preview {

namespace {

constexpr int kHostModeAudio = 29;
constexpr int kHostModeLevels = 30;
constexpr int64_t kMicrosecondsPerMillisecond = 1000;

}  // namespace

bool IsHostDrivenMode(int mode) { return mode == kHostModeAudio || mode == kHostModeLevels; }

bool AnimationRunner::Inbox::Empty() const {
    return events.empty() && !lighting && !customColours && customColourEdits.empty() &&
           !effectSteps && !audio && !levels && keys.empty() && spectra.empty();
}

AnimationRunner::AnimationRunner(ColourSink sink, RunnerPredicate connected,
                                 RunnerPredicate lightingSync, RandomSource random)
    : engine_(std::move(random)),
      sink_(std::move(sink)),
      connected_(std::move(connected)),
      lightingSync_(std::move(lightingSync)) {}

AnimationRunner::~AnimationRunner() { Stop(); }

// --- Thread ---

void AnimationRunner::Start() {
    std::lock_guard<std::mutex> guard(threadLock_);
    if (thread_.joinable()) {
        {
            std::lock_guard<std::mutex> inbox(inboxLock_);
            stopRequested_ = true;
        }
        wakeUp_.notify_all();
        thread_.join();
    }
    {
        std::lock_guard<std::mutex> inbox(inboxLock_);
        stopRequested_ = false;
        wakeRequested_ = false;
    }
    // A new thread paces from its own first pass.
    nextTickUs_.reset();
    thread_ = std::thread([this] { Run(); });
}

void AnimationRunner::Stop() {
    std::lock_guard<std::mutex> guard(threadLock_);
    if (!thread_.joinable()) return;
    {
        std::lock_guard<std::mutex> inbox(inboxLock_);
        stopRequested_ = true;
    }
    wakeUp_.notify_all();
    // The thread waits only on wakeUp_ and checks the stop flag under the inbox lock before
    // every wait, so the join returns within one pass: nothing ever has to be forced.
    thread_.join();
}

bool AnimationRunner::IsRunning() const {
    std::lock_guard<std::mutex> guard(threadLock_);
    return thread_.joinable();
}

int64_t AnimationRunner::SteadyNowUs() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

void AnimationRunner::Run() {
    using Clock = std::chrono::steady_clock;
    for (;;) {
        {
            std::lock_guard<std::mutex> inbox(inboxLock_);
            if (stopRequested_) return;
            wakeRequested_ = false;
        }
        const RunnerWait wait = RunPass(SteadyNowUs());
        std::unique_lock<std::mutex> lock(inboxLock_);
        const auto woken = [this] { return stopRequested_ || wakeRequested_; };
        if (wait.kind == RunnerWait::Kind::UntilWoken) {
            wakeUp_.wait(lock, woken);
        } else {
            const Clock::time_point deadline{std::chrono::microseconds(wait.deadlineUs)};
            wakeUp_.wait_until(lock, deadline, woken);
        }
    }
}

void AnimationRunner::Wake() {
    {
        std::lock_guard<std::mutex> inbox(inboxLock_);
        wakeRequested_ = true;
    }
    wakeUp_.notify_all();
}

void AnimationRunner::SetVisible(bool visible) {
    if (visible_.exchange(visible) != visible) Wake();
}

RunnerCounters AnimationRunner::Counters() const {
    RunnerCounters counters;
    counters.passes = passes_.load();
    counters.ticks = ticks_.load();
    counters.droppedKeyEvents = droppedKeys_.load();
    counters.droppedSpectra = droppedSpectra_.load();
    counters.droppedLightingEvents = droppedEvents_.load();
    return counters;
}

// --- Inputs ---

template <typename Change>
void AnimationRunner::Post(Change change, bool wake) {
    {
        std::lock_guard<std::mutex> inbox(inboxLock_);
        change(inbox_);
        if (wake) wakeRequested_ = true;
    }
    if (wake) wakeUp_.notify_all();
}

void AnimationRunner::ApplyLighting(const LightingInput& lighting,
                                    std::vector<LightSetting> perKey) {
    Post(
        [&](Inbox& inbox) {
            if (inbox.events.size() >= kMaxPendingLightingEvents) {
                inbox.events.erase(inbox.events.begin());
                droppedEvents_.fetch_add(1);
            }
            inbox.events.emplace_back(ApplyEvent{lighting, std::move(perKey)});
            inbox.lighting.reset();
        },
        true);
}

void AnimationRunner::ModeChanged(const LightingInput& lighting) {
    Post(
        [&](Inbox& inbox) {
            if (inbox.events.size() >= kMaxPendingLightingEvents) {
                inbox.events.erase(inbox.events.begin());
                droppedEvents_.fetch_add(1);
            }
            inbox.events.emplace_back(ModeEvent{lighting});
            inbox.lighting.reset();
        },
        true);
}

void AnimationRunner::SetLighting(const LightingInput& lighting) {
    // A new mode may change whether a hidden preview has to run: wake the thread.
    Post([&](Inbox& inbox) { inbox.lighting = lighting; }, true);
}

void AnimationRunner::SetCustomColours(std::vector<uint32_t> colours) {
    Post(
        [&](Inbox& inbox) {
            inbox.customColours = std::move(colours);
            inbox.customColourEdits.clear();
        },
        false);
}

void AnimationRunner::SetCustomColour(int light, uint32_t colour) {
    if (light < 0 || light >= kLightSlots) return;
    Post(
        [&](Inbox& inbox) {
            auto& edits = inbox.customColourEdits;
            const auto found = std::find_if(edits.begin(), edits.end(),
                                            [light](const auto& e) { return e.first == light; });
            if (found != edits.end()) {
                found->second = colour;
            } else {
                edits.emplace_back(light, colour);
            }
        },
        false);
}

void AnimationRunner::SetEffectSteps(std::vector<LedEffectStep> steps) {
    Post([&](Inbox& inbox) { inbox.effectSteps = std::move(steps); }, false);
}

void AnimationRunner::SetAudio(const AudioInput& audio) {
    Post([&](Inbox& inbox) { inbox.audio = audio; }, false);
}

void AnimationRunner::SetAudioLevels(const uint32_t* data, size_t count) {
    if (data == nullptr) return;
    std::vector<uint32_t> words(data, data + std::min<size_t>(count, kAudioLevelWords));
    Post([&](Inbox& inbox) { inbox.levels = std::move(words); }, false);
}

void AnimationRunner::KeyEvent(int light, int action) {
    Post(
        [&](Inbox& inbox) {
            if (inbox.keys.size() >= kMaxPendingKeyEvents) {
                inbox.keys.pop_front();
                droppedKeys_.fetch_add(1);
            }
            inbox.keys.push_back({light, action});
        },
        false);
}

void AnimationRunner::AudioSpectrum(const uint8_t* data, size_t length) {
    if (data == nullptr) return;
    // Copied here: the caller's buffer is its own again when this returns.
    SpectrumRecord record{};
    std::memcpy(record.data(), data, std::min(length, record.size()));
    Post(
        [&](Inbox& inbox) {
            if (inbox.spectra.size() >= kMaxPendingSpectra) {
                inbox.spectra.pop_front();
                droppedSpectra_.fetch_add(1);
            }
            inbox.spectra.push_back(record);
        },
        false);
}

// --- The pass ---

void AnimationRunner::Drain() {
    Inbox taken;
    {
        std::lock_guard<std::mutex> inbox(inboxLock_);
        if (inbox_.Empty()) return;
        std::swap(taken, inbox_);
    }
    Apply(taken);
}

void AnimationRunner::Apply(Inbox& taken) {
    // The custom colours come before the events: mode 19's initialiser loads them.
    if (taken.customColours) engine_.SetCustomColours(*taken.customColours);
    if (taken.effectSteps) engine_.SetEffectSteps(*taken.effectSteps);
    if (taken.audio) engine_.SetAudio(*taken.audio);
    for (const LightingEvent& event : taken.events) {
        if (const auto* apply = std::get_if<ApplyEvent>(&event)) {
            engine_.ApplyLighting(apply->lighting, apply->perKey);
        } else if (const auto* mode = std::get_if<ModeEvent>(&event)) {
            engine_.ModeChanged(mode->lighting);
        }
    }
    if (taken.lighting) engine_.SetLighting(*taken.lighting);
    for (const auto& [light, colour] : taken.customColourEdits) {
        engine_.SetCustomColour(light, colour);
    }
    if (taken.levels) engine_.OnAudioLevels(taken.levels->data(), taken.levels->size());
    for (const SpectrumRecord& record : taken.spectra) {
        engine_.OnAudioSpectrum(record.data(), record.size());
    }
    for (const PendingKey& key : taken.keys) engine_.KeyEvent(key.light, key.action);
}

RunnerWait AnimationRunner::RunPass(int64_t nowUs) {
    passes_.fetch_add(1);
    Drain();
    return Advance(nowUs);
}

RunnerWait AnimationRunner::Advance(int64_t nowUs) {
    const int mode = engine_.Lighting().mode;
    // Hidden: nobody sees the preview, so the thread sleeps until something changes, unless
    // the device itself shows these colours.
    if (!visible_.load() && !IsHostDrivenMode(mode)) {
        nextTickUs_.reset();
        return {RunnerWait::Kind::UntilWoken, 0};
    }
    // Nothing to animate for, or the lighting synchronisation holds the colours: look again
    // later, and start the pace afresh instead of catching up.
    const bool connected = !connected_ || connected_();
    const bool frozen = lightingSync_ && lightingSync_();
    if (!connected || frozen) {
        nextTickUs_.reset();
        return {RunnerWait::Kind::UntilDeadline, nowUs + kIdleRecheckMicroseconds};
    }

    if (!nextTickUs_) nextTickUs_ = nowUs;
    int ran = 0;
    while (*nextTickUs_ <= nowUs && ran < kMaxCatchUpTicks) {
        engine_.Tick(static_cast<uint64_t>(*nextTickUs_ / kMicrosecondsPerMillisecond));
        ticks_.fetch_add(1);
        ++ran;
        *nextTickUs_ += kTickPeriodMicroseconds;
    }
    // Held up for longer than the catch-up allows: the pace starts again from now.
    if (*nextTickUs_ <= nowUs) nextTickUs_ = nowUs + kTickPeriodMicroseconds;
    if (ran > 0 && sink_) sink_(engine_.Colours());
    return {RunnerWait::Kind::UntilDeadline, *nextTickUs_};
}

}  // namespace rerov::preview
