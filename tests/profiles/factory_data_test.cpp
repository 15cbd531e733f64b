// The factory data that ships beside the programs: every section each family reads, with
// its documented content.
#include <gmock/gmock.h>

#include <array>
#include <set>
#include <tuple>

#include "profiles/json_access.h"
#include "profiles/keyboard_profile_data.h"
#include "profiles/mouse_profile_data.h"
#include "profiles/ri6533_profile_data.h"
#include "tests/profiles/test_support.h"

namespace rerov {
namespace {

using test::TempFolderTest;

const std::filesystem::path kDefaultData = REROV_RUNTIME_DEFAULT_DATA;

using Triple = std::tuple<int, int, int>;

// The keyboard key table: the factory (type, value, code) of each of the 170 key indices.
std::array<Triple, 170> KeyboardKeyTable() {
    std::array<Triple, 170> table;
    table.fill({0x20, 0, 0});
    auto codes = [&table](int first, std::initializer_list<int> list) {
        for (int code : list) table[static_cast<std::size_t>(first++)] = {0x20, 0, code};
    };
    table[0] = {0x20, 0, 0x29};
    for (int i = 1; i <= 15; ++i) table[static_cast<std::size_t>(i)] = {0x20, 0, 0x3A + i - 1};
    table[16] = {0xA0, 0x1B, 0};
    table[17] = {0x30, 0x92, 1};
    table[18] = {0x30, 0xE2, 0};
    table[19] = {0x30, 0xEA, 0};
    table[20] = {0x30, 0xE9, 0};
    codes(21, {0x35, 0x1E, 0x1F, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27,
               0x2D, 0x2E, 0x2A, 0x49, 0x4A, 0x4B, 0x53, 0x54, 0x55, 0x56, 0x2B});
    codes(43, {0x14, 0x1A, 0x08, 0x15, 0x17, 0x1C, 0x18, 0x0C, 0x12, 0x13, 0x2F, 0x30, 0x31, 0x4C,
               0x4D, 0x4E, 0x5F, 0x60, 0x61, 0x32, 0x39, 0x04, 0x16, 0x07, 0x09, 0x0A, 0x0B, 0x0D,
               0x0E, 0x0F, 0x33, 0x34, 0x28, 0x5C, 0x5D, 0x5E, 0x8A, 0x8B, 0x90, 0x91, 0x88});
    table[84] = {0x20, 0x02, 0};
    codes(85, {0x1D, 0x1B, 0x06, 0x19, 0x05, 0x11, 0x10, 0x36, 0x37, 0x38});
    table[95] = {0x20, 0x20, 0};
    codes(96, {0x52, 0x59, 0x5A, 0x5B, 0x87, 0x89, 0x64, 0x85});
    table[104] = {0x20, 0, 0};
    table[105] = {0x20, 0x01, 0};
    table[106] = {0x20, 0x08, 0};
    table[107] = {0x20, 0x04, 0};
    table[108] = {0x20, 0, 0x2C};
    table[109] = {0x20, 0x40, 0};
    table[110] = {0xA0, 0x01, 0};
    table[111] = {0x20, 0, 0x65};
    table[112] = {0x20, 0x10, 0};
    codes(113, {0x50, 0x51, 0x4F, 0x62, 0x63, 0x58, 0x57});
    for (int n = 1; n <= 5; ++n) table[static_cast<std::size_t>(119 + n)] = {0xD0, 0xA2, n};
    table[125] = {0x20, 0x80, 0};
    return table;
}

// The mouse's 11 buttons by their factory codes.
constexpr std::array<std::array<int, 3>, 11> kMouseButtons{{{0x10, 0x01, 0},
                                                            {0x10, 0x02, 0},
                                                            {0x10, 0x04, 0},
                                                            {0x10, 0x10, 0},
                                                            {0x10, 0x08, 0},
                                                            {0x13, 1, 0},
                                                            {0x13, 2, 0},
                                                            {0x13, 3, 0},
                                                            {0xA0, 0x1B, 0},
                                                            {0x16, 0x90, 1},
                                                            {0x14, 0x78, 2}}};

// The headset's twelve built-in equaliser presets (the equaliser page's options 1 to 12),
// band 0 (lowest frequency) first; preset 5 is flat.
constexpr std::array<std::array<std::int32_t, 10>, 12> kHeadsetEqPresets{{
    {7, 11, 2, -3, -1, 4, 9, 12, 9, 5},
    {7, 11, 6, -3, -11, -1, 6, 13, 6, 13},
    {10, 4, 0, -3, -4, -3, -2, -1, 0, 0},
    {2, 1, -2, -3, -5, -7, 0, 4, 9, 8},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {7, 14, -13, -6, -1, 8, 13, 7, 2, 6},
    {14, 10, 4, 0, -4, -3, -1, 1, 2, 3},
    {2, 1, -2, -3, -5, -1, 7, 11, 15, 13},
    {8, 2, -4, -8, 1, 3, 8, 11, 14, 16},
    {-3, 4, 10, 0, -11, 3, 9, 13, 6, 0},
    {18, 14, 8, 2, -3, -6, -1, 2, 5, 6},
    {2, 1, -2, -4, -8, 4, 12, 16, 18, 15},
}};

// Each family's default is loaded the way a device page does on first start: the profile
// file is missing and gets built from the factory file.
class FactoryDataTest : public TempFolderTest {
  protected:
    template <typename Data>
    void LoadDefault(Data& data, const std::string& family) {
        const auto defaultPath = kDefaultData / (family + ".Json");
        ASSERT_TRUE(std::filesystem::exists(defaultPath)) << defaultPath;
        data.SetDefaultPath(defaultPath);
        data.SetProfilePath(Root() / "new.Json");
        ASSERT_TRUE(data.LoadProfile(Root() / "new.Json").isObject()) << family;
    }
    static Json::Value DefaultLight() {
        return JsonFileIO::ReadJsonFile(kDefaultData / "default_light.json");
    }
};

TEST_F(FactoryDataTest, KeyboardKeyListIsTheFactoryKeyTable) {
    CKeyboardProfiledata data;
    LoadDefault(data, "keyboard");
    const auto keys = data.ReadKeyList();
    const auto table = KeyboardKeyTable();
    ASSERT_EQ(keys.size(), table.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const auto [type, value, code] = table[i];
        const KeyAssignment expected{static_cast<std::uint16_t>(i), static_cast<std::uint8_t>(type),
                                     static_cast<std::uint8_t>(value),
                                     static_cast<std::uint8_t>(code), 0};
        EXPECT_EQ(keys[i].current, expected) << "key " << i;
        EXPECT_EQ(keys[i].defaults, expected) << "key " << i;
    }
}

TEST_F(FactoryDataTest, KeyboardLightingAndSystemSectionsArePresent) {
    CKeyboardProfiledata data;
    LoadDefault(data, "keyboard");
    const Json::Value& doc = data.Document();
    for (const char* key : {"LightInfo", "AudioLightInfo", "SystemStages", "CustomLightMode"}) {
        EXPECT_TRUE(doc[key].isObject()) << key;
    }
    EXPECT_TRUE(doc["LightList"].isArray());
    const Json::Value modes = DefaultLight()["DefaultLightName"][0];
    const int mode = data.ReadLightInfo().bytes[LightSetting::kMode];
    ASSERT_LT(mode, static_cast<int>(modes.size()));
    EXPECT_TRUE(modes[mode]["visible"].asBool()) << "the default mode is one the user can pick";

    const KeyboardSystemSettings system = data.ReadKeyboardSystem();
    EXPECT_LE(HighHalf(system.words[0]), 3) << "RepeatDelay option 0 to 3";
    EXPECT_LE(HighHalf(system.words[1]), 3) << "PollingRate option 0 to 3";

    const Json::Value groups = doc["CustomLightMode"]["LightColorInfo"];
    ASSERT_TRUE(groups.isArray());
    ASSERT_GE(groups.size(), 1u);
    for (const Json::Value& group : groups) EXPECT_EQ(group.size(), 170u);
    const int customGroup = data.ReadLightInfo().bytes[LightSetting::kCustomGroup];
    EXPECT_LT(customGroup, static_cast<int>(groups.size()));
    const auto colors = data.ReadKeyColors(customGroup, 170);
    EXPECT_NE(colors[0], KeyColor{}) << "the factory custom group is lit";
}

TEST_F(FactoryDataTest, MouseButtonsStagesAndSettings) {
    CMouseProfiledata data;
    LoadDefault(data, "mouse");
    const auto keys = data.ReadKeyList();
    ASSERT_EQ(keys.size(), kMouseButtons.size());
    for (std::size_t b = 0; b < keys.size(); ++b) {
        const auto& [type, value, code] = kMouseButtons[b];
        EXPECT_EQ(
            keys[b].defaults,
            (KeyAssignment{static_cast<std::uint16_t>(b), static_cast<std::uint8_t>(type),
                           static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(code), 0}))
            << "button " << b;
        EXPECT_EQ(keys[b].current, keys[b].defaults) << "button " << b;
    }
    const auto stages = data.ReadDpiStages();
    ASSERT_EQ(stages.size(), 5u);
    EXPECT_GE(data.GetActiveStage(), 0);
    EXPECT_LT(data.GetActiveStage(), 5);
    EXPECT_EQ(stages[static_cast<std::size_t>(data.GetActiveStage())].active, 1);
    for (const DpiStage& stage : stages) EXPECT_GT(stage.x, 0);
    EXPECT_TRUE(data.Document()["ReportStages"].isObject());
    EXPECT_LE(HighHalf(data.ReadMouseSystem().words[2]), 4) << "report-rate stage 0 to 4";
    EXPECT_TRUE(data.Document()["CorrectInfo"].isArray());
    const int mode = data.ReadLightInfo().bytes[LightSetting::kMode];
    EXPECT_LT(mode, 12);
    EXPECT_TRUE(DefaultLight()["DefaultLightName"][1][mode]["visible"].asBool());
}

TEST_F(FactoryDataTest, MousePadHasItsLightingSections) {
    CBasicProfiledata data;
    LoadDefault(data, "MousePad");
    EXPECT_TRUE(data.Document()["LightInfo"].isObject());
    EXPECT_TRUE(data.Document()["LightList"].isArray());
    const int mode = data.ReadLightInfo().bytes[LightSetting::kMode];
    EXPECT_LT(mode, 9);
    EXPECT_TRUE(DefaultLight()["DefaultLightName"][2][mode]["visible"].asBool());
}

TEST_F(FactoryDataTest, HeadsetHasTwelveEqualiserPresetsAndItsSettings) {
    CRi6533Profiledata data;
    LoadDefault(data, "HD");
    EXPECT_TRUE(data.Document()["SystemSetStages"].isObject());
    const HeadsetSystemSettings settings = data.ReadHeadsetSystem();
    const int eqType = settings.values[2];
    EXPECT_GE(eqType, 0);
    EXPECT_LE(eqType, 13);
    for (int preset = 1; preset <= 12; ++preset) {
        const Json::Value bands = data.Document()["EQHzValueInfo"][preset];
        ASSERT_EQ(bands.size(), 10u) << "preset " << preset;
        for (const Json::Value& band : bands) EXPECT_TRUE(band["value"].isInt());
        const auto& expected = kHeadsetEqPresets[static_cast<std::size_t>(preset - 1)];
        EXPECT_EQ(data.ReadEqPreset(preset),
                  std::vector<std::int32_t>(expected.begin(), expected.end()))
            << "preset " << preset;
    }
    EXPECT_TRUE(data.Document()["LightInfo"].isObject());
    EXPECT_TRUE(data.Document()["CustomEQNameInfo"].isArray());
    EXPECT_TRUE(data.Document()["CustomEQHzValueInfo"].isArray());
}

TEST_F(FactoryDataTest, ModeListsOfEveryFamily) {
    const Json::Value lists = DefaultLight()["DefaultLightName"];
    ASSERT_EQ(lists.size(), 4u) << "keyboard, mouse, mouse pad, headset";
    const std::array<unsigned, 4> minimumModes{31, 12, 9, 9};
    for (Json::ArrayIndex family = 0; family < 4; ++family) {
        const Json::Value& list = lists[family];
        ASSERT_GE(list.size(), minimumModes[family]) << family;
        for (const Json::Value& mode : list) {
            EXPECT_TRUE(mode["LightName"].isString());
            EXPECT_FALSE(mode["LightName"].asString().empty());
            EXPECT_TRUE(mode["visible"].isBool());
            EXPECT_TRUE(mode["value"].isInt());
        }
    }
    const Json::Value& keyboard = lists[0];
    EXPECT_EQ(keyboard.size(), 31u) << "mode indices 0 to 30";
    // Host-driven modes carry the codes the parameter block replaces by 0xFE.
    EXPECT_EQ(keyboard[29]["value"].asInt(), 29);
    EXPECT_EQ(keyboard[30]["value"].asInt(), 30);
    for (int shown : {1, 5, 6, 19, 20, 29, 30}) {
        EXPECT_TRUE(keyboard[shown]["visible"].asBool()) << shown;
    }
    // Modes 0 and 28 only play back effect files, which nothing in the product writes.
    EXPECT_FALSE(keyboard[0]["visible"].asBool());
    EXPECT_FALSE(keyboard[28]["visible"].asBool());
    const Json::Value areas = DefaultLight()["AreaLightName"];
    ASSERT_EQ(areas.size(), 4u);
    for (const Json::Value& family : areas) {
        ASSERT_TRUE(family.isArray());
        for (const Json::Value& area : family) EXPECT_TRUE(area["LightName"].isString());
    }
}

TEST_F(FactoryDataTest, LanguageListNamesEachLanguageOnce) {
    const Json::Value languages =
        JsonFileIO::ReadJsonFile(kDefaultData / "Language.config")["Language"];
    ASSERT_TRUE(languages.isArray());
    ASSERT_GE(languages.size(), 2u);
    std::set<int> ids;
    for (const Json::Value& language : languages) {
        EXPECT_TRUE(language["Language_name"].isString());
        EXPECT_TRUE(language["Language_file"].isString());
        EXPECT_TRUE(language["Language_text"].isString());
        ASSERT_TRUE(language["Language_ID"].isInt());
        ids.insert(language["Language_ID"].asInt());
    }
    EXPECT_EQ(ids.size(), languages.size());
}

}  // namespace
}  // namespace rerov
