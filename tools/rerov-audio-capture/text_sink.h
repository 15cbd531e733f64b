#pragma once
// The records as text lines on stdout (--stdout), one line per record:
//   spectrum V0 V1 ... V499
//   levels W0 W1 W2 W3 W4 W5
// each line flushed as it is written, so a reader sees every hop when it happens.

#include <cstdio>

#include "tools/rerov-audio-capture/record_sink.h"

namespace rerov::capture {

class TextSink : public RecordSink {
  public:
    explicit TextSink(std::FILE* out) : out_(out) {}
    bool Send(const std::vector<int32_t>& spectrum, const std::vector<int32_t>& levels,
              QString* error) override;
    void Flush() override {}

  private:
    std::FILE* out_;
};

}  // namespace rerov::capture
