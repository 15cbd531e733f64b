// The device base without any widget: defaults, light colours, records, folders, the
// function tabs it asks its page for, and the families the factory makes.

#include <gtest/gtest.h>

#include <QString>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "device_link/hid_device.h"
#include "devices/family_devices.h"
#include "profiles/basic_profile_data.h"
#include "sim/simulated_bus.h"
#include "tests/support/scoped_environment.h"

namespace rerov {
namespace {

// A page that records what the device asks of it.
class RecordingView : public DevicePageView {
  public:
    void MapKeyButtons(int keys, int lights) override {
        mappedKeys = keys;
        mappedLights = lights;
    }
    bool HasKeyButton(int) const override { return true; }
    bool HasLight(int light) const override { return light % 2 == 0; }
    void PaintLights(const std::vector<uint32_t>& colours) override { painted = colours; }
    void SetKeyLabel(int, const std::string&) override {}
    void ShowSelectedKey(int key) override { shownKey = key; }
    bool SelectTab(const std::string& name, int index) override {
        tabs.emplace_back(name, index);
        return true;
    }
    void ShowSettings() override { ++settingsShown; }
    void ShowAudioLightSetting(uint32_t type, uint32_t colour, uint32_t option) override {
        audio = {type, colour, option};
    }
    void ShowPowerLayout(bool visible) override { powerLayout = visible ? 1 : 0; }
    void ShowKeyMarks(int, bool, bool) override {}
    void ShowPowerStatus(const std::array<uint8_t, 6>&) override {}
    void Post(std::function<void()> work) override { work(); }

    int mappedKeys = -1;
    int mappedLights = -1;
    std::vector<uint32_t> painted;
    int shownKey = -2;
    std::vector<std::pair<std::string, int>> tabs;
    int settingsShown = 0;
    AudioLightWords audio;
    int powerLayout = -1;
};

TEST(DeviceBase, StartsEmpty) {
    CZidiraUSBDevice device;
    EXPECT_EQ(device.GetClass(), "ZidiraUSBDevice");
    EXPECT_EQ(device.Kind(), 0);
    EXPECT_EQ(device.KeyButtonCount(), 0);
    EXPECT_EQ(device.LightCount(), 0);
    EXPECT_EQ(device.FamilyIndex(), -1);
    EXPECT_EQ(device.SelectedKey(), -1);
    EXPECT_EQ(device.FnKey(), -1);
    EXPECT_EQ(device.FunctionTab(), 1);
    EXPECT_FALSE(device.HasPowerDisplay());
    EXPECT_EQ(device.DefaultDataIndex(), 0);
    EXPECT_EQ(device.HostLighting(), 1);
    EXPECT_TRUE(device.WindowActive());
    EXPECT_EQ(device.GetLightingState(), LightingState{});
    EXPECT_FALSE(device.MainLink().IsConnected());
    EXPECT_EQ(device.IsReceiverLinkAlive(), 1);
    EXPECT_TRUE(device.UsedMacros().empty());
    EXPECT_EQ(device.ProfileName(), "");
}

TEST(DeviceBase, LightColoursOnlyInsideTheList) {
    CZidiraUSBDevice device;
    device.SetLightCount(4);
    device.SetLightColor(0, 0x11223344u);
    device.SetLightColor(3, 0xFF0000FFu);
    device.SetLightColor(4, 0xABCDEFu);  // past the end: ignored
    device.SetLightColor(-1, 0xABCDEFu);
    EXPECT_EQ(device.GetLightColor(0), 0x11223344u);
    EXPECT_EQ(device.GetLightColor(3), 0xFF0000FFu);
    EXPECT_EQ(device.GetLightColor(-1), 0u);
    EXPECT_EQ(device.GetLightColor(4), 0u);
    EXPECT_EQ(device.GetLightColor(1 << 30), 0u);
    // A new count clears every colour.
    device.SetLightCount(6);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(device.GetLightColor(i), 0u) << i;
}

TEST(DeviceBase, StreamLightFrameHandsTheColoursToThePage) {
    CZidiraUSBDevice device;
    RecordingView view;
    device.SetView(&view);
    device.SetLightCount(3);
    device.SetLightColor(1, 0x80FF0000u);
    device.StreamLightFrame();
    EXPECT_EQ(view.painted, (std::vector<uint32_t>{0, 0x80FF0000u, 0}));
    device.SetView(nullptr);
    device.StreamLightFrame();  // without a page nothing happens
}

TEST(DeviceBase, RecordGivesKindAndRole) {
    CZidiraUSBDevice device;
    SupportedDevice record = SupportedDevices(DeviceIds{})[2];  // keyboard receiver, command
    record.path = "vid_0000&pid_0000&mi_01&col04#x";
    device.SetDeviceRecord(record);
    EXPECT_EQ(device.Kind(), kKindKeyboardReceiver);
    EXPECT_EQ(device.Role(), kRoleCommand);
    EXPECT_EQ(device.DeviceRecord().path, record.path);
    EXPECT_TRUE(device.DeviceRecord() == record);
}

TEST(DeviceBase, InitPageWithoutLayoutHasNoKeysOrLights) {
    CZidiraUSBDevice device;
    RecordingView view;
    device.SetView(&view);
    device.SetKeyButtonCount(170);
    device.SetLightCount(170);
    device.InitPage();
    EXPECT_EQ(device.KeyButtonCount(), 0);
    EXPECT_EQ(device.LightCount(), 0);
    EXPECT_EQ(view.mappedKeys, -1);  // the page was not asked to map anything
    EXPECT_EQ(device.GetLightColor(0), 0u);
}

TEST(DeviceBase, InitPageMapsThePageAndLeavesTheColours) {
    CZidiraUSBDevice device;
    RecordingView view;  // maps the even lights only
    device.SetView(&view);
    device.SetPageLayoutPath("XML\\DeviceXml\\any.xml");
    device.SetKeyButtonCount(5);
    device.SetLightCount(4);
    device.SetLightColor(1, 0x80112233u);
    device.InitPage();
    EXPECT_EQ(view.mappedKeys, 5);
    EXPECT_EQ(view.mappedLights, 4);
    // The page paints its own lights; the colour list stays what the preview made it.
    EXPECT_EQ(device.GetLightColor(0), 0u);
    EXPECT_EQ(device.GetLightColor(1), 0x80112233u);
    EXPECT_EQ(device.GetLightColor(2), 0u);
}

struct TabCase {
    int kind;
    int pageKind;
    std::vector<std::pair<std::string, int>> expected;
};

TEST(DeviceBase, SelectFunctionTabTable) {
    const std::string f = kFunctionSwitchName;
    const std::string k = kKeyFunctionSwitchName;
    const std::vector<TabCase> cases = {
        {2, 1, {{f, 0}, {k, 1}}}, {6, 2, {{f, 0}, {k, 1}}},  {3, 1, {{f, 1}}},
        {8, 3, {{f, 1}}},         {4, 1, {{f, 3}}},          {4, 2, {{f, 3}}},
        {4, 3, {{f, 0}, {k, 2}}}, {4, 7, {{f, 0}, {k, 2}}},  {7, 1, {{f, 0}, {k, 2}}},
        {5, 2, {{f, 2}}},         {1, 1, {{f, 0}, {k, 0}}},  {0, 1, {{f, 0}, {k, 0}}},
        {9, 3, {{f, 0}, {k, 0}}}, {-4, 1, {{f, 0}, {k, 0}}},
    };
    for (const TabCase& c : cases) {
        CZidiraUSBDevice device;
        RecordingView view;
        device.SetView(&view);
        SupportedDevice record;
        record.kind = static_cast<uint16_t>(c.pageKind);
        device.SetDeviceRecord(record);
        device.SelectFunctionTab(c.kind);
        EXPECT_EQ(view.tabs, c.expected) << "kind " << c.kind << " page kind " << c.pageKind;
        EXPECT_EQ(device.FunctionTab(), c.kind);
    }
}

TEST(DeviceBase, SelectKeyAndAudioSettingReachThePage) {
    CZidiraUSBDevice device;
    RecordingView view;
    device.SetView(&view);
    device.SelectKey(42);
    EXPECT_EQ(device.SelectedKey(), 42);
    EXPECT_EQ(view.shownKey, 42);
    device.SetAudioLightSetting(3, 0x00FF00, 1);
    EXPECT_EQ(device.AudioLightSetting(), (AudioLightWords{3, 0x00FF00, 1}));
    EXPECT_EQ(view.audio, (AudioLightWords{3, 0x00FF00, 1}));
    device.SetPowerDisplay(true);
    EXPECT_EQ(view.powerLayout, 1);
    device.ShowSettings();
    EXPECT_EQ(view.settingsShown, 1);
}

TEST(DeviceBase, SetLightSettingKeepsTheExtraFields) {
    CZidiraUSBDevice device;
    LightingState state;
    state.word0 = 7;
    state.half = 3;
    device.SetLightingState(state);
    LightSetting setting;
    setting.bytes[LightSetting::kMode] = 12;
    setting.bytes[LightSetting::kRed] = 200;
    device.SetLightSetting(setting);
    EXPECT_EQ(device.GetLightSetting(), setting);
    EXPECT_EQ(device.GetLightingState().word0, 7u);
    EXPECT_EQ(device.GetLightingState().half, 3);
}

TEST(DeviceBase, ProfileFolderCreatedOnFirstUse) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const test::ScopedEnvironment dataHome("XDG_DATA_HOME", home.path().toUtf8());
    const std::filesystem::path product =
        std::filesystem::path(home.path().toStdString()) / "REROV ER60 EVER";
    ASSERT_FALSE(std::filesystem::exists(product));

    CZidiraUSBDevice device;
    device.SetFamilyName("MousePad");
    const std::filesystem::path folder = device.ProfileFolder();
    EXPECT_EQ(folder, product / "MousePad");
    EXPECT_TRUE(std::filesystem::is_directory(product / "MousePad"));
    EXPECT_EQ(device.DefaultProfilePath().filename(), "MousePad.Json");
    EXPECT_EQ(device.DefaultProfilePath().parent_path(), device.DefaultDataFolder());

    // A family name that is not a plain name never becomes a folder.
    device.SetFamilyName("../escape");
    EXPECT_TRUE(device.ProfileFolder().empty());
    EXPECT_FALSE(
        std::filesystem::exists(std::filesystem::path(home.path().toStdString()) / "escape"));
}

struct FamilyCase {
    int family;
    const char* className;
    const char* familyName;
    int keys, lights;
    bool power;
    const char* layout;
    int defaultDataIndex;
};

TEST(DeviceBase, FactoryMakesEachFamily) {
    const FamilyCase cases[] = {
        {kFamilyMouse, "ZidiraMouseDevice", "mouse", 11, 15, true,
         "XML\\DeviceXml\\mousedevice.xml", 1},
        {kFamilyKeyboard, "ZidiraKeyboardDevice", "keyboard", 170, 170, true,
         "XML\\DeviceXml\\keyboarddevice.xml", 0},
        {kFamilyMousePad, "ZidiraMousePadDevice", "MousePad", 0, 15, false,
         "XML\\DeviceXml\\mousepaddevice.xml", 2},
        {kFamilyHeadset, "ZidiraRI6533Device", "HD", 0, 13, false,
         "XML\\DeviceXml\\ri6533device.xml", 3},
    };
    const std::vector<SupportedDevice> rows = SupportedDevices(DeviceIds{});
    for (const FamilyCase& c : cases) {
        std::unique_ptr<CZidiraUSBDevice> device = CreateFamilyDevice(c.family, rows[0]);
        ASSERT_NE(device, nullptr) << c.family;
        EXPECT_EQ(device->GetClass(), c.className);
        EXPECT_EQ(device->FamilyName(), c.familyName);
        EXPECT_EQ(device->FamilyIndex(), c.family);
        EXPECT_EQ(device->KeyButtonCount(), c.keys);
        EXPECT_EQ(device->LightCount(), c.lights);
        EXPECT_EQ(device->HasPowerDisplay(), c.power);
        EXPECT_EQ(device->PageLayoutPath(), c.layout);
        EXPECT_EQ(device->LightFileName(), "zired_light");
        EXPECT_EQ(device->DefaultDataIndex(), c.defaultDataIndex);
        EXPECT_EQ(device->GetLightColor(c.lights - 1), 0u);
    }
    EXPECT_EQ(CreateFamilyDevice(4, rows[0]), nullptr);
    EXPECT_EQ(CreateFamilyDevice(-1, rows[0]), nullptr);
}

// The interface of supported-device row `row` on a simulated bus, or "".
std::string InterfacePath(sim::SimulatedBus& bus, size_t row) {
    const SupportedDevice record = SupportedDevices(LoadDeviceIds())[row];
    for (const std::string& path : bus.EnumeratePaths()) {
        if (VendorIdFromPath(path) == record.vendorId &&
            ProductIdFromPath(path) == record.productId &&
            InterfaceFromPath(path) == record.interfaceNumber &&
            CollectionFromPath(path) == record.collectionNumber) {
            return path;
        }
    }
    return {};
}

constexpr size_t kKeyboardCommandRow = 0;    // kind 1, role 0
constexpr size_t kKeyboardSecondaryRow = 1;  // kind 1, role 255

// The simulated bus, noting how each interface was opened and which of the secondary
// link's locks were held at that moment (looked at from another thread, which is the only
// well-defined way to ask whether a mutex is held).
class OpenRecordingBus : public HidBackend {
  public:
    struct OpenCall {
        bool read, write, exclusive;
        bool ioLockHeld, secondLockHeld;
    };
    std::vector<std::string> EnumeratePaths() override { return bus->EnumeratePaths(); }
    std::unique_ptr<HidConnection> Open(const std::string& path, HidOpenMode mode,
                                        std::string* error) override {
        OpenCall call{mode.read, mode.write, mode.exclusive, false, false};
        if (watched != nullptr) {
            std::thread probe([&] {
                call.ioLockHeld = !watched->IoLock().try_lock();
                if (!call.ioLockHeld) watched->IoLock().unlock();
                call.secondLockHeld = !watched->SecondaryLinkLock().try_lock();
                if (!call.secondLockHeld) watched->SecondaryLinkLock().unlock();
            });
            probe.join();
        }
        calls.push_back(call);
        return bus->Open(path, mode, error);
    }

    std::shared_ptr<sim::SimulatedBus> bus = std::make_shared<sim::SimulatedBus>();
    DeviceLink* watched = nullptr;
    std::vector<OpenCall> calls;
};

struct SecondaryCase {
    int kind;
    bool receiverSlot;
};

TEST(DeviceBase, SecondaryInterfaceOpensInTheSlotOfItsKind) {
    // Cable kinds use the wired slot under the I/O lock, receiver kinds the receiver slot
    // under the second lock; both open for reading and writing, shared.
    const SecondaryCase cases[] = {{kKindKeyboard, false},
                                   {kKindMouse, false},
                                   {kKindKeyboardReceiver, true},
                                   {kKindMouseReceiver, true}};
    for (const SecondaryCase& c : cases) {
        auto backend = std::make_shared<OpenRecordingBus>();
        backend->bus->Plug(sim::SimPath::KeyboardCable);
        const std::string path = InterfacePath(*backend->bus, kKeyboardSecondaryRow);
        ASSERT_FALSE(path.empty());
        CZidiraUSBDevice device(backend);
        backend->watched = &device.SecondaryLink();

        device.OpenSecondary(path, c.kind);
        HidDevice& used =
            c.receiverSlot ? device.SecondaryLink().Receiver() : device.SecondaryLink().Wired();
        HidDevice& other =
            c.receiverSlot ? device.SecondaryLink().Wired() : device.SecondaryLink().Receiver();
        EXPECT_TRUE(used.IsOpen()) << c.kind;
        EXPECT_FALSE(other.IsOpen()) << c.kind;
        EXPECT_TRUE(device.IsSecondaryOpen(c.kind)) << c.kind;
        EXPECT_EQ(device.SecondaryLink().IsConnected(), !c.receiverSlot) << c.kind;
        EXPECT_EQ(device.SecondaryLink().IsReceiver(), c.receiverSlot) << c.kind;
        ASSERT_EQ(backend->calls.size(), 1u) << c.kind;
        const OpenRecordingBus::OpenCall& call = backend->calls[0];
        EXPECT_TRUE(call.read && call.write && !call.exclusive) << c.kind;
        EXPECT_EQ(call.ioLockHeld, !c.receiverSlot) << c.kind;
        EXPECT_EQ(call.secondLockHeld, c.receiverSlot) << c.kind;
        EXPECT_FALSE(device.MainLink().IsConnected());  // the command link is not touched

        device.CloseSecondary(c.kind);
        EXPECT_FALSE(used.IsOpen()) << c.kind;
        EXPECT_FALSE(device.IsSecondaryOpen(c.kind)) << c.kind;
        EXPECT_FALSE(device.SecondaryLink().IsConnected() || device.SecondaryLink().IsReceiver());
    }
}

TEST(DeviceBase, SecondaryInterfaceSlotsAreIndependent) {
    auto bus = std::make_shared<sim::SimulatedBus>();
    bus->Plug(sim::SimPath::KeyboardCable);
    const std::string path = InterfacePath(*bus, kKeyboardSecondaryRow);
    ASSERT_FALSE(path.empty());
    CZidiraUSBDevice device(bus);

    device.OpenSecondary(path, kKindKeyboard);
    device.OpenSecondary(path, kKindKeyboardReceiver);
    EXPECT_TRUE(device.IsSecondaryOpen(kKindKeyboard));
    EXPECT_TRUE(device.IsSecondaryOpen(kKindKeyboardReceiver));
    device.CloseSecondary(kKindKeyboardReceiver);  // the cable slot stays open
    EXPECT_TRUE(device.SecondaryLink().Wired().IsOpen());
    EXPECT_TRUE(device.IsSecondaryOpen(kKindKeyboard));
    EXPECT_FALSE(device.IsSecondaryOpen(kKindKeyboardReceiver));

    // Opening again closes the slot first; a path that does not open leaves it closed.
    device.OpenSecondary(path + "-gone", kKindKeyboard);
    EXPECT_FALSE(device.SecondaryLink().Wired().IsOpen());
    EXPECT_FALSE(device.IsSecondaryOpen(kKindKeyboard));
}

TEST(DeviceBase, SecondaryInterfaceOfAnotherKindOpensNothing) {
    auto backend = std::make_shared<OpenRecordingBus>();
    backend->bus->Plug(sim::SimPath::KeyboardCable);
    const std::string path = InterfacePath(*backend->bus, kKeyboardSecondaryRow);
    CZidiraUSBDevice device(backend);
    for (int kind : {0, int{kKindMousePad}, int{kKindHeadset}, 4, 5, 8, -1}) {
        device.OpenSecondary(path, kind);
        device.CloseSecondary(kind);  // nothing to close either
        EXPECT_FALSE(device.IsSecondaryOpen(kind)) << kind;
    }
    EXPECT_TRUE(backend->calls.empty());
    EXPECT_FALSE(device.SecondaryLink().Wired().IsOpen());
    EXPECT_FALSE(device.SecondaryLink().Receiver().IsOpen());
}

TEST(DeviceBase, KeyAtPositionFindsTheLowestKeyOfAPosition) {
    PositionMaps maps;
    maps.keyPosition = {{3, 0x23}, {9, 0x10}, {40, 0x23}, {170, 0x00}};
    maps.lightPosition = {{1, 0x55}};  // other maps do not count
    EXPECT_EQ(KeyAtPosition(maps, 0x23), 3);
    EXPECT_EQ(KeyAtPosition(maps, 0x10), 9);
    EXPECT_EQ(KeyAtPosition(maps, 0x00), 170);
    EXPECT_EQ(KeyAtPosition(maps, 0x55), -1);
    EXPECT_EQ(KeyAtPosition(PositionMaps{}, 0x23), -1);
}

// The device with what a family's ApplyLighting uses opened for the test.
class LightingDevice : public CZidiraUSBDevice {
  public:
    using CZidiraUSBDevice::CustomLights;
    using CZidiraUSBDevice::LoadCustomLights;
};

TEST(DeviceBase, CustomLightsRoundTripTheProfileLightList) {
    // A profile's "LightList" becomes one LightSetting per light with fresh timers; a null
    // element is a light without a record (valid 0).
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::filesystem::path file = std::filesystem::path(dir.path().toStdString()) / "p.Json";
    {
        std::FILE* out = std::fopen(file.c_str(), "wb");
        ASSERT_NE(out, nullptr);
        const char* text = R"({"Device":[{"LightList":[
            {"LEDREGMode":3,"LEDBrightness":4,"LEDSpeed":2,"LEDMultiColor":1,"LEDDirection":0,
             "red":10,"green":20,"blue":30},
            null,
            {"LEDREGMode":2,"LEDBrightness":1,"LEDSpeed":9,"LEDMultiColor":0,"LEDDirection":1,
             "red":255,"green":0,"blue":128}]}]})";
        ASSERT_EQ(std::fputs(text, out) >= 0, true);
        ASSERT_EQ(std::fclose(out), 0);
    }
    CBasicProfiledata profile;
    profile.LoadProfile(file);

    LightingDevice device;
    EXPECT_EQ(device.LoadCustomLights(profile), 3u);
    const std::vector<LightSetting> lights = device.CustomLightSettings();
    ASSERT_EQ(lights.size(), 3u);
    EXPECT_EQ(lights, profile.LightList());
    EXPECT_EQ(lights[0].bytes[LightSetting::kMode], 3);
    EXPECT_EQ(lights[0].bytes[LightSetting::kBrightness], 4);
    EXPECT_EQ(lights[0].bytes[LightSetting::kBlue], 30);
    EXPECT_EQ(lights[0].bytes[LightSetting::kValid], 1);
    EXPECT_EQ(lights[1].bytes[LightSetting::kValid], 0);
    EXPECT_EQ(lights[2].bytes[LightSetting::kRed], 255);
    EXPECT_EQ(lights[2].bytes[LightSetting::kDirection], 1);

    // Timers start at zero, the interval and blink period taken by the record's speed; a
    // speed past the tables takes their fastest entry.
    const std::vector<CustomLight> timed = device.CustomLights().Snapshot();
    EXPECT_EQ(timed[0].timers.interval, 4);
    EXPECT_EQ(timed[0].timers.blinkPeriodMs, 800u);
    EXPECT_EQ(timed[2].timers.interval, 1);
    EXPECT_EQ(timed[2].timers.blinkPeriodMs, 200u);
    for (const CustomLight& light : timed) {
        EXPECT_EQ(light.timers.phase, 0);
        EXPECT_EQ(light.timers.counter, 0);
        EXPECT_EQ(light.timers.wheelPosition, 0);
        EXPECT_FALSE(light.timers.on);
        EXPECT_EQ(light.timers.lastToggleMs, 0u);
    }

    // A reload resets the timers the preview advanced.
    device.CustomLights().Update([](std::vector<CustomLight>& list) {
        for (CustomLight& light : list) light.timers.phase = 77;
    });
    device.LoadCustomLights(profile);
    EXPECT_EQ(device.CustomLights().Snapshot()[0].timers.phase, 0);
}

TEST(DeviceBase, CustomLightsEmptyWithoutLightList) {
    CBasicProfiledata profile;  // nothing loaded: no "LightList"
    LightingDevice device;
    device.LoadCustomLights(std::vector<LightSetting>(4));
    EXPECT_EQ(device.LoadCustomLights(profile), 0u);
    EXPECT_TRUE(device.CustomLightSettings().empty());
}

// The requests of command `command` the simulated keyboard received.
class CommandCounter {
  public:
    explicit CommandCounter(sim::SimulatedBus& bus) : bus_(bus) {
        bus_.SetTraceSink(
            [this](sim::TraceDirection direction, const uint8_t* report, size_t length) {
                if (direction != sim::TraceDirection::HostToDevice || length <= 3) return;
                std::lock_guard<std::mutex> guard(lock_);
                commands_.push_back(report[3]);
            });
    }
    ~CommandCounter() { bus_.SetTraceSink(nullptr); }
    size_t Count(uint8_t command) const {
        std::lock_guard<std::mutex> guard(lock_);
        return static_cast<size_t>(std::count(commands_.begin(), commands_.end(), command));
    }

  private:
    sim::SimulatedBus& bus_;
    mutable std::mutex lock_;
    std::vector<uint8_t> commands_;
};

constexpr uint8_t kHostLightCommand = 0x1C;

struct HostLightingCase {
    int family;
    int flag;
    size_t sent;
};

TEST(DeviceBase, HostLightingHandsTheKeyboardToTheHost) {
    // Only a keyboard page with a non-zero flag sends the hand-over to its device.
    const HostLightingCase cases[] = {
        {kFamilyKeyboard, 1, 1}, {kFamilyKeyboard, 0, 0}, {kFamilyMouse, 1, 0}};
    for (const HostLightingCase& c : cases) {
        auto bus = std::make_shared<sim::SimulatedBus>();
        bus->Plug(sim::SimPath::KeyboardCable);
        const std::string path = InterfacePath(*bus, kKeyboardCommandRow);
        ASSERT_FALSE(path.empty());
        CommandCounter counter(*bus);
        std::unique_ptr<CZidiraUSBDevice> device =
            CreateFamilyDevice(c.family, SupportedDevices(LoadDeviceIds())[0], bus);
        // The command interface opened as the device manager does on arrival.
        ASSERT_TRUE(device->MainLink().Wired().Open(path, kCommandAccess));
        device->MainLink().SetLinkMode(LinkMode::Wired);
        device->MainLink().SetConnected(true);

        device->SetHostLighting(c.flag);
        EXPECT_EQ(device->HostLighting(), c.flag);
        EXPECT_EQ(counter.Count(kHostLightCommand), c.sent)
            << "family " << c.family << " flag " << c.flag;
    }
}

}  // namespace
}  // namespace rerov
