#pragma once
// rerovctl app state [--json] | show | quit | screenshot | ui: ask the running rerov-ever over its
// IPC channel.

#include <string>
#include <vector>

namespace rerov::cli {

// Runs "app ..."; returns the exit code (0 done, 1 no program or refused, 2 usage).
int RunAppCommand(const std::vector<std::string>& args);

}  // namespace rerov::cli
