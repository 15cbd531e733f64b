#pragma once
// Opening the keyboard's (or another device's) command interface on a DeviceLink for the
// commands that talk to a device.

#include <string>

#include "cli/cli_session.h"
#include "device_link/device_link.h"

namespace rerov::cli {

// Finds the command interface, opens it on link (cable or receiver path as the row
// says), selects the link mode and marks the link connected. On failure returns false
// with a one-line reason (the HID layer's own message when Open fails).
bool OpenCommandLink(CliSession& session, DeviceLink& link, std::string* error);

}  // namespace rerov::cli
