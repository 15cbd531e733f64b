// rerov-ever as a user runs it, on the offscreen platform with the simulated keyboard:
//   StartToWindowShown  time from starting the process to its window on screen (goal:
//                       under 300 ms); main_to_shown_ms leaves out loading the program
//   IdleCpu             CPU time over 10 s of the idle program with the keyboard connected
//                       (goal: under 1 % of one core)
// Both read what the program reports over its IPC channel ("app state").

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

// rerov-ever --simulate in private runtime and data folders; ended with app quit.
class Program {
  public:
    Program() {
        QFile::setPermissions(runtime_.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
        environment.insert(QStringLiteral("XDG_DATA_HOME"), data_.path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process_.setProcessEnvironment(environment);
        process_.setStandardOutputFile(QProcess::nullDevice());
        process_.setStandardErrorFile(QProcess::nullDevice());
        startedUs_ = SteadyNowUs();
        process_.start(QStringLiteral(REROV_EVER_PATH), {QStringLiteral("--simulate")});
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

    qint64 StartedUs() const { return startedUs_; }
    qint64 Pid() const { return process_.processId(); }

  private:
    QTemporaryDir runtime_;
    QTemporaryDir data_;
    QProcess process_;
    qint64 startedUs_ = 0;
};

bool KeyboardConnected(const QJsonObject& state) {
    for (const QJsonValue& entry : state.value("entries").toArray()) {
        const QJsonObject e = entry.toObject();
        if (e.value("family").toString() == "keyboard") {
            return e.value("shown").toBool() && e.value("connected").toBool();
        }
    }
    return false;
}

// User plus system CPU time of a process in clock ticks (/proc/<pid>/stat fields 14, 15).
bool CpuTicks(qint64 pid, unsigned long long* ticks) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return false;
    const QByteArray line = stat.readAll();
    // The command name in parentheses may hold spaces; the fields start after it.
    const qsizetype close = line.lastIndexOf(')');
    if (close < 0) return false;
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    // fields[0] is field 3 (state); utime is field 14, stime field 15.
    if (fields.size() < 13) return false;
    *ticks = fields[11].toULongLong() + fields[12].toULongLong();
    return true;
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
    const double ticksPerSecond = static_cast<double>(::sysconf(_SC_CLK_TCK));
    double percent = 0;
    for (auto _ : state) {
        Program program;
        QJsonObject reported;
        if (!program.WaitForState(KeyboardConnected, &reported)) {
            state.SkipWithError("the simulated keyboard did not connect");
            return;
        }
        std::this_thread::sleep_for(std::chrono::seconds(1));  // the first read-out settles
        unsigned long long before = 0;
        unsigned long long after = 0;
        const auto start = std::chrono::steady_clock::now();
        if (!CpuTicks(program.Pid(), &before)) {
            state.SkipWithError("cannot read /proc/<pid>/stat");
            return;
        }
        std::this_thread::sleep_for(kIdleSpan);
        if (!CpuTicks(program.Pid(), &after)) {
            state.SkipWithError("cannot read /proc/<pid>/stat");
            return;
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        percent = 100.0 * static_cast<double>(after - before) / ticksPerSecond / seconds;
    }
    state.counters["cpu_percent_of_one_core"] = percent;
}
BENCHMARK(IdleCpu)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);  // Qt's sockets want one
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
