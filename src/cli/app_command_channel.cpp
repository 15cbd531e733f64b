#include "cli/app_command_channel.h"

#include <QCoreApplication>
#include <memory>

#include "cli/cli_session.h"
#include "shell/ipc/ipc_client.h"
#include "shell/ipc/ipc_protocol.h"

namespace rerov::cli {

namespace {

// Generous: the program answers from its UI thread, which may be busy with a device.
constexpr int kConnectMs = 3000;
constexpr int kReplyMs = 10000;
// Ending includes stopping every worker thread and closing the devices.
constexpr int kExitWaitMs = 15000;

}  // namespace

int AskProgram(const QJsonObject& request, QJsonObject* reply, bool waitForExit) {
    // Qt's socket classes want an application object, even without an event loop.
    std::unique_ptr<QCoreApplication> app;
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "rerovctl";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    // The program would refuse it and close the channel; say why here instead.
    if (ipc::EncodeMessage(request).size() > qsizetype{4} + ipc::kMaxMessageBytes) {
        PrintError("the request is larger than the channel's limit of " +
                   std::to_string(ipc::kMaxMessageBytes / 1024) + " KiB");
        return kExitFailure;
    }
    ipc::IpcClient client;
    QString error;
    const QString server = ipc::ServerName();
    if (!client.Connect(server, kConnectMs, &error)) {
        PrintError("rerov-ever is not running (no answer on " + server.toStdString() + ": " +
                   error.toStdString() + ")");
        return kExitFailure;
    }
    if (!client.Request(request, kReplyMs, reply, &error)) {
        PrintError(error.toStdString());
        return kExitFailure;
    }
    if (!reply->value(QStringLiteral("ok")).toBool()) {
        PrintError(reply->value(QStringLiteral("error")).toString().toStdString());
        return kExitFailure;
    }
    if (waitForExit && !client.WaitForClosed(kExitWaitMs)) {
        PrintError("rerov-ever did not end within " + std::to_string(kExitWaitMs / 1000) + " s");
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace rerov::cli
