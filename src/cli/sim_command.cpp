// rerovctl sim plug|unplug DEVICE | sim reach keyboard on|off

#include "sim_command.h"

#include <QJsonObject>

#include "app_command_channel.h"
#include "cli_session.h"
#include "shell/ipc/ipc_protocol.h"
#include "simulated_bus.h"

namespace rerov::cli {

namespace {

int Usage() {
    PrintError(
        "usage: sim plug|unplug keyboard|keyboard-receiver|mouse|mouse-receiver|mousepad|"
        "headset | sim reach keyboard on|off");
    return kExitUsage;
}

// One known --simulate device name, checked here so that a typo is a usage error.
bool KnownDevice(const std::string& name) {
    std::vector<sim::SimPath> paths;
    std::string error;
    return name.find(',') == std::string::npos && sim::ParseSimPathList(name, &paths, &error) &&
           paths.size() == 1;
}

}  // namespace

int RunSimCommand(const std::vector<std::string>& args) {
    if (args.size() < 2) return Usage();
    const std::string& verb = args[0];
    const QString device = QString::fromStdString(args[1]);
    QJsonObject request;
    if ((verb == "plug" || verb == "unplug") && args.size() == 2) {
        if (!KnownDevice(args[1])) {
            PrintError("sim: unknown device " + args[1]);
            return Usage();
        }
        request = {{QStringLiteral("type"),
                    QLatin1String(verb == "plug" ? ipc::kSimPlug : ipc::kSimUnplug)},
                   {QStringLiteral("device"), device}};
    } else if (verb == "reach" && args.size() == 3 && args[1] == "keyboard" &&
               (args[2] == "on" || args[2] == "off")) {
        request = {{QStringLiteral("type"), QLatin1String(ipc::kSimReach)},
                   {QStringLiteral("device"), device},
                   {QStringLiteral("on"), args[2] == "on"}};
    } else {
        return Usage();
    }
    QJsonObject reply;
    return AskProgram(request, &reply);
}

}  // namespace rerov::cli
