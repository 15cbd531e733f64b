#pragma once

#include <string>
#include <vector>

// Rules for the display names of profiles. Names are UTF-8 and compared without regard to
// case (Unicode case folding).
namespace rerov {

/// True when the two names are equal without regard to case.
bool SameProfileName(const std::string& a, const std::string& b);

/// True when the name is empty after removing leading and trailing white space.
bool IsBlankProfileName(const std::string& name);

/// True when any name other than the one at `except` equals `name` (without regard to case).
bool ProfileNameInUse(const std::vector<std::string>& names, const std::string& name,
                      int except = -1);

/// Name for an added profile: "profile%d" with the smallest positive number not in use.
std::string AddedProfileName(const std::vector<std::string>& names);

/// Name for a copy: "%s copy" of the source, repeated until it is not in use.
std::string CopiedProfileName(const std::string& source, const std::vector<std::string>& names);

/// Name for an import: the title, then "(1)", "(2)", ... appended one after another to the
/// previous candidate while the candidate is in use ("Game", "Game(1)", "Game(1)(2)").
std::string ImportedProfileName(const std::string& title, const std::vector<std::string>& names);

}  // namespace rerov
