#pragma once
// The seam between HidDevice and whatever supplies HID interfaces: the real hidraw/hidapi
// backend and the device simulator are peers behind it.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace rerov {

// Time-out of every transfer on both sides of the seam, in milliseconds: 0 does not wait,
// kInfiniteTimeout (or any negative value) waits until the transfer completes or is cancelled.
inline constexpr int kInfiniteTimeout = -1;

// How an interface is opened. Shared (not exclusive) keeps the node usable by the system
// and by other programs while it is open here.
struct HidOpenMode {
    bool read = false;
    bool write = false;
    bool exclusive = false;  // nobody else may write to the node meanwhile; others may read

    friend bool operator==(const HidOpenMode&, const HidOpenMode&) = default;
};

// The command interface: requests written, replies read; shared.
inline constexpr HidOpenMode kCommandAccess{.read = true, .write = true};
// Discovery's look at an interface's attributes and capabilities: read only, shared.
inline constexpr HidOpenMode kProbeAccess{.read = true};
// A secondary interface whose input reports carry the device's events: read and write (the
// family's input threads may answer on it), and shared so the system keeps delivering the
// consumer keys it carries.
inline constexpr HidOpenMode kEventAccess{.read = true, .write = true};
// Neither read nor write: only asks whether the node is still there and whose it is.
inline constexpr HidOpenMode kPresenceCheck{};

// One open native HID node (on hidraw one node carries every top-level collection of a
// USB interface). Every open connection receives every input report of its node; the
// HidDevice above it keeps only the reports of its own collection.
class HidConnection {
  public:
    virtual ~HidConnection() = default;

    // Vendor id, product id and version number of the device.
    virtual uint16_t VendorId() const = 0;
    virtual uint16_t ProductId() const = 0;
    virtual uint16_t VersionNumber() const = 0;

    // The raw report descriptor of the whole node.
    virtual std::vector<uint8_t> ReportDescriptor() const = 0;

    // Writes one output report, report id in byte 0, waiting at most timeoutMs (see
    // kInfiniteTimeout). Returns the bytes written, 0 on time-out, -1 on failure (device
    // gone, I/O error) or when Cancel was called.
    virtual int Write(const uint8_t* data, size_t length, int timeoutMs) = 0;

    // Reads one input report (report id in byte 0 for numbered reports) into buffer.
    // timeoutMs as for Write. Returns the bytes read, 0 on time-out, -1 on failure or when
    // Cancel was called.
    virtual int Read(uint8_t* buffer, size_t length, int timeoutMs) = 0;

    // Callable from any thread: makes a Read or Write blocked in another thread return
    // -1 promptly, and every later call return -1 at once.
    virtual void Cancel() = 0;
};

// What a HotplugWatcher's Wait ended with.
enum class HotplugWait {
    Changed,      // interfaces may have come or gone since the last Wait
    TimedOut,     // nothing happened within the time-out
    Interrupted,  // Interrupt was called
    Failed,       // the event source broke; the caller falls back to polling
};

// Wakes a waiting thread when the set of HID interfaces may have changed. One thread
// waits; any thread may interrupt.
class HotplugWatcher {
  public:
    virtual ~HotplugWatcher() = default;

    // Blocks until a change, an Interrupt or the time-out. An Interrupt that came while
    // nobody waited ends the next Wait at once.
    virtual HotplugWait Wait(std::chrono::milliseconds timeout) = 0;

    // Callable from any thread: ends the current or the next Wait with Interrupted.
    virtual void Interrupt() = 0;
};

// Lists and opens HID interfaces. Paths are canonical:
//   vid_XXXX&pid_XXXX&mi_NN&colNN#<native path>
// with one path per top-level collection; "&colNN" is left out when the node has a
// single top-level collection, and the collection number is the 1-based order of the
// top-level collection in the node's report descriptor.
class HidBackend {
  public:
    virtual ~HidBackend() = default;

    // Canonical paths of every HID interface present; empty when there is none.
    virtual std::vector<std::string> EnumeratePaths() = 0;

    // Opens the node behind a canonical path with the access and sharing of mode. On
    // failure returns null and, when error is given, a one-line reason (for example lack of
    // permission, or an exclusive holder).
    virtual std::unique_ptr<HidConnection> Open(const std::string& canonicalPath, HidOpenMode mode,
                                                std::string* error) = 0;

    // A watcher of interface arrivals and removals, or null when the backend has none
    // (the caller then polls).
    virtual std::unique_ptr<HotplugWatcher> WatchHotplug() { return nullptr; }
};

// The process-wide backend that HidDevice objects use when none is given: the platform
// backend unless a test, rerovctl --simulate or rerov-ever --simulate installed another.
std::shared_ptr<HidBackend> CurrentHidBackend();
void InstallHidBackend(std::shared_ptr<HidBackend> backend);

}  // namespace rerov
