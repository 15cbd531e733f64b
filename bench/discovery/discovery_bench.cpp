// Discovery on the simulator: the time from a plug to its arrival callback (woken by the
// hot-plug watcher, against the slow poll without one), and the CPU time an idle scan
// thread uses with the keyboard connected.

#include <benchmark/benchmark.h>

#include <chrono>
#include <condition_variable>
#include <ctime>
#include <mutex>
#include <thread>

#include "device_link/device_scanner.h"
#include "device_link/found_device_list.h"
#include "sim/simulated_bus.h"

namespace {

using namespace rerov;

// Counts arrivals and removals; the benchmark thread waits for a count.
class Counter {
  public:
    void Add() {
        {
            std::lock_guard lock(mutex_);
            ++count_;
        }
        changed_.notify_all();
    }
    void WaitFor(int count) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return count_ >= count; });
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int count_ = 0;
};

double ProcessCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Plug, wait for both interfaces to arrive; unplug, wait for both to go. Argument 1:
// hot-plug watcher, 0: the 100 ms poll the watcher replaces.
void BM_PlugToArrival(benchmark::State& state) {
    auto bus = std::make_shared<sim::SimulatedBus>();
    FoundDeviceList list;
    DeviceScannerOptions options;
    options.useHotplug = state.range(0) != 0;
    if (!options.useHotplug) options.slowPoll = std::chrono::milliseconds(100);
    DeviceScanner scanner(list, bus, options);
    Counter arrivals, removals;
    scanner.SetArrivalCallback([&](size_t) { arrivals.Add(); });
    scanner.SetRemovalCallback([&](size_t) { removals.Add(); });
    scanner.Start();
    int rounds = 0;
    for (auto _ : state) {
        ++rounds;
        bus->Plug(sim::SimPath::KeyboardCable);
        arrivals.WaitFor(2 * rounds);
        state.PauseTiming();
        bus->Unplug(sim::SimPath::KeyboardCable);
        removals.WaitFor(2 * rounds);
        state.ResumeTiming();
    }
    scanner.Stop();
}
BENCHMARK(BM_PlugToArrival)
    ->ArgName("hotplug")
    ->Arg(1)
    ->Arg(0)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// CPU time of the whole process (scan thread and simulator) per second of wall time
// while the keyboard stays connected and nothing happens, with the default options.
void BM_IdleScanCpu(benchmark::State& state) {
    auto bus = std::make_shared<sim::SimulatedBus>();
    bus->Plug(sim::SimPath::KeyboardCable);
    FoundDeviceList list;
    DeviceScanner scanner(list, bus);
    Counter arrivals;
    scanner.SetArrivalCallback([&](size_t) { arrivals.Add(); });
    scanner.Start();
    arrivals.WaitFor(2);
    const auto window = std::chrono::seconds(state.range(0));
    double cpu = 0;
    for (auto _ : state) {
        const double before = ProcessCpuSeconds();
        std::this_thread::sleep_for(window);
        cpu = ProcessCpuSeconds() - before;
    }
    state.counters["cpu_percent_of_one_core"] =
        100.0 * cpu / std::chrono::duration<double>(window).count();
    state.counters["enumerations"] = static_cast<double>(scanner.EnumerationCount());
    scanner.Stop();
}
BENCHMARK(BM_IdleScanCpu)
    ->ArgName("seconds")
    ->Arg(10)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
