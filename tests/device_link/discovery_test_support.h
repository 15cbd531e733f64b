#pragma once
// Fixtures of the discovery tests: a backend that wraps the simulator to count and
// disturb what discovery does, and a fake window and device page that record what the
// device manager asks of them.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device_link/device_manager.h"
#include "device_link/device_scanner.h"
#include "device_link/found_device_list.h"
#include "sim/simulated_bus.h"

namespace rerov::discoverytest {

inline constexpr auto kGenerous = std::chrono::seconds(10);

// Rows of the supported-device table used below.
inline constexpr size_t kKeyboardCommand = 0;
inline constexpr size_t kKeyboardSecondary = 1;
inline constexpr size_t kReceiverCommand = 2;
inline constexpr size_t kReceiverSecondary = 3;
inline constexpr size_t kMouseCommand = 4;
inline constexpr size_t kPadCommand = 8;
inline constexpr size_t kHeadsetCommand = 10;

// Passes everything to the simulator and counts it. With twins on, every interface
// appears a second time under another native node that opens the same device (a second
// identical keyboard). Scan probes (read-only opens) can be made to fail.
class CountingBackend : public HidBackend {
  public:
    explicit CountingBackend(std::shared_ptr<sim::SimulatedBus> bus) : bus_(std::move(bus)) {}

    std::vector<std::string> EnumeratePaths() override {
        enumerations.fetch_add(1);
        std::vector<std::string> paths = bus_->EnumeratePaths();
        if (twins.load()) {
            const size_t count = paths.size();
            for (size_t i = 0; i < count; ++i) paths.push_back(Twin(paths[i]));
        }
        return paths;
    }

    std::unique_ptr<HidConnection> Open(const std::string& path, HidOpenMode mode,
                                        std::string* error) override {
        if (mode == kPresenceCheck) {
            presenceProbes.fetch_add(1);
        } else if (mode == kProbeAccess && failScanProbes.load() > 0) {
            failScanProbes.fetch_sub(1);
            if (error) *error = "probe refused by the test";
            return nullptr;
        }
        return bus_->Open(Redirected(Untwin(path)), mode, error);
    }

    // From now on `path` opens the node of `target` (a node name handed to another device).
    void Redirect(const std::string& path, const std::string& target) {
        std::lock_guard lock(mutex_);
        redirects_[path] = target;
    }

    std::unique_ptr<HotplugWatcher> WatchHotplug() override { return bus_->WatchHotplug(); }

    static std::string Twin(const std::string& path) { return Replace(path, "#sim:", "#twin:"); }

    std::atomic<size_t> enumerations{0};
    std::atomic<size_t> presenceProbes{0};
    std::atomic<int> failScanProbes{0};
    std::atomic<bool> twins{false};

  private:
    std::string Redirected(const std::string& path) {
        std::lock_guard lock(mutex_);
        const auto it = redirects_.find(path);
        return it == redirects_.end() ? path : it->second;
    }
    static std::string Untwin(const std::string& path) { return Replace(path, "#twin:", "#sim:"); }
    static std::string Replace(std::string text, const std::string& from, const std::string& to) {
        const size_t at = text.find(from);
        if (at != std::string::npos) text.replace(at, from.size(), to);
        return text;
    }

    std::shared_ptr<sim::SimulatedBus> bus_;
    std::mutex mutex_;
    std::map<std::string, std::string> redirects_;
};

class EventLog;

// A device page without widgets: a real DeviceLink on the backend, every call logged.
class FakePage : public ManagedDevice {
  public:
    FakePage(std::shared_ptr<HidBackend> backend, SupportedDevice record, int family,
             bool powerDisplay, EventLog& log)
        : link_(std::move(backend)),
          record_(std::move(record)),
          family_(family),
          powerDisplay_(powerDisplay),
          log_(log) {}

    DeviceLink& MainLink() override { return link_; }
    const SupportedDevice& DeviceRecord() const override { return record_; }
    void SetDeviceRecord(const SupportedDevice& record) override;
    int FamilyIndex() const override { return family_; }
    bool HasPowerDisplay() const override { return powerDisplay_; }
    void ReadAll() override;
    void ReadPowerStatus() override;
    void OpenSecondary(const std::string& path, int kind) override;
    void CloseSecondary(int kind) override;

  private:
    DeviceLink link_;
    SupportedDevice record_;  // written and read on the manager's thread only
    const int family_;
    const bool powerDisplay_;
    EventLog& log_;
};

// What the manager did, in order, as short lines ("select 1", "timer 1 1001 500", ...;
// pages are named by family index). Waitable from the test thread.
class EventLog {
  public:
    void Add(std::string line) {
        {
            std::lock_guard lock(mutex_);
            lines_.push_back(std::move(line));
        }
        changed_.notify_all();
    }
    std::vector<std::string> Lines() const {
        std::lock_guard lock(mutex_);
        return lines_;
    }
    // Lines from position `from` on.
    std::vector<std::string> Since(size_t from) const {
        std::lock_guard lock(mutex_);
        return {lines_.begin() + static_cast<std::ptrdiff_t>(std::min(from, lines_.size())),
                lines_.end()};
    }
    size_t Size() const {
        std::lock_guard lock(mutex_);
        return lines_.size();
    }
    bool Contains(const std::string& line) const {
        std::lock_guard lock(mutex_);
        return std::find(lines_.begin(), lines_.end(), line) != lines_.end();
    }
    // Waits (generously) until `line` has been logged at or after position `from`.
    bool WaitFor(const std::string& line, size_t from = 0) const {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kGenerous, [&] {
            return std::find(
                       lines_.begin() + static_cast<std::ptrdiff_t>(std::min(from, lines_.size())),
                       lines_.end(), line) != lines_.end();
        });
    }

  private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<std::string> lines_;
};

inline void FakePage::SetDeviceRecord(const SupportedDevice& record) {
    record_ = record;
    log_.Add("record " + std::to_string(family_) + " kind " + std::to_string(record.kind));
}
inline void FakePage::ReadAll() { log_.Add("readall " + std::to_string(family_)); }
inline void FakePage::ReadPowerStatus() { log_.Add("power " + std::to_string(family_)); }
inline void FakePage::OpenSecondary(const std::string& path, int kind) {
    log_.Add("open-secondary " + std::to_string(family_) + " kind " + std::to_string(kind) +
             (path.empty() ? " no path" : ""));
}
inline void FakePage::CloseSecondary(int kind) {
    log_.Add("close-secondary " + std::to_string(family_) + " kind " + std::to_string(kind));
}

// The window side: pages by family, list entries always present, every call logged.
class FakeHost : public DeviceManagerHost {
  public:
    FakeHost(std::shared_ptr<HidBackend> backend, FoundDeviceList& found, EventLog& log)
        : backend_(std::move(backend)), found_(found), log_(log) {}

    void SetManager(DeviceManager* manager) { manager_ = manager; }

    ManagedDevice* FindDevicePage(const SupportedDevice& record) override {
        std::lock_guard lock(mutex_);
        for (const auto& page : pages_) {
            if (page->DeviceRecord() == record) return page.get();
        }
        return nullptr;
    }
    bool CreateDevicePage(int supportedRow, int role) override {
        const int family = manager_->FamilyOfRow(supportedRow, role);
        log_.Add("create " + std::to_string(supportedRow) + " family " + std::to_string(family));
        if (family < 0) return false;
        const bool power = kDevicePageLayouts[static_cast<size_t>(family)].hasPowerDisplay != 0;
        std::lock_guard lock(mutex_);
        pages_.push_back(std::make_unique<FakePage>(
            backend_, found_.Entry(static_cast<size_t>(supportedRow)), family, power, log_));
        return true;
    }
    bool HasListEntry(ManagedDevice*) override { return true; }
    void SelectDeviceEntry(ManagedDevice* page) override {
        log_.Add("select " + std::to_string(page->FamilyIndex()));
    }
    void DeactivateDeviceEntry(ManagedDevice* page) override {
        log_.Add("deactivate " + std::to_string(page->FamilyIndex()));
    }
    void StartEntryTimer(ManagedDevice* page, int timerId, int periodMs) override {
        log_.Add("timer " + std::to_string(page->FamilyIndex()) + " " + std::to_string(timerId) +
                 " " + std::to_string(periodMs));
    }
    void ShowDeviceEntry(int familyIndex, bool show) override {
        log_.Add("show " + std::to_string(familyIndex) + " " + (show ? "1" : "0"));
    }
    void CloseSettingsWindow() override { log_.Add("close-settings"); }
    void AfterArrival() override { log_.Add("after-arrival"); }
    void RemoveDevicePage(ManagedDevice* page) override {
        log_.Add("remove " + std::to_string(page->FamilyIndex()));
    }

    // The page of a family, or null.
    FakePage* Page(int family) {
        std::lock_guard lock(mutex_);
        for (const auto& page : pages_) {
            if (page->FamilyIndex() == family) return page.get();
        }
        return nullptr;
    }
    size_t PageCount() const {
        std::lock_guard lock(mutex_);
        return pages_.size();
    }

  private:
    std::shared_ptr<HidBackend> backend_;
    FoundDeviceList& found_;
    EventLog& log_;
    DeviceManager* manager_ = nullptr;
    mutable std::mutex mutex_;
    std::vector<std::unique_ptr<FakePage>> pages_;
};

// Simulator, counting backend, found-device list, fake window and the manager.
class DiscoveryTest : public ::testing::Test {
  protected:
    DiscoveryTest() {
        host_.SetManager(&manager_);
        manager_.SetSleepFunction([this](std::chrono::milliseconds pause) {
            sleeps_.fetch_add(1);
            EXPECT_EQ(pause, std::chrono::milliseconds(50));
        });
    }
    ~DiscoveryTest() override {
        // The simulated firmware refuses a session closed too soon; no test may provoke it.
        EXPECT_EQ(bus_->TimingViolations(), 0u) << "EndSession sent too soon after a transfer";
    }

    // Marks entry `row` present with the simulator's path of that row, as the scan does.
    bool MarkPresent(size_t row) {
        const SupportedDevice wanted = found_.Entry(row);
        for (const std::string& path : bus_->EnumeratePaths()) {
            if (VendorIdFromPath(path) == wanted.vendorId &&
                ProductIdFromPath(path) == wanted.productId &&
                InterfaceFromPath(path) == wanted.interfaceNumber &&
                CollectionFromPath(path) == wanted.collectionNumber) {
                return found_.MarkPresent(wanted.vendorId, wanted.productId, wanted.interfaceNumber,
                                          wanted.collectionNumber, wanted.usagePage, wanted.usage,
                                          path) == static_cast<int>(row);
            }
        }
        return false;
    }

    std::shared_ptr<sim::SimulatedBus> bus_ = std::make_shared<sim::SimulatedBus>();
    std::shared_ptr<CountingBackend> backend_ = std::make_shared<CountingBackend>(bus_);
    FoundDeviceList found_;
    EventLog log_;
    FakeHost host_{backend_, found_, log_};
    DeviceManager manager_{found_, host_};
    std::atomic<int> sleeps_{0};
};

}  // namespace rerov::discoverytest
