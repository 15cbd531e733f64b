// The profile bar and the lighting editor of the real rerov-ever, driven with rerovctl app ui
// as a user drives them: every confirmation answered in the program's message box, and the
// profile files on disk checked after each step.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QThread>
#include <map>

#include "tests/e2e/e2e_support.h"

namespace rerov::e2e {
namespace {

std::string Text(const RunOutcome& run) { return (run.out + run.err).toStdString(); }

class ProfileLightE2e : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(sandbox_.IsValid());
        program_ = StartWithKeyboardReady(sandbox_, {"--simulate=keyboard"});
        ASSERT_TRUE(program_);
    }

    // Runs rerovctl app ui with `arguments`; the step must succeed.
    void Ui(const QStringList& arguments) { UiStep(sandbox_, arguments); }

    // The rows of "app ui list --json".
    QJsonArray Controls() { return UiControls(sandbox_); }

    // The row of control `name` in window `window`. Every device page has the editors, so
    // the main window lists their controls once per page ("name#K", in family order mouse,
    // keyboard, mouse pad): the keyboard's is "name#1".
    QJsonObject Row(const QString& window, const QString& name) {
        const QJsonArray rows = Controls();
        for (const QString& listed : {name + "#1", name}) {
            for (const QJsonValue& row : rows) {
                const QJsonObject o = row.toObject();
                if (o.value("window").toString() == window &&
                    o.value("name").toString() == listed) {
                    return o;
                }
            }
        }
        return {};
    }

    QDir Folder() const {
        return QDir(sandbox_.Environment().value("XDG_DATA_HOME") + "/REROV ER60 EVER/keyboard");
    }

    static QJsonObject ReadObject(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) return {};
        return QJsonDocument::fromJson(file.readAll()).object();
    }

    QJsonObject List() const { return ReadObject(Folder().filePath("ProfileList.ini")); }

    QStringList Names() const {
        QStringList names;
        for (const QJsonValue& entry : List().value("profilelist").toArray()) {
            names << entry.toObject().value("profilename").toString();
        }
        return names;
    }

    // "LightInfo" of the selected profile's file.
    QJsonObject SelectedLight() const {
        const QJsonObject list = List();
        const QJsonArray entries = list.value("profilelist").toArray();
        const int selected = list.value("profileselect").toInt(-1);
        if (selected < 0 || selected >= entries.size()) return {};
        const QString uuid = entries.at(selected).toObject().value("profileUUID").toString();
        const QJsonObject profile = ReadObject(Folder().filePath(uuid + ".Json"));
        return profile.value("Device").toArray().at(0).toObject().value("LightInfo").toObject();
    }

    // Every file of the profile folder with its content.
    std::map<QString, QByteArray> Files() const {
        std::map<QString, QByteArray> files;
        for (const QString& name : Folder().entryList(QDir::Files | QDir::Hidden)) {
            QFile file(Folder().filePath(name));
            if (file.open(QIODevice::ReadOnly)) files[name] = file.readAll();
        }
        return files;
    }

    // The folder once the program has finished with it: the switch downloads the profile
    // after the selection is on disk, and the store's lock file comes and goes meanwhile.
    std::map<QString, QByteArray> SettledFiles() const {
        std::map<QString, QByteArray> last = Files();
        for (int i = 0; i < 100; ++i) {
            QThread::msleep(100);
            std::map<QString, QByteArray> now = Files();
            if (now == last && now.count(".ProfileList.lock") == 0) return now;
            last = std::move(now);
        }
        return last;
    }

    int ProfileFiles() const { return Folder().entryList({"*.Json"}, QDir::Files).size(); }

    // Clicks `command`, checks the message box it opens and answers it with `answer`.
    void AnswerPrompt(const char* command, const char* answer) {
        Ui({"click", command});
        const QJsonObject confirm = Row("MsgWnd", "confirm_btn");
        ASSERT_FALSE(confirm.isEmpty()) << command << " opened no message box";
        EXPECT_TRUE(confirm.value("visible").toBool());
        EXPECT_TRUE(Row("MsgWnd", "cancel_btn").value("visible").toBool());
        EXPECT_FALSE(Row("MsgWnd", "MessageText").value("text").toString().isEmpty());
        Ui({"click", answer});
        EXPECT_TRUE(Row("MsgWnd", "confirm_btn").isEmpty()) << "the box closed";
    }

    Sandbox sandbox_;
    std::unique_ptr<RunningProgram> program_;
};

TEST_F(ProfileLightE2e, ProfilesAreManagedFromTheBarAndTheFilesFollow) {
    ASSERT_EQ(Names(), QStringList{"Profile1"});
    ASSERT_EQ(ProfileFiles(), 1);
    Ui({"click", "profile_fun_spread_btn"});

    AnswerPrompt("device_add_btn", "confirm_btn");
    EXPECT_EQ(Names(), (QStringList{"Profile1", "profile2"}));
    EXPECT_EQ(ProfileFiles(), 2);

    AnswerPrompt("device_copy_btn", "confirm_btn");
    EXPECT_EQ(Names(), (QStringList{"Profile1", "profile2", "Profile1 copy"}));
    EXPECT_EQ(ProfileFiles(), 3);

    // Rename: type the name and press Enter in the edit.
    Ui({"text", "device_profile_name_edit", "Shooter"});
    EXPECT_EQ(Names(), (QStringList{"Shooter", "profile2", "Profile1 copy"}));

    // Switch: one pick in the combo becomes the selection on disk once the switch ran.
    Ui({"select", "device_profile_combo", "2"});
    for (int i = 0; i < 100 && List().value("profileselect").toInt() != 2; ++i) {
        QThread::msleep(50);
    }
    EXPECT_EQ(List().value("profileselect").toInt(), 2);

    // A declined delete leaves every file as it was.
    const auto before = SettledFiles();
    AnswerPrompt("device_sub_btn", "cancel_btn");
    EXPECT_EQ(Files(), before);

    AnswerPrompt("device_sub_btn", "confirm_btn");
    EXPECT_EQ(Names(), (QStringList{"Shooter", "profile2"}));
    EXPECT_EQ(ProfileFiles(), 2);
    EXPECT_EQ(List().value("profileselect").toInt(), 1);
}

TEST_F(ProfileLightE2e, TheMessageBoxIsAModalWindowOfItsOwn) {
    Ui({"click", "profile_fun_spread_btn"});
    Ui({"click", "device_add_btn"});
    // The main window is blocked while the box is open, and a screenshot shows the box.
    const RunOutcome blocked = Rerovctl(sandbox_, {"app", "ui", "click", "device_copy_btn"});
    EXPECT_EQ(blocked.exitCode, 1) << Text(blocked);
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const RunOutcome shot = Rerovctl(sandbox_, {"app", "screenshot", folder.filePath("box.png")});
    ASSERT_EQ(shot.exitCode, 0) << Text(shot);
    EXPECT_TRUE(shot.out.contains("of MsgWnd")) << Text(shot);
    const QImage image(folder.filePath("box.png"));
    EXPECT_EQ(image.width() * 210, image.height() * 420) << "the box's own proportions";
    Ui({"click", "closebtn"});
    EXPECT_EQ(Names(), QStringList{"Profile1"}) << "closing the box is no";
}

TEST_F(ProfileLightE2e, TheEditorsChangesReachTheProfileFile) {
    Ui({"select", "light_combo_modeSelect", "6"});
    EXPECT_EQ(SelectedLight().value("SelectItem").toInt(), 6);
    EXPECT_FALSE(Row("MainWnd", "deng_speed_layout").value("enabled").toBool(true))
        << "mode 6 has no speed";

    Ui({"click", "color_option_4"});
    QJsonObject light = SelectedLight();
    EXPECT_EQ(light.value("Red").toInt(), 0);
    EXPECT_EQ(light.value("Green").toInt(), 255);
    EXPECT_EQ(light.value("Blue").toInt(), 0);
    EXPECT_EQ(light.value("MultiColor").toInt(), 0);

    Ui({"text", "deng_edit_R", "300"});
    light = SelectedLight();
    EXPECT_EQ(light.value("Red").toInt(), 255) << "clamped";
    EXPECT_EQ(Row("MainWnd", "deng_edit_R").value("text").toString(), "255") << "written back";

    Ui({"value", "deng_light_slider", "1"});
    EXPECT_EQ(SelectedLight().value("Light").toInt(), 1);

    Ui({"select", "light_combo_modeSelect", "17"});
    EXPECT_FALSE(Row("MainWnd", "deng_speed_layout").value("visible").toBool(true));
    EXPECT_TRUE(Row("MainWnd", "light_combo_ZZCCmodeSelectLayout").value("visible").toBool());
    EXPECT_EQ(SelectedLight().value("SelectItem").toInt(), 17);
}

}  // namespace
}  // namespace rerov::e2e
