#pragma once
// The companion's command line.

#include <QString>
#include <QStringList>

namespace rerov::capture {

struct CaptureOptions {
    QString wavPath;        // --wav FILE: play this file instead of capturing
    bool loop = false;      // --loop: repeat the file
    bool toStdout = false;  // --stdout: print records instead of connecting to the program
    int frameLimit = 0;     // --frames N: end after N spectra (0: no limit)
};

// The options of `arguments` (the program name first). On --help or --version, *exitNow is
// set and *text holds what to print on stdout; on a bad command line false with a reason.
bool ParseCaptureOptions(const QStringList& arguments, CaptureOptions* options, bool* exitNow,
                         QString* text);

}  // namespace rerov::capture
