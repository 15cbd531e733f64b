#include "cli/macro_command.h"

#include <iostream>
#include <optional>

#include "cli/cli_text.h"
#include "editors/assignment/code_tables.h"
#include "editors/macro/macro_assignments.h"
#include "editors/macro/macro_library.h"
#include "profiles/json_file_io.h"
#include "profiles/profile_folders.h"

namespace {

using rerov::cli::ParseInt;
using rerov::cli::Printable;
using rerov::cli::PrintJson;

using rerov::editors::MacroEvent;
using rerov::editors::MacroLibrary;
using rerov::editors::MacroResult;

constexpr int kExitOk = 0;
constexpr int kExitRefused = 1;
constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "usage: rerovctl macro FAMILY COMMAND\n"
    "  FAMILY   keyboard | mouse\n"
    "  COMMAND  list [--json] | add | rename I NAME | delete I | import FILE |\n"
    "           export I FILE | show I [--json]\n"
    "  delete I also gives every key of every profile that ran macro I its default\n"
    "  function back and moves keys of later macros one number down.\n";

// Command name and the number of words after it (the optional --json is extra).
struct CommandSpec {
    const char* name;
    std::size_t arguments;
    bool json;
};

constexpr CommandSpec kCommands[] = {
    {"list", 0, true},    {"add", 0, false},    {"rename", 2, false}, {"delete", 1, false},
    {"import", 1, false}, {"export", 2, false}, {"show", 1, true},
};

int UsageError(const std::string& message) {
    std::cerr << "rerovctl macro: " << message << "\n" << kUsage;
    return kExitUsage;
}

int Refused(const std::string& what, MacroResult result) {
    std::cerr << "rerovctl macro: " << what
              << " refused: " << rerov::editors::MacroResultText(result) << "\n";
    return kExitRefused;
}

const char* StepKindName(int type) {
    using namespace rerov::editors;
    switch (type) {
        case kStepKey:
            return "key";
        case kStepModifier:
            return "modifier";
        case kStepMouseButton:
            return "mouse";
        case kStepMoveX:
            return "move-x";
        case kStepMoveY:
            return "move-y";
        case kStepWheel:
            return "wheel";
        case kStepCursor:
            return "cursor";
        default:
            return "?";
    }
}

int PrintList(const MacroLibrary& library, bool asJson) {
    const auto& macros = library.Macros();
    if (asJson) {
        Json::Value root(Json::arrayValue);
        for (int i = 0; i < library.Count(); ++i) {
            Json::Value item(Json::objectValue);
            item["index"] = i;
            item["name"] = macros[static_cast<std::size_t>(i)].name;
            item["guid"] = macros[static_cast<std::size_t>(i)].guid;
            item["steps"] = static_cast<int>(library.ReadSteps(i).size());
            root.append(item);
        }
        PrintJson(root);
        return kExitOk;
    }
    for (int i = 0; i < library.Count(); ++i) {
        std::cout << i << "\t" << Printable(macros[static_cast<std::size_t>(i)].name) << "\t"
                  << library.ReadSteps(i).size() << " steps\n";
    }
    return kExitOk;
}

int PrintSteps(const MacroLibrary& library, int index, bool asJson) {
    MacroResult result = MacroResult::Ok;
    const std::vector<MacroEvent> steps = library.ReadSteps(index, &result);
    if (result == MacroResult::NoSuchMacro || result == MacroResult::ReadFailed) {
        return Refused("show", result);
    }
    if (asJson) {
        Json::Value root(Json::objectValue);
        root["index"] = index;
        root["name"] = library.Macros()[static_cast<std::size_t>(index)].name;
        Json::Value& events = root["steps"];
        events = Json::Value(Json::arrayValue);
        for (const MacroEvent& step : steps) {
            Json::Value item = rerov::editors::EventToJson(step);
            item["Name"] = rerov::editors::StepNameKey(step);
            events.append(item);
        }
        PrintJson(root);
        return kExitOk;
    }
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const MacroEvent& step = steps[i];
        std::cout << i << "\t" << StepKindName(step.type) << "\t" << (step.down ? "down" : "up")
                  << "\t" << step.button << "\t" << rerov::editors::StepNameKey(step) << "\t"
                  << step.delay << " ms\n";
    }
    return kExitOk;
}

}  // namespace

int RunMacroCommand(const std::vector<std::string>& args) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << kUsage;
        return kExitOk;
    }
    if (args.size() < 2) return UsageError("a family and a command are required");
    const std::string& family = args[0];
    const int kind = rerov::DeviceKindOfFamily(family);
    // Only the keyboard and the mouse replay macros.
    if (kind != 1 && kind != 2) return UsageError("no macros on family \"" + family + "\"");
    const std::string& command = args[1];
    const CommandSpec* found = nullptr;
    for (const CommandSpec& candidate : kCommands) {
        if (command == candidate.name) found = &candidate;
    }
    if (found == nullptr) return UsageError("unknown command \"" + command + "\"");
    std::vector<std::string> words(args.begin() + 2, args.end());
    bool asJson = false;
    if (found->json && words.size() == found->arguments + 1 && words.back() == "--json") {
        asJson = true;
        words.pop_back();
    }
    if (words.size() != found->arguments) {
        return UsageError(command + " takes " + std::to_string(found->arguments) + " argument(s)");
    }
    std::optional<int> index;
    if (command == "rename" || command == "delete" || command == "export" || command == "show") {
        index = ParseInt(words[0]);
        if (!index || *index < 0)
            return UsageError(command + " needs a macro number, not \"" + words[0] + "\"");
    }

    const std::filesystem::path folder = rerov::ProfileFolder(family);
    if (folder.empty()) {
        std::cerr << "rerovctl macro: no user data folder\n";
        return kExitRefused;
    }
    MacroLibrary library(folder);
    if (command == "list") return PrintList(library, asJson);
    if (command == "show") return PrintSteps(library, *index, asJson);

    MacroResult result = MacroResult::Ok;
    if (command == "add") {
        std::string name;
        int added = -1;
        result = library.Add(&name, &added);
        if (result == MacroResult::Ok)
            std::cout << "added " << added << "\t" << Printable(name) << "\n";
    } else if (command == "rename") {
        result = library.Rename(*index, words[1]);
        if (result == MacroResult::Ok) {
            std::cout << "renamed " << *index << "\t"
                      << Printable(library.Macros()[static_cast<std::size_t>(*index)].name) << "\n";
        }
    } else if (command == "delete") {
        if (*index >= library.Count()) return Refused(command, MacroResult::NoSuchMacro);
        const std::string name = library.Macros()[static_cast<std::size_t>(*index)].name;
        result = library.Remove(*index);
        if (result == MacroResult::Ok) {
            int failed = 0;
            const int changed = rerov::editors::RenumberProfilesAfterMacroRemoval(
                {kind, folder, rerov::DefaultProfilePath(family)}, *index, &failed);
            std::cout << "deleted " << *index << "\t" << Printable(name) << "\t" << changed
                      << " profile(s) renumbered\n";
            if (failed > 0) {
                std::cerr << "rerovctl macro: " << failed << " profile(s) could not be saved\n";
                return kExitRefused;
            }
        }
    } else if (command == "import") {
        std::string name;
        int added = -1;
        result = library.Import(rerov::PathFromUtf8(words[0]), &name, &added);
        if (result == MacroResult::Ok) {
            std::cout << "imported " << added << "\t" << Printable(name) << "\n";
        }
    } else if (command == "export") {
        result = library.Export(*index, rerov::PathFromUtf8(words[1]));
        if (result == MacroResult::Ok)
            std::cout << "exported " << *index << " to " << words[1] << "\n";
    }
    return result == MacroResult::Ok ? kExitOk : Refused(command, result);
}
