// rerov-audio-capture as the program and people run it: records printed with --stdout,
// malformed files and a missing sound server refused with their exit codes, and the whole
// exchange with a stand-in for rerov-ever listening on the IPC channel.

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <memory>

#include "shell/ipc/audio_records.h"
#include "shell/ipc/ipc_protocol.h"
#include "tests/audio_capture/wav_fixture.h"
#include "tests/support/scoped_environment.h"
#include "tools/rerov-audio-capture/exit_codes.h"
#include "tools/rerov-audio-capture/spectrum_scale.h"

namespace rerov::capture {
namespace {

namespace ipc = rerov::ipc;

constexpr int kRunLimitMs = 20000;

// Lines of --stdout output split into records.
struct TextRecords {
    std::vector<std::vector<int>> spectra;
    std::vector<std::vector<int>> levels;
};

TextRecords ParseText(const QByteArray& text) {
    TextRecords records;
    for (const QByteArray& line : text.split('\n')) {
        if (line.isEmpty()) continue;
        const QList<QByteArray> fields = line.split(' ');
        std::vector<int> values;
        for (qsizetype i = 1; i < fields.size(); ++i) values.push_back(fields[i].toInt());
        if (fields[0] == "spectrum") records.spectra.push_back(values);
        if (fields[0] == "levels") records.levels.push_back(values);
    }
    return records;
}

// A private runtime folder (the channel and the lock live there) and files for one test.
class CompanionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(runtime_.isValid() && files_.isValid());
        QFile::setPermissions(runtime_.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        runtimeEnv_ = std::make_unique<test::ScopedEnvironment>("XDG_RUNTIME_DIR",
                                                                runtime_.path().toLocal8Bit());
    }

    QString Wav(const QString& name, const QByteArray& bytes) {
        const QString path = files_.filePath(name);
        EXPECT_TRUE(test::WriteFile(path, bytes));
        return path;
    }
    QString ToneWav(double seconds = 1.0, double hz = 1000.0) {
        return Wav(QStringLiteral("tone.wav"),
                   test::MakeWav(test::WavLayout{}, seconds, test::Sine(hz, 0.5)));
    }

    // Starts the companion with `arguments`; the sound server, when one is asked for, is
    // one that does not exist.
    void Start(QProcess* process, const QStringList& arguments) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
        environment.insert(QStringLiteral("PULSE_SERVER"),
                           QStringLiteral("unix:") + files_.filePath(QStringLiteral("no-pulse")));
        process->setProcessEnvironment(environment);
        process->start(QStringLiteral(REROV_AUDIO_CAPTURE_PATH), arguments);
        ASSERT_TRUE(process->waitForStarted(kRunLimitMs));
    }

    // Runs it to its end: exit code, stdout, stderr.
    int Run(const QStringList& arguments, QByteArray* out = nullptr, QByteArray* err = nullptr) {
        QProcess process;
        Start(&process, arguments);
        if (!process.waitForFinished(kRunLimitMs)) {
            process.kill();
            process.waitForFinished();
            ADD_FAILURE() << "the companion did not end";
            return -1;
        }
        if (out) *out = process.readAllStandardOutput();
        if (err) *err = process.readAllStandardError();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    }

    QTemporaryDir runtime_;
    QTemporaryDir files_;
    std::unique_ptr<test::ScopedEnvironment> runtimeEnv_;
};

TEST_F(CompanionTest, StdoutPrintsOneSpectrumAndOneLevelLinePerHop) {
    QByteArray out;
    ASSERT_EQ(Run({"--wav", ToneWav(), "--stdout", "--frames", "12"}, &out), kExitDone);
    const TextRecords records = ParseText(out);
    ASSERT_EQ(records.spectra.size(), 12u);
    ASSERT_EQ(records.levels.size(), 12u);
    const auto& spectrum = records.spectra.back();
    ASSERT_EQ(spectrum.size(), size_t(kSpectrumValues));
    const int peak = int(std::max_element(spectrum.begin(), spectrum.end()) - spectrum.begin());
    EXPECT_NEAR(peak, ValueOfFrequency(1000.0), 1);
    // White until told otherwise: the three colour words are the loudness.
    const auto& levels = records.levels.back();
    ASSERT_EQ(levels.size(), 6u);
    EXPECT_GT(levels[3], 150);
    EXPECT_EQ(levels[0], levels[3]);
    EXPECT_EQ(levels[2], levels[3]);
}

TEST_F(CompanionTest, FilePlaysInRealTimeToItsEndOrAroundWithLoop) {
    // 0.2 s is six whole hops, 0.21 s six and a seventh padded with silence; each file
    // ends by itself.
    QByteArray out;
    ASSERT_EQ(Run({"--wav", ToneWav(0.2), "--stdout"}, &out), kExitDone);
    EXPECT_EQ(ParseText(out).spectra.size(), 6u);
    ASSERT_EQ(Run({"--wav", ToneWav(0.21), "--stdout"}, &out), kExitDone);
    EXPECT_EQ(ParseText(out).spectra.size(), 7u);
    // Around again with --loop, as long as asked.
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(Run({"--wav", ToneWav(0.2), "--stdout", "--loop", "--frames", "15"}, &out),
              kExitDone);
    EXPECT_EQ(ParseText(out).spectra.size(), 15u);
    EXPECT_GE(clock.elapsed(), 15 * 1000 / 30 - 50);  // paced as it plays
}

TEST_F(CompanionTest, MalformedFilesEndWithExitTwoAndAReason) {
    const QByteArray tone = test::MakeWav(test::WavLayout{}, 0.1, test::Sine(440.0));
    const QByteArray samples = tone.mid(44);
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"bad header", QByteArray("RIFF\x10\x00\x00\x00WAVX", 12) + tone.mid(12)},
        {"truncated", tone.left(tone.size() / 2)},
        {"zero channels", test::WavHeader(1, 0, 44100, 0, 16, uint32_t(samples.size())) + samples},
        {"huge sizes", test::WavHeader(1, 2, 44100, 4, 16, 0xFFFFFFFF) + samples},
    };
    for (const Case& c : cases) {
        QByteArray err;
        EXPECT_EQ(
            Run({"--wav", Wav(QStringLiteral("bad.wav"), c.bytes), "--stdout"}, nullptr, &err),
            kExitBadWavFile)
            << c.name;
        EXPECT_TRUE(err.contains("bad.wav")) << c.name << ": " << err.toStdString();
    }
    QByteArray err;
    EXPECT_EQ(Run({"--wav", files_.filePath("missing.wav"), "--stdout"}, nullptr, &err),
              kExitBadWavFile);
    EXPECT_TRUE(err.contains("missing.wav")) << err.toStdString();
}

TEST_F(CompanionTest, NoSoundServerEndsWithExitThreeAndOneLine) {
    QByteArray out;
    QByteArray err;
    EXPECT_EQ(Run({"--stdout"}, &out, &err), kNoSoundServer);
    EXPECT_TRUE(out.isEmpty());
    EXPECT_TRUE(err.startsWith("rerov-audio-capture: no sound server")) << err.toStdString();
    EXPECT_EQ(err.count('\n'), 1) << err.toStdString();
}

TEST_F(CompanionTest, BadCommandLinesAreRefused) {
    for (const QStringList& arguments :
         {QStringList{"--frames", "0"}, QStringList{"--frames", "x"}, QStringList{"--loop"},
          QStringList{"--nonsense"}, QStringList{"extra"}}) {
        QByteArray err;
        EXPECT_EQ(Run(arguments, nullptr, &err), kExitChannelFailed)
            << arguments.join(' ').toStdString();
        EXPECT_TRUE(err.contains("--help")) << err.toStdString();
    }
}

// Stands in for rerov-ever: listens on the channel and speaks to one companion.
class FakeProgram {
  public:
    bool Listen() {
        QLocalServer::removeServer(ipc::ServerName());
        return server_.listen(ipc::ServerName());
    }
    bool Accept() {
        if (!server_.waitForNewConnection(kRunLimitMs)) return false;
        socket_.reset(server_.nextPendingConnection());
        return socket_ != nullptr;
    }
    // The next message, or false when none comes in time.
    bool Next(QJsonObject* message, int timeoutMs = kRunLimitMs) {
        for (;;) {
            if (reader_.Next(message) == ipc::FrameReader::Status::Message) return true;
            if (socket_->bytesAvailable() == 0 && !socket_->waitForReadyRead(timeoutMs)) {
                return false;
            }
            reader_.Append(socket_->readAll());
        }
    }
    // The next record of `id`, skipping others.
    bool NextRecord(int id, std::vector<int32_t>* values) {
        QJsonObject message;
        while (Next(&message)) {
            const auto record = ipc::DecodeAudioRecord(message);
            if (record && record->id == id) {
                *values = ipc::AudioValues(record->data, 1000);
                return true;
            }
        }
        return false;
    }
    void Send(const QJsonObject& message) {
        socket_->write(ipc::EncodeMessage(message));
        socket_->waitForBytesWritten(kRunLimitMs);
    }
    void Command(ipc::AudioCommand command, int value = 0) {
        Send(ipc::EncodeAudioCommand(command, value));
    }
    void Hang() { socket_->abort(); }
    bool HasConnectionWaiting(int waitMs) { return server_.waitForNewConnection(waitMs); }

  private:
    QLocalServer server_;
    std::unique_ptr<QLocalSocket> socket_;
    ipc::FrameReader reader_;
};

// Takes the companion's connection and answers its hello.
void Attach(FakeProgram* program) {
    ASSERT_TRUE(program->Accept());
    QJsonObject hello;
    ASSERT_TRUE(program->Next(&hello));
    EXPECT_EQ(hello.value("type").toString(), QLatin1String(ipc::kAudioHello));
    EXPECT_EQ(hello.value("title").toString(), QLatin1String(ipc::kAudioCaptureTitle));
    program->Send(ipc::OkReply());
}

TEST_F(CompanionTest, SendsRecordsAfterStartAndEndsOnExit) {
    FakeProgram program;
    ASSERT_TRUE(program.Listen());
    QProcess companion;
    Start(&companion, {"--wav", ToneWav(), "--loop"});
    Attach(&program);
    // Nothing flows before the start command.
    QJsonObject early;
    EXPECT_FALSE(program.Next(&early, 300))
        << "unexpected " << early.value("type").toString().toStdString();

    program.Command(ipc::AudioCommand::Attach);
    program.Command(ipc::AudioCommand::Reset);
    program.Command(ipc::AudioCommand::StartCapture);
    std::vector<int32_t> spectrum;
    std::vector<int32_t> levels;
    ASSERT_TRUE(program.NextRecord(ipc::kAudioSpectrumRecord, &spectrum));
    EXPECT_EQ(spectrum.size(), size_t(ipc::kAudioSpectrumValues));
    ASSERT_TRUE(program.NextRecord(ipc::kAudioLevelsRecord, &levels));
    EXPECT_EQ(levels.size(), size_t(ipc::kAudioLevelValues));

    program.Command(ipc::AudioCommand::Exit);
    ASSERT_TRUE(companion.waitForFinished(kRunLimitMs));
    EXPECT_EQ(companion.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(companion.exitCode(), kExitDone);
}

TEST_F(CompanionTest, StyleColourAndSlidersColourTheLevelWords) {
    FakeProgram program;
    ASSERT_TRUE(program.Listen());
    QProcess companion;
    Start(&companion, {"--wav", ToneWav(), "--loop"});
    Attach(&program);
    // Red 9, green 1, blue 0 (a green of 0 arrives as 1).
    program.Send(ipc::EncodeAudioValues(ipc::kAudioStyleRecord, {9, 1, 0, 0, 0, 0, 0, 0, 0, 0}));
    program.Command(ipc::AudioCommand::StartCapture);
    std::vector<int32_t> levels;
    // A few hops in, the window is full of the tone.
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(program.NextRecord(ipc::kAudioLevelsRecord, &levels));
    const int loudness = levels[3];
    EXPECT_GT(loudness, 150);
    EXPECT_EQ(levels[0], 255 * loudness / 255);
    EXPECT_EQ(levels[1], 28 * loudness / 255);
    EXPECT_EQ(levels[2], 0);

    // The blue slider at 255 while capturing: blue follows from a later hop on.
    program.Command(ipc::AudioCommand::Blue, 255);
    bool blue = false;
    for (int i = 0; i < 30 && !blue; ++i) {
        ASSERT_TRUE(program.NextRecord(ipc::kAudioLevelsRecord, &levels));
        blue = levels[2] == levels[3] && levels[0] == levels[3];
    }
    EXPECT_TRUE(blue);

    // Stopped, nothing more comes; started again, records flow again.
    program.Command(ipc::AudioCommand::StopCapture);
    program.Command(ipc::AudioCommand::Release);
    // Records already on their way may still come, then none.
    QJsonObject message;
    int late = 0;
    while (late < 5 && program.Next(&message, 300)) ++late;
    EXPECT_FALSE(program.Next(&message, 300));
    program.Command(ipc::AudioCommand::StartCapture);
    ASSERT_TRUE(program.NextRecord(ipc::kAudioSpectrumRecord, &levels));
    program.Hang();
    // The program gone, the companion ends by itself.
    ASSERT_TRUE(companion.waitForFinished(kRunLimitMs));
    EXPECT_EQ(companion.exitCode(), kExitDone);
}

TEST_F(CompanionTest, ASecondCompanionLeavesAtOnce) {
    FakeProgram program;
    ASSERT_TRUE(program.Listen());
    QProcess first;
    Start(&first, {"--wav", ToneWav(), "--loop"});
    Attach(&program);
    QByteArray err;
    EXPECT_EQ(Run({"--wav", ToneWav(), "--loop"}, nullptr, &err), kExitDone);
    EXPECT_FALSE(program.HasConnectionWaiting(100));  // it never connected
    program.Command(ipc::AudioCommand::Exit);
    ASSERT_TRUE(first.waitForFinished(kRunLimitMs));
    EXPECT_EQ(first.exitCode(), kExitDone);
}

TEST_F(CompanionTest, StartWithoutASoundServerEndsWithExitThree) {
    FakeProgram program;
    ASSERT_TRUE(program.Listen());
    QProcess companion;
    Start(&companion, {});
    Attach(&program);
    program.Command(ipc::AudioCommand::StartCapture);
    ASSERT_TRUE(companion.waitForFinished(kRunLimitMs));
    EXPECT_EQ(companion.exitCode(), kNoSoundServer);
    EXPECT_TRUE(companion.readAllStandardError().contains("no sound server"));
}

TEST_F(CompanionTest, NoProgramListeningEndsWithExitOne) {
    QByteArray err;
    EXPECT_EQ(Run({"--wav", ToneWav()}, nullptr, &err), kExitChannelFailed);
    EXPECT_TRUE(err.contains("cannot reach rerov-ever")) << err.toStdString();
}

}  // namespace
}  // namespace rerov::capture
