#pragma once
// The keyboard's position maps from its read-out: which device key position holds each key
// index of the page (found by its factory triple) and which LED sits under it.

#include <cstdint>
#include <span>

#include "devices/position_maps.h"

namespace rerov {

/// Maps for `keyPositionCount` device positions: `keyPosition` takes key index j to the
/// first position whose three factory bytes equal the keyboard key table's triple for j;
/// `lightPosition` takes j to the LED number of that position (a key index is also its light
/// index). Keys without a position, and LED numbers of 255, are left out. Positions beyond
/// what the tables hold are not searched.
PositionMaps BuildPositionMaps(std::span<const uint8_t> factoryKeyTable,
                               std::span<const uint8_t> ledTable, int keyPositionCount);

}  // namespace rerov
