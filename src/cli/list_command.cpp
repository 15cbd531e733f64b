// rerovctl list [--json]

#include <json/json.h>

#include <iostream>

#include "cli/commands.h"
#include "cli/interface_scan.h"

namespace rerov::cli {

namespace {

void PrintJson(const ScanResult& scan) {
    Json::Value list(Json::arrayValue);
    for (const FoundInterface& found : scan.found) {
        Json::Value entry;
        entry["row"] = found.row;
        entry["kind"] = found.kind;
        entry["kindName"] = KindName(found.kind);
        entry["role"] = found.role;
        entry["roleName"] = RoleName(found.role);
        entry["path"] = found.path;
        list.append(entry);
    }
    Json::StreamWriterBuilder writer;
    writer["indentation"] = "  ";
    std::cout << Json::writeString(writer, list) << '\n';
}

}  // namespace

int RunList(CliSession& /*session*/, const std::vector<std::string>& args) {
    bool json = false;
    for (const std::string& arg : args) {
        if (arg == "--json") {
            json = true;
        } else {
            PrintError("list: unknown argument " + arg);
            return kExitUsage;
        }
    }
    const ScanResult scan = ScanSupportedInterfaces();
    if (!scan.enumerated) {
        PrintError("cannot list the HID interfaces");
        return kExitFailure;
    }
    // Interfaces that match the table but cannot be opened are usually a permission
    // problem; say so rather than leaving them silently out.
    for (const std::string& openError : scan.openErrors) PrintError("cannot open " + openError);
    if (json) {
        PrintJson(scan);
    } else {
        for (const FoundInterface& found : scan.found) {
            std::cout << found.row << ' ' << found.kind << ' ' << found.role << ' ' << found.path
                      << '\n';
        }
    }
    return kExitOk;
}

}  // namespace rerov::cli
