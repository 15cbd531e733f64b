// The portable HID backend over hidapi, for the platforms where hidraw is not the backend.
// hidapi has no way to abort a blocked read, so reads wait in short slices and look at
// the cancel flag between them.

#include <hidapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device_link/hid_backend.h"
#include "device_link/hid_device.h"
#include "device_link/hid_log.h"
#include "device_link/hid_platform_backend.h"

namespace rerov {
namespace {

// Longest a Cancel waits for a read in progress to notice it.
constexpr int kReadSliceMs = 20;

bool InitHidapi() {
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] { ok = hid_init() == 0; });
    return ok;
}

std::string Narrow(const wchar_t* text) {
    std::string out;
    for (; text && *text; ++text) out += *text < 0x80 ? static_cast<char>(*text) : '?';
    return out;
}

std::string NodeOfPath(const std::string& canonicalPath) {
    const size_t hash = canonicalPath.find('#');
    return hash == std::string::npos ? canonicalPath : canonicalPath.substr(hash + 1);
}

class HidapiConnection : public HidConnection {
  public:
    HidapiConnection(hid_device* device, uint16_t vid, uint16_t pid, uint16_t version,
                     std::vector<uint8_t> descriptor)
        : device_(device),
          vid_(vid),
          pid_(pid),
          version_(version),
          descriptor_(std::move(descriptor)) {}
    ~HidapiConnection() override { hid_close(device_); }

    uint16_t VendorId() const override { return vid_; }
    uint16_t ProductId() const override { return pid_; }
    uint16_t VersionNumber() const override { return version_; }
    std::vector<uint8_t> ReportDescriptor() const override { return descriptor_; }

    int Write(const uint8_t* data, size_t length, int /*timeoutMs*/) override {
        // hidapi writes block until the platform completes them; there is no time-out.
        if (cancelled_) return -1;
        const int n = hid_write(device_, data, length);
        if (n < 0) qCDebug(lcHid, "hid_write failed: %s", Narrow(hid_error(device_)).c_str());
        return n;
    }

    int Read(uint8_t* buffer, size_t length, int timeoutMs) override {
        using Clock = std::chrono::steady_clock;
        const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            if (cancelled_) return -1;
            int slice = kReadSliceMs;
            if (timeoutMs >= 0) {
                const auto left =
                    std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
                slice = static_cast<int>(std::clamp<int64_t>(left.count(), 0, kReadSliceMs));
            }
            const int n = hid_read_timeout(device_, buffer, length, slice);
            if (n != 0) return cancelled_ ? -1 : n;  // a report, or -1 on failure
            if (timeoutMs >= 0 && Clock::now() >= deadline) return 0;
        }
    }

    void Cancel() override { cancelled_ = true; }

  private:
    hid_device* device_;
    uint16_t vid_, pid_, version_;
    std::vector<uint8_t> descriptor_;
    std::atomic<bool> cancelled_{false};
};

class HidapiBackend : public HidBackend {
  public:
    std::vector<std::string> EnumeratePaths() override {
        std::vector<std::string> paths;
        if (!InitHidapi()) {
            qCWarning(lcHid, "hid_init failed");
            return paths;
        }
        hid_device_info* list = hid_enumerate(0, 0);
        // Where one native path carries several collections (each listed with its usage),
        // they are numbered in listing order; Windows paths carry their own "&col".
        std::map<std::string, int> perPath;
        for (hid_device_info* d = list; d; d = d->next) {
            if (d->path) ++perPath[d->path];
        }
        std::map<std::string, int> seen;
        for (hid_device_info* d = list; d; d = d->next) {
            if (!d->path) continue;
            const std::string native = d->path;
            int collection = CollectionFromPath(native);
            if (collection == 0 && perPath[native] > 1) collection = ++seen[native];
            const int interfaceNumber = std::max(d->interface_number, 0);
            char prefix[64];
            if (collection > 0) {
                std::snprintf(prefix, sizeof prefix, "vid_%04x&pid_%04x&mi_%02x&col%02x#",
                              d->vendor_id, d->product_id, interfaceNumber, collection);
            } else {
                std::snprintf(prefix, sizeof prefix, "vid_%04x&pid_%04x&mi_%02x#", d->vendor_id,
                              d->product_id, interfaceNumber);
            }
            paths.push_back(prefix + native);
        }
        hid_free_enumeration(list);
        return paths;
    }

    // hidapi opens every node for reading and writing, shared; the mode cannot narrow that.
    std::unique_ptr<HidConnection> Open(const std::string& canonicalPath, HidOpenMode /*mode*/,
                                        std::string* error) override {
        auto fail = [&](std::string reason) -> std::unique_ptr<HidConnection> {
            if (error) *error = std::move(reason);
            return nullptr;
        };
        if (!InitHidapi()) return fail("hid_init failed");
        const std::string native = NodeOfPath(canonicalPath);
        if (native.empty()) return fail("the path names no device");
        hid_device* device = hid_open_path(native.c_str());
        if (!device) return fail(native + ": " + Narrow(hid_error(nullptr)));

        uint16_t vid = VendorIdFromPath(canonicalPath), pid = ProductIdFromPath(canonicalPath);
        uint16_t version = 0;
        hid_device_info* list = hid_enumerate(vid, pid);
        for (hid_device_info* d = list; d; d = d->next) {
            if (d->path && native == d->path) version = d->release_number;
        }
        hid_free_enumeration(list);

        std::vector<uint8_t> descriptor;
#if defined(HID_API_VERSION) && HID_API_VERSION >= HID_API_MAKE_VERSION(0, 14, 0)
        descriptor.resize(HID_API_MAX_REPORT_DESCRIPTOR_SIZE);
        const int size = hid_get_report_descriptor(device, descriptor.data(), descriptor.size());
        if (size <= 0) {
            const std::string reason = Narrow(hid_error(device));
            hid_close(device);
            return fail(native + ": cannot read the report descriptor (" + reason + ")");
        }
        descriptor.resize(static_cast<size_t>(size));
#else
        // Older hidapi cannot give the descriptor; HidDevice then refuses the open.
        qCWarning(lcHid, "this hidapi cannot read report descriptors (0.14 or newer needed)");
#endif
        return std::make_unique<HidapiConnection>(device, vid, pid, version, std::move(descriptor));
    }
};

}  // namespace

std::shared_ptr<HidBackend> MakePlatformHidBackend() { return std::make_shared<HidapiBackend>(); }

}  // namespace rerov
