#pragma once

#include "profiles/basic_profile_data.h"

namespace rerov {

/// Keyboard profile data: system settings and the per-key colours of the custom light groups.
class CKeyboardProfiledata : public CBasicProfiledata {
  public:
    /// Custom light groups beyond this number are refused (they would only bloat the file).
    static constexpr int kMaxCustomGroups = 64;
    /// Keys per group beyond this number are refused.
    static constexpr int kMaxKeysPerGroup = 512;

    /// Stores the three words and writes "SystemStages".
    void WriteKeyboardSystem(const KeyboardSystemSettings& settings);
    /// The three words from "SystemStages" (all zero when absent).
    KeyboardSystemSettings ReadKeyboardSystem();
    /// Writes the colours of one custom light group; false for a group out of range.
    bool WriteKeyColors(const std::vector<KeyColor>& colors, int group);
    /// Colours of a group for `count` keys; missing or unusable entries become zeros in the
    /// document (so the next save persists them) and read as zero.
    std::vector<KeyColor> ReadKeyColors(int group, int count);
    /// Stores and writes "CustomLightModeGroupIndex".
    void WriteCustomGroupIndex(int index);
    /// "CustomLightModeGroupIndex" (0 when absent).
    int ReadCustomGroupIndex();

    /// Last system settings read or written.
    const KeyboardSystemSettings& SystemSettings() const { return system_; }
    /// Last key colours read or written.
    const std::vector<KeyColor>& KeyColors() const { return keyColors_; }

  private:
    /// The colour array of `group` (in range), made an array for writing into.
    Json::Value& GroupForWriting(int group);

    KeyboardSystemSettings system_;
    std::vector<KeyColor> keyColors_;
    int customGroupIndex_ = 0;
};

}  // namespace rerov
