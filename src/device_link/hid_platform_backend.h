#pragma once
// The platform's own HID backend (hidraw on Linux, hidapi elsewhere); CurrentHidBackend()
// falls back to it when nothing else is installed.

#include <memory>

#include "device_link/hid_backend.h"

namespace rerov {

// A new instance of the platform backend.
std::shared_ptr<HidBackend> MakePlatformHidBackend();

}  // namespace rerov
