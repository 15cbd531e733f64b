// The file layer's promises: a write replaces the whole file or nothing, links are never
// written through nor followed out of their folder, a file that is there but cannot be read
// is never replaced, text comes in as UTF-8, and each kind of file is capped before parsing.
#include <gmock/gmock.h>
#if defined(__unix__)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <csignal>
#include <set>

#include "profiles/atomic_file_writer.h"
#include "profiles/basic_profile_data.h"
#include "profiles/json_file_io.h"
#include "profiles/utf8_text.h"
#include "tests/profiles/store_fixture.h"
#include "tests/profiles/test_support.h"

namespace rerov {
namespace {

using test::ParseJson;
using test::StoreTest;
using test::TempFolderTest;

Json::Value Named(const std::string& name) {
    Json::Value document(Json::objectValue);
    document["profilename"] = name;
    return document;
}

class FileSafetyTest : public TempFolderTest {};

#if defined(__unix__)
// Beside the portable test below, the real thing where the system offers it: the write runs
// in a child process under a file size limit (as a full disk or a user's
// ulimit would stop it) with SIGXFSZ ignored, so the failure arrives as an error the writer
// must notice. The child exits 0 when the write reported failure, 1 when it claimed success.
int WriteUnderSizeLimit(const std::filesystem::path& path, const Json::Value& document,
                        rlim_t limit) {
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited{limit, limit};
        if (setrlimit(RLIMIT_FSIZE, &limited) != 0) _exit(2);
        _exit(JsonFileIO::WriteJsonFile(path, document) ? 1 : 0);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

TEST_F(FileSafetyTest, WriteStoppedByTheFileSizeLimitReportsFailureAndKeepsTheOldFile) {
    // 0: not one byte may be written; 40: the limit falls inside a small document, far under
    // any write buffer, where a buffered writer only learns of it when it is too late.
    for (const rlim_t limit : {rlim_t{0}, rlim_t{40}}) {
        const auto path = Root() / "ProfileList.ini";
        std::filesystem::remove(path);
        ASSERT_TRUE(JsonFileIO::WriteJsonFile(path, Named("the old profile list")));
        const std::string before = ReadText(path);
        Json::Value small = Named("a new name that makes the document longer than forty bytes");

        EXPECT_EQ(WriteUnderSizeLimit(path, small, limit), 0) << "limit " << limit;
        EXPECT_EQ(ReadText(path), before) << "limit " << limit;
        EXPECT_EQ(FileNames(Root()), std::set<std::string>{"ProfileList.ini"}) << "limit " << limit;
    }
}
#endif

// The same promise on every platform: the system refusing any step of a save, a full disk
// part-way through the bytes among them, leaves the previous file byte for byte and no
// temporary file behind.
TEST_F(FileSafetyTest, WriteRefusedAtAnyStepKeepsThePreviousFile) {
    const WriteStep steps[] = {WriteStep::CreateTemporary, WriteStep::WriteBytes,
                               WriteStep::FlushToDisk, WriteStep::Close, WriteStep::Replace};
    const auto path = Root() / "ProfileList.ini";
    ASSERT_TRUE(JsonFileIO::WriteJsonFile(path, Named("the old profile list")));
    const std::string before = ReadText(path);
    const Json::Value longer = Named(std::string(4096, 'n'));
    for (const WriteStep step : steps) {
        SCOPED_TRACE(static_cast<int>(step));
        {
            const ScopedWriteFailure failure(step);
            const WriteOutcome outcome = JsonFileIO::WriteJson(path, longer);
            EXPECT_FALSE(outcome.ok);
            EXPECT_FALSE(outcome.reason.empty());
        }
        EXPECT_EQ(ReadText(path), before);
        EXPECT_EQ(FileNames(Root()), std::set<std::string>{"ProfileList.ini"});
    }
    // Once the system lets it, the same save goes through.
    ASSERT_TRUE(JsonFileIO::WriteJsonFile(path, longer));
    EXPECT_NE(ReadText(path), before);
}

TEST_F(FileSafetyTest, FailedWriteSaysWhy) {
    std::filesystem::create_directories(Root() / "taken");
    const WriteOutcome outcome = JsonFileIO::WriteJson(Root() / "taken", Named("x"));
    EXPECT_FALSE(outcome.ok);
    EXPECT_FALSE(outcome.reason.empty());
}

TEST_F(FileSafetyTest, WriteKeepsThePermissionsOfTheFileItReplaces) {
    const auto path = Root() / "p.Json";
    ASSERT_TRUE(JsonFileIO::WriteJsonFile(path, Named("a")));
    const auto mode = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;
    std::filesystem::permissions(path, mode);
    ASSERT_TRUE(JsonFileIO::WriteJsonFile(path, Named("b")));
    EXPECT_EQ(std::filesystem::status(path).permissions(), mode);
}

TEST(WriteTemporaryName, RecognisesOnlyTheWritersOwnTemporaryFiles) {
    const std::pair<const char*, bool> cases[] = {
        {".ProfileList.ini.0a1b2c3d.tmp", true},
        {".2026_01_01_00_00_00_000.Json.ffffffff.tmp", true},
        {"ProfileList.ini", false},
        {"2026_01_01_00_00_00_000.Json", false},
        {"ProfileList.ini.0a1b2c3d.tmp", false},  // not hidden: not ours
        {".ProfileList.ini.0a1b2c3.tmp", false},  // seven digits
        {".ProfileList.ini.0a1b2c3g.tmp", false},
        {".ProfileList.ini-0a1b2c3d.tmp", false},
        {"..0a1b2c3d.tmp", false},  // no target name
        {".x.0a1b2c3d.tmp", true},
    };
    for (const auto& [name, ours] : cases) EXPECT_EQ(IsWriteTemporaryName(name), ours) << name;
}

// --- symbolic links --------------------------------------------------------------------

struct LinkCase {
    const char* label;
    const char* linkName;
};

class LinkedFile : public StoreTest, public ::testing::WithParamInterface<LinkCase> {};

TEST_P(LinkedFile, IsNeitherWrittenThroughNorReadOutOfTheFolder) {
    auto store = StoreWith({"A", "B"}, 0);
    const auto outside = Root() / "outside.txt";
    WriteText(outside, "{\"secret\": \"outside the profile folder\"}");
    const std::string before = ReadText(outside);
    const auto link = folder_ / GetParam().linkName;
    std::filesystem::remove(link);
    std::filesystem::create_symlink(outside, link);

    EXPECT_FALSE(JsonFileIO::WriteJsonFile(link, Named("x")));
    EXPECT_EQ(JsonFileIO::ReadJson(link).status, JsonReadStatus::LinkOutside);
    EXPECT_EQ(JsonFileIO::ReadJson(link, kListFileLimits).status, JsonReadStatus::LinkOutside);
    // Through the store, as a user's commands reach the files.
    store->Rename("renamed");
    store->Reset();
    store->Add();
    EXPECT_EQ(ReadText(outside), before);
    // A linked list reads as damaged: the store moves the link itself aside and rebuilds the
    // list from the profiles; a linked profile stays where it is.
    const auto broken = folder_ / "ProfileList.ini.broken";
    EXPECT_TRUE(std::filesystem::is_symlink(link) || std::filesystem::is_symlink(broken));
}

INSTANTIATE_TEST_SUITE_P(Files, LinkedFile,
                         ::testing::Values(LinkCase{"list", "ProfileList.ini"},
                                           LinkCase{"profile", "u0.Json"}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(FileSafetyTest, LinkWithinItsFolderIsReadButNotWrittenThrough) {
    const auto target = Root() / "real.Json";
    ASSERT_TRUE(JsonFileIO::WriteJsonFile(target, Named("inside")));
    const std::string before = ReadText(target);
    std::filesystem::create_symlink("real.Json", Root() / "alias.Json");
    const JsonReadResult read = JsonFileIO::ReadJson(Root() / "alias.Json");
    ASSERT_EQ(read.status, JsonReadStatus::Ok);
    EXPECT_EQ(read.document["profilename"].asString(), "inside");
    EXPECT_FALSE(JsonFileIO::WriteJsonFile(Root() / "alias.Json", Named("x")));
    EXPECT_EQ(ReadText(target), before);
}

TEST_F(FileSafetyTest, UserChosenFilesMayBeLinksAnywhere) {
    const auto target = Root() / "elsewhere" / "chosen.json";
    WriteText(target, "{\"a\": 1}");
    std::filesystem::create_directories(Root() / "here");
    std::filesystem::create_symlink(target, Root() / "here" / "link.json");
    EXPECT_TRUE(JsonFileIO::ReadJson(Root() / "here" / "link.json", kOutsideFileLimits).Ok());
}

// --- read statuses and caps ------------------------------------------------------------

struct ReadCase {
    const char* label;
    std::string content;
    JsonReadLimits limits;
    JsonReadStatus expected;
};

class ReadStatusOf : public FileSafetyTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ReadStatusOf, File) {
    const auto path = Root() / "f.Json";
    WriteText(path, GetParam().content);
    EXPECT_EQ(JsonFileIO::ReadJson(path, GetParam().limits).status, GetParam().expected);
}

std::string DenseArray(std::size_t elements) {
    std::string text = "[0";
    for (std::size_t i = 1; i < elements; ++i) text += ",0";
    return text + "]";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadStatusOf,
    ::testing::Values(
        ReadCase{"valid", "{\"a\": [1, \"b\"]}", kProfileFileLimits, JsonReadStatus::Ok},
        ReadCase{"empty", "", kProfileFileLimits, JsonReadStatus::Empty},
        ReadCase{"truncated", "{\"a\": [1, ", kProfileFileLimits, JsonReadStatus::NotJson},
        ReadCase{"nested_deep", std::string(100000, '['), kListFileLimits, JsonReadStatus::NotJson},
        // A list file is a few KiB; one past its cap is refused unread.
        ReadCase{"list_over_byte_cap",
                 "{\"a\": \"" + std::string(kListFileLimits.maxBytes, 'x') + "\"}", kListFileLimits,
                 JsonReadStatus::TooLarge},
        ReadCase{"same_text_as_profile",
                 "{\"a\": \"" + std::string(kListFileLimits.maxBytes, 'x') + "\"}",
                 kProfileFileLimits, JsonReadStatus::Ok},
        // Small in bytes, but millions of values once parsed.
        ReadCase{"dense_array_over_token_cap", DenseArray(kProfileFileLimits.maxTokens + 1),
                 kProfileFileLimits, JsonReadStatus::TooLarge},
        ReadCase{"dense_array_at_token_cap", DenseArray(kProfileFileLimits.maxTokens - 1),
                 kProfileFileLimits, JsonReadStatus::Ok},
        // Tokens inside strings and comments are not values.
        ReadCase{"brackets_in_strings_and_comments",
                 "// [[[[ ,,,, \n{\"a\": \"" + std::string(20000, '[') + "\" /* {{{{ */}",
                 JsonReadLimits{1u << 20, 8, true}, JsonReadStatus::Ok}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(FileSafetyTest, FolderInThePlaceOfAFileIsNotAFileAndMissingIsMissing) {
    std::filesystem::create_directories(Root() / "dir.Json");
    EXPECT_EQ(JsonFileIO::ReadJson(Root() / "dir.Json").status, JsonReadStatus::NotAFile);
    EXPECT_EQ(JsonFileIO::ReadJson(Root() / "none.Json").status, JsonReadStatus::Missing);
    std::filesystem::create_symlink(Root() / "gone.Json", Root() / "dangling.Json");
    EXPECT_EQ(JsonFileIO::ReadJson(Root() / "dangling.Json").status, JsonReadStatus::Missing);
}

TEST_F(FileSafetyTest, FactoryProfilesAreWellInsideTheProfileCaps) {
    // The caps must never refuse a real profile: the largest factory one stays far below.
    const auto factory = std::filesystem::path(REROV_RUNTIME_DEFAULT_DATA) / "keyboard.Json";
    std::string text = ReadText(factory);
    ASSERT_FALSE(text.empty());
    EXPECT_TRUE(JsonFileIO::ReadJson(factory).Ok());
    EXPECT_LT(text.size() * 8, kProfileFileLimits.maxBytes);
}

// --- UTF-8 -----------------------------------------------------------------------------

TEST(ToValidUtf8, ReplacesEveryMalformedSequenceWithTheReplacementCharacter) {
    const std::string r = "\xEF\xBF\xBD";
    const std::pair<std::string, std::string> cases[] = {
        {"plain", "plain"},
        {"G\xC3\xA4ming \xE6\xB8\xB8", "G\xC3\xA4ming \xE6\xB8\xB8"},
        {"\xF0\x9F\x8E\xAE", "\xF0\x9F\x8E\xAE"},  // four-byte sequence stays
        {"a\xFF"
         "b",
         "a" + r + "b"},
        {"a\x80\x80"
         "b",
         "a" + r + "b"},          // stray continuation bytes
        {"a\xC3", "a" + r},       // truncated at the end
        {"\xC0\xAF", r},          // overlong "/"
        {"\xED\xA0\x80", r},      // encoded surrogate
        {"\xF4\x90\x80\x80", r},  // past U+10FFFF
        {"\xE6\xB8"
         "x",
         r + "x"},  // sequence cut by an ASCII byte
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(ToValidUtf8(in), out) << in;
        EXPECT_TRUE(IsValidUtf8(ToValidUtf8(in))) << in;
    }
}

TEST_F(FileSafetyTest, InvalidUtf8InAFileIsReplacedOnReading) {
    const auto path = Root() / "p.Json";
    WriteText(path,
              "{\"profilename\": \"bad\xFF\xFE name\", \"\xC0key\": 1, "
              "\"lone\": \"x\\udc80y\\ud800z\", \"pair\": \"\\ud83c\\udfae\"}");
    const JsonReadResult read = JsonFileIO::ReadJson(path);
    ASSERT_TRUE(read.Ok());
    const std::string r = "\xEF\xBF\xBD";
    EXPECT_EQ(read.document["profilename"].asString(), "bad" + r + r + " name");
    EXPECT_TRUE(read.document.isMember(r + "key"));
    EXPECT_EQ(read.document["lone"].asString(), "x" + r + "y" + r + "z");
    EXPECT_EQ(read.document["pair"].asString(), "\xF0\x9F\x8E\xAE");
}

#if defined(__linux__)
TEST_F(FileSafetyTest, InvalidUtf8InAFileNameIsReplacedInItsText) {
    const std::filesystem::path path = Root() / std::string("na\xFFme.json");
    EXPECT_TRUE(IsValidUtf8(PathToUtf8(path)));
    EXPECT_EQ(JsonFileIO::FileTitle(PathToUtf8(path)), "na\xEF\xBF\xBDme");
}
#endif

// --- a file that is there but cannot be read is never replaced -------------------------

// Unreadable without root rights needed: a folder in the file's place, or a valid profile
// over the cap of its kind.
struct UnreadableCase {
    const char* label;
    bool folder;
};

class UnreadableProfile : public StoreTest, public ::testing::WithParamInterface<UnreadableCase> {
  protected:
    void MakeUnreadable(const std::filesystem::path& path) {
        std::filesystem::remove(path);
        if (GetParam().folder) {
            std::filesystem::create_directories(path / "inside");
        } else {
            WriteText(path, "{\"profilename\": \"A\", \"profileUUID\": \"u0\", \"big\": " +
                                DenseArray(kProfileFileLimits.maxTokens + 10) + "}");
        }
    }
    std::string Snapshot(const std::filesystem::path& path) {
        return GetParam().folder
                   ? std::string(std::filesystem::is_directory(path / "inside") ? "folder" : "gone")
                   : ReadText(path);
    }
};

TEST_P(UnreadableProfile, RenameIsRefusedAndTheFileStays) {
    auto store = StoreWith({"A", "B"}, 0);
    const auto path = folder_ / "u0.Json";
    MakeUnreadable(path);
    const std::string before = Snapshot(path);
    EXPECT_EQ(store->Rename("renamed"), StoreResult::SourceUnreadable);
    EXPECT_EQ(Snapshot(path), before);
    EXPECT_EQ(ListNames(), (std::vector<std::string>{"A", "B"}));
}

TEST_P(UnreadableProfile, LoadingAndSavingProfileDataLeaveTheFileAlone) {
    const auto path = Root() / "profiles" / "p.Json";
    std::filesystem::create_directories(path.parent_path());
    MakeUnreadable(path);
    const std::string before = Snapshot(path);
    CBasicProfiledata data;
    data.SetDefaultPath(defaultFile_);
    data.SetProfilePath(path);
    data.LoadProfile(path);  // falls back to the default in memory only
    EXPECT_EQ(Snapshot(path), before);
    EXPECT_FALSE(data.Save());
    EXPECT_EQ(Snapshot(path), before);
}

INSTANTIATE_TEST_SUITE_P(Cases, UnreadableProfile,
                         ::testing::Values(UnreadableCase{"folder", true},
                                           UnreadableCase{"over_the_cap", false}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(StoreTest, EmptyProfileFileHoldsNothingToLoseAndIsRepaired) {
    auto store = StoreWith({"A", "B"}, 0);
    WriteText(folder_ / "u0.Json", "");
    EXPECT_EQ(store->Rename("renamed"), StoreResult::Ok);
    EXPECT_EQ(JsonFileIO::ReadJsonFile(folder_ / "u0.Json")["profilename"].asString(), "renamed");
}

}  // namespace
}  // namespace rerov
