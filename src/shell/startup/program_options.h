#pragma once
// The command line of rerov-ever. The program takes no notice of it apart from
// --simulate[=LIST] (run on the device simulator), --audio-wav FILE (the sound-capture
// companion plays a WAV file in a loop instead of capturing) and --help; Qt's own options
// are taken out by the application object before this sees them.

#include <QString>
#include <QStringList>
#include <vector>

#include "sim/simulated_bus.h"

namespace rerov::startup {

struct ProgramOptions {
    bool help = false;
    bool simulate = false;
    std::vector<sim::SimPath> simulatedPaths;  // plugged in at start (--simulate)
    QString audioWav;                          // --audio-wav FILE; empty: the sound card
    int simLatencyUs = -1;  // --sim-latency-us: each simulated report's time (-1: none)
};

// The companion's command line for these options: "--wav FILE --loop" with --audio-wav,
// else nothing.
QStringList AudioCompanionArguments(const ProgramOptions& options);

// Parses the arguments after the program name. False with a one-line reason for a device
// list that names an unknown device or --audio-wav without a file; other arguments are
// ignored.
bool ParseProgramOptions(const QStringList& arguments, ProgramOptions* options, QString* error);

// The text of --help.
const char* ProgramUsage();

}  // namespace rerov::startup
