#include "editors/macro/macro_library.h"

#include <QString>
#include <fstream>
#include <iterator>
#include <system_error>

#include "profiles/atomic_file_writer.h"
#include "profiles/json_access.h"
#include "profiles/json_file_io.h"
#include "profiles/plain_file_name.h"

namespace rerov::editors {

namespace {

std::string Trimmed(const std::string& text) {
    return QString::fromStdString(text).trimmed().toStdString();
}

// Reads a whole file of at most `limit` bytes; false when it cannot be read completely.
bool ReadBytes(const std::filesystem::path& path, std::uintmax_t limit, std::string* bytes) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size > limit) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad() && bytes->size() == size;
}

}  // namespace

const char* MacroResultText(MacroResult result) {
    switch (result) {
        case MacroResult::Ok:
            return "done";
        case MacroResult::NoSuchMacro:
            return "no macro has that number";
        case MacroResult::ListFull:
            return "the device already has 50 macros";
        case MacroResult::NameEmpty:
            return "the name is empty";
        case MacroResult::NameTaken:
            return "another macro has that name";
        case MacroResult::NotAMacroFile:
            return "the file is not a macro file";
        case MacroResult::NoFile:
            return "the macro has no file";
        case MacroResult::ReadFailed:
            return "the file could not be read";
        case MacroResult::WriteFailed:
            return "the file could not be written";
    }
    return "unknown result";
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

MacroLibrary::MacroLibrary(std::filesystem::path folder) : folder_(std::move(folder)) { Reload(); }

const std::vector<MacroInfo>& MacroLibrary::Reload() {
    macros_.clear();
    list_ = Json::Value(Json::objectValue);
    if (folder_.empty()) return macros_;
    JsonReadResult read = JsonFileIO::ReadJson(folder_ / kMacroListFileName);
    if (!read.Ok() || !read.document.isObject()) return macros_;
    list_ = std::move(read.document);
    const Json::Value& info = json::Member(list_, "MacroInfo");
    if (!info.isArray()) return macros_;
    // Rows past the limit cannot be reached by any assignment and are not shown.
    const Json::ArrayIndex count = std::min<Json::ArrayIndex>(info.size(), kMaxMacros);
    for (Json::ArrayIndex i = 0; i < count; ++i) {
        MacroInfo macro;
        macro.name = json::ToString(json::Member(info[i], "MacroName"));
        const std::string guid = json::ToString(json::Member(info[i], "Guid"));
        if (IsPlainFileName(guid + kMacroFileExtension)) macro.guid = guid;
        macros_.push_back(std::move(macro));
    }
    return macros_;
}

std::vector<std::string> MacroLibrary::Names() const {
    std::vector<std::string> names;
    names.reserve(macros_.size());
    for (const MacroInfo& macro : macros_) names.push_back(macro.name);
    return names;
}

std::filesystem::path MacroLibrary::MacroPath(int index) const {
    if (index < 0 || index >= Count()) return {};
    const std::string& guid = macros_[static_cast<std::size_t>(index)].guid;
    if (guid.empty()) return {};
    return folder_ / PathFromUtf8(guid + kMacroFileExtension);
}

bool MacroLibrary::HasName(const std::string& name) const {
    for (const MacroInfo& macro : macros_) {
        if (SameNameIgnoringCase(macro.name, name)) return true;
    }
    return false;
}

bool MacroLibrary::WriteList() const {
    Json::Value document = list_;
    Json::Value& info = json::WritableArray(document, "MacroInfo");
    info.resize(0);
    for (const MacroInfo& macro : macros_) {
        Json::Value element(Json::objectValue);
        element["MacroName"] = macro.name;
        element["Guid"] = macro.guid;
        info.append(std::move(element));
    }
    return JsonFileIO::WriteJsonFile(folder_ / kMacroListFileName, document);
}

MacroResult MacroLibrary::Append(const std::string& name, std::string* guid) {
    MacroInfo macro{name, JsonFileIO::MakeTimeStampName()};
    macros_.push_back(macro);
    if (!WriteList()) {
        macros_.pop_back();
        return MacroResult::WriteFailed;
    }
    if (guid != nullptr) *guid = macro.guid;
    return MacroResult::Ok;
}

MacroResult MacroLibrary::Add(std::string* name, int* index) {
    Reload();
    if (Count() >= kMaxMacros) return MacroResult::ListFull;
    std::string candidate;
    for (int n = 1;; ++n) {
        candidate = "macro_" + std::to_string(n);
        if (!HasName(candidate)) break;
    }
    const MacroResult result = Append(candidate, nullptr);
    if (result != MacroResult::Ok) return result;
    if (name != nullptr) *name = candidate;
    if (index != nullptr) *index = Count() - 1;
    return MacroResult::Ok;
}

MacroResult MacroLibrary::Rename(int index, const std::string& name) {
    Reload();
    if (index < 0 || index >= Count()) return MacroResult::NoSuchMacro;
    const std::string trimmed = Trimmed(name);
    if (trimmed.empty()) return MacroResult::NameEmpty;
    if (HasName(trimmed)) return MacroResult::NameTaken;
    MacroInfo& macro = macros_[static_cast<std::size_t>(index)];
    const std::string old = macro.name;
    macro.name = trimmed;
    if (!WriteList()) {
        macro.name = old;
        return MacroResult::WriteFailed;
    }
    return MacroResult::Ok;
}

MacroResult MacroLibrary::Remove(int index) {
    Reload();
    if (index < 0 || index >= Count()) return MacroResult::NoSuchMacro;
    const std::filesystem::path file = MacroPath(index);
    const MacroInfo removed = macros_[static_cast<std::size_t>(index)];
    macros_.erase(macros_.begin() + index);
    if (!WriteList()) {
        macros_.insert(macros_.begin() + index, removed);
        return MacroResult::WriteFailed;
    }
    // The list no longer names the file; a file that cannot be removed is only litter.
    if (!file.empty()) {
        std::error_code error;
        std::filesystem::remove(file, error);
    }
    return MacroResult::Ok;
}

MacroResult MacroLibrary::Import(const std::filesystem::path& source, std::string* name,
                                 int* index) {
    Reload();
    if (source.empty()) return MacroResult::NoFile;
    if (Count() >= kMaxMacros) return MacroResult::ListFull;
    const JsonReadResult read = JsonFileIO::ReadJson(source, kOutsideFileLimits);
    if (read.status == JsonReadStatus::Missing || read.status == JsonReadStatus::Unreadable) {
        return MacroResult::ReadFailed;
    }
    if (!read.Ok() || !read.document.isObject() || !read.document["Events"].isArray() ||
        read.document["Events"].size() > static_cast<Json::ArrayIndex>(kMaxMacroSteps)) {
        return MacroResult::NotAMacroFile;
    }
    std::string bytes;
    if (!ReadBytes(source, kOutsideFileLimits.maxBytes, &bytes)) return MacroResult::ReadFailed;

    std::string candidate = JsonFileIO::FileTitle(PathToUtf8(source));
    if (Trimmed(candidate).empty()) candidate = "macro";
    for (int suffix = 1; HasName(candidate); ++suffix) {
        candidate += "_" + std::to_string(suffix);
    }
    std::string guid;
    const MacroResult appended = Append(candidate, &guid);
    if (appended != MacroResult::Ok) return appended;
    if (!WriteFileAtomically(folder_ / PathFromUtf8(guid + kMacroFileExtension), bytes)) {
        // Without its file the new row would be an empty macro: take it back.
        macros_.pop_back();
        WriteList();
        return MacroResult::WriteFailed;
    }
    if (name != nullptr) *name = candidate;
    if (index != nullptr) *index = Count() - 1;
    return MacroResult::Ok;
}

MacroResult MacroLibrary::Export(int index, const std::filesystem::path& target) const {
    if (index < 0 || index >= Count()) return MacroResult::NoSuchMacro;
    const std::filesystem::path file = MacroPath(index);
    if (file.empty()) return MacroResult::NoFile;
    std::error_code error;
    if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(file, error))) {
        return MacroResult::NoFile;
    }
    std::string bytes;
    if (!ReadBytes(file, kProfileFileLimits.maxBytes, &bytes)) return MacroResult::ReadFailed;
    return WriteFileAtomically(target, bytes) ? MacroResult::Ok : MacroResult::WriteFailed;
}

Json::Value MacroLibrary::ReadEventArray(int index, MacroResult* result) const {
    Json::Value events;
    MacroResult outcome = MacroResult::Ok;
    const std::filesystem::path file = MacroPath(index);
    if (index < 0 || index >= Count()) {
        outcome = MacroResult::NoSuchMacro;
    } else if (file.empty()) {
        outcome = MacroResult::NoFile;
    } else {
        JsonReadResult read = JsonFileIO::ReadJson(file);
        if (read.status == JsonReadStatus::Missing) {
            outcome = MacroResult::NoFile;
        } else if (!read.Ok()) {
            outcome = MacroResult::ReadFailed;
        } else {
            const Json::Value& array = json::Member(read.document, "Events");
            events = array.isArray() ? array : Json::Value(Json::arrayValue);
        }
    }
    if (result != nullptr) *result = outcome;
    return events;
}

std::vector<MacroEvent> MacroLibrary::ReadSteps(int index, MacroResult* result) const {
    std::vector<MacroEvent> steps;
    const Json::Value events = ReadEventArray(index, result);
    for (Json::ArrayIndex i = 0; events.isArray() && i < events.size(); ++i) {
        if (steps.size() >= static_cast<std::size_t>(kMaxMacroSteps)) break;
        if (const auto event = EventFromJson(events[i])) steps.push_back(*event);
    }
    return steps;
}

MacroResult MacroLibrary::WriteSteps(int index, const std::vector<MacroEvent>& steps) const {
    if (index < 0 || index >= Count()) return MacroResult::NoSuchMacro;
    const std::filesystem::path file = MacroPath(index);
    if (file.empty()) return MacroResult::NoFile;
    const MacroInfo& macro = macros_[static_cast<std::size_t>(index)];
    Json::Value document(Json::objectValue);
    document["MacroName"] = macro.name;
    document["Guid"] = macro.guid;
    Json::Value& events = document["Events"];
    events = Json::Value(Json::arrayValue);
    const std::size_t count = std::min(steps.size(), static_cast<std::size_t>(kMaxMacroSteps));
    for (std::size_t i = 0; i < count; ++i) events.append(EventToJson(steps[i]));
    document["Version"] = kMacroFileVersion;
    return JsonFileIO::WriteJsonFile(file, document) ? MacroResult::Ok : MacroResult::WriteFailed;
}

}  // namespace rerov::editors
