#include "profile_store.h"

#include <array>
#include <system_error>

#include "json_access.h"
#include "json_file_io.h"
#include "plain_file_name.h"
#include "profile_names.h"

namespace rerov {

using json::Member;

namespace {

constexpr int kHeadsetKind = 7;
constexpr int kUuidAttempts = 1000;
constexpr const char* kFirstProfileName = "Profile1";
// An import whose file name has no title still needs a usable name.
constexpr const char* kUntitledImportName = "Profile";
// Headset members that survive a reset: the user's own equalisers.
constexpr std::array<const char*, 2> kHeadsetKeptOnReset{"CustomEQNameInfo", "CustomEQHzValueInfo"};

void RemoveFile(const std::filesystem::path& path) {
    std::error_code error;
    std::filesystem::remove(path, error);
}

}  // namespace

ProfileStore::ProfileStore(int kind, std::filesystem::path folder,
                           std::filesystem::path defaultFile)
    : kind_(kind), folder_(std::move(folder)), defaultFile_(std::move(defaultFile)) {}

std::vector<std::string> ProfileStore::Names() const {
    std::vector<std::string> names;
    names.reserve(entries_.size());
    for (const ProfileEntry& entry : entries_) names.push_back(entry.name);
    return names;
}

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

ProfileList ProfileStore::ReadListOrCached() const {
    if (std::optional<ProfileList> list = ReadList()) return *list;
    // The file vanished or broke since it was built: carry on from what is shown.
    ProfileList cached;
    cached.entries = entries_;
    cached.selected = selected_ < 0 ? 0 : selected_;
    return cached;
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
    std::optional<ProfileList> list = ReadList();
    if (!list) {
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
        list = fresh;
    } else if (list->corrected) {
        // Dropping the skipped entries from the file is tidying only: they are never used,
        // so a read-only folder still shows its profiles.
        WriteList(*list);
    }
    Adopt(*list, list->selected);
    Changed();
    return StoreResult::Ok;
}

StoreResult ProfileStore::Select(int index) {
    if (selected_ < 0) return StoreResult::NoSelection;
    ProfileList list = ReadListOrCached();
    if (index < 0 || index >= static_cast<int>(list.entries.size())) {
        return StoreResult::IndexOutOfRange;
    }
    if (list.selected != index || list.corrected) {
        list.selected = index;
        if (!WriteList(list)) return StoreResult::WriteFailed;
    }
    Adopt(list, index);
    Changed();
    return StoreResult::Ok;
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
    const std::string current = currentUuid_;
    int keep = 0;
    for (std::size_t i = 0; i < list.entries.size(); ++i) {
        if (list.entries[i].uuid == current) keep = static_cast<int>(i);
    }
    Adopt(list, keep);
    Changed();
    return StoreResult::Ok;
}

StoreResult ProfileStore::Add() {
    if (selected_ < 0) return StoreResult::NoSelection;
    ProfileList list = ReadListOrCached();
    if (static_cast<int>(list.entries.size()) >= kMaxAddedProfiles) {
        return StoreResult::LimitReached;
    }
    std::vector<std::string> names;
    for (const ProfileEntry& entry : list.entries) names.push_back(entry.name);
    return AppendProfile(list, AddedProfileName(names), DefaultDocument(), true);
}

StoreResult ProfileStore::Delete() {
    if (selected_ < 0) return StoreResult::NoSelection;
    ProfileList list = ReadListOrCached();
    if (list.entries.size() < 2) return StoreResult::LastProfile;
    const int s = selected_;
    if (s >= static_cast<int>(list.entries.size())) return StoreResult::NoSelection;
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
}

StoreResult ProfileStore::Copy() {
    if (selected_ < 0) return StoreResult::NoSelection;
    ProfileList list = ReadListOrCached();
    if (selected_ >= static_cast<int>(list.entries.size())) return StoreResult::NoSelection;
    const ProfileEntry& source = list.entries[static_cast<std::size_t>(selected_)];
    std::vector<std::string> names;
    for (const ProfileEntry& entry : list.entries) names.push_back(entry.name);
    const std::string name = CopiedProfileName(source.name, names);
    Json::Value document = JsonFileIO::ReadJsonFile(ProfilePathFor(source.uuid));
    return AppendProfile(list, name, document, false);
}

StoreResult ProfileStore::Import(const std::filesystem::path& path) {
    if (selected_ < 0) return StoreResult::NoSelection;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return StoreResult::ImportUnreadable;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) return StoreResult::ImportUnreadable;
    if (size > kMaxImportBytes) return StoreResult::ImportTooLarge;
    const Json::Value document = JsonFileIO::ReadJsonFile(path, kMaxImportBytes);
    if (!document.isObject() || Member(document, "profilename").isNull() ||
        Member(document, "profileUUID").isNull()) {
        return StoreResult::ImportInvalid;
    }
    ProfileList list = ReadListOrCached();
    std::vector<std::string> names;
    for (const ProfileEntry& entry : list.entries) names.push_back(entry.name);
    std::string title = JsonFileIO::FileTitle(PathToUtf8(path));
    if (IsBlankProfileName(title)) title = kUntitledImportName;
    return AppendProfile(list, ImportedProfileName(title, names), document, false);
}

StoreResult ProfileStore::Export(const std::filesystem::path& path) {
    if (selected_ < 0) return StoreResult::NoSelection;
    if (path.empty()) return StoreResult::WriteFailed;
    const ProfileList list = ReadListOrCached();
    if (selected_ >= static_cast<int>(list.entries.size())) return StoreResult::NoSelection;
    const Json::Value document = JsonFileIO::ReadJsonFile(
        ProfilePathFor(list.entries[static_cast<std::size_t>(selected_)].uuid));
    // Exporting a missing profile would replace the chosen file with the text "null".
    if (!document.isObject()) return StoreResult::SourceUnreadable;
    if (!JsonFileIO::WriteJsonFile(path, document)) return StoreResult::WriteFailed;
    return StoreResult::Ok;
}

StoreResult ProfileStore::Reset() {
    if (selected_ < 0) return StoreResult::NoSelection;
    const ProfileList list = ReadListOrCached();
    if (selected_ >= static_cast<int>(list.entries.size())) return StoreResult::NoSelection;
    const ProfileEntry& entry = list.entries[static_cast<std::size_t>(selected_)];
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
}

StoreResult ProfileStore::Rename(const std::string& name) {
    if (selected_ < 0) return StoreResult::NoSelection;
    if (IsBlankProfileName(name)) return StoreResult::NameBlank;
    ProfileList list = ReadListOrCached();
    if (selected_ >= static_cast<int>(list.entries.size())) return StoreResult::NoSelection;
    std::vector<std::string> names;
    for (const ProfileEntry& entry : list.entries) names.push_back(entry.name);
    if (ProfileNameInUse(names, name, selected_)) return StoreResult::NameInUse;

    ProfileEntry& entry = list.entries[static_cast<std::size_t>(selected_)];
    entry.name = name;
    // The profile file takes the name first; if the list then cannot be written, the file
    // gets its previous content back, so a failed rename changes nothing.
    const std::filesystem::path path = ProfilePathFor(entry.uuid);
    std::error_code error;
    const bool hadFile = std::filesystem::exists(path, error);
    const JsonReadResult read = JsonFileIO::ReadJson(path);
    // A profile that is there but could not be read is left alone, not replaced by a stub.
    if (!read.MayBeReplaced()) return StoreResult::SourceUnreadable;
    const Json::Value previous = read.document;
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
    Adopt(list, selected_);
    Changed();
    return StoreResult::Ok;
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
