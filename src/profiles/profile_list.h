#pragma once

#include <json/value.h>

#include <optional>
#include <string>
#include <vector>

namespace rerov {

/// File name of a family's profile list (JSON despite the extension).
inline constexpr const char* kProfileListFileName = "ProfileList.ini";
/// A damaged list file is kept beside the rebuilt list under this name.
inline constexpr const char* kBrokenListFileName = "ProfileList.ini.broken";
/// Extension of a profile file.
inline constexpr const char* kProfileFileExtension = ".Json";

/// One profile of the list: display name and identifier (the profile file's base name).
struct ProfileEntry {
    std::string name;
    std::string uuid;
    bool operator==(const ProfileEntry&) const = default;
};

/// The profile list of one device family.
struct ProfileList {
    std::vector<ProfileEntry> entries;
    int selected = 0;
    /// True when parsing dropped entries or corrected the selection.
    bool corrected = false;
};

/// The entries' names, in list order.
std::vector<std::string> NamesOf(const std::vector<ProfileEntry>& entries);

/// Parses a list document. Entries that are not objects, whose "profileUUID" is not a plain
/// file name, or that repeat an earlier UUID are skipped (they could point outside the
/// folder or let one deletion remove another profile's file). An out-of-range selection
/// becomes 0. Returns nothing when the root is not an object, "profilelist" is not an array,
/// or no entry remains.
std::optional<ProfileList> ParseProfileList(const Json::Value& root);

/// The list as its JSON document.
Json::Value ProfileListDocument(const ProfileList& list);

}  // namespace rerov
