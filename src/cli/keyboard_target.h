#pragma once
// The keyboard device object as rerovctl keyboard uses it: made as the program makes it
// (family row, the device table's record), its main link opened on the command interface
// found, and its profile the profile store's selected one.

#include <filesystem>
#include <memory>
#include <string>

#include "cli/cli_session.h"
#include "devices/keyboard/keyboard_device.h"

namespace rerov::cli {

struct KeyboardTarget {
    std::unique_ptr<CZidiraKeyboardDevice> device;
    std::filesystem::path profilePath;  // the selected profile's file
    std::filesystem::path defaultPath;  // the family's factory profile
    std::string profileTitle;           // the selected profile's file title (its uuid)
};

// Builds the target. False with a one-line reason when there is no keyboard to open or
// the profile store cannot be read.
bool OpenKeyboard(CliSession& session, KeyboardTarget* target, std::string* error);

// The read-out the program makes when the keyboard arrives: the geometry, then the
// parameter block, so that the object holds the device's own bytes of the block (the ones
// a write gives back unchanged). The window then also takes the device's lighting and system
// settings into the selected profile; rerovctl puts the profile file back byte for byte
// after the read, so the user's files keep what the user made (and the profile, not the
// device, is what a later write sends). False with a reason when the read-out fails.
bool ReadAsOnArrival(KeyboardTarget& target, std::string* error);

// One line for a download report: what was written, or why not. Empty when it succeeded.
std::string DownloadFailure(const DownloadReport& report);

// Prints the report (as JSON with --json) and, for a failed one, its reason on stderr.
// The exit code: 0, or 1 when the download failed or overflowed.
int PrintDownload(const std::string& command, const DownloadReport& report, bool asJson);

}  // namespace rerov::cli
