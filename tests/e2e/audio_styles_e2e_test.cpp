// The audio styles of the real rerov-ever, driven with rerovctl app ui as a user drives them:
// the style window opened from the lighting editor's music section, an edit confirmed into
// "AudioFile.json", and the profile reset bringing back the factory styles.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

#include "tests/e2e/e2e_support.h"

namespace rerov::e2e {
namespace {

std::string Text(const RunOutcome& run) { return (run.out + run.err).toStdString(); }

class AudioStylesE2e : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(sandbox_.IsValid());
        program_ = StartWithKeyboardReady(sandbox_, {"--simulate=keyboard"});
        ASSERT_TRUE(program_);
    }

    void Ui(const QStringList& arguments) { UiStep(sandbox_, arguments); }

    QJsonObject Row(const QString& window, const QString& name) {
        const RunOutcome run = Rerovctl(sandbox_, {"app", "ui", "list", "--json"});
        EXPECT_EQ(run.exitCode, 0) << Text(run);
        const QJsonArray rows = QJsonDocument::fromJson(run.out.toUtf8()).array();
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

    // "AudioLightInfo" of the user's style file.
    QJsonObject Styles() const {
        QFile file(sandbox_.Environment().value("XDG_DATA_HOME") +
                   "/REROV ER60 EVER/AudioFile.json");
        if (!file.open(QIODevice::ReadOnly)) return {};
        return QJsonDocument::fromJson(file.readAll())
            .object()
            .value("Device")
            .toObject()
            .value("AudioLightInfo")
            .toObject();
    }

    Sandbox sandbox_;
    std::unique_ptr<RunningProgram> program_;
};

TEST_F(AudioStylesE2e, AConfirmedEditIsSavedAndAProfileResetBringsBackTheFactoryStyles) {
    // The start-up wrote the factory styles as the user's.
    ASSERT_EQ(Styles().value("nStyleName2").toString(), QStringLiteral("第二组"));
    const int factoryBlue = Styles().value("nStyleB1").toInt();

    Ui({"select", "light_combo_modeSelect", "29"});
    Ui({"click", "music_setting_btn"});
    EXPECT_TRUE(Row("MusicWnd", "audio_select_tab1").value("checked").toBool());
    Ui({"click", "audio_select_tab2"});
    Ui({"value", "audio_b_slider", "7"});
    Ui({"text", "audio_edit_name2", "Loud"});
    Ui({"click", "okbtn"});
    EXPECT_TRUE(Row("MusicWnd", "okbtn").isEmpty()) << "the window closed";

    QJsonObject styles = Styles();
    EXPECT_EQ(styles.value("nAudioStyle").toInt(), 1);
    EXPECT_EQ(styles.value("nStyleB1").toInt(), 7);
    EXPECT_EQ(styles.value("nStyleName2").toString(), "Loud");
    EXPECT_EQ(styles.value("nStyleName1").toString(), QStringLiteral("第一组"));

    // Closing the window keeps nothing of what was done in it.
    Ui({"click", "music_setting_btn"});
    Ui({"value", "audio_r_slider", "0"});
    Ui({"click", "closebtn"});
    EXPECT_EQ(Styles(), styles);

    Ui({"click", "profile_fun_spread_btn"});
    Ui({"click", "device_reset_btn"});
    Ui({"click", "confirm_btn"});
    styles = Styles();
    EXPECT_EQ(styles.value("nAudioStyle").toInt(), 0);
    EXPECT_EQ(styles.value("nStyleB1").toInt(), factoryBlue);
    EXPECT_EQ(styles.value("nStyleName2").toString(), QStringLiteral("第二组"));
}

TEST(AudioWavOption, NeedsAFileAndIsExplainedByHelp) {
    Sandbox sandbox;
    ASSERT_TRUE(sandbox.IsValid());
    for (const QStringList& arguments : {QStringList{"--audio-wav"}, QStringList{"--audio-wav="}}) {
        const RunOutcome run = RunToEnd(REROV_EVER_PATH, arguments, sandbox.Environment());
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("--audio-wav: no file named")) << Text(run);
    }
    const RunOutcome help = RunToEnd(REROV_EVER_PATH, {"--help"}, sandbox.Environment());
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("--audio-wav FILE")) << Text(help);
}

}  // namespace
}  // namespace rerov::e2e
