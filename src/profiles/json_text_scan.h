#pragma once

#include <cstddef>
#include <string>

namespace rerov {

/// What a cheap pass over JSON text found before it is handed to the parser.
struct JsonTextShape {
    std::size_t tokens = 0;    // containers, strings (keys included) and literals
    std::size_t maxDepth = 0;  // deepest nesting of objects and arrays
};

/// Counts the tokens and the nesting of JSON text (comments allowed) in one pass and
/// without allocating, so a document can be refused before the parser builds millions of
/// values from it. Stops counting early once either limit is passed (the result then
/// exceeds it). Also replaces each "\u" escape of an unpaired UTF-16 surrogate with
/// "\uFFFD" in place (same length): the parser would otherwise turn it into bytes that
/// are not UTF-8.
JsonTextShape ScanJsonText(std::string* text, std::size_t tokenLimit, std::size_t depthLimit);

}  // namespace rerov
