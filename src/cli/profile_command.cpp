#include "cli/profile_command.h"

#include <cstdio>
#include <iostream>
#include <optional>

#include "cli/cli_text.h"
#include "profiles/json_file_io.h"
#include "profiles/profile_folders.h"
#include "profiles/profile_store.h"

namespace {

using rerov::cli::ParseInt;
using rerov::cli::Printable;
using rerov::cli::PrintJson;

using rerov::ProfileStore;
using rerov::StoreResult;

constexpr int kExitOk = 0;
constexpr int kExitRefused = 1;
constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "usage: rerovctl profile FAMILY COMMAND\n"
    "  FAMILY   keyboard | mouse | MousePad | HD\n"
    "  COMMAND  list [--json] | add | delete | copy | select N | rename NAME |\n"
    "           import FILE | export FILE | reset\n";

struct CommandSpec {
    const char* name;
    bool takesArgument;
};

constexpr CommandSpec kCommands[] = {
    {"list", false},  {"add", false},   {"delete", false}, {"copy", false},  {"select", true},
    {"rename", true}, {"import", true}, {"export", true},  {"reset", false},
};

int UsageError(const std::string& message) {
    std::cerr << "rerovctl profile: " << message << "\n" << kUsage;
    return kExitUsage;
}

int Refused(const std::string& what, StoreResult result) {
    std::cerr << "rerovctl profile: " << what << " refused: " << rerov::StoreResultText(result)
              << "\n";
    return kExitRefused;
}

int PrintList(const ProfileStore& store, bool asJson) {
    const auto& entries = store.Entries();
    if (asJson) {
        Json::Value root(Json::objectValue);
        root["selected"] = store.Selected();
        Json::Value& profiles = root["profiles"];
        profiles = Json::Value(Json::arrayValue);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            Json::Value item(Json::objectValue);
            item["index"] = static_cast<int>(i);
            item["name"] = entries[i].name;
            item["uuid"] = entries[i].uuid;
            item["selected"] = static_cast<int>(i) == store.Selected();
            profiles.append(item);
        }
        PrintJson(root);
        return kExitOk;
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const bool selected = static_cast<int>(i) == store.Selected();
        std::cout << (selected ? "* " : "  ") << i << "\t" << Printable(entries[i].name) << "\t"
                  << entries[i].uuid << "\n";
    }
    return kExitOk;
}

void PrintEntry(const char* verb, const ProfileStore& store, std::size_t index) {
    const auto& entry = store.Entries().at(index);
    std::cout << verb << " " << index << "\t" << Printable(entry.name) << "\t" << entry.uuid
              << "\n";
}

}  // namespace

int RunProfileCommand(const std::vector<std::string>& args) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << kUsage;
        return kExitOk;
    }
    if (args.size() < 2) return UsageError("a family and a command are required");
    const std::string& family = args[0];
    const int kind = rerov::DeviceKindOfFamily(family);
    if (kind == 0) return UsageError("unknown family \"" + family + "\"");
    const std::string& command = args[1];

    const CommandSpec* found = nullptr;
    for (const CommandSpec& candidate : kCommands) {
        if (command == candidate.name) found = &candidate;
    }
    if (found == nullptr) return UsageError("unknown command \"" + command + "\"");
    bool asJson = false;
    if (command == "list" && args.size() == 3 && args[2] == "--json") {
        asJson = true;
    } else if (args.size() != (found->takesArgument ? 3u : 2u)) {
        return UsageError(found->takesArgument ? command + " needs exactly one argument"
                                               : command + " takes no argument");
    }
    std::optional<int> index;
    if (command == "select") {
        index = ParseInt(args[2]);
        if (!index) return UsageError("select needs a profile index, not \"" + args[2] + "\"");
    }

    ProfileStore store(kind, rerov::ProfileFolder(family), rerov::DefaultProfilePath(family));
    const StoreResult built = store.Build();
    if (built != StoreResult::Ok) return Refused("reading the profile list", built);

    StoreResult result = StoreResult::Ok;
    if (command == "list") return PrintList(store, asJson);
    if (command == "add") {
        result = store.Add();
        if (result == StoreResult::Ok) PrintEntry("added", store, store.Entries().size() - 1);
    } else if (command == "delete") {
        const std::string name =
            store.Entries().at(static_cast<std::size_t>(store.Selected())).name;
        result = store.Delete();
        if (result == StoreResult::Ok) {
            std::cout << "deleted " << Printable(name) << "\n";
            PrintEntry("selected", store, static_cast<std::size_t>(store.Selected()));
        }
    } else if (command == "copy") {
        result = store.Copy();
        if (result == StoreResult::Ok) PrintEntry("copied to", store, store.Entries().size() - 1);
    } else if (command == "select") {
        result = store.Select(*index);
        if (result == StoreResult::Ok) {
            PrintEntry("selected", store, static_cast<std::size_t>(store.Selected()));
        }
    } else if (command == "rename") {
        result = store.Rename(args[2]);
        if (result == StoreResult::Ok) {
            PrintEntry("renamed", store, static_cast<std::size_t>(store.Selected()));
        }
    } else if (command == "import") {
        result = store.Import(rerov::PathFromUtf8(args[2]));
        if (result == StoreResult::Ok) PrintEntry("imported", store, store.Entries().size() - 1);
    } else if (command == "export") {
        result = store.Export(rerov::PathFromUtf8(args[2]));
        if (result == StoreResult::Ok) {
            std::cout << "exported "
                      << store.Entries().at(static_cast<std::size_t>(store.Selected())).name
                      << " to " << args[2] << "\n";
        }
    } else if (command == "reset") {
        result = store.Reset();
        if (result == StoreResult::Ok) {
            PrintEntry("reset", store, static_cast<std::size_t>(store.Selected()));
        }
    }
    return result == StoreResult::Ok ? kExitOk : Refused(command, result);
}
