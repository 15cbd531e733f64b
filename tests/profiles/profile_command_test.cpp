#include "cli/profile_command.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <optional>
#include <regex>

#include "tests/profiles/test_support.h"

namespace rerov {
namespace {

using test::ParseJson;
using test::TempFolderTest;
using ::testing::HasSubstr;

struct CommandRun {
    int status;
    std::string out;
    std::string err;
};

class ProfileCommandTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        factoryData_.emplace("REROV_DEFAULT_DATA", REROV_RUNTIME_DEFAULT_DATA);
    }

    static CommandRun Profile(const std::vector<std::string>& args) {
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        const int status = RunProfileCommand(args);
        CommandRun run{status, ::testing::internal::GetCapturedStdout(),
                       ::testing::internal::GetCapturedStderr()};
        return run;
    }
    std::filesystem::path Folder(const std::string& family) const {
        return Root() / "userdata" / "REROV ER60 EVER" / family;
    }

  private:
    std::optional<test::ScopedEnvironment> factoryData_;
};

TEST_F(ProfileCommandTest, ListOnFirstStartCreatesProfile1) {
    const CommandRun run = Profile({"keyboard", "list"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(std::regex_match(run.out, std::regex("\\* 0\tProfile1\t[0-9_]+\n"))) << run.out;
    const Json::Value list = JsonFileIO::ReadJsonFile(Folder("keyboard") / "ProfileList.ini");
    const std::string uuid = list["profilelist"][0]["profileUUID"].asString();
    const Json::Value profile = JsonFileIO::ReadJsonFile(Folder("keyboard") / (uuid + ".Json"));
    EXPECT_EQ(profile["Device"][0]["KeyList"].size(), 170u) << "made from the factory keyboard";
}

TEST_F(ProfileCommandTest, CommandsActOnTheStoreLikeTheProfileBar) {
    ASSERT_EQ(Profile({"mouse", "add"}).status, 0);
    ASSERT_EQ(Profile({"mouse", "select", "1"}).status, 0);
    ASSERT_EQ(Profile({"mouse", "rename", "Aim"}).status, 0);
    ASSERT_EQ(Profile({"mouse", "copy"}).status, 0);
    const auto exported = Root() / "aim.json";
    ASSERT_EQ(Profile({"mouse", "export", exported.string()}).status, 0);
    ASSERT_EQ(Profile({"mouse", "import", exported.string()}).status, 0);
    ASSERT_EQ(Profile({"mouse", "reset"}).status, 0);

    const CommandRun list = Profile({"mouse", "list", "--json"});
    ASSERT_EQ(list.status, 0);
    const Json::Value root = ParseJson(list.out);
    std::vector<std::string> names;
    for (const Json::Value& p : root["profiles"]) names.push_back(p["name"].asString());
    EXPECT_THAT(names, ::testing::ElementsAre("Profile1", "Aim", "Aim copy", "aim(1)"));
    EXPECT_EQ(root["selected"].asInt(), 1);
    EXPECT_TRUE(root["profiles"][1]["selected"].asBool());

    ASSERT_EQ(Profile({"mouse", "delete"}).status, 0);
    const CommandRun after = Profile({"mouse", "list"});
    EXPECT_THAT(after.out, HasSubstr("* 0\tProfile1"));
    EXPECT_THAT(after.out, ::testing::Not(HasSubstr("\tAim\t")));
}

struct RefusalCase {
    const char* label;
    std::vector<std::string> args;
    int status;
    const char* message;
};

class ProfileCommandRefusal : public ProfileCommandTest,
                              public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(ProfileCommandRefusal, ExplainsOnStderrAndExitsWithItsStatus) {
    const CommandRun run = Profile(GetParam().args);
    EXPECT_EQ(run.status, GetParam().status);
    EXPECT_THAT(run.err, HasSubstr(GetParam().message));
    EXPECT_THAT(run.out, ::testing::IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileCommandRefusal,
    ::testing::Values(
        RefusalCase{"delete_last", {"HD", "delete"}, 1, "last profile"},
        RefusalCase{"rename_blank", {"keyboard", "rename", "  "}, 1, "blank"},
        RefusalCase{
            "import_missing", {"keyboard", "import", "/nonexistent/x.json"}, 1, "cannot be read"},
        RefusalCase{
            "select_out_of_range", {"keyboard", "select", "5"}, 1, "no profile at that index"},
        RefusalCase{"no_arguments", {}, 2, "usage"},
        RefusalCase{"family_only", {"keyboard"}, 2, "usage"},
        RefusalCase{"unknown_family", {"toaster", "list"}, 2, "unknown family"},
        RefusalCase{"family_case_matters", {"Keyboard", "list"}, 2, "unknown family"},
        RefusalCase{"unknown_command", {"mouse", "explode"}, 2, "unknown command"},
        RefusalCase{"select_without_index", {"mouse", "select"}, 2, "exactly one argument"},
        RefusalCase{"select_not_a_number", {"mouse", "select", "two"}, 2, "profile index"},
        RefusalCase{"select_trailing_junk", {"mouse", "select", "1x"}, 2, "profile index"},
        RefusalCase{"add_with_argument", {"mouse", "add", "x"}, 2, "takes no argument"},
        RefusalCase{"list_bad_flag", {"mouse", "list", "--xml"}, 2, "takes no argument"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(ProfileCommandTest, RenameToAnotherProfilesNameIsRefused) {
    ASSERT_EQ(Profile({"keyboard", "add"}).status, 0);  // the new profile is selected next time
    const CommandRun run = Profile({"keyboard", "rename", "PROFILE1"});
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, HasSubstr("already has that name"));
}

TEST_F(ProfileCommandTest, ListKeepsOneLinePerProfileWhateverTheName) {
    ASSERT_EQ(Profile({"keyboard", "rename", "two\nlines\tand tab"}).status, 0);
    const CommandRun run = Profile({"keyboard", "list"});
    EXPECT_THAT(run.out, HasSubstr("* 0\ttwo?lines?and tab\t"));
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1);
    const CommandRun json = Profile({"keyboard", "list", "--json"});
    EXPECT_EQ(ParseJson(json.out)["profiles"][0]["name"].asString(), "two\nlines\tand tab");
}

TEST_F(ProfileCommandTest, AddStopsAtTheLimit) {
    for (int i = 1; i < 50; ++i) ASSERT_EQ(Profile({"MousePad", "add"}).status, 0) << i;
    const CommandRun run = Profile({"MousePad", "add"});
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, HasSubstr("limit"));
}

TEST_F(ProfileCommandTest, InvalidImportSaysWhy) {
    const auto source = Root() / "array.json";
    WriteText(source, "[1, 2]");
    const CommandRun run = Profile({"keyboard", "import", source.string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, HasSubstr("not a profile"));
}

}  // namespace
}  // namespace rerov
