#pragma once
// The code tables of key assignments: every function a key or button can be given, as
// (id, Type, Value, Code) rows with the language key of its display name. The row index
// of a table is the item index of the combo that lists it, so the order is fixed.

#include <cstdint>
#include <optional>
#include <span>

namespace rerov::editors {

/// Assignment types (the Type byte of a KeyAssignment).
inline constexpr std::uint8_t kTypeDefault = 0x00;
inline constexpr std::uint8_t kTypeMouseButton = 0x10;
inline constexpr std::uint8_t kTypeTilt = 0x11;
inline constexpr std::uint8_t kTypeWheel = 0x12;
inline constexpr std::uint8_t kTypeDpiAction = 0x13;
inline constexpr std::uint8_t kTypeFire = 0x14;
inline constexpr std::uint8_t kTypeDpiShift = 0x16;
inline constexpr std::uint8_t kTypeKey = 0x20;
inline constexpr std::uint8_t kTypeShortcutIndex = 0x22;
inline constexpr std::uint8_t kTypeShowWindow = 0x23;
inline constexpr std::uint8_t kTypeMedia = 0x30;
inline constexpr std::uint8_t kTypeSystem = 0x40;
inline constexpr std::uint8_t kTypeMacro = 0x70;
inline constexpr std::uint8_t kTypeMacroRepeat = 0x71;
inline constexpr std::uint8_t kTypeGunKey = 0x72;
inline constexpr std::uint8_t kTypeDeviceFunction = 0xA0;
inline constexpr std::uint8_t kTypeShortcutNone = 0xB0;
inline constexpr std::uint8_t kTypeDeviceMacroKey = 0xD0;

/// The modifier Value of the editing shortcuts (right Ctrl alone).
inline constexpr std::uint8_t kShortcutModifier = 0x10;

/// One row of a code table: the same six-byte shape as an assignment plus its name key.
struct CodeRow {
    std::uint16_t id;
    std::uint8_t type;
    std::uint8_t value;
    std::uint8_t code;
    const char* nameKey;  // language key of the display name
};

/// How a low-level keyboard hook reports one key: virtual key, set-1 scan code, extended.
struct ScanRow {
    std::uint16_t virtualKey;
    std::uint8_t scanCode;
    bool extended;
};

/// The mouse buttons, in combo order (left, middle, right, forward, back).
std::span<const CodeRow> MouseButtonTable();
/// DPI up, down, cycle.
std::span<const CodeRow> DpiActionTable();
/// Power, sleep, wake-up.
std::span<const CodeRow> SystemKeyTable();
/// The 18 media keys; the consumer usage is stored low byte in Value, high byte in Code.
std::span<const CodeRow> MediaKeyTable();
/// The 11 editing shortcuts (Type 0x20, Value 0x10, Code the letter's usage).
std::span<const CodeRow> ShortcutKeyTable();
/// The 142 keyboard rows: 0-7 modifiers, 8-113 keys, 114-131 media, 132-134 system keys,
/// 135-141 keys that only exist on the device.
std::span<const CodeRow> KeyCodeTable();
/// The 113 rows parallel to KeyCodeTable rows 0-112.
std::span<const ScanRow> KeyScanTable();
/// The 15 functions of the device's own key table.
std::span<const CodeRow> FunctionKeyTable();
/// The 9 shortcut indices of the device's key table (Type 0x22, Code 0-8).
std::span<const CodeRow> ShortcutIndexTable();

/// Number of KeyCodeTable rows that are modifiers (rows 0-7).
inline constexpr int kModifierRowCount = 8;

/// Index of the first row of `table` with the same Value and Code (Type is not compared:
/// every row of the small tables has one Type), or nothing.
std::optional<int> FindValueCode(std::span<const CodeRow> table, std::uint8_t value,
                                 std::uint8_t code);
/// Index of the first KeyScanTable row with this scan code and extended flag, or nothing.
std::optional<int> FindScanRow(std::uint8_t scanCode, bool extended);
/// The KeyCodeTable row of an ordinary key (Type 0x20, Value 0) with this usage, searching
/// from row `from`; or nothing.
std::optional<int> FindKeyRowByUsage(std::uint8_t usage, int from = 0);
/// The modifier row (0-7) whose modifier bit is `bit`, or nothing.
std::optional<int> FindModifierRow(std::uint8_t bit);
/// The key editor's modifier option (1 Ctrl, 2 Shift, 3 Alt, 4 Win) of modifier row 0-7:
/// left and right of a kind give the same option.
int ModifierOptionOfRow(int row);
/// The left-hand modifier bit of option 1-4; 0 for option 0 or anything else.
std::uint8_t ModifierBitOfOption(int option);

}  // namespace rerov::editors
