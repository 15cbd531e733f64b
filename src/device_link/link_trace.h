#pragma once
// Traces of the command protocol: the debug lines of the logging category "rerov.link"
// (off by default; QT_LOGGING_RULES="rerov.link=true" turns them on) and the one-line
// report format of rerovctl --trace.

#include <cstddef>
#include <cstdint>
#include <string>

namespace rerov {

enum class ReportDirection { HostToDevice, DeviceToHost };

// One dump line of 32 bytes: "%02x" groups of four, three spaces between the first four
// groups and two between the rest.
std::string FormatHexDumpLine(const uint8_t* bytes32);

// "> " (host to device) or "< " (device to host), then every byte as two lower-case hex
// digits separated by one space.
std::string FormatReportTraceLine(ReportDirection direction, const uint8_t* report, size_t length);

// True when the debug level of "rerov.link" is enabled.
bool LinkDebugEnabled();

// Writes the title ("命令" or "返回") and the two dump lines of a 64-byte report to
// "rerov.link" when its debug level is enabled.
void TraceCommandReport(const char* title, const uint8_t* report64);

// Writes one UTF-8 message to "rerov.link" at debug level.
void TraceLinkMessage(const char* message);

}  // namespace rerov
