// The keyboard's animation thread against everything else that touches the preview: the UI
// thread changes the lighting, the audio setting, the custom colours, the visibility and the
// synchronisation flag and repaints from the colour list (sending frames in the host modes);
// the input thread hands in key events from the simulated keyboard; an audio thread hands in
// spectra and level words. Run in the ThreadSanitizer build (label `threads`), any unguarded
// access is reported.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "device_link/hid_device.h"
#include "device_link/supported_devices.h"
#include "devices/device_page_view.h"
#include "devices/keyboard/keyboard_device.h"
#include "sim/simulated_bus.h"
#include "tests/support/sim_paths.h"

namespace rerov {
namespace {

// Only a guard against a hang; meeting takes well under a second.
constexpr std::chrono::seconds kGiveUpAfter{120};
constexpr int kMeetings = 20;
constexpr uint8_t kKeyPositions = 126;

// Counts the repaints the lighting frame makes; the UI thread is the test's.
class PaintCountingView : public DevicePageView {
  public:
    void MapKeyButtons(int, int) override {}
    bool HasKeyButton(int) const override { return false; }
    bool HasLight(int) const override { return true; }
    void PaintLights(const std::vector<uint32_t>& colours) override {
        ++paints;
        for (uint32_t c : colours) lit += c != 0 ? 1 : 0;
    }
    void SetKeyLabel(int, const std::string&) override {}
    void ShowSelectedKey(int) override {}
    bool SelectTab(const std::string&, int) override { return true; }
    void ShowSettings() override {}
    void ShowAudioLightSetting(uint32_t, uint32_t, uint32_t) override {}
    void ShowPowerLayout(bool) override {}
    void ShowKeyMarks(int, bool, bool) override {}
    void ShowPowerStatus(const std::array<uint8_t, 6>&) override {}
    void Post(std::function<void()> work) override { work(); }
    int paints = 0;  // UI thread only
    int64_t lit = 0;
};

class KeyboardPreviewThreads : public ::testing::Test {
  protected:
    void SetUp() override {
        bus_ = std::make_shared<sim::SimulatedBus>();
        keyboard_ = std::make_unique<CZidiraKeyboardDevice>(bus_);
        keyboard_->SetLightCount(kKeyboardKeyCount);
        keyboard_->SetView(&view_);
        std::array<uint8_t, kDeviceInfoBlockSize> info{};
        info[kInfoKeyPositionCount] = kKeyPositions;
        keyboard_->SetDeviceInfo(info);
        bus_->Plug(sim::SimPath::KeyboardCable);
        ASSERT_TRUE(keyboard_->MainLink().Wired().Open(PathOfRow(kKeyboardCableCommandRow),
                                                       kCommandAccess));
        keyboard_->MainLink().SetLinkMode(LinkMode::Wired);
        keyboard_->MainLink().SetConnected(true);
        ASSERT_TRUE(keyboard_->ReadGeometry());
        keyboard_->OpenSecondary(PathOfRow(kKeyboardCableEventRow), kKindKeyboard);
    }
    void TearDown() override { keyboard_.reset(); }

    std::string PathOfRow(int row) const { return test::PathOfRow(*bus_, row); }

    void SetMode(int mode, int round) {
        LightSetting setting = keyboard_->GetLightSetting();
        setting.bytes[LightSetting::kMode] = static_cast<uint8_t>(mode);
        setting.bytes[LightSetting::kSpeed] = 4;
        setting.bytes[LightSetting::kBrightness] = static_cast<uint8_t>(1 + round % 4);
        setting.bytes[LightSetting::kRed] = 255;
        keyboard_->SetLightSetting(setting);
    }

    std::shared_ptr<sim::SimulatedBus> bus_;
    PaintCountingView view_;
    std::unique_ptr<CZidiraKeyboardDevice> keyboard_;
};

TEST_F(KeyboardPreviewThreads, TheAnimationMeetsLightingChangesKeysAudioAndRepaints) {
    keyboard_->StartAnimation();
    std::atomic<bool> stop{false};

    // The keyboard's own key presses and releases, at a typist's pace.
    std::thread typist([&] {
        for (int round = 0; !stop.load(); ++round) {
            const auto position = static_cast<uint16_t>(round % 40);
            bus_->SendEventCode(sim::SimPath::KeyboardCable,
                                static_cast<uint16_t>((round % 2 ? 0x600 : 0x500) + position));
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    // The audio bridge's records.
    std::thread audio([&] {
        std::vector<uint8_t> spectrum(500 * 4, 0);
        for (int32_t round = 0; !stop.load(); ++round) {
            for (size_t band = 0; band < 25; ++band) {
                const int32_t value = (round * 37 + static_cast<int32_t>(band) * 101) % 2400;
                std::memcpy(spectrum.data() + 4 * band, &value, sizeof value);
            }
            keyboard_->OnAudioSpectrum(spectrum.data(), 500);
            const uint32_t levels[6] = {static_cast<uint32_t>(round % 256), 40, 200, 0, 0, 0};
            keyboard_->OnAudioLevels(levels, 6);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });

    // The UI thread: every round changes something the animation reads, then repaints.
    constexpr int kModes[] = {7, 29, 30, 1, 19, 25, 29, 8};
    int meetings = 0;
    uint64_t ticksSeen = keyboard_->AnimationCounters().ticks;
    const auto giveUpAt = std::chrono::steady_clock::now() + kGiveUpAfter;
    for (int round = 0; meetings < kMeetings && std::chrono::steady_clock::now() < giveUpAt;
         ++round) {
        SetMode(kModes[(round / 4) % std::size(kModes)], round);
        keyboard_->SetAudioLightSetting(static_cast<uint32_t>(round % 7), 0x00FF0000u,
                                        static_cast<uint32_t>(round % 2));
        keyboard_->PaintCustomKey(round % 126, -1, -1);
        keyboard_->SetPreviewVisible(round % 5 != 0);
        keyboard_->MainLink().SetLightingSync(round % 7 == 0);
        keyboard_->StreamLightFrame();
        for (int light = 0; light < kKeyboardKeyCount; ++light)
            (void)keyboard_->GetLightColor(light);

        const uint64_t ticks = keyboard_->AnimationCounters().ticks;
        if (ticks != ticksSeen) ++meetings;
        ticksSeen = ticks;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    stop.store(true);
    typist.join();
    audio.join();
    keyboard_->StopAnimation();

    EXPECT_GE(meetings, kMeetings);
    EXPECT_GT(view_.paints, 0);
    EXPECT_GT(keyboard_->LightFramesSent(), 0u) << "the host modes sent no frame";
    EXPECT_FALSE(keyboard_->IsAnimationRunning());
}

TEST_F(KeyboardPreviewThreads, TheDeviceGoesAwayWhileTheAnimationRuns) {
    SetMode(4, 0);
    for (int round = 0; round < kMeetings; ++round) {
        keyboard_->StartAnimation();
        const uint64_t ticks = keyboard_->AnimationCounters().ticks;
        const auto giveUpAt = std::chrono::steady_clock::now() + kGiveUpAfter;
        while (keyboard_->AnimationCounters().ticks == ticks &&
               std::chrono::steady_clock::now() < giveUpAt) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        keyboard_->MainLink().SetConnected(round % 2 == 0);
        keyboard_->StopAnimation();
        EXPECT_FALSE(keyboard_->IsAnimationRunning());
        keyboard_->MainLink().SetConnected(true);
    }
}

}  // namespace
}  // namespace rerov
