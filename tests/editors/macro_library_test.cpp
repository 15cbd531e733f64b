// The macro list and files: naming rules, list operations, step files, imports, and what
// hostile list and macro files do (nothing outside the folder, never a crash).

#include "editors/macro/macro_library.h"

#include <gtest/gtest.h>
#include <json/reader.h>

#include <QTemporaryDir>
#include <fstream>
#include <iterator>

#include "profiles/json_file_io.h"

namespace rerov::editors {
namespace {

class MacroLibraryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        root_ = dir_.path().toStdString();
        folder_ = root_ / "keyboard";
        std::filesystem::create_directories(folder_);
    }
    static std::string Read(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void Write(const std::filesystem::path& path, const std::string& text) {
        std::ofstream out(path, std::ios::binary);
        out << text;
    }
    static Json::Value Parse(const std::string& text) {
        Json::Value value;
        Json::Reader().parse(text, value);
        return value;
    }
    // A list of macros with the given names, each with a Guid of its own.
    MacroLibrary WithNames(const std::vector<std::string>& names) {
        Json::Value list(Json::objectValue);
        for (std::size_t i = 0; i < names.size(); ++i) {
            Json::Value element;
            element["MacroName"] = names[i];
            element["Guid"] = "g" + std::to_string(i);
            list["MacroInfo"].append(element);
        }
        EXPECT_TRUE(JsonFileIO::WriteJsonFile(folder_ / kMacroListFileName, list));
        return MacroLibrary(folder_);
    }

    QTemporaryDir dir_;
    std::filesystem::path root_;
    std::filesystem::path folder_;
};

struct NamingCase {
    std::vector<std::string> existing;
    std::string added;
};

class AddNamingTest : public MacroLibraryTest, public ::testing::WithParamInterface<NamingCase> {};

TEST_P(AddNamingTest, TakesTheLowestFreeNumber) {
    MacroLibrary library = WithNames(GetParam().existing);
    std::string name;
    int index = -1;
    ASSERT_EQ(library.Add(&name, &index), MacroResult::Ok);
    EXPECT_EQ(name, GetParam().added);
    EXPECT_EQ(index, static_cast<int>(GetParam().existing.size()));
    // The list file holds it too, with a Guid that is a plain file name.
    MacroLibrary reread(folder_);
    ASSERT_EQ(reread.Count(), index + 1);
    EXPECT_EQ(reread.Macros().back().name, GetParam().added);
    EXPECT_FALSE(reread.Macros().back().guid.empty());
}

INSTANTIATE_TEST_SUITE_P(Names, AddNamingTest,
                         ::testing::Values(NamingCase{{}, "macro_1"},
                                           NamingCase{{"macro_1", "Macro_3"}, "macro_2"},
                                           NamingCase{{"macro_1", "macro_2"}, "macro_3"},
                                           NamingCase{{"MACRO_1"}, "macro_2"}));

TEST_F(MacroLibraryTest, AddStopsAtFiftyMacros) {
    std::vector<std::string> names;
    for (int i = 0; i < kMaxMacros; ++i) names.push_back("m" + std::to_string(i));
    MacroLibrary library = WithNames(names);
    const std::string before = Read(folder_ / kMacroListFileName);
    EXPECT_EQ(library.Add(), MacroResult::ListFull);
    EXPECT_EQ(library.Import(folder_ / "nothing.mac"), MacroResult::ListFull);
    EXPECT_EQ(Read(folder_ / kMacroListFileName), before);
}

TEST_F(MacroLibraryTest, RenameRefusesBlankAndTakenNamesIgnoringCase) {
    MacroLibrary library = WithNames({"jump", "run"});
    EXPECT_EQ(library.Rename(0, "JUMP"), MacroResult::NameTaken);
    EXPECT_EQ(library.Rename(0, "Run"), MacroResult::NameTaken);
    EXPECT_EQ(library.Rename(0, "   "), MacroResult::NameEmpty);
    EXPECT_EQ(library.Rename(5, "x"), MacroResult::NoSuchMacro);
    EXPECT_EQ(library.Rename(0, "  leap "), MacroResult::Ok);
    EXPECT_EQ(MacroLibrary(folder_).Names(), (std::vector<std::string>{"leap", "run"}));
}

TEST_F(MacroLibraryTest, StepsRoundTripWithDelaysAsStrings) {
    MacroLibrary library(folder_);
    ASSERT_EQ(library.Add(), MacroResult::Ok);
    const std::vector<MacroEvent> steps{{kStepKey, 0x04, true, 0},
                                        {kStepKey, 0x04, false, 50},
                                        {kStepMouseButton, 0x10, true, 70000}};
    ASSERT_EQ(library.WriteSteps(0, steps), MacroResult::Ok);
    const Json::Value file = Parse(Read(library.MacroPath(0)));
    EXPECT_EQ(file["Version"].asInt(), kMacroFileVersion);
    EXPECT_EQ(file["MacroName"].asString(), "macro_1");
    EXPECT_EQ(file["Guid"].asString(), library.Macros()[0].guid);
    ASSERT_EQ(file["Events"].size(), 3u);
    EXPECT_TRUE(file["Events"][0]["Delay"].isString());
    EXPECT_EQ(file["Events"][0]["Delay"].asString(), "0");
    EXPECT_EQ(file["Events"][1]["Delay"].asString(), "50");
    EXPECT_EQ(file["Events"][1]["Action"].asString(), "up");
    EXPECT_EQ(file["Events"][2]["Delay"].asString(), "65535");
    std::vector<MacroEvent> expected = steps;
    expected[2].delay = kMaxStepDelay;
    EXPECT_EQ(library.ReadSteps(0), expected);
}

TEST_F(MacroLibraryTest, RemoveDropsTheRowAndTheFile) {
    MacroLibrary library(folder_);
    ASSERT_EQ(library.Add(), MacroResult::Ok);
    ASSERT_EQ(library.Add(), MacroResult::Ok);
    ASSERT_EQ(library.WriteSteps(0, {{kStepKey, 4, true, 0}}), MacroResult::Ok);
    const std::filesystem::path first = library.MacroPath(0);
    ASSERT_TRUE(std::filesystem::exists(first));
    ASSERT_EQ(library.Remove(0), MacroResult::Ok);
    EXPECT_FALSE(std::filesystem::exists(first));
    EXPECT_EQ(MacroLibrary(folder_).Names(), (std::vector<std::string>{"macro_2"}));
    EXPECT_EQ(library.Remove(3), MacroResult::NoSuchMacro);
}

TEST_F(MacroLibraryTest, ImportingOneFileThreeTimesExtendsItsName) {
    const std::filesystem::path source = root_ / "jump.mac";
    const std::string content = R"({"Events":[{"Action":"down","Button":4,"Delay":"0","Type":10}],)"
                                R"("Guid":"source-guid","MacroName":"Original","Version":64})";
    Write(source, content);
    MacroLibrary library(folder_);
    std::vector<std::string> names;
    for (int i = 0; i < 3; ++i) {
        std::string name;
        ASSERT_EQ(library.Import(source, &name), MacroResult::Ok);
        names.push_back(name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"jump", "jump_1", "jump_1_2"}));
    // The copy keeps the source's bytes, its inner name and Guid included.
    EXPECT_EQ(Read(library.MacroPath(2)), content);
    EXPECT_EQ(library.ReadSteps(2).size(), 1u);
}

TEST_F(MacroLibraryTest, ImportRefusesWhatIsNotAMacroFile) {
    MacroLibrary library(folder_);
    const std::pair<const char*, const char*> cases[] = {
        {"text.mac", "hello"},
        {"array.mac", "[1,2,3]"},
        {"noevents.mac", R"({"MacroName":"x"})"},
        {"eventsobject.mac", R"({"Events":{"a":1}})"},
        {"empty.mac", ""},
    };
    for (const auto& [name, text] : cases) {
        Write(root_ / name, text);
        EXPECT_EQ(library.Import(root_ / name), MacroResult::NotAMacroFile) << name;
    }
    EXPECT_EQ(library.Import(root_ / "missing.mac"), MacroResult::ReadFailed);
    EXPECT_EQ(MacroLibrary(folder_).Count(), 0);
    // Nothing was copied into the folder.
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder_)) ++files;
    EXPECT_EQ(files, 0);
}

TEST_F(MacroLibraryTest, ExportCopiesTheFileByteForByte) {
    MacroLibrary library(folder_);
    ASSERT_EQ(library.Add(), MacroResult::Ok);
    EXPECT_EQ(library.Export(0, root_ / "out.mac"), MacroResult::NoFile);
    ASSERT_EQ(library.WriteSteps(0, {{kStepModifier, 0x02, true, 10}}), MacroResult::Ok);
    ASSERT_EQ(library.Export(0, root_ / "out.mac"), MacroResult::Ok);
    EXPECT_EQ(Read(root_ / "out.mac"), Read(library.MacroPath(0)));
}

TEST_F(MacroLibraryTest, HostileGuidsNeverBecomePaths) {
    Write(folder_ / kMacroListFileName,
          R"({"MacroInfo":[{"MacroName":"up","Guid":"../../escape"},)"
          R"({"MacroName":"abs","Guid":"/etc/passwd"},{"MacroName":"num","Guid":5},)"
          R"({"MacroName":"ok","Guid":"fine"}]})");
    MacroLibrary library(folder_);
    ASSERT_EQ(library.Count(), 4) << "rows keep their places for the assignments";
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(library.MacroPath(i).empty()) << i;
        EXPECT_EQ(library.WriteSteps(i, {{kStepKey, 4, true, 0}}), MacroResult::NoFile) << i;
        EXPECT_EQ(library.Export(i, root_ / "x.mac"), MacroResult::NoFile) << i;
    }
    EXPECT_EQ(library.MacroPath(3), folder_ / "fine.mac");
    EXPECT_FALSE(std::filesystem::exists(root_ / "escape.mac"));
    // Removing a row with a hostile Guid removes no file anywhere.
    Write(root_ / "escape.mac", "keep");
    ASSERT_EQ(library.Remove(0), MacroResult::Ok);
    EXPECT_EQ(Read(root_ / "escape.mac"), "keep");
}

TEST_F(MacroLibraryTest, MalformedListFilesReadAsEmpty) {
    for (const char* text : {"", "not json", "[]", R"({"MacroInfo":7})", R"({"MacroInfo":{}})"}) {
        Write(folder_ / kMacroListFileName, text);
        EXPECT_EQ(MacroLibrary(folder_).Count(), 0) << text;
    }
    Write(folder_ / kMacroListFileName, R"({"MacroInfo":[7,"x",null,{"MacroName":3}]})");
    MacroLibrary library(folder_);
    EXPECT_EQ(library.Count(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(library.MacroPath(i).empty());
}

TEST_F(MacroLibraryTest, StepsThatDoNotParseAreLeftOut) {
    Write(folder_ / kMacroListFileName, R"({"MacroInfo":[{"MacroName":"m","Guid":"m"}]})");
    Write(folder_ / "m.mac",
          R"({"Events":[{"Type":10,"Button":4,"Action":"down","Delay":"5"},)"
          R"({"Type":77,"Button":4,"Action":"down","Delay":"5"},)"
          R"({"Type":10,"Button":"x","Action":"down","Delay":"5"},)"
          R"({"Type":10,"Button":999,"Action":"down","Delay":"5"},)"
          R"({"Type":1,"Button":1,"Action":"up","Delay":"-40"},)"
          R"({"Type":1,"Button":1,"Action":"up","Delay":"99999999999999999999"},)"
          R"(17,null],"Version":64})");
    MacroLibrary library(folder_);
    const std::vector<MacroEvent> steps = library.ReadSteps(0);
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[0], (MacroEvent{kStepKey, 4, true, 5}));
    EXPECT_EQ(steps[1].delay, 0);
    EXPECT_EQ(steps[2].delay, kMaxStepDelay);
}

TEST_F(MacroLibraryTest, ReadingStopsAtTheStepLimit) {
    Write(folder_ / kMacroListFileName, R"({"MacroInfo":[{"MacroName":"m","Guid":"m"}]})");
    std::string events;
    for (int i = 0; i < kMaxMacroSteps + 10; ++i) {
        events +=
            std::string(i ? "," : "") + R"({"Type":10,"Button":4,"Action":"down","Delay":"1"})";
    }
    Write(folder_ / "m.mac", R"({"Events":[)" + events + "]}");
    EXPECT_EQ(MacroLibrary(folder_).ReadSteps(0).size(), static_cast<std::size_t>(kMaxMacroSteps));
}

TEST_F(MacroLibraryTest, UnknownListMembersSurviveAChange) {
    Write(folder_ / kMacroListFileName, R"({"Extra":{"keep":1},"MacroInfo":[]})");
    MacroLibrary library(folder_);
    ASSERT_EQ(library.Add(), MacroResult::Ok);
    EXPECT_EQ(Parse(Read(folder_ / kMacroListFileName))["Extra"]["keep"].asInt(), 1);
}

}  // namespace
}  // namespace rerov::editors
