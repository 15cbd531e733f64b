#include "cli/cli_options.h"

#include <cstddef>

#include "sim/fault_option.h"

namespace rerov::cli {

namespace {

// Splits "--name=value" into name and value; value empty and hasValue false without '='.
bool SplitOption(const std::string& arg, std::string* name, std::string* value) {
    const size_t eq = arg.find('=');
    if (eq == std::string::npos) {
        *name = arg;
        value->clear();
        return false;
    }
    *name = arg.substr(0, eq);
    *value = arg.substr(eq + 1);
    return true;
}

// The largest --sim-latency-us: a second per report is already far slower than any bus.
constexpr uint32_t kMaxSimLatencyUs = 1000000;

// The value of "--name value" or "--name=value"; false with a reason when none follows.
bool OptionValue(const std::vector<std::string>& argv, size_t* i, bool hasValue,
                 const std::string& name, const char* what, std::string* value,
                 std::string* error) {
    if (!hasValue) {
        if (*i + 1 >= argv.size()) {
            *error = name + " needs " + what;
            return false;
        }
        *value = argv[++*i];
    }
    if (value->empty()) {
        *error = name + " needs " + what;
        return false;
    }
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

const char* UsageText() {
    return "usage: rerovctl [--simulate=LIST [--sim-...]] [--receiver] [--trace FILE] COMMAND\n"
           "  list [--json]            supported interfaces found: row, kind, role, path\n"
           "  info                     the keyboard's information block, decoded\n"
           "  raw --cmd N [--offset N] [--length N] [--data HEX]\n"
           "                           one framed command; prints result code and reply\n"
           "  profile ...              the profile store (see rerovctl profile --help)\n"
           "  macro ...                a device's macros (see rerovctl macro --help)\n"
           "  keyboard read|apply|set-key|set-lighting|set-system ...\n"
           "                           the keyboard as the program acts on it (see\n"
           "                           rerovctl keyboard --help)\n"
           "  app state [--json] | show | quit\n"
           "                           the running rerov-ever: its device list, bring it\n"
           "                           to the front, end it\n"
           "  app settings | app relay CODE [VALUE]\n"
           "                           open its settings window; pass an updater's message\n"
           "                           to it (CODE 1 finished, 2 failed, 3 given up, 4\n"
           "                           progress with VALUE the percentage)\n"
           "  app screenshot FILE | app ui list [--json] | app ui click NAME |\n"
           "  app ui select NAME INDEX | app ui text NAME VALUE | app ui value NAME N\n"
           "                           its window: a PNG of it, its named controls, and\n"
           "                           clicks and keys on them (ui: with --simulate only)\n"
           "  sim plug|unplug DEVICE | sim reach keyboard on|off\n"
           "                           the simulated devices of rerov-ever --simulate\n"
           "  sim memory DEVICE [AREA] [--json]\n"
           "                           a simulated device's memory (no AREA: the areas)\n"
           "  sim trace start FILE | sim trace stop\n"
           "                           every report the simulator moves, to FILE\n"
           "  sim timing               reports the simulated devices refused as too soon\n"
           "  sim key keyboard POSITION down|up | sim onboard keyboard N [--field M] |\n"
           "  sim changed keyboard | sim set keyboard param OFFSET VALUE\n"
           "                           the simulated keyboard's own keys and profile key,\n"
           "                           a change on it reported (0x402, 0x401), one byte of\n"
           "                           its parameter area set (then: sim changed keyboard)\n"
           "options:\n"
           "  --simulate=LIST  use simulated devices: keyboard, keyboard-receiver, mouse,\n"
           "                   mouse-receiver, mousepad, headset (comma-separated)\n"
           "  --receiver       reach the keyboard through its receiver\n"
           "  --trace FILE     write every command report exchanged to FILE\n"
           "  --sim-latency-us N  (with --simulate) each report takes N us each way\n"
           "  --sim-fault FAULT   (with --simulate) arm a fault on every plugged path;\n"
           "                   FAULT is KIND[@N][:COMMAND][+DELAYms]: KIND one of no-reply,\n"
           "                   late-reply, wrong-command, status-ff, status-fe, write-fails,\n"
           "                   disconnect-during; fires at the N-th report (default 1) of\n"
           "                   COMMAND (default any); DELAY for late-reply (default 3000ms).\n"
           "                   e.g. status-fe@3:0x09; may be given more than once\n"
           "  --sim-out-of-reach  (with --simulate) the keyboard is out of its receiver's\n"
           "                   reach\n"
           "  --help           this text\n"
           "exit status: 0 success, 1 device or command failure, 2 usage error\n";
}

bool ParseCommandLine(const std::vector<std::string>& argv, CommandLine* out, std::string* error) {
    *out = CommandLine{};
    size_t i = 0;
    for (; i < argv.size(); ++i) {
        const std::string& arg = argv[i];
        if (arg.rfind("--", 0) != 0) break;
        std::string name, value;
        const bool hasValue = SplitOption(arg, &name, &value);
        if (name == "--help" && !hasValue) {
            out->help = true;
        } else if (name == "--receiver" && !hasValue) {
            out->receiver = true;
        } else if (name == "--simulate") {
            if (!hasValue) {
                if (i + 1 >= argv.size()) {
                    *error = "--simulate needs a device list";
                    return false;
                }
                value = argv[++i];
            }
            out->simulate = true;
            out->simulateList = value;
        } else if (name == "--trace") {
            if (!hasValue) {
                if (i + 1 >= argv.size()) {
                    *error = "--trace needs a file name";
                    return false;
                }
                value = argv[++i];
            }
            if (value.empty()) {
                *error = "--trace needs a file name";
                return false;
            }
            out->traceFile = value;
        } else if (name == "--sim-out-of-reach" && !hasValue) {
            out->simOutOfReach = true;
        } else if (name == "--sim-latency-us") {
            if (!OptionValue(argv, &i, hasValue, name, "a number of microseconds", &value, error)) {
                return false;
            }
            uint32_t latency = 0;
            if (!ParseNumber(value, kMaxSimLatencyUs, &latency)) {
                *error = "--sim-latency-us: \"" + value + "\" is not a number of microseconds (0-" +
                         std::to_string(kMaxSimLatencyUs) + ")";
                return false;
            }
            out->simLatencyUs = latency;
        } else if (name == "--sim-fault") {
            if (!OptionValue(argv, &i, hasValue, name, "a fault (KIND[@N][:COMMAND][+DELAYms])",
                             &value, error)) {
                return false;
            }
            sim::SimFault fault;
            std::string reason;
            if (!sim::ParseSimFault(value, &fault, &reason)) {
                *error = "--sim-fault: " + reason;
                return false;
            }
            out->simFaults.push_back(fault);
        } else {
            *error = "unknown option " + arg;
            return false;
        }
    }
    if (i < argv.size()) {
        out->command = argv[i];
        out->args.assign(argv.begin() + static_cast<std::ptrdiff_t>(i) + 1, argv.end());
    }
    const bool simOptions = out->simLatencyUs >= 0 || !out->simFaults.empty() || out->simOutOfReach;
    if (simOptions && !out->simulate) {
        *error = "--sim-latency-us, --sim-fault and --sim-out-of-reach need --simulate";
        return false;
    }
    if (out->command.empty() && !out->help) {
        *error = "no command given";
        return false;
    }
    return true;
}

bool ParseNumber(const std::string& text, uint32_t max, uint32_t* value) {
    return sim::ParseNumberText(text, 0, max, value);
}

bool ParseHexBytes(const std::string& text, std::vector<uint8_t>* bytes) {
    bytes->clear();
    int high = -1;
    for (char c : text) {
        if (c == ' ' || c == ',' || c == ':') {
            if (high >= 0) return false;  // a lone digit before a separator
            continue;
        }
        const int digit = HexDigit(c);
        if (digit < 0) return false;
        if (high < 0) {
            high = digit;
        } else {
            bytes->push_back(static_cast<uint8_t>(high << 4 | digit));
            high = -1;
        }
    }
    return high < 0;
}

std::string HexBytes(const uint8_t* bytes, size_t length) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(length * 3);
    for (size_t i = 0; i < length; ++i) {
        if (i > 0) text.push_back(' ');
        text.push_back(kDigits[bytes[i] >> 4]);
        text.push_back(kDigits[bytes[i] & 0x0F]);
    }
    return text;
}

}  // namespace rerov::cli
