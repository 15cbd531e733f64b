#include <gmock/gmock.h>

#include "tests/profiles/store_fixture.h"

namespace rerov {
namespace {

using test::ParseJson;
using test::StoreTest;
using ::testing::ElementsAre;

// A list file written by someone else: entries whose UUIDs climb out of the folder, name
// absolute paths, are empty, are not objects, or repeat another entry's UUID.
class HostileListTest : public StoreTest {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        victim_ = Root() / "victim.Json";
        WriteText(victim_, "{\"keep\": true}");
        WriteText(folder_ / "good.Json", R"({"profilename": "good", "profileUUID": "good"})");
        WriteText(folder_ / "good2.Json", R"({"profilename": "good2", "profileUUID": "good2"})");
        const std::string absolute = (Root() / "victim").string();
        WriteText(ListPath(), R"({"profileselect": 3, "profilelist": [
            {"profilename": "climb", "profileUUID": "../victim"},
            {"profilename": "abs", "profileUUID": ")" +
                                  absolute + R"("},
            {"profilename": "empty", "profileUUID": ""},
            {"profilename": "good", "profileUUID": "good"},
            "not an object",
            {"profilename": "number", "profileUUID": 12},
            {"profilename": "twin", "profileUUID": "good"},
            {"profilename": "dots", "profileUUID": ".."},
            {"profilename": "good2", "profileUUID": "good2"}]})");
    }
    std::filesystem::path victim_;
};

TEST_F(HostileListTest, UnsafeEntriesAreSkippedAndTheSelectionFollowsItsEntry) {
    auto store = MakeStore();
    ASSERT_EQ(store->Build(), StoreResult::Ok);
    EXPECT_THAT(store->Names(), ElementsAre("good", "good2"));
    EXPECT_EQ(store->CurrentUUID(), "good");
    EXPECT_EQ(store->Selected(), 0);
    EXPECT_THAT(ListNames(), ElementsAre("good", "good2"));
}

TEST_F(HostileListTest, NoOperationReadsWritesOrDeletesOutsideTheFolder) {
    auto store = MakeStore();
    ASSERT_EQ(store->Build(), StoreResult::Ok);
    EXPECT_EQ(store->Copy(), StoreResult::Ok);
    EXPECT_EQ(store->Reset(), StoreResult::Ok);
    EXPECT_EQ(store->Rename("renamed"), StoreResult::Ok);
    while (store->Count() > 1) ASSERT_EQ(store->Delete(), StoreResult::Ok);
    EXPECT_EQ(ReadText(victim_), "{\"keep\": true}");
    EXPECT_EQ(FileNames(Root()), (std::set<std::string>{"DefaultData", "profiles", "victim.Json"}));
}

TEST_F(StoreTest, SelectionOutsideTheListFallsBackToTheFirstProfile) {
    for (const char* select : {"-1", "7", "\"two\"", "null"}) {
        WriteText(folder_ / "a.Json", "{}");
        WriteText(folder_ / "b.Json", "{}");
        WriteText(ListPath(), std::string(R"({"profileselect": )") + select + R"(, "profilelist": [
            {"profilename": "a", "profileUUID": "a"}, {"profilename": "b", "profileUUID": "b"}]})");
        auto store = MakeStore();
        ASSERT_EQ(store->Build(), StoreResult::Ok) << select;
        EXPECT_EQ(store->Selected(), 0) << select;
        EXPECT_EQ(List()["profileselect"].asInt(), 0) << select;
    }
}

struct ImportCase {
    const char* label;
    std::string text;
    StoreResult result;
};

class ImportRefusalTest : public StoreTest, public ::testing::WithParamInterface<ImportCase> {};

TEST_P(ImportRefusalTest, RefusedImportChangesNothing) {
    auto store = StoreWith({"a"}, 0);
    const auto source = Root() / "in" / "Bad.json";
    WriteText(source, GetParam().text);
    const std::string listBefore = ReadText(ListPath());
    const auto filesBefore = FileNames(folder_);
    EXPECT_EQ(store->Import(source), GetParam().result);
    EXPECT_EQ(ReadText(ListPath()), listBefore);
    EXPECT_EQ(FileNames(folder_), filesBefore);
    EXPECT_EQ(store->Count(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ImportRefusalTest,
    ::testing::Values(ImportCase{"array", R"([{"profilename": "a", "profileUUID": "b"}])",
                                 StoreResult::ImportInvalid},
                      ImportCase{"no_uuid", R"({"profilename": "a", "Device": []})",
                                 StoreResult::ImportInvalid},
                      ImportCase{"no_name", R"({"profileUUID": "a"})", StoreResult::ImportInvalid},
                      ImportCase{"null_uuid", R"({"profilename": "a", "profileUUID": null})",
                                 StoreResult::ImportInvalid},
                      ImportCase{"malformed", R"({"profilename": "a", "profileUUID": )",
                                 StoreResult::ImportInvalid},
                      ImportCase{"empty", "", StoreResult::ImportInvalid},
                      ImportCase{"too_large",
                                 R"({"profilename": "a", "profileUUID": "b", "pad": ")" +
                                     std::string(ProfileStore::kMaxImportBytes, 'x') + "\"}",
                                 StoreResult::ImportTooLarge}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(StoreTest, ImportOfAMissingFileOrAFolderIsRefused) {
    auto store = StoreWith({"a"}, 0);
    EXPECT_EQ(store->Import(Root() / "nothing.json"), StoreResult::ImportUnreadable);
    std::filesystem::create_directories(Root() / "dir.json");
    EXPECT_EQ(store->Import(Root() / "dir.json"), StoreResult::ImportUnreadable);
    EXPECT_EQ(store->Count(), 1);
}

// The imported file's own UUID never becomes a path: a hostile one is simply replaced.
TEST_F(StoreTest, ImportedUuidIsReplacedEvenWhenHostile) {
    auto store = StoreWith({"a"}, 0);
    const auto source = Root() / "in" / "Evil.json";
    WriteText(source, R"({"profilename": "x", "profileUUID": "../../victim"})");
    ASSERT_EQ(store->Import(source), StoreResult::Ok);
    const std::string uuid = List()["profilelist"][1]["profileUUID"].asString();
    EXPECT_NE(uuid, "../../victim");
    EXPECT_TRUE(std::filesystem::exists(folder_ / (uuid + ".Json")));
    EXPECT_FALSE(std::filesystem::exists(Root() / "victim.Json"));
}

// A list file that vanishes between operations must not lose the profiles shown.
TEST_F(StoreTest, OperationsAfterTheListVanishedStartFromWhatIsShown) {
    auto store = StoreWith({"a", "b"}, 1);
    std::filesystem::remove(ListPath());
    ASSERT_EQ(store->Add(), StoreResult::Ok);
    EXPECT_THAT(ListNames(), ElementsAre("a", "b", "profile1"));
}

}  // namespace
}  // namespace rerov

namespace rerov {
namespace {

// The list file cannot be written (a folder took its name): every changing operation
// reports the failure and leaves the profile files as they were.
TEST_F(StoreTest, UnwritableListMakesOperationsFailWithoutSideEffects) {
    auto store = StoreWith({"a", "b"}, 1);
    std::filesystem::remove(ListPath());
    std::filesystem::create_directories(ListPath() / "blocker");
    const auto filesBefore = FileNames(folder_);
    const std::string fileBefore = ReadText(folder_ / "u1.Json");

    EXPECT_EQ(store->Rename("renamed"), StoreResult::WriteFailed);
    EXPECT_EQ(store->Add(), StoreResult::WriteFailed);
    EXPECT_EQ(store->Copy(), StoreResult::WriteFailed);
    EXPECT_EQ(store->Delete(), StoreResult::WriteFailed);
    EXPECT_EQ(store->Select(0), StoreResult::WriteFailed);

    EXPECT_EQ(FileNames(folder_), filesBefore);
    EXPECT_EQ(ReadText(folder_ / "u1.Json"), fileBefore);
    EXPECT_THAT(store->Names(), ElementsAre("a", "b"));
    EXPECT_EQ(store->Selected(), 1);
}

}  // namespace
}  // namespace rerov
