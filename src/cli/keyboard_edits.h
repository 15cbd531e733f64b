#pragma once
// rerovctl keyboard set-key | set-lighting | set-system: one change to the selected
// profile, made as the program's editors make it (the profile file re-read, one section
// changed, saved), then downloaded as the program downloads it.

#include <string>
#include <vector>

#include "cli/cli_session.h"

namespace rerov::cli {

int RunSetKey(CliSession& session, const std::vector<std::string>& args);
int RunSetLighting(CliSession& session, const std::vector<std::string>& args);
int RunSetSystem(CliSession& session, const std::vector<std::string>& args);

}  // namespace rerov::cli
