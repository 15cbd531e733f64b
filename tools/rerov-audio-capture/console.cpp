#include "tools/rerov-audio-capture/console.h"

#include <cstdio>

namespace rerov::capture {

void PrintMessage(const QString& text) {
    // stderr is unbuffered; a failed write has nowhere better to be reported.
    std::fprintf(stderr, "rerov-audio-capture: %s\n", text.toLocal8Bit().constData());
}

}  // namespace rerov::capture
