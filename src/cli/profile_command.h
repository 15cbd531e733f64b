#pragma once

#include <string>
#include <vector>

/// Runs "rerovctl profile FAMILY COMMAND [ARG]" on the family's profile store, exactly as the
/// profile bar would. `args` are the words after "profile". Prints results on stdout and
/// refusals on stderr. Returns 0 on success, 1 when the store refused or failed, 2 for a
/// usage error.
int RunProfileCommand(const std::vector<std::string>& args);
