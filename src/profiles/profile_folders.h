#pragma once

#include <filesystem>
#include <string>

namespace rerov {

/// The product's folder name under the user data folder.
inline constexpr const char* kProductFolderName = "REROV ER60 EVER";

/// The device family folder names.
inline constexpr const char* kFamilyNameKeyboard = "keyboard";
inline constexpr const char* kFamilyNameMouse = "mouse";
inline constexpr const char* kFamilyNameMousePad = "MousePad";
inline constexpr const char* kFamilyNameHeadset = "HD";

/// Base name of every family's light configuration file in its profile folder.
inline constexpr const char* kLightFileName = "zired_light";

/// DeviceKind of a family name (1 keyboard, 2 mouse, 3 mouse pad, 7 headset), 0 if unknown.
int DeviceKindOfFamily(const std::string& family);

/// The product's user folder: the user data folder (GenericDataLocation, which follows
/// XDG_DATA_HOME on Linux and is the local application data folder on Windows) + product
/// name. Created when missing. Empty when no user data folder is known.
std::filesystem::path ProductUserFolder();

/// The user folder of a device family (product user folder + family name), created on
/// first use. Empty when the family name is not a plain name or no folder is known.
std::filesystem::path ProfileFolder(const std::string& family);

/// The factory data folder: $REROV_DEFAULT_DATA when set, else "DefaultData" beside the
/// program (the application's folder when a QCoreApplication exists, else the folder of
/// the running executable).
std::filesystem::path DefaultDataFolder();

/// The factory default profile of a family: DefaultDataFolder + family + ".Json".
std::filesystem::path DefaultProfilePath(const std::string& family);

/// The light configuration file of a profile folder: folder + "zired_light.config".
std::filesystem::path LightConfigPath(const std::filesystem::path& profileFolder);

/// Folder of the running executable (platform specific; empty when unknown).
std::filesystem::path ExecutableFolder();

}  // namespace rerov
