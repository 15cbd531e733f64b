#pragma once
// Caps how many records of one kind the companion may deliver per second. A companion
// gone wrong (or a hostile one) could otherwise flood the UI thread with spectra; the
// excess is dropped where it arrives, before anything decodes it.

#include <QHash>
#include <QtGlobal>

namespace rerov::ipc {

class AudioRateLimit {
  public:
    // Records of one id let through per window; the companion sends about 30 a second.
    static constexpr int kRecordsPerWindow = 120;
    static constexpr qint64 kWindowMs = 1000;

    // True when a record of `id` arriving at `nowMs` (a steady clock) may pass; counts it.
    bool Allow(int id, qint64 nowMs);
    // Records refused since the start.
    quint64 Dropped() const { return dropped_; }

  private:
    struct Window {
        qint64 startMs = 0;
        int count = 0;
    };
    // Only a handful of ids are ever seen; unknown ids are capped as well, and the table
    // stops growing past kMaxIds (later new ids are refused).
    static constexpr int kMaxIds = 16;
    QHash<int, Window> windows_;
    quint64 dropped_ = 0;
};

}  // namespace rerov::ipc
