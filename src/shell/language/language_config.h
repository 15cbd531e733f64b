#pragma once
// The languages the program offers: "Language.config" of the factory data folder.

#include <QString>
#include <filesystem>
#include <vector>

namespace rerov::shell {

/// One element of "Language": its position in the list is the language index.
struct LanguageEntry {
    QString name;     // "Language_name": the language's name
    QString file;     // "Language_file": its text file in the skin folder; empty unless a
                      // plain file name
    qint64 id = 0;    // "Language_ID": what the remembered choice stores
    QString textKey;  // "Language_text": language key of its name in the settings window
};
using LanguageList = std::vector<LanguageEntry>;

/// "Language.config" in the factory data folder.
std::filesystem::path LanguageConfigPath();

/// The languages of `path` in their order; empty when the file is missing or does not parse.
/// Members of the wrong type read as empty strings and 0.
LanguageList ReadLanguageList(const std::filesystem::path& path = LanguageConfigPath());

}  // namespace rerov::shell
