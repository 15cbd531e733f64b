// rerovctl app state [--json] | show | quit | screenshot FILE | ui ...

#include "cli/app_command.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <iostream>

#include "cli/app_command_channel.h"
#include "cli/app_ui_command.h"
#include "cli/cli_session.h"
#include "shell/ipc/ipc_protocol.h"

namespace rerov::cli {

namespace {

QJsonObject Request(const char* type) {
    return QJsonObject{{QStringLiteral("type"), QLatin1String(type)}};
}

// One line per list entry, then the hint:
//   keyboard: shown, current, connected, cable
//   mouse: hidden, not connected
//   No_device_Link: hidden
void PrintState(const QJsonObject& reply) {
    const QJsonArray entries = reply.value(QStringLiteral("entries")).toArray();
    for (const QJsonValue& value : entries) {
        const QJsonObject entry = value.toObject();
        std::string line = entry.value(QStringLiteral("family")).toString().toStdString() + ": ";
        line += entry.value(QStringLiteral("shown")).toBool() ? "shown" : "hidden";
        if (entry.value(QStringLiteral("current")).toBool()) line += ", current";
        if (entry.value(QStringLiteral("connected")).toBool()) {
            line += ", connected, ";
            line += entry.value(QStringLiteral("receiver")).toBool() ? "receiver" : "cable";
        } else {
            line += ", not connected";
        }
        std::cout << line << '\n';
    }
    std::cout << "No_device_Link: "
              << (reply.value(QStringLiteral("noDeviceHintVisible")).toBool() ? "shown" : "hidden")
              << '\n';
    if (reply.value(QStringLiteral("simulated")).toBool()) std::cout << "devices: simulated\n";
}

void PrintStateJson(QJsonObject reply) {
    // The reply's envelope is the channel's business, not the caller's.
    reply.remove(QStringLiteral("type"));
    reply.remove(QStringLiteral("ok"));
    std::cout << QJsonDocument(reply).toJson(QJsonDocument::Indented).toStdString();
}

int Usage() {
    PrintError(
        "usage: app state [--json] | app show | app quit | app screenshot FILE | app ui ...");
    return kExitUsage;
}

}  // namespace

int RunAppCommand(const std::vector<std::string>& args) {
    if (args.empty()) return Usage();
    const std::string& verb = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (verb == "screenshot") return RunScreenshotCommand(rest);
    if (verb == "ui") return RunUiCommand(rest);
    QJsonObject reply;
    if (verb == "state") {
        const bool json = args.size() == 2 && args[1] == "--json";
        if (args.size() > 2 || (args.size() == 2 && !json)) return Usage();
        const int code = AskProgram(Request(ipc::kAppState), &reply);
        if (code != kExitOk) return code;
        json ? PrintStateJson(reply) : PrintState(reply);
        return kExitOk;
    }
    if (args.size() != 1) return Usage();
    if (verb == "show") return AskProgram(Request(ipc::kAppShow), &reply);
    // Returns once the program has ended, so scripts can go on right after it.
    if (verb == "quit") return AskProgram(Request(ipc::kAppQuit), &reply, true);
    return Usage();
}

}  // namespace rerov::cli
