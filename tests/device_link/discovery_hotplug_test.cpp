// Hot-plug watchers: the simulator's and the udev monitor of the Linux backend.

#include <gtest/gtest.h>

#include <thread>

#include "sim/simulated_bus.h"
#if defined(__linux__)
#include "device_link/hid_backend_linux.h"
#endif

namespace rerov {
namespace {

using std::chrono::milliseconds;
constexpr auto kGenerous = std::chrono::seconds(10);

TEST(SimHotplugTest, PlugAndUnplugWakeTheWatcher) {
    sim::SimulatedBus bus;
    std::unique_ptr<HotplugWatcher> watcher = bus.WatchHotplug();
    ASSERT_NE(watcher, nullptr);
    EXPECT_EQ(watcher->Wait(milliseconds(1)), HotplugWait::TimedOut);

    bus.Plug(sim::SimPath::KeyboardCable);  // before the wait: not lost
    EXPECT_EQ(watcher->Wait(kGenerous), HotplugWait::Changed);
    EXPECT_EQ(watcher->Wait(milliseconds(1)), HotplugWait::TimedOut);

    std::thread unplug([&] { bus.Unplug(sim::SimPath::KeyboardCable); });
    EXPECT_EQ(watcher->Wait(kGenerous), HotplugWait::Changed);
    unplug.join();
}

TEST(SimHotplugTest, InterruptEndsTheCurrentOrTheNextWaitOnce) {
    sim::SimulatedBus bus;
    std::unique_ptr<HotplugWatcher> watcher = bus.WatchHotplug();
    watcher->Interrupt();
    EXPECT_EQ(watcher->Wait(kGenerous), HotplugWait::Interrupted);
    EXPECT_EQ(watcher->Wait(milliseconds(1)), HotplugWait::TimedOut);

    std::thread interrupter([&] { watcher->Interrupt(); });
    EXPECT_EQ(watcher->Wait(kGenerous), HotplugWait::Interrupted);
    interrupter.join();
}

#if defined(__linux__)
TEST(UdevHotplugTest, InterruptWakesTheMonitorWait) {
    std::string error;
    std::unique_ptr<HotplugWatcher> watcher = hidraw::MakeUdevHotplugWatcher(&error);
    if (!watcher) GTEST_SKIP() << "no udev monitor here: " << error;
    watcher->Interrupt();
    EXPECT_EQ(watcher->Wait(kGenerous), HotplugWait::Interrupted);

    std::thread interrupter([&] { watcher->Interrupt(); });
    EXPECT_EQ(watcher->Wait(kGenerous), HotplugWait::Interrupted);
    interrupter.join();
    // No hidraw device comes or goes here: a short wait ends on its time-out.
    EXPECT_EQ(watcher->Wait(milliseconds(1)), HotplugWait::TimedOut);
}
#endif

}  // namespace
}  // namespace rerov
