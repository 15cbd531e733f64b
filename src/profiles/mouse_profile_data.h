#pragma once

#include "profiles/basic_profile_data.h"

namespace rerov {

/// Mouse profile data: resolution stages, pointer and report-rate settings, correction presets.
class CMouseProfiledata : public CBasicProfiledata {
  public:
    /// Stages beyond this number in a file are ignored.
    static constexpr int kMaxStages = 64;

    /// The stored stage list after merging "DPIStages" into it: element j of the file
    /// overwrites stored stage j or is appended; stored stages past the file's count stay.
    std::vector<DpiStage> ReadDpiStages();
    /// Replaces the stored list and writes "StageDPIs".
    void WriteDpiStages(const std::vector<DpiStage>& stages);
    /// Stores the active stage and writes "DPIStages"."StageActive".
    void SetActiveStage(int stage);
    /// The stored active stage (the document is not read).
    int GetActiveStage() const { return activeStage_; }
    /// Stores the three words and writes "SystemStages" and "ReportStages".
    void WriteMouseSystem(const MouseSystemSettings& settings);
    /// The three words (all zero when "SystemStages" is absent).
    MouseSystemSettings ReadMouseSystem();
    /// "CorrectInfo" (empty when absent).
    std::vector<CorrectPreset> ReadCorrectPresets();

    /// The stored stage list.
    const std::vector<DpiStage>& Stages() const { return stages_; }
    /// Last system settings read or written.
    const MouseSystemSettings& SystemSettings() const { return system_; }

  private:
    std::vector<DpiStage> stages_;
    int activeStage_ = 0;
    MouseSystemSettings system_;
    std::vector<CorrectPreset> correctPresets_;
};

}  // namespace rerov
