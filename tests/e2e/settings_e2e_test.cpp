// The settings and update window in the real rerov-ever: opened with its caption button
// and from the channel, the connected keyboard's version in its list, and an updater's
// relay messages through rerovctl, malformed ones refused while the program goes on.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include "tests/e2e/e2e_support.h"

namespace rerov::e2e {
namespace {

std::string Text(const RunOutcome& run) { return (run.out + run.err).toStdString(); }

class SettingsE2eTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(sandbox_.IsValid()); }

    RunOutcome Ctl(const QStringList& arguments) { return Rerovctl(sandbox_, arguments); }

    // The rows of "app ui list --json" that belong to the settings window.
    QJsonArray SettingsControls() {
        const RunOutcome run = Ctl({"app", "ui", "list", "--json"});
        EXPECT_EQ(run.exitCode, 0) << Text(run);
        QJsonArray rows;
        for (const QJsonValue& row : QJsonDocument::fromJson(run.out.toUtf8()).array()) {
            if (row.toObject().value("window").toString() == "SetWnd") rows.append(row);
        }
        return rows;
    }
    // The rows of a name; controls that share it are listed as "name#0", "name#1", ...
    static QJsonArray Named(const QJsonArray& rows, const QString& name) {
        QJsonArray named;
        for (const QJsonValue& row : rows) {
            const QString listed = row.toObject().value("name").toString();
            if (listed == name || listed.section('#', 0, 0) == name) named.append(row);
        }
        return named;
    }

    Sandbox sandbox_;
};

TEST_F(SettingsE2eTest, SetbtnOpensTheWindowWithTheKeyboardsVersionAndARelayClosesIt) {
    auto program = StartWithKeyboardReady(sandbox_, {"--simulate=keyboard"});
    ASSERT_NE(program, nullptr);
    // No window yet: the relay is answered and changes nothing.
    RunOutcome run = Ctl({"app", "relay", "4", "50"});
    EXPECT_EQ(run.exitCode, 0) << Text(run);
    EXPECT_TRUE(run.out.contains("no settings window")) << Text(run);

    run = Ctl({"app", "ui", "click", "setbtn"});
    ASSERT_EQ(run.exitCode, 0) << Text(run);
    const QJsonArray rows = SettingsControls();
    for (const char* name : {"Language_combox_info", "device_update_list_info", "closebtn",
                             "update_tishi_layout", "Update_Status_text"}) {
        EXPECT_EQ(Named(rows, QLatin1String(name)).size(), 1) << name;
    }
    // The keyboard (the simulator's version 1.05) and the program: two rows.
    const QJsonArray revisions = Named(rows, "OldRev");
    ASSERT_EQ(revisions.size(), 2) << QJsonDocument(rows).toJson().constData();
    EXPECT_EQ(revisions[0].toObject().value("text").toString(), "V1.0.5");
    EXPECT_EQ(Named(rows, "check_name_select").size(), 2);
    // The first open stored its date.
    const QString dataHome = sandbox_.Environment().value("XDG_DATA_HOME");
    bool stored = false;
    for (const QString& folder : QDir(dataHome).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        stored = stored || QFile::exists(dataHome + "/" + folder + "/updatetime.config");
    }
    EXPECT_TRUE(stored) << "no updatetime.config under " << dataHome.toStdString();

    // Malformed relays are refused and leave the window as it is.
    for (const QStringList& bad :
         {QStringList{"app", "relay", "9"}, QStringList{"app", "relay", "0", "1"}}) {
        run = Ctl(bad);
        EXPECT_NE(run.exitCode, 0) << bad.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("unknown relay code")) << Text(run);
    }
    for (const QStringList& bad :
         {QStringList{"app", "relay", "abc"}, QStringList{"app", "relay", "4", "12.5"},
          QStringList{"app", "relay", "4", "99999999999"}, QStringList{"app", "relay"}}) {
        run = Ctl(bad);
        EXPECT_EQ(run.exitCode, 2) << bad.join(' ').toStdString() << ": " << Text(run);
    }
    EXPECT_EQ(Named(SettingsControls(), "Language_combox_info").size(), 1);

    // No update runs: the window takes the message and closes after it.
    run = Ctl({"app", "relay", "4", "30"});
    EXPECT_EQ(run.exitCode, 0) << Text(run);
    EXPECT_TRUE(run.out.contains("the settings window closed")) << Text(run);
    EXPECT_TRUE(SettingsControls().isEmpty());
    EXPECT_EQ(Ctl({"app", "state"}).exitCode, 0);
}

TEST_F(SettingsE2eTest, TheChannelOpensTheWindowWithoutTheUnpluggedKeyboardAndOnlyOnce) {
    auto program = StartWithKeyboardReady(sandbox_, {"--simulate"});
    ASSERT_NE(program, nullptr);
    // The keyboard goes: its row is left out of the next window.
    RunOutcome run = Ctl({"sim", "unplug", "keyboard"});
    ASSERT_EQ(run.exitCode, 0) << Text(run);
    QJsonObject last;
    ASSERT_TRUE(program->WaitForState(
        [](const QJsonObject& s) { return !Entry(s, "keyboard").value("connected").toBool(true); },
        &last));
    run = Ctl({"app", "settings"});
    ASSERT_EQ(run.exitCode, 0) << Text(run);
    EXPECT_EQ(Named(SettingsControls(), "Language_combox_info").size(), 1);
    run = Ctl({"app", "settings"});
    EXPECT_EQ(run.exitCode, 0) << Text(run);
    EXPECT_EQ(Named(SettingsControls(), "Language_combox_info").size(), 1) << "still one window";
    // Without a device the program's own row is the only one.
    EXPECT_EQ(Named(SettingsControls(), "OldRev").size(), 1);
    run = Ctl({"app", "ui", "click", "closebtn"});
    EXPECT_EQ(run.exitCode, 0) << Text(run);
    EXPECT_TRUE(SettingsControls().isEmpty());
}

}  // namespace
}  // namespace rerov::e2e
