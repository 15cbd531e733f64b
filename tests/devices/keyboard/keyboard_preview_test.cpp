// The keyboard's live preview on the simulated keyboard: after the read-out its animation
// thread runs; in mode 29 the spectra the audio bridge hands in become the frames the
// keyboard receives, and in mode 7 a key pressed on the keyboard lights its own light.

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <set>
#include <thread>
#include <vector>

#include "devices/keyboard/light_tables.h"
#include "devices/keyboard/preview_inputs.h"
#include "tests/devices/keyboard/keyboard_observed.h"

namespace rerov::test {
namespace {

constexpr auto kGiveUpAfter = std::chrono::seconds(10);

class KeyboardPreview : public KeyboardSimTest {
  protected:
    void SetUp() override {
        KeyboardSimTest::SetUp();
        Connect();
        device_->ReadAll();
        ASSERT_TRUE(device_->IsAnimationRunning());
    }

    void SetMode(int mode) {
        LightSetting setting = device_->GetLightSetting();
        setting.bytes[LightSetting::kMode] = static_cast<uint8_t>(mode);
        setting.bytes[LightSetting::kSpeed] = 4;
        setting.bytes[LightSetting::kBrightness] = 4;
        setting.bytes[LightSetting::kMultiColor] = 0;
        setting.bytes[LightSetting::kRed] = 0;
        setting.bytes[LightSetting::kGreen] = 255;
        setting.bytes[LightSetting::kBlue] = 0;
        device_->SetLightSetting(setting);
    }

    // One spectrum record as the audio bridge hands it: 25 bands at `value`, 500 values.
    void FeedSpectrum(int32_t value) {
        std::vector<uint8_t> record(500 * 4, 0);
        for (size_t band = 0; band < 25; ++band) {
            std::memcpy(record.data() + 4 * band, &value, sizeof value);
        }
        device_->OnAudioSpectrum(record.data(), 500);
    }
};

TEST_F(KeyboardPreview, Mode29StreamsTheSpectrumToTheKeyboardAsFrames) {
    AudioLightSetting bars;  // type 0: one bar per column, blue on black
    bars.bytes[AudioLightSetting::kMode] = 0;
    bars.bytes[AudioLightSetting::kForeground + 2] = 255;
    const AudioLightWords words = keyboard::PackAudioLight(bars);
    device_->SetAudioLightSetting(words.type, words.colour, words.option);
    SetMode(29);

    // The list entry's 50 ms frames while the music plays loud, then goes quiet.
    std::set<std::vector<uint8_t>> frames;
    bool sawLit = false;
    const auto giveUpAt = std::chrono::steady_clock::now() + kGiveUpAfter;
    for (int round = 0; std::chrono::steady_clock::now() < giveUpAt; ++round) {
        FeedSpectrum(round < 10 ? 2000 : 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        device_->StreamLightFrame();
        const std::vector<uint8_t> frame = Firmware().LightFrame();
        frames.insert(frame);
        for (uint8_t byte : frame) sawLit = sawLit || byte != 0;
        if (round >= 30 && sawLit && frames.size() >= 3) break;
    }
    EXPECT_FALSE(Sent(kCmdStreamLightFrame).empty());
    EXPECT_TRUE(sawLit) << "no lit bar reached the keyboard";
    EXPECT_GE(frames.size(), 3u) << "the frames did not follow the spectrum";
    EXPECT_GT(device_->LightFramesSent(), 0u);
}

TEST_F(KeyboardPreview, AKeyPressedInMode7LightsItsOwnLight) {
    device_->OpenSecondary(PathOfRow(kKeyboardCableEventRow), kKindKeyboard);
    SetMode(7);
    constexpr int kKey = 45;  // a letter key in the middle of the board
    const uint8_t position = device_->KeyPosition(kKey);
    ASSERT_NE(position, kNoPosition);
    ASSERT_TRUE(bus_->PressKey(position, true));

    const auto giveUpAt = std::chrono::steady_clock::now() + kGiveUpAfter;
    while (keyboard::BrightnessOf(device_->GetLightColor(kKey)) == 0 &&
           std::chrono::steady_clock::now() < giveUpAt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const uint32_t lit = device_->GetLightColor(kKey);
    EXPECT_GT(keyboard::BrightnessOf(lit), 0);
    EXPECT_EQ(keyboard::GreenOf(lit), 255);
    for (int other : {kKey - 1, kKey + 1, 0, 100}) {
        EXPECT_EQ(keyboard::BrightnessOf(device_->GetLightColor(other)), 0) << "light " << other;
    }
}

TEST_F(KeyboardPreview, AHiddenPreviewIsNotPaintedButHostFramesStillGo) {
    QueueingPageView view;
    device_->SetView(&view);
    SetMode(1);
    device_->SetPreviewVisible(false);
    device_->StreamLightFrame();
    EXPECT_TRUE(view.painted.empty());

    SetMode(30);
    ClearTrace();
    device_->StreamLightFrame();
    EXPECT_TRUE(view.painted.empty());
    EXPECT_FALSE(Sent(kCmdStreamLightFrame).empty()) << "the device shows these frames";

    device_->SetPreviewVisible(true);
    device_->StreamLightFrame();
    EXPECT_EQ(view.painted.size(), 1u);
    device_->SetView(nullptr);
}

TEST_F(KeyboardPreview, AFrameThatFindsThePreviousStillGoingOutIsSkipped) {
    SetMode(30);
    // Slow reports keep the first frame on its way while the second one comes.
    bus_->SetLatency(std::chrono::milliseconds(20));
    ClearTrace();
    std::thread first([&] { device_->StreamLightFrame(); });
    ASSERT_TRUE(WaitForSent(kCmdStreamLightFrame, 1));
    device_->StreamLightFrame();
    EXPECT_EQ(device_->LightFramesSkipped(), 1u);
    first.join();
    bus_->SetLatency(std::chrono::microseconds(0));
    EXPECT_EQ(device_->LightFramesSent(), 1u);

    device_->StreamLightFrame();  // nothing in flight any more
    EXPECT_EQ(device_->LightFramesSent(), 2u);
    EXPECT_EQ(device_->LightFramesSkipped(), 1u);
}

TEST(KeyboardPreviewInputs, TheAudioSettingTravelsAsItsNineBytesInThreeWords) {
    AudioLightSetting setting;
    setting.bytes = {3, 10, 20, 30, 40, 50, 60, 1, 1};
    const AudioLightWords words = keyboard::PackAudioLight(setting);
    EXPECT_EQ(words, (AudioLightWords{0x1E140A03u, 0x013C3228u, 0x01u}));
    EXPECT_EQ(keyboard::UnpackAudioLight(words), setting);

    const preview::AudioInput input = keyboard::AudioInputOf(setting);
    EXPECT_EQ(input.type, 3);
    EXPECT_EQ(input.background, (preview::Rgb{10, 20, 30}));
    EXPECT_EQ(input.foreground, (preview::Rgb{40, 50, 60}));
    EXPECT_TRUE(input.sevenColour);
}

TEST(KeyboardPreviewInputs, TheLightSettingBecomesTheEnginesInput) {
    LightSetting setting;
    setting.bytes[LightSetting::kMode] = 12;
    setting.bytes[LightSetting::kBrightness] = 3;
    setting.bytes[LightSetting::kSpeed] = 1;
    setting.bytes[LightSetting::kDirection] = 1;
    setting.bytes[LightSetting::kMultiColor] = 0;
    setting.bytes[LightSetting::kRed] = 7;
    setting.bytes[LightSetting::kGreen] = 8;
    setting.bytes[LightSetting::kBlue] = 9;
    setting.bytes[LightSetting::kZzccLedMode] = 2;
    const preview::LightingInput input = keyboard::LightingInputOf(setting);
    EXPECT_EQ(input.mode, 12);
    EXPECT_EQ(input.brightness, 3);
    EXPECT_EQ(input.speed, 1);
    EXPECT_TRUE(input.direction);
    EXPECT_FALSE(input.multiColour);
    EXPECT_EQ(input.colour, (preview::Rgb{7, 8, 9}));
    EXPECT_EQ(input.zzccLedMode, 2);
}

TEST_F(KeyboardPreview, TheAnimationStopsWhenAskedAndWithTheDevice) {
    device_->StopAnimation();
    EXPECT_FALSE(device_->IsAnimationRunning());
    device_->StartAnimation();
    EXPECT_TRUE(device_->IsAnimationRunning());
    device_.reset();  // the destructor stops it before anything it uses goes
}

}  // namespace
}  // namespace rerov::test
