#include "profiles/profile_list_recovery.h"

#include <QString>
#include <algorithm>
#include <set>
#include <system_error>

#include "profiles/atomic_file_writer.h"
#include "profiles/json_access.h"
#include "profiles/json_file_io.h"
#include "profiles/plain_file_name.h"
#include "profiles/profile_names.h"

namespace rerov {

namespace {

bool IsValidUtf8(const std::string& text) {
    return QString::fromUtf8(text).toUtf8() == QByteArray::fromStdString(text);
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool IsRegularFile(const std::filesystem::directory_entry& entry) {
    std::error_code error;
    return entry.symlink_status(error).type() == std::filesystem::file_type::regular && !error;
}

// The folder's entries; an unreadable folder has none.
std::vector<std::filesystem::directory_entry> FolderEntries(const std::filesystem::path& folder) {
    std::vector<std::filesystem::directory_entry> entries;
    std::error_code error;
    std::filesystem::directory_iterator it(folder, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        entries.push_back(*it);
    }
    return entries;
}

bool NameBefore(const ProfileEntry& a, const ProfileEntry& b) {
    const int byName =
        QString::fromUtf8(a.name).compare(QString::fromUtf8(b.name), Qt::CaseInsensitive);
    if (byName != 0) return byName < 0;
    if (a.name != b.name) return a.name < b.name;
    return a.uuid < b.uuid;
}

}  // namespace

bool IsSaveTemporaryName(const std::string& fileName) {
    // The writer's own temporaries (".<target>.<digits>.tmp"), and only those of the files the
    // store writes: the list and the profiles.
    if (!IsWriteTemporaryName(fileName)) return false;
    const std::size_t tail = fileName.find_last_of('.', fileName.size() - 5);  // before digits
    if (tail == std::string::npos || tail < 2) return false;
    const std::string target = fileName.substr(1, tail - 1);
    const std::string extension = kProfileFileExtension;
    return target == kProfileListFileName ||
           (target.size() > extension.size() && EndsWith(target, extension));
}

std::vector<ProfileEntry> ProfilesInFolder(const std::filesystem::path& folder) {
    std::vector<ProfileEntry> found;
    const std::string extension = kProfileFileExtension;
    for (const std::filesystem::directory_entry& entry : FolderEntries(folder)) {
        const std::string fileName = PathToUtf8(entry.path().filename());
        if (!EndsWith(fileName, extension) || !IsRegularFile(entry)) continue;
        const std::string title = fileName.substr(0, fileName.size() - extension.size());
        if (!IsPlainFileName(title) || !IsValidUtf8(title)) continue;
        const Json::Value document = JsonFileIO::ReadJsonFile(entry.path());
        if (!document.isObject()) continue;
        const Json::Value& uuid = json::Member(document, "profileUUID");
        if (!uuid.isString() || uuid.asString() != title) continue;
        std::string name = json::ToString(json::Member(document, "profilename"));
        if (IsBlankProfileName(name) || !IsValidUtf8(name)) name = title;
        found.push_back({name, title});
    }
    std::sort(found.begin(), found.end(), NameBefore);
    return found;
}

int AdoptProfiles(ProfileList& list, const std::vector<ProfileEntry>& found) {
    std::set<std::string> uuids;
    std::vector<std::string> names;
    for (const ProfileEntry& entry : list.entries) {
        uuids.insert(entry.uuid);
        names.push_back(entry.name);
    }
    int adopted = 0;
    for (const ProfileEntry& entry : found) {
        if (!uuids.insert(entry.uuid).second) continue;
        const std::string name = ImportedProfileName(entry.name, names);
        names.push_back(name);
        list.entries.push_back({name, entry.uuid});
        ++adopted;
    }
    return adopted;
}

int RemoveStrayTemporaries(const std::filesystem::path& folder, std::chrono::seconds minAge) {
    int removed = 0;
    const auto now = std::filesystem::file_time_type::clock::now();
    for (const std::filesystem::directory_entry& entry : FolderEntries(folder)) {
        if (!IsSaveTemporaryName(PathToUtf8(entry.path().filename())) || !IsRegularFile(entry)) {
            continue;
        }
        std::error_code error;
        const auto modified = std::filesystem::last_write_time(entry.path(), error);
        if (error || now - modified < minAge) continue;
        if (std::filesystem::remove(entry.path(), error) && !error) ++removed;
    }
    return removed;
}

}  // namespace rerov
