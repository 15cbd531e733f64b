// The sound-capture companion's cost:
//   AnalyzeHop        one hop of the analysis (FFT of 2048 samples, 500 values, loudness)
//   CompanionCpu/0    CPU of rerov-audio-capture over 10 s playing a WAV in real time,
//                     printing its records (--stdout to /dev/null)
//   CompanionCpu/1    the same sending its records over the IPC channel to a stand-in for
//                     rerov-ever that reads them
// Goal for the companion: under 2 % of one core. Read from /proc/<pid>/stat.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <chrono>
#include <cmath>
#include <numbers>
#include <random>
#include <thread>
#include <vector>

#include "bench/support/process_cpu.h"
#include "shell/ipc/audio_records.h"
#include "shell/ipc/ipc_protocol.h"
#include "tools/rerov-audio-capture/spectrum_analyzer.h"

namespace {

namespace ipc = rerov::ipc;

constexpr int kRate = 44100;
constexpr int kSpanSeconds = 10;
constexpr int kStartLimitMs = 10000;

// Something like music: a bass line, a chord that changes every half second, beats of
// noise, in stereo 16-bit.
float MusicSample(int n, int channel, std::mt19937* random) {
    const double t = double(n) / kRate;
    const double pi2 = 2.0 * std::numbers::pi;
    const int bar = int(t * 2);
    const double root = 110.0 * std::pow(2.0, (bar % 4) * 3 / 12.0);
    double value = 0.3 * std::sin(pi2 * root / 2 * t);
    for (const double step : {1.0, 1.26, 1.5}) value += 0.12 * std::sin(pi2 * root * 2 * step * t);
    const double beat = std::fmod(t, 0.25);
    if (beat < 0.05) {
        std::uniform_real_distribution<double> noise(-1.0, 1.0);
        value += 0.3 * (1.0 - beat / 0.05) * noise(*random);
    }
    return float(channel == 0 ? value : 0.8 * value);
}

std::vector<float> MusicStereo(int frames) {
    std::mt19937 random(11);
    std::vector<float> stereo(size_t(frames) * 2);
    for (int n = 0; n < frames; ++n) {
        stereo[size_t(2 * n)] = MusicSample(n, 0, &random);
        stereo[size_t(2 * n + 1)] = MusicSample(n, 1, &random);
    }
    return stereo;
}

bool WriteMusicWav(const QString& path, int seconds) {
    const std::vector<float> stereo = MusicStereo(seconds * kRate);
    QByteArray data(qsizetype(stereo.size() * 2), '\0');
    for (size_t i = 0; i < stereo.size(); ++i) {
        const auto sample = int16_t(std::lround(std::clamp(stereo[i], -1.0f, 1.0f) * 32767.0f));
        qToLittleEndian(sample, data.data() + i * 2);
    }
    QByteArray header("RIFF");
    const auto u32 = [&header](uint32_t v) {
        char raw[4];
        qToLittleEndian(v, raw);
        header.append(raw, 4);
    };
    const auto u16 = [&header](uint16_t v) {
        char raw[2];
        qToLittleEndian(v, raw);
        header.append(raw, 2);
    };
    u32(uint32_t(36 + data.size()));
    header += "WAVEfmt ";
    u32(16);
    u16(1);
    u16(2);
    u32(kRate);
    u32(kRate * 4);
    u16(4);
    u16(16);
    header += "data";
    u32(uint32_t(data.size()));
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(header + data) == header.size() + data.size() && file.flush();
}

void AnalyzeHop(benchmark::State& state) {
    rerov::capture::SpectrumAnalyzer analyzer(kRate);
    const int hop = analyzer.HopFrames();
    const std::vector<float> stereo = MusicStereo(hop * 64);
    std::vector<int32_t> spectrum;
    rerov::capture::HopLoudness loudness;
    size_t next = 0;
    for (auto _ : state) {
        analyzer.Analyze(stereo.data() + next * size_t(hop) * 2, hop, &spectrum, &loudness);
        next = (next + 1) % 64;
        benchmark::DoNotOptimize(spectrum.data());
    }
}
BENCHMARK(AnalyzeHop)->Unit(benchmark::kMicrosecond);

void CompanionCpu(benchmark::State& state) {
    const bool overIpc = state.range(0) == 1;
    const double ticksPerSecond = double(::sysconf(_SC_CLK_TCK));
    double percent = 0;
    for (auto _ : state) {
        QTemporaryDir folder;
        QFile::setPermissions(folder.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString wav = folder.filePath(QStringLiteral("music.wav"));
        if (!WriteMusicWav(wav, 3)) {
            state.SkipWithError("cannot write the WAV file");
            return;
        }
        qputenv("XDG_RUNTIME_DIR", folder.path().toLocal8Bit());
        QLocalServer server;
        if (overIpc && !server.listen(ipc::ServerName())) {
            state.SkipWithError("cannot listen on the IPC channel");
            return;
        }
        QProcess companion;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder.path());
        companion.setProcessEnvironment(environment);
        companion.setStandardOutputFile(QProcess::nullDevice());
        QStringList arguments{QStringLiteral("--wav"), wav, QStringLiteral("--loop")};
        if (!overIpc) arguments << QStringLiteral("--stdout");
        companion.start(QStringLiteral(REROV_AUDIO_CAPTURE_PATH), arguments);
        if (!companion.waitForStarted(kStartLimitMs)) {
            state.SkipWithError("the companion did not start");
            return;
        }
        std::unique_ptr<QLocalSocket> link;
        if (overIpc) {
            if (!server.waitForNewConnection(kStartLimitMs)) {
                state.SkipWithError("the companion did not connect");
                return;
            }
            link.reset(server.nextPendingConnection());
            link->write(ipc::EncodeMessage(ipc::OkReply()));
            link->write(
                ipc::EncodeMessage(ipc::EncodeAudioCommand(ipc::AudioCommand::StartCapture)));
            link->waitForBytesWritten(kStartLimitMs);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(300));  // start-up settles
        unsigned long long before = 0;
        unsigned long long after = 0;
        if (!rerov::bench::CpuTicks(companion.processId(), &before)) {
            state.SkipWithError("cannot read /proc/<pid>/stat");
            return;
        }
        const auto start = std::chrono::steady_clock::now();
        qint64 received = 0;
        QDeadlineTimer span(kSpanSeconds * 1000);
        while (!span.hasExpired()) {
            if (link) {
                if (link->waitForReadyRead(int(std::min<qint64>(span.remainingTime(), 100)))) {
                    received += link->readAll().size();
                }
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        }
        if (!rerov::bench::CpuTicks(companion.processId(), &after)) {
            state.SkipWithError("cannot read /proc/<pid>/stat");
            return;
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        percent = 100.0 * double(after - before) / ticksPerSecond / seconds;
        state.counters["received_kib_per_s"] = double(received) / 1024.0 / seconds;
        companion.kill();
        companion.waitForFinished();
    }
    state.counters["cpu_percent_of_one_core"] = percent;
}
BENCHMARK(CompanionCpu)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);  // Qt's sockets and processes want one
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
