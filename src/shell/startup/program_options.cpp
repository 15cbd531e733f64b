#include "shell/startup/program_options.h"

namespace rerov::startup {

namespace {
// The keyboard by cable: what a new user wants to see first.
constexpr char kDefaultSimulation[] = "keyboard";
constexpr char kLatencyOption[] = "--sim-latency-us=";
// A second per report is already far slower than any bus.
constexpr uint kMaxSimLatencyUs = 1000000;
}  // namespace

bool ParseProgramOptions(const QStringList& arguments, ProgramOptions* options, QString* error) {
    *options = ProgramOptions{};
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--help")) {
            options->help = true;
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

const char* ProgramUsage() {
    return "usage: rerov-ever [--simulate[=LIST]]\n"
           "  --simulate[=LIST]  run on simulated devices instead of real ones; LIST is\n"
           "                     comma-separated: keyboard, keyboard-receiver, mouse,\n"
           "                     mouse-receiver, mousepad, headset (default: keyboard)\n"
           "  --sim-latency-us=N (with --simulate) each simulated report takes N us each\n"
           "                     way (1000 models a full-speed USB device)\n"
           "Drive a running program with rerovctl app ... and rerovctl sim ...\n";
}

}  // namespace rerov::startup
