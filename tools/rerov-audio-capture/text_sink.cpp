#include "tools/rerov-audio-capture/text_sink.h"

#include <cerrno>
#include <cstring>
#include <string>

namespace rerov::capture {

namespace {

void AppendLine(std::string* text, const char* name, const std::vector<int32_t>& values) {
    *text += name;
    for (const int32_t value : values) {
        *text += ' ';
        *text += std::to_string(value);
    }
    *text += '\n';
}

}  // namespace

bool TextSink::Send(const std::vector<int32_t>& spectrum, const std::vector<int32_t>& levels,
                    QString* error) {
    std::string text;
    AppendLine(&text, "spectrum", spectrum);
    AppendLine(&text, "levels", levels);
    if (std::fwrite(text.data(), 1, text.size(), out_) != text.size() || std::fflush(out_) != 0) {
        *error = QStringLiteral("cannot write the records: %1")
                     .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return true;
}

}  // namespace rerov::capture
