#pragma once
// The device's position maps (key index -> device key position, light index -> device key
// position, and the family's third map). The UI thread rebuilds them on a read-out while
// the input threads look keys up, so they are never changed in place: a rebuild is made
// aside and published whole, and a reader keeps the snapshot it took for as long as it
// uses it.

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

namespace rerov {

struct PositionMaps {
    std::map<uint8_t, uint8_t> keyPosition;    // key index -> device key position
    std::map<uint8_t, uint8_t> lightPosition;  // light index -> device key position
    std::map<uint8_t, uint8_t> third;          // the family's own use
};

/// First key index whose device position is `position` in `maps`, or -1.
int KeyAtPosition(const PositionMaps& maps, uint8_t position);

class PublishedPositionMaps {
  public:
    PublishedPositionMaps() : maps_(std::make_shared<const PositionMaps>()) {}

    /// The maps as last published (empty at first). Any thread.
    std::shared_ptr<const PositionMaps> Snapshot() const {
        std::lock_guard<std::mutex> guard(lock_);
        return maps_;
    }
    /// Replaces the maps; readers holding an older snapshot keep it. Any thread.
    void Publish(PositionMaps maps) {
        auto fresh = std::make_shared<const PositionMaps>(std::move(maps));
        std::lock_guard<std::mutex> guard(lock_);
        maps_.swap(fresh);
        // The old maps are freed outside the lock, by whoever holds them last.
    }

  private:
    mutable std::mutex lock_;
    std::shared_ptr<const PositionMaps> maps_;
};

}  // namespace rerov
