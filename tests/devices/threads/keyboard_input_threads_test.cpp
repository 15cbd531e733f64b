// The keyboard's input threads against the UI thread: events from the simulated keyboard
// arrive while the UI thread writes the parameter block, rebuilds the position maps,
// changes the lighting mode and opens and closes the event interface. Run in the
// ThreadSanitizer build (label `threads`), any unguarded access is reported.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "device_link/hid_device.h"
#include "device_link/supported_devices.h"
#include "devices/device_list_entry.h"
#include "devices/device_page_view.h"
#include "devices/keyboard/keyboard_device.h"
#include "sim/simulated_bus.h"
#include "tests/support/sim_paths.h"

namespace rerov {
namespace {

// Only a guard against a hang; meeting takes well under a second.
constexpr std::chrono::seconds kGiveUpAfter{120};
constexpr int kMeetings = 20;

class ThreadedKeyboard : public CZidiraKeyboardDevice {
  public:
    using CZidiraKeyboardDevice::CZidiraKeyboardDevice;
    using CZidiraKeyboardDevice::PublishPositionMaps;
    ~ThreadedKeyboard() override {
        CloseSecondary(kKindKeyboard);
        CloseSecondary(kKindKeyboardReceiver);
    }
    void ReactiveKeyStep(int, int key, int) override {
        lastKey.store(key);
        ++steps;
    }
    std::atomic<int> lastKey{-1};
    std::atomic<int64_t> steps{0};
};

// A page whose UI thread is the test's: posted work waits until the test runs it.
class QueuedView : public DevicePageView {
  public:
    void MapKeyButtons(int, int) override {}
    bool HasKeyButton(int) const override { return false; }
    bool HasLight(int) const override { return false; }
    void PaintLights(const std::vector<uint32_t>&) override {}
    void SetKeyLabel(int, const std::string&) override {}
    void ShowSelectedKey(int) override {}
    bool SelectTab(const std::string&, int) override { return true; }
    void ShowSettings() override { ++shown; }
    void ShowAudioLightSetting(uint32_t, uint32_t, uint32_t) override {}
    void ShowPowerLayout(bool) override {}
    void ShowKeyMarks(int, bool, bool) override {}
    void ShowPowerStatus(const std::array<uint8_t, 6>&) override {}
    void Post(std::function<void()> work) override {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.push_back(std::move(work));
    }
    void RunPosted() {
        std::deque<std::function<void()>> work;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            work.swap(queue_);
        }
        for (auto& item : work) item();
    }
    int shown = 0;  // UI thread only

  private:
    std::mutex mutex_;
    std::deque<std::function<void()>> queue_;
};

class CountingEntry : public DeviceListEntry {
  public:
    void RequestSync(int) override { ++requests; }
    std::atomic<int64_t> requests{0};
};

class KeyboardInputThreads : public ::testing::Test {
  protected:
    void SetUp() override {
        bus_ = std::make_shared<sim::SimulatedBus>();
        keyboard_ = std::make_unique<ThreadedKeyboard>(bus_);
        keyboard_->SetLightCount(kKeyboardKeyCount);
        keyboard_->SetView(&view_);
        keyboard_->SetListEntry(&entry_);
        bus_->Plug(sim::SimPath::KeyboardCable);
        const std::string command = PathOfRow(kKeyboardCableCommandRow);
        ASSERT_TRUE(keyboard_->MainLink().Wired().Open(command, kCommandAccess));
        keyboard_->MainLink().SetLinkMode(LinkMode::Wired);
        keyboard_->MainLink().SetConnected(true);
        events_ = PathOfRow(kKeyboardCableEventRow);
        ASSERT_FALSE(events_.empty());
        keyboard_->OpenSecondary(events_, kKindKeyboard);
    }
    void TearDown() override {
        keyboard_.reset();  // threads end before the view and the entry go
    }

    std::string PathOfRow(int row) const { return test::PathOfRow(*bus_, row); }

    // Sends `code(round)` from a thread of its own until `done` says the UI side has seen
    // enough; false when it gave up.
    bool SendWhile(const std::function<uint16_t(int64_t)>& code,
                   const std::function<bool()>& uiStep) {
        std::atomic<bool> stop{false};
        std::thread sender([&] {
            for (int64_t round = 0; !stop.load(); ++round) {
                bus_->SendEventCode(sim::SimPath::KeyboardCable, code(round));
                // A device sends events at human pace; a flood would only crowd the
                // command replies out of the node's queue (and under the sanitizers every
                // crowded-out reply costs a whole reply time-out).
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
        const auto giveUpAt = std::chrono::steady_clock::now() + kGiveUpAfter;
        bool met = false;
        while (!met && std::chrono::steady_clock::now() < giveUpAt) met = uiStep();
        stop.store(true);
        sender.join();
        return met;
    }

    std::shared_ptr<sim::SimulatedBus> bus_;
    QueuedView view_;
    CountingEntry entry_;
    std::unique_ptr<ThreadedKeyboard> keyboard_;
    std::string events_;
};

TEST_F(KeyboardInputThreads, ProfileReportsMeetParameterWrites) {
    int changes = 0;
    int lastField = -1;
    const bool met = SendWhile(
        [](int64_t round) { return static_cast<uint16_t>(0x1100 + 16 * (round % 16) + round % 3); },
        [&] {
            // The event flood may crowd a reply out of the node's queue: the write's result
            // is not what this test is about, its meeting with the input thread is.
            keyboard_->WriteParameterBlock(0, 0, 1, 0, 0);
            const int field = keyboard_->ParameterBlock()[17];
            if (field != lastField) ++changes;
            lastField = field;
            EXPECT_LT(keyboard_->CurrentOnboardProfile(), 3);
            view_.RunPosted();
            return changes >= kMeetings;
        });
    EXPECT_TRUE(met);
    EXPECT_GT(view_.shown, 0);
}

TEST_F(KeyboardInputThreads, KeyEventsMeetMapRebuildsAndModeChanges) {
    int64_t round = 0;
    int64_t stepsSeen = 0;
    int meetings = 0;
    const bool met = SendWhile([](int64_t r) { return static_cast<uint16_t>(0x500 + r % 4); },
                               [&] {
                                   PositionMaps maps;
                                   for (int key = 0; key < 4; ++key) {
                                       maps.keyPosition[static_cast<uint8_t>(key + round % 5)] =
                                           static_cast<uint8_t>(key);
                                   }
                                   keyboard_->PublishPositionMaps(std::move(maps));
                                   LightingState state = keyboard_->GetLightingState();
                                   state.setting.bytes[LightSetting::kMode] = round % 2 ? 8 : 25;
                                   keyboard_->SetLightingState(state);
                                   ++round;
                                   const int64_t steps = keyboard_->steps.load();
                                   if (steps != stepsSeen) ++meetings;
                                   stepsSeen = steps;
                                   std::this_thread::yield();
                                   return meetings >= kMeetings;
                               });
    EXPECT_TRUE(met);
}

TEST_F(KeyboardInputThreads, TheSlotClosesAndReopensWhileEventsArrive) {
    int cycles = 0;
    int64_t seen = entry_.requests.load();
    const bool met = SendWhile([](int64_t) { return uint16_t{0x401}; },
                               [&] {
                                   keyboard_->CloseSecondary(kKindKeyboard);
                                   EXPECT_FALSE(keyboard_->IsInputThreadRunning(kKindKeyboard));
                                   keyboard_->OpenSecondary(events_, kKindKeyboard);
                                   // A cycle counts once the new thread delivered an event.
                                   const int64_t now = entry_.requests.load();
                                   if (now != seen) ++cycles;
                                   seen = now;
                                   return cycles >= kMeetings;
                               });
    EXPECT_TRUE(met);
}

}  // namespace
}  // namespace rerov
