#include "device_link/device_scanner.h"

#include "device_link/discovery_log.h"
#include "device_link/hid_device.h"

namespace rerov {

// One piece of work handed to another thread by CallAndWait.
struct DeviceScanner::PendingCall {
    std::mutex mutex;
    std::condition_variable done;
    std::function<void()> work;
    bool started = false;
    bool finished = false;
    bool cancelled = false;  // a stop was requested while waiting
    bool abandoned = false;  // the waiter gave up; the work must not run any more
};

DeviceScanner::DeviceScanner(FoundDeviceList& list, std::shared_ptr<HidBackend> backend,
                             DeviceScannerOptions options)
    : list_(list),
      backend_(backend ? std::move(backend) : CurrentHidBackend()),
      options_(options) {}

DeviceScanner::~DeviceScanner() {
    Stop();
    if (thread_.joinable()) thread_.join();
}

bool DeviceScanner::Start() {
    if (thread_.joinable()) {
        {
            std::lock_guard lock(mutex_);
            if (!finished_) return false;
        }
        thread_.join();
    }
    watcher_.reset();
    if (options_.useHotplug && backend_) watcher_ = backend_->WatchHotplug();
    watcherFailed_ = false;
    retryPending_ = false;
    refusedPaths_.clear();
    {
        std::lock_guard lock(mutex_);
        stopRequested_.store(false);
        wakeRequested_ = false;
        finished_ = false;
    }
    thread_ = std::thread(&DeviceScanner::Run, this);
    return true;
}

void DeviceScanner::RequestStop() {
    {
        std::lock_guard lock(mutex_);
        stopRequested_.store(true);
        if (pendingCall_) {
            std::lock_guard callLock(pendingCall_->mutex);
            pendingCall_->cancelled = true;
            pendingCall_->done.notify_all();
        }
    }
    wake_.notify_all();
    if (watcher_) watcher_->Interrupt();
}

bool DeviceScanner::Stop(std::chrono::milliseconds bound) {
    RequestStop();
    if (!thread_.joinable()) return true;
    {
        std::unique_lock lock(mutex_);
        if (!wake_.wait_for(lock, bound, [&] { return finished_; })) {
            qCWarning(lcDiscovery, "scan thread did not end within %lld ms",
                      static_cast<long long>(bound.count()));
            return false;
        }
    }
    thread_.join();
    watcher_.reset();
    return true;
}

void DeviceScanner::Detach() {
    if (thread_.joinable()) thread_.detach();
}

bool DeviceScanner::IsRunning() const {
    std::lock_guard lock(mutex_);
    return !finished_;
}

void DeviceScanner::Wake() {
    {
        std::lock_guard lock(mutex_);
        wakeRequested_ = true;
    }
    wake_.notify_all();
    if (watcher_) watcher_->Interrupt();
}

bool DeviceScanner::CallAndWait(const Poster& post, std::function<void()> work) {
    auto call = std::make_shared<PendingCall>();
    call->work = std::move(work);
    {
        std::lock_guard lock(mutex_);
        if (stopRequested_.load()) return false;
        pendingCall_ = call;
    }
    post([call] {
        {
            std::lock_guard lock(call->mutex);
            if (call->abandoned) return;
            call->started = true;
        }
        call->work();
        {
            std::lock_guard lock(call->mutex);
            call->finished = true;
        }
        call->done.notify_all();
    });
    bool ran = false;
    {
        std::unique_lock lock(call->mutex);
        // Once started, the work runs on the other thread, which then is not in Stop:
        // waiting for it to finish cannot deadlock.
        call->done.wait(lock,
                        [&] { return call->finished || (call->cancelled && !call->started); });
        ran = call->finished;
        if (!ran) call->abandoned = true;
    }
    std::lock_guard lock(mutex_);
    pendingCall_.reset();
    return ran;
}

void DeviceScanner::Run() {
    using Clock = std::chrono::steady_clock;
    bool enumerate = true;
    bool firstPassReported = false;
    Clock::time_point lastEnumeration = Clock::now();
    while (!stopRequested_.load()) {
        if (enumerate && list_.AnyAbsent()) {
            if (!EnumeratePass()) {
                qCWarning(lcDiscovery, "HID enumeration failed; the scan ends");
                // The window waits for the first pass to show itself; it must come even
                // when there will be no devices.
                if (!firstPassReported && onFirstPass_) onFirstPass_();
                break;
            }
            lastEnumeration = Clock::now();
        }
        if (!firstPassReported) {
            firstPassReported = true;
            if (onFirstPass_ && !stopRequested_.load()) onFirstPass_();
        }
        if (stopRequested_.load()) break;
        RemovalCheck();
        const Woken woken = WaitForChange();
        if (woken == Woken::Stop) break;
        // With working hot-plug events a quiet time-out means nothing came or went; only
        // an interface whose probe failed is worth another look, and now and then a full
        // rescan in case an event was lost.
        const bool events = watcher_ && !watcherFailed_;
        enumerate = woken == Woken::Event || !events || retryPending_ ||
                    Clock::now() - lastEnumeration >= options_.fullRescan;
    }
    qCDebug(lcDiscovery, "抓取设备线程设定退出");
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
    }
    wake_.notify_all();
}

bool DeviceScanner::EnumeratePass() {
    HidDevice probe(backend_);
    if (!probe.Enumerate()) return false;
    enumerations_.fetch_add(1);
    retryPending_ = false;
    while (std::optional<std::string> path = probe.NextPath()) {
        if (stopRequested_.load()) break;
        const uint16_t interfaceNumber = InterfaceFromPath(*path);
        const uint16_t collection = CollectionFromPath(*path);
        if (!list_.WantsInterface(VendorIdFromPath(*path), ProductIdFromPath(*path),
                                  interfaceNumber, collection)) {
            continue;
        }
        if (!probe.Open(*path, kProbeAccess)) {
            // Skipped in this pass; tried again on the next one. Said once per path, as
            // a missing access right stays missing until someone acts.
            retryPending_ = true;
            if (refusedPaths_.insert(*path).second) {
                qCWarning(lcDiscovery, "%s", probe.LastError().c_str());
            }
            continue;
        }
        const int index = list_.MarkPresent(
            probe.Attributes().vendorId, probe.Attributes().productId, interfaceNumber, collection,
            probe.Caps().usagePage, probe.Caps().usage, *path);
        if (index >= 0) {
            qCDebug(lcDiscovery, "entry %d present: %s", index, path->c_str());
            if (onArrival_) onArrival_(static_cast<size_t>(index));
        }
        probe.Close();
    }
    probe.ClearPaths();
    return true;
}

void DeviceScanner::RemovalCheck() {
    for (const auto& [index, path] : list_.PresentEntries()) {
        if (stopRequested_.load()) return;
        // Opening without access rights only asks whether the interface is still there.
        // A node name can be handed to the next device plugged in, so the ids must
        // still be the path's.
        std::string error;
        std::unique_ptr<HidConnection> probe =
            backend_ ? backend_->Open(path, kPresenceCheck, &error) : nullptr;
        if (probe && probe->VendorId() == VendorIdFromPath(path) &&
            probe->ProductId() == ProductIdFromPath(path)) {
            continue;
        }
        if (!list_.MarkAbsent(index)) continue;
        qCDebug(lcDiscovery, "entry %zu gone: %s", index, path.c_str());
        if (onRemoval_) onRemoval_(index);
    }
}

DeviceScanner::Woken DeviceScanner::WaitForChange() {
    if (watcher_ && !watcherFailed_) {
        const HotplugWait result = watcher_->Wait(options_.slowPoll);
        {
            std::lock_guard lock(mutex_);
            wakeRequested_ = false;
        }
        if (stopRequested_.load()) return Woken::Stop;
        switch (result) {
            case HotplugWait::Changed:
            case HotplugWait::Interrupted:
                return Woken::Event;
            case HotplugWait::TimedOut:
                return Woken::Timeout;
            case HotplugWait::Failed:
                qCWarning(lcDiscovery, "hot-plug events failed; polling from now on");
                watcherFailed_ = true;
                return Woken::Event;
        }
        return Woken::Event;
    }
    std::unique_lock lock(mutex_);
    const bool woken = wake_.wait_for(lock, options_.slowPoll,
                                      [&] { return wakeRequested_ || stopRequested_.load(); });
    wakeRequested_ = false;
    if (stopRequested_.load()) return Woken::Stop;
    return woken ? Woken::Event : Woken::Timeout;
}

}  // namespace rerov
