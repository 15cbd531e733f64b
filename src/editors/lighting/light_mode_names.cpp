#include "editors/lighting/light_mode_names.h"

#include "profiles/json_access.h"
#include "profiles/json_file_io.h"

namespace rerov::lighting {

LightModeList ReadLightModeList(const std::filesystem::path& path, int defaultDataIndex) {
    using json::Element;
    using json::Member;
    using json::ToI32;
    using json::ToString;
    LightModeList list;
    if (defaultDataIndex < 0) return list;
    const JsonReadResult read = JsonFileIO::ReadJson(path, kOutsideFileLimits);
    if (!read.Ok()) return list;
    const Json::Value& modes = Element(Member(read.document, "DefaultLightName"),
                                       static_cast<Json::ArrayIndex>(defaultDataIndex));
    if (!modes.isArray()) return list;
    for (const Json::Value& mode : modes) {
        const std::string name = ToString(Member(mode, "LightName"));
        const Json::Value& visible = Member(mode, "visible");
        list.names.push_back(name);
        list.visible.push_back(!name.empty() && visible.isBool() && visible.asBool() ? 1 : 0);
        list.codes.push_back(ToI32(Member(mode, "value")));
    }
    return list;
}

}  // namespace rerov::lighting
