#pragma once
// Files of the keyboard's user data folder as tests lay them out: the macro list, macro
// files, the current profile file; and a page that records what the device shows on it.

#include <gtest/gtest.h>
#include <json/value.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "devices/device_page_view.h"
#include "profiles/json_file_io.h"
#include "profiles/profile_folders.h"
#include "profiles/profile_store.h"

namespace rerov::test {

// One step of a macro file as the macro editor writes it.
inline Json::Value MacroStep(int type, int button, const std::string& action,
                             const std::string& delay) {
    Json::Value step(Json::objectValue);
    step["Type"] = type;
    step["Button"] = button;
    step["Action"] = action;
    step["Delay"] = delay;
    return step;
}

// Writes "macro.config" listing macros "m0".."m<n-1>" with Guids "g0".. and, for each
// given, its ".mac" file with those events.
inline void WriteMacros(const std::filesystem::path& folder, int count,
                        const std::map<int, std::vector<Json::Value>>& events = {}) {
    Json::Value list(Json::objectValue);
    Json::Value& info = list["MacroInfo"];
    info = Json::Value(Json::arrayValue);
    for (int i = 0; i < count; ++i) {
        Json::Value row(Json::objectValue);
        row["MacroName"] = "m" + std::to_string(i);
        row["Guid"] = "g" + std::to_string(i);
        info.append(row);
    }
    ASSERT_TRUE(JsonFileIO::WriteJsonFile(folder / "macro.config", list));
    for (const auto& [index, steps] : events) {
        Json::Value file(Json::objectValue);
        file["Events"] = Json::Value(Json::arrayValue);
        for (const Json::Value& step : steps) file["Events"].append(step);
        ASSERT_TRUE(
            JsonFileIO::WriteJsonFile(folder / ("g" + std::to_string(index) + ".mac"), file));
    }
}

// `count` alternating presses and releases of button 4.
inline std::vector<Json::Value> Steps(int count) {
    std::vector<Json::Value> steps;
    for (int i = 0; i < count; ++i) steps.push_back(MacroStep(10, 4, i % 2 ? "up" : "down", "5"));
    return steps;
}

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    ASSERT_TRUE(out) << path;
}

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The keyboard's current profile file (made from the factory profile on first use).
inline std::filesystem::path CurrentKeyboardProfile() {
    ProfileStore store(DeviceKindOfFamily(kFamilyNameKeyboard), ProfileFolder(kFamilyNameKeyboard),
                       DefaultProfilePath(kFamilyNameKeyboard));
    if (store.Build() != StoreResult::Ok) return {};
    return store.CurrentProfilePath();
}

// A page that keeps the labels and marks the device shows on it.
class RecordingKeyView : public DevicePageView {
  public:
    void MapKeyButtons(int, int) override {}
    bool HasKeyButton(int key) const override { return key != missingKey; }
    bool HasLight(int) const override { return true; }
    void PaintLights(const std::vector<uint32_t>&) override {}
    void SetKeyLabel(int key, const std::string& label) override { labels[key] = label; }
    void ShowSelectedKey(int key) override { selected = key; }
    bool SelectTab(const std::string&, int) override { return true; }
    void ShowSettings() override { ++settingsShown; }
    void ShowAudioLightSetting(uint32_t, uint32_t, uint32_t) override {}
    void ShowPowerLayout(bool) override {}
    void ShowKeyMarks(int key, bool changed, bool pendingMark) override {
        marks[key] = {changed, pendingMark};
    }
    void ShowPowerStatus(const std::array<uint8_t, 6>&) override {}
    void Post(std::function<void()> work) override { work(); }

    int missingKey = -1;
    int selected = -2;
    int settingsShown = 0;
    std::map<int, std::string> labels;
    std::map<int, std::pair<bool, bool>> marks;
};

}  // namespace rerov::test
