#pragma once
// rerovctl sim plug|unplug DEVICE, sim reach keyboard on|off, sim memory DEVICE AREA,
// sim trace start FILE|stop: drive and inspect the simulated devices of a rerov-ever
// started with --simulate.

#include <string>
#include <vector>

namespace rerov::cli {

// Runs "sim ..."; returns the exit code (0 done, 1 no program or refused, 2 usage).
int RunSimCommand(const std::vector<std::string>& args);

}  // namespace rerov::cli
