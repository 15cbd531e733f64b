#pragma once
// The device manager's decisions on the user-interface thread: what an interface that
// arrived or vanished means for the device pages (create, open the command link on the
// cable or the receiver, switch paths, close), independent of any widget. The shell
// implements DeviceManagerHost with real pages and list entries; tests implement it
// with fakes. The scan thread that reports arrivals and removals is in device_scanner.h,
// the list it marks in found_device_list.h.

#include <chrono>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "device_link/device_link.h"
#include "device_link/found_device_list.h"
#include "device_link/supported_devices.h"

namespace rerov {

// What the manager needs of a device page (CZidiraUSBDevice implements it).
class ManagedDevice {
  public:
    virtual ~ManagedDevice() = default;
    // The command channel.
    virtual DeviceLink& MainLink() = 0;
    // The record the page was created with (the command row of its cable path).
    virtual const SupportedDevice& DeviceRecord() const = 0;
    // Stores the record; the page's kind and role become the record's.
    virtual void SetDeviceRecord(const SupportedDevice& record) = 0;
    virtual int FamilyIndex() const = 0;
    virtual bool HasPowerDisplay() const = 0;
    // Full read-out of the device (no-op until the family implements it).
    virtual void ReadAll() = 0;
    virtual void ReadPowerStatus() = 0;
    // The device's secondary (event) interface of the given kind arrived / vanished.
    virtual void OpenSecondary(const std::string& path, int kind) = 0;
    virtual void CloseSecondary(int kind) = 0;
};

// What the manager asks of the window (the shell's CMainWnd implements it).
class DeviceManagerHost {
  public:
    virtual ~DeviceManagerHost() = default;
    // The page whose record equals `record`, or null.
    virtual ManagedDevice* FindDevicePage(const SupportedDevice& record) = 0;
    // Creates the page of the family matching the row (false when none matches).
    virtual bool CreateDevicePage(int supportedRow, int role) = 0;
    // The page's list entry exists (pages created by CreateDevicePage always have one).
    virtual bool HasListEntry(ManagedDevice* page) = 0;
    // Selects the page's list entry (as the active one when no other is selected).
    virtual void SelectDeviceEntry(ManagedDevice* page) = 0;
    virtual void DeactivateDeviceEntry(ManagedDevice* page) = 0;
    // Starts one of the list entry's control timers (1001, 1007, ...).
    virtual void StartEntryTimer(ManagedDevice* page, int timerId, int periodMs) = 0;
    // Message 3331: show (true) or hide the list entry of a family.
    virtual void ShowDeviceEntry(int familyIndex, bool show) = 0;
    // Closes the settings window when it is open.
    virtual void CloseSettingsWindow() = 0;
    // Refreshes "No_device_Link" and brings the window to the front.
    virtual void AfterArrival() = 0;
    // Shutdown: removes the page's power control, page and list entry from their
    // containers and drops it from its kind list. The default leaves them to the
    // window's own teardown.
    virtual void RemoveDevicePage(ManagedDevice* page) { (void)page; }
};

// The decisions of the device manager on the user-interface thread: arrival, removal
// and the switch between cable and receiver, acting through the host and the pages.
class DeviceManager {
  public:
    using SleepFunction = std::function<void(std::chrono::milliseconds)>;

    // List and host must outlive the manager. `families` defaults to the family table
    // with the ids in effect.
    DeviceManager(FoundDeviceList& found, DeviceManagerHost& host);
    DeviceManager(FoundDeviceList& found, DeviceManagerHost& host,
                  std::vector<DeviceFamily> families);

    // Replaces the sleep between QueryReceiverLink attempts (tests).
    void SetSleepFunction(SleepFunction sleep) { sleep_ = std::move(sleep); }

    // Start-up: creates the pages of every family but the last (the headset's page is
    // created on its first arrival).
    void CreateDevicePages();
    // Shutdown: for every family's page, clears the link's connected flag, closes both its
    // interfaces and asks the host to remove the page. The window's only page teardown.
    void DestroyDevicePages();

    // Message 3090: entry `index` has just been marked present.
    void OnDeviceArrival(size_t index);
    // Message 3091: entry `index` has just been marked absent.
    void OnDeviceRemoval(size_t index);

    // The family row with the vendor id, product id and kind of found-device entry
    // `supportedRow` and the given role; -1 when there is none (or the row is out of range).
    int FamilyOfRow(int supportedRow, int role) const;
    // The family table the manager works with; a family index is a position in it.
    const std::vector<DeviceFamily>& Families() const { return families_; }
    // The record a device's page is known by for entry `index`: the cable command entry
    // for a receiver entry paired both ways and for a secondary interface; the entry
    // itself otherwise.
    SupportedDevice DeviceRecordOf(size_t index) const;

    // Number of QueryReceiverLink attempts after a switch to the receiver, and the pause
    // after each failed one but the last.
    static constexpr int kReceiverQueryAttempts = 26;
    static constexpr std::chrono::milliseconds kReceiverQueryPause{50};

  private:
    void CommandArrival(size_t index, const SupportedDevice& entry, const SupportedDevice& record);
    // When the paired path of entry `index` is present: a cable entry switches the link
    // over, a receiver entry changes nothing; returns true. False when the pair is absent.
    bool OtherPathTakesOver(size_t index, const SupportedDevice& entry);
    // Switch between cable and receiver for cable entry `index`.
    void SwitchPath(size_t index);
    void FinishSwitchToReceiver(ManagedDevice* page);
    void FinishSwitchToCable(ManagedDevice* page);
    // The paired entry of `index` when the pairing points back; -1 otherwise.
    int PairedEntry(size_t index) const;
    // The first entry with these ids, kind and role; -1 when none.
    int RowOf(uint16_t vendorId, uint16_t productId, uint16_t kind, uint16_t role) const;

    FoundDeviceList& found_;
    DeviceManagerHost& host_;
    std::vector<DeviceFamily> families_;
    SleepFunction sleep_;
};

}  // namespace rerov
