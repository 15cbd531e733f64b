#pragma once
// DeviceScanner: the scan thread of discovery. It matches the machine's HID interfaces
// against the found-device list, marks entries present (arrival callback) and absent
// again when their path no longer opens (removal callback), and calls the first-pass
// callback once per run after its first enumeration. It sleeps on the backend's
// hot-plug watcher; a slow poll is the fallback when there is no watcher and the safety
// net when there is one. Every pass probes the present paths; it enumerates (only while
// some entry is absent) when woken by a hot-plug event or by Wake(), and at the slow
// poll: without a watcher always, with one only when an earlier probe failed or the
// rare full rescan is due. A quiet pass thus costs no enumeration.
//
// Callbacks run on the scan thread, one at a time; while one runs the scan waits, as
// the window's handlers expect. A callback that hands its work to the UI thread and
// waits for it must not wait while that thread sits in Stop(): use CallAndWait, which
// gives up once a stop is requested and the work has not started. (A plain blocking
// queued call that first checks StopRequested() still has a window between the check
// and the call.) Stop() may then be called from the UI thread at any time. With Qt:
//
//   scanner.SetArrivalCallback([&](size_t index) {
//       scanner.CallAndWait(
//           [&](std::function<void()> work) {
//               QMetaObject::invokeMethod(window, std::move(work), Qt::QueuedConnection);
//           },
//           [&, index] { manager.OnDeviceArrival(index); });
//   });

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "device_link/found_device_list.h"
#include "device_link/hid_backend.h"

namespace rerov {

struct DeviceScannerOptions {
    // Period of the fallback poll (no watcher) and of the safety net (with one).
    std::chrono::milliseconds slowPoll{2000};
    // Use the backend's hot-plug watcher when it has one.
    bool useHotplug = true;
    // With a watcher: a full enumeration at the slow poll at least this often, in case
    // an event was lost.
    std::chrono::milliseconds fullRescan{30000};
};

class DeviceScanner {
  public:
    using IndexCallback = std::function<void(size_t index)>;
    using Callback = std::function<void()>;
    // Hands a piece of work to another thread (for example a queued call to the UI
    // thread). It must not run the work inline on the calling thread only if that
    // thread could be the one that waits in Stop().
    using Poster = std::function<void(std::function<void()> work)>;

    // The list must outlive the scanner. A null backend means CurrentHidBackend().
    DeviceScanner(FoundDeviceList& list, std::shared_ptr<HidBackend> backend,
                  DeviceScannerOptions options = {});
    // Stops the thread (see Stop).
    ~DeviceScanner();
    DeviceScanner(const DeviceScanner&) = delete;
    DeviceScanner& operator=(const DeviceScanner&) = delete;

    // Set before Start: an entry was marked present / absent; the first pass is done.
    void SetArrivalCallback(IndexCallback callback) { onArrival_ = std::move(callback); }
    void SetRemovalCallback(IndexCallback callback) { onRemoval_ = std::move(callback); }
    void SetFirstPassCallback(Callback callback) { onFirstPass_ = std::move(callback); }

    // Starts the scan thread; false when it is already running.
    bool Start();
    // Asks the thread to end without waiting for it. Callable from any thread while the
    // owner has not called Stop or the destructor yet (callbacks included).
    void RequestStop();
    // True from RequestStop/Stop until the next Start.
    bool StopRequested() const { return stopRequested_.load(); }
    // Owner only: requests the stop, wakes the thread and joins it. Returns false when it
    // did not end within `bound` (it is then joined by the destructor). Harmless when not
    // running.
    bool Stop(std::chrono::milliseconds bound = std::chrono::milliseconds(1000));
    // True while the thread runs.
    bool IsRunning() const;
    // Owner only, after a Stop that timed out: lets the thread run on by itself so the
    // program can end on time. The scanner must then never be destroyed (the thread still
    // uses it); the process ending reclaims it.
    void Detach();

    // Makes the scan thread run a full pass now (enumeration included).
    void Wake();

    // For callbacks: runs `work` through `post` and waits until it has run. Returns
    // false, without waiting further, when a stop is requested before the work started;
    // the work then never runs.
    bool CallAndWait(const Poster& post, std::function<void()> work);

    // Number of enumerations so far (for diagnostics and tests).
    size_t EnumerationCount() const { return enumerations_.load(); }

  private:
    struct PendingCall;
    enum class Woken { Event, Timeout, Stop };

    void Run();
    // One enumeration pass; false when enumeration failed.
    bool EnumeratePass();
    void RemovalCheck();
    Woken WaitForChange();

    FoundDeviceList& list_;
    std::shared_ptr<HidBackend> backend_;
    const DeviceScannerOptions options_;
    IndexCallback onArrival_;
    IndexCallback onRemoval_;
    Callback onFirstPass_;

    std::unique_ptr<HotplugWatcher> watcher_;  // set before the thread starts, then its own
    bool retryPending_ = false;                // scan thread only: a probe open failed
    bool watcherFailed_ = false;               // scan thread only: fell back to polling
    std::set<std::string> refusedPaths_;       // scan thread only: probe failures reported

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool wakeRequested_ = false;                // guarded by mutex_
    bool finished_ = true;                      // guarded by mutex_
    std::shared_ptr<PendingCall> pendingCall_;  // guarded by mutex_
    std::atomic<bool> stopRequested_{false};
    std::atomic<size_t> enumerations_{0};
    std::thread thread_;
};

}  // namespace rerov
