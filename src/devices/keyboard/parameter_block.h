#pragma once
// The keyboard's 42-byte parameter block (one per onboard profile) and its two directions:
// the page's light setting and system settings into the block, and the block back into
// them. Pure: no device, no profile file.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "profiles/profile_records.h"

namespace rerov::keyboard {

inline constexpr size_t kBlockSize = 42;
using ParameterBytes = std::array<uint8_t, kBlockSize>;

// Byte offsets inside the block. Bytes not named here (9 to 15, 17, 23, 24, 26 to 41) are
// the device's own and go back to it as they were read.
inline constexpr size_t kProfileByte = 0;
inline constexpr size_t kModeByte = 1;
inline constexpr size_t kBrightnessByte = 2;
inline constexpr size_t kSpeedByte = 3;  // holds kSpeedBase - speed
inline constexpr size_t kEffectByte = 4;
inline constexpr size_t kMultiColorByte = 5;
inline constexpr size_t kRedByte = 6;
inline constexpr size_t kGreenByte = 7;
inline constexpr size_t kBlueByte = 8;
inline constexpr size_t kZeroByte = 16;          // always 0 in both directions
inline constexpr size_t kProfileFieldByte = 17;  // set by the device's profile report
inline constexpr size_t kZzccLedModeByte = 18;
inline constexpr size_t kWFlagByte = 19;
inline constexpr size_t kKey6FlagByte = 20;
inline constexpr size_t kWinFlagByte = 21;
inline constexpr size_t kPollingRateByte = 22;
inline constexpr size_t kCustomGroupByte = 25;

inline constexpr uint8_t kSpeedBase = 4;
// The mode byte of a mode the host drives frame by frame (the device just shows frames).
inline constexpr uint8_t kHostDrivenModeByte = 0xFE;
// Mode codes the host drives; the block carries kHostDrivenModeByte for them.
inline constexpr int kHostModeCodeA = 29;
inline constexpr int kHostModeCodeB = 30;
// Mode indices of the page whose frames the host computes.
inline constexpr int kHostModeIndexA = 29;
inline constexpr int kHostModeIndexB = 30;
// The mode index of the per-key custom colours.
inline constexpr int kCustomModeIndex = 19;

// The code the device knows mode index `index` by: the list entry's low byte, or the
// index itself when the list has no such entry (the factory list's codes are the indices).
uint8_t ModeCodeOf(int index, const std::vector<int32_t>& modeCodes);

// The block to write: `lastRead` with the profile number, the lighting bytes and the
// system-setting bytes replaced (Repeat and RepeatDelay stay on the host).
ParameterBytes EncodeParameterBlock(const ParameterBytes& lastRead, uint8_t profile,
                                    const LightSetting& light, const KeyboardSystemSettings& system,
                                    const std::vector<int32_t>& modeCodes);

// What a block read from the device says.
struct DecodedParameters {
    // The light setting with the block's fields in it (the mode only when the device runs
    // a mode of its own).
    LightSetting light;
    // True when the block says the host drives the lighting: the mode stays the page's.
    bool hostDriven = false;
    // The system settings with the block's Key6Flag, WinFlag and WFlag (Repeat,
    // RepeatDelay and PollingRate are not read back).
    KeyboardSystemSettings system;
};

// Decodes `block` over the current light setting and system settings. A mode code found in
// `modeCodes` becomes its index; one not found is taken as the index itself.
DecodedParameters DecodeParameterBlock(const ParameterBytes& block, const LightSetting& current,
                                       const KeyboardSystemSettings& currentSystem,
                                       const std::vector<int32_t>& modeCodes);

}  // namespace rerov::keyboard
