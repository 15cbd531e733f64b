// rerovctl raw --cmd N [--offset N] [--length N] [--data HEX]

#include <iostream>

#include "cli/cli_options.h"
#include "cli/command_link.h"
#include "cli/commands.h"

namespace rerov::cli {

namespace {

struct RawRequest {
    uint32_t command = 0;
    uint32_t offset = 0;
    uint32_t length = 0;
    bool lengthGiven = false;
    std::vector<uint8_t> data;
};

bool ParseRawArgs(const std::vector<std::string>& args, RawRequest* request, std::string* error) {
    bool commandGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        const size_t eq = name.find('=');
        if (eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            *error = "raw: " + name + " needs a value";
            return false;
        }
        bool ok = true;
        if (name == "--cmd") {
            ok = ParseNumber(value, 0xFF, &request->command);
            commandGiven = ok;
        } else if (name == "--offset") {
            ok = ParseNumber(value, 0xFFFF, &request->offset);
        } else if (name == "--length") {
            ok = ParseNumber(value, 0xFF, &request->length);
            request->lengthGiven = ok;
        } else if (name == "--data") {
            ok = ParseHexBytes(value, &request->data) && request->data.size() <= kMaxReportPayload;
        } else {
            *error = "raw: unknown argument " + name;
            return false;
        }
        if (!ok) {
            *error = "raw: bad value for " + name + ": " + value;
            return false;
        }
    }
    if (!commandGiven) {
        *error = "raw: --cmd is required";
        return false;
    }
    if (!request->lengthGiven) request->length = static_cast<uint32_t>(request->data.size());
    return true;
}

}  // namespace

int RunRaw(CliSession& session, const std::vector<std::string>& args) {
    RawRequest request;
    std::string error;
    if (!ParseRawArgs(args, &request, &error)) {
        PrintError(error);
        return kExitUsage;
    }
    DeviceLink link;
    if (!OpenCommandLink(session, link, &error)) {
        PrintError(error);
        return kExitFailure;
    }
    CommandReport reply;
    const int result = link.SendCommand(
        static_cast<uint8_t>(request.command), static_cast<uint8_t>(request.length),
        static_cast<uint16_t>(request.offset), request.data.data(), request.data.size(), &reply);
    std::cout << DescribeResult(result) << '\n';
    if (result != kResultNoReply && result != kResultWriteFailed) {
        std::cout << "reply: " << HexBytes(reply.Data(), kCommandReportSize) << '\n';
    }
    if (result != kResultSuccess) {
        PrintError("command failed: " + DescribeResult(result));
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace rerov::cli
