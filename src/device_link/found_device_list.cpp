#include "device_link/found_device_list.h"

namespace rerov {

FoundDeviceList::FoundDeviceList(std::vector<SupportedDevice> rows) : rows_(std::move(rows)) {
    for (SupportedDevice& row : rows_) {
        row.present = 0;
        row.path.clear();
    }
}

FoundDeviceList::FoundDeviceList() : FoundDeviceList(SupportedDevices()) {}

bool FoundDeviceList::PresentLocked(size_t index) const {
    return rows_[index].present != 0 && !rows_[index].path.empty();
}

SupportedDevice FoundDeviceList::Entry(size_t index) const {
    std::lock_guard lock(mutex_);
    return index < rows_.size() ? rows_[index] : SupportedDevice{};
}

bool FoundDeviceList::IsPresent(size_t index) const {
    std::lock_guard lock(mutex_);
    return index < rows_.size() && PresentLocked(index);
}

std::string FoundDeviceList::PathOf(size_t index) const {
    std::lock_guard lock(mutex_);
    return index < rows_.size() ? rows_[index].path : std::string();
}

bool FoundDeviceList::AnyAbsent() const {
    std::lock_guard lock(mutex_);
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (!PresentLocked(i)) return true;
    }
    return false;
}

bool FoundDeviceList::WantsInterface(uint16_t vendorId, uint16_t productId,
                                     uint16_t interfaceNumber, uint16_t collectionNumber) const {
    std::lock_guard lock(mutex_);
    for (const SupportedDevice& row : rows_) {
        if (row.vendorId == vendorId && row.productId == productId &&
            row.interfaceNumber == interfaceNumber && row.collectionNumber == collectionNumber &&
            row.present == 0 && row.path.empty()) {
            return true;
        }
    }
    return false;
}

int FoundDeviceList::MarkPresent(uint16_t vendorId, uint16_t productId, uint16_t interfaceNumber,
                                 uint16_t collectionNumber, uint16_t usagePage, uint16_t usage,
                                 const std::string& path) {
    if (path.empty()) return -1;  // an empty path would read as absent
    std::lock_guard lock(mutex_);
    const SupportedDevice* match = nullptr;
    for (const SupportedDevice& row : rows_) {
        if (row.vendorId == vendorId && row.productId == productId &&
            row.collectionNumber == collectionNumber && row.interfaceNumber == interfaceNumber &&
            row.usagePage == usagePage && row.usage == usage) {
            match = &row;
            break;
        }
    }
    if (match == nullptr) return -1;
    const SupportedDevice wanted = *match;
    for (size_t i = 0; i < rows_.size(); ++i) {
        SupportedDevice& entry = rows_[i];
        if (SameDeviceInterface(entry, wanted) && entry.present == 0 && entry.path.empty()) {
            entry.present = 1;
            entry.path = path;
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool FoundDeviceList::MarkAbsent(size_t index) {
    std::lock_guard lock(mutex_);
    if (index >= rows_.size() || !PresentLocked(index)) return false;
    rows_[index].present = 0;
    rows_[index].path.clear();
    return true;
}

std::vector<std::pair<size_t, std::string>> FoundDeviceList::PresentEntries() const {
    std::lock_guard lock(mutex_);
    std::vector<std::pair<size_t, std::string>> present;
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (PresentLocked(i)) present.emplace_back(i, rows_[i].path);
    }
    return present;
}

}  // namespace rerov
