#include "devices/position_maps.h"

namespace rerov {

int KeyAtPosition(const PositionMaps& maps, uint8_t position) {
    // The map is ordered by key index, so the first match is the lowest key.
    for (const auto& [key, keyPosition] : maps.keyPosition) {
        if (keyPosition == position) return key;
    }
    return -1;
}

}  // namespace rerov
