// Measures the HID layer: parsing a report descriptor, unpacking an input report, and the
// time from HidDevice::Close on one thread to the return of a Read blocked on another
// (the goal is well under 100 ms), over the real hidraw connection code on a socket pair.

#include <benchmark/benchmark.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "device_link/hid_backend_linux.h"
#include "device_link/hid_device.h"
#include "device_link/report_descriptor.h"
#include "tests/device_link/hid_test_descriptors.h"

namespace rerov {
namespace {

void BM_ParseKeyboardDescriptor(benchmark::State& state) {
    const std::vector<uint8_t>& bytes = test::kKeyboardDescriptor;
    for (auto _ : state) {
        ParsedReportDescriptor parsed;
        std::string error;
        benchmark::DoNotOptimize(
            ParseReportDescriptor(bytes.data(), bytes.size(), &parsed, &error));
    }
}
BENCHMARK(BM_ParseKeyboardDescriptor);

// One socket pair per Open, wrapped by the hidraw connection; the far end stays open.
class SocketBackend : public HidBackend {
  public:
    ~SocketBackend() override {
        for (int fd : farEnds_) close(fd);
    }
    std::vector<std::string> EnumeratePaths() override { return {}; }
    std::unique_ptr<HidConnection> Open(const std::string&, HidOpenMode,
                                        std::string* error) override {
        int fds[2];
        if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds) != 0) return nullptr;
        farEnds_.push_back(fds[1]);
        return hidraw::WrapNode(fds[0], 0x372B, 0x1101, 0, test::kKeyboardDescriptor, error);
    }
    void Send(const std::vector<uint8_t>& report) {
        if (write(farEnds_.back(), report.data(), report.size()) < 0) std::abort();
    }

  private:
    std::vector<int> farEnds_;
};

const std::string kKeyboardPath = "vid_372b&pid_1101&mi_01&col02#socket";

void BM_UnpackKeyboardReport(benchmark::State& state) {
    HidDevice device(std::make_shared<SocketBackend>());
    if (!device.Open(kKeyboardPath, kEventAccess)) {
        state.SkipWithError(device.LastError().c_str());
        return;
    }
    const uint8_t report[] = {0x02, 0x22, 0x00, 0x04, 0x00, 0x05, 0x00, 0x00, 0x00};
    for (auto _ : state) benchmark::DoNotOptimize(device.UnpackInputReport(report, sizeof report));
}
BENCHMARK(BM_UnpackKeyboardReport);

void BM_ReadOneReport(benchmark::State& state) {
    auto backend = std::make_shared<SocketBackend>();
    HidDevice device(backend);
    if (!device.Open(kKeyboardPath, kEventAccess)) {
        state.SkipWithError(device.LastError().c_str());
        return;
    }
    uint8_t buffer[16];
    size_t n = 0;
    for (auto _ : state) {
        backend->Send({0x02, 0x00, 0x00, 0x04, 0, 0, 0, 0, 0});
        benchmark::DoNotOptimize(device.Read(buffer, sizeof buffer, &n, 1000));
    }
}
BENCHMARK(BM_ReadOneReport);

// Manual time: from Close to the blocked reader's return.
void BM_CloseReleasesBlockedRead(benchmark::State& state) {
    for (auto _ : state) {
        HidDevice device(std::make_shared<SocketBackend>());
        if (!device.Open(kKeyboardPath, kEventAccess)) {
            state.SkipWithError(device.LastError().c_str());
            return;
        }
        std::atomic<bool> entered{false};
        std::chrono::steady_clock::time_point returned;
        std::thread reader([&] {
            uint8_t buffer[16];
            entered = true;
            device.Read(buffer, sizeof buffer, nullptr, kInfiniteTimeout);
            returned = std::chrono::steady_clock::now();
        });
        while (!entered) std::this_thread::yield();
        // Give the reader time to block in poll so the release path is the one measured.
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        const auto closed = std::chrono::steady_clock::now();
        device.Close();
        reader.join();
        state.SetIterationTime(std::chrono::duration<double>(returned - closed).count());
    }
}
BENCHMARK(BM_CloseReleasesBlockedRead)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(200);

}  // namespace
}  // namespace rerov

BENCHMARK_MAIN();
