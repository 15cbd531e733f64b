#pragma once
// The small arithmetic every family's lighting preview shares: the wrapping step counter and
// the level decay curves.

#include <cstdint>

namespace rerov {

// One step of the preview's counters: with `up` add `step` and wrap to 0 on reaching
// `limit`; else subtract (8-bit) and give limit - step when the result is not below limit.
uint8_t StepValue(bool up, uint8_t limit, uint8_t current, uint8_t step);
// The level that `level` decays to in one preview step on `curve` (0, 29 or another);
// never below 0.
uint8_t DecayedLevel(uint8_t level, int curve);

}  // namespace rerov
