#pragma once
// The state of a page's lighting preview that other threads touch as well: the per-light
// levels and wheel positions and the peak ring (written by the input threads and the audio
// bridge while the preview thread reads them) and the preview's counters. Every field is
// atomic; see SharedBytes for what that does and does not promise.

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "devices/shared_bytes.h"

namespace rerov {

// Every 8-bit light index has a level and a wheel position.
inline constexpr size_t kLevelArraySize = 256;
// Entries of the peak ring beside the level array.
inline constexpr size_t kPeakRingSize = 23;

using LightLevels = SharedBytes<kLevelArraySize>;
using PeakRing = SharedBytes<kPeakRingSize>;

struct AnimationState {
    std::atomic<uint8_t> stepPosition{0};   // global colour-wheel position of most steps
    std::atomic<uint8_t> wheelPosition{0};  // running colour-wheel index
    std::atomic<uint8_t> blinkPhase{0};     // blink on/off
    std::atomic<uint64_t> lastTick{0};      // tick time of the last blink toggle (ms)
};

}  // namespace rerov
