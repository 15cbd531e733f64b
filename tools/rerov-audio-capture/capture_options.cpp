#include "tools/rerov-audio-capture/capture_options.h"

#include <QCommandLineParser>

namespace rerov::capture {

bool ParseCaptureOptions(const QStringList& arguments, CaptureOptions* options, bool* exitNow,
                         QString* text) {
    *exitNow = false;
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Captures what the computer plays and sends its spectrum and levels to rerov-ever "
        "for the audio-reactive lighting."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption wav(QStringLiteral("wav"),
                                 QStringLiteral("Play a PCM WAV file in real time instead of "
                                                "capturing the sound card."),
                                 QStringLiteral("FILE"));
    const QCommandLineOption loop(QStringLiteral("loop"), QStringLiteral("Repeat the --wav file."));
    const QCommandLineOption toStdout(
        QStringLiteral("stdout"),
        QStringLiteral("Print the records as text lines instead of sending them to rerov-ever."));
    const QCommandLineOption frames(QStringLiteral("frames"),
                                    QStringLiteral("End after N spectra."), QStringLiteral("N"));
    parser.addOptions({wav, loop, toStdout, frames});
    if (!parser.parse(arguments)) {
        *text = parser.errorText();
        return false;
    }
    if (parser.isSet(help)) {
        *exitNow = true;
        *text = parser.helpText();
        return true;
    }
    if (parser.isSet(version)) {
        *exitNow = true;
        *text = QStringLiteral("rerov-audio-capture %1\n").arg(QStringLiteral(REROV_VERSION));
        return true;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *text = QStringLiteral("unexpected argument %1").arg(parser.positionalArguments()[0]);
        return false;
    }
    options->wavPath = parser.value(wav);
    if (parser.isSet(wav) && options->wavPath.isEmpty()) {
        *text = QStringLiteral("--wav needs a file");
        return false;
    }
    options->loop = parser.isSet(loop);
    if (options->loop && options->wavPath.isEmpty()) {
        *text = QStringLiteral("--loop repeats a --wav file; there is none");
        return false;
    }
    options->toStdout = parser.isSet(toStdout);
    if (parser.isSet(frames)) {
        bool ok = false;
        options->frameLimit = parser.value(frames).toInt(&ok);
        if (!ok || options->frameLimit <= 0) {
            *text = QStringLiteral("--frames needs a whole number above 0, not \"%1\"")
                        .arg(parser.value(frames));
            return false;
        }
    }
    return true;
}

}  // namespace rerov::capture
