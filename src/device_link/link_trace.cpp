#include "device_link/link_trace.h"

#include <QLoggingCategory>
#include <QString>

namespace rerov {

namespace {

Q_LOGGING_CATEGORY(lcRerovLink, "rerov.link", QtInfoMsg)

constexpr size_t kDumpLineBytes = 32;
constexpr size_t kDumpGroupBytes = 4;
// Separator after each group of four bytes in a dump line (the last group has none).
constexpr const char* kGroupSeparators[] = {"   ", "   ", "   ", "  ", "  ", "  ", "  ", ""};

constexpr char kHexDigits[] = "0123456789abcdef";

void AppendHexByte(std::string* out, uint8_t byte) {
    out->push_back(kHexDigits[byte >> 4]);
    out->push_back(kHexDigits[byte & 0x0F]);
}

}  // namespace

std::string FormatHexDumpLine(const uint8_t* bytes32) {
    std::string line;
    line.reserve(kDumpLineBytes * 3 + 8);
    for (size_t i = 0; i < kDumpLineBytes; ++i) {
        AppendHexByte(&line, bytes32[i]);
        if ((i + 1) % kDumpGroupBytes != 0) {
            line.push_back(' ');
        } else {
            line += kGroupSeparators[i / kDumpGroupBytes];
        }
    }
    return line;
}

std::string FormatReportTraceLine(ReportDirection direction, const uint8_t* report, size_t length) {
    std::string line = direction == ReportDirection::HostToDevice ? "> " : "< ";
    line.reserve(2 + length * 3);
    for (size_t i = 0; i < length; ++i) {
        if (i > 0) line.push_back(' ');
        AppendHexByte(&line, report[i]);
    }
    return line;
}

bool LinkDebugEnabled() { return lcRerovLink().isDebugEnabled(); }

void TraceCommandReport(const char* title, const uint8_t* report64) {
    if (!LinkDebugEnabled()) return;
    qCDebug(lcRerovLink).noquote() << QString::fromUtf8(title);
    qCDebug(lcRerovLink).noquote() << QString::fromStdString(FormatHexDumpLine(report64));
    qCDebug(lcRerovLink).noquote()
        << QString::fromStdString(FormatHexDumpLine(report64 + kDumpLineBytes));
}

void TraceLinkMessage(const char* message) {
    qCDebug(lcRerovLink).noquote() << QString::fromUtf8(message);
}

}  // namespace rerov
