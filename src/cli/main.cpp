// rerovctl: the command-line front end over the device link and the simulator.

#include <iostream>
#include <string>
#include <vector>

#include "cli/app_command.h"
#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "cli/commands.h"
#include "cli/keyboard_command.h"
#include "cli/macro_command.h"
#include "cli/profile_command.h"
#include "cli/sim_command.h"

int main(int argc, char** argv) {
    using namespace rerov::cli;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    CommandLine options;
    std::string error;
    if (!ParseCommandLine(arguments, &options, &error)) {
        PrintError(error + " (see rerovctl --help)");
        return kExitUsage;
    }
    if (options.help) {
        std::cout << UsageText();
        return kExitOk;
    }
    // These talk to the running program; no device backend of their own.
    if (options.command == "app") return RunAppCommand(options.args);
    if (options.command == "sim") return RunSimCommand(options.args);
    // The macro files need no device either.
    if (options.command == "macro") return RunMacroCommand(options.args);
    CliSession session;
    bool usageError = false;
    if (!session.Start(options, &error, &usageError)) {
        PrintError(error);
        return usageError ? kExitUsage : kExitFailure;
    }
    int status = kExitUsage;
    if (options.command == "list") {
        status = RunList(session, options.args);
    } else if (options.command == "info") {
        status = RunInfo(session, options.args);
    } else if (options.command == "raw") {
        status = RunRaw(session, options.args);
    } else if (options.command == "keyboard") {
        status = RunKeyboardCommand(session, options.args);
    } else if (options.command == "profile") {
        status = RunProfileCommand(options.args);
    } else {
        PrintError("unknown command " + options.command + " (see rerovctl --help)");
        return kExitUsage;
    }
    if (!session.FinishTrace(&error)) {
        PrintError(error);
        if (status == kExitOk) status = kExitFailure;
    }
    return status;
}
