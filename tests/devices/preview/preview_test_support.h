#pragma once
// Helpers of the preview engine's tests: light settings in one line, colour unpacking and a
// scripted random source.

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "devices/preview/preview_engine.h"

namespace rerov::preview::testing {

inline LightingInput Lighting(int mode, int speed = 2, int brightness = 4, bool multi = false,
                              bool direction = true, Rgb colour = {200, 100, 50}) {
    LightingInput lighting;
    lighting.mode = static_cast<uint8_t>(mode);
    lighting.speed = static_cast<uint8_t>(speed);
    lighting.brightness = static_cast<uint8_t>(brightness);
    lighting.multiColour = multi;
    lighting.direction = direction;
    lighting.colour = colour;
    return lighting;
}

inline uint8_t BrightnessOf(uint32_t colour) { return static_cast<uint8_t>(colour >> 24); }
inline Rgb RgbOf(uint32_t colour) {
    return {static_cast<uint8_t>(colour), static_cast<uint8_t>(colour >> 8),
            static_cast<uint8_t>(colour >> 16)};
}

/// A random source that plays `values` in a loop.
inline RandomSource Scripted(std::vector<uint32_t> values) {
    auto state = std::make_shared<std::pair<std::vector<uint32_t>, size_t>>(std::move(values), 0);
    return [state]() {
        auto& [list, next] = *state;
        const uint32_t value = list.empty() ? 0 : list[next % list.size()];
        ++next;
        return value;
    };
}

/// An engine already switched to `lighting` (reset and initialised).
inline PreviewEngine EngineIn(const LightingInput& lighting,
                              RandomSource random = SeededRandom(7)) {
    PreviewEngine engine(std::move(random));
    engine.ModeChanged(lighting);
    return engine;
}

}  // namespace rerov::preview::testing
