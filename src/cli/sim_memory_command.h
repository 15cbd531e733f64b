#pragma once
// rerovctl sim memory DEVICE [AREA] [--json] [--help]: a simulated device's memory as its
// firmware holds it now, read from the running rerov-ever --simulate.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace rerov::cli {

// Runs "sim memory ..." (args after "memory"); returns the exit code.
int RunSimMemoryCommand(const std::vector<std::string>& args);

// Hex dump lines of `bytes`, 16 a line, "  0040  0a 0b ... 0f  10 11 ...": the address of
// the line's first byte (starting at `address`), then the bytes with one extra space after
// the eighth.
std::vector<std::string> HexDumpLines(const std::vector<uint8_t>& bytes, size_t address);

}  // namespace rerov::cli
