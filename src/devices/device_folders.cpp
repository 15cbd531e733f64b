#include "device_folders.h"

#include "profile_folders.h"

namespace rerov::device_folders {

std::filesystem::path UserFolder(const std::string& familyName) {
    return rerov::ProfileFolder(familyName);
}

std::filesystem::path FactoryFolder() { return rerov::DefaultDataFolder(); }

std::filesystem::path FactoryProfile(const std::string& familyName) {
    return rerov::DefaultProfilePath(familyName);
}

}  // namespace rerov::device_folders
