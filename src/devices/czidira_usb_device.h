#pragma once
// CZidiraUSBDevice: the device object every family (keyboard, mouse, mouse pad, headset)
// derives from. It owns the command link and the secondary interfaces, the per-light
// colour list, the position maps, the lighting state, the per-light effect records and the
// family's place in the user and factory data folders, and offers the operations through
// which the window, the editors and the worker threads drive any device. It reaches its
// page only through DevicePageView, so it works without widgets (the CLI and the tests use
// it headless).
//
// Reading guide for a family class:
// - "Creation" setters run on the UI thread before any worker thread of the device starts;
//   their values are plain and never change afterwards.
// - "Shared state" may be used from any thread: each item is atomic, locked or published
//   whole, as its comment says.
// - "Operations" are the virtuals a family overrides; each says who calls it, on which
//   thread, and what its result means. The base versions are the behaviour of a device
//   that has no such feature.
// - The protected section holds what only a family's own code (read-out, preview engine,
//   input threads) works on.

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

#include "device_link/device_link.h"
#include "device_link/device_manager.h"
#include "device_link/supported_devices.h"
#include "devices/custom_light_list.h"
#include "devices/device_list_entry.h"
#include "devices/device_page_view.h"
#include "devices/position_maps.h"
#include "devices/preview/preview_math.h"
#include "devices/preview_state.h"
#include "profiles/profile_records.h"

class QWidget;

namespace rerov {

class CBasicProfiledata;

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

class CZidiraUSBDevice : public ManagedDevice {
  public:
    /// A device with empty lists, kind 0, counts 0, family index -1, no selected or Fn key,
    /// function tab 1; both links on the process-wide HID backend unless one is given.
    explicit CZidiraUSBDevice(std::shared_ptr<HidBackend> backend = nullptr);
    /// Closes the secondary interfaces. A family stops its own worker threads in its own
    /// destructor, before this runs.
    ~CZidiraUSBDevice() override;
    CZidiraUSBDevice(const CZidiraUSBDevice&) = delete;
    CZidiraUSBDevice& operator=(const CZidiraUSBDevice&) = delete;

    /// The class name ("ZidiraUSBDevice"; each family its own).
    virtual std::string GetClass() const { return "ZidiraUSBDevice"; }

    // --- Creation (UI thread, before any worker thread of the device runs) ---

    /// Stores the number of key buttons; the page maps that many in InitPage.
    void SetKeyButtonCount(int count);
    int KeyButtonCount() const { return keyButtonCount_; }
    /// Resizes the light colour list and clears every colour to 0.
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
    /// Stores the record; kind and role become the record's.
    void SetDeviceRecord(const SupportedDevice& record) override;
    const SupportedDevice& DeviceRecord() const override { return deviceRecord_; }
    /// Device kind of the record (1 keyboard, 2 mouse, 3 mouse pad, 7 headset; 0 unset).
    int Kind() const { return kind_; }
    /// Role of the record (0).
    int Role() const { return role_; }
    /// Factory, at creation: the family's entry in the shared default files; a family with
    /// profile data also selects that entry in it.
    virtual void SetDefaultDataIndex(int index) { defaultDataIndex_ = index; }
    int DefaultDataIndex() const { return defaultDataIndex_; }

    // --- Page and window (set at creation; the objects outlive the device's threads) ---

    /// Connects the page (null: none). The page must outlive the connection.
    void SetView(DevicePageView* view);
    /// The connected page, or null. Any thread.
    DevicePageView* View() const { return view_.load(); }
    /// The main window, the parent of the device's dialogs.
    void SetOwnerWindow(QWidget* window) { ownerWindow_ = window; }
    QWidget* OwnerWindow() const { return ownerWindow_; }
    /// The page's entry in the device list, which the input threads ask for a re-read.
    void SetListEntry(DeviceListEntry* entry) { listEntry_.store(entry); }
    DeviceListEntry* ListEntry() const { return listEntry_.load(); }
    /// The page's power display widget (only the page layer looks inside it).
    void SetPowerControl(QWidget* control) { powerControl_ = control; }
    QWidget* PowerControl() const { return powerControl_; }
    /// The name lists, UI thread: LoadNameLists fills them, and the page's lighting editor
    /// puts the lighting modes it read from the default data there.
    DeviceNameLists& NameLists() { return nameLists_; }

    // --- Links ---

    DeviceLink& MainLink() override { return mainLink_; }
    /// The secondary interfaces: Wired() holds the cable path's, Receiver() the receiver
    /// path's. Open and close them only through OpenSecondary and CloseSecondary.
    DeviceLink& SecondaryLink() { return secondaryLink_; }
    /// Device manager, UI thread, on arrival of a secondary interface. Closes the slot of
    /// `kind` first, then opens `path` for reading and writing, shared: cable kinds (1, 2)
    /// in the wired slot under the link's I/O lock, receiver kinds (9, 6) in the receiver
    /// slot under its second lock, and sets the slot's flag on success. Other kinds open
    /// nothing. A family starts its input thread for the slot after this.
    void OpenSecondary(const std::string& path, int kind) override;
    /// Device manager, UI thread, on removal. Closes the open slot of `kind` under its lock
    /// and clears its flag (a family stops the slot's input thread first).
    void CloseSecondary(int kind) override;
    /// True while the slot of `kind` holds an open interface. Any thread.
    bool IsSecondaryOpen(int kind) const;

    // --- Shared state (any thread) ---

    /// The 34-byte device information block (zero until a family reads it). Locked.
    std::array<uint8_t, kDeviceInfoBlockSize> DeviceInfo() const;
    void SetDeviceInfo(const std::array<uint8_t, kDeviceInfoBlockSize>& info);
    int SelectedKey() const { return selectedKey_.load(); }
    int FnKey() const { return fnKey_.load(); }
    void SetFnKey(int key) { fnKey_.store(key); }
    /// Set by the main window: 1 while it holds the power status read back.
    void SetStatusHold(bool hold) { statusHold_.store(hold); }
    bool StatusHold() const { return statusHold_.load(); }
    int HostLighting() const { return hostLighting_.load(); }
    /// Set by the main window when it becomes active or inactive.
    void SetWindowActive(bool active) { windowActive_.store(active); }
    bool WindowActive() const { return windowActive_.load(); }
    /// Lighting state (a copy, taken under its lock).
    LightingState GetLightingState() const;
    /// Light setting part of the lighting state.
    LightSetting GetLightSetting() const { return GetLightingState().setting; }
    /// Replaces the whole lighting state, extra fields included.
    void SetLightingState(const LightingState& state);
    /// The audio light setting last stored.
    AudioLightWords AudioLightSetting() const;
    /// The position maps as last published by the read-out; keep the snapshot while using
    /// it, a rebuild never changes it.
    std::shared_ptr<const PositionMaps> PositionMapsSnapshot() const {
        return positionMaps_.Snapshot();
    }
    /// The per-light effect records last loaded (one per light), without their timers.
    std::vector<LightSetting> CustomLightSettings() const { return customLights_.Settings(); }
    /// The custom light effect's steps last loaded.
    std::vector<LedEffectStep> CustomEffectSteps() const;
    /// Stores a colour (byte 0 red, 1 green, 2 blue, 3 brightness) when the light exists.
    /// Each colour is atomic: the preview, the stream and the window share the list.
    void SetLightColor(int light, uint32_t value);
    /// The colour of a light, 0 for an index out of range.
    uint32_t GetLightColor(int light) const;
    /// The setting map (UI thread).
    const std::map<int, int>& SettingMap() const { return settingMap_; }
    /// The last kind given to SelectFunctionTab (1 at start).
    int FunctionTab() const { return functionTab_.load(); }

    // --- Folders ---

    /// The family's user data folder (created on first use); empty when unknown.
    std::filesystem::path ProfileFolder() const;
    /// The factory data folder "DefaultData" beside the program.
    std::filesystem::path DefaultDataFolder() const;
    /// DefaultDataFolder + family name + ".Json".
    std::filesystem::path DefaultProfilePath() const;

    // --- Operations a family overrides ---
    // Integer results follow the command result codes: 1 success, 0 nothing done or no
    // device, negative a failure of the link.

    /// Page, UI thread, once its layout is built: maps the page's key buttons and lights
    /// (a page without layout path gets no keys or lights). The colour list is left as it is.
    virtual void InitPage();
    /// Page or profile bar, UI thread, when the profile's lighting was loaded or changed:
    /// takes the lighting state and the per-light records into the preview (the family calls
    /// LoadCustomLights). 1 when applied; 0 in the base, which has no preview.
    virtual int ApplyLighting();
    /// List entry's lighting timer, UI thread, every 50 ms while connected: shows the colour
    /// list on the page; a family that streams its lighting also sends the frame.
    virtual void StreamLightFrame();
    /// List entry's link-check timer, UI thread, once a device arrived: reads the device's
    /// state (information, tables, profile, parameters) and starts the preview.
    void ReadAll() override {}
    /// List entry's sync timer, UI thread, after the device reported a change of its own:
    /// re-reads what changed.
    virtual void OnSyncRequest() {}
    /// List entry's power timer, UI thread, on pages with a power display: reads and shows
    /// the battery status.
    void ReadPowerStatus() override {}
    /// List entry's receiver watch, UI thread: 1 while the device behind the receiver
    /// answers, 0 when it does not. 1 in the base (no receiver to lose).
    virtual int IsReceiverLinkAlive() { return 1; }
    /// Window, UI thread, after a profile switch: takes the profile's records into the
    /// device object. 1 when applied, 0 when there is no profile.
    virtual int ApplyProfile() { return 0; }
    /// Window or input thread: shows the object's settings on its page (the page hands the
    /// call to its UI thread).
    virtual void ShowSettings();
    /// Window, UI thread, after a profile switch: removes key assignments whose macro no
    /// longer exists.
    virtual void PruneMacroAssignments() {}
    /// Profile bar, UI thread: resets the current profile to the factory profile.
    virtual void ApplyDefaultProfile() {}
    /// Window, UI thread: macro numbers the key assignments use, in order of first use.
    virtual std::vector<int> UsedMacros() { return {}; }
    /// Key editor, UI thread: writes `keys` into key table page `page` of the device.
    /// A result code (0 in the base: no key table).
    virtual int WriteKeyAssignments(int /*page*/, const std::vector<KeyEntry>& /*keys*/) {
        return 0;
    }
    /// Window, UI thread: writes the profile's key table page `page` to the device.
    virtual int DownloadKeyAssignments(int /*page*/) { return 0; }
    /// Window, UI thread: writes the macros `macros` to the device. A result code.
    virtual int DownloadMacros(const std::vector<int>& /*macros*/) { return 0; }
    /// Window or editors, UI thread: writes the parameter block of onboard profile `slot`
    /// with profile number `profile`; `flag`, `width` and `height` are the mouse's (a flag
    /// and the screen size). A result code.
    virtual int WriteParameterBlock(int /*slot*/, int /*profile*/, int /*flag*/, int /*width*/,
                                    int /*height*/) {
        return 0;
    }
    /// ShowSettings, UI thread: fills NameLists() from the family's data.
    virtual void LoadNameLists() {}
    /// Page, UI thread: replaces the setting map.
    virtual void SetSettingMap(const std::map<int, int>& map);
    /// Window, UI thread: selects the tabs of the function switches for `kind` and
    /// remembers it.
    virtual void SelectFunctionTab(int kind);
    /// Profile bar, UI thread: loads the current profile file into the profile data.
    virtual void OpenProfile() {}
    /// The current profile's name; "" without profile data.
    virtual std::string ProfileName() const { return {}; }
    /// Profile bar and editors, UI thread: writes the profile data to its file.
    virtual void SaveProfile() {}
    /// Lighting editor, UI thread: stores the light setting into the lighting state (extra
    /// fields kept); a family also stores it into its profile.
    virtual void SetLightSetting(const LightSetting& setting);
    /// Lighting editor or ShowSettings: stores the audio light setting and shows it on the
    /// page; a family also stores it into its profile.
    virtual void SetAudioLightSetting(uint32_t type, uint32_t colour, uint32_t option);
    /// Key editor, UI thread: stores the key selected (-1: none) and marks it on the page.
    virtual void SelectKey(int key);
    /// Main window, UI thread, on every page when the lighting control changes: stores the
    /// host-lighting flag (1 while the program drives the device lighting); the keyboard
    /// also hands the lighting to the host.
    virtual void SetHostLighting(int on);
    /// Audio bridge thread: one spectrum record for the audio-reactive lighting.
    virtual void OnAudioSpectrum(const uint8_t* /*data*/, size_t /*length*/) {}
    /// Audio bridge thread: one record of level words.
    virtual void OnAudioLevels(const uint32_t* /*data*/, size_t /*count*/) {}
    /// Window, UI thread, when the device's last path is gone (and the destructor of a
    /// family with a preview): stops the preview's thread. Nothing in the base.
    virtual void StopAnimation() {}
    /// Page, UI thread: whether the preview is on screen (the window shown and not
    /// minimised, the page the one shown). The lighting frame paints the page only while
    /// it is; a family's preview stops animating what nobody sees. True at creation.
    virtual void SetPreviewVisible(bool visible) { previewVisible_.store(visible); }
    bool PreviewVisible() const { return previewVisible_.load(); }
    /// Lighting frames sent to the device, and those skipped because the previous frame was
    /// still being sent. Any thread.
    uint64_t LightFramesSent() const { return lightFramesSent_.load(); }
    uint64_t LightFramesSkipped() const { return lightFramesSkipped_.load(); }

  protected:
    // --- For the family's own code ---

    /// Read-out, UI thread: publishes rebuilt position maps; readers switch to them whole.
    void PublishPositionMaps(PositionMaps maps) { positionMaps_.Publish(std::move(maps)); }
    /// ApplyLighting: replaces the per-light effect records with the profile's "LightList"
    /// (one per light), every light's timers fresh. Returns the number of records.
    size_t LoadCustomLights(CBasicProfiledata& profile);
    /// The same from records already read.
    size_t LoadCustomLights(const std::vector<LightSetting>& lightList);
    /// The per-light records with their timers, under the custom-light lock (preview).
    CustomLightList& CustomLights() { return customLights_; }
    /// Replaces the custom light effect's steps (ApplyLighting).
    void SetCustomEffectSteps(std::vector<LedEffectStep> steps);

    /// StreamLightFrame of a family that sends frames: counts one sent or skipped frame.
    void CountLightFrame(bool sent) {
        (sent ? lightFramesSent_ : lightFramesSkipped_).fetch_add(1);
    }

    /// The preview's shared state (see preview_state.h).
    LightLevels& Levels() { return levels_; }
    LightLevels& WheelPositions() { return wheelPositions_; }
    PeakRing& Peaks() { return peakRing_; }
    AnimationState& Animation() { return animation_; }
    /// Lowers the preview level of `light` by the step of `curve` (one atomic step).
    void DecayLevel(int light, int curve);
    /// Sets the level of light i to 255 for every non-zero peak ring entry i of 0..8.
    void MarkPeaks();
    /// Rotates the peak ring by one: towards higher indices when direction != 0.
    void RotateLevels(int direction);

    /// UI-thread data of the family: the six index lists (the keyboard's keys with an
    /// Fn-layer function first) and scratch documents.
    std::array<std::vector<int32_t>, 6>& IndexLists() { return indexLists_; }
    std::array<Json::Value, 3>& JsonScratch() { return jsonScratch_; }

  private:
    std::atomic<DevicePageView*> view_{nullptr};

    DeviceLink mainLink_;
    DeviceLink secondaryLink_;
    mutable std::mutex infoLock_;
    std::array<uint8_t, kDeviceInfoBlockSize> deviceInfo_{};
    QWidget* powerControl_ = nullptr;
    std::atomic<DeviceListEntry*> listEntry_{nullptr};
    std::string pageLayoutPath_;
    QWidget* ownerWindow_ = nullptr;
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
    PublishedPositionMaps positionMaps_;
    std::array<std::vector<int32_t>, 6> indexLists_;
    std::map<int, int> settingMap_;
    std::unique_ptr<std::atomic<uint32_t>[]> lightColours_;
    mutable std::mutex lightingLock_;
    LightingState lighting_;
    std::array<Json::Value, 3> jsonScratch_;
    mutable std::mutex effectStepsLock_;  // the light-list lock
    std::vector<LedEffectStep> effectSteps_;
    CustomLightList customLights_;
    AnimationState animation_;
    LightLevels levels_;
    LightLevels wheelPositions_;
    PeakRing peakRing_;
    DeviceNameLists nameLists_;
    bool hasPowerDisplay_ = false;
    std::atomic<bool> statusHold_{false};
    std::atomic<int> hostLighting_{1};
    std::atomic<bool> windowActive_{true};
    std::atomic<bool> previewVisible_{true};
    std::atomic<uint64_t> lightFramesSent_{0};
    std::atomic<uint64_t> lightFramesSkipped_{0};
    SupportedDevice deviceRecord_;
    int defaultDataIndex_ = 0;
    mutable std::mutex audioLock_;
    AudioLightWords audioLight_;
};

}  // namespace rerov
