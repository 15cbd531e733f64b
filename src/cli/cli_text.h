#pragma once

#include <json/value.h>

#include <optional>
#include <string>

namespace rerov::cli {

/// The whole text as a decimal integer; nothing when it holds anything else.
std::optional<int> ParseInt(const std::string& text);

/// The text with control characters shown as '?': names may hold any character, and the
/// line formats must not break on tabs or line ends.
std::string Printable(const std::string& text);

/// Writes the document to stdout, indented, with UTF-8 text as it is, and a line end.
void PrintJson(const Json::Value& root);

}  // namespace rerov::cli
