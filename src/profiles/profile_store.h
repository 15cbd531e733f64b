#pragma once

#include <json/value.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "profiles/json_file_io.h"
#include "profiles/profile_list.h"
#include "profiles/store_result.h"

namespace rerov {

/// What Refresh found.
enum class RefreshResult {
    Unchanged,       // the list on disk is the one shown
    ListChanged,     // another program changed the list; the shown profile stays
    CurrentChanged,  // another program removed the shown profile; another one is shown now
    Busy,            // the folder stayed locked; try again later
};

/// The profile list of one device family and its profile files, without any user interface.
/// A profile bar shows Names() and Selected() and forwards the user's commands here. The
/// list file is the authority: every changing operation locks the folder against other
/// programs, re-reads the list and finds the shown profile in it by its UUID. Every operation
/// that is refused or fails leaves the stored list and profile files as they were.
/// Not thread-safe: owned and used by one thread.
class ProfileStore {
  public:
    /// Lock file in the family folder, held for every read-modify-write of the folder.
    static constexpr const char* kLockFileName = ".ProfileList.lock";
    /// How long an operation waits for another program's lock before it is refused.
    static constexpr int kLockWaitMs = 5000;
    /// A lock older than this is taken over (one whose program ended is taken at once).
    static constexpr int kStaleLockMs = 30000;
    /// A list file above this size is damaged: even thousands of profiles stay far below.
    static constexpr std::uintmax_t kMaxListBytes = kListFileLimits.maxBytes;
    /// Save temporaries at least this old are left over from a save that was interrupted.
    static constexpr std::chrono::seconds kStrayTemporaryAge{10};

    /// Add refuses to go past this many profiles (copy and import have no limit).
    static constexpr int kMaxAddedProfiles = 50;
    /// Import refuses files larger than this.
    static constexpr std::uintmax_t kMaxImportBytes = 4u * 1024u * 1024u;

    /// kind: DeviceKind (7 keeps custom equalisers on reset); folder: the family's profile
    /// folder; defaultFile: the family's factory default profile.
    ProfileStore(int kind, std::filesystem::path folder, std::filesystem::path defaultFile);

    /// Called after every operation that changed the list, the selection or a file.
    void SetChangeCallback(std::function<void()> callback) { onChange_ = std::move(callback); }

    /// Reads the list and selects its stored selection. A missing or damaged list (unreadable
    /// as a list, empty, oversized) is rebuilt from the profile files of the folder in name
    /// order, the damaged file kept as "ProfileList.ini.broken"; only a folder without
    /// profile files gets one profile "Profile1" made from the factory default. Profile files
    /// the list misses are appended to it, and stray save temporaries are removed.
    StoreResult Build();

    /// Re-reads the list after another program may have changed it and shows it: the shown
    /// profile stays (found by UUID); when it is gone, the list's stored selection is shown.
    /// Calls the change callback when anything shown changed.
    RefreshResult Refresh();

    /// Profiles in display order (as last read).
    const std::vector<ProfileEntry>& Entries() const { return entries_; }
    /// Display names in order.
    std::vector<std::string> Names() const;
    /// Number of profiles (as last read).
    int Count() const { return static_cast<int>(entries_.size()); }
    /// Index of the selected profile, -1 before Build.
    int Selected() const { return selected_; }
    /// UUID of the selected profile ("" before Build).
    std::string CurrentUUID() const { return currentUuid_; }
    /// Profile file of the selected profile (empty before Build).
    std::filesystem::path CurrentProfilePath() const;
    /// The family's profile folder.
    const std::filesystem::path& Folder() const { return folder_; }

    /// Operations on the shown profile are refused with ProfileRemoved when another program
    /// removed it; the store then shows the list as stored (its selection, or the first).

    /// Selects a profile and records the selection in the list file.
    StoreResult Select(int index);
    /// Adds "profile%d" from the factory default; the list's stored selection points at it,
    /// the current selection stays. Refused at kMaxAddedProfiles.
    StoreResult Add();
    /// Deletes the selected profile and its file; the selection moves to the one before
    /// (or stays 0). Refused for the last profile.
    StoreResult Delete();
    /// Copies the selected profile's file under the name "%s copy" (repeated until unique).
    StoreResult Copy();
    /// Imports a profile file (a JSON object with "profilename" and "profileUUID", at most
    /// kMaxImportBytes) under its file title made unique, with a new UUID.
    StoreResult Import(const std::filesystem::path& path);
    /// Writes the selected profile's file to the path. Refused when that file is missing or
    /// malformed (the target is then left untouched).
    StoreResult Export(const std::filesystem::path& path);
    /// Replaces the selected profile's file by the factory default, keeping name and UUID
    /// (and, for the headset, the custom equalisers).
    StoreResult Reset();
    /// Renames the selected profile; refused for a blank name or another profile's name
    /// (compared without regard to case).
    StoreResult Rename(const std::string& name);

    /// Number of profiles after re-reading the list file.
    int GetProfileCount() const;
    /// Profile file of entry `index` after re-reading the list file; empty when none.
    std::filesystem::path GetProfileFilePath(int index) const;

    /// Path of the profile file for a UUID (the UUID must be a plain file name).
    std::filesystem::path ProfilePathFor(const std::string& uuid) const;

  private:
    std::filesystem::path ListPath() const;
    std::optional<ProfileList> ReadList() const;
    StoreResult LoadList(ProfileList* list, bool atBuild);
    StoreResult RebuildList(ProfileList* list, bool damagedFileExists);
    StoreResult CreateFirstProfile(ProfileList* list);
    StoreResult FindCurrent(const ProfileList& list, int* current);
    using ListOperation = std::function<StoreResult(ProfileList& list)>;
    using CurrentOperation = std::function<StoreResult(ProfileList& list, int current)>;
    // Runs the operation on the list re-read under the folder lock, which it holds throughout.
    StoreResult WithList(const ListOperation& operation);
    // The same, once the shown profile is found in the re-read list (refused when it is gone).
    StoreResult WithCurrent(const CurrentOperation& operation);
    int ShownIndexIn(const ProfileList& list) const;
    bool WriteList(const ProfileList& list) const;
    std::string NewUuid(const ProfileList& list) const;
    Json::Value DefaultDocument() const;
    StoreResult AppendProfile(ProfileList list, const std::string& name, Json::Value document,
                              bool selectInList);
    void Adopt(const ProfileList& list, int selected);
    void Changed() const;

    int kind_;
    std::filesystem::path folder_;
    std::filesystem::path defaultFile_;
    std::vector<ProfileEntry> entries_;
    int selected_ = -1;
    std::string currentUuid_;
    std::function<void()> onChange_;
};

}  // namespace rerov
