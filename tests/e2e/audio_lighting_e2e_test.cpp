// The music lighting end to end: the program starts its sound-capture companion on a WAV file,
// the keyboard's lighting is set to the audio-reactive mode through the window, and the
// simulated keyboard receives lighting frames that follow the sound.

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QThread>
#include <set>

#include "tests/audio_capture/wav_fixture.h"
#include "tests/e2e/e2e_support.h"

namespace rerov::e2e {
namespace {

// The lighting combo's entry of the audio-reactive mode.
constexpr int kAudioReactiveEntry = 29;

QString Text(const RunOutcome& run) { return run.out + run.err; }

class AudioLightingE2e : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(sandbox_.IsValid());
        wav_ = sandbox_.RuntimeDir() + QStringLiteral("/beat.wav");
        // A 440 Hz tone switched on and off every 150 ms: every switch changes the spectrum,
        // which is what the band levels follow.
        ASSERT_TRUE(test::WriteFile(wav_, test::MakeWav({}, 3.0, test::GatedSine(440.0, 0.15))));
    }

    QByteArray Frame() {
        const RunOutcome run = Rerovctl(sandbox_, {"sim", "memory", "keyboard", "frame", "--json"});
        EXPECT_EQ(run.exitCode, 0) << Text(run).toStdString();
        QByteArray bytes;
        for (const QJsonValue& section :
             QJsonDocument::fromJson(run.out.toUtf8()).object().value("sections").toArray()) {
            bytes += QByteArray::fromHex(section.toObject().value("hex").toString().toLatin1());
        }
        return bytes;
    }

    Sandbox sandbox_;
    QString wav_;
};

TEST_F(AudioLightingE2e, TheKeyboardShowsFramesThatFollowTheCompanionsSound) {
    auto program = StartWithKeyboardReady(
        sandbox_, {QStringLiteral("--simulate=keyboard"), QStringLiteral("--audio-wav"), wav_});
    ASSERT_TRUE(program);
    QJsonObject state;

    const RunOutcome select = Rerovctl(sandbox_, {"app", "ui", "select", "light_combo_modeSelect",
                                                  QString::number(kAudioReactiveEntry)});
    ASSERT_EQ(select.exitCode, 0) << Text(select).toStdString();

    // The host drives the lights now: frames keep arriving, and they differ from each other
    // as the tone comes and goes.
    std::set<QByteArray> frames;
    QDeadlineTimer deadline(kStateMs);
    while (frames.size() < 4 && !deadline.hasExpired()) {
        const QByteArray frame = Frame();
        if (!frame.isEmpty() && frame.count('\0') != frame.size()) frames.insert(frame);
        QThread::msleep(100);
    }
    EXPECT_GE(frames.size(), 4u) << "the keyboard's frame did not follow the sound";

    ASSERT_TRUE(program->WaitForState(
        [](const QJsonObject& s) {
            return Entry(s, "keyboard").value("lightFramesSent").toInteger() > 20;
        },
        &state))
        << QJsonDocument(state).toJson().toStdString();
    EXPECT_TRUE(program->IsRunning());
}

}  // namespace
}  // namespace rerov::e2e
