#pragma once
// The found-device list: a copy of the supported-device table in the same order (row
// number = list index) whose present flags and paths the scan thread sets and clears
// while the user-interface thread reads them. Every access takes the list's lock, so
// the two threads never race; readers get copies.

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "device_link/supported_devices.h"

namespace rerov {

class FoundDeviceList {
  public:
    // The rows in table order; present flags and paths are cleared.
    explicit FoundDeviceList(std::vector<SupportedDevice> rows);
    // The table with the ids in effect.
    FoundDeviceList();
    FoundDeviceList(const FoundDeviceList&) = delete;
    FoundDeviceList& operator=(const FoundDeviceList&) = delete;

    // Number of entries (fixed).
    size_t Size() const { return rows_.size(); }

    // A copy of entry `index` with its present flag and path as they are now; a default
    // record for an index out of range.
    SupportedDevice Entry(size_t index) const;
    // Present flag set and path not empty.
    bool IsPresent(size_t index) const;
    // The entry's path; empty while absent or out of range.
    std::string PathOf(size_t index) const;
    // True while some entry is absent.
    bool AnyAbsent() const;

    // --- Used by the scan thread ---

    // True when some entry with these four identifiers is absent with an empty path.
    bool WantsInterface(uint16_t vendorId, uint16_t productId, uint16_t interfaceNumber,
                        uint16_t collectionNumber) const;
    // Looks up the first row equal in the six identifiers of an opened interface, then
    // the first absent entry equal to that row in all eight; marks it present with `path`.
    // Returns its index, or -1 when no row matches or every equal entry is present.
    int MarkPresent(uint16_t vendorId, uint16_t productId, uint16_t interfaceNumber,
                    uint16_t collectionNumber, uint16_t usagePage, uint16_t usage,
                    const std::string& path);
    // Clears the entry's present flag and path; false when it was not present.
    bool MarkAbsent(size_t index);
    // Index and path of every present entry.
    std::vector<std::pair<size_t, std::string>> PresentEntries() const;

  private:
    bool PresentLocked(size_t index) const;

    mutable std::mutex mutex_;
    std::vector<SupportedDevice> rows_;  // identifiers fixed; present and path guarded
};

}  // namespace rerov
