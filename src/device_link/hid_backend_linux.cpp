// The Linux HID backend: hidraw nodes found through libudev, read and written with
// poll(2) and a time-out; an eventfd polled beside the node lets Cancel release a call
// blocked in another thread at once. Hot-plug events come from a libudev monitor on the
// "hidraw" subsystem, polled beside an eventfd in the same way.

#include "device_link/hid_backend_linux.h"

#include <fcntl.h>
#include <libudev.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

#include "device_link/hid_log.h"
#include "device_link/hid_platform_backend.h"
#include "device_link/report_descriptor.h"

namespace rerov {
namespace {

constexpr const char* kUdevRulesHint =
    "install the udev rules packaging/linux/70-rerov-ever.rules (see README) and replug the "
    "device";

struct UdevDeleter {
    void operator()(udev* u) const { udev_unref(u); }
    void operator()(udev_enumerate* e) const { udev_enumerate_unref(e); }
    void operator()(udev_device* d) const { udev_device_unref(d); }
    void operator()(udev_monitor* m) const { udev_monitor_unref(m); }
};
template <typename T>
using UdevPtr = std::unique_ptr<T, UdevDeleter>;

std::string Errno(int error) { return std::strerror(error); }

// The native node of a canonical path: what follows the first '#'.
std::string NodeOfPath(const std::string& canonicalPath) {
    const size_t hash = canonicalPath.find('#');
    return hash == std::string::npos ? canonicalPath : canonicalPath.substr(hash + 1);
}

bool ReadFileBytes(const std::string& file, std::vector<uint8_t>* bytes) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool DescriptorByIoctl(int fd, std::vector<uint8_t>* bytes) {
    int size = 0;
    if (ioctl(fd, HIDIOCGRDESCSIZE, &size) < 0 || size <= 0 || size > HID_MAX_DESCRIPTOR_SIZE) {
        return false;
    }
    hidraw_report_descriptor desc{};
    desc.size = static_cast<__u32>(size);
    if (ioctl(fd, HIDIOCGRDESC, &desc) < 0) return false;
    bytes->assign(desc.value, desc.value + size);
    return true;
}

// Vendor and product of a HID device from its HID_ID property ("bus:vendor:product").
bool ParseHidId(const char* hidId, uint16_t* vid, uint16_t* pid) {
    if (!hidId) return false;
    unsigned bus = 0, v = 0, p = 0;
    if (std::sscanf(hidId, "%x:%x:%x", &bus, &v, &p) != 3) return false;
    *vid = static_cast<uint16_t>(v);
    *pid = static_cast<uint16_t>(p);
    return true;
}

// Version number (bcdDevice) of the USB device that holds a hidraw node; 0 when unknown.
uint16_t VersionOfNode(int fd) {
    struct stat st {};
    if (fstat(fd, &st) != 0) return 0;
    UdevPtr<udev> u(udev_new());
    if (!u) return 0;
    UdevPtr<udev_device> dev(udev_device_new_from_devnum(u.get(), 'c', st.st_rdev));
    if (!dev) return 0;
    udev_device* usb =
        udev_device_get_parent_with_subsystem_devtype(dev.get(), "usb", "usb_device");
    const char* bcd = usb ? udev_device_get_sysattr_value(usb, "bcdDevice") : nullptr;
    return bcd ? static_cast<uint16_t>(std::strtoul(bcd, nullptr, 16)) : 0;
}

class HidrawConnection : public HidConnection {
  public:
    HidrawConnection(int fd, int cancelFd, uint16_t vid, uint16_t pid, uint16_t version,
                     std::vector<uint8_t> descriptor)
        : fd_(fd),
          cancelFd_(cancelFd),
          vid_(vid),
          pid_(pid),
          version_(version),
          descriptor_(std::move(descriptor)) {}

    ~HidrawConnection() override {
        close(fd_);
        close(cancelFd_);
    }

    uint16_t VendorId() const override { return vid_; }
    uint16_t ProductId() const override { return pid_; }
    uint16_t VersionNumber() const override { return version_; }
    std::vector<uint8_t> ReportDescriptor() const override { return descriptor_; }

    int Write(const uint8_t* data, size_t length, int timeoutMs) override {
        const int ready = WaitFor(POLLOUT, timeoutMs);
        if (ready <= 0) return ready;
        const ssize_t n = ::write(fd_, data, length);
        if (n < 0) {
            if (errno == EAGAIN) return 0;
            qCDebug(lcHid, "hidraw write failed: %s", std::strerror(errno));
            return -1;
        }
        return static_cast<int>(n);
    }

    int Read(uint8_t* buffer, size_t length, int timeoutMs) override {
        using Clock = std::chrono::steady_clock;
        const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            int wait = timeoutMs;
            if (timeoutMs > 0) {
                const auto left =
                    std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
                wait = static_cast<int>(std::max<int64_t>(0, left.count()));
            }
            const int ready = WaitFor(POLLIN, wait);
            if (ready <= 0) return ready;
            const ssize_t n = ::read(fd_, buffer, length);
            if (n > 0) return static_cast<int>(n);
            if (n == 0) return -1;  // the node went away
            if (errno != EAGAIN && errno != EINTR) {
                qCDebug(lcHid, "hidraw read failed: %s", std::strerror(errno));
                return -1;
            }
            // Woken without a report after all: wait out the rest of the time-out.
            if (timeoutMs == 0) return 0;
        }
    }

    void Cancel() override {
        cancelled_ = true;
        const uint64_t one = 1;
        // The counter only has to become non-zero; a full counter is already non-zero.
        [[maybe_unused]] ssize_t n = ::write(cancelFd_, &one, sizeof one);
    }

  private:
    // 1 when the node is ready, 0 on time-out, -1 on cancel, hang-up or error.
    int WaitFor(short events, int timeoutMs) {
        if (cancelled_) return -1;
        pollfd fds[2] = {{fd_, events, 0}, {cancelFd_, POLLIN, 0}};
        for (;;) {
            const int r = poll(fds, 2, timeoutMs);
            if (r < 0 && errno == EINTR) continue;  // a signal is not a time-out
            if (r < 0) return -1;
            if (r == 0) return 0;
            if (cancelled_ || (fds[1].revents & POLLIN)) return -1;
            if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) return -1;
            return 1;
        }
    }

    int fd_;
    int cancelFd_;
    uint16_t vid_, pid_, version_;
    std::vector<uint8_t> descriptor_;
    std::atomic<bool> cancelled_{false};
};

// Wakes on hidraw "add" and "remove" events. The udev daemon's events come after its
// rules have set the node's permissions; without a daemon (containers) the kernel's own
// events are the only ones there are.
class UdevHotplugWatcher : public HotplugWatcher {
  public:
    static std::unique_ptr<HotplugWatcher> Create(std::string* error) {
        auto fail = [&](const std::string& reason) -> std::unique_ptr<HotplugWatcher> {
            if (error) *error = reason;
            return nullptr;
        };
        UdevPtr<udev> u(udev_new());
        if (!u) return fail("udev_new failed");
        const bool daemonRuns = access("/run/udev/control", F_OK) == 0;
        UdevPtr<udev_monitor> monitor(
            udev_monitor_new_from_netlink(u.get(), daemonRuns ? "udev" : "kernel"));
        if (!monitor) return fail("cannot create a udev monitor");
        int r = udev_monitor_filter_add_match_subsystem_devtype(monitor.get(), "hidraw", nullptr);
        if (r < 0) return fail("udev monitor filter: " + Errno(-r));
        r = udev_monitor_enable_receiving(monitor.get());
        if (r < 0) return fail("udev monitor: " + Errno(-r));
        const int monitorFd = udev_monitor_get_fd(monitor.get());
        if (monitorFd < 0) return fail("udev monitor has no descriptor");
        const int wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (wakeFd < 0) return fail("eventfd: " + Errno(errno));
        return std::unique_ptr<HotplugWatcher>(
            new UdevHotplugWatcher(std::move(u), std::move(monitor), monitorFd, wakeFd));
    }

    ~UdevHotplugWatcher() override { close(wakeFd_); }

    HotplugWait Wait(std::chrono::milliseconds timeout) override {
        using Clock = std::chrono::steady_clock;
        const Clock::time_point deadline = Clock::now() + timeout;
        for (;;) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
            const int waitMs = static_cast<int>(std::clamp<int64_t>(left.count(), 0, INT_MAX));
            pollfd fds[2] = {{monitorFd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
            const int r = poll(fds, 2, waitMs);
            if (r < 0 && errno == EINTR) continue;
            if (r < 0) {
                qCWarning(lcHid, "hot-plug poll failed: %s", std::strerror(errno));
                return HotplugWait::Failed;
            }
            if (r == 0) return HotplugWait::TimedOut;
            if (fds[1].revents & POLLIN) {
                uint64_t count = 0;
                // Resets the counter; a failed read leaves it set, which only wakes again.
                [[maybe_unused]] ssize_t n = ::read(wakeFd_, &count, sizeof count);
                return HotplugWait::Interrupted;
            }
            if (fds[0].revents & (POLLHUP | POLLNVAL)) {
                qCWarning(lcHid, "hot-plug monitor closed");
                return HotplugWait::Failed;
            }
            if (fds[0].revents & (POLLIN | POLLERR)) {
                // Take every queued event: one pass of the caller covers them all. The
                // descriptor is non-blocking, so this ends when the queue is empty. An
                // error (events lost to a full buffer) is cleared by the receive and
                // reported as a change, so the caller rescans.
                while (UdevPtr<udev_device> dev{udev_monitor_receive_device(monitor_.get())}) {
                }
                return HotplugWait::Changed;
            }
        }
    }

    void Interrupt() override {
        const uint64_t one = 1;
        // The counter only has to become non-zero; a full counter is already non-zero.
        [[maybe_unused]] ssize_t n = ::write(wakeFd_, &one, sizeof one);
    }

  private:
    UdevHotplugWatcher(UdevPtr<udev> u, UdevPtr<udev_monitor> monitor, int monitorFd, int wakeFd)
        : udev_(std::move(u)),
          monitor_(std::move(monitor)),
          monitorFd_(monitorFd),
          wakeFd_(wakeFd) {}

    UdevPtr<udev> udev_;
    UdevPtr<udev_monitor> monitor_;
    int monitorFd_;
    int wakeFd_;
};

class HidrawBackend : public HidBackend {
  public:
    std::unique_ptr<HotplugWatcher> WatchHotplug() override {
        std::string error;
        std::unique_ptr<HotplugWatcher> watcher = UdevHotplugWatcher::Create(&error);
        if (!watcher) qCWarning(lcHid, "no hot-plug events (%s); polling", error.c_str());
        return watcher;
    }

    std::vector<std::string> EnumeratePaths() override {
        std::vector<std::string> paths;
        UdevPtr<udev> u(udev_new());
        if (!u) {
            qCWarning(lcHid, "udev_new failed");
            return paths;
        }
        UdevPtr<udev_enumerate> en(udev_enumerate_new(u.get()));
        if (!en || udev_enumerate_add_match_subsystem(en.get(), "hidraw") < 0 ||
            udev_enumerate_scan_devices(en.get()) < 0) {
            qCWarning(lcHid, "udev enumeration of hidraw devices failed");
            return paths;
        }
        udev_list_entry* entry = nullptr;
        udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(en.get())) {
            UdevPtr<udev_device> dev(
                udev_device_new_from_syspath(u.get(), udev_list_entry_get_name(entry)));
            if (dev) AddNodePaths(dev.get(), &paths);
        }
        return paths;
    }

    std::unique_ptr<HidConnection> Open(const std::string& canonicalPath, HidOpenMode mode,
                                        std::string* error) override {
        // hidraw has no share modes: exclusive use is not enforced by the kernel, and the
        // discovery probe and a device link may hold the same node at once, as intended.
        const std::string node = NodeOfPath(canonicalPath);
        auto fail = [&](std::string reason) -> std::unique_ptr<HidConnection> {
            if (error) *error = std::move(reason);
            return nullptr;
        };
        if (node.empty()) return fail("the path names no device node");
        const int flags = (mode.write && mode.read) ? O_RDWR : mode.write ? O_WRONLY : O_RDONLY;
        const int fd = ::open(node.c_str(), flags | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return fail(hidraw::OpenFailureReason(node, errno));
        struct stat st {};
        if (fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) {
            close(fd);
            return fail(node + " is not a HID device node");
        }
        hidraw_devinfo info{};
        if (ioctl(fd, HIDIOCGRAWINFO, &info) < 0) {
            const int e = errno;
            close(fd);
            return fail(node + ": cannot read the device information (" + Errno(e) + ")");
        }
        std::vector<uint8_t> descriptor;
        if (!DescriptorByIoctl(fd, &descriptor)) {
            const int e = errno;
            close(fd);
            return fail(node + ": cannot read the report descriptor (" + Errno(e) + ")");
        }
        return hidraw::WrapNode(fd, static_cast<uint16_t>(info.vendor),
                                static_cast<uint16_t>(info.product), VersionOfNode(fd),
                                std::move(descriptor), error);
    }

  private:
    // One canonical path per top-level collection of the node's report descriptor.
    static void AddNodePaths(udev_device* dev, std::vector<std::string>* paths) {
        const char* node = udev_device_get_devnode(dev);
        udev_device* hid = udev_device_get_parent_with_subsystem_devtype(dev, "hid", nullptr);
        if (!node || !hid) return;
        uint16_t vid = 0, pid = 0;
        if (!ParseHidId(udev_device_get_property_value(hid, "HID_ID"), &vid, &pid)) {
            qCDebug(lcHid, "%s: no HID_ID, skipped", node);
            return;
        }
        int interfaceNumber = 0;
        udev_device* intf =
            udev_device_get_parent_with_subsystem_devtype(dev, "usb", "usb_interface");
        if (const char* n =
                intf ? udev_device_get_sysattr_value(intf, "bInterfaceNumber") : nullptr) {
            interfaceNumber = static_cast<int>(std::strtol(n, nullptr, 16));
        }
        std::vector<uint8_t> raw;
        const std::string sysDescriptor =
            std::string(udev_device_get_syspath(hid)) + "/report_descriptor";
        if (!ReadFileBytes(sysDescriptor, &raw) || raw.empty()) {
            const int fd = ::open(node, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
            const bool ok = fd >= 0 && DescriptorByIoctl(fd, &raw);
            if (fd >= 0) close(fd);
            if (!ok) {
                qCDebug(lcHid, "%s: report descriptor unreadable, skipped", node);
                return;
            }
        }
        ParsedReportDescriptor parsed;
        std::string error;
        if (!ParseReportDescriptor(raw.data(), raw.size(), &parsed, &error)) {
            qCDebug(lcHid, "%s: %s, skipped", node, error.c_str());
            return;
        }
        if (parsed.collections.size() == 1) {
            paths->push_back(hidraw::CanonicalPath(vid, pid, interfaceNumber, 0, node));
            return;
        }
        for (const HidTopLevelCollection& c : parsed.collections) {
            paths->push_back(hidraw::CanonicalPath(vid, pid, interfaceNumber, c.number, node));
        }
    }
};

}  // namespace

std::shared_ptr<HidBackend> MakePlatformHidBackend() { return std::make_shared<HidrawBackend>(); }

namespace hidraw {

std::unique_ptr<HotplugWatcher> MakeUdevHotplugWatcher(std::string* error) {
    return UdevHotplugWatcher::Create(error);
}

std::string CanonicalPath(uint16_t vid, uint16_t pid, int interfaceNumber, int collection,
                          const std::string& node) {
    char prefix[64];
    if (collection > 0) {
        std::snprintf(prefix, sizeof prefix, "vid_%04x&pid_%04x&mi_%02x&col%02x#", vid, pid,
                      interfaceNumber, collection);
    } else {
        std::snprintf(prefix, sizeof prefix, "vid_%04x&pid_%04x&mi_%02x#", vid, pid,
                      interfaceNumber);
    }
    return prefix + node;
}

std::string OpenFailureReason(const std::string& node, int error) {
    if (error == EACCES || error == EPERM) {
        return "access to " + node + " was refused (" + Errno(error) + "); " + kUdevRulesHint;
    }
    return node + ": " + Errno(error);
}

std::unique_ptr<HidConnection> WrapNode(int fd, uint16_t vendorId, uint16_t productId,
                                        uint16_t version, std::vector<uint8_t> descriptor,
                                        std::string* error) {
    const int cancelFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (cancelFd < 0) {
        const int e = errno;
        close(fd);
        if (error) *error = "eventfd: " + Errno(e);
        return nullptr;
    }
    return std::make_unique<HidrawConnection>(fd, cancelFd, vendorId, productId, version,
                                              std::move(descriptor));
}

}  // namespace hidraw

}  // namespace rerov
