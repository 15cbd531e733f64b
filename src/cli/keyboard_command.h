#pragma once
// rerovctl keyboard read | apply | set-key | set-lighting | set-system: the keyboard
// through its device object, as the program acts on it.

#include <string>
#include <vector>

#include "cli/cli_session.h"

namespace rerov::cli {

int RunKeyboardCommand(CliSession& session, const std::vector<std::string>& args);

}  // namespace rerov::cli
