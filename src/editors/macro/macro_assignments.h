#pragma once
// What deleting a macro does to the key assignments that refer to macros by position: a key
// given the deleted macro gets its factory function back, keys given a later macro follow
// it one place down. Applied to every profile of the device.

#include <filesystem>
#include <vector>

#include "profiles/profile_records.h"

namespace rerov::editors {

/// True when a current assignment of `keys` runs macro `index` (Type 0x70 or 0x71).
bool UsesMacro(const std::vector<KeyEntry>& keys, int index);
/// Applies the removal of macro `removed` to `keys`; true when an entry changed.
bool RenumberAfterMacroRemoval(std::vector<KeyEntry>* keys, int removed);

/// The profile files of one device family, for the renumbering across profiles.
struct FamilyProfiles {
    int kind = 0;                       // DeviceKind
    std::filesystem::path folder;       // the family's profile folder
    std::filesystem::path defaultFile;  // the family's factory profile
};

/// Renumbers the key list of every profile of the family listed in its profile list and
/// saves each one that changed. Returns the number of profiles changed; *failed counts
/// profiles that changed but could not be saved.
int RenumberProfilesAfterMacroRemoval(const FamilyProfiles& family, int removed,
                                      int* failed = nullptr);

}  // namespace rerov::editors
