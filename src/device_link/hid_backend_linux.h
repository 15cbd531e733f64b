#pragma once
// Pieces of the Linux hidraw backend that are worth testing on their own.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "device_link/hid_backend.h"

namespace rerov::hidraw {

// A watcher of hidraw nodes coming and going (libudev monitor); null with *error set
// when the monitor cannot be set up.
std::unique_ptr<HotplugWatcher> MakeUdevHotplugWatcher(std::string* error);

// "vid_%04x&pid_%04x&mi_%02x&col%02x#<node>"; without "&col" when collection is 0.
std::string CanonicalPath(uint16_t vendorId, uint16_t productId, int interfaceNumber,
                          int collection, const std::string& node);

// The one-line reason for an open(2) of node failing with errno value error; access
// refusals point at the udev rules.
std::string OpenFailureReason(const std::string& node, int error);

// A connection over an open, packet-oriented descriptor (a hidraw node; a socket pair in
// tests). Takes ownership of fd. Returns null with *error set when the cancel event cannot
// be created (fd is then closed).
std::unique_ptr<HidConnection> WrapNode(int fd, uint16_t vendorId, uint16_t productId,
                                        uint16_t version, std::vector<uint8_t> descriptor,
                                        std::string* error);

}  // namespace rerov::hidraw
