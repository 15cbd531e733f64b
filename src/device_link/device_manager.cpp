#include "device_link/device_manager.h"

#include <thread>

#include "device_link/discovery_log.h"
#include "device_link/entry_timers.h"

namespace rerov {
namespace {

// Marks the link unconnected and closes both its interfaces: after a device's last path
// has gone, and at shutdown, nothing may stay open.
void Disconnect(DeviceLink& link) {
    link.SetConnected(false);
    std::lock_guard io(link.IoLock());
    link.Wired().Close();
    link.Receiver().Close();
}

bool IsReceiverKind(uint16_t kind) {
    return kind == kKindKeyboardReceiver || kind == kKindMouseReceiver;
}

bool IsPairedCableKind(uint16_t kind) { return kind == kKindKeyboard || kind == kKindMouse; }

const char* AddedMessage(uint16_t kind) {
    switch (kind) {
        case kKindKeyboard:
        case kKindKeyboardReceiver:
            return "添加一个键盘设备";
        case kKindMouse:
        case kKindMouseReceiver:
            return "添加一个鼠标设备";
        default:
            return "添加一个鼠标垫设备";
    }
}

// Shared: the probe and the input threads may hold the same interface.
bool OpenCommandInterface(HidDevice& device, const std::string& path) {
    return device.Open(path, kCommandAccess);
}

}  // namespace

DeviceManager::DeviceManager(FoundDeviceList& found, DeviceManagerHost& host)
    : DeviceManager(found, host, DeviceFamilies()) {}

DeviceManager::DeviceManager(FoundDeviceList& found, DeviceManagerHost& host,
                             std::vector<DeviceFamily> families)
    : found_(found),
      host_(host),
      families_(std::move(families)),
      sleep_([](std::chrono::milliseconds pause) { std::this_thread::sleep_for(pause); }) {}

int DeviceManager::RowOf(uint16_t vendorId, uint16_t productId, uint16_t kind,
                         uint16_t role) const {
    for (size_t i = 0; i < found_.Size(); ++i) {
        const SupportedDevice row = found_.Entry(i);
        if (row.vendorId == vendorId && row.productId == productId && row.kind == kind &&
            row.role == role) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int DeviceManager::FamilyOfRow(int supportedRow, int role) const {
    if (supportedRow < 0 || static_cast<size_t>(supportedRow) >= found_.Size()) return -1;
    const SupportedDevice row = found_.Entry(static_cast<size_t>(supportedRow));
    for (size_t f = 0; f < families_.size(); ++f) {
        const DeviceFamily& family = families_[f];
        if (family.vendorId == row.vendorId && family.productId == row.productId &&
            family.kind == row.kind && family.role == role) {
            return static_cast<int>(f);
        }
    }
    return -1;
}

int DeviceManager::PairedEntry(size_t index) const {
    const SupportedDevice entry = found_.Entry(index);
    if (index >= found_.Size() || entry.paired == 0 || entry.pairedRow >= found_.Size()) return -1;
    const SupportedDevice other = found_.Entry(entry.pairedRow);
    if (other.paired == 0 || other.pairedRow != index) return -1;
    return entry.pairedRow;
}

SupportedDevice DeviceManager::DeviceRecordOf(size_t index) const {
    if (index >= found_.Size()) return SupportedDevice{};
    size_t row = index;
    SupportedDevice record = found_.Entry(index);
    if (record.role != kRoleCommand) {
        const int command = RowOf(record.vendorId, record.productId, record.kind, kRoleCommand);
        if (command >= 0) {
            row = static_cast<size_t>(command);
            record = found_.Entry(row);
        }
    }
    if (IsReceiverKind(record.kind)) {
        const int cable = PairedEntry(row);
        if (cable >= 0) record = found_.Entry(static_cast<size_t>(cable));
    }
    return record;
}

void DeviceManager::CreateDevicePages() {
    // Every family but the last: the headset's page comes with its first arrival.
    for (size_t f = 0; f + 1 < families_.size(); ++f) {
        const DeviceFamily& family = families_[f];
        const int row = RowOf(family.vendorId, family.productId, family.kind, family.role);
        if (row < 0 || !host_.CreateDevicePage(row, family.role)) {
            qCWarning(lcDiscovery, "no page for family %s", family.familyName);
        }
    }
}

void DeviceManager::DestroyDevicePages() {
    for (const DeviceFamily& family : families_) {
        const int row = RowOf(family.vendorId, family.productId, family.kind, family.role);
        if (row < 0) continue;
        ManagedDevice* page = host_.FindDevicePage(found_.Entry(static_cast<size_t>(row)));
        if (page == nullptr) continue;
        Disconnect(page->MainLink());
        host_.RemoveDevicePage(page);
    }
}

void DeviceManager::OnDeviceArrival(size_t index) {
    if (index >= found_.Size()) return;
    const SupportedDevice entry = found_.Entry(index);
    const SupportedDevice record = DeviceRecordOf(index);
    if (host_.FindDevicePage(record) == nullptr) {
        const int row = RowOf(record.vendorId, record.productId, record.kind, kRoleCommand);
        qCDebug(lcDiscovery, "%s", AddedMessage(record.kind));
        if (row < 0 || !host_.CreateDevicePage(row, kRoleCommand)) {
            qCDebug(lcDiscovery, "entry %zu: no family page for kind %u", index, record.kind);
        }
    }
    if (entry.role == kRoleCommand) {
        CommandArrival(index, entry, record);
    } else if (ManagedDevice* page = host_.FindDevicePage(record)) {
        page->OpenSecondary(entry.path, entry.kind);
    }
    host_.AfterArrival();
}

bool DeviceManager::OtherPathTakesOver(size_t index, const SupportedDevice& entry) {
    const int paired = PairedEntry(index);
    if (paired < 0 || !found_.IsPresent(static_cast<size_t>(paired))) return false;
    if (IsPairedCableKind(entry.kind)) SwitchPath(index);
    return true;
}

void DeviceManager::CommandArrival(size_t index, const SupportedDevice& entry,
                                   const SupportedDevice& record) {
    // The other path is in use: a cable replaces the receiver; a receiver waits.
    if (OtherPathTakesOver(index, entry)) return;
    ManagedDevice* page = host_.FindDevicePage(record);
    if (page == nullptr) return;
    DeviceLink& link = page->MainLink();
    const bool receiver = IsReceiverKind(entry.kind);
    if (!link.IsConnected()) {
        bool opened = false;
        std::string error;
        {
            std::lock_guard io(link.IoLock());
            HidDevice& device = receiver ? link.Receiver() : link.Wired();
            opened = OpenCommandInterface(device, entry.path);
            if (!opened) error = device.LastError();
        }
        if (opened) {
            // The mode before the flag: a command that sees the link connected must not
            // use the other path's chunk size.
            link.SetLinkMode(receiver ? LinkMode::Receiver : LinkMode::Wired);
            link.SetConnected(true);
            page->SetDeviceRecord(record);
        } else {
            qCWarning(lcDiscovery, "%s", error.c_str());
        }
    }
    if (!host_.HasListEntry(page)) return;
    // A receiver's entry is shown by the link check once the device behind it answers.
    if (!receiver) host_.SelectDeviceEntry(page);
    host_.StartEntryTimer(page, kTimerLinkCheck, kLinkCheckAfterConnectMs);
}

void DeviceManager::OnDeviceRemoval(size_t index) {
    if (index >= found_.Size()) return;
    const SupportedDevice entry = found_.Entry(index);
    const SupportedDevice record = DeviceRecordOf(index);
    if (entry.role != kRoleCommand) {
        if (ManagedDevice* page = host_.FindDevicePage(record)) page->CloseSecondary(entry.kind);
        return;
    }
    if (FamilyIndexForKind(entry.kind) == kFamilyKeyboard) {
        qCDebug(lcDiscovery, "键盘设备丢失");
    } else if (FamilyIndexForKind(entry.kind) == kFamilyMouse) {
        qCDebug(lcDiscovery, "鼠标设备丢失");
    }
    // The other path is alive: losing the cable moves the link to the receiver; losing
    // the unused receiver changes nothing.
    if (OtherPathTakesOver(index, entry)) return;
    ManagedDevice* page = host_.FindDevicePage(record);
    if (page == nullptr) return;
    Disconnect(page->MainLink());
    host_.DeactivateDeviceEntry(page);
}

void DeviceManager::SwitchPath(size_t index) {
    const int paired = PairedEntry(index);
    if (paired < 0) return;
    ManagedDevice* page = host_.FindDevicePage(found_.Entry(index));
    if (page == nullptr) page = host_.FindDevicePage(found_.Entry(static_cast<size_t>(paired)));
    if (page == nullptr) return;
    DeviceLink& link = page->MainLink();
    const bool toReceiver = !link.IsReceiver();
    bool opened = false;
    std::string error;
    {
        std::lock_guard io(link.IoLock());
        link.SetConnected(false);
        HidDevice& device = toReceiver ? link.Receiver() : link.Wired();
        device.Close();
        opened = OpenCommandInterface(
            device, found_.PathOf(toReceiver ? static_cast<size_t>(paired) : index));
        if (!opened) error = device.LastError();
    }
    if (!opened) {
        qCWarning(lcDiscovery, "%s", error.c_str());
        return;
    }
    link.SetLinkMode(toReceiver ? LinkMode::Receiver : LinkMode::Wired);
    link.SetConnected(true);
    if (toReceiver) {
        FinishSwitchToReceiver(page);
    } else {
        FinishSwitchToCable(page);
    }
}

void DeviceManager::FinishSwitchToReceiver(ManagedDevice* page) {
    DeviceLink& link = page->MainLink();
    if (page->HasPowerDisplay()) {
        // Answering false 26 times does not stop the switch: the status read follows.
        for (int attempt = 1; attempt <= kReceiverQueryAttempts; ++attempt) {
            if (link.QueryReceiverLink()) break;
            if (attempt == kReceiverQueryAttempts) break;
            qCDebug(lcDiscovery, "获取2.4G模式失败");
            sleep_(kReceiverQueryPause);
        }
        qCDebug(lcDiscovery, "获取2");
        page->ReadPowerStatus();
    }
    if (!host_.HasListEntry(page)) return;
    link.BeginSession();
    if (link.IsConnected()) {
        host_.StartEntryTimer(page, kTimerReceiverWatch, kReceiverWatchFirstMs);
    }
    page->ReadAll();
    host_.CloseSettingsWindow();
}

void DeviceManager::FinishSwitchToCable(ManagedDevice* page) {
    if (host_.HasListEntry(page)) {
        host_.StartEntryTimer(page, kTimerLinkCheck, kLinkCheckAfterConnectMs);
        host_.ShowDeviceEntry(page->FamilyIndex(), true);
        host_.CloseSettingsWindow();
    }
    if (page->HasPowerDisplay()) page->ReadPowerStatus();
}

}  // namespace rerov
