// A full profile apply (parameter block, macros, key table) through the keyboard's device
// object, with the simulator at the latency of a full-speed USB device (1 ms per report and
// direction), on the cable and through the receiver. The floor is what the bus and the
// protocol cannot avoid: two latencies per report plus the 10 ms each EndSession waits.
// The reports and sessions are counted from the simulator's own trace, not assumed.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "device_link/command_report.h"
#include "device_link/hid_device.h"
#include "device_link/supported_devices.h"
#include "devices/family_devices.h"
#include "devices/keyboard/keyboard_device.h"
#include "editors/macro/macro_event.h"
#include "editors/macro/macro_library.h"
#include "profiles/keyboard_profile_data.h"
#include "profiles/profile_store.h"
#include "sim/simulated_bus.h"

namespace {

using namespace std::chrono_literals;

constexpr auto kLatency = 1ms;
constexpr auto kEndSessionWait = 10ms;
constexpr uint8_t kCmdEndSession = 0x02;
constexpr uint8_t kMacroType = 0x70;
constexpr int kMacroCount = 4;
constexpr int kStepsPerMacro = 24;  // a typed word with its key-ups
constexpr int kFirstMacroKey = 1;   // F1 onwards play the macros

// A user data folder of its own with a profile whose keys play a few macros, so that the
// macro blob is a real one; the factory data of the source tree.
class BenchData {
  public:
    BenchData() {
        if (!home_.isValid()) return;
        ok_ = setenv("XDG_DATA_HOME", home_.path().toUtf8().constData(), 1) == 0 &&
              setenv("REROV_DEFAULT_DATA", REROV_BENCH_DEFAULT_DATA, 1) == 0;
    }
    bool Ok() const { return ok_; }

  private:
    QTemporaryDir home_;
    bool ok_ = false;
};

bool AddMacros(const std::filesystem::path& folder) {
    rerov::editors::MacroLibrary library(folder);
    for (int m = 0; m < kMacroCount; ++m) {
        int index = -1;
        if (library.Add(nullptr, &index) != rerov::editors::MacroResult::Ok) return false;
        std::vector<rerov::editors::MacroEvent> steps;
        for (int s = 0; s < kStepsPerMacro; ++s) {
            steps.push_back({rerov::editors::kStepKey, 0x04 + (s / 2) % 26, s % 2 == 0, 20});
        }
        if (library.WriteSteps(index, steps) != rerov::editors::MacroResult::Ok) return false;
    }
    return true;
}

bool AssignMacros(const std::filesystem::path& profilePath,
                  const std::filesystem::path& defaultPath) {
    rerov::CKeyboardProfiledata profile;
    profile.SetDefaultPath(defaultPath);
    profile.SetProfilePath(profilePath);
    profile.SetDeviceSlot(0);
    if (profile.LoadProfile(profilePath).isNull()) return false;
    std::vector<rerov::KeyEntry> keys = profile.ReadKeyList();
    if (keys.size() < kFirstMacroKey + kMacroCount) return false;
    for (int m = 0; m < kMacroCount; ++m) {
        rerov::KeyAssignment& current = keys[kFirstMacroKey + m].current;
        current.type = kMacroType;
        current.value = static_cast<uint8_t>(m);
        current.code = 0;
    }
    profile.WriteKeyList(keys);
    return profile.Save();
}

struct Setup {
    std::shared_ptr<rerov::sim::SimulatedBus> bus = std::make_shared<rerov::sim::SimulatedBus>();
    std::unique_ptr<rerov::CZidiraKeyboardDevice> keyboard;
    std::atomic<int> reports{0};
    std::atomic<int> endSessions{0};

    bool Make(bool receiver, std::string* error) {
        const int row =
            receiver ? rerov::kKeyboardReceiverCommandRow : rerov::kKeyboardCableCommandRow;
        std::unique_ptr<rerov::CZidiraUSBDevice> made = rerov::CreateFamilyDevice(
            rerov::kFamilyKeyboard, rerov::SupportedDevices()[static_cast<size_t>(row)], bus);
        keyboard.reset(dynamic_cast<rerov::CZidiraKeyboardDevice*>(made.get()));
        if (!keyboard) {
            *error = "no keyboard device object";
            return false;
        }
        made.release();
        bus->Plug(receiver ? rerov::sim::SimPath::KeyboardReceiver
                           : rerov::sim::SimPath::KeyboardCable);
        const rerov::SupportedDevice wanted = rerov::SupportedDevices()[static_cast<size_t>(row)];
        std::string path;
        for (const std::string& candidate : bus->EnumeratePaths()) {
            if (rerov::VendorIdFromPath(candidate) == wanted.vendorId &&
                rerov::ProductIdFromPath(candidate) == wanted.productId &&
                rerov::InterfaceFromPath(candidate) == wanted.interfaceNumber &&
                rerov::CollectionFromPath(candidate) == wanted.collectionNumber) {
                path = candidate;
            }
        }
        rerov::DeviceLink& link = keyboard->MainLink();
        rerov::HidDevice& hid = receiver ? link.Receiver() : link.Wired();
        if (path.empty() || !hid.Open(path, rerov::kCommandAccess)) {
            *error = "the command interface cannot be opened";
            return false;
        }
        link.SetLinkMode(receiver ? rerov::LinkMode::Receiver : rerov::LinkMode::Wired);
        link.SetConnected(true);

        rerov::ProfileStore store(keyboard->Kind(), keyboard->ProfileFolder(),
                                  keyboard->DefaultProfilePath());
        if (store.Build() != rerov::StoreResult::Ok) {
            *error = "the profile store cannot be built";
            return false;
        }
        keyboard->SetProfileFileTitle(store.CurrentUUID());
        if (!AddMacros(keyboard->ProfileFolder()) ||
            !AssignMacros(store.CurrentProfilePath(), keyboard->DefaultProfilePath())) {
            *error = "the macros cannot be set up";
            return false;
        }
        if (!keyboard->ReadGeometry()) {
            *error = "the geometry cannot be read";
            return false;
        }
        bus->SetTraceSink(
            [this](rerov::sim::TraceDirection direction, const uint8_t* report, size_t length) {
                if (direction != rerov::sim::TraceDirection::HostToDevice) return;
                ++reports;
                if (length > rerov::kReportCommandOffset &&
                    report[rerov::kReportCommandOffset] == kCmdEndSession) {
                    ++endSessions;
                }
            });
        bus->SetLatency(kLatency);
        return true;
    }
};

void BM_ProfileApply(benchmark::State& state) {
    const bool receiver = state.range(0) == 1;
    BenchData data;
    Setup setup;
    std::string error;
    if (!data.Ok() || !setup.Make(receiver, &error)) {
        state.SkipWithError(data.Ok() ? error.c_str() : "no data folder");
        return;
    }
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        const rerov::DownloadReport report = setup.keyboard->ApplyToDevice();
        if (report.Failed() || report.report != 0) {
            state.SkipWithError("the apply failed");
            break;
        }
    }
    const double elapsedMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    setup.bus->SetTraceSink(nullptr);
    const double iterations = static_cast<double>(state.iterations());
    if (iterations <= 0) return;
    const double reports = setup.reports.load() / iterations;
    const double sessions = setup.endSessions.load() / iterations;
    const double floorMs =
        2.0 * reports * std::chrono::duration<double, std::milli>(kLatency).count() +
        sessions * std::chrono::duration<double, std::milli>(kEndSessionWait).count();
    state.counters["reports"] = reports;
    state.counters["sessions"] = sessions;
    state.counters["floor_ms"] = floorMs;
    state.counters["apply_ms"] = elapsedMs / iterations;
    if (floorMs > 0) state.counters["vs_floor"] = elapsedMs / iterations / floorMs;
    state.SetLabel(receiver ? "receiver" : "cable");
}
BENCHMARK(BM_ProfileApply)
    ->ArgNames({"path"})
    ->Arg(0)
    ->Arg(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
