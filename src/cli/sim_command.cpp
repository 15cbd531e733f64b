// rerovctl sim plug|unplug DEVICE | sim reach keyboard on|off | sim memory ... |
// sim trace start FILE | sim trace stop | sim timing | sim key keyboard POSITION down|up |
// sim onboard keyboard N [--field M] | sim changed keyboard |
// sim set keyboard param OFFSET VALUE

#include "cli/sim_command.h"

#include <QFileInfo>
#include <QJsonObject>
#include <iostream>

#include "cli/app_command_channel.h"
#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "cli/sim_memory_command.h"
#include "shell/ipc/ipc_protocol.h"
#include "sim/keyboard_model.h"
#include "sim/simulated_bus.h"

namespace rerov::cli {

namespace {

int Usage() {
    PrintError(
        "usage: sim plug|unplug keyboard|keyboard-receiver|mouse|mouse-receiver|mousepad|"
        "headset | sim reach keyboard on|off | sim memory DEVICE [AREA] [--json] | "
        "sim trace start FILE | sim trace stop | sim timing | "
        "sim key keyboard POSITION down|up | sim onboard keyboard N [--field M] | "
        "sim changed keyboard | sim set keyboard param OFFSET VALUE");
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

// A number argument in [0, max]; a usage message naming it otherwise.
bool Argument(const std::string& text, uint32_t max, const char* what, uint32_t* value) {
    if (ParseNumber(text, max, value)) return true;
    PrintError("sim: " + std::string(what) + " must be 0-" + std::to_string(max) + ", not \"" +
               text + "\"");
    return false;
}

// The keyboard's own events and changes: sim key | onboard | changed | set. Their device is
// always the keyboard (its firmware is the one the simulator models); the ranges are
// checked here so a typo is a usage error, and again by the program.
bool KeyboardRequest(const std::vector<std::string>& args, QJsonObject* request) {
    const std::string& verb = args[0];
    if (args.size() < 2 || args[1] != "keyboard") return false;
    const QString device = QStringLiteral("keyboard");
    uint32_t number = 0;
    if (verb == "key" && args.size() == 4 && (args[3] == "down" || args[3] == "up")) {
        if (!Argument(args[2], 0xFF, "a key position", &number)) return false;
        *request = {{QStringLiteral("type"), QLatin1String(ipc::kSimKey)},
                    {QStringLiteral("device"), device},
                    {QStringLiteral("position"), static_cast<int>(number)},
                    {QStringLiteral("down"), args[3] == "down"}};
        return true;
    }
    if (verb == "onboard" && (args.size() == 3 || (args.size() == 5 && args[3] == "--field"))) {
        if (!Argument(args[2], sim::KeyboardModel::kProfileCount - 1, "the onboard profile",
                      &number)) {
            return false;
        }
        *request = {{QStringLiteral("type"), QLatin1String(ipc::kSimOnboard)},
                    {QStringLiteral("device"), device},
                    {QStringLiteral("profile"), static_cast<int>(number)}};
        if (args.size() == 5) {
            if (!Argument(args[4], 15, "the device field", &number)) return false;
            request->insert(QStringLiteral("field"), static_cast<int>(number));
        }
        return true;
    }
    if (verb == "changed" && args.size() == 2) {
        *request = {{QStringLiteral("type"), QLatin1String(ipc::kSimChanged)},
                    {QStringLiteral("device"), device}};
        return true;
    }
    if (verb == "set" && args.size() == 5 && args[2] == "param") {
        uint32_t value = 0;
        if (!Argument(args[3], sim::KeyboardModel::kParameterAreaSize - 1, "the parameter offset",
                      &number) ||
            !Argument(args[4], 0xFF, "the value", &value)) {
            return false;
        }
        *request = {{QStringLiteral("type"), QLatin1String(ipc::kSimParam)},
                    {QStringLiteral("device"), device},
                    {QStringLiteral("offset"), static_cast<int>(number)},
                    {QStringLiteral("value"), static_cast<int>(value)}};
        return true;
    }
    return false;
}

bool IsKeyboardVerb(const std::string& verb) {
    return verb == "key" || verb == "onboard" || verb == "changed" || verb == "set";
}

}  // namespace

int RunSimCommand(const std::vector<std::string>& args) {
    if (!args.empty() && args[0] == "memory")
        return RunSimMemoryCommand({args.begin() + 1, args.end()});
    if (!args.empty() && args[0] == "trace") return RunTrace(args);
    if (!args.empty() && args[0] == "timing") return RunTiming(args);
    if (!args.empty() && IsKeyboardVerb(args[0])) {
        QJsonObject request;
        if (!KeyboardRequest(args, &request)) return Usage();
        QJsonObject reply;
        return AskProgram(request, &reply);
    }
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
