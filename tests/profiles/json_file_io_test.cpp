#include "profiles/json_file_io.h"

#include <gmock/gmock.h>
#if defined(__unix__)
#include <sys/resource.h>
#endif

#include <csignal>
#include <regex>
#include <set>

#include "profiles/plain_file_name.h"
#include "tests/profiles/test_support.h"

namespace rerov {
namespace {

using test::TempFolderTest;

class JsonFileIOTest : public TempFolderTest {};

TEST_F(JsonFileIOTest, WrittenDocumentReadsBackWithUtf8TextAndEndsWithLineEnd) {
    Json::Value document(Json::objectValue);
    document["profilename"] = "Gäming 游戏";
    document["Device"][0]["LightInfo"]["Red"] = 255;
    const auto path = Root() / "p.Json";
    ASSERT_TRUE(JsonFileIO::WriteJsonFile(path, document));
    EXPECT_EQ(JsonFileIO::ReadJsonFile(path), document);
    const std::string text = ReadText(path);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    EXPECT_NE(text.find("Gäming 游戏"), std::string::npos) << "names stay readable UTF-8";
}

TEST_F(JsonFileIOTest, CommentsAreAllowedOnReading) {
    const auto path = Root() / "c.json";
    WriteText(path, "// header\n{ /* inline */ \"a\": 1, // trailing\n \"b\": [2] }\n");
    const Json::Value value = JsonFileIO::ReadJsonFile(path);
    EXPECT_EQ(value["a"].asInt(), 1);
    EXPECT_EQ(value["b"][0].asInt(), 2);
}

struct BadFileCase {
    const char* label;
    std::string content;  // empty with create=false means "no file"
    bool create;
};

class JsonFileIOBadInput : public JsonFileIOTest,
                           public ::testing::WithParamInterface<BadFileCase> {};

TEST_P(JsonFileIOBadInput, ReadsAsNull) {
    const auto path = Root() / "bad.json";
    if (GetParam().create) WriteText(path, GetParam().content);
    EXPECT_TRUE(JsonFileIO::ReadJsonFile(path).isNull());
}

INSTANTIATE_TEST_SUITE_P(
    Files, JsonFileIOBadInput,
    ::testing::Values(BadFileCase{"missing", "", false}, BadFileCase{"empty", "", true},
                      BadFileCase{"truncated", "{\"Device\": [ {\"LightInfo\": {", true},
                      BadFileCase{"garbage", "\x01\x02not json", true},
                      BadFileCase{"unterminated_string", "{\"a\": \"abc", true},
                      BadFileCase{"deep_nesting", std::string(100000, '['), true}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(JsonFileIOTest, FolderIsNotReadAsAFile) {
    std::filesystem::create_directories(Root() / "dir.json");
    EXPECT_TRUE(JsonFileIO::ReadJsonFile(Root() / "dir.json").isNull());
}

TEST_F(JsonFileIOTest, FileAboveTheLimitIsNotRead) {
    const auto path = Root() / "big.json";
    WriteText(path, "{\"a\": \"" + std::string(2000, 'x') + "\"}");
    EXPECT_TRUE(JsonFileIO::ReadJsonFile(path, 1000).isNull());
    EXPECT_FALSE(JsonFileIO::ReadJsonFile(path, 4000).isNull());
}

TEST_F(JsonFileIOTest, SuccessfulWriteReplacesTheFileAndLeavesNoTemporaryFile) {
    const auto path = Root() / "list.ini";
    WriteText(path, "old content that is longer than the new one ............");
    Json::Value document(Json::objectValue);
    document["x"] = 1;
    ASSERT_TRUE(JsonFileIO::WriteJsonFile(path, document));
    EXPECT_EQ(JsonFileIO::ReadJsonFile(path), document);
    EXPECT_EQ(FileNames(Root()), std::set<std::string>{"list.ini"});
}

TEST_F(JsonFileIOTest, WriteIntoAMissingFolderFailsAndCreatesNothing) {
    Json::Value document(Json::objectValue);
    EXPECT_FALSE(JsonFileIO::WriteJsonFile(Root() / "nofolder" / "a.json", document));
    EXPECT_FALSE(std::filesystem::exists(Root() / "nofolder"));
}

TEST_F(JsonFileIOTest, WriteOverAFolderFailsAndLeavesItAlone) {
    std::filesystem::create_directories(Root() / "target" / "inner");
    EXPECT_FALSE(JsonFileIO::WriteJsonFile(Root() / "target", Json::Value(1)));
    EXPECT_TRUE(std::filesystem::is_directory(Root() / "target" / "inner"));
    EXPECT_EQ(FileNames(Root()), std::set<std::string>{"target"});
}

#if defined(__unix__)
// A full disk, modelled by a file size limit: the write fails part-way, the previous file
// must stay byte for byte and no temporary file may be left behind.
TEST_F(JsonFileIOTest, FailingWriteKeepsThePreviousFileIntact) {
    const auto path = Root() / "profile.Json";
    Json::Value old(Json::objectValue);
    old["profilename"] = "keep me";
    ASSERT_TRUE(JsonFileIO::WriteJsonFile(path, old));
    const std::string before = ReadText(path);

    Json::Value big(Json::objectValue);
    big["blob"] = std::string(64 * 1024, 'x');

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool written = JsonFileIO::WriteJsonFile(path, big);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &saved), 0);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(ReadText(path), before);
    EXPECT_EQ(FileNames(Root()), std::set<std::string>{"profile.Json"});
}
#endif

TEST(MakeTimeStampName, HasTheDocumentedFormat) {
    const std::string name = JsonFileIO::MakeTimeStampName();
    EXPECT_TRUE(std::regex_match(name, std::regex(R"(\d{4}_\d{2}_\d{2}_\d{2}_\d{2}_\d{2}_\d{3})")))
        << name;
    EXPECT_TRUE(IsPlainFileName(name));
}

TEST(MakeTimeStampName, NeverRepeatsWithinOneProcessEvenInOneMillisecond) {
    std::set<std::string> names;
    constexpr int kCount = 3000;  // far more than fit in the milliseconds this loop takes
    for (int i = 0; i < kCount; ++i) names.insert(JsonFileIO::MakeTimeStampName());
    EXPECT_EQ(names.size(), static_cast<std::size_t>(kCount));
}

TEST(FileTitle, StripsFolderAndExtension) {
    const std::pair<const char*, const char*> cases[] = {
        {"/home/u/Game.json", "Game"},
        {"C:\\Users\\u\\Game.json", "Game"},
        {"Game.json", "Game"},
        {"Game", "Game"},
        {"dir.v2/My.Profile.json", "My.Profile"},
        {"/home/u/", ""},
        {"mixed\\a/b\\Name.JSON", "Name"},
    };
    for (const auto& [path, title] : cases) EXPECT_EQ(JsonFileIO::FileTitle(path), title) << path;
}

TEST(IsPlainFileName, AcceptsOnlyOneNameInsideAFolder) {
    const std::pair<std::string, bool> cases[] = {
        {"2026_12_10_02_33_01_123", true},
        {"my profile (1)", true},
        {"Ünïcødé", true},
        {"", false},
        {".", false},
        {"..", false},
        {"../evil", false},
        {"a/b", false},
        {"a\\b", false},
        {"/etc/passwd", false},
        {"C:evil", false},
        {std::string("nul\0byte", 8), false},
        {"line\nbreak", false},
        {std::string(201, 'a'), false},
    };
    for (const auto& [name, plain] : cases) EXPECT_EQ(IsPlainFileName(name), plain) << name;
}

}  // namespace
}  // namespace rerov
