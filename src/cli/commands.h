#pragma once
// The rerovctl commands; each returns the process exit code (cli_session.h).

#include <string>
#include <vector>

#include "cli/cli_session.h"

namespace rerov::cli {

// list [--json]: the supported interfaces present.
int RunList(CliSession& session, const std::vector<std::string>& args);
// info: the keyboard's information block.
int RunInfo(CliSession& session, const std::vector<std::string>& args);
// raw --cmd N [--offset N] [--length N] [--data HEX]: one framed command.
int RunRaw(CliSession& session, const std::vector<std::string>& args);

}  // namespace rerov::cli
