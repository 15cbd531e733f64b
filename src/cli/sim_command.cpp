// rerovctl sim plug|unplug DEVICE | sim reach keyboard on|off | sim memory ... |
// sim trace start FILE | sim trace stop | sim timing

#include "cli/sim_command.h"

#include <QFileInfo>
#include <QJsonObject>
#include <iostream>

#include "cli/app_command_channel.h"
#include "cli/cli_session.h"
#include "cli/sim_memory_command.h"
#include "shell/ipc/ipc_protocol.h"
#include "sim/simulated_bus.h"

namespace rerov::cli {

namespace {

int Usage() {
    PrintError(
        "usage: sim plug|unplug keyboard|keyboard-receiver|mouse|mouse-receiver|mousepad|"
        "headset | sim reach keyboard on|off | sim memory DEVICE [AREA] [--json] | "
        "sim trace start FILE | sim trace stop | sim timing");
    return kExitUsage;
}

// One known --simulate device name, checked here so that a typo is a usage error.
bool KnownDevice(const std::string& name) {
    std::vector<sim::SimPath> paths;
    std::string error;
    return name.find(',') == std::string::npos && sim::ParseSimPathList(name, &paths, &error) &&
           paths.size() == 1;
}

// sim trace start FILE | sim trace stop. The program opens the file, so a relative name is
// made absolute here, against the caller's working folder.
int RunTrace(const std::vector<std::string>& args) {
    QJsonObject request;
    if (args.size() == 3 && args[1] == "start" && !args[2].empty()) {
        const QString file = QFileInfo(QString::fromLocal8Bit(args[2].c_str())).absoluteFilePath();
        request = {{QStringLiteral("type"), QLatin1String(ipc::kSimTraceStart)},
                   {QStringLiteral("file"), file}};
    } else if (args.size() == 2 && args[1] == "stop") {
        request = {{QStringLiteral("type"), QLatin1String(ipc::kSimTraceStop)}};
    } else {
        return Usage();
    }
    QJsonObject reply;
    const int code = AskProgram(request, &reply);
    if (code != kExitOk) return code;
    const std::string file =
        reply.value(QStringLiteral("file")).toString().toLocal8Bit().toStdString();
    if (args[1] == "start") {
        std::cout << "tracing to " << file << '\n';
    } else {
        std::cout << "trace stopped: " << reply.value(QStringLiteral("lines")).toInteger()
                  << " reports in " << file << '\n';
    }
    return kExitOk;
}

// sim timing: the count of command reports the simulated firmware refused for their timing.
int RunTiming(const std::vector<std::string>& args) {
    if (args.size() != 1) return Usage();
    QJsonObject reply;
    const int code = AskProgram({{QStringLiteral("type"), QLatin1String(ipc::kSimTiming)}}, &reply);
    if (code != kExitOk) return code;
    std::cout << "timing violations: " << reply.value(QStringLiteral("violations")).toInteger()
              << '\n';
    return kExitOk;
}

}  // namespace

int RunSimCommand(const std::vector<std::string>& args) {
    if (!args.empty() && args[0] == "memory")
        return RunSimMemoryCommand({args.begin() + 1, args.end()});
    if (!args.empty() && args[0] == "trace") return RunTrace(args);
    if (!args.empty() && args[0] == "timing") return RunTiming(args);
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
