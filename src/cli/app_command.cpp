// rerovctl app state [--json] | show | quit | settings | relay CODE [VALUE] |
// screenshot FILE | ui ...

#include "cli/app_command.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <charconv>
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
        "usage: app state [--json] | app show | app quit | app settings | "
        "app relay CODE [VALUE] | app screenshot FILE | app ui ...");
    return kExitUsage;
}

// A whole decimal number that fits an int, sign allowed.
bool ParseInt(const std::string& text, int* value) {
    const char* first = text.data();
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, *value);
    return !text.empty() && error == std::errc() && end == last;
}

// An updater's message for the settings window: what the window made of it.
int Relay(const std::vector<std::string>& args) {
    if (args.empty() || args.size() > 2) return Usage();
    int code = 0;
    int value = 0;
    if (!ParseInt(args[0], &code) || (args.size() == 2 && !ParseInt(args[1], &value))) {
        PrintError(
            "app relay: CODE and VALUE are whole numbers (CODE 1 finished, 2 failed, "
            "3 given up, 4 progress with VALUE the percentage)");
        return kExitUsage;
    }
    QJsonObject request = Request(ipc::kSettingsRelay);
    request.insert(QStringLiteral("code"), code);
    if (args.size() == 2) request.insert(QStringLiteral("value"), value);
    QJsonObject reply;
    const int status = AskProgram(request, &reply);
    if (status != kExitOk) return status;
    if (!reply.value(QStringLiteral("delivered")).toBool()) {
        std::cout << "no settings window is open: nothing changed\n";
    } else if (reply.value(QStringLiteral("closed")).toBool()) {
        std::cout << "delivered; the settings window closed\n";
    } else {
        std::cout << "delivered; the settings window stays open while an update runs\n";
    }
    return kExitOk;
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
    if (verb == "relay") return Relay(rest);
    if (args.size() != 1) return Usage();
    if (verb == "settings") return AskProgram(Request(ipc::kSettingsOpen), &reply);
    if (verb == "show") return AskProgram(Request(ipc::kAppShow), &reply);
    // Returns once the program has ended, so scripts can go on right after it.
    if (verb == "quit") return AskProgram(Request(ipc::kAppQuit), &reply, true);
    return Usage();
}

}  // namespace rerov::cli
