#pragma once
// CaptureBackend: one way of taking the keyboard and the mouse for a while (the whole X11
// desktop, the kernel's input devices, or only the program's window). A backend reports
// every key as a set-1 scan key and every mouse button as the mouse message of the code
// tables, on the thread that started it. Stop always gives the keyboard back.

#include <cstdint>
#include <functional>
#include <string>

#include "input_hook/scan_codes.h"

namespace rerov::input_hook {

/// Mouse messages as the macro steps know them.
inline constexpr std::uint16_t kMouseLeftDown = 0x0201;
inline constexpr std::uint16_t kMouseLeftUp = 0x0202;
inline constexpr std::uint16_t kMouseRightDown = 0x0204;
inline constexpr std::uint16_t kMouseRightUp = 0x0205;
inline constexpr std::uint16_t kMouseMiddleDown = 0x0207;
inline constexpr std::uint16_t kMouseMiddleUp = 0x0208;
inline constexpr std::uint16_t kMouseExtraDown = 0x020B;
inline constexpr std::uint16_t kMouseExtraUp = 0x020C;
/// Extra-button numbers (the high word of the mouse data).
inline constexpr int kExtraBack = 1;
inline constexpr int kExtraForward = 2;

struct KeyEvent {
    ScanKey key;
    bool down = true;
};

struct MouseEvent {
    std::uint16_t message = 0;
    int x = 0;  // screen position
    int y = 0;
    int extraButton = 0;  // 1 back, 2 forward for the extra-button messages
};

class CaptureBackend {
  public:
    virtual ~CaptureBackend() = default;
    /// Short name shown in the editors' tips: "x11", "evdev", "window".
    virtual std::string Name() const = 0;
    /// True when the backend captures input of the whole desktop.
    virtual bool IsDesktopWide() const = 0;
    /// Starts taking the keyboard (a grab: no other program gets keys, the lock keys still
    /// toggle) and reporting mouse buttons. False when it cannot; nothing is held then.
    virtual bool Start() = 0;
    /// Gives everything back. Harmless when not started.
    virtual void Stop() = 0;
    virtual bool IsStarted() const = 0;

    std::function<void(const KeyEvent&)> onKey;
    std::function<void(const MouseEvent&)> onMouse;
};

}  // namespace rerov::input_hook
