// The animation runner: its pace on a clock the test drives, the order in which it hands
// the inbox to the engine, and its activity rules; then the real thread's wake-ups and stop.

#include "devices/preview/animation_runner.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "tests/devices/preview/preview_test_support.h"

namespace rerov::preview {
namespace {

using testing::Lighting;

constexpr int64_t kStartUs = 5'000'000;  // any point of the runner's clock
constexpr int64_t kPeriod = kTickPeriodMicroseconds;

// A runner whose link, synchronisation flag and sink the test holds.
class RunnerTest : public ::testing::Test {
  protected:
    RunnerTest()
        : runner_(
              [this](const std::array<uint32_t, kLightSlots>& colours) {
                  std::lock_guard<std::mutex> lock(sinkLock_);
                  published_.push_back(colours);
              },
              [this] { return connected_.load(); }, [this] { return synchronised_.load(); }) {}

    size_t Published() {
        std::lock_guard<std::mutex> lock(sinkLock_);
        return published_.size();
    }
    std::array<uint32_t, kLightSlots> LastPublished() {
        std::lock_guard<std::mutex> lock(sinkLock_);
        return published_.empty() ? std::array<uint32_t, kLightSlots>{} : published_.back();
    }
    uint64_t Ticks() const { return runner_.Counters().ticks; }

    // A spectrum record with every band at `value`.
    static std::array<uint8_t, kSpectrumBytes> Spectrum(int32_t value) {
        std::array<uint8_t, kSpectrumBytes> bytes{};
        for (size_t band = 0; band < kAudioBands; ++band) {
            std::memcpy(bytes.data() + 4 * band, &value, sizeof value);
        }
        return bytes;
    }

    std::atomic<bool> connected_{true};
    std::atomic<bool> synchronised_{false};
    std::mutex sinkLock_;
    std::vector<std::array<uint32_t, kLightSlots>> published_;
    AnimationRunner runner_;
};

// --- Pace ---

TEST_F(RunnerTest, OnePassEveryMillisecondForOneSecondRunsSixtyFourTicksAfterTheFirst) {
    runner_.ApplyLighting(Lighting(1, 4), {});
    for (int64_t t = kStartUs; t <= kStartUs + 1'000'000; t += 1000) runner_.RunPass(t);
    // Ticks at the start and at every 15.625 ms after it up to the second.
    EXPECT_EQ(Ticks(), 65u);
    EXPECT_EQ(Published(), 65u);
}

TEST_F(RunnerTest, WakingLateNeverShiftsTheDeadlines) {
    runner_.ApplyLighting(Lighting(1, 4), {});
    RunnerWait wait = runner_.RunPass(kStartUs);
    const int periods = 640;  // ten seconds
    for (int k = 1; k <= periods; ++k) {
        ASSERT_EQ(wait.kind, RunnerWait::Kind::UntilDeadline);
        ASSERT_EQ(wait.deadlineUs, kStartUs + k * kPeriod) << "deadline drifted at tick " << k;
        // The thread wakes up to 3 ms late, as a busy machine makes it.
        wait = runner_.RunPass(wait.deadlineUs + (k * 7919) % 3000);
    }
    EXPECT_EQ(Ticks(), static_cast<uint64_t>(periods) + 1);
}

TEST_F(RunnerTest, AHeldUpThreadCatchesUpAFewTicksThenPacesFromNow) {
    runner_.ApplyLighting(Lighting(1, 4), {});
    runner_.RunPass(kStartUs);
    const int64_t late = kStartUs + 20 * kPeriod;
    const RunnerWait wait = runner_.RunPass(late);
    EXPECT_EQ(Ticks(), 1u + kMaxCatchUpTicks);
    EXPECT_EQ(wait.deadlineUs, late + kPeriod);
}

TEST_F(RunnerTest, APassBeforeTheDeadlineRunsNoTick) {
    runner_.ApplyLighting(Lighting(1, 4), {});
    runner_.RunPass(kStartUs);
    const RunnerWait wait = runner_.RunPass(kStartUs + kPeriod - 1);
    EXPECT_EQ(Ticks(), 1u);
    EXPECT_EQ(wait.deadlineUs, kStartUs + kPeriod);
}

// --- Inbox ---

TEST_F(RunnerTest, LightingEventsApplyInTheOrderTheyCame) {
    runner_.ApplyLighting(Lighting(1), {});
    runner_.ModeChanged(Lighting(6));
    runner_.RunPass(kStartUs);
    EXPECT_EQ(runner_.Engine().Lighting().mode, 6);

    runner_.ModeChanged(Lighting(3));
    runner_.ApplyLighting(Lighting(2), {});
    runner_.RunPass(kStartUs + kPeriod);
    EXPECT_EQ(runner_.Engine().Lighting().mode, 2);
}

TEST_F(RunnerTest, ALaterEventReplacesAnEarlierSettingAndALaterSettingWins) {
    runner_.SetLighting(Lighting(4, 2, 1));
    runner_.ApplyLighting(Lighting(5, 2, 3), {});
    runner_.RunPass(kStartUs);
    EXPECT_EQ(runner_.Engine().Lighting(), Lighting(5, 2, 3));

    runner_.ApplyLighting(Lighting(5, 2, 3), {});
    runner_.SetLighting(Lighting(5, 0, 2));
    runner_.SetLighting(Lighting(5, 1, 2));
    runner_.RunPass(kStartUs + kPeriod);
    EXPECT_EQ(runner_.Engine().Lighting(), Lighting(5, 1, 2));
}

TEST_F(RunnerTest, EverySpectrumReachesTheBeatCounterInOrder) {
    AudioInput rings;
    rings.type = 2;
    runner_.SetAudio(rings);
    runner_.ModeChanged(Lighting(29));
    runner_.RunPass(kStartUs);
    // Every band at 2000 adds 25 per record; the counter restarts on reaching 71, so after
    // seven records it stands at 25 — only if none was lost or merged.
    const auto loud = Spectrum(2000);
    for (int i = 0; i < 7; ++i) runner_.AudioSpectrum(loud.data(), 500);
    runner_.RunPass(kStartUs + kPeriod);
    EXPECT_EQ(runner_.Engine().BeatAccumulator(), 25);
    EXPECT_EQ(runner_.Counters().droppedSpectra, 0u);
}

TEST_F(RunnerTest, AFullInboxDropsTheOldestKeyEventsAndSpectra) {
    const auto quiet = Spectrum(0);
    for (size_t i = 0; i < kMaxPendingSpectra + 5; ++i) runner_.AudioSpectrum(quiet.data(), 100);
    for (size_t i = 0; i < kMaxPendingKeyEvents + 3; ++i) runner_.KeyEvent(10, 1);
    EXPECT_EQ(runner_.Counters().droppedSpectra, 5u);
    EXPECT_EQ(runner_.Counters().droppedKeyEvents, 3u);
}

TEST_F(RunnerTest, AKeyPressReachesTheEngineBeforeTheTick) {
    runner_.ModeChanged(Lighting(7, 4));
    runner_.RunPass(kStartUs);
    runner_.KeyEvent(45, 1);
    runner_.RunPass(kStartUs + kPeriod);
    EXPECT_EQ(runner_.Engine().ReactiveState(45), 1);
    EXPECT_NE(LastPublished()[45] >> 24, 0u) << "the pressed key's light is not lit";
}

TEST_F(RunnerTest, TheSinkGetsTheEnginesColours) {
    runner_.ModeChanged(Lighting(30, 4, 4));
    const uint32_t red[kAudioLevelWords] = {255, 0, 0, 0, 0, 0};
    runner_.SetAudioLevels(red, kAudioLevelWords);
    runner_.RunPass(kStartUs);
    EXPECT_EQ(LastPublished()[0], PackColour({255, 0, 0}, 255));
    EXPECT_EQ(LastPublished(), runner_.Engine().Colours());
}

// --- Activity rules ---

TEST_F(RunnerTest, TheColoursStayFrozenWhileTheSynchronisationHoldsThem) {
    runner_.ModeChanged(Lighting(4, 4));
    runner_.RunPass(kStartUs);
    const auto before = LastPublished();
    synchronised_ = true;
    RunnerWait wait{};
    for (int64_t t = kStartUs + kPeriod; t < kStartUs + 500'000; t += kPeriod) {
        wait = runner_.RunPass(t);
    }
    EXPECT_EQ(Ticks(), 1u);
    EXPECT_EQ(Published(), 1u);
    EXPECT_EQ(LastPublished(), before);
    EXPECT_EQ(wait.kind, RunnerWait::Kind::UntilDeadline);

    synchronised_ = false;
    runner_.RunPass(kStartUs + 600'000);
    EXPECT_EQ(Ticks(), 2u);
}

TEST_F(RunnerTest, WithoutALinkTheThreadLooksAgainEveryHundredMilliseconds) {
    connected_ = false;
    runner_.ModeChanged(Lighting(4, 4));
    const RunnerWait wait = runner_.RunPass(kStartUs);
    EXPECT_EQ(Ticks(), 0u);
    EXPECT_EQ(wait, (RunnerWait{RunnerWait::Kind::UntilDeadline, kStartUs + 100'000}));
}

TEST_F(RunnerTest, AHiddenPreviewSleepsUntilWokenUnlessTheDeviceShowsItsColours) {
    struct Case {
        int mode;
        bool ticks;
    };
    const Case cases[] = {{1, false}, {7, false}, {19, false}, {28, false}, {29, true}, {30, true}};
    for (const Case& c : cases) {
        AnimationRunner runner([](const auto&) {}, [] { return true; }, [] { return false; });
        runner.ModeChanged(Lighting(c.mode, 4));
        runner.SetVisible(false);
        const RunnerWait wait = runner.RunPass(kStartUs);
        EXPECT_EQ(runner.Counters().ticks, c.ticks ? 1u : 0u) << "mode " << c.mode;
        EXPECT_EQ(wait.kind,
                  c.ticks ? RunnerWait::Kind::UntilDeadline : RunnerWait::Kind::UntilWoken)
            << "mode " << c.mode;
    }
}

TEST_F(RunnerTest, ShownAgainThePaceStartsFromNow) {
    runner_.ModeChanged(Lighting(1, 4));
    runner_.RunPass(kStartUs);
    runner_.SetVisible(false);
    runner_.RunPass(kStartUs + kPeriod);
    runner_.SetVisible(true);
    const int64_t back = kStartUs + 60 * kPeriod;
    const RunnerWait wait = runner_.RunPass(back);
    EXPECT_EQ(Ticks(), 2u) << "the hidden time is not caught up";
    EXPECT_EQ(wait.deadlineUs, back + kPeriod);
}

// --- The thread ---

// Waits for a condition other threads change (generously: the machine is shared).
template <typename Predicate>
bool Eventually(Predicate ready, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!ready()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

TEST_F(RunnerTest, AHiddenPreviewDoesNotWakeUntilShown) {
    runner_.ModeChanged(Lighting(1, 4));
    runner_.SetVisible(false);
    runner_.Start();
    ASSERT_TRUE(Eventually([&] { return runner_.Counters().passes >= 1; }));
    // Nothing wakes it: the count stays where the first pass left it.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(runner_.Counters().passes, 1u);
    EXPECT_EQ(Ticks(), 0u);

    runner_.SetVisible(true);
    EXPECT_TRUE(Eventually([&] { return Ticks() >= 3; }));
    runner_.Stop();
}

TEST_F(RunnerTest, AHiddenPreviewInAHostModeKeepsTicking) {
    runner_.ModeChanged(Lighting(30, 4));
    runner_.SetVisible(false);
    runner_.Start();
    EXPECT_TRUE(Eventually([&] { return Ticks() >= 3; }));
    runner_.Stop();
}

TEST_F(RunnerTest, StopEndsAThreadThatWaitsForeverAtOnce) {
    runner_.SetVisible(false);
    runner_.Start();
    ASSERT_TRUE(Eventually([&] { return runner_.Counters().passes >= 1; }));
    const auto before = std::chrono::steady_clock::now();
    runner_.Stop();
    EXPECT_FALSE(runner_.IsRunning());
    // Far below the second a forced end would have waited; the join needs no time-out.
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(500));
}

TEST_F(RunnerTest, StartAgainReplacesTheThreadAndInputsStillArrive) {
    runner_.Start();
    runner_.Start();
    EXPECT_TRUE(runner_.IsRunning());
    runner_.ModeChanged(Lighting(30, 4));
    const uint32_t green[kAudioLevelWords] = {0, 255, 0, 0, 0, 0};
    runner_.SetAudioLevels(green, kAudioLevelWords);
    EXPECT_TRUE(Eventually([&] { return LastPublished()[3] == PackColour({0, 255, 0}, 255); }));
    runner_.Stop();
    runner_.Stop();  // a second stop finds nothing to do
    EXPECT_FALSE(runner_.IsRunning());
}

}  // namespace
}  // namespace rerov::preview
