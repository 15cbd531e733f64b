#include "shell/language/language_config.h"

#include <json/value.h>

#include "profiles/json_file_io.h"
#include "profiles/plain_file_name.h"
#include "profiles/profile_folders.h"

namespace rerov::shell {
namespace {

// A list of a few languages: a few KiB at most.
constexpr JsonReadLimits kLanguageFileLimits{256u << 10, 16'384, false};

QString StringMember(const Json::Value& element, const char* name) {
    const Json::Value& value = element[name];
    return value.isString() ? QString::fromStdString(value.asString()) : QString();
}

}  // namespace

std::filesystem::path LanguageConfigPath() { return DefaultDataFolder() / "Language.config"; }

LanguageList ReadLanguageList(const std::filesystem::path& path) {
    const JsonReadResult read = JsonFileIO::ReadJson(path, kLanguageFileLimits);
    LanguageList list;
    if (!read.Ok() || !read.document.isObject()) return list;
    const Json::Value& languages = read.document["Language"];
    if (!languages.isArray()) return list;
    for (const Json::Value& element : languages) {
        LanguageEntry entry;
        if (element.isObject()) {
            entry.name = StringMember(element, "Language_name");
            // A file of the skin folder by its name; anything that leads elsewhere is no file.
            const QString file = StringMember(element, "Language_file");
            if (IsPlainFileName(file.toStdString())) entry.file = file;
            entry.textKey = StringMember(element, "Language_text");
            const Json::Value& id = element["Language_ID"];
            if (id.isIntegral()) entry.id = id.asInt64();
        }
        list.push_back(entry);
    }
    return list;
}

}  // namespace rerov::shell
