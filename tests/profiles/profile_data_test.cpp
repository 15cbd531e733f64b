#include <QDir>

#include "profiles/basic_profile_data.h"
#include "tests/profiles/test_support.h"

namespace rerov {
namespace {

using test::ParseJson;
using test::TempFolderTest;

class ProfileDataTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        defaultPath_ = Root() / "DefaultData" / "keyboard.Json";
        WriteJson(defaultPath_, ParseJson(R"({"Device": [ {"LightInfo": {"SelectItem": 6, "Red": 9},
                                                           "KeyList": [{"Assignment": 1, "DefaultAssignment": 1}]} ]})"));
        profilePath_ = Root() / "profiles" / "p.Json";
        std::filesystem::create_directories(profilePath_.parent_path());
        data_.SetDefaultPath(defaultPath_);
        data_.SetProfilePath(profilePath_);
    }

    Json::Value DefaultElement() const {
        return JsonFileIO::ReadJsonFile(defaultPath_)["Device"][0];
    }

    std::filesystem::path defaultPath_;
    std::filesystem::path profilePath_;
    CBasicProfiledata data_;
};

TEST_F(ProfileDataTest, MissingProfileIsCreatedFromTheDefaultElement) {
    const Json::Value document = data_.LoadProfile(profilePath_);
    EXPECT_EQ(document, DefaultElement());
    EXPECT_EQ(JsonFileIO::ReadJsonFile(profilePath_)["Device"][0], DefaultElement());
}

struct ShapeCase {
    const char* label;
    const char* text;
    bool keepsName;  // the root was an object with "profilename"
};

class ProfileShapeTest : public ProfileDataTest, public ::testing::WithParamInterface<ShapeCase> {};

// Files that cannot give a device element are rewritten from the default, keeping the
// top-level members an object root had.
TEST_P(ProfileShapeTest, UnusableProfileIsRepairedFromTheDefault) {
    WriteText(profilePath_, GetParam().text);
    EXPECT_EQ(data_.LoadProfile(profilePath_), DefaultElement());
    const Json::Value repaired = JsonFileIO::ReadJsonFile(profilePath_);
    ASSERT_TRUE(repaired.isObject());
    EXPECT_EQ(repaired["Device"][0], DefaultElement());
    if (GetParam().keepsName) {
        EXPECT_EQ(repaired["profilename"].asString(), "Mine");
        EXPECT_EQ(repaired["profileUUID"].asString(), "u1");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, ProfileShapeTest,
    ::testing::Values(
        ShapeCase{"empty_device_array", R"({"profilename":"Mine","profileUUID":"u1","Device":[]})",
                  true},
        ShapeCase{"no_device_member", R"({"profilename":"Mine","profileUUID":"u1"})", true},
        ShapeCase{"device_not_array",
                  R"({"profilename":"Mine","profileUUID":"u1","Device":{"a":1}})", true},
        ShapeCase{"element_not_object", R"({"profilename":"Mine","profileUUID":"u1","Device":[7]})",
                  true},
        ShapeCase{"null_element", R"({"profilename":"Mine","profileUUID":"u1","Device":[null]})",
                  true},
        ShapeCase{"root_array", R"([{"Device":[{}]}])", false},
        ShapeCase{"root_number", "42", false}, ShapeCase{"empty_file", "", false}),
    [](const auto& info) { return std::string(info.param.label); });

// A file that is there but is not JSON (cut short, say) may still hold what the user made:
// it is shown as the default and left on disk byte for byte, also by a save.
TEST_F(ProfileDataTest, MalformedProfileIsLeftAloneAndTheDefaultIsShown) {
    const std::string text = R"({"profilename":"Mine","Device": [ {)";
    WriteText(profilePath_, text);
    EXPECT_EQ(data_.LoadProfile(profilePath_), DefaultElement());
    EXPECT_EQ(ReadText(profilePath_), text);
    EXPECT_FALSE(data_.Save());
    EXPECT_EQ(ReadText(profilePath_), text);
}

TEST_F(ProfileDataTest, UnusableDefaultLeavesNullDocumentAndDefaultReaders) {
    WriteText(defaultPath_, "not json");
    EXPECT_TRUE(data_.LoadProfile(profilePath_).isNull());
    const Json::Value written = JsonFileIO::ReadJsonFile(profilePath_);
    ASSERT_TRUE(written["Device"].isArray());
    EXPECT_TRUE(written["Device"][0].isNull());
    EXPECT_EQ(data_.ReadLightInfo(), LightSetting{});
    EXPECT_TRUE(data_.ReadKeyList().empty());
    EXPECT_TRUE(data_.ReadLightList().empty());
    EXPECT_EQ(data_.ReadAudioLightInfo(), AudioLightSetting{});
}

TEST_F(ProfileDataTest, LoadingTheBrokenDefaultItselfNeverRewritesIt) {
    WriteText(defaultPath_, "{broken");
    data_.LoadProfile(defaultPath_);
    EXPECT_EQ(ReadText(defaultPath_), "{broken");
}

TEST_F(ProfileDataTest, SaveKeepsNameAndUuidOfTheProfileFile) {
    WriteJson(profilePath_,
              ParseJson(R"({"profilename":"Mine","profileUUID":"u1","Device":[{}]})"));
    data_.LoadProfile(profilePath_);
    LightSetting light;
    light.bytes[LightSetting::kMode] = 5;
    data_.WriteLightInfo(light);
    ASSERT_TRUE(data_.Save());
    const Json::Value saved = JsonFileIO::ReadJsonFile(profilePath_);
    EXPECT_EQ(saved["profilename"].asString(), "Mine");
    EXPECT_EQ(saved["profileUUID"].asString(), "u1");
    EXPECT_EQ(saved["Device"][0]["LightInfo"]["SelectItem"].asInt(), 5);
}

TEST_F(ProfileDataTest, EmptyPathsAreIgnored) {
    data_.SetProfilePath({});
    data_.SetDefaultPath({});
    EXPECT_EQ(data_.GetProfilePath(), profilePath_);
    EXPECT_EQ(data_.GetDefaultPath(), defaultPath_);
}

TEST_F(ProfileDataTest, LightInfoAbsentReadsFourteenZeroBytes) {
    WriteJson(profilePath_, ParseJson(R"({"Device":[{"Other": 1}]})"));
    data_.LoadProfile(profilePath_);
    EXPECT_EQ(data_.ReadLightInfo(), LightSetting{});
}

TEST_F(ProfileDataTest, LightInfoWritesElevenMembersAndRoundTrips) {
    data_.LoadProfile(profilePath_);
    LightSetting light;
    for (std::size_t i = 0; i < light.bytes.size(); ++i)
        light.bytes[i] = static_cast<std::uint8_t>(i + 1);
    light.bytes[LightSetting::kMultiColor] = 1;
    data_.WriteLightInfo(light);
    const Json::Value& info = data_.Document()["LightInfo"];
    EXPECT_EQ(info.size(), 11u);
    for (const char* key : {"SelectItem", "Light", "Speed", "MultiColor", "Red", "Green", "Blue",
                            "Fx", "ZZCCLedMode", "CustomGroup", "OldLedmode"}) {
        EXPECT_TRUE(info.isMember(key)) << key;
    }
    LightSetting expected = light;
    expected.bytes[8] = expected.bytes[9] = expected.bytes[10] = 0;
    EXPECT_EQ(data_.ReadLightInfo(), expected);
}

// Flags read any non-zero number as 1; other bytes truncate to 8 bits; odd types read 0.
TEST_F(ProfileDataTest, SectionValuesConvertLikeTheJsonLibrary) {
    WriteJson(profilePath_, ParseJson(R"({"Device":[{
        "LightInfo": {"SelectItem": 300, "MultiColor": 5, "Red": "abc", "Green": true, "Blue": 2.9, "Fx": -1},
        "AudioLightInfo": {"AudioMode": 3, "7ColorFlags": 2, "ColorTypeFlags": -4, "FgColorR": 256},
        "LightList": [null, {"LEDREGMode": 4, "LEDDirection": 7, "LEDMultiColor": 9, "red": 511}, 5]
    }]})"));
    data_.LoadProfile(profilePath_);
    const LightSetting light = data_.ReadLightInfo();
    EXPECT_EQ(light.bytes[LightSetting::kMode], 44);  // 300 truncated
    EXPECT_EQ(light.bytes[LightSetting::kMultiColor], 1);
    EXPECT_EQ(light.bytes[LightSetting::kRed], 0);
    EXPECT_EQ(light.bytes[LightSetting::kGreen], 1);
    EXPECT_EQ(light.bytes[LightSetting::kBlue], 2);
    EXPECT_EQ(light.bytes[LightSetting::kDirection], 255);

    const AudioLightSetting audio = data_.ReadAudioLightInfo();
    EXPECT_EQ(audio.bytes[0], 3);
    EXPECT_EQ(audio.bytes[4], 0);
    EXPECT_EQ(audio.bytes[7], 1);
    EXPECT_EQ(audio.bytes[8], 1);

    const auto list = data_.ReadLightList();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0], LightSetting{});
    EXPECT_EQ(list[1].bytes[LightSetting::kValid], 1);
    EXPECT_EQ(list[1].bytes[LightSetting::kMode], 4);
    EXPECT_EQ(list[1].bytes[LightSetting::kDirection], 1);
    EXPECT_EQ(list[1].bytes[LightSetting::kMultiColor], 1);
    EXPECT_EQ(list[1].bytes[LightSetting::kRed], 255);
    EXPECT_EQ(list[2].bytes[LightSetting::kValid], 0) << "a non-object element is no entry";
}

TEST_F(ProfileDataTest, KeyListDecodesTheThreeBytesOfEachAssignment) {
    WriteJson(profilePath_, ParseJson(R"({"Device":[{"KeyList": [
        {"Assignment": 2097193, "DefaultAssignment": 2097193},
        {"Assignment": 7340034, "DefaultAssignment": 1049088}]}]})"));
    data_.LoadProfile(profilePath_);
    const auto keys = data_.ReadKeyList();
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].current, (KeyAssignment{0, 0x20, 0x00, 0x29, 0}));
    EXPECT_EQ(keys[1].current, (KeyAssignment{1, 0x70, 0x00, 0x02, 0}));
    EXPECT_EQ(keys[1].defaults, (KeyAssignment{1, 0x10, 0x02, 0x00, 0}));
}

TEST_F(ProfileDataTest, WriteKeyListLeavesTailAndDefaultsUntouched) {
    WriteJson(profilePath_, ParseJson(R"({"Device":[{"KeyList": [
        {"Assignment": 1, "DefaultAssignment": 11}, {"Assignment": 2, "DefaultAssignment": 12},
        {"Assignment": 3, "DefaultAssignment": 13}]}]})"));
    data_.LoadProfile(profilePath_);
    KeyEntry entry;
    entry.current = {0, 0x30, 0xE2, 0x01, 0};
    entry.defaults = {0, 0x40, 0x40, 0x40, 0};
    data_.WriteKeyList({entry});
    ASSERT_TRUE(data_.Save());
    const Json::Value list = JsonFileIO::ReadJsonFile(profilePath_)["Device"][0]["KeyList"];
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0]["Assignment"].asUInt(), 0x30E201u);
    EXPECT_EQ(list[0]["DefaultAssignment"].asInt(), 11);
    EXPECT_EQ(list[1]["Assignment"].asInt(), 2);
    EXPECT_EQ(list[2]["Assignment"].asInt(), 3);
}

TEST_F(ProfileDataTest, SecondaryDocumentLoadsAndSavesLikeTheProfile) {
    const auto secondary = profilePath_.parent_path() / "second.Json";
    EXPECT_EQ(data_.LoadSecondaryProfile(secondary), DefaultElement());
    auto keys = data_.ReadSecondaryKeyList();
    ASSERT_EQ(keys.size(), 1u);
    keys[0].current.code = 0x2C;
    data_.WriteSecondaryKeyList(keys);
    ASSERT_TRUE(data_.SaveSecondaryTo(secondary));
    EXPECT_EQ(JsonFileIO::ReadJsonFile(secondary)["Device"][0]["KeyList"][0]["Assignment"].asInt(),
              0x2C);
    EXPECT_FALSE(std::filesystem::exists(profilePath_)) << "the profile document is untouched";
}

class CustomEffectTest : public ProfileDataTest {
  protected:
    void SetUpConfig(const std::string& entries) {
        configPath_ = profilePath_.parent_path() / "zired_light.config";
        WriteText(configPath_, R"({"LightInfo": [[)" + entries + "]]}");
        data_.SetLightConfigPath(configPath_);
        data_.LoadLightConfig(configPath_);
    }
    void SelectMode(int mode) {
        LightSetting light;
        light.bytes[LightSetting::kMode] = static_cast<std::uint8_t>(mode);
        data_.WriteLightInfo(light);
    }
    static std::string EffectText(int red) {
        return R"({"LEDEffectList": [{"LEDREGMode": 2, "LEDBrightness": 4, "LEDSpeed": 1,
            "LEDDirection": 1, "LEDMultiColor": 0, "red": )" +
               std::to_string(red) + R"(, "green": 2, "blue": 3, "Time": 1500, "Cyle": 4}]})";
    }
    std::filesystem::path configPath_;
};

TEST_F(CustomEffectTest, EffectOfTheCurrentModeIsReadFromBesideTheConfig) {
    SetUpConfig(R"({"LightName": "a", "Guid": "fx0"}, {"LightName": "b", "Guid": "fx1"})");
    WriteText(profilePath_.parent_path() / "fx1.light", EffectText(200));
    SelectMode(1);
    const auto steps = data_.ReadCustomEffect();
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0].mode, 2);
    EXPECT_EQ(steps[0].direction, 1);
    EXPECT_EQ(steps[0].red, 200);
    EXPECT_EQ(steps[0].time, 1500);
    EXPECT_EQ(steps[0].cycle, 4);
}

// Neither a missing "Guid" (which would name ".light"), nor a name that climbs out of the
// folder, nor the current directory is ever used to find an effect file.
TEST_F(CustomEffectTest, UnsafeOrMissingGuidYieldsNoSteps) {
    WriteText(profilePath_.parent_path() / ".light", EffectText(1));
    WriteText(Root() / "evil.light", EffectText(2));
    WriteText(Root() / "cwd" / "plain.light", EffectText(3));
    SetUpConfig(
        R"({"LightName": "nameless"}, {"Guid": "../evil"}, {"Guid": "plain"}, {"Guid": 5})");
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString((Root() / "cwd").string())));
    for (int mode : {0, 1, 2, 3, 9}) {
        SelectMode(mode);
        EXPECT_TRUE(data_.ReadCustomEffect().empty()) << "mode " << mode;
    }
    QDir::setCurrent(previous);
}

TEST_F(CustomEffectTest, ConfigWithoutFolderFindsNothing) {
    SetUpConfig(R"({"Guid": "fx0"})");
    data_.SetLightConfigPath("zired_light.config");
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(Root().string())));
    WriteText(Root() / "fx0.light", EffectText(7));
    SelectMode(0);
    EXPECT_TRUE(data_.ReadCustomEffect().empty());
    QDir::setCurrent(previous);
}

}  // namespace
}  // namespace rerov
