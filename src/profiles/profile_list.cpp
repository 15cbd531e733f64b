#include "profiles/profile_list.h"

#include <set>

#include "profiles/json_access.h"
#include "profiles/plain_file_name.h"

namespace rerov {

using json::Member;

std::optional<ProfileList> ParseProfileList(const Json::Value& root) {
    const Json::Value& array = Member(root, "profilelist");
    if (!array.isArray()) return std::nullopt;

    ProfileList list;
    std::set<std::string> seen;
    const Json::Value& selectValue = Member(root, "profileselect");
    const std::int64_t fileSelected = selectValue.isIntegral() ? json::ToInt64(selectValue) : 0;
    if (!selectValue.isIntegral()) list.corrected = true;
    int selectedAfter = -1;
    for (Json::ArrayIndex i = 0; i < array.size(); ++i) {
        const Json::Value& element = array[i];
        const std::string uuid = json::ToString(Member(element, "profileUUID"));
        if (!element.isObject() || !IsPlainFileName(uuid) || !seen.insert(uuid).second) {
            list.corrected = true;
            continue;
        }
        if (static_cast<std::int64_t>(i) == fileSelected) {
            selectedAfter = static_cast<int>(list.entries.size());
        }
        list.entries.push_back({json::ToString(Member(element, "profilename")), uuid});
    }
    if (list.entries.empty()) return std::nullopt;
    if (selectedAfter < 0) {
        list.corrected = true;
        selectedAfter = 0;
    }
    list.selected = selectedAfter;
    return list;
}

std::vector<std::string> NamesOf(const std::vector<ProfileEntry>& entries) {
    std::vector<std::string> names;
    names.reserve(entries.size());
    for (const ProfileEntry& entry : entries) names.push_back(entry.name);
    return names;
}

Json::Value ProfileListDocument(const ProfileList& list) {
    Json::Value root(Json::objectValue);
    Json::Value& array = root["profilelist"];
    array = Json::Value(Json::arrayValue);
    for (const ProfileEntry& entry : list.entries) {
        Json::Value element(Json::objectValue);
        element["profilename"] = Json::Value(entry.name);
        element["profileUUID"] = Json::Value(entry.uuid);
        element["profileislink"] = Json::Value(0);
        element["profilelinkmame"] = Json::Value("");
        array.append(element);
    }
    root["profileselect"] = Json::Value(list.selected);
    return root;
}

}  // namespace rerov
