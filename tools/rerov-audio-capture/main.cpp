// rerov-audio-capture: the sound-capture companion of rerov-ever (see README.md here).

#include <QCoreApplication>
#include <QDir>
#include <cstdio>
#include <optional>

#include "shell/ipc/audio_records.h"
#include "shell/ipc/ipc_protocol.h"
#include "shell/ipc/single_instance.h"
#include "tools/rerov-audio-capture/capture_control.h"
#include "tools/rerov-audio-capture/capture_options.h"
#include "tools/rerov-audio-capture/console.h"
#include "tools/rerov-audio-capture/exit_codes.h"
#include "tools/rerov-audio-capture/ipc_link.h"
#include "tools/rerov-audio-capture/text_sink.h"

#ifdef Q_OS_UNIX
#include <csignal>
#endif

namespace capture = rerov::capture;
namespace ipc = rerov::ipc;

namespace {

QString CompanionLockPath() {
    const QString folder = ipc::RuntimeFolder();
    if (folder.isEmpty()) return {};
    return QDir(folder).filePath(QLatin1String(ipc::kAudioCaptureLockName) +
                                 QStringLiteral(".lock"));
}

}  // namespace

int main(int argc, char** argv) {
#ifdef Q_OS_UNIX
    // A reader that goes away (stdout piped into head, the program's socket) is a failed
    // write to report, not a signal that kills the companion.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QLatin1String(ipc::kAudioCaptureProgram));
    QCoreApplication::setApplicationVersion(QStringLiteral(REROV_VERSION));

    capture::CaptureOptions options;
    bool exitNow = false;
    QString text;
    if (!capture::ParseCaptureOptions(QCoreApplication::arguments(), &options, &exitNow, &text)) {
        capture::PrintMessage(text + QStringLiteral(" (see --help)"));
        return capture::kExitChannelFailed;
    }
    if (exitNow) {
        std::fputs(text.toLocal8Bit().constData(), stdout);
        return std::fflush(stdout) == 0 ? capture::kExitDone : capture::kExitChannelFailed;
    }

    capture::CaptureControl::Settings settings;
    settings.wavPath = options.wavPath;
    settings.loop = options.loop;
    settings.frameLimit = options.frameLimit;
    settings.endWithSound = options.toStdout;

    capture::TextSink textSink(stdout);
    capture::IpcLink link;
    capture::RecordSink* sink = options.toStdout ? static_cast<capture::RecordSink*>(&textSink)
                                                 : static_cast<capture::RecordSink*>(&link);
    capture::CaptureControl control(settings, sink);
    int exitCode = -1;
    QObject::connect(&control, &capture::CaptureControl::finished, &app, [&](int code) {
        exitCode = code;
        QCoreApplication::exit(code);
    });

    // A file that cannot be played is reported at once, before anything else happens.
    if (!options.wavPath.isEmpty() && !control.OpenSource()) return exitCode;

    // Printing needs neither the program nor the companion's lock: it can run beside them.
    std::optional<ipc::SingleInstance> lock;
    if (!options.toStdout) {
        QString error;
        lock.emplace(CompanionLockPath());
        switch (lock->TryClaim(&error)) {
            case ipc::SingleInstance::Claim::First:
                break;
            case ipc::SingleInstance::Claim::AlreadyRunning:
                return capture::kExitDone;  // the running companion serves the program
            case ipc::SingleInstance::Claim::Unavailable:
                capture::PrintMessage(
                    QStringLiteral("cannot take the companion's lock: %1").arg(error));
                return capture::kExitChannelFailed;
        }
        link.SetControl(&control);
        if (!link.Connect(ipc::ServerName(), &error)) {
            capture::PrintMessage(error);
            return capture::kExitChannelFailed;
        }
    } else {
        control.StartCapture();
        if (exitCode >= 0) return exitCode;
    }
    return QCoreApplication::exec();
}
