#pragma once
// ObservedKeyboardTest: KeyboardSimTest with a keyboard whose hooks (reactive step, mode
// change, failed-write pause, ApplyProfile) record their calls, a page view that queues
// posted work until the test runs it, and a list entry that records sync requests.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "devices/device_list_entry.h"
#include "devices/device_page_view.h"
#include "profiles/keyboard_profile_data.h"
#include "profiles/profile_folders.h"
#include "profiles/profile_store.h"
#include "tests/devices/keyboard/keyboard_test_support.h"

namespace rerov::test {

// Waits on a condition that other threads change, with a generous limit (the machine is
// shared); the result says whether it came true.
class Signal {
  public:
    template <typename Predicate>
    bool WaitFor(Predicate ready, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, limit, ready);
    }
    template <typename Change>
    void Update(Change change) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            change();
        }
        changed_.notify_all();
    }
    std::mutex& Mutex() { return mutex_; }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
};

struct ReactiveCall {
    int mode;
    int key;
    int action;
    bool operator==(const ReactiveCall&) const = default;
};

class ObservedKeyboard : public CZidiraKeyboardDevice {
  public:
    using CZidiraKeyboardDevice::CZidiraKeyboardDevice;
    // The input threads call the hooks below until they end: stop them before this goes.
    ~ObservedKeyboard() override {
        CloseSecondary(kKindKeyboard);
        CloseSecondary(kKindKeyboardReceiver);
    }

    void Publish(PositionMaps maps) { PublishPositionMaps(std::move(maps)); }

    void ReactiveKeyStep(int mode, int key, int action) override {
        signal.Update([&] {
            reactive.push_back({mode, key, action});
            reactiveThreads.push_back(std::this_thread::get_id());
        });
    }
    void OnModeChanged(int mode) override { modesChanged.push_back(mode); }
    void PauseAfterFailedLightWrite() override { ++pauses; }
    int ApplyProfile() override {
        calls.push_back("ApplyProfile");
        blockReadsAtApply = onApply ? onApply() : 0;
        return CZidiraKeyboardDevice::ApplyProfile();
    }

    Signal signal;
    std::vector<ReactiveCall> reactive;  // under signal
    std::vector<std::thread::id> reactiveThreads;
    std::vector<int> modesChanged;
    int pauses = 0;
    std::vector<std::string> calls;
    std::function<size_t()> onApply;
    size_t blockReadsAtApply = 0;
};

// A page that queues what is posted to it until the test (its "UI thread") runs it.
class QueueingPageView : public DevicePageView {
  public:
    void MapKeyButtons(int, int) override {}
    bool HasKeyButton(int) const override { return true; }
    bool HasLight(int) const override { return true; }
    void PaintLights(const std::vector<uint32_t>& colours) override {
        signal.Update([&] { painted.push_back(colours); });
    }
    void SetKeyLabel(int, const std::string&) override {}
    void ShowSelectedKey(int) override {}
    bool SelectTab(const std::string&, int) override { return true; }
    void ShowSettings() override {
        signal.Update([&] { settingsShownOn.push_back(std::this_thread::get_id()); });
    }
    void ShowAudioLightSetting(uint32_t, uint32_t, uint32_t) override {}
    void ShowPowerLayout(bool) override {}
    void ShowKeyMarks(int, bool, bool) override {}
    void ShowPowerStatus(const std::array<uint8_t, 6>& status) override {
        signal.Update([&] { powerShown.push_back(status); });
    }
    void Post(std::function<void()> work) override {
        signal.Update([&] { posted.push_back(std::move(work)); });
    }
    // Runs the queued work (and what it queues) on the calling thread.
    void RunPosted() {
        for (;;) {
            std::function<void()> work;
            {
                std::lock_guard<std::mutex> lock(signal.Mutex());
                if (posted.empty()) return;
                work = std::move(posted.front());
                posted.pop_front();
            }
            work();
        }
    }

    Signal signal;
    std::deque<std::function<void()>> posted;
    std::vector<std::vector<uint32_t>> painted;
    std::vector<std::thread::id> settingsShownOn;
    std::vector<std::array<uint8_t, 6>> powerShown;
};

class RecordingListEntry : public DeviceListEntry {
  public:
    void RequestSync(int delayMs) override {
        signal.Update([&] { requests.push_back(delayMs); });
    }
    Signal signal;
    std::vector<int> requests;
};

class ObservedKeyboardTest : public KeyboardSimTest {
  protected:
    void SetUp() override {
        KeyboardSimTest::SetUp();
        auto observed = std::make_unique<ObservedKeyboard>(bus_);
        ConfigureAsFactory(*observed);
        keyboard_ = observed.get();
        device_ = std::move(observed);
        CZidiraKeyboardDevice::SetProfileReloadMarker(0);
    }
    void TearDown() override {
        keyboard_ = nullptr;
        KeyboardSimTest::TearDown();
        CZidiraKeyboardDevice::SetProfileReloadMarker(0);
    }

    // The keyboard's set-up as the device factory does it.
    static void ConfigureAsFactory(CZidiraUSBDevice& device) {
        const DevicePageLayout& layout = kDevicePageLayouts[kFamilyKeyboard];
        const DeviceFamilyRow& family = kDeviceFamilyRows[kFamilyKeyboard];
        device.SetKeyButtonCount(layout.keyButtonCount);
        device.SetLightCount(layout.lightCount);
        device.SetFamilyIndex(kFamilyKeyboard);
        device.SetPowerDisplay(layout.hasPowerDisplay != 0);
        device.SetPageLayoutPath(layout.pageLayout);
        device.SetLightFileName(layout.lightFileName);
        device.SetFamilyName(family.familyName);
        device.SetDeviceRecord(SupportedDevices()[kKeyboardCableCommandRow]);
        device.SetDefaultDataIndex(family.defaultDataIndex);
    }

    // The device's information block says it has `count` key positions.
    void SetKeyPositionCount(uint8_t count) {
        std::array<uint8_t, kDeviceInfoBlockSize> info{};
        info[kInfoKeyPositionCount] = count;
        keyboard_->SetDeviceInfo(info);
    }

    void SetMode(int mode) {
        LightingState state = keyboard_->GetLightingState();
        state.setting.bytes[LightSetting::kMode] = static_cast<uint8_t>(mode);
        keyboard_->SetLightingState(state);
    }

    // The profile store's current profile file of the keyboard (made on first use).
    std::filesystem::path CurrentProfileFile() const {
        ProfileStore store(kKindKeyboard, ProfileFolder(), DefaultProfilePath("keyboard"));
        if (store.Build() != StoreResult::Ok) return {};
        return store.CurrentProfilePath();
    }
    // The current profile as stored.
    void LoadStored(CKeyboardProfiledata* data) const {
        const std::filesystem::path path = CurrentProfileFile();
        data->SetDefaultPath(DefaultProfilePath("keyboard"));
        data->SetProfilePath(path);
        data->LoadProfile(path);
    }

    ObservedKeyboard* keyboard_ = nullptr;
};

}  // namespace rerov::test
