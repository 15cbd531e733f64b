// Profile files written by someone else, with sections of another JSON type than the product
// writes: every reader and writer of each family works on them, a save keeps every other
// section, and the broken section afterwards holds what was written.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "profiles/json_access.h"
#include "profiles/keyboard_profile_data.h"
#include "profiles/mouse_profile_data.h"
#include "profiles/ri6533_profile_data.h"
#include "tests/profiles/test_support.h"

namespace rerov {
namespace {

using test::ParseJson;
using test::TempFolderTest;

const std::filesystem::path kDefaultData = REROV_RUNTIME_DEFAULT_DATA;

// Values put in place of one section. The last ones have the right outer type for some
// sections but the wrong type one or two levels inside.
const std::vector<std::string> kHostileValues{
    R"("x")",
    "5",
    "-1.5e300",
    "[1, 2]",
    "true",
    "null",
    "{}",
    R"([[["deep"]], {"value": "x"}, null, 7])",
    R"({"StageDPIs": "x", "LightColorInfo": 7, "StageActive": [1], "Repeat": {}, "Red": []})",
    R"({"LightColorInfo": ["x", [5, "y", null], {"Red": "z"}]})",
};

LightSetting SampleLight() {
    LightSetting light;
    light.bytes[LightSetting::kMode] = 3;
    light.bytes[LightSetting::kBrightness] = 2;
    light.bytes[LightSetting::kRed] = 200;
    light.bytes[LightSetting::kCustomGroup] = 1;
    return light;
}

AudioLightSetting SampleAudioLight() { return {{1, 10, 20, 30, 40, 50, 60, 1, 0}}; }

std::vector<KeyEntry> SampleKeys() {
    std::vector<KeyEntry> keys(3);
    for (std::uint16_t i = 0; i < keys.size(); ++i) {
        keys[i].current = {i, 0x20, 0, static_cast<std::uint8_t>(0x04 + i), 0};
    }
    return keys;
}

// What the base class reads and writes, shared by every family.
void WriteBaseSettings(CBasicProfiledata& data) {
    data.ReadLightInfo();
    data.ReadAudioLightInfo();
    data.ReadLightList();
    data.ReadKeyList();
    data.ReadCustomEffect();
    data.WriteLightInfo(SampleLight());
    data.WriteAudioLightInfo(SampleAudioLight());
    data.WriteKeyList(SampleKeys());
}

void ExpectBaseSettings(CBasicProfiledata& data) {
    EXPECT_EQ(data.ReadLightInfo(), SampleLight());
    EXPECT_EQ(data.ReadAudioLightInfo(), SampleAudioLight());
    const auto keys = data.ReadKeyList();
    const auto expected = SampleKeys();
    ASSERT_GE(keys.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(keys[i].current, expected[i].current) << "key " << i;
    }
}

struct Keyboard {
    using Data = CKeyboardProfiledata;
    static constexpr const char* kFile = "keyboard.Json";
    static constexpr KeyboardSystemSettings kSystem{{PackHalves(20, 3), PackHalves(1, 2), 1}};
    static std::vector<KeyColor> Colors() { return {{255, 0, 0, 255}, {0, 128, 0, 10}}; }

    static void Write(Data& data) {
        WriteBaseSettings(data);
        data.ReadKeyboardSystem();
        data.ReadCustomGroupIndex();
        data.ReadKeyColors(0, 170);
        data.WriteKeyboardSystem(kSystem);
        EXPECT_TRUE(data.WriteKeyColors(Colors(), 1));
        data.WriteCustomGroupIndex(2);
    }
    static void ExpectWritten(Data& data) {
        ExpectBaseSettings(data);
        EXPECT_EQ(data.ReadKeyboardSystem(), kSystem);
        EXPECT_EQ(data.ReadKeyColors(1, 2), Colors());
        EXPECT_EQ(data.ReadCustomGroupIndex(), 2);
    }
};

struct Mouse {
    using Data = CMouseProfiledata;
    static constexpr const char* kFile = "mouse.Json";
    static constexpr MouseSystemSettings kSystem{
        {PackHalves(500, 10), PackHalves(1, 3), PackHalves(3, 2)}};
    static std::vector<DpiStage> Stages() {
        return {{1, 0, 400, 400, 255, 0, 0}, {0, 1, 800, 1600, 0, 255, 0}, {0, 0, 3200, 3200}};
    }

    static void Write(Data& data) {
        WriteBaseSettings(data);
        data.ReadDpiStages();
        data.ReadMouseSystem();
        data.ReadCorrectPresets();
        data.WriteDpiStages(Stages());
        data.SetActiveStage(2);
        data.WriteMouseSystem(kSystem);
    }
    static void ExpectWritten(Data& data) {
        ExpectBaseSettings(data);
        const auto stages = data.ReadDpiStages();
        const auto expected = Stages();
        ASSERT_GE(stages.size(), expected.size());
        EXPECT_EQ(std::vector<DpiStage>(stages.begin(), stages.begin() + 3), expected);
        EXPECT_EQ(data.GetActiveStage(), 2);
        EXPECT_EQ(data.ReadMouseSystem(), kSystem);
    }
};

struct Headset {
    using Data = CRi6533Profiledata;
    static constexpr const char* kFile = "HD.Json";
    static constexpr HeadsetSystemSettings kSystem{{1, 2, 4, 1, 1, 37, 0, 55}};
    static constexpr Data::Bands kPreset{1, -2, 3, -4, 5, -6, 7, -8, 9, -10};
    static constexpr Data::Bands kCustom{9, 8, 7, 6, 5, 4, 3, 2, 1, 0};

    static void Write(Data& data) {
        WriteBaseSettings(data);
        data.ReadHeadsetSystem();
        data.ReadEqPreset(3);
        data.ReadCustomEqNames();
        data.ReadCustomEq(2);
        data.WriteHeadsetSystem(kSystem);
        data.WriteEqPreset(4, kPreset);
        data.WriteCustomEqNames({"Mine", "Yours"});
        EXPECT_TRUE(data.WriteCustomEq(1, kCustom));
    }
    static void ExpectWritten(Data& data) {
        ExpectBaseSettings(data);
        EXPECT_EQ(data.ReadHeadsetSystem(), kSystem);
        EXPECT_EQ(data.ReadEqPreset(4), std::vector<std::int32_t>(kPreset.begin(), kPreset.end()));
        EXPECT_EQ(data.ReadCustomEq(1), std::vector<std::int32_t>(kCustom.begin(), kCustom.end()));
        EXPECT_EQ(data.ReadCustomEqNames(), (std::vector<std::string>{"Mine", "Yours"}));
    }
};

// Sections any family's writers reach, besides those in the factory file.
const std::vector<std::string> kWrittenSections{
    "LightInfo",          "AudioLightInfo", "KeyList",         "SystemStages",  "CustomLightMode",
    "DPIStages",          "ReportStages",   "SystemSetStages", "EQHzValueInfo", "CustomEQNameInfo",
    "CustomEQHzValueInfo"};

template <typename Family>
class HostileSectionTest : public TempFolderTest {
  protected:
    using Data = typename Family::Data;

    // Loads `element` as "Device"[0] of a profile (the factory file as its default), runs
    // every reader and writer, saves and returns the saved element.
    Json::Value WriteAndSave(const Json::Value& element, const std::string& label) {
        const auto path = Root() / "p.Json";
        Json::Value root(Json::objectValue);
        root["profilename"] = "P";
        root["profileUUID"] = "u";
        root["Device"].append(element);
        WriteJson(path, root);
        Data data;
        data.SetDefaultPath(DefaultFile());
        data.SetProfilePath(path);
        EXPECT_NO_THROW({
            data.LoadProfile(path);
            Family::Write(data);
            EXPECT_TRUE(data.Save()) << label;
        }) << label;
        const Json::Value saved = JsonFileIO::ReadJsonFile(path);
        EXPECT_EQ(saved["profilename"].asString(), "P") << label;

        Data reread;
        reread.SetDefaultPath(DefaultFile());
        reread.SetProfilePath(path);
        EXPECT_NO_THROW({
            reread.LoadProfile(path);
            SCOPED_TRACE(label);
            Family::ExpectWritten(reread);
        }) << label;
        return json::Element(json::Member(saved, "Device"), 0);
    }

    static std::filesystem::path DefaultFile() { return kDefaultData / Family::kFile; }
};

using Families = ::testing::Types<Keyboard, Mouse, Headset>;
TYPED_TEST_SUITE(HostileSectionTest, Families);

TYPED_TEST(HostileSectionTest, BrokenSectionIsReplacedAndTheOthersAreKept) {
    const Json::Value factory = JsonFileIO::ReadJsonFile(this->DefaultFile())["Device"][0];
    ASSERT_TRUE(factory.isObject());
    const Json::Value expected = this->WriteAndSave(factory, "factory");
    ASSERT_TRUE(expected.isObject());

    std::set<std::string> sections(kWrittenSections.begin(), kWrittenSections.end());
    for (const std::string& name : factory.getMemberNames()) sections.insert(name);
    for (const std::string& section : sections) {
        for (const std::string& hostile : kHostileValues) {
            const std::string label = section + " = " + hostile;
            Json::Value element = factory;
            element[section] = test::ParseJson(hostile);
            const Json::Value saved = this->WriteAndSave(element, label);
            ASSERT_TRUE(saved.isObject()) << label;
            for (const std::string& other : expected.getMemberNames()) {
                if (other == section) continue;
                EXPECT_EQ(saved[other], expected[other]) << label << ": " << other;
            }
        }
    }
}

// A device element that is not an object is no profile at all: the factory element takes its
// place and the writers work on that.
TYPED_TEST(HostileSectionTest, BrokenDeviceElementFallsBackToTheFactoryElement) {
    for (const std::string& hostile : kHostileValues) {
        if (hostile.front() == '{') continue;
        this->WriteAndSave(ParseJson(hostile), "Device[0] = " + hostile);
    }
}

TEST(ProfileDocumentShape, DeviceMustBeAnArrayOfObjects) {
    struct Case {
        const char* text;
        bool usable;
    };
    const Case cases[] = {
        {R"({"profilename": "a"})", true},
        {R"({"Device": []})", true},
        {R"({"Device": [{}, null, {"LightInfo": "x"}]})", true},
        {R"({"Device": "x"})", false},
        {R"({"Device": {"0": {}}})", false},
        {R"({"Device": [{}, 5]})", false},
        {R"({"Device": [[{}]]})", false},
        {R"({"Device": ["x"]})", false},
        {R"([{"Device": []}])", false},
        {"7", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsProfileDocument(ParseJson(c.text)), c.usable) << c.text;
}

}  // namespace
}  // namespace rerov
