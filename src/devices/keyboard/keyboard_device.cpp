#include "devices/keyboard/keyboard_device.h"

// Read-out, profile, keys and macros. (Being built: these are placeholders that do nothing.)

namespace rerov {

namespace {
std::atomic<uint16_t> gProfileReloadMarker{0};
}

CZidiraKeyboardDevice::CZidiraKeyboardDevice(std::shared_ptr<HidBackend> backend)
    : CZidiraUSBDevice(std::move(backend)) {
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

void CZidiraKeyboardDevice::InitPage() {
    CZidiraUSBDevice::InitPage();
    LoadNameLists();
}
void CZidiraKeyboardDevice::ReadAll() {}
bool CZidiraKeyboardDevice::ReadGeometry() { return false; }
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
namespace {
uint8_t Lookup(const std::map<uint8_t, uint8_t>& map, int key) {
    if (key < 0 || key >= kKeyboardKeyCount) return kNoPosition;
    const auto found = map.find(static_cast<uint8_t>(key));
    return found == map.end() ? kNoPosition : found->second;
}
}  // namespace

uint8_t CZidiraKeyboardDevice::KeyPosition(int key) const {
    return Lookup(PositionMapsSnapshot()->keyPosition, key);
}

uint8_t CZidiraKeyboardDevice::LedNumber(int key) const {
    return Lookup(PositionMapsSnapshot()->lightPosition, key);
}
void CZidiraKeyboardDevice::LoadNameLists() {}
void CZidiraKeyboardDevice::OpenProfile() {}
std::string CZidiraKeyboardDevice::ProfileName() const { return {}; }
int CZidiraKeyboardDevice::ApplyProfile() { return 0; }
void CZidiraKeyboardDevice::ApplyDefaultProfile() {}
void CZidiraKeyboardDevice::SaveProfile() {}
void CZidiraKeyboardDevice::ShowSettings() { CZidiraUSBDevice::ShowSettings(); }
int CZidiraKeyboardDevice::ApplyLighting() { return 0; }
DownloadReport CZidiraKeyboardDevice::ApplyToDevice() { return {}; }
DownloadReport CZidiraKeyboardDevice::DownloadAll() { return {}; }
std::vector<KeyEntry> CZidiraKeyboardDevice::KeyList() const { return keys_; }
void CZidiraKeyboardDevice::SetKeyList(const std::vector<KeyEntry>& keys) { keys_ = keys; }
bool CZidiraKeyboardDevice::SetSelectedKeyEntry(const KeyEntry&) { return false; }
void CZidiraKeyboardDevice::SetSecondaryKeyList(const std::vector<KeyEntry>& keys) {
    secondaryKeys_ = keys;
}
std::vector<int> CZidiraKeyboardDevice::UsedMacros() { return {}; }
int CZidiraKeyboardDevice::WriteKeyAssignments(int, const std::vector<KeyEntry>&) { return 0; }
int CZidiraKeyboardDevice::DownloadKeyAssignments(int) { return 0; }
DownloadReport CZidiraKeyboardDevice::DownloadKeysAndMacros() { return {}; }
void CZidiraKeyboardDevice::PruneMacroAssignments() {}
void CZidiraKeyboardDevice::SelectKey(int key) { CZidiraUSBDevice::SelectKey(key); }
void CZidiraKeyboardDevice::RefreshKeyLabels() {}
std::string CZidiraKeyboardDevice::KeyLabel(int) const { return {}; }
std::string CZidiraKeyboardDevice::LabelOf(const KeyAssignment&) const { return {}; }
void CZidiraKeyboardDevice::ClearKeyMarks() {}
void CZidiraKeyboardDevice::RefreshKeyMarks() {}
KeyMarkFlags CZidiraKeyboardDevice::KeyMarks(int) const { return {}; }
int CZidiraKeyboardDevice::DownloadMacros(const std::vector<int>&) { return 0; }

}  // namespace rerov
