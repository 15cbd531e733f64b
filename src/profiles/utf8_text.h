#pragma once

#include <string>
#include <string_view>

namespace rerov {

/// The text with every byte sequence that is not well-formed UTF-8 (stray continuation
/// bytes, truncated or overlong sequences, encoded surrogates, code points above U+10FFFF)
/// replaced by U+FFFD. Text from files and file names passes this on the way in, so nothing
/// the product writes or prints afterwards carries bytes another reader would choke on.
std::string ToValidUtf8(std::string_view text);

/// True when the text is well-formed UTF-8.
bool IsValidUtf8(std::string_view text);

}  // namespace rerov
