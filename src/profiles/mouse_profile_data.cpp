#include "profiles/mouse_profile_data.h"

#include <algorithm>
#include <array>

#include "profiles/half_word_fields.h"
#include "profiles/json_access.h"

namespace rerov {

using json::Member;

namespace {

// "SystemStages" of the mouse; the high half of word 2 lives in "ReportStages".
constexpr std::array<HalfWordField, 5> kMouseSystemFields{{
    {"DoubleClickTime", 0, false},
    {"MouseSpeed", 0, true},
    {"PointerPrecision", 1, false},
    {"ScorllPage", 1, true},
    {"WheelScorlllinse", 2, false},
}};

DpiStage StageFrom(const Json::Value& element) {
    DpiStage stage;
    stage.active = json::ToU8(Member(element, "StageActive"));
    stage.axisMode = json::ToU8(Member(element, "StageXY"));
    stage.x = json::ToU16(Member(element, "StageDPIX"));
    stage.y = json::ToU16(Member(element, "StageDPIY"));
    stage.red = json::ToU8(Member(element, "StageColorR"));
    stage.green = json::ToU8(Member(element, "StageColorG"));
    stage.blue = json::ToU8(Member(element, "StageColorB"));
    return stage;
}

}  // namespace

std::vector<DpiStage> CMouseProfiledata::ReadDpiStages() {
    const Json::Value& section = Section("DPIStages");
    if (!section.isObject()) return stages_;
    activeStage_ = json::ToI32(Member(section, "StageActive"));
    const Json::Value& list = Member(section, "StageDPIs");
    if (list.isArray()) {
        const Json::ArrayIndex count =
            std::min<Json::ArrayIndex>(list.size(), static_cast<Json::ArrayIndex>(kMaxStages));
        for (Json::ArrayIndex j = 0; j < count; ++j) {
            const DpiStage stage = StageFrom(list[j]);
            if (j < stages_.size()) {
                stages_[j] = stage;
            } else {
                stages_.push_back(stage);
            }
        }
    }
    return stages_;
}

void CMouseProfiledata::WriteDpiStages(const std::vector<DpiStage>& stages) {
    stages_ = stages;
    Json::Value& list =
        json::WritableArray(json::WritableObject(WritableDocument(), "DPIStages"), "StageDPIs");
    for (std::size_t i = 0; i < stages.size(); ++i) {
        Json::Value& element = json::WritableObjectAt(list, static_cast<Json::ArrayIndex>(i));
        const DpiStage& stage = stages[i];
        element["StageActive"] = Json::Value(static_cast<int>(stage.active));
        element["StageXY"] = Json::Value(static_cast<int>(stage.axisMode));
        element["StageDPIX"] = Json::Value(static_cast<int>(stage.x));
        element["StageDPIY"] = Json::Value(static_cast<int>(stage.y));
        element["StageColorR"] = Json::Value(static_cast<int>(stage.red));
        element["StageColorG"] = Json::Value(static_cast<int>(stage.green));
        element["StageColorB"] = Json::Value(static_cast<int>(stage.blue));
    }
}

void CMouseProfiledata::SetActiveStage(int stage) {
    activeStage_ = stage;
    json::WritableObject(WritableDocument(), "DPIStages")["StageActive"] = Json::Value(stage);
}

void CMouseProfiledata::WriteMouseSystem(const MouseSystemSettings& settings) {
    system_ = settings;
    Json::Value& section = json::WritableObject(WritableDocument(), "SystemStages");
    WriteHalfWordFields(section, kMouseSystemFields, settings.words);
    json::WritableObject(WritableDocument(), "ReportStages")["StageActive"] =
        Json::Value(HighHalf(settings.words[2]));
}

MouseSystemSettings CMouseProfiledata::ReadMouseSystem() {
    MouseSystemSettings settings;
    const Json::Value& section = Section("SystemStages");
    if (section.isObject()) {
        ReadHalfWordFields(section, kMouseSystemFields, settings.words);
        const Json::Value& report = Section("ReportStages");
        if (report.isObject()) {
            settings.words[2] |= std::uint32_t{json::ToU16(Member(report, "StageActive"))} << 16;
        }
    }
    system_ = settings;
    return settings;
}

std::vector<CorrectPreset> CMouseProfiledata::ReadCorrectPresets() {
    std::vector<CorrectPreset> presets;
    const Json::Value& list = Section("CorrectInfo");
    if (list.isArray()) {
        for (const Json::Value& element : list) {
            CorrectPreset preset;
            preset.pixelThreshold = json::ToU8(Member(element, "CorrectPixThresh"));
            preset.minimum = json::ToU8(Member(element, "CorrectMinSq"));
            preset.selection = json::ToU8(Member(element, "CorrectSelect"));
            preset.name = json::ToString(Member(element, "CorrectName"));
            presets.push_back(preset);
        }
    }
    correctPresets_ = presets;
    return presets;
}

}  // namespace rerov
