#pragma once
// The per-key lighting data the keyboard takes: the palette map and the RGB table of a
// custom colour slot, and the RGB frame of the host-driven modes. Pure: the caller pairs
// each light with its device LED number and colour.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace rerov::keyboard {

// A custom colour slot's place in the device's colour memory.
inline constexpr int kCustomSlotSize = 512;
// A palette map: one nibble per device LED number (even numbers low, odd high).
inline constexpr size_t kPaletteMapSize = 64;
inline constexpr size_t kPaletteMapLeds = kPaletteMapSize * 2;
// An RGB table or frame: red, green, blue per device LED number.
inline constexpr size_t kBytesPerLed = 3;
// LED number of a light without an LED.
inline constexpr uint8_t kNoLed = 255;

// One light as the tables see it: its LED number and its colour word (byte 0 red, 1 green,
// 2 blue, 3 brightness).
struct LedColour {
    uint8_t led = kNoLed;
    uint32_t colour = 0;
};

constexpr uint32_t ColourWord(uint8_t red, uint8_t green, uint8_t blue, uint8_t brightness) {
    return uint32_t{red} | (uint32_t{green} << 8) | (uint32_t{blue} << 16) |
           (uint32_t{brightness} << 24);
}
constexpr uint8_t RedOf(uint32_t colour) { return static_cast<uint8_t>(colour); }
constexpr uint8_t GreenOf(uint32_t colour) { return static_cast<uint8_t>(colour >> 8); }
constexpr uint8_t BlueOf(uint32_t colour) { return static_cast<uint8_t>(colour >> 16); }
constexpr uint8_t BrightnessOf(uint32_t colour) { return static_cast<uint8_t>(colour >> 24); }

// The palette map in which every lit light (colour not black) whose LED number is below
// `keyPositionCount` and fits the map shows palette value `value` (0 off, 1 to 15 the
// palette entry + 1; only the low 4 bits count). Other LEDs stay 0.
std::vector<uint8_t> BuildPaletteMap(const std::vector<LedColour>& lights, int keyPositionCount,
                                     uint8_t value);
// The palette map with every LED at `value`.
std::vector<uint8_t> BuildFilledPaletteMap(uint8_t value);
// keyPositionCount × 3 bytes: every light whose LED number is below the count gets its
// red, green and blue each scaled by its brightness / 256; the rest stay 0.
std::vector<uint8_t> BuildRgbTable(const std::vector<LedColour>& lights, int keyPositionCount);

}  // namespace rerov::keyboard
