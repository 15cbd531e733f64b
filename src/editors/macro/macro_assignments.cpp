#include "editors/macro/macro_assignments.h"

#include <system_error>

#include "editors/assignment/code_tables.h"
#include "profiles/basic_profile_data.h"
#include "profiles/profile_store.h"

namespace rerov::editors {

namespace {

bool IsMacroAssignment(const KeyAssignment& assignment) {
    return assignment.type == kTypeMacro || assignment.type == kTypeMacroRepeat;
}

}  // namespace

bool UsesMacro(const std::vector<KeyEntry>& keys, int index) {
    for (const KeyEntry& entry : keys) {
        if (IsMacroAssignment(entry.current) && entry.current.value == index) return true;
    }
    return false;
}

bool RenumberAfterMacroRemoval(std::vector<KeyEntry>* keys, int removed) {
    if (removed < 0) return false;
    bool changed = false;
    for (KeyEntry& entry : *keys) {
        if (!IsMacroAssignment(entry.current)) continue;
        if (entry.current.value == removed) {
            entry.current = entry.defaults;
            changed = true;
        } else if (entry.current.value > removed) {
            --entry.current.value;
            changed = true;
        }
    }
    return changed;
}

int RenumberProfilesAfterMacroRemoval(const FamilyProfiles& family, int removed, int* failed) {
    if (failed != nullptr) *failed = 0;
    ProfileStore store(family.kind, family.folder, family.defaultFile);
    if (store.Build() != StoreResult::Ok) return 0;
    int changedCount = 0;
    for (int i = 0; i < store.Count(); ++i) {
        const std::filesystem::path path = store.GetProfileFilePath(i);
        std::error_code error;
        // A listed profile whose file is gone has no keys to change; loading it would
        // write the factory profile in its place.
        if (path.empty() || !std::filesystem::is_regular_file(path, error)) continue;
        CBasicProfiledata data;
        data.SetDefaultPath(family.defaultFile);
        data.SetProfilePath(path);
        data.LoadProfile(path);
        std::vector<KeyEntry> keys = data.ReadKeyList();
        if (!RenumberAfterMacroRemoval(&keys, removed)) continue;
        data.WriteKeyList(keys);
        if (data.Save()) {
            ++changedCount;
        } else if (failed != nullptr) {
            ++*failed;
        }
    }
    return changedCount;
}

}  // namespace rerov::editors
