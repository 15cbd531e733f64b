#include "profiles/profile_store.h"

#include <QDeadlineTimer>
#include <QLockFile>
#include <QString>
#include <QThread>
#include <array>
#include <fstream>
#include <system_error>

#include "profiles/basic_profile_data.h"
#include "profiles/json_access.h"
#include "profiles/json_file_io.h"
#include "profiles/plain_file_name.h"
#include "profiles/profile_list_recovery.h"
#include "profiles/profile_names.h"

namespace rerov {

using json::Member;

namespace {

constexpr int kHeadsetKind = 7;
constexpr int kUuidAttempts = 1000;
constexpr unsigned long kLockPollMs = 5;
// How long a lock file may stay empty before its creator counts as dead (it writes at once).
constexpr int kEmptyLockMs = 1000;
constexpr const char* kFirstProfileName = "Profile1";
// An import whose file name has no title still needs a usable name.
constexpr const char* kUntitledImportName = "Profile";
// Headset members that survive a reset: the user's own equalisers.
constexpr std::array<const char*, 2> kHeadsetKeptOnReset{"CustomEQNameInfo", "CustomEQHzValueInfo"};

void RemoveFile(const std::filesystem::path& path) {
    std::error_code error;
    std::filesystem::remove(path, error);
}

bool Exists(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::symlink_status(path, error).type() !=
           std::filesystem::file_type::not_found;
}

// True when the file can be opened; a file that exists but cannot is left alone.
bool CanOpen(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return static_cast<bool>(in);
}

// A profile's document for copying or renaming. Refused (false) when the file exists but does
// not read as an object: writing from it would replace settings that are still on disk.
bool ReadProfileDocument(const std::filesystem::path& path, Json::Value* document) {
    JsonReadResult read = JsonFileIO::ReadJson(path);
    if (!read.MayBeReplaced()) return false;
    *document = std::move(read.document);
    return document->isObject() || read.status != JsonReadStatus::Ok;
}

int IndexOf(const ProfileList& list, const std::string& uuid) {
    for (std::size_t i = 0; i < list.entries.size(); ++i) {
        if (list.entries[i].uuid == uuid) return static_cast<int>(i);
    }
    return -1;
}

// The family folder's lock, held while the folder is read, changed and written, so changes
// of two programs never interleave. Released on destruction.
class FolderLock {
  public:
    explicit FolderLock(const std::filesystem::path& folder)
        : path_(folder / ProfileStore::kLockFileName),
          file_(QString::fromStdU16String(path_.u16string())) {
        file_.setStaleLockTime(ProfileStore::kStaleLockMs);
    }

    // Polls in short steps: QLockFile's own wait sleeps ever longer, so a queue of programs
    // would sit idle long after the lock came free.
    StoreResult Acquire() {
        QDeadlineTimer deadline(ProfileStore::kLockWaitMs);
        while (!file_.tryLock(0)) {
            if (file_.error() != QLockFile::LockFailedError) return StoreResult::WriteFailed;
            if (HolderDiedWhileLocking()) {
                file_.removeStaleLockFile();
                continue;
            }
            if (deadline.hasExpired()) return StoreResult::FolderBusy;
            QThread::msleep(kLockPollMs);
        }
        return StoreResult::Ok;
    }

  private:
    // A holder writes its name into the lock file at once after creating it; a file still
    // empty a second later was left by a program that died in between, and it names no one
    // whose death the stale check could see, so it would block the folder for kStaleLockMs.
    bool HolderDiedWhileLocking() const {
        std::error_code error;
        if (std::filesystem::file_size(path_, error) != 0 || error) return false;
        const auto written = std::filesystem::last_write_time(path_, error);
        if (error) return false;
        return std::filesystem::file_time_type::clock::now() - written >
               std::chrono::milliseconds(kEmptyLockMs);
    }

    std::filesystem::path path_;
    QLockFile file_;
};

}  // namespace

ProfileStore::ProfileStore(int kind, std::filesystem::path folder,
                           std::filesystem::path defaultFile)
    : kind_(kind), folder_(std::move(folder)), defaultFile_(std::move(defaultFile)) {}

std::vector<std::string> ProfileStore::Names() const { return NamesOf(entries_); }

std::filesystem::path ProfileStore::ListPath() const { return folder_ / kProfileListFileName; }

std::filesystem::path ProfileStore::ProfilePathFor(const std::string& uuid) const {
    if (folder_.empty() || !IsPlainFileName(uuid)) return {};
    return folder_ / PathFromUtf8(uuid + kProfileFileExtension);
}

std::filesystem::path ProfileStore::CurrentProfilePath() const {
    return currentUuid_.empty() ? std::filesystem::path() : ProfilePathFor(currentUuid_);
}

std::optional<ProfileList> ProfileStore::ReadList() const {
    if (folder_.empty()) return std::nullopt;
    return ParseProfileList(JsonFileIO::ReadJson(ListPath(), kListFileLimits).document);
}

// Reads the list under the folder lock; a missing or damaged one is rebuilt.
StoreResult ProfileStore::LoadList(ProfileList* list, bool atBuild) {
    const std::filesystem::path path = ListPath();
    const bool exists = Exists(path);
    std::optional<ProfileList> parsed = exists ? ReadList() : std::nullopt;
    if (!parsed) {
        // A folder or other non-file in the list's place cannot be replaced by a list.
        std::error_code error;
        if (exists && std::filesystem::symlink_status(path, error).type() ==
                          std::filesystem::file_type::directory) {
            return StoreResult::WriteFailed;
        }
        if (exists && !CanOpen(path)) return StoreResult::ListUnreadable;
        return RebuildList(list, exists);
    }
    bool tidy = parsed->corrected;
    // An add interrupted between its profile file and the list leaves a file in no list.
    if (atBuild && AdoptProfiles(*parsed, ProfilesInFolder(folder_)) > 0) tidy = true;
    // Writing the tidied list is not needed for using it, so a read-only folder still shows
    // its profiles; the next change writes it anyway.
    if (tidy) WriteList(*parsed);
    *list = std::move(*parsed);
    return StoreResult::Ok;
}

StoreResult ProfileStore::RebuildList(ProfileList* list, bool damagedFileExists) {
    ProfileList rebuilt;
    AdoptProfiles(rebuilt, ProfilesInFolder(folder_));
    if (damagedFileExists) {
        // Kept for whoever wants to look at it; the rebuilt list must not overwrite it.
        std::error_code error;
        std::filesystem::rename(ListPath(), folder_ / kBrokenListFileName, error);
        if (error) return StoreResult::WriteFailed;
    }
    if (rebuilt.entries.empty()) return CreateFirstProfile(list);
    rebuilt.selected = 0;
    if (!WriteList(rebuilt)) return StoreResult::WriteFailed;
    *list = std::move(rebuilt);
    return StoreResult::Ok;
}

StoreResult ProfileStore::CreateFirstProfile(ProfileList* list) {
    ProfileList fresh;
    const std::string uuid = NewUuid(fresh);
    if (uuid.empty()) return StoreResult::WriteFailed;
    Json::Value document = DefaultDocument();
    document["profilename"] = kFirstProfileName;
    document["profileUUID"] = uuid;
    // The profile file comes first so the list never names a file that was not written.
    if (!JsonFileIO::WriteJsonFile(ProfilePathFor(uuid), document)) {
        return StoreResult::WriteFailed;
    }
    fresh.entries.push_back({kFirstProfileName, uuid});
    fresh.selected = 0;
    if (!WriteList(fresh)) {
        RemoveFile(ProfilePathFor(uuid));
        return StoreResult::WriteFailed;
    }
    *list = std::move(fresh);
    return StoreResult::Ok;
}

// The shown profile's index in the re-read list. When another program removed it, the list
// is shown as stored and the operation is refused.
StoreResult ProfileStore::FindCurrent(const ProfileList& list, int* current) {
    *current = IndexOf(list, currentUuid_);
    if (*current >= 0) {
        // Other programs' changes are shown from here on, whatever the operation does.
        if (list.entries != entries_ || *current != selected_) {
            Adopt(list, *current);
            Changed();
        }
        return StoreResult::Ok;
    }
    Adopt(list, list.selected);
    Changed();
    return StoreResult::ProfileRemoved;
}

StoreResult ProfileStore::WithList(const ListOperation& operation) {
    FolderLock lock(folder_);
    if (const StoreResult locked = lock.Acquire(); locked != StoreResult::Ok) return locked;
    ProfileList list;
    if (const StoreResult loaded = LoadList(&list, false); loaded != StoreResult::Ok) {
        return loaded;
    }
    return operation(list);
}

StoreResult ProfileStore::WithCurrent(const CurrentOperation& operation) {
    return WithList([&](ProfileList& list) -> StoreResult {
        int current = -1;
        if (const StoreResult found = FindCurrent(list, &current); found != StoreResult::Ok) {
            return found;
        }
        return operation(list, current);
    });
}

// Where the shown profile is in the list; the list's stored selection when it is not there.
int ProfileStore::ShownIndexIn(const ProfileList& list) const {
    const int index = IndexOf(list, currentUuid_);
    return index >= 0 ? index : list.selected;
}

bool ProfileStore::WriteList(const ProfileList& list) const {
    return JsonFileIO::WriteJsonFile(ListPath(), ProfileListDocument(list));
}

std::string ProfileStore::NewUuid(const ProfileList& list) const {
    for (int attempt = 0; attempt < kUuidAttempts; ++attempt) {
        const std::string uuid = JsonFileIO::MakeTimeStampName();
        bool taken = false;
        for (const ProfileEntry& entry : list.entries) taken = taken || entry.uuid == uuid;
        std::error_code error;
        // Another process may have made a profile in the same millisecond.
        if (!taken && !std::filesystem::exists(ProfilePathFor(uuid), error)) return uuid;
    }
    return {};
}

Json::Value ProfileStore::DefaultDocument() const {
    Json::Value document = JsonFileIO::ReadJsonFile(defaultFile_);
    return document.isObject() ? document : Json::Value(Json::objectValue);
}

void ProfileStore::Adopt(const ProfileList& list, int selected) {
    entries_ = list.entries;
    if (entries_.empty()) {
        selected_ = -1;
        currentUuid_.clear();
        return;
    }
    if (selected < 0 || selected >= static_cast<int>(entries_.size())) selected = 0;
    selected_ = selected;
    currentUuid_ = entries_[static_cast<std::size_t>(selected)].uuid;
}

void ProfileStore::Changed() const {
    if (onChange_) onChange_();
}

StoreResult ProfileStore::Build() {
    if (folder_.empty()) return StoreResult::FolderUnavailable;
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    if (!std::filesystem::is_directory(folder_, error)) return StoreResult::FolderUnavailable;
    FolderLock lock(folder_);
    const StoreResult locked = lock.Acquire();
    // A folder where no lock can be made takes no writes either: its profiles are still shown.
    if (locked == StoreResult::FolderBusy) return locked;
    ProfileList list;
    const StoreResult loaded = LoadList(&list, true);
    if (loaded != StoreResult::Ok) return loaded;
    RemoveStrayTemporaries(folder_, kStrayTemporaryAge);
    Adopt(list, ShownIndexIn(list));
    Changed();
    return StoreResult::Ok;
}

RefreshResult ProfileStore::Refresh() {
    if (selected_ < 0) return RefreshResult::Unchanged;
    // A plain read first: taking the lock touches the folder, which would wake a folder
    // watcher again. Lists are replaced whole, so an unlocked read sees one complete list.
    const std::optional<ProfileList> seen = ReadList();
    if (seen && seen->entries == entries_ && IndexOf(*seen, currentUuid_) == selected_) {
        return RefreshResult::Unchanged;
    }
    FolderLock lock(folder_);
    if (lock.Acquire() == StoreResult::FolderBusy) return RefreshResult::Busy;
    ProfileList list;
    if (LoadList(&list, false) != StoreResult::Ok) return RefreshResult::Unchanged;
    const int shown = ShownIndexIn(list);
    if (list.entries == entries_ && shown == selected_) return RefreshResult::Unchanged;
    const std::string before = currentUuid_;
    Adopt(list, shown);
    Changed();
    return currentUuid_ == before ? RefreshResult::ListChanged : RefreshResult::CurrentChanged;
}

StoreResult ProfileStore::Select(int index) {
    if (selected_ < 0) return StoreResult::NoSelection;
    // The index is one of the shown list; the profile it shows is found again by its UUID.
    if (index < 0 || index >= static_cast<int>(entries_.size())) {
        return StoreResult::IndexOutOfRange;
    }
    const std::string uuid = entries_[static_cast<std::size_t>(index)].uuid;
    return WithList([&](ProfileList& list) -> StoreResult {
        const int target = IndexOf(list, uuid);
        if (target < 0) {
            Adopt(list, ShownIndexIn(list));
            Changed();
            return StoreResult::ProfileRemoved;
        }
        if (list.selected != target || list.corrected) {
            list.selected = target;
            if (!WriteList(list)) return StoreResult::WriteFailed;
        }
        Adopt(list, target);
        Changed();
        return StoreResult::Ok;
    });
}

StoreResult ProfileStore::AppendProfile(ProfileList list, const std::string& name,
                                        Json::Value document, bool selectInList) {
    const std::string uuid = NewUuid(list);
    if (uuid.empty()) return StoreResult::WriteFailed;
    json::AsObject(document);
    document["profilename"] = name;
    document["profileUUID"] = uuid;
    const std::filesystem::path path = ProfilePathFor(uuid);
    if (!JsonFileIO::WriteJsonFile(path, document)) return StoreResult::WriteFailed;
    list.entries.push_back({name, uuid});
    if (selectInList) list.selected = static_cast<int>(list.entries.size()) - 1;
    if (!WriteList(list)) {
        RemoveFile(path);
        return StoreResult::WriteFailed;
    }
    // The shown selection stays where it was, whatever the list records.
    Adopt(list, ShownIndexIn(list));
    Changed();
    return StoreResult::Ok;
}

StoreResult ProfileStore::Add() {
    if (selected_ < 0) return StoreResult::NoSelection;
    return WithList([&](ProfileList& list) -> StoreResult {
        if (static_cast<int>(list.entries.size()) >= kMaxAddedProfiles) {
            return StoreResult::LimitReached;
        }
        const std::vector<std::string> names = NamesOf(list.entries);
        return AppendProfile(list, AddedProfileName(names), DefaultDocument(), true);
    });
}

StoreResult ProfileStore::Delete() {
    if (selected_ < 0) return StoreResult::NoSelection;
    return WithCurrent([&](ProfileList& list, int current) -> StoreResult {
        if (list.entries.size() < 2) return StoreResult::LastProfile;
        const int s = current;
        const ProfileEntry removed = list.entries[static_cast<std::size_t>(s)];
        list.entries.erase(list.entries.begin() + s);
        const int next = s == 0 ? 0 : s - 1;
        list.selected = next;
        // The list is written before the file goes: a failure keeps the profile whole.
        if (!WriteList(list)) return StoreResult::WriteFailed;
        RemoveFile(ProfilePathFor(removed.uuid));
        Adopt(list, next);
        Changed();
        return StoreResult::Ok;
    });
}

StoreResult ProfileStore::Copy() {
    if (selected_ < 0) return StoreResult::NoSelection;
    return WithCurrent([&](ProfileList& list, int current) -> StoreResult {
        const ProfileEntry& source = list.entries[static_cast<std::size_t>(current)];
        const std::vector<std::string> names = NamesOf(list.entries);
        const std::string name = CopiedProfileName(source.name, names);
        Json::Value document;
        if (!ReadProfileDocument(ProfilePathFor(source.uuid), &document)) {
            return StoreResult::SourceUnreadable;
        }
        return AppendProfile(list, name, document, false);
    });
}

StoreResult ProfileStore::Import(const std::filesystem::path& path) {
    if (selected_ < 0) return StoreResult::NoSelection;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return StoreResult::ImportUnreadable;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) return StoreResult::ImportUnreadable;
    if (size > kMaxImportBytes) return StoreResult::ImportTooLarge;
    const Json::Value document = JsonFileIO::ReadJsonFile(path, kMaxImportBytes);
    if (!IsProfileDocument(document) || Member(document, "profilename").isNull() ||
        Member(document, "profileUUID").isNull()) {
        return StoreResult::ImportInvalid;
    }
    return WithList([&](ProfileList& list) -> StoreResult {
        const std::vector<std::string> names = NamesOf(list.entries);
        std::string title = JsonFileIO::FileTitle(PathToUtf8(path));
        if (IsBlankProfileName(title)) title = kUntitledImportName;
        return AppendProfile(list, ImportedProfileName(title, names), document, false);
    });
}

StoreResult ProfileStore::Export(const std::filesystem::path& path) {
    if (selected_ < 0) return StoreResult::NoSelection;
    if (path.empty()) return StoreResult::WriteFailed;
    return WithCurrent([&](ProfileList& list, int current) -> StoreResult {
        const Json::Value document = JsonFileIO::ReadJsonFile(
            ProfilePathFor(list.entries[static_cast<std::size_t>(current)].uuid));
        // Exporting a missing profile would replace the chosen file with the text "null".
        if (!document.isObject()) return StoreResult::SourceUnreadable;
        if (!JsonFileIO::WriteJsonFile(path, document)) return StoreResult::WriteFailed;
        return StoreResult::Ok;
    });
}

StoreResult ProfileStore::Reset() {
    if (selected_ < 0) return StoreResult::NoSelection;
    return WithCurrent([&](ProfileList& list, int current) -> StoreResult {
        const ProfileEntry& entry = list.entries[static_cast<std::size_t>(current)];
        const std::filesystem::path path = ProfilePathFor(entry.uuid);
        Json::Value document = DefaultDocument();
        document["profilename"] = entry.name;
        document["profileUUID"] = entry.uuid;
        if (kind_ == kHeadsetKind) {
            const Json::Value current = JsonFileIO::ReadJsonFile(path);
            const Json::Value& device = json::Element(Member(current, "Device"), 0);
            for (const char* key : kHeadsetKeptOnReset) {
                const Json::Value& kept = Member(device, key);
                if (kept.isNull()) continue;
                json::ObjectMember(json::ArrayElement(document["Device"], 0), key) = kept;
            }
        }
        if (!JsonFileIO::WriteJsonFile(path, document)) return StoreResult::WriteFailed;
        Changed();
        return StoreResult::Ok;
    });
}

StoreResult ProfileStore::Rename(const std::string& name) {
    if (selected_ < 0) return StoreResult::NoSelection;
    if (IsBlankProfileName(name)) return StoreResult::NameBlank;
    return WithCurrent([&](ProfileList& list, int current) -> StoreResult {
        const std::vector<std::string> names = NamesOf(list.entries);
        if (ProfileNameInUse(names, name, current)) return StoreResult::NameInUse;

        ProfileEntry& entry = list.entries[static_cast<std::size_t>(current)];
        entry.name = name;
        // The profile file takes the name first; if the list then cannot be written, the file
        // gets its previous content back, so a failed rename changes nothing.
        const std::filesystem::path path = ProfilePathFor(entry.uuid);
        std::error_code error;
        const bool hadFile = std::filesystem::exists(path, error);
        Json::Value previous;
        if (!ReadProfileDocument(path, &previous)) return StoreResult::SourceUnreadable;
        Json::Value document = previous;
        json::AsObject(document);
        document["profilename"] = name;
        document["profileUUID"] = entry.uuid;
        if (!JsonFileIO::WriteJsonFile(path, document)) return StoreResult::WriteFailed;
        if (!WriteList(list)) {
            if (!hadFile) {
                RemoveFile(path);
            } else if (!previous.isNull()) {
                JsonFileIO::WriteJsonFile(path, previous);
            }
            return StoreResult::WriteFailed;
        }
        Adopt(list, current);
        Changed();
        return StoreResult::Ok;
    });
}

int ProfileStore::GetProfileCount() const {
    const std::optional<ProfileList> list = ReadList();
    return list ? static_cast<int>(list->entries.size()) : 0;
}

std::filesystem::path ProfileStore::GetProfileFilePath(int index) const {
    const std::optional<ProfileList> list = ReadList();
    if (!list || index < 0 || index >= static_cast<int>(list->entries.size())) return {};
    return ProfilePathFor(list->entries[static_cast<std::size_t>(index)].uuid);
}

}  // namespace rerov
