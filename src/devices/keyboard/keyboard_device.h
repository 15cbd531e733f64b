#pragma once
// CZidiraKeyboardDevice: the keyboard, by cable or through its receiver. It learns the
// keyboard's geometry from the device (ReadGeometry), keeps the key list, the system
// settings and the parameter block of the profile shown, and writes them to the device in
// the apply order: parameter block, macros, key table. Its input threads read the device's
// own events (configuration and profile changes, key presses) from the secondary interface
// and hand every UI effect to the UI thread. Its animation thread plays the lighting
// preview (an AnimationRunner) into the light colour list. Headless: the CLI and the tests drive it
// without a page; a page reaches it only through DevicePageView.
//
// Threads: everything below runs on the UI thread (the owner's thread when headless)
// unless its comment says otherwise.

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "devices/czidira_usb_device.h"
#include "devices/keyboard/input_report_reader.h"
#include "devices/keyboard/key_marks.h"
#include "devices/keyboard/light_tables.h"
#include "devices/preview/animation_runner.h"
#include "profiles/keyboard_profile_data.h"
#include "profiles/profile_records.h"

namespace rerov {

/// Key indices of the page; only the first kDownloadKeyCount take part in downloads.
inline constexpr int kKeyboardKeyCount = 170;
inline constexpr int kDownloadKeyCount = 126;
/// Size of the keyboard's tables as the device object keeps them (factory, LED, Fn base).
inline constexpr size_t kKeyboardTableSize = 512;
/// The parameter block of one onboard profile.
inline constexpr size_t kParameterBlockSize = 42;
/// The power status block (ReadStatus at address 0).
inline constexpr size_t kPowerStatusSize = 6;
/// "No such position / LED" in the position and LED maps.
inline constexpr uint8_t kNoPosition = 255;
/// Bytes of the information block the keyboard uses: its key-position count and its
/// macro memory in units of kMacroUnitBytes.
inline constexpr size_t kInfoKeyPositionCount = 5;
inline constexpr size_t kInfoMacroUnits = 6;
inline constexpr int kMacroUnitBytes = 128;
/// The profile-reload marker's value after event 0x402 (shared by every keyboard page).
inline constexpr uint16_t kProfileReloadMarker = 0x402;

/// `DownloadReport.link` of a download that began on a connected device that then stopped
/// answering or went away: the link itself only says "no reply", the same as "no device".
inline constexpr int kDownloadBrokenOff = -2;

/// What a download to the device came to. `report` is the code the window's download
/// report shows (0 nothing, -1 the blob could not be made, positive the macro overflow in
/// 4-byte units: nothing was sent then and the key table was skipped). `link` is the first
/// command result that was not success (1 when all went through; 0 when no device is
/// connected, which is not a failure: the profile reaches the device on its arrival;
/// negative when the device refused a report or the transfer broke off, kDownloadBrokenOff
/// when it stopped answering or went away midway). A failure is never hidden behind an
/// earlier step that found no device.
struct DownloadReport {
    int report = 0;
    int link = 1;
    bool Failed() const { return link < 0; }
    bool operator==(const DownloadReport&) const = default;
};

class CZidiraKeyboardDevice : public CZidiraUSBDevice {
  public:
    /// Language texts for the key labels: the display text of a language key.
    using TextLookup = std::function<std::string(const std::string& key)>;

    /// Kind 1, DeviceSlot 0 of its profile data; both links on `backend` (null: the
    /// process-wide one).
    explicit CZidiraKeyboardDevice(std::shared_ptr<HidBackend> backend = nullptr);
    /// Stops the input threads before the base closes the secondary interfaces.
    ~CZidiraKeyboardDevice() override;
    std::string GetClass() const override { return "ZidiraKeyboardDevice"; }

    // --- Creation ---

    /// Sets the lookup the key labels use (creation; the default gives the key itself).
    void SetTextLookup(TextLookup lookup);
    /// Selects the keyboard's entries of the shared data files and sets the profile data's
    /// DeviceSlot to 0.
    void SetDefaultDataIndex(int index) override;

    // --- Page set-up and read-out ---

    /// Maps the page (base) and loads the name lists.
    void InitPage() override;
    /// ReadGeometry, ApplyProfile, ReadParameterBlock, ShowSettings, then StartAnimation.
    void ReadAll() override;
    /// Reads the information block, the factory key table and the LED table and rebuilds
    /// the position maps. False when the link is not connected (nothing changes) or the
    /// device reports more than 170 key positions (the read-out stops after the
    /// information block, as the device expects).
    bool ReadGeometry();
    /// The key-position count of the last information block read (byte 5).
    int KeyPositionCount() const;
    /// The macro memory of the last information block read, in bytes (byte 6 × 128).
    int MacroMemorySize() const;
    /// Copies of the tables as last read (kKeyboardTableSize bytes each).
    std::vector<uint8_t> FactoryKeyTable() const;
    std::vector<uint8_t> LedTable() const;
    /// Key index -> device key position / device LED number (kNoPosition when none), from
    /// the published position maps: the keyboard keeps key index -> position in their
    /// `keyPosition` and key index -> LED number in their `lightPosition` (a key index is
    /// also its light index); an absent entry is kNoPosition.
    uint8_t KeyPosition(int key) const;
    uint8_t LedNumber(int key) const;
    /// Fills the name lists: macro names ("macro.config"), mode names, visibility flags and
    /// codes and area light names ("default_light.json"), custom light names
    /// ("zired_light.config"). A missing file or member leaves its list empty.
    void LoadNameLists() override;

    // --- Profile (the profile shown: the profile store's current profile) ---

    /// Loads the current profile file and the light configuration into the profile data.
    void OpenProfile() override;
    std::string ProfileName() const override;
    /// OpenProfile, then the key list, the lighting (ApplyLighting) and the system settings
    /// of the profile become the object's. 1 when applied, 0 when there is no profile.
    int ApplyProfile() override;
    /// The same from the default profile, then saved as the current profile and shown.
    void ApplyDefaultProfile() override;
    /// Writes the profile data to its file (see LastSaveSucceeded).
    void SaveProfile() override;
    /// True when the last SaveProfile replaced the file.
    bool LastSaveSucceeded() const { return lastSaveOk_; }
    /// LoadNameLists, the key labels, then the page shows the lighting, the audio lighting,
    /// the custom group and the system settings (queued to the page's UI thread).
    void ShowSettings() override;
    /// Takes the profile's light setting into the lighting state and, with the per-light
    /// records, the custom effect steps, the custom group's colours and the audio light
    /// setting, into the preview.
    int ApplyLighting() override;
    /// The apply order: ApplyProfile, PruneMacroAssignments, ShowSettings,
    /// WriteParameterBlock (slot 0, profile 0), UsedMacros, DownloadMacros, then the key
    /// table unless the macros overflowed.
    DownloadReport ApplyToDevice();
    /// The apply order without ApplyProfile: what the object holds now goes to the device
    /// (after an editor changed it and saved it).
    DownloadReport DownloadAll();

    // --- Keys ---

    /// A copy of the key list (one entry per key index).
    std::vector<KeyEntry> KeyList() const;
    /// The key list becomes `keys` and is written into the profile file: the file is read
    /// again first (other editors save their sections of it) and saved (LastSaveSucceeded).
    void SetKeyList(const std::vector<KeyEntry>& keys);
    /// The selected key's entry becomes `entry`, then as SetKeyList. False when no key is
    /// selected.
    bool SetSelectedKeyEntry(const KeyEntry& entry);
    /// The Fn-layer key list becomes `keys`, written with WriteSecondaryKeyList.
    void SetSecondaryKeyList(const std::vector<KeyEntry>& keys);
    /// Macro indices the keys 0..125 refer to, in order of first use (keys without a
    /// device position and macros past the list are left out).
    std::vector<int> UsedMacros() override;
    /// Writes the key table built from `keys` (page 0 only). 1 when every report went
    /// through, 0 when the link is not connected, else the failing command's result.
    int WriteKeyAssignments(int page, const std::vector<KeyEntry>& keys) override;
    int DownloadKeyAssignments(int page) override;
    /// Macros, then the key table (skipped on an overflow): the key editor's download.
    DownloadReport DownloadKeysAndMacros();
    /// Assignments of macros that no longer exist go back to their defaults.
    void PruneMacroAssignments() override;
    /// Stores the selected key, updates the marks and shows them.
    void SelectKey(int key) override;
    /// Recomputes every key's label. The page gets, for each key button that has a label,
    /// View()->SetKeyLabel(key, tool tip) with the composed tool-tip text: the key's own
    /// name, Text("Key_Set"), the label (the page shows it as the button's tool tip); and
    /// View()->ShowKeyMarks with the key's "changed" flag, set when the label is the key's
    /// own name. A key whose assignment has no label keeps what the page shows.
    void RefreshKeyLabels();
    /// The bare label last computed for key `key` ("" when none).
    std::string KeyLabel(int key) const;
    /// The label of `assignment` as RefreshKeyLabels makes it ("" for none).
    std::string LabelOf(const KeyAssignment& assignment) const;
    /// Marks: none on any key / changed exactly where current differs from default.
    void ClearKeyMarks();
    void RefreshKeyMarks();
    KeyMarkFlags KeyMarks(int key) const;

    // --- Macros ---

    /// Packs the listed macros into one blob and writes it. 0 when sent or nothing to do,
    /// -1 when the blob could not be made, positive: the overflow (nothing sent). A
    /// failure of the link is kept in LastDownloadLink.
    int DownloadMacros(const std::vector<int>& macros) override;
    /// The first command result of the last download that was not 1 (1 when none).
    int LastDownloadLink() const { return lastDownloadLink_; }

    // --- Parameter block, system settings, lighting data (keyboard_device_params.cpp) ---

    /// Writes the parameter block of `slot` with profile number `profile` (the other
    /// arguments are the mouse's). 1 when written, 0 when not connected, else the failing
    /// command's result.
    int WriteParameterBlock(int slot, int profile, int flag, int width, int height) override;
    /// Reads the current onboard profile number and its block and takes the lighting and
    /// the system settings from it into the object and the profile (saved). Nothing
    /// changes when the link is not connected. 1 when read, else the failing result.
    int ReadParameterBlock(int* currentProfile = nullptr);
    /// The block as last read or written.
    std::array<uint8_t, kParameterBlockSize> ParameterBlock() const;
    /// The device's current onboard profile number as last read or reported.
    int CurrentOnboardProfile() const { return currentProfile_.load(); }
    /// Stores the six system settings (three words, first value in the low half: Repeat
    /// and RepeatDelay, Key6Flag and PollingRate, WFlag and WinFlag) in the object and the
    /// profile data (not saved).
    void SetSystemSettings(uint32_t repeatWord, uint32_t flagWord, uint32_t lockWord);
    KeyboardSystemSettings SystemSettings() const;
    /// Mode 19: light `light` takes the page's colour and the custom slot is written as a
    /// palette map. `paletteIndex` is the lighting editor's palette position of the colour
    /// (-1: none), `group` its selected custom group (-1: none: only the light changes).
    void PaintCustomKey(int light, int paletteIndex, int group);
    /// Mode 19: every LED in the colour of the last PaintCustomKey.
    void FillCustomSlot();
    /// The custom group's colours from the profile into the colour list, written as an
    /// RGB table.
    void WriteCustomColors();
    /// Shows the colour list on the page while the preview is visible and, in modes 29 and
    /// 30 while the host drives the lighting, sends it as one frame (visible or not). A
    /// frame that finds the previous one still being sent is skipped (LightFramesSkipped).
    /// Any thread.
    void StreamLightFrame() override;
    /// Stores the flag; a non-zero flag also hands the lighting to the host (0x1C).
    void SetHostLighting(int on) override;

    // --- Device events, power (keyboard_device_events.cpp) ---

    /// Opens the slot (base) and starts its input thread.
    void OpenSecondary(const std::string& path, int kind) override;
    /// Stops the slot's input thread (it may be blocked in a read), then closes the slot.
    void CloseSecondary(int kind) override;
    /// True while the input thread of the slot of `kind` runs.
    bool IsInputThreadRunning(int kind) const;
    /// The input thread's handling of one event code (any thread; UI effects are queued).
    void HandleEventCode(uint16_t code);
    /// After a configuration change on the device: reload the profile when the device
    /// said its profile data changed, then read the parameter block and show the settings.
    void OnSyncRequest() override;
    /// A key at device position `position` was pressed (1) or released (2). Input thread.
    void OnKeyEvent(int position, int action);
    /// The device reports its active onboard profile (codes 0x10nn and 0x11nn). Input
    /// thread; ShowSettings reaches the UI thread queued.
    void OnProfileReport(uint16_t code);
    /// Reads the battery status and shows it on the page.
    void ReadPowerStatus() override;
    /// The power status as last read (byte 3: 1 through the receiver, 0 by cable).
    std::array<uint8_t, kPowerStatusSize> PowerStatus() const;
    int IsReceiverLinkAlive() override;

    // --- Lighting preview (keyboard_preview.cpp) ---

    /// Starts the animation thread (a running one is stopped first).
    void StartAnimation();
    /// Stops the animation thread and waits for it (prompt: it never blocks).
    void StopAnimation() override;
    bool IsAnimationRunning() const { return runner_.IsRunning(); }
    /// The preview's counters (passes, ticks, inputs dropped). Any thread.
    preview::RunnerCounters AnimationCounters() const { return runner_.Counters(); }
    /// Stores the flag and tells the animation thread.
    void SetPreviewVisible(bool visible) override;
    /// Stores the light setting; the preview takes it (a new mode index restarts the mode).
    void SetLightSetting(const LightSetting& setting) override;
    /// Stores the audio light setting (words as PackAudioLight makes them); the preview
    /// takes it.
    void SetAudioLightSetting(uint32_t type, uint32_t colour, uint32_t option) override;
    /// Audio bridge thread: handed to the animation thread in order.
    void OnAudioSpectrum(const uint8_t* data, size_t length) override;
    void OnAudioLevels(const uint32_t* data, size_t count) override;

    /// The program-wide profile-reload marker (0 or kProfileReloadMarker). Any thread.
    static uint16_t ProfileReloadMarker();
    static void SetProfileReloadMarker(uint16_t marker);
    /// Creation: what OnSyncRequest runs first after the device said its profile data
    /// changed (event 0x402): the page layer's reload of the profile bar's list, so that
    /// the profile applied next is the one the list now selects. Unset: nothing.
    void SetProfileListReload(std::function<void()> reload);

    /// A lighting write that failed costs the calling thread this pause (not retried: the
    /// next frame or edit sends new data).
    static constexpr std::chrono::milliseconds kFailedLightWritePause{200};

  protected:
    /// The reactive lighting step of `mode` (7, 8, 9, 25) for key index `key`, pressed (1)
    /// or released (2): hands the key's light (a key index is also its light index) to the
    /// preview. Input thread.
    /// A subclass that overrides it stops the input threads in its own destructor
    /// (CloseSecondary of both kinds), since they may call it until they end.
    virtual void ReactiveKeyStep(int mode, int key, int action);
    /// ReadParameterBlock took a mode index from the device that differs from the page's,
    /// or the custom mode 19: the preview resets and starts the mode.
    virtual void OnModeChanged(int mode);
    /// The pause after a failed lighting write (kFailedLightWritePause on the calling
    /// thread); a test overrides it to observe it.
    virtual void PauseAfterFailedLightWrite();
    /// The text of a language key through the lookup.
    std::string Text(const std::string& key) const;
    /// Runs `work` on the page's UI thread (queued); at once when there is no page.
    void OnUiThread(std::function<void()> work);

  private:
    // --- read-out, profile, keys and macros (keyboard_device.cpp) ---
    TextLookup textLookup_;
    CKeyboardProfiledata profile_;
    bool lastSaveOk_ = true;
    mutable std::mutex tablesLock_;  // guards the three tables below
    std::vector<uint8_t> factoryKeyTable_ = std::vector<uint8_t>(kKeyboardTableSize, 0);
    std::vector<uint8_t> ledTable_ = std::vector<uint8_t>(kKeyboardTableSize, 0);
    std::vector<uint8_t> fnBaseTable_ = std::vector<uint8_t>(kKeyboardTableSize, 0);
    std::vector<KeyEntry> keys_;
    std::vector<KeyEntry> secondaryKeys_;
    std::vector<std::string> keyLabels_;
    std::vector<KeyMarkFlags> keyMarks_;
    int lastDownloadLink_ = 1;
    std::vector<std::string> macroNames_;  // the names the macro labels use
    std::string profileName_;
    bool profileLoaded_ = false;

    /// Stores a key's label and shows its tool tip and "changed" flag on the page.
    void ApplyKeyLabel(int key, const std::string& label);
    /// Shows key `key`'s marks on the page (a key button that exists).
    void ShowMarks(int key);
    bool HasKeyButtonFor(int key) const;
    /// Reads the profile file the key list came from again (OpenProfile when none), before
    /// a section is written and saved; false when there is no profile file.
    bool ReloadProfileForWrite();
    /// The key list into the profile file (re-read first), saved.
    void SaveKeyList();
    /// The apply order after ApplyProfile.
    DownloadReport DownloadInApplyOrder();

    // --- parameter block, system settings, lighting data (keyboard_device_params.cpp) ---
    mutable std::mutex parametersLock_;  // guards the block and the system settings
    std::array<uint8_t, kParameterBlockSize> parameterBlock_{};
    KeyboardSystemSettings systemSettings_;
    std::atomic<int> currentProfile_{0};
    int lastPaletteIndex_ = 0;
    // Every light with its LED number and colour, for the lighting tables.
    std::vector<keyboard::LedColour> LedColours() const;
    // Writes a table into the custom slot of the light setting.
    int WriteCustomSlot(const std::vector<uint8_t>& table);

    // --- device events and power (keyboard_device_events.cpp) ---
    mutable std::mutex powerLock_;
    std::array<uint8_t, kPowerStatusSize> powerStatus_{};
    std::function<void()> profileListReload_;
    // One per secondary slot; made by OpenSecondary, stopped by CloseSecondary.
    std::unique_ptr<InputReportReader> cableReader_;
    std::unique_ptr<InputReportReader> receiverReader_;
    std::unique_ptr<InputReportReader>& ReaderOf(int kind);

    // --- lighting preview (keyboard_preview.cpp) ---
    // The light setting as the preview reads it.
    preview::LightingInput PreviewLighting() const;
    // The custom group's colours of the profile, one word per light.
    std::vector<uint32_t> CustomGroupColours();
    // The preview's colours into the light colour list (animation thread).
    void PublishPreviewColours(const std::array<uint32_t, preview::kLightSlots>& colours);
    // Set while a lighting frame is being sent (the busy-skip of StreamLightFrame).
    std::atomic<bool> frameInFlight_{false};
    // Last: its thread ends before anything it uses goes.
    preview::AnimationRunner runner_;
};

}  // namespace rerov
