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
#include <memory>
#include <optional>
#include <regex>
#include <set>

#include "json_file_io.h"
#include "profile_list_watcher.h"
#include "profile_store.h"

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

}  // namespace
