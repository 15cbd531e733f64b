#include "profiles/profile_folders.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <QString>
#include <array>
#include <cstdlib>
#include <system_error>
#include <utility>

#include "profiles/json_file_io.h"
#include "profiles/plain_file_name.h"

namespace rerov {

namespace {

constexpr std::array<std::pair<const char*, int>, 4> kFamilyKinds{{
    {kFamilyNameKeyboard, 1},
    {kFamilyNameMouse, 2},
    {kFamilyNameMousePad, 3},
    {kFamilyNameHeadset, 7},
}};

std::filesystem::path FromQString(const QString& text) {
    return std::filesystem::path(text.toStdU16String());
}

bool EnsureFolder(const std::filesystem::path& folder) {
    std::error_code error;
    if (std::filesystem::is_directory(folder, error)) return true;
    std::filesystem::create_directories(folder, error);
    return !error && std::filesystem::is_directory(folder, error);
}

}  // namespace

int DeviceKindOfFamily(const std::string& family) {
    for (const auto& [name, kind] : kFamilyKinds) {
        if (family == name) return kind;
    }
    return 0;
}

std::filesystem::path ProductUserFolder() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty()) return {};
    const std::filesystem::path folder = FromQString(base) / kProductFolderName;
    // A failed creation is not fatal here: the file operation that follows reports it.
    EnsureFolder(folder);
    return folder;
}

std::filesystem::path ProfileFolder(const std::string& family) {
    if (!IsPlainFileName(family)) return {};
    const std::filesystem::path product = ProductUserFolder();
    if (product.empty()) return {};
    const std::filesystem::path folder = product / PathFromUtf8(family);
    EnsureFolder(folder);
    return folder;
}

std::filesystem::path DefaultDataFolder() {
    const QString override = qEnvironmentVariable("REROV_DEFAULT_DATA");
    if (!override.isEmpty()) return FromQString(override);
    if (QCoreApplication::instance() != nullptr) {
        return FromQString(QCoreApplication::applicationDirPath()) / "DefaultData";
    }
    const std::filesystem::path exe = ExecutableFolder();
    return exe.empty() ? std::filesystem::path() : exe / "DefaultData";
}

std::filesystem::path DefaultProfilePath(const std::string& family) {
    if (!IsPlainFileName(family)) return {};
    const std::filesystem::path folder = DefaultDataFolder();
    if (folder.empty()) return {};
    return folder / PathFromUtf8(family + ".Json");
}

std::filesystem::path LightConfigPath(const std::filesystem::path& profileFolder) {
    if (profileFolder.empty()) return {};
    return profileFolder / (std::string(kLightFileName) + ".config");
}

}  // namespace rerov
