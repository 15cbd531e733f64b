#pragma once
// The program's own version as one number, for the last row of the version list: the
// version text with its dots removed, read as a decimal number ("1.0.5" -> 105).

#include <QString>

namespace rerov::shell {

/// The number a version text stands for: every "." removed, then the leading decimal
/// digits read ("1.0.5" -> 105, "1.2.3.4" -> 1234). 0 when there are no leading digits or
/// the number does not fit an int.
int VersionNumberFromText(const QString& text);

/// The running program's version (as the build gives it) as a number.
int SoftwareVersion();

/// A version number as people read it: its digits joined by dots (105 -> "1.0.5"); numbers
/// of one digit and negative ones are shown as they are.
QString VersionText(int number);

}  // namespace rerov::shell
