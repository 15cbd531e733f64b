// A damaged list file, profile files the list misses and leftovers of an interrupted save.
#include "profiles/profile_list_recovery.h"

#include <gmock/gmock.h>

#include "tests/profiles/store_fixture.h"

namespace rerov {
namespace {

using test::ParseJson;
using test::StoreTest;
using ::testing::ElementsAre;

class RecoveryTest : public StoreTest {
  protected:
    // A list in an order other than the name order, and its profile files.
    std::string WriteRealList() {
        StoreWith({"gamma", "Alpha", "beta"}, 2);
        return ReadText(ListPath());
    }

    std::filesystem::path BrokenPath() const { return folder_ / kBrokenListFileName; }

    void ExpectRebuiltFrom(const std::string& damaged, const std::string& label) {
        WriteText(ListPath(), damaged);
        auto store = MakeStore();
        ASSERT_EQ(store->Build(), StoreResult::Ok) << label;
        EXPECT_THAT(ListNames(), ElementsAre("Alpha", "beta", "gamma")) << label;
        EXPECT_THAT(store->Names(), ElementsAre("Alpha", "beta", "gamma")) << label;
        EXPECT_EQ(store->CurrentUUID(), "u1") << label;
        EXPECT_EQ(ReadText(BrokenPath()), damaged) << label;
        EXPECT_EQ(FileNames(folder_).count("u0.Json") + FileNames(folder_).count("u2.Json"), 2u);
        EXPECT_EQ(LightMode("u2.Json"), 2) << label << ": profiles keep their settings";
    }

    int LightMode(const std::string& file) const {
        return JsonFileIO::ReadJsonFile(folder_ / file)["Device"][0]["LightInfo"]["SelectItem"]
            .asInt();
    }
};

TEST_F(RecoveryTest, ListTruncatedAtEveryOffsetIsRebuiltFromTheProfileFiles) {
    const std::string text = WriteRealList();
    const std::size_t end = text.find_last_of('}');
    ASSERT_NE(end, std::string::npos);
    for (std::size_t length = 0; length <= end; ++length) {
        ExpectRebuiltFrom(text.substr(0, length), "truncated at " + std::to_string(length));
        if (HasFailure()) return;  // one offset tells the story
    }
}

TEST_F(RecoveryTest, MalformedEmptyNestedAndOversizedListsAreRebuilt) {
    WriteRealList();
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    const std::string deepObject = "{\"profilelist\": " + deep + "}";
    std::string oversized = R"({"profilelist": [{"profilename": "x", "profileUUID": "u0"}]})";
    oversized.append(ProfileStore::kMaxListBytes, ' ');
    const std::pair<const char*, std::string> cases[] = {
        {"not json", "profiles: u0, u1"},
        {"array root", "[]"},
        {"empty list", R"({"profilelist": [], "profileselect": 0})"},
        {"list of another type", R"({"profilelist": {"a": 1}})"},
        {"entries without uuid", R"({"profilelist": [{"profilename": "x"}]})"},
        {"nested deep", deep},
        {"nested deep in a member", deepObject},
        {"binary", std::string("\0\xff\xfe{", 4)},
        {"oversized", oversized},
    };
    for (const auto& [label, text] : cases) ExpectRebuiltFrom(text, label);
}

TEST_F(RecoveryTest, OnlyFilesThatAreTheirOwnProfileAreTakenIn) {
    WriteText(ListPath(), "{");
    WriteJson(folder_ / "good.Json",
              ParseJson(R"({"profilename": "Good", "profileUUID": "good"})"));
    WriteJson(folder_ / "blank.Json", ParseJson(R"({"profilename": " ", "profileUUID": "blank"})"));
    WriteJson(folder_ / "twin.Json",
              ParseJson(R"({"profilename": "GOOD", "profileUUID": "twin"})"));
    // Another profile's content under a different file name, a file of another kind, a
    // non-object and a link are not profiles of this folder.
    WriteJson(folder_ / "moved.Json",
              ParseJson(R"({"profilename": "M", "profileUUID": "elsewhere"})"));
    WriteJson(folder_ / "array.Json", ParseJson(R"([1, 2])"));
    WriteJson(folder_ / "good.config", ParseJson(R"({"profilename": "C", "profileUUID": "good"})"));
    WriteJson(Root() / "outside" / "linked.Json",
              ParseJson(R"({"profilename": "L", "profileUUID": "linked"})"));
    std::filesystem::create_symlink(Root() / "outside" / "linked.Json", folder_ / "linked.Json");

    auto store = MakeStore();
    ASSERT_EQ(store->Build(), StoreResult::Ok);
    // Names equal but for case keep a fixed order: by their bytes.
    EXPECT_THAT(ListNames(), ElementsAre("blank", "GOOD", "Good(1)"));
    const Json::Value list = List();
    EXPECT_EQ(list["profilelist"][0]["profileUUID"].asString(), "blank");
    EXPECT_EQ(list["profilelist"][2]["profileUUID"].asString(), "good");
}

TEST_F(RecoveryTest, WithoutProfileFilesTheDamagedListGivesWayToProfile1) {
    WriteText(ListPath(), "{\"profilelist\": [");
    auto store = MakeStore();
    ASSERT_EQ(store->Build(), StoreResult::Ok);
    EXPECT_THAT(ListNames(), ElementsAre("Profile1"));
    EXPECT_EQ(ReadText(BrokenPath()), "{\"profilelist\": [");
}

TEST_F(RecoveryTest, AMissingListIsRebuiltWithoutABrokenFile) {
    WriteRealList();
    std::filesystem::remove(ListPath());
    auto store = MakeStore();
    ASSERT_EQ(store->Build(), StoreResult::Ok);
    EXPECT_THAT(ListNames(), ElementsAre("Alpha", "beta", "gamma"));
    EXPECT_FALSE(std::filesystem::exists(BrokenPath()));
}

TEST_F(RecoveryTest, ProfileFilesInNoListAreAdoptedAtLoad) {
    StoreWith({"b", "a"}, 1);
    // An add that ended between writing its profile file and the list.
    WriteJson(folder_ / "late.Json", ParseJson(R"({"profilename": "zed", "profileUUID": "late",
                                                  "Device": [{"LightInfo": {"SelectItem": 9}}]})"));
    WriteJson(folder_ / "early.Json", ParseJson(R"({"profilename": "A", "profileUUID": "early"})"));
    auto store = MakeStore();
    ASSERT_EQ(store->Build(), StoreResult::Ok);
    EXPECT_THAT(ListNames(), ElementsAre("b", "a", "A(1)", "zed"));
    EXPECT_EQ(List()["profileselect"].asInt(), 1) << "the selection stays";
    EXPECT_EQ(store->CurrentUUID(), "u1");
    EXPECT_EQ(store->GetProfileFilePath(3), folder_ / "late.Json");
    EXPECT_EQ(LightMode("late.Json"), 9);
}

TEST_F(RecoveryTest, StrayTemporariesOfAnInterruptedSaveAreRemovedAtLoad) {
    StoreWith({"a"}, 0);
    const std::vector<std::string> stale = {".ProfileList.ini.0a1b2c3d.tmp",
                                            ".u0.Json.ffff0000.tmp"};
    const std::vector<std::string> kept = {".notes.txt.0a1b2c3d.tmp", ".u0.Json.abc.tmp",
                                           "u0.Json.0a1b2c3d.tmp", ".u0.Json.12345678.tmp"};
    const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
    for (const std::string& name : stale) {
        WriteText(folder_ / name, "{\"half");
        std::filesystem::last_write_time(folder_ / name, old);
    }
    for (const std::string& name : kept) WriteText(folder_ / name, "x");
    std::filesystem::last_write_time(folder_ / ".notes.txt.0a1b2c3d.tmp", old);
    // A young temporary may be a save another program is writing right now.
    ASSERT_EQ(MakeStore()->Build(), StoreResult::Ok);
    const auto names = FileNames(folder_);
    for (const std::string& name : stale) EXPECT_EQ(names.count(name), 0u) << name;
    for (const std::string& name : kept) EXPECT_EQ(names.count(name), 1u) << name;
    EXPECT_THAT(ListNames(), ElementsAre("a"));
}

TEST(SaveTemporaryNameTest, RecognisesTheTemporariesOfTheListAndOfProfileFiles) {
    const std::pair<const char*, bool> cases[] = {
        {".ProfileList.ini.0a1b2c3d.tmp", true},
        {".2024_01_02_03_04_05_006.Json.ABCDEF01.tmp", true},
        {"ProfileList.ini", false},
        {"ProfileList.ini.broken", false},
        {".ProfileList.ini.0a1b2c3.tmp", false},
        {".ProfileList.ini.0a1b2c3d4.tmp", false},
        {"ProfileList.ini.0a1b2c3d.tmp", false},
        {"..Json.0a1b2c3d.tmp", false},
        {".x.Json.0a1b2c3g.tmp", false},
        {".zired_light.config.0a1b2c3d.tmp", false},
        {".ProfileList.lock", false},
    };
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(IsSaveTemporaryName(name), expected) << name;
}

}  // namespace
}  // namespace rerov
