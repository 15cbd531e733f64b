// The device base's state that several threads share, used by those threads at the same
// time. Each test makes a writer and a reader meet: they start together and each goes on
// until it has seen the other's work many times, so the accesses really overlap. Run in the
// ThreadSanitizer build (label `threads`), any unguarded access is reported.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <latch>
#include <thread>
#include <vector>

#include "devices/czidira_usb_device.h"

namespace rerov {
namespace {

// Times each side must see the other's work before the meeting ends.
constexpr int kMeetings = 20;
// Only a guard against a hang: a side that has not met the other by then gives up (and
// fails the test). Meeting takes milliseconds; a loaded machine may stall a thread a while.
constexpr std::chrono::seconds kGiveUpAfter{120};

// The base with the family-only state opened for the tests.
class ThreadedDevice : public CZidiraUSBDevice {
  public:
    using CZidiraUSBDevice::CustomLights;
    using CZidiraUSBDevice::DecayLevel;
    using CZidiraUSBDevice::Levels;
    using CZidiraUSBDevice::LoadCustomLights;
    using CZidiraUSBDevice::PublishPositionMaps;
};

// Runs `write(round)` and `read()` on two threads that start together. The reader has seen
// the writer when `read` returns a value it did not return the time before; the writer has
// seen the reader when reads happened between two of its writes. Both loop until each has
// seen the other kMeetings times. False when a side gave up.
bool Meet(const std::function<void(int64_t round)>& write, const std::function<int64_t()>& read) {
    std::latch start(2);
    std::atomic<int64_t> reads{0};
    std::atomic<bool> writerMet{false};
    std::atomic<bool> readerMet{false};
    std::atomic<bool> gaveUp{false};
    auto bothMet = [&] { return (writerMet.load() && readerMet.load()) || gaveUp.load(); };
    const auto giveUpAt = std::chrono::steady_clock::now() + kGiveUpAfter;

    std::thread writer([&] {
        start.arrive_and_wait();
        int64_t readsBefore = reads.load();
        int seen = 0;
        for (int64_t round = 1; !bothMet(); ++round) {
            write(round);
            const int64_t readsNow = reads.load();
            if (readsNow == readsBefore) {
                // The reader has not run since the last write: let it.
                std::this_thread::yield();
            } else if (++seen >= kMeetings) {
                writerMet.store(true);
            }
            readsBefore = readsNow;
            if (std::chrono::steady_clock::now() > giveUpAt) gaveUp.store(true);
        }
    });
    start.arrive_and_wait();
    int seen = 0;
    int64_t last = read();
    while (!bothMet()) {
        const int64_t value = read();
        reads.fetch_add(1);
        if (value == last) {
            std::this_thread::yield();  // nothing new written yet: let the writer run
        } else if (++seen >= kMeetings) {
            readerMet.store(true);
        }
        last = value;
        if (std::chrono::steady_clock::now() > giveUpAt) gaveUp.store(true);
    }
    writer.join();
    return !gaveUp.load();
}

TEST(DeviceThreads, KeyLookupsMeetAMapRebuild) {
    // The read-out republishes the maps on the UI thread while the input thread looks keys
    // up; a snapshot is one whole rebuild, never a mix or a map being taken apart.
    ThreadedDevice device;
    bool mixed = false;
    const bool met = Meet(
        [&](int64_t round) {
            PositionMaps maps;
            for (int key = 0; key < 170; ++key) {
                maps.keyPosition[static_cast<uint8_t>(key)] = static_cast<uint8_t>(round);
                maps.lightPosition[static_cast<uint8_t>(key)] = static_cast<uint8_t>(round);
            }
            device.PublishPositionMaps(std::move(maps));
        },
        [&] {
            const std::shared_ptr<const PositionMaps> maps = device.PositionMapsSnapshot();
            if (maps->keyPosition.empty()) return int64_t{-1};
            const uint8_t first = maps->keyPosition.at(0);
            if (maps->keyPosition.at(169) != first || maps->lightPosition.at(85) != first) {
                mixed = true;
            }
            return int64_t{first};
        });
    EXPECT_TRUE(met);
    EXPECT_FALSE(mixed) << "a snapshot mixed two rebuilds";
}

TEST(DeviceThreads, LevelsWrittenWhileThePreviewDecaysThem) {
    // An input thread lights a key while the preview thread decays the same level.
    ThreadedDevice device;
    const bool met =
        Meet([&](int64_t round) { device.Levels().Set(7, static_cast<uint8_t>(round)); },
             [&] {
                 const uint8_t level = device.Levels().Get(7);
                 device.DecayLevel(7, 0);
                 return int64_t{level};
             });
    EXPECT_TRUE(met);
}

TEST(DeviceThreads, LightColoursSharedBetweenThreads) {
    // The preview writes the colours while the stream and the window read them; the writer
    // only counts up, so a reader never sees a colour go back.
    ThreadedDevice device;
    device.SetLightCount(170);
    uint32_t last = 0;
    bool wentBack = false;
    const bool met = Meet(
        [&](int64_t round) {
            for (int light = 0; light < 170; ++light) {
                device.SetLightColor(light, static_cast<uint32_t>(round));
            }
        },
        [&] {
            const uint32_t value = device.GetLightColor(169);
            if (value < last) wentBack = true;
            last = value;
            return int64_t{value};
        });
    EXPECT_TRUE(met);
    EXPECT_FALSE(wentBack);
}

TEST(DeviceThreads, CustomLightsReloadedWhileThePreviewAdvancesThem) {
    // ApplyLighting reloads the per-light records on the UI thread while the preview thread
    // steps every light's timers.
    ThreadedDevice device;
    const bool met = Meet(
        [&](int64_t round) {
            std::vector<LightSetting> list(15);
            for (LightSetting& setting : list) {
                setting.bytes[LightSetting::kMode] = static_cast<uint8_t>(round);
            }
            device.LoadCustomLights(list);
        },
        [&] {
            int64_t mode = -1;
            device.CustomLights().Update([&](std::vector<CustomLight>& lights) {
                for (CustomLight& light : lights) {
                    ++light.timers.counter;
                    mode = light.setting.bytes[LightSetting::kMode];
                }
            });
            return mode;
        });
    EXPECT_TRUE(met);
}

}  // namespace
}  // namespace rerov
