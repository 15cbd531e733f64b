#include <gtest/gtest.h>

#include "devices/keyboard/keyboard_key_table.h"
#include "profiles/json_access.h"
#include "profiles/keyboard_profile_data.h"
#include "tests/devices/keyboard/keyboard_files.h"
#include "tests/devices/keyboard/keyboard_test_support.h"

namespace rerov::test {
namespace {

class KeyboardApply : public KeyboardSimTest {
  protected:
    // A read-out device whose profile gives key 3 macro 1 (of two, 6 and 4 events) and a
    // media key to F1, saved in the current profile file.
    void SetUpProfile(int macroEvents = 6) {
        WriteMacros(ProfileFolder(), 2, {{0, Steps(2)}, {1, Steps(macroEvents)}});
        Connect();
        ASSERT_TRUE(device_->ReadGeometry());
        ASSERT_EQ(device_->ApplyProfile(), 1);
        std::vector<KeyEntry> keys = device_->KeyList();
        ASSERT_GT(keys.size(), 3u);
        keys[3].current.type = 0x70;
        keys[3].current.value = 1;
        keys[3].current.code = 1;
        keys[1].current.type = 0x30;
        keys[1].current.value = 0xE2;
        keys[1].current.code = 0;
        device_->SetKeyList(keys);
        ASSERT_TRUE(device_->LastSaveSucceeded());
        profilePath_ = CurrentKeyboardProfile();
        profileBytes_ = ReadBytes(profilePath_);
        ASSERT_FALSE(profileBytes_.empty());
        ClearTrace();
    }

    std::array<uint8_t, 3> DeviceTriple(int key) {
        const std::vector<uint8_t> table = Firmware().KeyTable();
        const size_t p = size_t{device_->KeyPosition(key)} * 3;
        return {table[p], table[p + 1], table[p + 2]};
    }

    // Commands in the order the device received them.
    std::vector<uint8_t> Commands() {
        std::vector<uint8_t> commands;
        for (const CommandReport& r : Sent()) {
            if (commands.empty() || commands.back() != r.Command()) commands.push_back(r.Command());
        }
        return commands;
    }

    std::filesystem::path profilePath_;
    std::string profileBytes_;
};

TEST_F(KeyboardApply, SendsMacrosAndThenTheKeyTable) {
    SetUpProfile();
    const DownloadReport report = device_->ApplyToDevice();
    EXPECT_EQ(report.report, 0);
    EXPECT_FALSE(report.Failed());
    EXPECT_EQ(DeviceTriple(3), (std::array<uint8_t, 3>{0x70, 0, 1}));
    EXPECT_EQ(DeviceTriple(1), (std::array<uint8_t, 3>{0x30, 0xE2, 0}));
    const std::vector<uint8_t> area = Firmware().MacroArea();
    EXPECT_EQ(std::vector<uint8_t>(area.begin(), area.begin() + 6),
              (std::vector<uint8_t>{0xAA, 0x55, 16 + 6 + 24, 0, 1, 0}));
    const std::vector<uint8_t> commands = Commands();
    const auto macros = std::find(commands.begin(), commands.end(), 0x15);
    const auto keys = std::find(commands.begin(), commands.end(), 0x09);
    ASSERT_NE(macros, commands.end());
    ASSERT_NE(keys, commands.end());
    EXPECT_LT(macros, keys);
    EXPECT_EQ(ReadBytes(profilePath_), profileBytes_);
}

TEST_F(KeyboardApply, SkipsTheKeyTableWhenTheMacrosOverflow) {
    SetUpProfile(100);
    ASSERT_TRUE(Firmware().SetInfoByte(sim::KeyboardModel::kInfoMacroUnits, 1));
    const DownloadReport report = device_->ApplyToDevice();
    // 16 + 6 + 400 bytes against 128.
    EXPECT_EQ(report.report, (16 + 6 + 400 - 128) / 4 + 1);
    EXPECT_TRUE(Sent(0x15).empty());
    EXPECT_TRUE(Sent(0x09).empty());
}

TEST_F(KeyboardApply, ARefusedOrBrokenDownloadLeavesTheProfileFileAsItWas) {
    struct Case {
        sim::SimFault::Kind kind;
        int command;
        int atReport;
        bool keysSent;
        int link;
    };
    const Case cases[] = {
        {sim::SimFault::Kind::StatusFE, 0x09, 2, true, kResultStatusFE},
        {sim::SimFault::Kind::StatusFE, 0x15, 1, false, kResultStatusFE},
        {sim::SimFault::Kind::WriteFails, 0x09, 3, true, kResultWriteFailed},
        // Unplugged or silent midway: the link says only "no reply"; the download knows the
        // device was there when it began.
        {sim::SimFault::Kind::DisconnectDuring, 0x09, 3, true, kDownloadBrokenOff},
        {sim::SimFault::Kind::NoReply, 0x09, 2, true, kDownloadBrokenOff},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "fault " << static_cast<int>(c.kind) << " at report "
                                          << c.atReport << " of command " << c.command);
        TearDown();
        SetUp();
        SetUpProfile();
        bus_->InjectFault(sim::SimPath::KeyboardCable,
                          {c.kind, c.atReport, c.command, std::chrono::milliseconds(0)});
        const DownloadReport report = device_->ApplyToDevice();
        EXPECT_EQ(report.link, c.link);
        EXPECT_EQ(report.report, 0);
        EXPECT_EQ(Sent(0x09).empty(), !c.keysSent);
        EXPECT_EQ(ReadBytes(profilePath_), profileBytes_);
    }
}

TEST_F(KeyboardApply, WithoutADeviceTheProfileIsAppliedAndNothingFails) {
    ASSERT_EQ(device_->ApplyProfile(), 1);
    const DownloadReport report = device_->ApplyToDevice();
    EXPECT_EQ(report.link, 0);
    EXPECT_FALSE(report.Failed());
    EXPECT_EQ(report.report, 0);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(device_->KeyList().size(), static_cast<size_t>(kKeyboardKeyCount));
}

TEST_F(KeyboardApply, TheKeyEditorsDownloadSendsMacrosOnlyWhenAKeyUsesOne) {
    SetUpProfile();
    DownloadReport report = device_->DownloadKeysAndMacros();
    EXPECT_EQ(report, (DownloadReport{0, 1}));
    EXPECT_EQ(Commands().front(), 0x03);
    EXPECT_FALSE(Sent(0x15).empty());
    EXPECT_EQ(DeviceTriple(3), (std::array<uint8_t, 3>{0x70, 0, 1}));

    std::vector<KeyEntry> keys = device_->KeyList();
    keys[3].current = keys[3].defaults;
    device_->SetKeyList(keys);
    ClearTrace();
    report = device_->DownloadKeysAndMacros();
    EXPECT_EQ(report, (DownloadReport{0, 1}));
    EXPECT_TRUE(Sent(0x15).empty());
    const KeyCodeTriple factory = FactoryTripleOfKey(3);
    EXPECT_EQ(DeviceTriple(3), (std::array<uint8_t, 3>{factory.type, factory.value, factory.code}));
}

TEST_F(KeyboardApply, TheDefaultProfileReplacesTheCurrentOneUnderItsName) {
    SetUpProfile();
    const Json::Value before = JsonFileIO::ReadJsonFile(profilePath_);
    RecordingKeyView view;
    device_->SetView(&view);
    device_->ApplyDefaultProfile();
    device_->SetView(nullptr);
    EXPECT_TRUE(device_->LastSaveSucceeded());
    EXPECT_EQ(device_->KeyList()[1].current, device_->KeyList()[1].defaults);
    EXPECT_GE(view.settingsShown, 1);

    const Json::Value after = JsonFileIO::ReadJsonFile(profilePath_);
    EXPECT_EQ(after["profilename"], before["profilename"]);
    EXPECT_EQ(after["profileUUID"], before["profileUUID"]);
    CKeyboardProfiledata saved;
    saved.LoadProfile(profilePath_);
    CKeyboardProfiledata factory;
    factory.LoadProfile(device_->DefaultProfilePath());
    EXPECT_EQ(saved.ReadKeyList(), factory.ReadKeyList());
    EXPECT_EQ(device_->ProfileName(), json::ToString(before["profilename"]));
}

TEST_F(KeyboardApply, NameListsComeFromTheirFilesAndEmptyWhenTheFilesGo) {
    WriteMacros(ProfileFolder(), 2);
    Json::Value lights(Json::objectValue);
    Json::Value group(Json::arrayValue);
    Json::Value named(Json::objectValue);
    named["LightName"] = "evening";
    group.append(named);
    lights["LightInfo"].append(group);
    ASSERT_TRUE(JsonFileIO::WriteJsonFile(ProfileFolder() / "zired_light.config", lights));
    device_->LoadNameLists();
    const DeviceNameLists& lists = device_->NameLists();
    EXPECT_EQ(lists.macroNames, (std::vector<std::string>{"m0", "m1"}));
    EXPECT_EQ(lists.customLightNames, (std::vector<std::string>{"evening"}));
    EXPECT_FALSE(lists.modeNames.empty());
    EXPECT_EQ(lists.modeNames.size(), lists.modeVisible.size());
    EXPECT_EQ(lists.modeNames.size(), lists.modeCodes.size());

    std::filesystem::remove(ProfileFolder() / "macro.config");
    std::filesystem::remove(ProfileFolder() / "zired_light.config");
    device_->LoadNameLists();
    EXPECT_TRUE(device_->NameLists().macroNames.empty());
    EXPECT_TRUE(device_->NameLists().customLightNames.empty());
    EXPECT_FALSE(device_->NameLists().modeNames.empty());
}

}  // namespace
}  // namespace rerov::test
