#pragma once
// rerovctl app screenshot FILE | app ui list [--json] | click | select | text | value: the
// running rerov-ever's window, inspected and driven over its IPC channel.

#include <string>
#include <vector>

namespace rerov::cli {

// Runs "app screenshot FILE" (args after "screenshot"); returns the exit code.
int RunScreenshotCommand(const std::vector<std::string>& args);
// Runs "app ui ..." (args after "ui"); returns the exit code (0 done, 1 refused or no
// program, 2 usage).
int RunUiCommand(const std::vector<std::string>& args);

}  // namespace rerov::cli
