#include "cli/keyboard_edits.h"

#include <functional>
#include <iostream>
#include <optional>

#include "cli/cli_options.h"
#include "cli/cli_text.h"
#include "cli/keyboard_target.h"
#include "device_link/result_codes.h"
#include "profiles/keyboard_profile_data.h"

namespace rerov::cli {

namespace {

// Mode indices the program knows when the mode list cannot be read.
constexpr uint32_t kLastKnownMode = 30;
constexpr uint32_t kMaxLightLevel = 4;  // brightness and speed
constexpr uint32_t kByteMax = 0xFF;
constexpr uint32_t kFlagMax = 1;
constexpr uint32_t kMaxRepeatDelay = 3;
constexpr uint32_t kMaxPollingRate = 3;
constexpr uint32_t kHalfWordMax = 0xFFFF;

// One "--name N" option of a set command: its range and where the value goes.
struct NumberOption {
    const char* name;
    uint32_t max;
    std::optional<uint32_t>* value;
};

int Refuse(const std::string& command, const std::string& message) {
    PrintError("keyboard " + command + ": " + message + " (see rerovctl keyboard --help)");
    return kExitUsage;
}

int Fail(const std::string& command, const std::string& message) {
    PrintError("keyboard " + command + ": " + message);
    return kExitFailure;
}

// Parses "--name N" options of `options`, "--json" and, through `other`, anything else
// the command takes (it returns false for an argument it does not know). Returns "" or
// the reason for a usage error.
std::string ParseOptions(
    const std::vector<std::string>& args, size_t first, const std::vector<NumberOption>& options,
    bool* asJson,
    const std::function<bool(const std::vector<std::string>&, size_t*, std::string*)>& other) {
    for (size_t i = first; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--json") {
            *asJson = true;
            continue;
        }
        const NumberOption* option = nullptr;
        for (const NumberOption& candidate : options) {
            if (arg == candidate.name) option = &candidate;
        }
        if (option == nullptr) {
            std::string reason;
            if (other && other(args, &i, &reason)) continue;
            return reason.empty() ? "unknown argument " + arg : reason;
        }
        if (i + 1 >= args.size()) return arg + " needs a value";
        uint32_t value = 0;
        if (!ParseNumber(args[i + 1], option->max, &value)) {
            return arg + " must be 0-" + std::to_string(option->max) + ", not \"" + args[i + 1] +
                   "\"";
        }
        *option->value = value;
        ++i;
    }
    return {};
}

// The selected profile's file as the editors read and write it.
bool LoadProfile(const KeyboardTarget& target, CKeyboardProfiledata* profile) {
    profile->SetDefaultPath(target.defaultPath);
    profile->SetProfilePath(target.profilePath);
    profile->SetDeviceSlot(0);
    return !profile->LoadProfile(target.profilePath).isNull();
}

// The block as the device now holds it, for the commands that print it.
void PrintBlock(const CZidiraKeyboardDevice& keyboard, bool asJson) {
    const auto block = keyboard.ParameterBlock();
    if (asJson) {
        Json::Value root(Json::objectValue);
        root["parameterBlock"] = HexBytes(block.data(), block.size());
        PrintJson(root);
    } else {
        std::cout << "parameter block written: " << HexBytes(block.data(), block.size()) << '\n';
    }
}

// The editors' path after a change to the lighting or the system settings: the object
// takes the saved profile and writes the block of onboard slot 0, profile 0 (the slot
// that carries whatever profile is selected).
int WriteBlock(const std::string& command, KeyboardTarget& target, bool asJson) {
    CZidiraKeyboardDevice& keyboard = *target.device;
    keyboard.ApplyProfile();
    const int written = keyboard.WriteParameterBlock(0, 0, 0, 0, 0);
    if (written != kResultSuccess) {
        return Fail(command, "writing the parameter block failed: " + DescribeResult(written));
    }
    PrintBlock(keyboard, asJson);
    return kExitOk;
}

}  // namespace

int RunSetKey(CliSession& session, const std::vector<std::string>& args) {
    const std::string command = "set-key";
    if (args.empty()) return Refuse(command, "a key index is required");
    uint32_t key = 0;
    if (!ParseNumber(args[0], kKeyboardKeyCount - 1, &key)) {
        return Refuse(command, "the key index must be 0-" + std::to_string(kKeyboardKeyCount - 1) +
                                   ", not \"" + args[0] + "\"");
    }
    std::optional<uint32_t> type, value, code;
    bool toDefault = false;
    bool asJson = false;
    const std::string reason = ParseOptions(
        args, 1,
        {{"--type", kByteMax, &type}, {"--value", kByteMax, &value}, {"--code", kByteMax, &code}},
        &asJson, [&](const std::vector<std::string>& all, size_t* i, std::string*) {
            if (all[*i] != "--default") return false;
            toDefault = true;
            return true;
        });
    if (!reason.empty()) return Refuse(command, reason);
    const bool assignment = type && value && code;
    const bool anyPart = type || value || code;
    if (toDefault ? anyPart : !assignment) {
        return Refuse(command, "give either --default or all of --type, --value and --code");
    }

    KeyboardTarget target;
    std::string error;
    if (!OpenKeyboard(session, &target, &error)) return Fail(command, error);
    if (!target.device->ReadGeometry()) {
        return Fail(command, "the keyboard's geometry could not be read");
    }
    CKeyboardProfiledata profile;
    if (!LoadProfile(target, &profile)) return Fail(command, "the profile cannot be read");
    std::vector<KeyEntry> keys = profile.ReadKeyList();
    if (key >= keys.size()) {
        return Fail(command, "the profile has no key " + std::to_string(key) + " (it lists " +
                                 std::to_string(keys.size()) + ")");
    }
    KeyEntry& entry = keys[key];
    if (toDefault) {
        entry.current = entry.defaults;
    } else {
        entry.current.type = static_cast<uint8_t>(*type);
        entry.current.value = static_cast<uint8_t>(*value);
        entry.current.code = static_cast<uint8_t>(*code);
    }
    entry.current.keyIndex = static_cast<uint16_t>(key);
    profile.WriteKeyList(keys);
    if (!profile.Save()) return Fail(command, "the profile cannot be saved");
    target.device->ApplyProfile();
    return PrintDownload("keyboard " + command, target.device->DownloadKeysAndMacros(), asJson);
}

int RunSetLighting(CliSession& session, const std::vector<std::string>& args) {
    const std::string command = "set-lighting";
    std::optional<uint32_t> mode, brightness, speed, direction, multicolor;
    std::vector<uint8_t> color;
    bool asJson = false;
    const std::string reason = ParseOptions(
        args, 0,
        {{"--mode", kByteMax, &mode},
         {"--brightness", kMaxLightLevel, &brightness},
         {"--speed", kMaxLightLevel, &speed},
         {"--direction", kByteMax, &direction},
         {"--multicolor", kFlagMax, &multicolor}},
        &asJson, [&](const std::vector<std::string>& all, size_t* i, std::string* why) {
            if (all[*i] != "--color") return false;
            std::vector<uint8_t> bytes;
            if (*i + 1 >= all.size() || all[*i + 1].size() != 6 ||
                !ParseHexBytes(all[*i + 1], &bytes)) {
                *why = "--color needs RRGGBB (six hex digits)";
                return false;
            }
            color = bytes;
            ++*i;
            return true;
        });
    if (!reason.empty()) return Refuse(command, reason);
    if (!mode && !brightness && !speed && !direction && !multicolor && color.empty()) {
        return Refuse(command, "nothing to change");
    }

    KeyboardTarget target;
    std::string error;
    if (!OpenKeyboard(session, &target, &error) || !ReadAsOnArrival(target, &error)) {
        return Fail(command, error);
    }
    // The modes the lighting editor offers: the family's mode list.
    target.device->LoadNameLists();
    const size_t modes = target.device->NameLists().modeCodes.size();
    const uint32_t lastMode = modes > 0 ? static_cast<uint32_t>(modes - 1) : kLastKnownMode;
    if (mode && *mode > lastMode) {
        return Refuse(command, "--mode must be 0-" + std::to_string(lastMode) + ", not " +
                                   std::to_string(*mode));
    }
    CKeyboardProfiledata profile;
    if (!LoadProfile(target, &profile)) return Fail(command, "the profile cannot be read");
    LightSetting light = profile.ReadLightInfo();
    const std::pair<int, const std::optional<uint32_t>*> fields[] = {
        {LightSetting::kMode, &mode},
        {LightSetting::kBrightness, &brightness},
        {LightSetting::kSpeed, &speed},
        {LightSetting::kDirection, &direction},
        {LightSetting::kMultiColor, &multicolor},
    };
    for (const auto& [index, field] : fields) {
        if (*field) light.bytes[static_cast<size_t>(index)] = static_cast<uint8_t>(**field);
    }
    if (!color.empty()) {
        light.bytes[LightSetting::kRed] = color[0];
        light.bytes[LightSetting::kGreen] = color[1];
        light.bytes[LightSetting::kBlue] = color[2];
    }
    profile.WriteLightInfo(light);
    if (!profile.Save()) return Fail(command, "the profile cannot be saved");
    return WriteBlock(command, target, asJson);
}

int RunSetSystem(CliSession& session, const std::vector<std::string>& args) {
    const std::string command = "set-system";
    std::optional<uint32_t> repeat, delay, polling, winlock, wflag, sixkey;
    bool asJson = false;
    const std::string reason = ParseOptions(args, 0,
                                            {{"--repeat", kHalfWordMax, &repeat},
                                             {"--delay", kMaxRepeatDelay, &delay},
                                             {"--polling", kMaxPollingRate, &polling},
                                             {"--winlock", kFlagMax, &winlock},
                                             {"--wflag", kFlagMax, &wflag},
                                             {"--sixkey", kFlagMax, &sixkey}},
                                            &asJson, nullptr);
    if (!reason.empty()) return Refuse(command, reason);
    if (!repeat && !delay && !polling && !winlock && !wflag && !sixkey) {
        return Refuse(command, "nothing to change");
    }

    KeyboardTarget target;
    std::string error;
    if (!OpenKeyboard(session, &target, &error) || !ReadAsOnArrival(target, &error)) {
        return Fail(command, error);
    }
    CKeyboardProfiledata profile;
    if (!LoadProfile(target, &profile)) return Fail(command, "the profile cannot be read");
    KeyboardSystemSettings settings = profile.ReadKeyboardSystem();
    // Three words, the first value of each pair in the low half.
    const auto set = [&](size_t word, bool high, const std::optional<uint32_t>& field) {
        if (!field) return;
        uint32_t& w = settings.words[word];
        w = high ? (w & 0x0000FFFFu) | (*field << 16) : (w & 0xFFFF0000u) | *field;
    };
    set(0, false, repeat);
    set(0, true, delay);
    set(1, false, sixkey);
    set(1, true, polling);
    set(2, false, wflag);
    set(2, true, winlock);
    profile.WriteKeyboardSystem(settings);
    if (!profile.Save()) return Fail(command, "the profile cannot be saved");
    return WriteBlock(command, target, asJson);
}

}  // namespace rerov::cli
