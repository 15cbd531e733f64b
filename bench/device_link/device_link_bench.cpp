// The command protocol measured against the simulator: the host's own cost of one
// transaction (no device latency), and a 512-byte key table download with the latency
// of a full-speed USB device (1 ms per report and direction) next to its floor.

#include <benchmark/benchmark.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device_link/device_link.h"
#include "device_link/hid_device.h"
#include "device_link/supported_devices.h"
#include "sim/simulated_bus.h"

namespace {

using namespace std::chrono_literals;

constexpr int kKeyboardCableRow = 0;
constexpr int kKeyboardReceiverRow = 2;

// A simulated keyboard and a link open on its command interface.
struct LinkedKeyboard {
    std::shared_ptr<rerov::sim::SimulatedBus> bus = std::make_shared<rerov::sim::SimulatedBus>();
    std::unique_ptr<rerov::DeviceLink> link = std::make_unique<rerov::DeviceLink>(bus);

    bool Connect(bool receiver, std::chrono::microseconds latency, std::string* error) {
        bus->Plug(receiver ? rerov::sim::SimPath::KeyboardReceiver
                           : rerov::sim::SimPath::KeyboardCable);
        bus->SetLatency(latency);
        const rerov::SupportedDevice row =
            rerov::SupportedDevices()[receiver ? kKeyboardReceiverRow : kKeyboardCableRow];
        for (const std::string& path : bus->EnumeratePaths()) {
            if (rerov::VendorIdFromPath(path) != row.vendorId ||
                rerov::ProductIdFromPath(path) != row.productId ||
                rerov::InterfaceFromPath(path) != row.interfaceNumber ||
                rerov::CollectionFromPath(path) != row.collectionNumber) {
                continue;
            }
            rerov::HidDevice& device = receiver ? link->Receiver() : link->Wired();
            if (!device.Open(path, rerov::kCommandAccess)) {
                *error = device.LastError();
                return false;
            }
            link->SetLinkMode(receiver ? rerov::LinkMode::Receiver : rerov::LinkMode::Wired);
            link->SetConnected(true);
            return true;
        }
        *error = "no command interface on the simulated bus";
        return false;
    }
};

void BM_TransactionHostCost(benchmark::State& state) {
    LinkedKeyboard keyboard;
    std::string error;
    if (!keyboard.Connect(false, 0us, &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    for (auto _ : state) {
        if (keyboard.link->HostLightControl() != rerov::kResultSuccess) {
            state.SkipWithError("transaction failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TransactionHostCost)->UseRealTime();

// Arguments: path (0 cable, 1 receiver) and latency per report and direction in µs. The
// floor is two latencies per report (request and reply); WriteKeyTable has no waits of its
// own (EndSession's 10 ms is not part of it). At latency 0 the time is the download's own
// cost on host and simulator.
void BM_WriteKeyTable(benchmark::State& state) {
    const bool receiver = state.range(0) == 1;
    const auto latency = std::chrono::microseconds(state.range(1));
    LinkedKeyboard keyboard;
    std::string error;
    if (!keyboard.Connect(receiver, latency, &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    const std::vector<uint8_t> table(512, 0x21);
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        if (keyboard.link->WriteKeyTable(table.data(), 0) != rerov::kResultSuccess) {
            state.SkipWithError("key table write failed");
            break;
        }
    }
    const double elapsedMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    const size_t chunk = receiver ? rerov::kReceiverChunkSize : rerov::kWiredChunkSize;
    const double reports = static_cast<double>((table.size() + chunk - 1) / chunk);
    const double floorMs =
        2.0 * reports * std::chrono::duration<double, std::milli>(latency).count();
    state.counters["reports"] = reports;
    state.counters["floor_ms"] = floorMs;
    // Mean time per download against the floor; 1.05 is the goal.
    if (state.iterations() > 0 && floorMs > 0) {
        state.counters["vs_floor"] = elapsedMs / static_cast<double>(state.iterations()) / floorMs;
    }
    state.SetLabel(receiver ? "receiver" : "cable");
}
BENCHMARK(BM_WriteKeyTable)
    ->ArgNames({"path", "latency_us"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1000})
    ->Args({1, 1000})
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);

// What one timed wait of 1 ms really takes on this machine. The simulator models each
// report's latency with such waits (one for the write, one before the reply is delivered),
// so their overshoot, not the protocol, is what the downloads above spend beyond the floor.
void BM_TimedWaitOfOneMillisecond(benchmark::State& state) {
    std::mutex mutex;
    std::condition_variable never;
    double overshootUs = 0;
    for (auto _ : state) {
        std::unique_lock<std::mutex> lock(mutex);
        const auto start = std::chrono::steady_clock::now();
        never.wait_until(lock, start + 1ms, [] { return false; });
        overshootUs += std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() -
                                                                 start - 1ms)
                           .count();
    }
    if (state.iterations() > 0) {
        state.counters["overshoot_us"] = overshootUs / static_cast<double>(state.iterations());
    }
}
BENCHMARK(BM_TimedWaitOfOneMillisecond)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
