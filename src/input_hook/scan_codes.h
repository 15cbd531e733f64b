#pragma once
// The keys as the code tables know them: a set-1 scan code plus the extended flag, as a
// low-level keyboard hook reports them. Every capture backend turns its own key numbers into
// this form (Linux evdev key codes, X11 key codes, Qt key codes inside the window), so the
// key editor and the recorder work unchanged.

#include <cstdint>
#include <optional>

namespace rerov::input_hook {

struct ScanKey {
    std::uint8_t scanCode = 0;
    bool extended = false;
    bool operator==(const ScanKey&) const = default;
};

/// The scan key of a Linux evdev key code (KEY_A = 30 ...), or nothing for keys without one.
std::optional<ScanKey> ScanKeyOfEvdev(int evdevCode);
/// The evdev key code of a scan key (the inverse, for synthesising input in tests).
std::optional<int> EvdevOfScanKey(ScanKey key);
/// X11 key codes are evdev codes plus 8 on every current X server.
inline constexpr int kX11KeycodeOffset = 8;
/// The scan key of a Qt key code (Qt::Key_A ...), for key events that carry no native scan
/// code; keypad keys are told by `keypad`. Nothing for keys without one.
std::optional<ScanKey> ScanKeyOfQtKey(int qtKey, bool keypad);

}  // namespace rerov::input_hook
