#pragma once
// The folders of a device family, kept apart from the device headers so the folder
// helpers' names never meet the supported-device tables' names in one file.

#include <filesystem>
#include <string>

namespace rerov::device_folders {

/// The family's user data folder, created on first use; empty when unknown.
std::filesystem::path UserFolder(const std::string& familyName);
/// The factory data folder beside the program.
std::filesystem::path FactoryFolder();
/// The family's factory default profile.
std::filesystem::path FactoryProfile(const std::string& familyName);

}  // namespace rerov::device_folders
