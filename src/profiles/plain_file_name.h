#pragma once

#include <string>

namespace rerov {

/// True when the text can safely become one file name inside a folder: not empty, not "."
/// or "..", no path separator, drive colon, control character or NUL, and not overly long.
/// Names read from files (profile UUIDs, macro and effect "Guid"s) pass this before they
/// become part of a path.
bool IsPlainFileName(const std::string& name);

}  // namespace rerov
