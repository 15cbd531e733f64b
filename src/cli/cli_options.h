#pragma once
// Command-line parsing of rerovctl: the global options before the command, the command
// name and its own arguments, and the number and hex-byte parsers the commands share.

#include <cstdint>
#include <string>
#include <vector>

#include "sim/simulated_bus.h"

namespace rerov::cli {

struct CommandLine {
    bool help = false;
    bool simulate = false;
    std::string simulateList;  // as given after --simulate=
    bool receiver = false;
    // The simulator's behaviour (with --simulate only): per-report latency (-1: none set),
    // faults armed on every plugged path, and the keyboard out of its receiver's reach.
    int64_t simLatencyUs = -1;
    std::vector<sim::SimFault> simFaults;
    bool simOutOfReach = false;
    std::string traceFile;          // empty: no trace
    std::string command;            // list, info, raw, profile
    std::vector<std::string> args;  // everything after the command
};

// Parses argv[1..]. Returns false with a one-line reason on a usage error.
bool ParseCommandLine(const std::vector<std::string>& argv, CommandLine* out, std::string* error);

// Parses a decimal or 0x-prefixed hexadecimal number in [0, max].
bool ParseNumber(const std::string& text, uint32_t max, uint32_t* value);

// Parses hex bytes, either packed ("0a0b") or separated by spaces, commas or colons.
bool ParseHexBytes(const std::string& text, std::vector<uint8_t>* bytes);

// Bytes as two lower-case hex digits separated by single spaces.
std::string HexBytes(const uint8_t* bytes, size_t length);

// The usage text of --help.
const char* UsageText();

}  // namespace rerov::cli
