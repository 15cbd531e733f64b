#include "devices/keyboard/keyboard_device.h"

// Read-out, profile, keys, labels, marks and macros of the keyboard, and the order in which
// a profile goes to the device.

#include <json/value.h>

#include <algorithm>
#include <chrono>
#include <new>

#include "devices/keyboard/key_labels.h"
#include "devices/keyboard/key_table_builder.h"
#include "devices/keyboard/keyboard_position_maps.h"
#include "devices/keyboard/macro_blob.h"
#include "devices/keyboard/preview_inputs.h"
#include "editors/macro/macro_library.h"
#include "profiles/json_access.h"
#include "profiles/json_file_io.h"
#include "profiles/profile_folders.h"
#include "profiles/profile_store.h"

namespace rerov {

namespace {

std::atomic<uint16_t> gProfileReloadMarker{0};

constexpr const char* kDefaultLightFile = "default_light.json";

uint8_t Lookup(const std::map<uint8_t, uint8_t>& map, int key) {
    if (key < 0 || key >= kKeyboardKeyCount) return kNoPosition;
    const auto found = map.find(static_cast<uint8_t>(key));
    return found == map.end() ? kNoPosition : found->second;
}

// Element `index` of an array member, or null.
const Json::Value& Entry(const Json::Value& root, const char* member, int index) {
    if (index < 0) return Json::Value::nullSingleton();
    return json::Element(json::Member(root, member), static_cast<Json::ArrayIndex>(index));
}

// The "LightName" of every element of `entries` (an array of objects).
std::vector<std::string> LightNamesOf(const Json::Value& entries) {
    std::vector<std::string> names;
    if (!entries.isArray()) return names;
    for (const Json::Value& entry : entries) {
        names.push_back(json::ToString(json::Member(entry, "LightName")));
    }
    return names;
}

// Keeps the first result of a download that was not success; a failure of the link is
// never hidden behind an earlier step that found no device.
void Note(DownloadReport* report, int result) {
    if (report->link == kResultSuccess && result != kResultSuccess) report->link = result;
    if (report->link == kResultNoReply && result < kResultNoReply) report->link = result;
}

// The preview's randomness differs from run to run, as the device's does.
uint32_t ClockSeed() {
    return static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

// A device that was there when the download began and then gave no reply broke it off.
DownloadReport Finished(DownloadReport report, bool connectedAtStart) {
    if (connectedAtStart && report.link == kResultNoReply) report.link = kDownloadBrokenOff;
    return report;
}

}  // namespace

CZidiraKeyboardDevice::CZidiraKeyboardDevice(std::shared_ptr<HidBackend> backend)
    : CZidiraUSBDevice(std::move(backend)),
      keyLabels_(kKeyboardKeyCount),
      keyMarks_(kKeyboardKeyCount),
      runner_([this](const auto& colours) { PublishPreviewColours(colours); },
              [this] { return MainLink().IsConnected(); },
              [this] { return MainLink().LightingSync(); }, preview::SeededRandom(ClockSeed())) {
    profile_.SetDeviceSlot(0);
}

void CZidiraKeyboardDevice::SetTextLookup(TextLookup lookup) { textLookup_ = std::move(lookup); }

void CZidiraKeyboardDevice::SetDefaultDataIndex(int index) {
    CZidiraUSBDevice::SetDefaultDataIndex(index);
    profile_.SetDeviceSlot(0);
}

std::string CZidiraKeyboardDevice::Text(const std::string& key) const {
    return textLookup_ ? textLookup_(key) : key;
}

void CZidiraKeyboardDevice::OnUiThread(std::function<void()> work) {
    if (DevicePageView* view = View()) {
        view->Post(std::move(work));
    } else {
        work();
    }
}

uint16_t CZidiraKeyboardDevice::ProfileReloadMarker() { return gProfileReloadMarker.load(); }
void CZidiraKeyboardDevice::SetProfileReloadMarker(uint16_t marker) {
    gProfileReloadMarker.store(marker);
}

// --- Page set-up and read-out ---

void CZidiraKeyboardDevice::InitPage() {
    CZidiraUSBDevice::InitPage();
    LoadNameLists();
}

void CZidiraKeyboardDevice::ReadAll() {
    ReadGeometry();
    ApplyProfile();
    ReadParameterBlock();
    ShowSettings();
    StartAnimation();
}

bool CZidiraKeyboardDevice::ReadGeometry() {
    DeviceLink& link = MainLink();
    if (!link.IsConnected()) return false;
    link.BeginSession();
    std::array<uint8_t, kDeviceInfoBlockSize> info{};
    // A failed read keeps the block as it was.
    if (link.ReadDeviceInfo(info.data()) == kResultSuccess) SetDeviceInfo(info);
    const int count = KeyPositionCount();
    // More positions than a table page holds: the device expects nothing more, not even the
    // end of the session.
    if (!link.SetBlockLength(count * 3)) return false;
    std::vector<uint8_t> factory(kKeyboardTableSize, 0);
    std::vector<uint8_t> leds(kKeyboardTableSize, 0);
    const int keyRead = link.ReadKeyTable(factory.data());
    const int ledRead = keyRead == kResultSuccess ? link.ReadLedTable(leds.data()) : keyRead;
    link.EndSession();
    // Half-read tables would map keys to the wrong positions: keep the last good ones.
    if (ledRead != kResultSuccess) return false;
    PositionMaps maps = BuildPositionMaps(factory, leds, count);
    {
        std::lock_guard<std::mutex> guard(tablesLock_);
        factoryKeyTable_ = std::move(factory);
        ledTable_ = std::move(leds);
    }
    PublishPositionMaps(std::move(maps));
    return true;
}

int CZidiraKeyboardDevice::KeyPositionCount() const { return DeviceInfo()[kInfoKeyPositionCount]; }

int CZidiraKeyboardDevice::MacroMemorySize() const {
    return DeviceInfo()[kInfoMacroUnits] * kMacroUnitBytes;
}

std::vector<uint8_t> CZidiraKeyboardDevice::FactoryKeyTable() const {
    std::lock_guard<std::mutex> guard(tablesLock_);
    return factoryKeyTable_;
}

std::vector<uint8_t> CZidiraKeyboardDevice::LedTable() const {
    std::lock_guard<std::mutex> guard(tablesLock_);
    return ledTable_;
}

uint8_t CZidiraKeyboardDevice::KeyPosition(int key) const {
    return Lookup(PositionMapsSnapshot()->keyPosition, key);
}

uint8_t CZidiraKeyboardDevice::LedNumber(int key) const {
    return Lookup(PositionMapsSnapshot()->lightPosition, key);
}

void CZidiraKeyboardDevice::LoadNameLists() {
    DeviceNameLists& lists = NameLists();
    lists = DeviceNameLists{};
    const int index = DefaultDataIndex();

    editors::MacroLibrary macros(ProfileFolder());
    lists.macroNames = macros.Names();
    macroNames_ = lists.macroNames;

    const Json::Value defaults = JsonFileIO::ReadJsonFile(DefaultDataFolder() / kDefaultLightFile);
    const Json::Value& modes = Entry(defaults, "DefaultLightName", index);
    if (modes.isArray()) {
        for (const Json::Value& mode : modes) {
            lists.modeNames.push_back(json::ToString(json::Member(mode, "LightName")));
            lists.modeVisible.push_back(json::ToFlag(json::Member(mode, "visible")));
            lists.modeCodes.push_back(json::ToI32(json::Member(mode, "value")));
        }
    }
    lists.areaLightNames = LightNamesOf(Entry(defaults, "AreaLightName", index));

    const std::filesystem::path folder = ProfileFolder();
    if (!folder.empty()) {
        const Json::Value lights = JsonFileIO::ReadJsonFile(LightConfigPath(folder));
        lists.customLightNames = LightNamesOf(Entry(lights, "LightInfo", index));
    }
}

// --- Profile ---

void CZidiraKeyboardDevice::OpenProfile() {
    profileLoaded_ = false;
    const std::filesystem::path folder = ProfileFolder();
    if (folder.empty()) return;
    ProfileStore store(DeviceKindOfFamily(FamilyName()), folder, DefaultProfilePath());
    if (store.Build() != StoreResult::Ok) return;
    const std::filesystem::path path = store.CurrentProfilePath();
    if (path.empty()) return;
    const int selected = store.Selected();
    profileName_ = selected >= 0 && selected < store.Count()
                       ? store.Entries()[static_cast<size_t>(selected)].name
                       : std::string();
    SetProfileFileTitle(store.CurrentUUID());
    profile_.SetDefaultPath(DefaultProfilePath());
    profile_.SetProfilePath(path);
    profile_.SetLightConfigPath(LightConfigPath(folder));
    profile_.LoadProfile(path);
    profile_.LoadLightConfig(profile_.GetLightConfigPath());
    profileLoaded_ = !profile_.Document().isNull();
}

std::string CZidiraKeyboardDevice::ProfileName() const { return profileName_; }

int CZidiraKeyboardDevice::ApplyProfile() {
    OpenProfile();
    if (!profileLoaded_) return 0;
    keys_ = profile_.ReadKeyList();
    ApplyLighting();
    const KeyboardSystemSettings settings = profile_.ReadKeyboardSystem();
    SetSystemSettings(settings.words[0], settings.words[1], settings.words[2]);
    return 1;
}

void CZidiraKeyboardDevice::ApplyDefaultProfile() {
    OpenProfile();
    if (!profileLoaded_) return;
    // The factory profile becomes the document that is saved into the current profile file
    // (its name and UUID stay); without a factory profile the current one stays as it is.
    if (profile_.LoadProfile(profile_.GetDefaultPath()).isNull()) {
        OpenProfile();
        return;
    }
    keys_ = profile_.ReadKeyList();
    ApplyLighting();
    const KeyboardSystemSettings settings = profile_.ReadKeyboardSystem();
    SetSystemSettings(settings.words[0], settings.words[1], settings.words[2]);
    SaveProfile();
    ShowSettings();
}

void CZidiraKeyboardDevice::SaveProfile() { lastSaveOk_ = profileLoaded_ && profile_.Save(); }

void CZidiraKeyboardDevice::ShowSettings() {
    LoadNameLists();
    RefreshKeyLabels();
    CZidiraUSBDevice::ShowSettings();
}

int CZidiraKeyboardDevice::ApplyLighting() {
    if (!profileLoaded_) return 0;
    LightingState state = GetLightingState();
    state.setting = profile_.ReadLightInfo();
    SetLightingState(state);
    LoadCustomLights(profile_);
    SetCustomEffectSteps(profile_.ReadCustomEffect());
    const rerov::AudioLightSetting audio = profile_.ReadAudioLightInfo();
    const AudioLightWords audioWords = keyboard::PackAudioLight(audio);
    CZidiraUSBDevice::SetAudioLightSetting(audioWords.type, audioWords.colour, audioWords.option);

    // The custom colours go first: mode 19 starts from them.
    runner_.SetCustomColours(CustomGroupColours());
    runner_.SetEffectSteps(CustomEffectSteps());
    runner_.SetAudio(keyboard::AudioInputOf(audio));
    runner_.ApplyLighting(keyboard::LightingInputOf(state.setting), CustomLightSettings());
    return 1;
}

bool CZidiraKeyboardDevice::ReloadProfileForWrite() {
    const std::filesystem::path path = profile_.GetProfilePath();
    if (path.empty()) {
        OpenProfile();
        return profileLoaded_;
    }
    profile_.LoadProfile(path);
    profileLoaded_ = !profile_.Document().isNull();
    return profileLoaded_;
}

void CZidiraKeyboardDevice::SaveKeyList() {
    if (!ReloadProfileForWrite()) {
        lastSaveOk_ = false;
        return;
    }
    profile_.WriteKeyList(keys_);
    SaveProfile();
}

// --- The apply order ---

DownloadReport CZidiraKeyboardDevice::ApplyToDevice() {
    ApplyProfile();
    return DownloadInApplyOrder();
}

DownloadReport CZidiraKeyboardDevice::DownloadAll() { return DownloadInApplyOrder(); }

DownloadReport CZidiraKeyboardDevice::DownloadInApplyOrder() {
    PruneMacroAssignments();
    ShowSettings();
    const bool connected = MainLink().IsConnected();
    DownloadReport report;
    Note(&report, WriteParameterBlock(0, 0, 1, 0, 0));
    // A device that refused a report or went away gets nothing more.
    if (report.Failed()) return Finished(report, connected);
    report.report = DownloadMacros(UsedMacros());
    Note(&report, lastDownloadLink_);
    if (report.Failed() || report.report > 0) return Finished(report, connected);
    Note(&report, DownloadKeyAssignments(0));
    return Finished(report, connected);
}

DownloadReport CZidiraKeyboardDevice::DownloadKeysAndMacros() {
    const bool connected = MainLink().IsConnected();
    DownloadReport report;
    const std::vector<int> used = UsedMacros();
    if (!used.empty()) {
        report.report = DownloadMacros(used);
        Note(&report, lastDownloadLink_);
        if (report.Failed() || report.report > 0) return Finished(report, connected);
    }
    Note(&report, DownloadKeyAssignments(0));
    return Finished(report, connected);
}

// --- Keys ---

std::vector<KeyEntry> CZidiraKeyboardDevice::KeyList() const { return keys_; }

void CZidiraKeyboardDevice::SetKeyList(const std::vector<KeyEntry>& keys) {
    keys_ = keys;
    SaveKeyList();
}

bool CZidiraKeyboardDevice::SetSelectedKeyEntry(const KeyEntry& entry) {
    const int key = SelectedKey();
    if (key < 0 || static_cast<size_t>(key) >= keys_.size()) return false;
    KeyEntry& stored = keys_[static_cast<size_t>(key)];
    const uint16_t keyIndex = stored.current.keyIndex;
    stored = entry;
    stored.current.keyIndex = keyIndex;
    stored.defaults.keyIndex = keyIndex;
    SaveKeyList();
    RefreshKeyLabels();
    return true;
}

void CZidiraKeyboardDevice::SetSecondaryKeyList(const std::vector<KeyEntry>& keys) {
    secondaryKeys_ = keys;
    profile_.WriteSecondaryKeyList(keys);
}

std::vector<int> CZidiraKeyboardDevice::UsedMacros() {
    const editors::MacroLibrary macros(ProfileFolder());
    return UsedMacroList(keys_, *PositionMapsSnapshot(), macros.Count());
}

int CZidiraKeyboardDevice::WriteKeyAssignments(int page, const std::vector<KeyEntry>& keys) {
    DeviceLink& link = MainLink();
    if (!link.IsConnected()) return kResultNoReply;
    if (page != 0) return kResultBadPage;
    std::array<uint8_t, kDeviceInfoBlockSize> info{};
    const int infoRead = link.ReadDeviceInfo(info.data());
    if (infoRead != kResultSuccess) return infoRead;
    SetDeviceInfo(info);

    const editors::MacroLibrary macros(ProfileFolder());
    const KeyTableBuild build = BuildKeyTable(FactoryKeyTable(), KeyPositionCount(), keys,
                                              *PositionMapsSnapshot(), macros.Count());
    int result = link.BeginSession();
    if (result != kResultSuccess) return result;
    // The link writes the block length of the last read-out.
    result = link.WriteKeyTable(build.table.data(), page);
    const int ended = link.EndSession();
    return result != kResultSuccess ? result : ended;
}

int CZidiraKeyboardDevice::DownloadKeyAssignments(int page) {
    return WriteKeyAssignments(page, KeyList());
}

void CZidiraKeyboardDevice::PruneMacroAssignments() {
    LoadNameLists();
    const size_t macroCount = macroNames_.size();
    bool changed = false;
    for (KeyEntry& entry : keys_) {
        if (IsMacroAssignment(entry.current) && entry.current.value >= macroCount) {
            entry.current = entry.defaults;
            changed = true;
        }
    }
    if (!changed) return;
    SaveKeyList();
    RefreshKeyLabels();
}

void CZidiraKeyboardDevice::SelectKey(int key) {
    CZidiraUSBDevice::SelectKey(key);
    const std::vector<int> changed =
        SelectKeyMarks(&keyMarks_, keys_, key, [this](int i) { return HasKeyButtonFor(i); });
    for (int i : changed) ShowMarks(i);
}

bool CZidiraKeyboardDevice::HasKeyButtonFor(int key) const {
    if (key < 0 || key >= KeyButtonCount()) return false;
    const DevicePageView* view = View();
    return view == nullptr || view->HasKeyButton(key);
}

void CZidiraKeyboardDevice::ShowMarks(int key) {
    if (key < 0 || static_cast<size_t>(key) >= keyMarks_.size()) return;
    const KeyMarkFlags& marks = keyMarks_[static_cast<size_t>(key)];
    if (DevicePageView* view = View()) view->ShowKeyMarks(key, marks.changed, marks.pendingMark);
}

void CZidiraKeyboardDevice::RefreshKeyLabels() {
    std::fill(keyLabels_.begin(), keyLabels_.end(), std::string());
    const size_t count = std::min(keys_.size(), keyLabels_.size());
    for (size_t i = 0; i < count; ++i) {
        const std::string label = LabelOf(keys_[i].current);
        if (!label.empty()) ApplyKeyLabel(static_cast<int>(i), label);
    }
}

void CZidiraKeyboardDevice::ApplyKeyLabel(int key, const std::string& label) {
    if (!HasKeyButtonFor(key) || static_cast<size_t>(key) >= keyLabels_.size()) return;
    const auto text = [this](const std::string& languageKey) { return Text(languageKey); };
    const std::string name = DefaultKeyName(key, text);
    keyLabels_[static_cast<size_t>(key)] = label;
    // A key whose own name is not its label (a media or function key, named from another
    // table) still counts as unchanged while it has its default assignment; else every such
    // key would carry the mark in a fresh profile.
    bool unchanged = LabelIsDefaultName(name, label);
    if (!unchanged && static_cast<size_t>(key) < keys_.size()) {
        const KeyEntry& entry = keys_[static_cast<size_t>(key)];
        unchanged = entry.current.type == entry.defaults.type &&
                    entry.current.value == entry.defaults.value &&
                    entry.current.code == entry.defaults.code;
    }
    keyMarks_[static_cast<size_t>(key)].changed = unchanged;
    if (DevicePageView* view = View()) view->SetKeyLabel(key, KeyToolTipText(name, label, text));
    ShowMarks(key);
}

std::string CZidiraKeyboardDevice::KeyLabel(int key) const {
    if (key < 0 || static_cast<size_t>(key) >= keyLabels_.size()) return {};
    return keyLabels_[static_cast<size_t>(key)];
}

std::string CZidiraKeyboardDevice::LabelOf(const KeyAssignment& assignment) const {
    return AssignmentLabel(assignment, macroNames_,
                           [this](const std::string& key) { return Text(key); });
}

void CZidiraKeyboardDevice::ClearKeyMarks() {
    for (size_t i = 0; i < keyMarks_.size(); ++i) {
        keyMarks_[i] = KeyMarkFlags{};
        if (HasKeyButtonFor(static_cast<int>(i))) ShowMarks(static_cast<int>(i));
    }
}

void CZidiraKeyboardDevice::RefreshKeyMarks() {
    for (size_t i = 0; i < keyMarks_.size(); ++i) {
        const bool isDefault = i >= keys_.size() || IsDefaultAssignment(keys_[i]);
        keyMarks_[i] = KeyMarkFlags{isDefault, true, false};
        if (HasKeyButtonFor(static_cast<int>(i))) ShowMarks(static_cast<int>(i));
    }
}

KeyMarkFlags CZidiraKeyboardDevice::KeyMarks(int key) const {
    if (key < 0 || static_cast<size_t>(key) >= keyMarks_.size()) return {};
    return keyMarks_[static_cast<size_t>(key)];
}

// --- Macros ---

int CZidiraKeyboardDevice::DownloadMacros(const std::vector<int>& macros) {
    DeviceLink& link = MainLink();
    lastDownloadLink_ = kResultSuccess;
    // The device keeps the macros it has.
    if (macros.empty()) return 0;
    // Without a device there is nothing to fill, and its macro memory is not known.
    if (!link.IsConnected()) {
        lastDownloadLink_ = kResultNoReply;
        return 0;
    }
    std::array<uint8_t, kDeviceInfoBlockSize> info{};
    const int infoRead = link.ReadDeviceInfo(info.data());
    if (infoRead != kResultSuccess) {
        lastDownloadLink_ = infoRead;
        return 0;
    }
    SetDeviceInfo(info);

    const editors::MacroLibrary library(ProfileFolder());
    if (library.Count() == 0) return 0;

    // Each file is read once, so the sizes checked are the sizes sent.
    std::vector<MacroBlobMacro> packed;
    std::vector<size_t> counts;
    packed.reserve(macros.size());
    for (int index : macros) {
        MacroBlobMacro events;
        // An unreadable file (or a macro past the list) contributes a macro without events.
        const Json::Value array = library.ReadEventArray(index);
        for (Json::ArrayIndex i = 0; array.isArray() && i < array.size(); ++i) {
            events.push_back(MacroBlobEventFromJson(array[i]));
        }
        counts.push_back(events.size());
        packed.push_back(std::move(events));
    }
    const size_t total = MacroBlobSize(counts);
    const int overflow = MacroOverflow(total, static_cast<size_t>(MacroMemorySize()));
    if (overflow > 0) return overflow;

    std::vector<uint8_t> blob;
    try {
        blob = EncodeMacroBlob(packed);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    if (blob.empty()) return -1;

    int result = link.BeginSession();
    if (result == kResultSuccess) result = link.WriteMacroData(blob.data(), blob.size());
    const int ended = link.EndSession();
    lastDownloadLink_ = result != kResultSuccess ? result : ended;
    return 0;
}

}  // namespace rerov
