#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "profiles/profile_list.h"

// Rebuilding a family's profile list from the profile files themselves, for a list file that
// is damaged or misses profiles (an add interrupted between writing the profile file and the
// list), and tidying what an interrupted save leaves behind.
namespace rerov {

/// True for the name of the temporary file an interrupted save of the list or of a profile
/// file leaves beside its target: the target's name, a dot and six letters or digits
/// ("ProfileList.ini.a1B2c3", "<uuid>.Json.Xy12Zt").
bool IsSaveTemporaryName(const std::string& fileName);

/// The profiles whose files lie in the folder: every "<uuid>.Json" that is a regular file
/// (links are not followed) and holds an object whose "profileUUID" equals that file title,
/// which must be a plain file name. Each is named by its "profilename" (the UUID when that is
/// blank). Sorted by name without regard to case, then by UUID.
std::vector<ProfileEntry> ProfilesInFolder(const std::filesystem::path& folder);

/// Appends the profiles of `found` whose UUID the list does not hold yet, in their order, each
/// name made unique against the names before it with the import suffix rule. Returns how many
/// were appended.
int AdoptProfiles(ProfileList& list, const std::vector<ProfileEntry>& found);

/// Removes the save temporaries of the folder (regular files only) last modified at least
/// `minAge` ago; younger ones may belong to a save still running in another program. Returns
/// how many were removed.
int RemoveStrayTemporaries(const std::filesystem::path& folder, std::chrono::seconds minAge);

}  // namespace rerov
