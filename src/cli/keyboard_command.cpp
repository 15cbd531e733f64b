// rerovctl keyboard read [--json] | apply [--json] | set-key ... | set-lighting ... |
// set-system ...

#include "cli/keyboard_command.h"

#include <iostream>

#include "cli/cli_options.h"
#include "cli/cli_text.h"
#include "cli/keyboard_edits.h"
#include "cli/keyboard_target.h"

namespace rerov::cli {

namespace {

constexpr const char* kUsage =
    "usage: rerovctl [--simulate=LIST] [--receiver] [--trace FILE] keyboard COMMAND\n"
    "  read [--json]        the read-out: geometry, position maps, parameter block,\n"
    "                       onboard profile, power status (the profiles stay as they\n"
    "                       are)\n"
    "  apply [--json]       the selected profile to the keyboard: parameter block,\n"
    "                       macros, key table\n"
    "  set-key KEY (--default | --type T --value V --code C) [--json]\n"
    "                       one key's assignment (KEY 0-169), saved and downloaded\n"
    "  set-lighting [--mode N] [--brightness 0-4] [--speed 0-4] [--direction N]\n"
    "               [--multicolor 0|1] [--color RRGGBB] [--json]\n"
    "  set-system [--repeat N] [--delay 0-3] [--polling 0-3] [--winlock 0|1]\n"
    "             [--wflag 0|1] [--sixkey 0|1] [--json]\n"
    "                       change the selected profile, save it, write the parameter\n"
    "                       block\n";

// Parameter block bytes the read-out decodes.
struct BlockField {
    const char* name;
    size_t offset;
};
constexpr BlockField kLightingFields[] = {
    {"mode", 1},       {"brightness", 2}, {"direction", 4},
    {"multicolor", 5}, {"ledMode", 18},   {"customGroup", 25},
};
constexpr BlockField kSystemFields[] = {
    {"wflag", 19}, {"sixkey", 20}, {"winlock", 21}, {"polling", 22}};
constexpr size_t kSpeedByte = 3;  // holds 4 - speed
constexpr int kSpeedComplement = 4;
constexpr size_t kRedByte = 6;
constexpr size_t kBatteryByte = 0;
constexpr size_t kChargeStateByte = 1;
constexpr size_t kLinkTypeByte = 3;

int Usage(const std::string& message) {
    PrintError("keyboard: " + message + " (see rerovctl keyboard --help)");
    return kExitUsage;
}

std::string ColorText(const uint8_t* rgb) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (int i = 0; i < 3; ++i) {
        text.push_back(kDigits[rgb[i] >> 4]);
        text.push_back(kDigits[rgb[i] & 0x0F]);
    }
    return text;
}

Json::Value ReadOutJson(const CZidiraKeyboardDevice& keyboard, bool receiver) {
    Json::Value root(Json::objectValue);
    root["link"] = receiver ? "receiver" : "cable";
    root["keyPositions"] = keyboard.KeyPositionCount();
    root["macroMemory"] = keyboard.MacroMemorySize();
    Json::Value keys(Json::arrayValue);
    for (int key = 0; key < kKeyboardKeyCount; ++key) {
        const uint8_t position = keyboard.KeyPosition(key);
        if (position == kNoPosition) continue;
        Json::Value entry(Json::objectValue);
        entry["key"] = key;
        entry["position"] = position;
        const uint8_t led = keyboard.LedNumber(key);
        entry["led"] = led == kNoPosition ? Json::Value() : Json::Value(led);
        keys.append(entry);
    }
    root["keys"] = keys;
    root["onboardProfile"] = keyboard.CurrentOnboardProfile();
    const auto block = keyboard.ParameterBlock();
    root["parameterBlock"] = HexBytes(block.data(), block.size());
    Json::Value lighting(Json::objectValue);
    for (const BlockField& field : kLightingFields) lighting[field.name] = block[field.offset];
    lighting["speed"] = kSpeedComplement - block[kSpeedByte];
    lighting["color"] = ColorText(&block[kRedByte]);
    root["lighting"] = lighting;
    Json::Value system(Json::objectValue);
    for (const BlockField& field : kSystemFields) system[field.name] = block[field.offset];
    root["system"] = system;
    const auto power = keyboard.PowerStatus();
    Json::Value powerJson(Json::objectValue);
    powerJson["battery"] = power[kBatteryByte];
    powerJson["chargeState"] = power[kChargeStateByte];
    powerJson["linkType"] = power[kLinkTypeByte];
    powerJson["bytes"] = HexBytes(power.data(), power.size());
    root["power"] = powerJson;
    return root;
}

void PrintReadOut(const Json::Value& root) {
    std::cout << "link: " << root["link"].asString() << '\n'
              << "key positions: " << root["keyPositions"].asInt() << '\n'
              << "macro memory: " << root["macroMemory"].asInt() << " bytes\n"
              << "keys mapped: " << root["keys"].size() << " (key:position/led)";
    for (const Json::Value& key : root["keys"]) {
        std::cout << ' ' << key["key"].asInt() << ':' << key["position"].asInt() << '/'
                  << (key["led"].isNull() ? std::string("-") : std::to_string(key["led"].asInt()));
    }
    std::cout << '\n'
              << "onboard profile: " << root["onboardProfile"].asInt() << '\n'
              << "parameter block: " << root["parameterBlock"].asString() << '\n';
    const Json::Value& lighting = root["lighting"];
    std::cout << "lighting: mode " << lighting["mode"].asInt() << " brightness "
              << lighting["brightness"].asInt() << " speed " << lighting["speed"].asInt()
              << " direction " << lighting["direction"].asInt() << " multicolor "
              << lighting["multicolor"].asInt() << " color " << lighting["color"].asString()
              << " ledMode " << lighting["ledMode"].asInt() << " customGroup "
              << lighting["customGroup"].asInt() << '\n';
    const Json::Value& system = root["system"];
    std::cout << "system: polling " << system["polling"].asInt() << " winlock "
              << system["winlock"].asInt() << " wflag " << system["wflag"].asInt() << " sixkey "
              << system["sixkey"].asInt() << '\n';
    const Json::Value& power = root["power"];
    std::cout << "power: battery " << power["battery"].asInt() << "% chargeState "
              << power["chargeState"].asInt() << " linkType " << power["linkType"].asInt() << '\n';
}

int RunRead(CliSession& session, bool asJson) {
    KeyboardTarget target;
    std::string error;
    if (!OpenKeyboard(session, &target, &error) || !ReadAsOnArrival(target, &error)) {
        PrintError("keyboard read: " + error);
        return kExitFailure;
    }
    CZidiraKeyboardDevice& keyboard = *target.device;
    keyboard.ReadPowerStatus();
    const Json::Value root = ReadOutJson(keyboard, keyboard.MainLink().IsReceiver());
    if (asJson) {
        PrintJson(root);
    } else {
        PrintReadOut(root);
    }
    return kExitOk;
}

int RunApply(CliSession& session, bool asJson) {
    KeyboardTarget target;
    std::string error;
    if (!OpenKeyboard(session, &target, &error)) {
        PrintError("keyboard apply: " + error);
        return kExitFailure;
    }
    // The key table needs the position maps and the block the device's own bytes: the
    // program has both from the arrival.
    if (!ReadAsOnArrival(target, &error)) {
        PrintError("keyboard apply: " + error);
        return kExitFailure;
    }
    const DownloadReport report = target.device->ApplyToDevice();
    return PrintDownload("keyboard apply", report, asJson);
}

}  // namespace

int RunKeyboardCommand(CliSession& session, const std::vector<std::string>& args) {
    if (args.empty()) return Usage("a command is required");
    const std::string& command = args[0];
    if (command == "--help" || command == "-h") {
        std::cout << kUsage;
        return kExitOk;
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "read" || command == "apply") {
        bool asJson = false;
        for (const std::string& arg : rest) {
            if (arg != "--json") return Usage(command + ": unknown argument " + arg);
            asJson = true;
        }
        return command == "read" ? RunRead(session, asJson) : RunApply(session, asJson);
    }
    if (command == "set-key") return RunSetKey(session, rest);
    if (command == "set-lighting") return RunSetLighting(session, rest);
    if (command == "set-system") return RunSetSystem(session, rest);
    return Usage("unknown command \"" + command + "\"");
}

}  // namespace rerov::cli
