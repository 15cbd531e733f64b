// The small arithmetic of the lighting preview that every family shares.

#include "devices/preview/preview_math.h"

#include <cstddef>

namespace rerov {

namespace {

// One line of a decay curve: the amount taken when any bit of `mask` is set, or (mask 0)
// when the level is above `above`.
struct DecayRule {
    uint8_t mask;
    int above;
    int amount;
};

constexpr DecayRule kCurve0[] = {
    {0x80, 0, 40}, {0x40, 0, 30}, {0x20, 0, 15}, {0, 16, 8}, {0, 0, 1},
};
constexpr DecayRule kCurve29[] = {
    {0x90, 0, 45},
    {0x60, 0, 35},
    {0, 0, 1},
};
constexpr DecayRule kCurveOther[] = {
    {0x80, 0, 40}, {0x40, 0, 30}, {0x20, 0, 10}, {0, 16, 8}, {0, 0, 1},
};

template <size_t N>
int DecayAmount(const DecayRule (&rules)[N], uint8_t level) {
    for (const DecayRule& rule : rules) {
        const bool matches = rule.mask != 0 ? (level & rule.mask) != 0 : level > rule.above;
        if (matches) return rule.amount;
    }
    return 0;
}

}  // namespace

uint8_t StepValue(bool up, uint8_t limit, uint8_t current, uint8_t step) {
    if (up) {
        const int sum = int{current} + int{step};
        return sum >= int{limit} ? 0 : static_cast<uint8_t>(sum);
    }
    const auto difference = static_cast<uint8_t>(current - step);
    if (difference < limit) return difference;
    return static_cast<uint8_t>(limit - step);
}

uint8_t DecayedLevel(uint8_t level, int curve) {
    if (level == 0) return 0;
    int amount = 0;
    if (curve == 0) {
        amount = DecayAmount(kCurve0, level);
    } else if (curve == 29) {
        amount = DecayAmount(kCurve29, level);
    } else {
        amount = DecayAmount(kCurveOther, level);
    }
    // Curve 29 takes 35 or 45 from levels as low as 16; stop at 0 instead of wrapping
    // round to a bright level.
    return amount >= level ? 0 : static_cast<uint8_t>(level - amount);
}

}  // namespace rerov
