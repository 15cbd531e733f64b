#include "devices/keyboard/light_tables.h"

#include <algorithm>

namespace rerov::keyboard {
namespace {

constexpr uint8_t kNibble = 0x0F;

uint8_t Scaled(uint8_t channel, uint8_t brightness) {
    return static_cast<uint8_t>(channel * brightness / 256);
}

}  // namespace

std::vector<uint8_t> BuildPaletteMap(const std::vector<LedColour>& lights, int keyPositionCount,
                                     uint8_t value) {
    std::vector<uint8_t> map(kPaletteMapSize, 0);
    const uint8_t nibble = value & kNibble;
    for (const LedColour& light : lights) {
        const uint8_t led = light.led;
        if (led == kNoLed || led >= keyPositionCount || led >= kPaletteMapLeds) continue;
        if ((light.colour & 0x00FFFFFFu) == 0) continue;  // black lights stay off
        uint8_t& cell = map[led / 2];
        cell = (led % 2 == 0) ? static_cast<uint8_t>((cell & 0xF0) | nibble)
                              : static_cast<uint8_t>((cell & kNibble) | (nibble << 4));
    }
    return map;
}

std::vector<uint8_t> BuildFilledPaletteMap(uint8_t value) {
    const uint8_t nibble = value & kNibble;
    return std::vector<uint8_t>(kPaletteMapSize, static_cast<uint8_t>(nibble | (nibble << 4)));
}

std::vector<uint8_t> BuildRgbTable(const std::vector<LedColour>& lights, int keyPositionCount) {
    const size_t count = static_cast<size_t>(std::max(keyPositionCount, 0));
    std::vector<uint8_t> table(count * kBytesPerLed, 0);
    for (const LedColour& light : lights) {
        if (light.led == kNoLed || light.led >= count) continue;
        const uint8_t brightness = BrightnessOf(light.colour);
        uint8_t* rgb = &table[light.led * kBytesPerLed];
        rgb[0] = Scaled(RedOf(light.colour), brightness);
        rgb[1] = Scaled(GreenOf(light.colour), brightness);
        rgb[2] = Scaled(BlueOf(light.colour), brightness);
    }
    return table;
}

}  // namespace rerov::keyboard
