#pragma once
// HidDevice: the one class through which the program touches a HID interface: lists the
// interface paths, opens one by path, reads its attributes and capabilities, performs a
// read or a write with a time-out that another thread can abort, and unpacks input
// reports into button usages and values.

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "device_link/hid_backend.h"
#include "device_link/report_descriptor.h"

namespace rerov {

struct HidAttributes {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t versionNumber = 0;
};

// Capabilities of the collection the device was opened for.
struct HidCaps {
    uint16_t usage = 0;
    uint16_t usagePage = 0;
    uint16_t inputReportByteLength = 0;  // largest input report, report id byte included
    uint16_t outputReportByteLength = 0;
    uint16_t featureReportByteLength = 0;
    uint16_t numberInputButtonCaps = 0;
    uint16_t numberInputValueCaps = 0;
    uint16_t numberOutputButtonCaps = 0;
    uint16_t numberOutputValueCaps = 0;
    uint16_t numberFeatureButtonCaps = 0;
    uint16_t numberFeatureValueCaps = 0;
};

// One control of a report, filled by UnpackInputReport.
struct HidDataDescriptor {
    bool isButton = false;
    uint16_t usagePage = 0;
    int32_t lastStatus = 0;  // 0 = success
    uint32_t reportId = 0;
    bool isDataSet = false;
    // Buttons: the usage range and the usages pressed, packed to the front, zero-terminated
    // when fewer than the maximum.
    uint16_t usageMin = 0;
    uint16_t usageMax = 0;
    std::vector<uint16_t> usages;
    // Values.
    uint16_t usage = 0;
    uint32_t rawValue = 0;
    int32_t scaledValue = 0;
};

class HidDevice {
  public:
    // A null backend means CurrentHidBackend() at the time of Enumerate/Open.
    explicit HidDevice(std::shared_ptr<HidBackend> backend = nullptr);
    ~HidDevice();
    HidDevice(const HidDevice&) = delete;
    HidDevice& operator=(const HidDevice&) = delete;

    // Fills the path list with every present interface's canonical path and resets the
    // cursor. Returns false only when the backend fails; no device is an empty list.
    bool Enumerate();
    // The path at the cursor, advancing it; nullopt when the list is empty or exhausted.
    std::optional<std::string> NextPath();
    void ClearPaths();
    const std::vector<std::string>& Paths() const { return paths_; }

    // Opens one interface (closing a previous one first). On success attributes,
    // capabilities, descriptors, interface and collection numbers are valid. On failure
    // LastError() says why (for example no permission on the hidraw node). Callers pass
    // one of the presets of hid_backend.h (kCommandAccess, kProbeAccess, ...).
    bool Open(const std::string& path, HidOpenMode mode);
    // Releases a Read or Write blocked in another thread promptly, then closes.
    // Harmless on a closed object; safe to call from any thread.
    void Close();
    bool IsOpen() const;

    // One transfer each. Read delivers only input reports whose report id belongs to the
    // opened collection. Returns false on time-out, cancel or failure; *count (optional)
    // is then 0. timeoutMs == kInfiniteTimeout (any negative value) waits until a report
    // arrives or Close.
    bool Read(uint8_t* buffer, size_t length, size_t* bytesRead, int timeoutMs);
    bool Write(const uint8_t* buffer, size_t length, size_t* bytesWritten, int timeoutMs);

    // Updates the input descriptors from one input report (report id in byte 0).
    bool UnpackInputReport(const uint8_t* report, size_t length);

    const std::string& Path() const { return path_; }
    // The mode of the last Open.
    HidOpenMode OpenMode() const { return mode_; }
    const HidAttributes& Attributes() const { return attributes_; }
    const HidCaps& Caps() const { return caps_; }
    int InterfaceNumber() const { return interfaceNumber_; }
    int CollectionNumber() const { return collectionNumber_; }
    const std::vector<HidDataDescriptor>& InputDescriptors() const { return inputDescriptors_; }
    const std::vector<HidDataDescriptor>& OutputDescriptors() const { return outputDescriptors_; }
    const std::vector<HidDataDescriptor>& FeatureDescriptors() const { return featureDescriptors_; }
    const std::string& LastError() const { return lastError_; }

  private:
    // Implementation state is the owner's choice; kept here so the class stays a value
    // member of DeviceLink.
    std::shared_ptr<HidBackend> backend_;
    std::vector<std::string> paths_;
    size_t cursor_ = 0;
    HidOpenMode mode_;
    std::string path_;
    std::string lastError_;
    HidAttributes attributes_;
    HidCaps caps_;
    int interfaceNumber_ = 0;
    int collectionNumber_ = 0;
    std::vector<HidDataDescriptor> inputDescriptors_, outputDescriptors_, featureDescriptors_;
    ParsedReportDescriptor descriptor_;
    std::vector<uint8_t> inputReportIds_;  // report ids of the opened collection's input reports
    bool unnumberedReports_ = false;       // the node's reports carry no report id byte
    size_t openedCollection_ = 0;          // index into descriptor_.collections

    // Close must not destroy the connection under a thread blocked in it: the
    // connection is shared, Cancel releases the blocked call, and the last user frees it.
    mutable std::mutex stateMutex_;
    std::shared_ptr<HidConnection> connection_;
    std::atomic<bool> readPending_{false};
    std::atomic<bool> writePending_{false};
};

// Parsers of a canonical (or Windows) path: the hexadecimal number after "vid_", "pid_",
// "&mi_" or "&col", searched case-insensitively; 0 when the token is absent.
uint16_t VendorIdFromPath(const std::string& path);
uint16_t ProductIdFromPath(const std::string& path);
uint16_t InterfaceFromPath(const std::string& path);
uint16_t CollectionFromPath(const std::string& path);

}  // namespace rerov
