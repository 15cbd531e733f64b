#pragma once
// rerovctl sim memory DEVICE [AREA] [--json] [--help]: a simulated device's memory as its
// firmware holds it now, read from the running rerov-ever --simulate.

#include <string>
#include <vector>

namespace rerov::cli {

// Runs "sim memory ..." (args after "memory"); returns the exit code.
int RunSimMemoryCommand(const std::vector<std::string>& args);

}  // namespace rerov::cli
