#pragma once
// Fixtures of the shell tests: a fake device page for list entries, and the main window on
// the simulator.

#include <QString>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "device_link/device_manager.h"
#include "shell/entry_page.h"
#include "shell/main_wnd.h"
#include "sim/simulated_bus.h"

namespace rerov::shell::test {

// Generous limit for "it happened" waits; the machine is shared.
inline constexpr int kWaitMs = 10000;

// Runs the event loop until `condition` holds or `timeoutMs` passed; true when it held.
// (Qt's QTRY_ macros report to a QTest run, which gtest never sees.)
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = kWaitMs);

// Fails the test (ASSERT_: and leaves the function) unless `condition` holds within kWaitMs.
#define ASSERT_SOON(condition)                                                        \
    ASSERT_TRUE(::rerov::shell::test::WaitFor([&]() -> bool { return (condition); })) \
        << "not within " << ::rerov::shell::test::kWaitMs << " ms: " #condition
#define EXPECT_SOON(condition)                                                        \
    EXPECT_TRUE(::rerov::shell::test::WaitFor([&]() -> bool { return (condition); })) \
        << "not within " << ::rerov::shell::test::kWaitMs << " ms: " #condition

// A device object that records what its list entry asks of it.
class FakeDevice : public ManagedDevice {
  public:
    DeviceLink& MainLink() override { return link; }
    const SupportedDevice& DeviceRecord() const override { return record; }
    void SetDeviceRecord(const SupportedDevice& r) override { record = r; }
    int FamilyIndex() const override { return familyIndex; }
    bool HasPowerDisplay() const override { return powerDisplay; }
    void ReadAll() override { ++readAlls; }
    void ReadPowerStatus() override { ++powerReads; }
    void OpenSecondary(const std::string&, int) override {}
    void CloseSecondary(int) override {}

    DeviceLink link;
    SupportedDevice record;
    int familyIndex = 1;
    bool powerDisplay = true;
    int readAlls = 0;
    int powerReads = 0;
};

// A page for an entry: the fake device plus the entry-side operations.
class FakeEntryPage : public EntryPage {
  public:
    ManagedDevice& Device() override { return device; }
    void ReadAll() override { device.ReadAll(); }
    void StreamLightFrame() override { ++frames; }
    void OnSyncRequest() override { ++syncRequests; }
    // As the real adapter answers: only a connected receiver link, and then whether the
    // device behind it answers (`alive`).
    bool IsReceiverLinkAlive() override {
        ++aliveQueries;
        return device.link.IsConnected() && device.link.IsReceiver() && alive;
    }
    QWidget* KeyLightContainer() override { return nullptr; }
    bool IsWindowActive() const override { return true; }

    // Puts the fake link on the cable (receiver false) or the receiver, connected or not.
    void Connect(bool receiver, bool connected = true) {
        device.link.SetLinkMode(receiver ? LinkMode::Receiver : LinkMode::Wired);
        device.link.SetConnected(connected);
    }

    FakeDevice device;
    bool alive = true;  // the device behind the receiver answers
    int frames = 0;
    int syncRequests = 0;
    int aliveQueries = 0;
};

// Serves the simulator and, with twins on, shows every interface a second time under
// another node that opens the same device: a second identical device. With reverseOrder
// on, the interfaces are listed last device first, as a system may list them.
class TwinBackend : public HidBackend {
  public:
    explicit TwinBackend(std::shared_ptr<sim::SimulatedBus> bus) : bus_(std::move(bus)) {}
    std::vector<std::string> EnumeratePaths() override;
    std::unique_ptr<HidConnection> Open(const std::string& path, HidOpenMode mode,
                                        std::string* error) override;
    std::unique_ptr<HotplugWatcher> WatchHotplug() override { return bus_->WatchHotplug(); }
    std::atomic<bool> twins{false};         // read by the scan thread
    std::atomic<bool> reverseOrder{false};  // read by the scan thread

  private:
    std::shared_ptr<sim::SimulatedBus> bus_;
};

// The main window on the simulator, started as the program starts it.
class MainWindowOnSim {
  public:
    MainWindowOnSim();
    ~MainWindowOnSim();
    // Plugs or unplugs a path and makes the scan look at once.
    void Plug(sim::SimPath path);
    void Unplug(sim::SimPath path);

    std::shared_ptr<sim::SimulatedBus> bus;
    std::shared_ptr<TwinBackend> backend;
    std::unique_ptr<CMainWnd> window;
};

// Once a modal window is open (on a later round of the event loop), notes the text of
// its "MessageText" in *text (may be null) and clicks its control `button` as a person
// would ("confirm_btn", "cancel_btn", "closebtn"). *answered says whether it happened.
void AnswerNextModal(const QString& button, QString* text, bool* answered);

// Position of each family's entry (family order: mouse, keyboard, mouse pad).
inline constexpr int kMouseEntry = 0;
inline constexpr int kKeyboardEntry = 1;
inline constexpr int kPadEntry = 2;

}  // namespace rerov::shell::test
