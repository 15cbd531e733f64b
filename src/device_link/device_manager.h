#pragma once
// The device manager's decisions on the user-interface thread: what an interface that
// arrived or vanished means for the device pages (create, open the command link on the
// cable or the receiver, switch paths, close), independent of any widget. The shell
// implements DeviceManagerHost with real pages and list entries; tests implement it
// with fakes.

#include <mutex>
#include <string>
#include <vector>

#include "device_link.h"
#include "supported_devices.h"

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
};

}  // namespace rerov
