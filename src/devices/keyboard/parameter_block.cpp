#include "devices/keyboard/parameter_block.h"

#include <algorithm>

namespace rerov::keyboard {
namespace {

// Light-setting field <-> block byte, for the fields copied as they are.
struct PlainField {
    int field;
    size_t byte;
};
constexpr std::array<PlainField, 9> kPlainFields{{
    {LightSetting::kBrightness, kBrightnessByte},
    {LightSetting::kDirection, kEffectByte},
    {LightSetting::kMultiColor, kMultiColorByte},
    {LightSetting::kRed, kRedByte},
    {LightSetting::kGreen, kGreenByte},
    {LightSetting::kBlue, kBlueByte},
    {LightSetting::kZzccLedMode, kZzccLedModeByte},
    {LightSetting::kCustomGroup, kCustomGroupByte},
    {LightSetting::kSpeed, kSpeedByte},  // stored as kSpeedBase - speed, see below
}};

uint8_t Low(uint16_t value) { return static_cast<uint8_t>(value); }

}  // namespace

uint8_t ModeCodeOf(int index, const std::vector<int32_t>& modeCodes) {
    if (index >= 0 && static_cast<size_t>(index) < modeCodes.size()) {
        return static_cast<uint8_t>(modeCodes[static_cast<size_t>(index)]);
    }
    return static_cast<uint8_t>(index);
}

ParameterBytes EncodeParameterBlock(const ParameterBytes& lastRead, uint8_t profile,
                                    const LightSetting& light, const KeyboardSystemSettings& system,
                                    const std::vector<int32_t>& modeCodes) {
    ParameterBytes block = lastRead;
    block[kProfileByte] = profile;
    const uint8_t code = ModeCodeOf(light.bytes[LightSetting::kMode], modeCodes);
    block[kModeByte] =
        (code == kHostModeCodeA || code == kHostModeCodeB) ? kHostDrivenModeByte : code;
    for (const PlainField& f : kPlainFields) block[f.byte] = light.bytes[f.field];
    block[kSpeedByte] = static_cast<uint8_t>(kSpeedBase - light.bytes[LightSetting::kSpeed]);
    block[kZeroByte] = 0;
    block[kWFlagByte] = Low(LowHalf(system.words[2]));
    block[kKey6FlagByte] = Low(LowHalf(system.words[1]));
    block[kWinFlagByte] = Low(HighHalf(system.words[2]));
    block[kPollingRateByte] = Low(HighHalf(system.words[1]));
    return block;
}

DecodedParameters DecodeParameterBlock(const ParameterBytes& block, const LightSetting& current,
                                       const KeyboardSystemSettings& currentSystem,
                                       const std::vector<int32_t>& modeCodes) {
    DecodedParameters out;
    out.light = current;
    const uint8_t code = block[kModeByte];
    out.hostDriven = code == kHostDrivenModeByte;
    if (!out.hostDriven) {
        const auto found = std::find(modeCodes.begin(), modeCodes.end(), int32_t{code});
        out.light.bytes[LightSetting::kMode] =
            found == modeCodes.end() ? code : static_cast<uint8_t>(found - modeCodes.begin());
    }
    for (const PlainField& f : kPlainFields) out.light.bytes[f.field] = block[f.byte];
    out.light.bytes[LightSetting::kSpeed] = static_cast<uint8_t>(kSpeedBase - block[kSpeedByte]);

    out.system = currentSystem;
    // Key6Flag shares its word with PollingRate, WFlag with WinFlag; the other half stays.
    const uint32_t flagWord = currentSystem.words[1];
    out.system.words[1] = PackHalves(block[kKey6FlagByte], HighHalf(flagWord));
    out.system.words[2] = PackHalves(block[kWFlagByte], block[kWinFlagByte]);
    return out;
}

}  // namespace rerov::keyboard
