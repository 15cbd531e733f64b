#pragma once
// CZidiraUSBDevice: the device object every family derives from. It owns the command
// channel and the secondary interfaces, the per-light colour list, the key and light maps,
// the lighting state and the device's place in the user and factory data folders, and
// offers the operations through which the window, the editors and the worker threads
// drive any device. It reaches its page only through DevicePageView, so it works without
// widgets (the CLI and the tests use it headless).

#include <json/value.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device_link.h"
#include "device_manager.h"
#include "device_page_view.h"
#include "profile_records.h"
#include "supported_devices.h"

namespace rerov {

// Size of the per-light level and wheel-position arrays (every 8-bit light index fits).
inline constexpr size_t kLevelArraySize = 256;
// Entries of the peak ring beside the level array.
inline constexpr size_t kPeakRingSize = 23;
// Length of the device information block, as the command set reads it.
inline constexpr size_t kDeviceInfoBlockSize = kDeviceInfoSize;

// Tab switches of a page that SelectFunctionTab drives.
inline constexpr const char* kFunctionSwitchName = "device_function_switch";
inline constexpr const char* kKeyFunctionSwitchName = "device_key_function_switch";

// The lighting state of a page: the light setting's mode, brightness, speed, direction,
// multi-colour flag and colour, plus the family's extra fields.
struct LightingState {
    LightSetting setting;
    uint32_t word0 = 0;
    uint32_t word1 = 0;
    uint16_t half = 0;
    bool operator==(const LightingState&) const = default;
};

// Counters of the lighting preview, owned by the thread that runs it.
struct AnimationState {
    uint8_t stepPosition = 0;   // global colour-wheel position of most steps
    uint8_t wheelPosition = 0;  // running colour-wheel index
    uint8_t blinkPhase = 0;     // blink on/off
    uint64_t lastTick = 0;      // tick time of the last blink toggle (ms)
};

// The audio light setting as the page keeps it: three 32-bit words.
struct AudioLightWords {
    uint32_t type = 0;
    uint32_t colour = 0;
    uint32_t option = 0;
    bool operator==(const AudioLightWords&) const = default;
};

// The name lists a family loads (LoadNameLists).
struct DeviceNameLists {
    std::vector<std::string> areaLightNames;
    std::vector<std::string> modeNames;
    std::vector<int32_t> modeVisible;
    std::vector<std::string> customLightNames;
    std::vector<std::string> macroNames;
    std::vector<int32_t> modeCodes;
};

// One step of the preview's counters: with `up` add `step` and wrap to 0 on reaching
// `limit`; else subtract (8-bit) and give limit - step when the result is not below limit.
uint8_t StepValue(bool up, uint8_t limit, uint8_t current, uint8_t step);
// The level that `level` decays to in one preview step on `curve` (0, 29 or another);
// never below 0.
uint8_t DecayedLevel(uint8_t level, int curve);

class CZidiraUSBDevice : public ManagedDevice {
  public:
    /// A device with empty lists, kind 0, counts 0, family index -1, no selected or Fn key,
    /// function tab 1; both links on the process-wide HID backend unless one is given.
    explicit CZidiraUSBDevice(std::shared_ptr<HidBackend> backend = nullptr);
    ~CZidiraUSBDevice() override;
    CZidiraUSBDevice(const CZidiraUSBDevice&) = delete;
    CZidiraUSBDevice& operator=(const CZidiraUSBDevice&) = delete;

    /// The class name ("ZidiraUSBDevice"; each family its own).
    virtual std::string GetClass() const { return "ZidiraUSBDevice"; }

    // --- Page ---

    /// Connects the page (null: none). The page must outlive the connection.
    void SetView(DevicePageView* view);
    /// The connected page, or null.
    DevicePageView* View() const { return view_.load(); }

    // --- Set at creation (UI thread, before any worker thread runs) ---

    /// Resizes the key-button list.
    void SetKeyButtonCount(int count);
    int KeyButtonCount() const { return keyButtonCount_; }
    /// Resizes the light list and the colour list and clears every colour to 0.
    void SetLightCount(int count);
    int LightCount() const { return lightCount_; }
    void SetFamilyIndex(int index) { familyIndex_ = index; }
    int FamilyIndex() const override { return familyIndex_; }
    /// Stores the power-display flag and shows or hides the page's power layout.
    void SetPowerDisplay(bool hasPowerDisplay);
    bool HasPowerDisplay() const override { return hasPowerDisplay_; }
    void SetPageLayoutPath(const std::string& path) { pageLayoutPath_ = path; }
    const std::string& PageLayoutPath() const { return pageLayoutPath_; }
    void SetProfileFileTitle(const std::string& title) { profileFileTitle_ = title; }
    const std::string& ProfileFileTitle() const { return profileFileTitle_; }
    void SetFamilyName(const std::string& name) { familyName_ = name; }
    const std::string& FamilyName() const { return familyName_; }
    void SetLightFileName(const std::string& name) { lightFileName_ = name; }
    const std::string& LightFileName() const { return lightFileName_; }
    /// Opaque handle of the owner window (the shell's main window).
    void SetOwnerWindow(void* window) { ownerWindow_ = window; }
    void* OwnerWindow() const { return ownerWindow_; }
    /// The page's list entry in the device list (a widget, passed opaquely so this layer
    /// stays free of widgets).
    void SetListEntry(void* entry) { listEntry_ = entry; }
    void* ListEntry() const { return listEntry_; }
    /// The page's power control (the power display widget, passed opaquely so this layer
    /// stays free of widgets).
    void SetPowerControl(void* control) { powerControl_ = control; }
    void* PowerControl() const { return powerControl_; }
    /// Stores the record; kind and role become the record's.
    void SetDeviceRecord(const SupportedDevice& record) override;
    const SupportedDevice& DeviceRecord() const override { return deviceRecord_; }
    /// Device kind of the record (1 keyboard, 2 mouse, 3 mouse pad, 7 headset; 0 unset).
    int Kind() const { return kind_; }
    /// Role of the record (0).
    int Role() const { return role_; }

    // --- Links ---

    DeviceLink& MainLink() override { return mainLink_; }
    /// The secondary interfaces: Wired() of the cable path, Receiver() of the receiver path.
    DeviceLink& SecondaryLink() { return secondaryLink_; }
    /// Holds the secondary interface of the path of `kind` open (receiver kinds 6 and 9:
    /// the receiver slot; others the wired slot). A failed open leaves the slot closed.
    void OpenSecondary(const std::string& path, int kind) override;
    /// Closes the secondary interface of the path of `kind`.
    void CloseSecondary(int kind) override;

    // --- State ---

    /// The 34-byte device information block (zero until a family reads it).
    std::array<uint8_t, kDeviceInfoBlockSize> DeviceInfo() const;
    void SetDeviceInfo(const std::array<uint8_t, kDeviceInfoBlockSize>& info);
    int SelectedKey() const { return selectedKey_.load(); }
    int FnKey() const { return fnKey_.load(); }
    /// Set by the main window: 1 while it holds the power status read back.
    void SetStatusHold(bool hold) { statusHold_.store(hold); }
    bool StatusHold() const { return statusHold_.load(); }
    int HostLighting() const { return hostLighting_.load(); }
    /// Set by the main window when it becomes active or inactive.
    void SetWindowActive(bool active) { windowActive_.store(active); }
    bool WindowActive() const { return windowActive_.load(); }
    /// Lighting state (copy; safe from any thread).
    LightingState GetLightingState() const;
    /// Light setting part of the lighting state.
    LightSetting GetLightSetting() const { return GetLightingState().setting; }
    /// Replaces the whole lighting state, extra fields included.
    void SetLightingState(const LightingState& state);

    /// Key index -> device key position, light index -> device key position, third map.
    std::map<uint8_t, uint8_t>& KeyPositionMap() { return keyPositionMap_; }
    std::map<uint8_t, uint8_t>& LightPositionMap() { return lightPositionMap_; }
    std::map<uint8_t, uint8_t>& ThirdMap() { return thirdMap_; }
    /// The six family index lists (the keyboard's keys with an Fn-layer function first).
    std::array<std::vector<int32_t>, 6>& IndexLists() { return indexLists_; }
    const std::map<int, int>& SettingMap() const { return settingMap_; }
    DeviceNameLists& NameLists() { return nameLists_; }
    const DeviceNameLists& NameLists() const { return nameLists_; }
    /// Scratch documents of the family code.
    std::array<Json::Value, 3>& JsonScratch() { return jsonScratch_; }

    /// The custom light effect list and its lock.
    std::vector<LedEffectStep>& CustomEffectList() { return customEffects_; }
    std::mutex& LightListLock() { return lightListLock_; }
    /// The custom group list and its lock.
    std::vector<KeyColor>& CustomGroupList() { return customGroups_; }
    std::mutex& CustomLightLock() { return customLightLock_; }

    /// Preview state, owned by the thread that runs the preview.
    std::array<uint8_t, kLevelArraySize>& Levels() { return levels_; }
    std::array<uint8_t, kLevelArraySize>& WheelPositions() { return wheelPositions_; }
    std::array<uint8_t, kPeakRingSize>& PeakRing() { return peakRing_; }
    AnimationState& Animation() { return animation_; }

    // --- Folders ---

    /// The family's user data folder (created on first use); empty when unknown.
    std::filesystem::path ProfileFolder() const;
    /// The factory data folder "DefaultData" beside the program.
    std::filesystem::path DefaultDataFolder() const;
    /// DefaultDataFolder + family name + ".Json".
    std::filesystem::path DefaultProfilePath() const;

    /// Stores the host-lighting flag (1 while the program drives the device lighting).
    /// The keyboard also hands the lighting to the host.
    virtual void SetHostLighting(int on);

    // --- Operations, in their fixed order ---

    /// Maps the page's key buttons and lights (nothing without a page layout path).
    virtual void InitPage();
    /// Applies the light settings to the preview; 0 in the base.
    virtual int ApplyLighting();
    /// Generic preview steps of the lighting preview engine (no-ops in the base).
    virtual void PreviewStep3() {}
    virtual void PreviewStep4() {}
    virtual void PreviewStep5() {}
    virtual void PreviewStep6() {}
    virtual void PreviewStep7() {}
    virtual void PreviewStep8() {}
    virtual void PreviewStep9() {}
    /// Shows the colour list on the page's lights.
    virtual void StreamLightFrame();
    /// Stores a colour (byte 0 red, 1 green, 2 blue, 3 brightness) when the light exists.
    virtual void SetLightColor(int light, uint32_t value);
    /// The colour of a light, 0 for an index out of range.
    virtual uint32_t GetLightColor(int light) const;
    void ReadAll() override {}
    virtual void OnSyncRequest() {}
    virtual void Hook15() {}
    virtual void Hook16() {}
    void ReadPowerStatus() override {}
    /// 1 while the device behind the receiver answers; 1 in the base.
    virtual int IsReceiverLinkAlive() { return 1; }
    virtual int ApplyProfile() { return 0; }
    virtual int Hook20() { return 0; }
    /// Shows the object's settings on its page.
    virtual void ShowSettings();
    virtual void Hook22() {}
    virtual void Hook23() {}
    virtual void PruneMacroAssignments() {}
    virtual void ApplyDefaultProfile() {}
    /// Macro numbers the key assignments use, in order of first use; empty in the base.
    virtual std::vector<int> UsedMacros() { return {}; }
    virtual int WriteKeyAssignments(int /*page*/, const std::vector<KeyEntry>& /*keys*/) {
        return 0;
    }
    virtual int DownloadKeyAssignments(int /*page*/) { return 0; }
    virtual int DownloadFnAssignments(int /*page*/) { return 0; }
    virtual int WriteFnAssignments(int /*page*/, const std::vector<KeyEntry>& /*keys*/) {
        return 0;
    }
    virtual int DownloadMacros(const std::vector<int>& /*macros*/) { return 0; }
    virtual int WriteParameterBlock(int /*slot*/, int /*profile*/, int /*a*/, int /*b*/,
                                    int /*c*/) {
        return 0;
    }
    virtual void LoadNameLists() {}
    /// Replaces the setting map.
    virtual void SetSettingMap(const std::map<int, int>& map);
    /// Lowers the preview level of `light` by the step of `curve`.
    virtual void DecayLevel(int light, int curve);
    /// Sets the level of light i to 255 for every non-zero peak ring entry i of 0..8.
    virtual void MarkPeaks();
    /// Rotates the peak ring by one: towards higher indices when direction != 0.
    virtual void RotateLevels(int direction);
    virtual void Hook38() {}
    /// Selects the tabs of the function switches for `kind` and remembers it.
    virtual void SelectFunctionTab(int kind);
    /// The last kind given to SelectFunctionTab (1 at start).
    virtual int FunctionTab() const { return functionTab_.load(); }
    virtual void OpenProfile() {}
    virtual std::string ProfileName() const { return {}; }
    virtual void SaveProfile() {}
    virtual void SetDefaultDataIndex(int index) { defaultDataIndex_ = index; }
    virtual int DefaultDataIndex() const { return defaultDataIndex_; }
    /// Stores the light setting into the lighting state (extra fields kept).
    virtual void SetLightSetting(const LightSetting& setting);
    /// Stores the audio light setting and shows it on the page.
    virtual void SetAudioLightSetting(uint32_t type, uint32_t colour, uint32_t option);
    virtual AudioLightWords AudioLightSetting() const;
    /// Stores the key selected in the key editor (-1: none) and marks it on the page.
    virtual void SelectKey(int key);
    virtual void SetFnKey(int key) { fnKey_.store(key); }
    virtual void OnAudioSpectrum(const uint8_t* /*data*/, size_t /*length*/) {}
    virtual void OnAudioLevels(const uint32_t* /*data*/, size_t /*count*/) {}

  private:
    std::atomic<DevicePageView*> view_{nullptr};

    DeviceLink mainLink_;
    DeviceLink secondaryLink_;
    mutable std::mutex infoLock_;
    std::array<uint8_t, kDeviceInfoBlockSize> deviceInfo_{};
    void* powerControl_ = nullptr;
    void* listEntry_ = nullptr;
    std::string pageLayoutPath_;
    void* ownerWindow_ = nullptr;
    std::string profileFileTitle_;
    std::string lightFileName_;
    std::string familyName_;
    int kind_ = 0;
    int role_ = 0;
    int keyButtonCount_ = 0;
    int lightCount_ = 0;
    int familyIndex_ = -1;
    std::atomic<int> selectedKey_{-1};
    std::atomic<int> fnKey_{-1};
    std::atomic<int> functionTab_{1};
    std::map<uint8_t, uint8_t> keyPositionMap_;
    std::map<uint8_t, uint8_t> lightPositionMap_;
    std::map<uint8_t, uint8_t> thirdMap_;
    std::array<std::vector<int32_t>, 6> indexLists_;
    std::map<int, int> settingMap_;
    // Read by the preview, the lighting stream, the synchronisation thread and the UI at
    // once, so each colour is atomic.
    std::unique_ptr<std::atomic<uint32_t>[]> lightColours_;
    mutable std::mutex lightingLock_;
    LightingState lighting_;
    std::array<Json::Value, 3> jsonScratch_;
    std::mutex lightListLock_;
    std::mutex customLightLock_;
    std::vector<LedEffectStep> customEffects_;
    std::vector<KeyColor> customGroups_;
    AnimationState animation_;
    std::array<uint8_t, kLevelArraySize> levels_{};
    std::array<uint8_t, kLevelArraySize> wheelPositions_{};
    std::array<uint8_t, kPeakRingSize> peakRing_{};
    DeviceNameLists nameLists_;
    bool hasPowerDisplay_ = false;
    std::atomic<bool> statusHold_{false};
    std::atomic<int> hostLighting_{1};
    std::atomic<bool> windowActive_{true};
    SupportedDevice deviceRecord_;
    int defaultDataIndex_ = 0;
    mutable std::mutex audioLock_;
    AudioLightWords audioLight_;
};

}  // namespace rerov
