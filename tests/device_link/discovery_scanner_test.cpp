// The scan thread against the simulator: arrivals and removals, the first pass, hot-plug
// wake-ups, when it enumerates, and stopping while a callback waits for another thread.

#include <gtest/gtest.h>

#include <deque>

#include "tests/device_link/discovery_test_support.h"

namespace rerov::discoverytest {
namespace {

using Indices = std::vector<size_t>;

// Records the scanner's callbacks; waitable from the test thread.
class CallbackLog {
  public:
    void Arrived(size_t index) { Add(&arrivals_, index); }
    void Removed(size_t index) { Add(&removals_, index); }
    void FirstPass() {
        std::lock_guard lock(mutex_);
        ++firstPasses_;
        changed_.notify_all();
    }
    // In the order of the bus's enumeration.
    Indices Arrivals() const { return Copy(arrivals_); }
    Indices Removals() const { return Copy(removals_); }
    Indices SortedArrivals() const { return Sorted(Arrivals()); }
    Indices SortedRemovals() const { return Sorted(Removals()); }
    int FirstPasses() const {
        std::lock_guard lock(mutex_);
        return firstPasses_;
    }
    bool WaitForArrivals(size_t count) const { return WaitFor(arrivals_, count); }
    bool WaitForRemovals(size_t count) const { return WaitFor(removals_, count); }
    bool WaitForFirstPass() const {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kGenerous, [&] { return firstPasses_ > 0; });
    }

  private:
    static Indices Sorted(Indices list) {
        std::sort(list.begin(), list.end());
        return list;
    }
    void Add(Indices* list, size_t index) {
        std::lock_guard lock(mutex_);
        list->push_back(index);
        changed_.notify_all();
    }
    Indices Copy(const Indices& list) const {
        std::lock_guard lock(mutex_);
        return list;
    }
    bool WaitFor(const Indices& list, size_t count) const {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kGenerous, [&] { return list.size() >= count; });
    }

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    Indices arrivals_;
    Indices removals_;
    int firstPasses_ = 0;
};

// Waits (generously) until `predicate` holds, re-checking every few milliseconds.
template <typename Predicate>
bool Eventually(Predicate predicate) {
    const auto deadline = std::chrono::steady_clock::now() + kGenerous;
    while (std::chrono::steady_clock::now() < deadline) {
        if (predicate()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return predicate();
}

class ScannerTest : public DiscoveryTest {
  protected:
    // A scanner whose callbacks log and, when `manage` is set, run the device manager.
    std::unique_ptr<DeviceScanner> MakeScanner(DeviceScannerOptions options, bool manage) {
        auto scanner = std::make_unique<DeviceScanner>(found_, backend_, options);
        // Logged once handled, so a test that waits for the log sees the manager's work.
        scanner->SetArrivalCallback([this, manage](size_t index) {
            if (manage) manager_.OnDeviceArrival(index);
            calls_.Arrived(index);
        });
        scanner->SetRemovalCallback([this, manage](size_t index) {
            if (manage) manager_.OnDeviceRemoval(index);
            calls_.Removed(index);
        });
        scanner->SetFirstPassCallback([this] { calls_.FirstPass(); });
        return scanner;
    }

    static DeviceScannerOptions HotplugOnly() {
        // A slow poll far beyond any test: only hot-plug events can wake the scan.
        DeviceScannerOptions options;
        options.slowPoll = std::chrono::minutes(10);
        return options;
    }

    CallbackLog calls_;
};

TEST_F(ScannerTest, CablePlugGivesTwoArrivalsAndOpensTheWiredLink) {
    manager_.CreateDevicePages();
    auto scanner = MakeScanner(HotplugOnly(), true);
    ASSERT_TRUE(scanner->Start());
    ASSERT_TRUE(calls_.WaitForFirstPass());

    bus_->Plug(sim::SimPath::KeyboardCable);  // only the hot-plug event can wake the scan
    ASSERT_TRUE(calls_.WaitForArrivals(2));
    EXPECT_EQ(calls_.SortedArrivals(), (Indices{kKeyboardCommand, kKeyboardSecondary}));
    DeviceLink& link = host_.Page(kFamilyKeyboard)->MainLink();
    EXPECT_TRUE(link.IsConnected());
    EXPECT_EQ(link.ChunkSize(), kWiredChunkSize);
    EXPECT_TRUE(log_.Contains("timer 1 1001 500"));

    bus_->Unplug(sim::SimPath::KeyboardCable);
    ASSERT_TRUE(calls_.WaitForRemovals(2));
    EXPECT_EQ(calls_.SortedRemovals(), (Indices{kKeyboardCommand, kKeyboardSecondary}));
    EXPECT_FALSE(link.IsConnected());
    EXPECT_TRUE(log_.Contains("deactivate 1"));
    EXPECT_TRUE(scanner->Stop(kGenerous));
}

TEST_F(ScannerTest, FirstPassIsReportedOnceWithNothingPlugged) {
    auto scanner = MakeScanner(HotplugOnly(), false);
    ASSERT_TRUE(scanner->Start());
    ASSERT_TRUE(calls_.WaitForFirstPass());
    EXPECT_TRUE(calls_.Arrivals().empty());
    EXPECT_EQ(backend_->enumerations.load(), 1u);

    bus_->Plug(sim::SimPath::MousePad);
    ASSERT_TRUE(calls_.WaitForArrivals(2));
    EXPECT_EQ(calls_.FirstPasses(), 1);
    EXPECT_TRUE(scanner->Stop(kGenerous));

    // A new run reports its own first pass.
    ASSERT_TRUE(scanner->Start());
    ASSERT_TRUE(Eventually([&] { return calls_.FirstPasses() == 2; }));
    EXPECT_TRUE(scanner->Stop(kGenerous));
}

TEST_F(ScannerTest, SecondIdenticalKeyboardGetsNoEntry) {
    backend_->twins = true;
    bus_->Plug(sim::SimPath::KeyboardCable);
    auto scanner = MakeScanner(HotplugOnly(), false);
    ASSERT_TRUE(scanner->Start());
    ASSERT_TRUE(calls_.WaitForFirstPass());
    // A further full pass sees both keyboards again.
    const size_t before = backend_->enumerations.load();
    scanner->Wake();
    ASSERT_TRUE(Eventually([&] { return backend_->enumerations.load() > before; }));
    EXPECT_TRUE(scanner->Stop(kGenerous));

    EXPECT_EQ(calls_.SortedArrivals(), (Indices{kKeyboardCommand, kKeyboardSecondary}));
    EXPECT_EQ(found_.PathOf(kKeyboardCommand).find("#twin:"), std::string::npos);
}

TEST_F(ScannerTest, QuietPassesProbePresentPathsWithoutEnumerating) {
    DeviceScannerOptions options;
    options.slowPoll = std::chrono::milliseconds(5);  // many safety-net passes
    options.fullRescan = std::chrono::minutes(10);
    bus_->Plug(sim::SimPath::KeyboardCable);
    auto scanner = MakeScanner(options, false);
    ASSERT_TRUE(scanner->Start());
    ASSERT_TRUE(calls_.WaitForArrivals(2));
    const size_t enumerations = backend_->enumerations.load();
    const size_t probes = backend_->presenceProbes.load();
    // Twenty presence probes of two paths: ten passes at least.
    ASSERT_TRUE(Eventually([&] { return backend_->presenceProbes.load() >= probes + 20; }));
    EXPECT_EQ(backend_->enumerations.load(), enumerations);

    // A hot-plug event is worth an enumeration.
    bus_->Plug(sim::SimPath::MousePad);
    ASSERT_TRUE(calls_.WaitForArrivals(4));
    EXPECT_GT(backend_->enumerations.load(), enumerations);
    EXPECT_TRUE(scanner->Stop(kGenerous));
}

TEST_F(ScannerTest, PathWhoseNodeNowBelongsToAnotherDeviceIsRemoved) {
    bus_->Plug(sim::SimPath::KeyboardCable);
    bus_->Plug(sim::SimPath::MouseCable);
    auto scanner = MakeScanner(HotplugOnly(), false);
    ASSERT_TRUE(scanner->Start());
    ASSERT_TRUE(calls_.WaitForArrivals(4));
    // The keyboard goes; its node names now open the mouse, as a reused node would.
    backend_->Redirect(found_.PathOf(kKeyboardCommand), found_.PathOf(kMouseCommand));
    backend_->Redirect(found_.PathOf(kKeyboardSecondary), found_.PathOf(kMouseCommand + 1));
    bus_->Unplug(sim::SimPath::KeyboardCable);
    ASSERT_TRUE(calls_.WaitForRemovals(2));
    EXPECT_EQ(calls_.SortedRemovals(), (Indices{kKeyboardCommand, kKeyboardSecondary}));
    EXPECT_TRUE(found_.IsPresent(kMouseCommand));
    EXPECT_TRUE(scanner->Stop(kGenerous));
}

TEST_F(ScannerTest, WithoutHotplugTheSlowPollFindsDevices) {
    DeviceScannerOptions options;
    options.useHotplug = false;
    options.slowPoll = std::chrono::milliseconds(5);
    auto scanner = MakeScanner(options, false);
    ASSERT_TRUE(scanner->Start());
    ASSERT_TRUE(calls_.WaitForFirstPass());
    bus_->Plug(sim::SimPath::KeyboardCable);
    ASSERT_TRUE(calls_.WaitForArrivals(2));
    bus_->Unplug(sim::SimPath::KeyboardCable);
    ASSERT_TRUE(calls_.WaitForRemovals(2));
    EXPECT_TRUE(scanner->Stop(kGenerous));
}

TEST_F(ScannerTest, InterfaceWhoseProbeFailedIsTriedAgainAtTheSlowPoll) {
    DeviceScannerOptions options;
    options.slowPoll = std::chrono::milliseconds(5);
    backend_->failScanProbes = 1;  // the first probe of the command interface fails
    auto scanner = MakeScanner(options, false);
    ASSERT_TRUE(scanner->Start());
    ASSERT_TRUE(calls_.WaitForFirstPass());
    bus_->Plug(sim::SimPath::KeyboardCable);  // one event; the retry needs no other
    ASSERT_TRUE(calls_.WaitForArrivals(2));
    EXPECT_EQ(calls_.SortedArrivals(), (Indices{kKeyboardCommand, kKeyboardSecondary}));
    EXPECT_EQ(backend_->failScanProbes.load(), 0);
    EXPECT_TRUE(scanner->Stop(kGenerous));
}

TEST_F(ScannerTest, FullRescanAtTheSlowPollFindsWhatNoEventAnnounced) {
    // A bus whose watcher never wakes: plugging is noticed only by the rescan.
    class SilentBackend : public CountingBackend {
      public:
        using CountingBackend::CountingBackend;
        std::unique_ptr<HotplugWatcher> WatchHotplug() override {
            return std::make_unique<SilentWatcher>();
        }

      private:
        class SilentWatcher : public HotplugWatcher {
          public:
            HotplugWait Wait(std::chrono::milliseconds timeout) override {
                std::unique_lock lock(mutex_);
                const bool interrupted = wake_.wait_for(lock, timeout, [&] { return woken_; });
                woken_ = false;
                return interrupted ? HotplugWait::Interrupted : HotplugWait::TimedOut;
            }
            void Interrupt() override {
                std::lock_guard lock(mutex_);
                woken_ = true;
                wake_.notify_all();
            }

          private:
            std::mutex mutex_;
            std::condition_variable wake_;
            bool woken_ = false;
        };
    };
    auto backend = std::make_shared<SilentBackend>(bus_);
    DeviceScannerOptions options;
    options.slowPoll = std::chrono::milliseconds(5);
    options.fullRescan = std::chrono::milliseconds(20);
    DeviceScanner scanner(found_, backend, options);
    scanner.SetArrivalCallback([this](size_t index) { calls_.Arrived(index); });
    ASSERT_TRUE(scanner.Start());
    ASSERT_TRUE(Eventually([&] { return backend->enumerations.load() >= 1; }));
    bus_->Plug(sim::SimPath::KeyboardCable);
    ASSERT_TRUE(calls_.WaitForArrivals(2));
    EXPECT_TRUE(scanner.Stop(kGenerous));
}

TEST_F(ScannerTest, StopEndsAWaitingScanPromptly) {
    for (bool hotplug : {true, false}) {
        SCOPED_TRACE(hotplug ? "hot-plug watcher" : "slow poll");
        DeviceScannerOptions options = HotplugOnly();
        options.useHotplug = hotplug;
        auto scanner = MakeScanner(options, false);
        ASSERT_TRUE(scanner->Start());
        ASSERT_TRUE(Eventually([&] { return calls_.FirstPasses() > 0; }));
        EXPECT_TRUE(scanner->Stop(kGenerous));
        EXPECT_FALSE(scanner->IsRunning());
        EXPECT_TRUE(scanner->StopRequested());
    }
}

// The UI thread's side of CallAndWait: work posted to it waits in a queue until it runs.
class FakeUiQueue {
  public:
    void Post(std::function<void()> work) {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(work));
        changed_.notify_all();
    }
    bool WaitForWork() {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kGenerous, [&] { return !queue_.empty(); });
    }
    void RunAll() {
        std::deque<std::function<void()>> work;
        {
            std::lock_guard lock(mutex_);
            work.swap(queue_);
        }
        for (auto& w : work) w();
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> queue_;
};

TEST_F(ScannerTest, StopWhileACallbackWaitsForTheUiThreadDoesNotDeadlock) {
    FakeUiQueue ui;
    std::atomic<int> ran{0};
    std::atomic<int> gaveUp{0};
    bus_->Plug(sim::SimPath::KeyboardCable);
    auto scanner = std::make_unique<DeviceScanner>(found_, backend_, HotplugOnly());
    DeviceScanner* raw = scanner.get();
    scanner->SetArrivalCallback([&, raw](size_t) {
        const bool done = raw->CallAndWait([&](std::function<void()> w) { ui.Post(std::move(w)); },
                                           [&] { ran.fetch_add(1); });
        if (!done) gaveUp.fetch_add(1);
    });
    ASSERT_TRUE(scanner->Start());
    ASSERT_TRUE(ui.WaitForWork());  // the scan thread now waits for this (UI) thread

    EXPECT_TRUE(scanner->Stop(kGenerous));
    EXPECT_EQ(gaveUp.load(), 1);
    ui.RunAll();  // the abandoned work, run late, does nothing
    EXPECT_EQ(ran.load(), 0);
}

TEST_F(ScannerTest, CallAndWaitRunsTheWorkOnTheOtherThread) {
    manager_.CreateDevicePages();
    FakeUiQueue ui;
    bus_->Plug(sim::SimPath::KeyboardCable);
    auto scanner = std::make_unique<DeviceScanner>(found_, backend_, HotplugOnly());
    DeviceScanner* raw = scanner.get();
    const std::thread::id testThread = std::this_thread::get_id();
    std::atomic<int> onUiThread{0};
    scanner->SetArrivalCallback([&, raw](size_t index) {
        raw->CallAndWait([&](std::function<void()> w) { ui.Post(std::move(w)); },
                         [&, index] {
                             if (std::this_thread::get_id() == testThread) onUiThread.fetch_add(1);
                             manager_.OnDeviceArrival(index);
                         });
    });
    ASSERT_TRUE(scanner->Start());
    for (int handled = 0; handled < 2; ++handled) {
        ASSERT_TRUE(ui.WaitForWork());
        ui.RunAll();
    }
    EXPECT_EQ(onUiThread.load(), 2);
    EXPECT_TRUE(host_.Page(kFamilyKeyboard)->MainLink().IsConnected());
    EXPECT_TRUE(scanner->Stop(kGenerous));
}

}  // namespace
}  // namespace rerov::discoverytest
