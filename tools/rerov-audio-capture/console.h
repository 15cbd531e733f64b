#pragma once
// The companion's messages to its user: one line on stderr each, named after the program.

#include <QString>

namespace rerov::capture {

void PrintMessage(const QString& text);

}  // namespace rerov::capture
