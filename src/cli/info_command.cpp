// rerovctl info: session open, information block, session close.

#include <iostream>

#include "cli/cli_options.h"
#include "cli/command_link.h"
#include "cli/commands.h"

namespace rerov::cli {

namespace {

constexpr size_t kKeyPositionCountByte = 5;
constexpr size_t kMacroMemoryByte = 6;
constexpr unsigned kMacroMemoryUnit = 128;

}  // namespace

int RunInfo(CliSession& session, const std::vector<std::string>& args) {
    if (!args.empty()) {
        PrintError("info: unknown argument " + args.front());
        return kExitUsage;
    }
    DeviceLink link;
    std::string error;
    if (!OpenCommandLink(session, link, &error)) {
        PrintError(error);
        return kExitFailure;
    }
    int result = link.BeginSession();
    if (result != kResultSuccess) {
        PrintError("BeginSession failed: " + DescribeResult(result));
        return kExitFailure;
    }
    uint8_t info[kDeviceInfoSize] = {};
    result = link.ReadDeviceInfo(info);
    // The session is closed whatever the read gave, so the device does not stay in it.
    const int endResult = link.EndSession(1);
    if (result != kResultSuccess) {
        PrintError("ReadDeviceInfo failed: " + DescribeResult(result));
        return kExitFailure;
    }
    if (endResult != kResultSuccess) {
        PrintError("EndSession failed: " + DescribeResult(endResult));
        return kExitFailure;
    }
    std::cout << "info: " << HexBytes(info, sizeof info) << '\n'
              << "key positions: " << unsigned{info[kKeyPositionCountByte]} << '\n'
              << "macro memory: " << unsigned{info[kMacroMemoryByte]} * kMacroMemoryUnit
              << " bytes\n";
    return kExitOk;
}

}  // namespace rerov::cli
