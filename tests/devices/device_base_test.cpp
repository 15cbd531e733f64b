// The device base without any widget: defaults, light colours, records, folders, the
// function tabs it asks its page for, and the families the factory makes.

#include <gtest/gtest.h>

#include <QString>
#include <QTemporaryDir>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <utility>
#include <vector>

#include "family_devices.h"
#include "simulated_bus.h"
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

TEST(DeviceBase, LightColoursSharedBetweenThreads) {
    // The preview writes while the stream and the window read; run under the thread
    // sanitizer this shows any unguarded access.
    CZidiraUSBDevice device;
    device.SetLightCount(170);
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        for (uint32_t round = 1; !stop.load(); ++round) {
            for (int i = 0; i < 170; ++i) device.SetLightColor(i, round);
        }
    });
    uint32_t last = 0;
    for (int pass = 0; pass < 200; ++pass) {
        const uint32_t value = device.GetLightColor(169);
        EXPECT_GE(value, last);  // the writer only counts up
        last = value;
    }
    stop.store(true);
    writer.join();
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

TEST(DeviceBase, InitPageMarksTheMappedLightsWhite) {
    CZidiraUSBDevice device;
    RecordingView view;  // maps the even lights only
    device.SetView(&view);
    device.SetPageLayoutPath("XML\\DeviceXml\\any.xml");
    device.SetKeyButtonCount(5);
    device.SetLightCount(4);
    device.InitPage();
    EXPECT_EQ(view.mappedKeys, 5);
    EXPECT_EQ(view.mappedLights, 4);
    EXPECT_EQ(device.GetLightColor(0), 0xFFFFFFFFu);
    EXPECT_EQ(device.GetLightColor(1), 0u);
    EXPECT_EQ(device.GetLightColor(2), 0xFFFFFFFFu);
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

// The secondary (event) interface of the keyboard's cable path on a simulated bus.
std::string KeyboardSecondaryPath(sim::SimulatedBus& bus) {
    const SupportedDevice row = SupportedDevices(LoadDeviceIds())[1];  // kind 1, role 255
    char prefix[64];
    std::snprintf(prefix, sizeof prefix, "vid_%04x&pid_%04x&mi_%02d&col%02d", row.vendorId,
                  row.productId, row.interfaceNumber, row.collectionNumber);
    for (const std::string& path : bus.EnumeratePaths()) {
        if (QString::fromStdString(path).startsWith(QLatin1String(prefix), Qt::CaseInsensitive)) {
            return path;
        }
    }
    return {};
}

TEST(DeviceBase, SecondaryInterfaceHeldPerPath) {
    auto bus = std::make_shared<sim::SimulatedBus>();
    bus->Plug(sim::SimPath::KeyboardCable);
    const std::string path = KeyboardSecondaryPath(*bus);
    ASSERT_FALSE(path.empty());

    CZidiraUSBDevice device(bus);
    device.OpenSecondary(path, kKindKeyboard);  // cable kind: the wired slot
    EXPECT_TRUE(device.SecondaryLink().Wired().IsOpen());
    EXPECT_FALSE(device.SecondaryLink().Receiver().IsOpen());
    device.CloseSecondary(kKindKeyboardReceiver);  // the other path: nothing to close
    EXPECT_TRUE(device.SecondaryLink().Wired().IsOpen());
    device.CloseSecondary(kKindKeyboard);
    EXPECT_FALSE(device.SecondaryLink().Wired().IsOpen());

    device.OpenSecondary(path, kKindKeyboardReceiver);  // receiver kind: the receiver slot
    EXPECT_TRUE(device.SecondaryLink().Receiver().IsOpen());
    EXPECT_FALSE(device.SecondaryLink().Wired().IsOpen());
    // A path that does not open leaves the slot closed.
    device.OpenSecondary(path + "-gone", kKindKeyboardReceiver);
    EXPECT_FALSE(device.SecondaryLink().Receiver().IsOpen());
    EXPECT_FALSE(device.MainLink().IsConnected());  // the command link is not touched
}

}  // namespace
}  // namespace rerov
