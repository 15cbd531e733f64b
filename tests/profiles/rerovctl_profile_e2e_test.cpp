// The built rerovctl, run as a user would, on a private user data folder.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <json/reader.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <regex>
#include <set>

#include "profiles/json_file_io.h"
#include "profiles/keyboard_profile_data.h"
#include "profiles/profile_folders.h"
#include "profiles/profile_list_watcher.h"
#include "profiles/profile_store.h"

namespace {

using ::testing::HasSubstr;

struct Result {
    int status;
    std::string out;
    std::string err;
};

class RerovctlProfileTest : public ::testing::Test {
  protected:
    void Start(QProcess& process, const QStringList& args) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", dir_.path());
        env.remove("REROV_DEFAULT_DATA");  // the factory data beside the program is used
        process.setProcessEnvironment(env);
        process.start(REROVCTL_PATH, QStringList{"profile"} + args);
    }
    static Result Finish(QProcess& process) {
        EXPECT_TRUE(process.waitForFinished(60000));  // generous: the machine is shared
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                process.readAllStandardOutput().toStdString(),
                process.readAllStandardError().toStdString()};
    }
    Result Execute(const QStringList& args) {
        QProcess process;
        Start(process, args);
        return Finish(process);
    }
    std::filesystem::path FamilyFolder(const std::string& family) const {
        return std::filesystem::path(dir_.path().toStdString()) / "REROV ER60 EVER" / family;
    }
    std::filesystem::path WriteFile(const std::string& name, const std::string& text) {
        const std::filesystem::path path = std::filesystem::path(dir_.path().toStdString()) / name;
        std::ofstream out(path, std::ios::binary);
        out << text;
        out.close();
        EXPECT_TRUE(out) << path;
        return path;
    }
    std::filesystem::path KeyboardFolder() const {
        return std::filesystem::path(dir_.path().toStdString()) / rerov::kProductFolderName /
               rerov::kFamilyNameKeyboard;
    }
    QTemporaryDir dir_;
};

TEST_F(RerovctlProfileTest, FirstStartListsProfile1FromTheShippedDefault) {
    ASSERT_TRUE(dir_.isValid());
    const Result run = Execute({"keyboard", "list"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(std::regex_match(run.out, std::regex("\\* 0\tProfile1\t[0-9_]+\n"))) << run.out;
}

TEST_F(RerovctlProfileTest, AddSelectAndJsonList) {
    ASSERT_EQ(Execute({"HD", "add"}).status, 0);
    ASSERT_EQ(Execute({"HD", "select", "0"}).status, 0);
    const Result run = Execute({"HD", "list", "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    Json::Value root;
    Json::CharReaderBuilder builder;
    std::string errors;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    ASSERT_TRUE(reader->parse(run.out.data(), run.out.data() + run.out.size(), &root, &errors));
    ASSERT_EQ(root["profiles"].size(), 2u);
    EXPECT_EQ(root["profiles"][1]["name"].asString(), "profile2");
    EXPECT_EQ(root["selected"].asInt(), 0);
}

TEST_F(RerovctlProfileTest, RefusalsAndUsageErrorsHaveTheirExitStatus) {
    const Result last = Execute({"MousePad", "delete"});
    EXPECT_EQ(last.status, 1);
    EXPECT_THAT(last.err, HasSubstr("last profile"));
    const Result usage = Execute({"MousePad", "select", "x"});
    EXPECT_EQ(usage.status, 2);
    EXPECT_THAT(usage.err, HasSubstr("usage"));
}

TEST_F(RerovctlProfileTest, ParallelAddsAreAllKeptAndLeaveNoOrphanFile) {
    constexpr int kProcesses = 8;
    std::vector<std::unique_ptr<QProcess>> processes;
    for (int i = 0; i < kProcesses; ++i) {
        processes.push_back(std::make_unique<QProcess>());
        Start(*processes.back(), {"keyboard", "add"});
    }
    for (auto& process : processes) {
        const Result run = Finish(*process);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_THAT(run.out, HasSubstr("added")) << run.err;
    }
    const std::filesystem::path folder = FamilyFolder("keyboard");
    const Json::Value list = rerov::JsonFileIO::ReadJsonFile(folder / "ProfileList.ini");
    ASSERT_EQ(list["profilelist"].size(), 1u + kProcesses);
    std::set<std::string> names;
    std::set<std::string> listed;
    for (const Json::Value& entry : list["profilelist"]) {
        names.insert(entry["profilename"].asString());
        listed.insert(entry["profileUUID"].asString() + ".Json");
    }
    EXPECT_EQ(names,
              (std::set<std::string>{"Profile1", "profile2", "profile3", "profile4", "profile5",
                                     "profile6", "profile7", "profile8", "profile9"}));
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() == ".Json") files.insert(name);
    }
    EXPECT_EQ(files, listed);
}

TEST_F(RerovctlProfileTest, TheRunningProgramNoticesAnAddByRerovctl) {
    int argc = 1;
    char name[] = "watcher";
    char* argv[] = {name};
    QCoreApplication app(argc, argv);
    ASSERT_EQ(Execute({"keyboard", "list"}).status, 0);
    rerov::ProfileStore store(1, FamilyFolder("keyboard"), {});
    ASSERT_EQ(store.Build(), rerov::StoreResult::Ok);
    std::optional<rerov::RefreshResult> reported;
    rerov::ProfileListWatcher watcher(store, [&reported](rerov::RefreshResult r) { reported = r; });

    const Result run = Execute({"keyboard", "add"});
    ASSERT_EQ(run.status, 0) << run.err;
    QElapsedTimer clock;
    clock.start();
    while (!reported && clock.elapsed() < 20000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    ASSERT_TRUE(reported.has_value());
    EXPECT_EQ(*reported, rerov::RefreshResult::ListChanged);
    EXPECT_EQ(store.Names(), (std::vector<std::string>{"Profile1", "profile2"}));
    EXPECT_EQ(store.Selected(), 0);
}

// A profile shared by someone else, with sections of the wrong JSON type: it imports, and the
// profile then takes a settings change through the keyboard's profile data and saves it.
TEST_F(RerovctlProfileTest, ProfileWithBrokenSectionsImportsAndTakesASettingsChange) {
    ASSERT_TRUE(dir_.isValid());
    const auto source = WriteFile("Shared.json", R"({"profilename": "x", "profileUUID": "y",
        "Device": [{"SystemStages": "x", "CustomLightMode": [1, 2], "KeyList": 5,
                    "LightInfo": {"SelectItem": 5}}]})");
    ASSERT_EQ(Execute({"keyboard", "list"}).status, 0);
    const Result imported = Execute({"keyboard", "import", QString::fromStdString(source)});
    ASSERT_EQ(imported.status, 0) << imported.err;
    ASSERT_EQ(Execute({"keyboard", "select", "1"}).status, 0);
    const Result list = Execute({"keyboard", "list"});
    std::smatch match;
    ASSERT_TRUE(std::regex_search(list.out, match, std::regex("\\* 1\tShared\t([0-9_]+)\n")))
        << list.out;
    const auto profile = KeyboardFolder() / (match[1].str() + ".Json");

    const rerov::KeyboardSystemSettings settings{{rerov::PackHalves(30, 2), 1, 0}};
    const std::vector<rerov::KeyColor> colors{{1, 2, 3, 4}};
    rerov::CKeyboardProfiledata data;
    data.SetProfilePath(profile);
    ASSERT_NO_THROW({
        ASSERT_TRUE(data.LoadProfile(profile).isObject());
        data.WriteKeyboardSystem(settings);
        data.WriteCustomGroupIndex(1);
        ASSERT_TRUE(data.WriteKeyColors(colors, 1));
        data.WriteKeyList(std::vector<rerov::KeyEntry>(2));
        ASSERT_TRUE(data.Save());
    });

    rerov::CKeyboardProfiledata reread;
    reread.LoadProfile(profile);
    EXPECT_EQ(reread.ReadKeyboardSystem(), settings);
    EXPECT_EQ(reread.ReadCustomGroupIndex(), 1);
    EXPECT_EQ(reread.ReadKeyColors(1, 1), colors);
    EXPECT_EQ(reread.ReadLightInfo().bytes[rerov::LightSetting::kMode], 5) << "kept";
    const Result exported = Execute({"keyboard", "export", dir_.filePath("out.json")});
    EXPECT_EQ(exported.status, 0) << exported.err;
}

TEST_F(RerovctlProfileTest, ImportOfADeviceSectionThatHoldsNoProfilesIsRefused) {
    ASSERT_TRUE(dir_.isValid());
    ASSERT_EQ(Execute({"keyboard", "list"}).status, 0);
    for (const char* device : {R"("x")", R"({"0": {}})", "[5]", R"([{}, "x"])"}) {
        const auto source = WriteFile(
            "Odd.json",
            std::string(R"({"profilename": "x", "profileUUID": "y", "Device": )") + device + "}");
        const Result run = Execute({"keyboard", "import", QString::fromStdString(source)});
        EXPECT_EQ(run.status, 1) << device;
        EXPECT_THAT(run.err, HasSubstr("not a profile")) << device;
    }
    const Result list = Execute({"keyboard", "list"});
    EXPECT_TRUE(std::regex_match(list.out, std::regex("\\* 0\tProfile1\t[0-9_]+\n"))) << list.out;
}

}  // namespace
