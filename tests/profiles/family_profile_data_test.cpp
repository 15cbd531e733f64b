#include "profiles/keyboard_profile_data.h"
#include "profiles/mouse_profile_data.h"
#include "profiles/ri6533_profile_data.h"
#include "tests/profiles/test_support.h"

namespace rerov {
namespace {

using test::ParseJson;
using test::TempFolderTest;

// Each test loads one profile document given as the text of "Device"[0].
class FamilyDataTest : public TempFolderTest {
  protected:
    template <typename Data>
    void Load(Data& data, const std::string& element) {
        path_ = Root() / "p.Json";
        WriteText(path_,
                  R"({"profilename": "P", "profileUUID": "u", "Device": [)" + element + "]}");
        data.SetProfilePath(path_);
        data.LoadProfile(path_);
    }
    Json::Value SavedElement() const { return JsonFileIO::ReadJsonFile(path_)["Device"][0]; }
    std::filesystem::path path_;
};

TEST_F(FamilyDataTest, KeyboardSystemWordsMapToTheirNamedHalves) {
    CKeyboardProfiledata data;
    Load(data, "{}");
    const KeyboardSystemSettings settings{{PackHalves(20, 3), PackHalves(1, 2), PackHalves(0, 1)}};
    data.WriteKeyboardSystem(settings);
    ASSERT_TRUE(data.Save());
    const Json::Value section = SavedElement()["SystemStages"];
    EXPECT_EQ(section["Repeat"].asInt(), 20);
    EXPECT_EQ(section["RepeatDelay"].asInt(), 3);
    EXPECT_EQ(section["Key6Flag"].asInt(), 1);
    EXPECT_EQ(section["PollingRate"].asInt(), 2);
    EXPECT_EQ(section["WFlag"].asInt(), 0);
    EXPECT_EQ(section["WinFlag"].asInt(), 1);

    CKeyboardProfiledata reread;
    reread.SetProfilePath(path_);
    reread.LoadProfile(path_);
    EXPECT_EQ(reread.ReadKeyboardSystem(), settings);
}

TEST_F(FamilyDataTest, KeyboardSystemAbsentReadsZero) {
    CKeyboardProfiledata data;
    Load(data, R"({"SystemStages": 5})");
    EXPECT_EQ(data.ReadKeyboardSystem(), KeyboardSystemSettings{});
}

TEST_F(FamilyDataTest, MissingKeyColourGroupReadsZerosAndSavePersistsThem) {
    CKeyboardProfiledata data;
    Load(
        data,
        R"({"CustomLightMode": {"LightColorInfo": [[{"Red": 1, "Green": 2, "Blue": 3, "Alpha": 4}]]}})");
    const auto colors = data.ReadKeyColors(2, 5);
    ASSERT_EQ(colors.size(), 5u);
    for (const KeyColor& color : colors) EXPECT_EQ(color, KeyColor{});
    ASSERT_TRUE(data.Save());
    const Json::Value group = SavedElement()["CustomLightMode"]["LightColorInfo"][2];
    ASSERT_EQ(group.size(), 5u);
    EXPECT_EQ(group[4]["Alpha"].asInt(), 0);
    EXPECT_TRUE(group[4].isMember("Red"));

    const auto first = data.ReadKeyColors(0, 2);
    EXPECT_EQ(first[0], (KeyColor{1, 2, 3, 4}));
    EXPECT_EQ(first[1], KeyColor{});
}

TEST_F(FamilyDataTest, KeyColoursRoundTripAndOutOfRangeGroupsAreRefused) {
    CKeyboardProfiledata data;
    Load(data, "{}");
    const std::vector<KeyColor> colors{{255, 0, 0, 255}, {0, 128, 0, 10}};
    EXPECT_TRUE(data.WriteKeyColors(colors, 1));
    EXPECT_EQ(data.ReadKeyColors(1, 2), colors);
    EXPECT_FALSE(data.WriteKeyColors(colors, -1));
    EXPECT_FALSE(data.WriteKeyColors(colors, CKeyboardProfiledata::kMaxCustomGroups));
    EXPECT_TRUE(data.ReadKeyColors(-1, 3).empty());
}

TEST_F(FamilyDataTest, CustomGroupIndexDefaultsToZero) {
    CKeyboardProfiledata data;
    Load(data, "{}");
    EXPECT_EQ(data.ReadCustomGroupIndex(), 0);
    data.WriteCustomGroupIndex(3);
    EXPECT_EQ(data.ReadCustomGroupIndex(), 3);
}

TEST_F(FamilyDataTest, DpiStagesFromTheFileOverlayTheStoredList) {
    CMouseProfiledata data;
    std::vector<DpiStage> stored(5);
    for (std::size_t i = 0; i < stored.size(); ++i)
        stored[i].x = static_cast<std::uint16_t>(100 + i);
    Load(data, "{}");
    data.WriteDpiStages(stored);
    Load(data, R"({"DPIStages": {"StageActive": 2, "StageDPIs": [
        {"StageActive": 1, "StageXY": 1, "StageDPIX": 1000, "StageDPIY": 70000, "StageColorR": 255},
        {"StageDPIX": 2000}, {"StageDPIX": 3000}]}})");
    const auto stages = data.ReadDpiStages();
    ASSERT_EQ(stages.size(), 5u);
    EXPECT_EQ(stages[0], (DpiStage{1, 1, 1000, static_cast<std::uint16_t>(70000), 255, 0, 0}));
    EXPECT_EQ(stages[1].x, 2000);
    EXPECT_EQ(stages[2].x, 3000);
    EXPECT_EQ(stages[3].x, 103);
    EXPECT_EQ(stages[4].x, 104);
    EXPECT_EQ(data.GetActiveStage(), 2);
}

TEST_F(FamilyDataTest, MouseSystemWithoutReportStagesHasReportRateZero) {
    CMouseProfiledata data;
    Load(data, R"({"SystemStages": {"DoubleClickTime": 500, "MouseSpeed": 10, "PointerPrecision": 1,
                   "ScorllPage": 1, "WheelScorlllinse": 3}})");
    const MouseSystemSettings settings = data.ReadMouseSystem();
    EXPECT_EQ(settings.words[0], PackHalves(500, 10));
    EXPECT_EQ(settings.words[1], PackHalves(1, 1));
    EXPECT_EQ(settings.words[2], PackHalves(3, 0));
}

TEST_F(FamilyDataTest, MouseSystemWritesTheReportRateIntoReportStages) {
    CMouseProfiledata data;
    Load(data, "{}");
    const MouseSystemSettings settings{{PackHalves(400, 7), PackHalves(0, 1), PackHalves(5, 4)}};
    data.WriteMouseSystem(settings);
    data.SetActiveStage(3);
    ASSERT_TRUE(data.Save());
    const Json::Value element = SavedElement();
    EXPECT_EQ(element["ReportStages"]["StageActive"].asInt(), 4);
    EXPECT_EQ(element["SystemStages"]["WheelScorlllinse"].asInt(), 5);
    EXPECT_EQ(element["DPIStages"]["StageActive"].asInt(), 3);
    CMouseProfiledata reread;
    reread.LoadProfile(path_);
    EXPECT_EQ(reread.ReadMouseSystem(), settings);
}

TEST_F(FamilyDataTest, CorrectPresetsReadInOrder) {
    CMouseProfiledata data;
    Load(data, R"({"CorrectInfo": [{"CorrectPixThresh": 10, "CorrectMinSq": 2, "CorrectSelect": 0,
                   "CorrectName": "léger"}, {"CorrectSelect": 1}]})");
    const auto presets = data.ReadCorrectPresets();
    ASSERT_EQ(presets.size(), 2u);
    EXPECT_EQ(presets[0], (CorrectPreset{10, 2, 0, "léger"}));
    EXPECT_EQ(presets[1].selection, 1);
}

TEST(HeadsetPresetMapping, EqTypeSelectsThePreset) {
    const std::pair<int, int> cases[] = {{0, 1},   {1, 1},  {5, 5},  {12, 12},
                                         {13, -1}, {14, 1}, {99, 1}, {-3, 1}};
    for (const auto& [type, preset] : cases) {
        EXPECT_EQ(CRi6533Profiledata::PresetForEqType(type), preset) << type;
    }
}

TEST_F(FamilyDataTest, EqPresetReadsFromItsPresetAndMissingOnesBecomeZeros) {
    CRi6533Profiledata data;
    Load(data, R"({"EQHzValueInfo": [[], [{"value": 1},{"value": 2},{"value": 3},{"value": 4},
        {"value": 5},{"value": 6},{"value": 7},{"value": 8},{"value": 9},{"value": 10}]]})");
    const std::vector<std::int32_t> preset1{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    EXPECT_EQ(data.ReadEqPreset(0), preset1);
    EXPECT_EQ(data.ReadEqPreset(14), preset1);
    EXPECT_TRUE(data.ReadEqPreset(13).empty());
    EXPECT_EQ(data.ReadEqPreset(4), std::vector<std::int32_t>(10, 0));
    ASSERT_TRUE(data.Save());
    const Json::Value added = SavedElement()["EQHzValueInfo"][4];
    ASSERT_EQ(added.size(), 10u);
    EXPECT_EQ(added[9]["value"].asInt(), 0);
}

TEST_F(FamilyDataTest, HeadsetSectionsRoundTrip) {
    CRi6533Profiledata data;
    Load(data, "{}");
    const HeadsetSystemSettings settings{{1, 2, 13, 1, 1, 80, 0, 55}};
    data.WriteHeadsetSystem(settings);
    const CRi6533Profiledata::Bands bands{-5, -4, -3, -2, -1, 0, 1, 2, 3, 4};
    EXPECT_TRUE(data.WriteCustomEq(1, bands));
    EXPECT_FALSE(data.WriteCustomEq(-1, bands));
    data.WriteCustomEqNames({"Mein EQ", "我的"});
    data.WriteEqPreset(13, bands);  // the custom type has no preset: nothing is written
    ASSERT_TRUE(data.Save());

    CRi6533Profiledata reread;
    reread.LoadProfile(path_);
    EXPECT_EQ(reread.ReadHeadsetSystem(), settings);
    EXPECT_EQ(reread.ReadCustomEq(1), std::vector<std::int32_t>(bands.begin(), bands.end()));
    EXPECT_EQ(reread.ReadCustomEqNames(), (std::vector<std::string>{"Mein EQ", "我的"}));
    EXPECT_FALSE(reread.Document().isMember("EQHzValueInfo"));
}

}  // namespace
}  // namespace rerov
