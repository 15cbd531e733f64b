#include <gmock/gmock.h>

#include "profiles/basic_profile_data.h"
#include "tests/profiles/store_fixture.h"

namespace rerov {
namespace {

using test::ParseJson;
using test::StoreTest;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

TEST_F(StoreTest, FirstStartCreatesProfile1FromTheDefault) {
    auto store = MakeStore();
    ASSERT_EQ(store->Build(), StoreResult::Ok);
    const Json::Value list = List();
    ASSERT_EQ(list["profilelist"].size(), 1u);
    const Json::Value& entry = list["profilelist"][0];
    EXPECT_EQ(entry["profilename"].asString(), "Profile1");
    EXPECT_EQ(entry["profileislink"].asInt(), 0);
    EXPECT_EQ(entry["profilelinkmame"].asString(), "");
    EXPECT_EQ(list["profileselect"].asInt(), 0);
    const std::string uuid = entry["profileUUID"].asString();
    EXPECT_EQ(store->CurrentUUID(), uuid);
    EXPECT_EQ(store->Selected(), 0);

    Json::Value expected = JsonFileIO::ReadJsonFile(defaultFile_);
    expected["profilename"] = "Profile1";
    expected["profileUUID"] = uuid;
    EXPECT_EQ(JsonFileIO::ReadJsonFile(folder_ / (uuid + ".Json")), expected);
}

TEST_F(StoreTest, MissingFolderIsCreatedAndAFileInItsPlaceIsRefused) {
    std::filesystem::remove_all(folder_);
    ASSERT_EQ(MakeStore()->Build(), StoreResult::Ok);
    EXPECT_THAT(ListNames(), ElementsAre("Profile1"));

    std::filesystem::remove_all(folder_);
    WriteText(folder_, "a file where the folder belongs");
    EXPECT_EQ(MakeStore()->Build(), StoreResult::FolderUnavailable);
    EXPECT_EQ(ReadText(folder_), "a file where the folder belongs");
}

TEST_F(StoreTest, UnusableListFilesAreReplacedByProfile1) {
    const char* texts[] = {"",
                           "{",
                           "[]",
                           "{\"profilelist\": []}",
                           "{\"profilelist\": {}}",
                           "{\"profilelist\": 3, \"profileselect\": 0}",
                           "\"text\""};
    for (const char* text : texts) {
        WriteText(ListPath(), text);
        auto store = MakeStore();
        ASSERT_EQ(store->Build(), StoreResult::Ok) << text;
        EXPECT_THAT(ListNames(), ElementsAre("Profile1")) << text;
    }
}

TEST_F(StoreTest, BuildSelectsTheStoredSelection) {
    auto store = StoreWith({"a", "b", "c"}, 2);
    EXPECT_EQ(store->Selected(), 2);
    EXPECT_EQ(store->CurrentUUID(), "u2");
    EXPECT_THAT(store->Names(), ElementsAre("a", "b", "c"));
}

TEST_F(StoreTest, SelectRecordsTheSelection) {
    auto store = StoreWith({"a", "b", "c"}, 0);
    ASSERT_EQ(store->Select(1), StoreResult::Ok);
    EXPECT_EQ(List()["profileselect"].asInt(), 1);
    EXPECT_EQ(store->CurrentUUID(), "u1");
    EXPECT_EQ(store->CurrentProfilePath(), folder_ / "u1.Json");
    EXPECT_EQ(store->Select(3), StoreResult::IndexOutOfRange);
    EXPECT_EQ(store->Select(-1), StoreResult::IndexOutOfRange);
    EXPECT_EQ(List()["profileselect"].asInt(), 1);
}

struct AddNameCase {
    std::vector<std::string> existing;
    std::string added;
};

TEST_F(StoreTest, AddTakesTheSmallestFreeNumberIgnoringCase) {
    const AddNameCase cases[] = {
        {{"Profile1"}, "profile2"},
        {{"profile1", "Profile3"}, "profile2"},
        {{"PROFILE1"}, "profile2"},
        {{"x", "profile2"}, "profile1"},
        {{"profile1", "profile2", "PROFILE3"}, "profile4"},
    };
    for (const AddNameCase& c : cases) {
        // A fresh folder: files of the previous case would be taken into the list.
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        auto store = StoreWith(c.existing, 0);
        ASSERT_EQ(store->Add(), StoreResult::Ok);
        std::vector<std::string> expected = c.existing;
        expected.push_back(c.added);
        EXPECT_EQ(ListNames(), expected);
    }
}

TEST_F(StoreTest, AddPointsTheStoredSelectionAtTheNewProfileButKeepsTheCurrentOne) {
    auto store = StoreWith({"a", "b"}, 0);
    ASSERT_EQ(store->Add(), StoreResult::Ok);
    EXPECT_EQ(List()["profileselect"].asInt(), 2);
    EXPECT_EQ(store->Selected(), 0);
    EXPECT_EQ(store->CurrentUUID(), "u0");
    const Json::Value added = List()["profilelist"][2];
    const Json::Value file =
        JsonFileIO::ReadJsonFile(folder_ / (added["profileUUID"].asString() + ".Json"));
    EXPECT_EQ(file["profilename"].asString(), "profile1");
    EXPECT_EQ(file["Device"][0]["LightInfo"]["SelectItem"].asInt(), 6) << "made from the default";
}

TEST_F(StoreTest, AddStopsAtFiftyProfilesWithoutTouchingTheFolder) {
    std::vector<std::string> names;
    for (int i = 0; i < ProfileStore::kMaxAddedProfiles; ++i)
        names.push_back("n" + std::to_string(i));
    auto store = StoreWith(names, 0);
    const std::string before = ReadText(ListPath());
    const auto filesBefore = FileNames(folder_);
    EXPECT_EQ(store->Add(), StoreResult::LimitReached);
    EXPECT_EQ(ReadText(ListPath()), before);
    EXPECT_EQ(FileNames(folder_), filesBefore);
}

TEST_F(StoreTest, RapidAddsGetDistinctFiles) {
    auto store = StoreWith({"a"}, 0);
    for (int i = 0; i < 20; ++i) ASSERT_EQ(store->Add(), StoreResult::Ok);
    std::set<std::string> uuids;
    const Json::Value list = List();
    for (const Json::Value& entry : list["profilelist"]) {
        uuids.insert(entry["profileUUID"].asString());
        EXPECT_TRUE(std::filesystem::exists(folder_ / (entry["profileUUID"].asString() + ".Json")));
    }
    EXPECT_EQ(uuids.size(), 21u);
}

struct DeleteCase {
    int selected;
    int expectedSelection;
    std::vector<std::string> remaining;
};

TEST_F(StoreTest, DeleteRemovesEntryAndFileAndMovesTheSelection) {
    const DeleteCase cases[] = {
        {0, 0, {"b", "c", "d"}},
        {3, 2, {"a", "b", "c"}},
        {1, 0, {"a", "c", "d"}},
    };
    for (const DeleteCase& c : cases) {
        auto store = StoreWith({"a", "b", "c", "d"}, c.selected);
        const std::string removedFile = "u" + std::to_string(c.selected) + ".Json";
        ASSERT_EQ(store->Delete(), StoreResult::Ok);
        EXPECT_EQ(ListNames(), c.remaining);
        EXPECT_EQ(List()["profileselect"].asInt(), c.expectedSelection);
        EXPECT_EQ(store->Selected(), c.expectedSelection);
        EXPECT_FALSE(std::filesystem::exists(folder_ / removedFile));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
}

TEST_F(StoreTest, DeleteNeverRemovesTheLastProfile) {
    auto store = StoreWith({"only"}, 0);
    EXPECT_EQ(store->Delete(), StoreResult::LastProfile);
    EXPECT_THAT(ListNames(), ElementsAre("only"));
    EXPECT_TRUE(std::filesystem::exists(folder_ / "u0.Json"));
}

TEST_F(StoreTest, CopyAppendsCopyUntilUniqueAndCarriesTheSettings) {
    auto store = StoreWith({"A", "a COPY", "B"}, 0);
    ASSERT_EQ(store->Copy(), StoreResult::Ok);
    EXPECT_THAT(ListNames(), ElementsAre("A", "a COPY", "B", "A copy copy"));
    EXPECT_EQ(List()["profileselect"].asInt(), 0);
    const Json::Value entry = List()["profilelist"][3];
    const Json::Value file =
        JsonFileIO::ReadJsonFile(folder_ / (entry["profileUUID"].asString() + ".Json"));
    EXPECT_EQ(file["profilename"].asString(), "A copy copy");
    EXPECT_EQ(file["profileUUID"].asString(), entry["profileUUID"].asString());
    EXPECT_EQ(file["Device"][0]["LightInfo"]["SelectItem"].asInt(), 0) << "settings of A";
}

TEST_F(StoreTest, CopyOfAMissingFileHoldsOnlyNameAndUuid) {
    auto store = StoreWith({"A"}, 0);
    std::filesystem::remove(folder_ / "u0.Json");
    ASSERT_EQ(store->Copy(), StoreResult::Ok);
    const std::string uuid = List()["profilelist"][1]["profileUUID"].asString();
    const Json::Value file = JsonFileIO::ReadJsonFile(folder_ / (uuid + ".Json"));
    EXPECT_EQ(file.getMemberNames(), (std::vector<std::string>{"profileUUID", "profilename"}));
}

TEST_F(StoreTest, ImportTwiceAndThriceAppendsCounters) {
    auto store = StoreWith({"x"}, 0);
    const auto source = Root() / "in" / "Game.json";
    WriteJson(source, ParseJson(R"({"profilename": "Orig", "profileUUID": "old",
                                    "Device": [{"LightInfo": {"SelectItem": 17}}]})"));
    for (int i = 0; i < 3; ++i) ASSERT_EQ(store->Import(source), StoreResult::Ok);
    EXPECT_THAT(ListNames(), ElementsAre("x", "Game", "Game(1)", "Game(1)(2)"));
    const Json::Value entry = List()["profilelist"][1];
    const std::string uuid = entry["profileUUID"].asString();
    EXPECT_NE(uuid, "old");
    const Json::Value file = JsonFileIO::ReadJsonFile(folder_ / (uuid + ".Json"));
    EXPECT_EQ(file["profilename"].asString(), "Game");
    EXPECT_EQ(file["profileUUID"].asString(), uuid);
    EXPECT_EQ(file["Device"][0]["LightInfo"]["SelectItem"].asInt(), 17);
    EXPECT_EQ(List()["profileselect"].asInt(), 0);
}

TEST_F(StoreTest, ImportedProfileLoadsThroughTheProfileData) {
    auto store = StoreWith({"x"}, 0);
    const auto source = Root() / "in" / "Shared.json";
    WriteJson(source, ParseJson(R"({"profilename": "S", "profileUUID": "s",
                                    "Device": [{"LightInfo": {"SelectItem": 23}}]})"));
    ASSERT_EQ(store->Import(source), StoreResult::Ok);
    CBasicProfiledata data;
    data.SetDefaultPath(defaultFile_);
    data.LoadProfile(store->GetProfileFilePath(1));
    EXPECT_EQ(data.ReadLightInfo().bytes[LightSetting::kMode], 23);
}

struct RenameCase {
    const char* label;
    std::string name;
    StoreResult result;
    int code;
};

TEST_F(StoreTest, RenameRulesAndCodes) {
    const RenameCase cases[] = {
        {"own_name_other_case", "ALPHA", StoreResult::Ok, 1},
        {"new_name", "  Gaming  ", StoreResult::Ok, 1},
        {"other_profile", "beta", StoreResult::NameInUse, 0},
        {"other_profile_case", "BETA", StoreResult::NameInUse, 0},
        {"spaces_only", "   ", StoreResult::NameBlank, 2},
        {"empty", "", StoreResult::NameBlank, 2},
        {"tabs_newlines", "\t\n ", StoreResult::NameBlank, 2},
    };
    for (const RenameCase& c : cases) {
        auto store = StoreWith({"alpha", "beta"}, 0);
        const std::string listBefore = ReadText(ListPath());
        const std::string fileBefore = ReadText(folder_ / "u0.Json");
        const StoreResult result = store->Rename(c.name);
        EXPECT_EQ(result, c.result) << c.label;
        EXPECT_EQ(RenameResultCode(result), c.code) << c.label;
        if (c.result == StoreResult::Ok) {
            EXPECT_EQ(ListNames()[0], c.name) << "kept untrimmed";
            EXPECT_EQ(JsonFileIO::ReadJsonFile(folder_ / "u0.Json")["profilename"].asString(),
                      c.name);
            EXPECT_EQ(store->Names()[0], c.name);
        } else {
            EXPECT_EQ(ReadText(ListPath()), listBefore) << c.label;
            EXPECT_EQ(ReadText(folder_ / "u0.Json"), fileBefore) << c.label;
        }
    }
}

TEST_F(StoreTest, ResetOfAHeadsetKeepsItsCustomEqualisers) {
    auto store = StoreWith({"hs"}, 0, 7);
    WriteJson(folder_ / "u0.Json", ParseJson(R"({"profilename": "hs", "profileUUID": "u0",
        "Device": [{"LightInfo": {"SelectItem": 3}, "CustomEQNameInfo": [{"Name": "mine"}],
                    "CustomEQHzValueInfo": [[{"value": 5}]]}]})"));
    ASSERT_EQ(store->Reset(), StoreResult::Ok);
    const Json::Value file = JsonFileIO::ReadJsonFile(folder_ / "u0.Json");
    EXPECT_EQ(file["profilename"].asString(), "hs");
    EXPECT_EQ(file["profileUUID"].asString(), "u0");
    EXPECT_EQ(file["Device"][0]["LightInfo"]["SelectItem"].asInt(), 6) << "from the default";
    EXPECT_EQ(file["Device"][0]["CustomEQNameInfo"][0]["Name"].asString(), "mine");
    EXPECT_EQ(file["Device"][0]["CustomEQHzValueInfo"][0][0]["value"].asInt(), 5);
}

TEST_F(StoreTest, ResetOfOtherFamiliesKeepsOnlyNameAndUuid) {
    auto store = StoreWith({"kb"}, 0, 1);
    WriteJson(folder_ / "u0.Json", ParseJson(R"({"profilename": "kb", "profileUUID": "u0",
        "Device": [{"CustomEQNameInfo": [{"Name": "mine"}]}], "Extra": 1})"));
    ASSERT_EQ(store->Reset(), StoreResult::Ok);
    Json::Value expected = JsonFileIO::ReadJsonFile(defaultFile_);
    expected["profilename"] = "kb";
    expected["profileUUID"] = "u0";
    EXPECT_EQ(JsonFileIO::ReadJsonFile(folder_ / "u0.Json"), expected);
}

TEST_F(StoreTest, ExportWritesTheSelectedProfile) {
    auto store = StoreWith({"a", "b"}, 1);
    const auto target = Root() / "out.json";
    ASSERT_EQ(store->Export(target), StoreResult::Ok);
    EXPECT_EQ(JsonFileIO::ReadJsonFile(target), JsonFileIO::ReadJsonFile(folder_ / "u1.Json"));
}

TEST_F(StoreTest, ExportOfAMissingProfileLeavesTheTargetAlone) {
    auto store = StoreWith({"a"}, 0);
    std::filesystem::remove(folder_ / "u0.Json");
    const auto target = Root() / "out.json";
    WriteText(target, "precious");
    EXPECT_EQ(store->Export(target), StoreResult::SourceUnreadable);
    EXPECT_EQ(ReadText(target), "precious");
}

TEST_F(StoreTest, OperationsBeforeBuildDoNothing) {
    auto store = MakeStore();
    const auto source = Root() / "Game.json";
    WriteJson(source, ParseJson(R"({"profilename": "g", "profileUUID": "g"})"));
    EXPECT_EQ(store->Import(source), StoreResult::NoSelection);
    EXPECT_EQ(store->Export(Root() / "out.json"), StoreResult::NoSelection);
    EXPECT_EQ(store->Add(), StoreResult::NoSelection);
    EXPECT_EQ(store->Rename("x"), StoreResult::NoSelection);
    EXPECT_FALSE(std::filesystem::exists(ListPath()));
    EXPECT_FALSE(std::filesystem::exists(Root() / "out.json"));
}

TEST_F(StoreTest, MissingDefaultGivesProfilesWithoutDeviceThatLoadAsDefaults) {
    std::filesystem::remove(defaultFile_);
    auto store = MakeStore();
    ASSERT_EQ(store->Build(), StoreResult::Ok);
    const Json::Value file = JsonFileIO::ReadJsonFile(store->CurrentProfilePath());
    EXPECT_FALSE(file.isMember("Device"));
    CBasicProfiledata data;
    data.SetDefaultPath(defaultFile_);
    data.LoadProfile(store->CurrentProfilePath());
    EXPECT_EQ(data.ReadLightInfo(), LightSetting{});
}

TEST_F(StoreTest, CountAndPathsComeFromTheListFile) {
    auto store = StoreWith({"a", "b", "c"}, 0);
    EXPECT_EQ(store->GetProfileCount(), 3);
    EXPECT_EQ(store->GetProfileFilePath(2), folder_ / "u2.Json");
    EXPECT_TRUE(store->GetProfileFilePath(3).empty());
    EXPECT_TRUE(store->GetProfileFilePath(-1).empty());
}

TEST_F(StoreTest, ChangeCallbackFollowsChangesOnly) {
    auto store = StoreWith({"only"}, 0);
    int calls = 0;
    store->SetChangeCallback([&calls] { ++calls; });
    EXPECT_EQ(store->Delete(), StoreResult::LastProfile);
    EXPECT_EQ(store->Rename(" "), StoreResult::NameBlank);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(store->Add(), StoreResult::Ok);
    EXPECT_EQ(store->Select(1), StoreResult::Ok);
    EXPECT_EQ(calls, 2);
}

}  // namespace
}  // namespace rerov
