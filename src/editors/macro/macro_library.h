#pragma once
// MacroLibrary: the macros of one device in its profile folder: the list file
// "macro.config" (names and Guids in list order) and one ".mac" file per macro. A macro's
// position in the list is its macro index, the number key assignments refer to. Every
// operation re-reads the list file, so a second program (rerovctl) and the window see each
// other's changes. Names read from files become paths only when they are plain file names;
// a row whose Guid is not one keeps its place (assignments count on the positions) but has
// no file. Not thread-safe: owned by one thread.

#include <json/value.h>

#include <filesystem>
#include <string>
#include <vector>

#include "editors/macro/macro_event.h"

namespace rerov::editors {

/// Limits of a device's macros.
inline constexpr int kMaxMacros = 50;
inline constexpr int kMaxMacroSteps = 4000;
/// The list file and the extension of a macro file.
inline constexpr const char* kMacroListFileName = "macro.config";
inline constexpr const char* kMacroFileExtension = ".mac";
/// "Version" of a macro file.
inline constexpr int kMacroFileVersion = 64;

struct MacroInfo {
    std::string name;
    std::string guid;  // empty when the list file held no usable file name
};

/// Why an operation did nothing.
enum class MacroResult {
    Ok,
    NoSuchMacro,    // the index names no macro
    ListFull,       // kMaxMacros reached
    NameEmpty,      // a name that is blank after trimming
    NameTaken,      // another (or this) macro has the name, compared without case
    NotAMacroFile,  // an import that is not a macro file
    NoFile,         // the macro has no usable file name or no file yet
    ReadFailed,     // a file could not be read
    WriteFailed,    // a file could not be written
};
/// One-line English text of a result.
const char* MacroResultText(MacroResult result);

class MacroLibrary {
  public:
    explicit MacroLibrary(std::filesystem::path folder);

    const std::filesystem::path& Folder() const { return folder_; }
    /// Re-reads "macro.config": a missing or unusable file is an empty list.
    const std::vector<MacroInfo>& Reload();
    /// The list as last read.
    const std::vector<MacroInfo>& Macros() const { return macros_; }
    int Count() const { return static_cast<int>(macros_.size()); }
    std::vector<std::string> Names() const;

    /// The ".mac" path of macro `index`; empty when it has no plain Guid.
    std::filesystem::path MacroPath(int index) const;

    /// Appends "macro_N" (the lowest N no macro has, case ignored) with a new Guid. The
    /// file comes with the first save. Returns the new index in *index.
    MacroResult Add(std::string* name = nullptr, int* index = nullptr);
    /// Renames macro `index` (the name trimmed; refused when blank or taken).
    MacroResult Rename(int index, const std::string& name);
    /// Removes macro `index`, its file and its list entry.
    MacroResult Remove(int index);
    /// Adds a copy of a macro file under its file title made unique ("jump", "jump_1",
    /// "jump_1_2"); the copy keeps the bytes of the source. A file that is not a macro file
    /// (not JSON, no "Events" array, too large) is refused and nothing is written.
    MacroResult Import(const std::filesystem::path& source, std::string* name = nullptr,
                       int* index = nullptr);
    /// Copies the macro's file byte for byte to `target`.
    MacroResult Export(int index, const std::filesystem::path& target) const;

    /// The steps of macro `index` (steps that do not parse are left out); *result says
    /// why it is empty when it is.
    std::vector<MacroEvent> ReadSteps(int index, MacroResult* result = nullptr) const;
    /// The "Events" array of macro `index` as its file holds it, every element unparsed
    /// (for packing a macro for a device, which plays exactly what the file says); null
    /// when the file cannot be read, an empty array when it has no "Events" array.
    Json::Value ReadEventArray(int index, MacroResult* result = nullptr) const;
    /// Writes the macro's file: its list name and Guid, the steps (at most kMaxMacroSteps),
    /// Version 64.
    MacroResult WriteSteps(int index, const std::vector<MacroEvent>& steps) const;

  private:
    bool HasName(const std::string& name) const;
    MacroResult Append(const std::string& name, std::string* guid);
    bool WriteList() const;

    std::filesystem::path folder_;
    std::vector<MacroInfo> macros_;
    Json::Value list_;  // the list file as read, so members we do not know survive
};

/// True when `a` and `b` are equal ignoring the case of ASCII and of Latin letters.
bool SameNameIgnoringCase(const std::string& a, const std::string& b);

}  // namespace rerov::editors
