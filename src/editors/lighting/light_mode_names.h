#pragma once
// The lighting modes a device family offers, as the factory file "default_light.json"
// lists them: per family (the default-data index) the language key of each mode's name and
// whether the editor offers it.

#include <filesystem>
#include <string>
#include <vector>

namespace rerov::lighting {

/// The factory file of the mode lists, in the default-data folder.
inline constexpr const char* kDefaultLightFileName = "default_light.json";

/// The modes of one family, in mode-index order.
struct LightModeList {
    std::vector<std::string> names;  // language keys ("light_mode_wave")
    std::vector<int> visible;        // 1 when the editor offers the mode
    std::vector<int> codes;          // the device's number for each mode
};

/// The modes of family entry `defaultDataIndex` of the file at `path`; empty lists when the
/// file or the entry is missing or has another shape. An entry without a name gets an
/// empty name and is not offered.
LightModeList ReadLightModeList(const std::filesystem::path& path, int defaultDataIndex);

}  // namespace rerov::lighting
