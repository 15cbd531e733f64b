#include "shell/ipc/audio_rate_limit.h"

namespace rerov::ipc {

bool AudioRateLimit::Allow(int id, qint64 nowMs) {
    auto it = windows_.find(id);
    if (it == windows_.end()) {
        if (windows_.size() >= kMaxIds) {
            ++dropped_;
            return false;
        }
        it = windows_.insert(id, Window{nowMs, 0});
    }
    // A clock that went back starts a new window as well.
    if (nowMs - it->startMs >= kWindowMs || nowMs < it->startMs) *it = Window{nowMs, 0};
    if (it->count >= kRecordsPerWindow) {
        ++dropped_;
        return false;
    }
    ++it->count;
    return true;
}

}  // namespace rerov::ipc
