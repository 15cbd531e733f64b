// The built rerovctl, run as a user would, on a private user data folder.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <json/reader.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <memory>
#include <regex>

namespace {

using ::testing::HasSubstr;

struct Result {
    int status;
    std::string out;
    std::string err;
};

class RerovctlProfileTest : public ::testing::Test {
  protected:
    Result Execute(const QStringList& args) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", dir_.path());
        env.remove("REROV_DEFAULT_DATA");  // the factory data beside the program is used
        process.setProcessEnvironment(env);
        process.start(REROVCTL_PATH, QStringList{"profile"} + args);
        EXPECT_TRUE(process.waitForFinished(60000));  // generous: the machine is shared
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                process.readAllStandardOutput().toStdString(),
                process.readAllStandardError().toStdString()};
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

}  // namespace
