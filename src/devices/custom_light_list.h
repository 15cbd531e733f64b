#pragma once
// CustomLightList: the per-light effect records of a page (the profile's "LightList", one
// LightSetting per light) with the timers the preview keeps for each light. The UI thread
// reloads it (ApplyLighting) while the preview thread advances it on every pass, so every
// access goes through the list's own lock, the custom-light lock.

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "profiles/profile_records.h"

namespace rerov {

// Loops between two colour-cycle steps, by the record's speed 0..4.
inline constexpr uint8_t kCustomCycleIntervals[] = {8, 6, 4, 2, 1};
// Blink half-periods in 200 ms units, by the record's speed 0..4.
inline constexpr uint8_t kCustomBlinkPeriods[] = {8, 6, 4, 2, 1};
inline constexpr uint32_t kBlinkPeriodUnitMs = 200;

/// What the preview keeps per light while it plays the light's record.
struct CustomLightTimers {
    uint8_t phase = 0;           // breathing curve position
    uint8_t counter = 0;         // loops since the last colour-cycle step
    uint8_t interval = 0;        // loops per colour-cycle step (from the record's speed)
    uint8_t wheelPosition = 0;   // colour-wheel index
    bool on = false;             // blink state
    uint32_t blinkPeriodMs = 0;  // time between blink toggles (from the record's speed)
    uint64_t lastToggleMs = 0;   // tick time of the last blink toggle
    bool operator==(const CustomLightTimers&) const = default;
};

struct CustomLight {
    LightSetting setting;
    CustomLightTimers timers;
    bool operator==(const CustomLight&) const = default;
};

/// The timers a light starts with for `setting`: all zero, interval and blink period from
/// the tables by the record's speed (a speed past the tables takes their fastest entry).
CustomLightTimers FreshTimers(const LightSetting& setting);

class CustomLightList {
  public:
    /// Replaces the list with `settings` (one per light, in light order), every light's
    /// timers fresh. Any thread.
    void Load(const std::vector<LightSetting>& settings);
    /// The records without their timers, in light order (what "LightList" holds). Any thread.
    std::vector<LightSetting> Settings() const;
    /// A copy of the whole list. Any thread.
    std::vector<CustomLight> Snapshot() const;
    size_t Size() const;
    /// Runs `work` on the list under the lock (the preview's per-light step). `work` must
    /// not call back into this list.
    void Update(const std::function<void(std::vector<CustomLight>&)>& work);

  private:
    mutable std::mutex lock_;  // the custom-light lock
    std::vector<CustomLight> lights_;
};

}  // namespace rerov
