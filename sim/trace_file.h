#pragma once
// A trace of the simulator's command reports written to a file, one line per report in the
// rerovctl --trace format, each line flushed as it is written so that a reader sees a
// report as soon as it has passed. Every call is safe from any thread: the bus calls Write
// from whichever thread moved the report.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "sim/simulated_bus.h"

namespace rerov::sim {

class TraceFile {
  public:
    // Creates (or empties) the file at `path`. Null with a one-line reason when it cannot be
    // opened for writing.
    static std::shared_ptr<TraceFile> Open(const std::string& path, std::string* error);
    ~TraceFile();
    TraceFile(const TraceFile&) = delete;
    TraceFile& operator=(const TraceFile&) = delete;

    // Appends the report's line and flushes it. After a failed write or after Close, lines
    // are dropped (the failure is kept for Close to report).
    void Write(TraceDirection direction, const uint8_t* report, size_t length);

    // Closes the file. False with the reason when a line could not be written or the close
    // failed; a second call returns what the first did.
    bool Close(std::string* error);

    // Lines written so far.
    uint64_t Lines() const;
    const std::string& Path() const { return path_; }

    // A sink for SimulatedBus::SetTraceSink that writes to `file` (and keeps it alive).
    static std::function<void(TraceDirection, const uint8_t*, size_t)> Sink(
        std::shared_ptr<TraceFile> file);

  private:
    TraceFile(std::string path, std::FILE* file) : path_(std::move(path)), file_(file) {}
    void FailLocked(const std::string& what);

    const std::string path_;
    mutable std::mutex mutex_;
    std::FILE* file_;      // null once closed
    std::string failure_;  // the first write or close failure
    uint64_t lines_ = 0;
};

}  // namespace rerov::sim
