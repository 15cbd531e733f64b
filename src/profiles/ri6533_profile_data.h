#pragma once

#include <array>
#include <string>

#include "profiles/basic_profile_data.h"

namespace rerov {

/// Headset profile data: voice and microphone settings, equaliser presets and the user's
/// custom equalisers.
class CRi6533Profiledata : public CBasicProfiledata {
  public:
    static constexpr int kBands = 10;
    /// EqType that selects the custom equaliser (it has no preset).
    static constexpr int kCustomEqType = 13;
    /// Custom equalisers beyond this number are refused.
    static constexpr int kMaxCustomEqs = 64;

    using Bands = std::array<std::int32_t, kBands>;

    /// Stores the eight values and writes "SystemSetStages".
    void WriteHeadsetSystem(const HeadsetSystemSettings& settings);
    /// The eight values (all zero when the section is absent).
    HeadsetSystemSettings ReadHeadsetSystem();
    /// Preset number used for an EQ type: 1 for 0, negative or above 13; none (-1) for 13.
    static int PresetForEqType(int eqType);
    /// Writes the band values of the preset of `eqType` (nothing for the custom type).
    void WriteEqPreset(int eqType, const Bands& values);
    /// Band values of the preset of `eqType`; empty for the custom type. A missing preset
    /// reads as zeros, which are added to the document.
    std::vector<std::int32_t> ReadEqPreset(int eqType);
    /// Replaces "CustomEQNameInfo" with one element per name.
    void WriteCustomEqNames(const std::vector<std::string>& names);
    /// The custom equaliser names in order (empty when absent).
    std::vector<std::string> ReadCustomEqNames();
    /// Writes the band values of custom equaliser `index`; false when out of range.
    bool WriteCustomEq(int index, const Bands& values);
    /// Band values of custom equaliser `index` (zeros added to the document when missing);
    /// empty when the index is out of range.
    std::vector<std::int32_t> ReadCustomEq(int index);

    /// Last headset settings read or written.
    const HeadsetSystemSettings& SystemSettings() const { return system_; }

  private:
    void WriteBands(const char* section, int index, const Bands& values);
    std::vector<std::int32_t> ReadBands(const char* section, int index);

    HeadsetSystemSettings system_;
};

}  // namespace rerov
