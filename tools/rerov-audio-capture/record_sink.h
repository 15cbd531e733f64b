#pragma once
// Where the records of each analysed hop go: the program over the IPC channel, or stdout
// as text lines.

#include <QString>
#include <cstdint>
#include <vector>

namespace rerov::capture {

class RecordSink {
  public:
    virtual ~RecordSink() = default;
    // Sends one spectrum (record 1) and its level words (record 2). False with a reason
    // when they cannot be sent; the companion ends then.
    virtual bool Send(const std::vector<int32_t>& spectrum, const std::vector<int32_t>& levels,
                      QString* error) = 0;
    // Waits (briefly) until what was sent has left, before the companion ends.
    virtual void Flush() = 0;
};

}  // namespace rerov::capture
