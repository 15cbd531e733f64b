#pragma once
// The main window keeps its device pages in four lists, one per group of device kinds; the
// window's page-wide operations each reach only some of the groups.

#include <cstddef>

#include "device_link/supported_devices.h"

namespace rerov::shell {

enum PageGroup : int { kKeyboardPages = 0, kMousePages = 1, kMousePadPages = 2, kHeadsetPages = 3 };
inline constexpr size_t kPageGroupCount = 4;

// Told when the window becomes active or inactive and when the lighting control changes
// hands: every group but the headsets' (a headset page keeps both flags as created).
inline constexpr PageGroup kLitPageGroups[] = {kKeyboardPages, kMousePages, kMousePadPages};
// The pages with a power display, whose status reads the window holds while it is hidden.
inline constexpr PageGroup kPowerPageGroups[] = {kKeyboardPages, kMousePages};

// The group of a device kind (a receiver kind belongs to its device's group); -1 for a kind
// no list takes.
constexpr int PageGroupOfKind(int kind) {
    switch (kind) {
        case kKindKeyboard:
        case kKindKeyboardReceiver:
            return kKeyboardPages;
        case kKindMouse:
        case kKindMouseReceiver:
            return kMousePages;
        case kKindMousePad:
            return kMousePadPages;
        case kKindHeadset:
            return kHeadsetPages;
        default:
            return -1;
    }
}

}  // namespace rerov::shell
