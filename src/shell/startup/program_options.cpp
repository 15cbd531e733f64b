#include "shell/startup/program_options.h"

namespace rerov::startup {

namespace {
// The keyboard by cable: what a new user wants to see first.
constexpr char kDefaultSimulation[] = "keyboard";
constexpr char kAudioWav[] = "--audio-wav";
constexpr char kLatencyOption[] = "--sim-latency-us=";
// A second per report is already far slower than any bus.
constexpr uint kMaxSimLatencyUs = 1000000;
}  // namespace

bool ParseProgramOptions(const QStringList& arguments, ProgramOptions* options, QString* error) {
    *options = ProgramOptions{};
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--help")) {
            options->help = true;
            continue;
        }
        const QString joinedPrefix = QLatin1String(kAudioWav) + u'=';
        if (argument == QLatin1String(kAudioWav) || argument.startsWith(joinedPrefix)) {
            QString file;
            if (argument.startsWith(joinedPrefix)) {
                file = argument.mid(joinedPrefix.size());
            } else if (i + 1 < arguments.size()) {
                file = arguments[++i];
            }
            if (file.isEmpty()) {
                *error = QStringLiteral("--audio-wav: no file named");
                return false;
            }
            options->audioWav = file;
            continue;
        }
        if (argument.startsWith(QLatin1String(kLatencyOption))) {
            bool ok = false;
            const uint latency =
                argument.mid(static_cast<qsizetype>(sizeof(kLatencyOption) - 1)).toUInt(&ok);
            if (!ok || latency > kMaxSimLatencyUs) {
                *error = QStringLiteral("--sim-latency-us: not a number of microseconds (0-%1)")
                             .arg(kMaxSimLatencyUs);
                return false;
            }
            options->simLatencyUs = static_cast<int>(latency);
            continue;
        }
        QString list;
        if (argument == QLatin1String("--simulate")) {
            list = QLatin1String(kDefaultSimulation);
        } else if (argument.startsWith(QLatin1String("--simulate="))) {
            list = argument.mid(static_cast<qsizetype>(sizeof("--simulate=") - 1));
        } else {
            continue;  // launchers may pass what they like
        }
        std::string reason;
        if (!sim::ParseSimPathList(list.toStdString(), &options->simulatedPaths, &reason)) {
            *error = QStringLiteral("--simulate: ") + QString::fromStdString(reason);
            return false;
        }
        options->simulate = true;
    }
    return true;
}

QStringList AudioCompanionArguments(const ProgramOptions& options) {
    if (options.audioWav.isEmpty()) return {};
    return {QStringLiteral("--wav"), options.audioWav, QStringLiteral("--loop")};
}

const char* ProgramUsage() {
    return "usage: rerov-ever [--simulate[=LIST]] [--sim-latency-us=N] [--audio-wav FILE]\n"
           "  --simulate[=LIST]  run on simulated devices instead of real ones; LIST is\n"
           "                     comma-separated: keyboard, keyboard-receiver, mouse,\n"
           "                     mouse-receiver, mousepad, headset (default: keyboard)\n"
           "  --audio-wav FILE   the music lighting follows FILE (a WAV file, played in a\n"
           "                     loop) instead of the sound the computer plays\n"
           "  --sim-latency-us=N (with --simulate) each simulated report takes N us each\n"
           "                     way (1000 models a full-speed USB device)\n"
           "Drive a running program with rerovctl app ... and rerovctl sim ...\n";
}

}  // namespace rerov::startup
