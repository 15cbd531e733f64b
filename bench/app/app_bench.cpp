// rerov-ever as a user runs it, with the simulated keyboard:
//   StartToWindowShown  time from starting the process to its window on screen (goal:
//                       under 300 ms); main_to_shown_ms leaves out loading the program
//   IdleCpu             CPU time over 10 s of the idle program with the keyboard connected
//                       (goal: under 1 % of one core)
//   PreviewCpuShown     CPU time over 10 s with the keyboard's lighting in mode 1 at speed 4
//                       (set through the window), the window shown (goal: under 2 %)
//   PreviewCpuMinimised the same with the window minimised (goal: under 0.3 %)
//   HostFramesReceiver  mode 29 through the receiver at 1 ms per report: lighting frames
//                       sent per second and those the busy-skip dropped over 10 s
// They read what the program reports over its IPC channel ("app state") and drive the
// window as rerovctl app ui does. The first two run on the offscreen platform; the others
// on the X display of the session when there is one (run them under xvfb-run).

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <chrono>
#include <memory>
#include <thread>

#include "bench/support/process_cpu.h"
#include "shell/ipc/ipc_client.h"
#include "shell/ipc/ipc_protocol.h"

namespace {

namespace ipc = rerov::ipc;

constexpr int kStartLimitMs = 30000;
constexpr int kPollMs = 5;
constexpr auto kIdleSpan = std::chrono::seconds(10);

qint64 SteadyNowUs() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

// rerov-ever with `arguments` in private runtime and data folders; ended with app quit.
// With `onDisplay` it uses the session's X display when there is one, else offscreen.
class Program {
  public:
    explicit Program(const QStringList& arguments = {QStringLiteral("--simulate")},
                     bool onDisplay = false) {
        QFile::setPermissions(runtime_.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
        environment.insert(QStringLiteral("XDG_DATA_HOME"), data_.path());
        if (onDisplay && !qEnvironmentVariableIsEmpty("DISPLAY")) {
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        } else {
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        }
        process_.setProcessEnvironment(environment);
        process_.setStandardOutputFile(QProcess::nullDevice());
        process_.setStandardErrorFile(QProcess::nullDevice());
        startedUs_ = SteadyNowUs();
        process_.start(QStringLiteral(REROV_EVER_PATH), arguments);
        process_.waitForStarted(kStartLimitMs);
    }
    ~Program() {
        ipc::IpcClient client;
        QString error;
        QJsonObject reply;
        if (client.Connect(ipc::ServerName(), 1000, &error)) {
            client.Request({{"type", ipc::kAppQuit}}, kStartLimitMs, &reply, &error);
        }
        if (!process_.waitForFinished(kStartLimitMs)) process_.kill();
        process_.waitForFinished();
    }

    // Polls "app state" until `accept` takes it; false after kStartLimitMs.
    template <typename Accept>
    bool WaitForState(Accept accept, QJsonObject* state) {
        QDeadlineTimer deadline(kStartLimitMs);
        while (!deadline.hasExpired()) {
            ipc::IpcClient client;
            QString error;
            if (client.Connect(ipc::ServerName(), 1000, &error) &&
                client.Request({{"type", ipc::kAppState}}, 1000, state, &error) &&
                state->value("ok").toBool() && accept(*state)) {
                return true;
            }
            QThread::msleep(kPollMs);
        }
        return false;
    }

    // One request to the program; false unless it answered ok.
    bool Request(const QJsonObject& request, QJsonObject* reply = nullptr) {
        ipc::IpcClient client;
        QString error;
        QJsonObject answer;
        const bool ok = client.Connect(ipc::ServerName(), 1000, &error) &&
                        client.Request(request, kStartLimitMs, &answer, &error) &&
                        answer.value("ok").toBool();
        if (reply != nullptr) *reply = answer;
        return ok;
    }

    qint64 StartedUs() const { return startedUs_; }
    qint64 Pid() const { return process_.processId(); }

  private:
    QTemporaryDir runtime_;
    QTemporaryDir data_;
    QProcess process_;
    qint64 startedUs_ = 0;
};

bool KeyboardReady(const QJsonObject& state) {
    for (const QJsonValue& entry : state.value("entries").toArray()) {
        const QJsonObject e = entry.toObject();
        if (e.value("family").toString() == "keyboard") {
            return e.value("shown").toBool() && e.value("ready").toBool();
        }
    }
    return false;
}

// The keyboard's entry of an "app state" reply (empty when there is none).
QJsonObject KeyboardEntry(const QJsonObject& state) {
    for (const QJsonValue& entry : state.value("entries").toArray()) {
        const QJsonObject e = entry.toObject();
        if (e.value("family").toString() == "keyboard") return e;
    }
    return {};
}

// CPU use of process `pid` over `span`, in percent of one core; negative when /proc/<pid>/stat
// cannot be read.
double CpuPercentOver(qint64 pid, std::chrono::seconds span) {
    const double ticksPerSecond = static_cast<double>(::sysconf(_SC_CLK_TCK));
    unsigned long long before = 0;
    unsigned long long after = 0;
    const auto start = std::chrono::steady_clock::now();
    if (!rerov::bench::CpuTicks(pid, &before)) return -1;
    std::this_thread::sleep_for(span);
    if (!rerov::bench::CpuTicks(pid, &after)) return -1;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return 100.0 * static_cast<double>(after - before) / ticksPerSecond / seconds;
}

// The keyboard's lighting through the window: mode `mode` of the mode list, then speed
// `speed` unless it is negative (the audio modes hide the speed slider).
bool SetKeyboardLighting(Program& program, int mode, int speed) {
    if (!program.Request(
            {{"type", ipc::kAppUiSelect}, {"name", "light_combo_modeSelect"}, {"index", mode}})) {
        return false;
    }
    return speed < 0 ||
           program.Request(
               {{"type", ipc::kAppUiValue}, {"name", "deng_speed_slider"}, {"value", speed}});
}

void StartToWindowShown(benchmark::State& state) {
    double mainToShownMs = 0;
    for (auto _ : state) {
        Program program;
        QJsonObject reported;
        if (!program.WaitForState(
                [](const QJsonObject& s) { return s.value("windowShownUs").toInteger(-1) >= 0; },
                &reported)) {
            state.SkipWithError("the window was not shown");
            return;
        }
        const qint64 shown = reported.value("windowShownUs").toInteger();
        state.SetIterationTime(static_cast<double>(shown - program.StartedUs()) / 1e6);
        mainToShownMs +=
            static_cast<double>(shown - reported.value("mainEnteredUs").toInteger()) / 1e3;
    }
    state.counters["main_to_shown_ms"] =
        benchmark::Counter(mainToShownMs / static_cast<double>(state.iterations()));
}
BENCHMARK(StartToWindowShown)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void IdleCpu(benchmark::State& state) {
    double percent = 0;
    for (auto _ : state) {
        Program program;
        QJsonObject reported;
        if (!program.WaitForState(KeyboardReady, &reported)) {
            state.SkipWithError("the simulated keyboard did not connect");
            return;
        }
        std::this_thread::sleep_for(std::chrono::seconds(1));  // the first read-out settles
        percent = CpuPercentOver(program.Pid(), kIdleSpan);
        if (percent < 0) {
            state.SkipWithError("cannot read /proc/<pid>/stat");
            return;
        }
        state.SetIterationTime(static_cast<double>(kIdleSpan.count()));
    }
    state.counters["cpu_percent_of_one_core"] = percent;
}
BENCHMARK(IdleCpu)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);

// The preview animating mode 1 at its fastest, with the window shown or minimised.
void PreviewCpu(benchmark::State& state, bool minimised) {
    double percent = 0;
    for (auto _ : state) {
        Program program({QStringLiteral("--simulate=keyboard")}, true);
        QJsonObject reported;
        if (!program.WaitForState(KeyboardReady, &reported)) {
            state.SkipWithError("the simulated keyboard did not connect");
            return;
        }
        std::this_thread::sleep_for(std::chrono::seconds(1));  // the first read-out settles
        if (!SetKeyboardLighting(program, 1, 4)) {
            state.SkipWithError("the lighting could not be set through the window");
            return;
        }
        if (minimised && !program.Request({{"type", ipc::kAppUiClick}, {"name", "minbtn"}})) {
            state.SkipWithError("the window could not be minimised");
            return;
        }
        std::this_thread::sleep_for(std::chrono::seconds(1));
        percent = CpuPercentOver(program.Pid(), kIdleSpan);
        if (percent < 0) {
            state.SkipWithError("cannot read /proc/<pid>/stat");
            return;
        }
        state.SetIterationTime(static_cast<double>(kIdleSpan.count()));
    }
    state.counters["cpu_percent_of_one_core"] = percent;
}
BENCHMARK_CAPTURE(PreviewCpu, Shown, false)
    ->Name("PreviewCpuShown")
    ->UseManualTime()
    ->Unit(benchmark::kSecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(PreviewCpu, Minimised, true)
    ->Name("PreviewCpuMinimised")
    ->UseManualTime()
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

// Mode 29 through the receiver with every report taking 1 ms each way: the frames of the
// list entry's 50 ms timer that reached the keyboard and those the busy-skip dropped.
void HostFramesReceiver(benchmark::State& state) {
    double sentPerSecond = 0;
    double skipped = 0;
    for (auto _ : state) {
        Program program({QStringLiteral("--simulate=keyboard-receiver"),
                         QStringLiteral("--sim-latency-us=1000")},
                        true);
        QJsonObject reported;
        if (!program.WaitForState(KeyboardReady, &reported)) {
            state.SkipWithError("the simulated keyboard did not connect");
            return;
        }
        std::this_thread::sleep_for(std::chrono::seconds(2));  // the slow read-out settles
        if (!SetKeyboardLighting(program, 29, -1)) {
            state.SkipWithError("the lighting could not be set through the window");
            return;
        }
        std::this_thread::sleep_for(std::chrono::seconds(1));
        QJsonObject before;
        QJsonObject after;
        if (!program.Request({{"type", ipc::kAppState}}, &before)) {
            state.SkipWithError("no app state");
            return;
        }
        std::this_thread::sleep_for(kIdleSpan);
        if (!program.Request({{"type", ipc::kAppState}}, &after)) {
            state.SkipWithError("no app state");
            return;
        }
        const auto count = [](const QJsonObject& reply, const char* name) {
            return static_cast<double>(KeyboardEntry(reply).value(name).toInteger());
        };
        sentPerSecond = (count(after, "lightFramesSent") - count(before, "lightFramesSent")) /
                        static_cast<double>(kIdleSpan.count());
        skipped = count(after, "lightFramesSkipped") - count(before, "lightFramesSkipped");
        state.SetIterationTime(static_cast<double>(kIdleSpan.count()));
    }
    state.counters["frames_sent_per_s"] = sentPerSecond;
    state.counters["frames_skipped"] = skipped;
}
BENCHMARK(HostFramesReceiver)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);  // Qt's sockets want one
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
