#include "sim/trace_file.h"

#include <cerrno>
#include <system_error>

namespace rerov::sim {

namespace {

std::string ErrnoText(int error) { return std::generic_category().message(error); }

}  // namespace

std::shared_ptr<TraceFile> TraceFile::Open(const std::string& path, std::string* error) {
    if (path.empty()) {
        if (error) *error = "no trace file named";
        return nullptr;
    }
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file) {
        if (error) {
            *error = "cannot write the trace file " + path +
                     (errno != 0 ? ": " + ErrnoText(errno) : std::string());
        }
        return nullptr;
    }
    return std::shared_ptr<TraceFile>(new TraceFile(path, file));
}

TraceFile::~TraceFile() {
    std::string ignored;
    Close(&ignored);  // nobody is left to hear about a failure
}

void TraceFile::FailLocked(const std::string& what) {
    if (failure_.empty()) failure_ = what + " the trace file " + path_ + ": " + ErrnoText(errno);
}

void TraceFile::Write(TraceDirection direction, const uint8_t* report, size_t length) {
    const std::string line = TraceLine(direction, report, length) + '\n';
    std::lock_guard lock(mutex_);
    if (!file_ || !failure_.empty()) return;
    errno = 0;
    if (std::fputs(line.c_str(), file_) == EOF || std::fflush(file_) != 0) {
        FailLocked("cannot write");
        return;
    }
    ++lines_;
}

bool TraceFile::Close(std::string* error) {
    std::lock_guard lock(mutex_);
    if (file_) {
        errno = 0;
        if (std::fclose(file_) != 0) FailLocked("cannot close");
        file_ = nullptr;
    }
    if (!failure_.empty()) {
        if (error) *error = failure_;
        return false;
    }
    return true;
}

uint64_t TraceFile::Lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

std::function<void(TraceDirection, const uint8_t*, size_t)> TraceFile::Sink(
    std::shared_ptr<TraceFile> file) {
    return [file = std::move(file)](TraceDirection direction, const uint8_t* report,
                                    size_t length) { file->Write(direction, report, length); };
}

}  // namespace rerov::sim
