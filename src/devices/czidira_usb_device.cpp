#include "devices/czidira_usb_device.h"

#include <algorithm>

#include "profiles/basic_profile_data.h"
#include "profiles/profile_folders.h"

namespace rerov {

namespace {

// Peak ring entries 0..8 mark the light of the same number.
constexpr size_t kMarkedPeaks = 9;
constexpr uint8_t kPeakLevel = 255;

bool IsCableKind(int kind) { return kind == kKindKeyboard || kind == kKindMouse; }

bool IsReceiverKind(int kind) {
    return kind == kKindKeyboardReceiver || kind == kKindMouseReceiver;
}

// Tabs of the two function switches chosen by a function kind; -1 leaves a switch alone.
struct FunctionTabs {
    int function;
    int keyFunction;
};

FunctionTabs TabsForKind(int kind, int pageKind) {
    switch (kind) {
        case 2:
        case 6:
            return {0, 1};
        case 3:
        case 8:
            return {1, -1};
        case 4:
            if (pageKind == kKindKeyboard || pageKind == kKindMouse) return {3, -1};
            return {0, 2};
        case 7:
            return {0, 2};
        case 5:
            return {2, -1};
        default:
            return {0, 0};
    }
}

}  // namespace

CZidiraUSBDevice::CZidiraUSBDevice(std::shared_ptr<HidBackend> backend)
    : mainLink_(backend), secondaryLink_(backend) {}

CZidiraUSBDevice::~CZidiraUSBDevice() {
    // The secondary interfaces are held by this object; release them before the links go.
    CloseSecondary(kKindKeyboard);
    CloseSecondary(kKindKeyboardReceiver);
}

void CZidiraUSBDevice::SetView(DevicePageView* view) { view_.store(view); }

void CZidiraUSBDevice::SetKeyButtonCount(int count) { keyButtonCount_ = std::max(count, 0); }

void CZidiraUSBDevice::SetLightCount(int count) {
    lightCount_ = std::max(count, 0);
    lightColours_ = std::make_unique<std::atomic<uint32_t>[]>(static_cast<size_t>(lightCount_));
    for (int i = 0; i < lightCount_; ++i) lightColours_[i].store(0);
}

void CZidiraUSBDevice::SetPowerDisplay(bool hasPowerDisplay) {
    hasPowerDisplay_ = hasPowerDisplay;
    if (DevicePageView* view = View()) view->ShowPowerLayout(hasPowerDisplay);
}

void CZidiraUSBDevice::SetDeviceRecord(const SupportedDevice& record) {
    deviceRecord_ = record;
    kind_ = record.kind;
    role_ = record.role;
}

void CZidiraUSBDevice::OpenSecondary(const std::string& path, int kind) {
    if (!IsCableKind(kind) && !IsReceiverKind(kind)) return;
    CloseSecondary(kind);
    if (IsCableKind(kind)) {
        std::lock_guard<std::mutex> guard(secondaryLink_.IoLock());
        // Read and write, shared: the system keeps delivering the interface's consumer keys.
        if (secondaryLink_.Wired().Open(path, kEventAccess)) {
            secondaryLink_.SetConnected(true);
        }
    } else {
        std::lock_guard<std::mutex> guard(secondaryLink_.SecondaryLinkLock());
        if (secondaryLink_.Receiver().Open(path, kEventAccess)) {
            secondaryLink_.SetLinkMode(LinkMode::Receiver);
        }
    }
}

void CZidiraUSBDevice::CloseSecondary(int kind) {
    if (IsCableKind(kind)) {
        std::lock_guard<std::mutex> guard(secondaryLink_.IoLock());
        secondaryLink_.SetConnected(false);
        secondaryLink_.Wired().Close();
    } else if (IsReceiverKind(kind)) {
        std::lock_guard<std::mutex> guard(secondaryLink_.SecondaryLinkLock());
        secondaryLink_.SetLinkMode(LinkMode::Wired);
        secondaryLink_.Receiver().Close();
    }
}

bool CZidiraUSBDevice::IsSecondaryOpen(int kind) const {
    // The link's two flags say which slot is open: connected for the cable, the receiver
    // mode for the receiver.
    if (IsCableKind(kind)) return secondaryLink_.IsConnected();
    if (IsReceiverKind(kind)) return secondaryLink_.IsReceiver();
    return false;
}

std::array<uint8_t, kDeviceInfoBlockSize> CZidiraUSBDevice::DeviceInfo() const {
    std::lock_guard<std::mutex> guard(infoLock_);
    return deviceInfo_;
}

void CZidiraUSBDevice::SetDeviceInfo(const std::array<uint8_t, kDeviceInfoBlockSize>& info) {
    std::lock_guard<std::mutex> guard(infoLock_);
    deviceInfo_ = info;
}

LightingState CZidiraUSBDevice::GetLightingState() const {
    std::lock_guard<std::mutex> guard(lightingLock_);
    return lighting_;
}

void CZidiraUSBDevice::SetLightingState(const LightingState& state) {
    std::lock_guard<std::mutex> guard(lightingLock_);
    lighting_ = state;
}

std::vector<LedEffectStep> CZidiraUSBDevice::CustomEffectSteps() const {
    std::lock_guard<std::mutex> guard(effectStepsLock_);
    return effectSteps_;
}

void CZidiraUSBDevice::SetCustomEffectSteps(std::vector<LedEffectStep> steps) {
    std::lock_guard<std::mutex> guard(effectStepsLock_);
    effectSteps_.swap(steps);
}

size_t CZidiraUSBDevice::LoadCustomLights(CBasicProfiledata& profile) {
    return LoadCustomLights(profile.ReadLightList());
}

size_t CZidiraUSBDevice::LoadCustomLights(const std::vector<LightSetting>& lightList) {
    customLights_.Load(lightList);
    return lightList.size();
}

std::filesystem::path CZidiraUSBDevice::ProfileFolder() const {
    return rerov::ProfileFolder(familyName_);
}

std::filesystem::path CZidiraUSBDevice::DefaultDataFolder() const {
    return rerov::DefaultDataFolder();
}

std::filesystem::path CZidiraUSBDevice::DefaultProfilePath() const {
    return rerov::DefaultProfilePath(familyName_);
}

void CZidiraUSBDevice::SetHostLighting(int on) { hostLighting_.store(on); }

void CZidiraUSBDevice::InitPage() {
    if (pageLayoutPath_.empty()) {
        SetKeyButtonCount(0);
        SetLightCount(0);
        return;
    }
    // The page paints its mapped lights; the colour list stays what the preview made it.
    if (DevicePageView* view = View()) view->MapKeyButtons(keyButtonCount_, lightCount_);
}

int CZidiraUSBDevice::ApplyLighting() { return 0; }

void CZidiraUSBDevice::StreamLightFrame() {
    DevicePageView* view = View();
    if (view == nullptr) return;
    std::vector<uint32_t> colours(static_cast<size_t>(lightCount_));
    for (int light = 0; light < lightCount_; ++light) colours[light] = lightColours_[light].load();
    view->PaintLights(colours);
}

void CZidiraUSBDevice::SetLightColor(int light, uint32_t value) {
    if (light < 0 || light >= lightCount_) return;
    lightColours_[light].store(value);
}

uint32_t CZidiraUSBDevice::GetLightColor(int light) const {
    if (light < 0 || light >= lightCount_) return 0;
    return lightColours_[light].load();
}

void CZidiraUSBDevice::ShowSettings() {
    if (DevicePageView* view = View()) view->ShowSettings();
}

void CZidiraUSBDevice::SetSettingMap(const std::map<int, int>& map) { settingMap_ = map; }

void CZidiraUSBDevice::DecayLevel(int light, int curve) {
    if (light < 0) return;
    levels_.Update(static_cast<size_t>(light),
                   [curve](uint8_t level) { return DecayedLevel(level, curve); });
}

void CZidiraUSBDevice::MarkPeaks() {
    for (size_t i = 0; i < kMarkedPeaks; ++i) {
        if (peakRing_.Get(i) != 0) levels_.Set(i, kPeakLevel);
    }
}

void CZidiraUSBDevice::RotateLevels(int direction) { peakRing_.Rotate(direction != 0); }

void CZidiraUSBDevice::SelectFunctionTab(int kind) {
    functionTab_.store(kind);
    DevicePageView* view = View();
    if (view == nullptr) return;
    const FunctionTabs tabs = TabsForKind(kind, kind_);
    if (tabs.function >= 0) view->SelectTab(kFunctionSwitchName, tabs.function);
    if (tabs.keyFunction >= 0) view->SelectTab(kKeyFunctionSwitchName, tabs.keyFunction);
}

void CZidiraUSBDevice::SetLightSetting(const LightSetting& setting) {
    std::lock_guard<std::mutex> guard(lightingLock_);
    lighting_.setting = setting;
}

void CZidiraUSBDevice::SetAudioLightSetting(uint32_t type, uint32_t colour, uint32_t option) {
    {
        std::lock_guard<std::mutex> guard(audioLock_);
        audioLight_ = {type, colour, option};
    }
    if (DevicePageView* view = View()) view->ShowAudioLightSetting(type, colour, option);
}

AudioLightWords CZidiraUSBDevice::AudioLightSetting() const {
    std::lock_guard<std::mutex> guard(audioLock_);
    return audioLight_;
}

void CZidiraUSBDevice::SelectKey(int key) {
    selectedKey_.store(key);
    if (DevicePageView* view = View()) view->ShowSelectedKey(key);
}

}  // namespace rerov
