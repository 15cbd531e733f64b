#pragma once

#include <string>
#include <vector>

/// Runs "rerovctl macro FAMILY COMMAND [ARGS]" on the family's macros, as the macro editor
/// does (a delete renumbers the macro assignments of every profile of the family). `args`
/// are the words after "macro". Results on stdout, refusals on stderr. Returns 0 on success,
/// 1 when the operation was refused or failed, 2 for a usage error.
int RunMacroCommand(const std::vector<std::string>& args);
