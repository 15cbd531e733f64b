#include "editors/assignment/code_tables.h"

#include <algorithm>
#include <array>

namespace rerov::editors {

namespace {

constexpr std::array<CodeRow, 5> kMouseButtons{{
    {0, kTypeMouseButton, 0x01, 0, "mouse_key_left"},
    {1, kTypeMouseButton, 0x04, 0, "mouse_key_middle"},
    {2, kTypeMouseButton, 0x02, 0, "mouse_key_right"},
    {3, kTypeMouseButton, 0x10, 0, "mouse_key_forward"},
    {4, kTypeMouseButton, 0x08, 0, "mouse_key_back"},
}};

constexpr std::array<CodeRow, 3> kDpiActions{{
    {0, kTypeDpiAction, 1, 0, "mouse_key_DPI_add"},
    {1, kTypeDpiAction, 2, 0, "mouse_key_DPI_sub"},
    {2, kTypeDpiAction, 3, 0, "mouse_key_DPI_loop"},
}};

constexpr std::array<CodeRow, 3> kSystemKeys{{
    {0, kTypeSystem, 1, 0, "system_power"},
    {1, kTypeSystem, 2, 0, "system_sleep"},
    {2, kTypeSystem, 4, 0, "system_wake_up"},
}};

// A media row from its consumer usage: low byte in Value, high byte in Code.
constexpr CodeRow Media(std::uint16_t id, std::uint16_t usage, const char* nameKey) {
    return {id, kTypeMedia, static_cast<std::uint8_t>(usage & 0xFF),
            static_cast<std::uint8_t>(usage >> 8), nameKey};
}

constexpr std::array<CodeRow, 18> kMediaKeys{{
    Media(0, 0x0183, "media_text"),
    Media(1, 0x00CD, "media_play"),
    Media(2, 0x00B7, "media_stop"),
    Media(3, 0x00B6, "media_prev"),
    Media(4, 0x00B5, "media_next"),
    Media(5, 0x00EA, "media_vol_sub"),
    Media(6, 0x00E9, "media_vol_add"),
    Media(7, 0x00E2, "media_mute"),
    Media(8, 0x0223, "web_text"),
    Media(9, 0x0227, "web_refresh"),
    Media(10, 0x0226, "wed_stop"),
    Media(11, 0x0224, "wed_back"),
    Media(12, 0x0225, "wed_forward"),
    Media(13, 0x022A, "wed_favorite"),
    Media(14, 0x0221, "web_search"),
    Media(15, 0x0194, "media_mypc"),
    Media(16, 0x0192, "media_calc"),
    Media(17, 0x018A, "media_mail"),
}};

constexpr std::array<CodeRow, 11> kShortcuts{{
    {0, kTypeKey, kShortcutModifier, 0x12, "custem_open"},
    {1, kTypeKey, kShortcutModifier, 0x11, "custem_new"},
    {2, kTypeKey, kShortcutModifier, 0x1D, "custem_undo"},
    {3, kTypeKey, kShortcutModifier, 0x16, "custem_save"},
    {4, kTypeKey, kShortcutModifier, 0x06, "custem_copy"},
    {5, kTypeKey, kShortcutModifier, 0x1B, "custem_cut"},
    {6, kTypeKey, kShortcutModifier, 0x19, "custem_paste"},
    {7, kTypeKey, kShortcutModifier, 0x09, "custem_find"},
    {8, kTypeKey, kShortcutModifier, 0x04, "custem_select_all"},
    {9, kTypeKey, kShortcutModifier, 0x2D, "custem_narrow"},
    {10, kTypeKey, kShortcutModifier, 0x2E, "custem_magnify"},
}};

constexpr CodeRow Modifier(std::uint16_t vk, std::uint8_t bit, const char* nameKey) {
    return {vk, kTypeKey, bit, 0, nameKey};
}
constexpr CodeRow Key(std::uint16_t vk, std::uint8_t usage, const char* nameKey) {
    return {vk, kTypeKey, 0, usage, nameKey};
}

// Rows 0-7 modifiers, then the keys of the HID keyboard page by virtual-key id, the media and
// system keys, and the device's own keys.
constexpr std::array<CodeRow, 142> kKeyCodes{{
    Modifier(0xA2, 0x01, "keyboard_key_LCtrl"),
    Modifier(0xA0, 0x02, "keyboard_key_LShift"),
    Modifier(0xA4, 0x04, "keyboard_key_LAlt"),
    Modifier(0x5B, 0x08, "keyboard_key_LWin"),
    Modifier(0xA3, 0x10, "keyboard_key_RCtrl"),
    Modifier(0xA1, 0x20, "keyboard_key_RShift"),
    Modifier(0xA5, 0x40, "keyboard_key_RAlt"),
    Modifier(0x5C, 0x80, "keyboard_key_RWin"),
    Key('A', 0x04, "keyboard_key_A"),
    Key('B', 0x05, "keyboard_key_B"),
    Key('C', 0x06, "keyboard_key_C"),
    Key('D', 0x07, "keyboard_key_D"),
    Key('E', 0x08, "keyboard_key_E"),
    Key('F', 0x09, "keyboard_key_F"),
    Key('G', 0x0A, "keyboard_key_G"),
    Key('H', 0x0B, "keyboard_key_H"),
    Key('I', 0x0C, "keyboard_key_I"),
    Key('J', 0x0D, "keyboard_key_J"),
    Key('K', 0x0E, "keyboard_key_K"),
    Key('L', 0x0F, "keyboard_key_L"),
    Key('M', 0x10, "keyboard_key_M"),
    Key('N', 0x11, "keyboard_key_N"),
    Key('O', 0x12, "keyboard_key_O"),
    Key('P', 0x13, "keyboard_key_P"),
    Key('Q', 0x14, "keyboard_key_Q"),
    Key('R', 0x15, "keyboard_key_R"),
    Key('S', 0x16, "keyboard_key_S"),
    Key('T', 0x17, "keyboard_key_T"),
    Key('U', 0x18, "keyboard_key_U"),
    Key('V', 0x19, "keyboard_key_V"),
    Key('W', 0x1A, "keyboard_key_W"),
    Key('X', 0x1B, "keyboard_key_X"),
    Key('Y', 0x1C, "keyboard_key_Y"),
    Key('Z', 0x1D, "keyboard_key_Z"),
    Key('1', 0x1E, "keyboard_key_1"),
    Key('2', 0x1F, "keyboard_key_2"),
    Key('3', 0x20, "keyboard_key_3"),
    Key('4', 0x21, "keyboard_key_4"),
    Key('5', 0x22, "keyboard_key_5"),
    Key('6', 0x23, "keyboard_key_6"),
    Key('7', 0x24, "keyboard_key_7"),
    Key('8', 0x25, "keyboard_key_8"),
    Key('9', 0x26, "keyboard_key_9"),
    Key('0', 0x27, "keyboard_key_0"),
    Key(0x0D, 0x28, "keyboard_key_Enter"),
    Key(0x1B, 0x29, "keyboard_key_Esc"),
    Key(0x08, 0x2A, "keyboard_key_BackSpace"),
    Key(0x09, 0x2B, "keyboard_key_Tab"),
    Key(0x20, 0x2C, "keyboard_key_Space"),
    Key(0xBD, 0x2D, "keyboard_key_-"),
    Key(0xBB, 0x2E, "keyboard_key_="),
    Key(0xDB, 0x2F, "keyboard_key_["),
    Key(0xDD, 0x30, "keyboard_key_]"),
    Key(0xDC, 0x31, "keyboard_key_xiegang"),
    Key(0xBA, 0x33, "keyboard_key_;"),
    Key(0xDE, 0x34, "keyboard_key_'"),
    Key(0xC0, 0x35, "keyboard_key_`"),
    Key(0xBC, 0x36, "keyboard_key_<"),
    Key(0xBE, 0x37, "keyboard_key_."),
    Key(0xBF, 0x38, "keyboard_key_/"),
    Key(0x14, 0x39, "keyboard_key_Caplk"),
    Key(0x70, 0x3A, "keyboard_key_F1"),
    Key(0x71, 0x3B, "keyboard_key_F2"),
    Key(0x72, 0x3C, "keyboard_key_F3"),
    Key(0x73, 0x3D, "keyboard_key_F4"),
    Key(0x74, 0x3E, "keyboard_key_F5"),
    Key(0x75, 0x3F, "keyboard_key_F6"),
    Key(0x76, 0x40, "keyboard_key_F7"),
    Key(0x77, 0x41, "keyboard_key_F8"),
    Key(0x78, 0x42, "keyboard_key_F9"),
    Key(0x79, 0x43, "keyboard_key_F10"),
    Key(0x7A, 0x44, "keyboard_key_F11"),
    Key(0x7B, 0x45, "keyboard_key_F12"),
    Key(0x2C, 0x46, "keyboard_key_Print Scr"),
    Key(0x91, 0x47, "keyboard_key_Scroll Lock"),
    Key(0x13, 0x48, "keyboard_key_Pause"),
    Key(0x2D, 0x49, "keyboard_key_Insert"),
    Key(0x24, 0x4A, "keyboard_key_Home"),
    Key(0x21, 0x4B, "keyboard_key_Page Up"),
    Key(0x2E, 0x4C, "keyboard_key_Delete"),
    Key(0x23, 0x4D, "keyboard_key_End"),
    Key(0x22, 0x4E, "keyboard_key_Page Down"),
    Key(0x27, 0x4F, "keyboard_key_Right"),
    Key(0x25, 0x50, "keyboard_key_Left"),
    Key(0x28, 0x51, "keyboard_key_Down"),
    Key(0x26, 0x52, "keyboard_key_Up"),
    Key(0x90, 0x53, "keyboard_key_Num Lock"),
    Key(0x6F, 0x54, "keyboard_key_Num /"),
    Key(0x6A, 0x55, "keyboard_key_Num *"),
    Key(0x6D, 0x56, "keyboard_key_Num -"),
    Key(0x6B, 0x57, "keyboard_key_Num +"),
    Key(0x0101, 0x58, "keyboard_key_Num Enter"),
    Key(0x61, 0x59, "keyboard_key_Num 1"),
    Key(0x62, 0x5A, "keyboard_key_Num 2"),
    Key(0x63, 0x5B, "keyboard_key_Num 3"),
    Key(0x64, 0x5C, "keyboard_key_Num 4"),
    Key(0x65, 0x5D, "keyboard_key_Num 5"),
    Key(0x66, 0x5E, "keyboard_key_Num 6"),
    Key(0x67, 0x5F, "keyboard_key_Num 7"),
    Key(0x68, 0x60, "keyboard_key_Num 8"),
    Key(0x69, 0x61, "keyboard_key_Num 9"),
    Key(0x60, 0x62, "keyboard_key_Num 0"),
    Key(0x6E, 0x63, "keyboard_key_Decimal"),
    Key(0x5D, 0x65, "keyboard_key_App"),
    Key(0xE2, 0x64, "keyboard_key_K45"),
    Key(0xC1, 0x87, "keyboard_key_K56"),
    Key(0xFF, 0x89, "keyboard_key_K14"),
    Key(0xC2, 0x85, "keyboard_key_K107"),
    Key(0xEB, 0x8B, "keyboard_key_K131"),
    Key(0xFF, 0x8A, "keyboard_key_K132"),
    Key(0xFF, 0x88, "keyboard_key_K133"),
    Key(0xE9, 0x91, "keyboard_key_K150"),
    Key(0xFF, 0x90, "keyboard_key_K151"),
    Key(0xBF, 0x32, "keyboard_key_K42"),
    Media(0xB7, 0x0192, "keyboard_key_Launch App2"),
    Media(0xAC, 0x0223, "keyboard_key_Browaer Home"),
    Media(0xB3, 0x00CD, "keyboard_key_Media Play Pause"),
    Media(0xAA, 0x0221, "keyboard_key_Browser Search"),
    Media(0xB4, 0x018A, "keyboard_key_Launch Mail"),
    Media(0xAF, 0x00E9, "keyboard_key_Volume Up"),
    Media(0xAD, 0x00E2, "keyboard_key_Volume Mute"),
    Media(0xB2, 0x00B7, "keyboard_key_Media Stop"),
    Media(0xAE, 0x00EA, "keyboard_key_Volume Down"),
    Media(0xAB, 0x022A, "keyboard_key_Browser Favorites"),
    Media(0xA7, 0x0225, "keyboard_key_Browser ForWard"),
    Media(0xA6, 0x0224, "keyboard_key_Browser Back"),
    Media(0xB1, 0x00B6, "keyboard_key_Media Prev Track"),
    Media(0xB0, 0x00B5, "keyboard_key_Media Next Track"),
    Media(0xB6, 0x0194, "keyboard_key_Computer"),
    Media(0xA8, 0x0227, "keyboard_key_Browser Refresh"),
    Media(0xA9, 0x0226, "wed_stop"),
    Media(0xB5, 0x0183, "keyboard_key_Launch Media Select"),
    {0x0103, kTypeSystem, 1, 0, "keyboard_key_Power"},
    {0x0104, kTypeSystem, 2, 0, "keyboard_key_Sleep"},
    {0x0105, kTypeSystem, 4, 0, "keyboard_key_Wakeup"},
    {0, kTypeDeviceMacroKey, 0xA2, 1, "keyboard_key_M1"},
    {0, kTypeDeviceMacroKey, 0xA2, 2, "keyboard_key_M2"},
    {0, kTypeDeviceMacroKey, 0xA2, 3, "keyboard_key_M3"},
    {0, kTypeDeviceMacroKey, 0xA2, 4, "keyboard_key_M4"},
    {0, kTypeDeviceMacroKey, 0xA2, 5, "keyboard_key_M5"},
    {0, kTypeDeviceFunction, 0x01, 0, "keyboard_key_FN"},
    {0, kTypeDeviceFunction, 0x1B, 0, "keyboard_key_GM"},
}};

// Parallel to kKeyCodes rows 0-112 (K42, row 113, cannot be captured).
constexpr std::array<ScanRow, 113> kKeyScans{{
    {0xA2, 0x1D, false},
    {0xA0, 0x2A, false},
    {0xA4, 0x38, false},
    {0x5B, 0x5B, true},
    {0xA3, 0x1D, true},
    {0xA1, 0x36, true},
    {0xA5, 0x38, true},
    {0x5C, 0x5C, true},
    // A-Z on the US layout
    {'A', 0x1E, false},
    {'B', 0x30, false},
    {'C', 0x2E, false},
    {'D', 0x20, false},
    {'E', 0x12, false},
    {'F', 0x21, false},
    {'G', 0x22, false},
    {'H', 0x23, false},
    {'I', 0x17, false},
    {'J', 0x24, false},
    {'K', 0x25, false},
    {'L', 0x26, false},
    {'M', 0x32, false},
    {'N', 0x31, false},
    {'O', 0x18, false},
    {'P', 0x19, false},
    {'Q', 0x10, false},
    {'R', 0x13, false},
    {'S', 0x1F, false},
    {'T', 0x14, false},
    {'U', 0x16, false},
    {'V', 0x2F, false},
    {'W', 0x11, false},
    {'X', 0x2D, false},
    {'Y', 0x15, false},
    {'Z', 0x2C, false},
    // 1-9, 0
    {'1', 0x02, false},
    {'2', 0x03, false},
    {'3', 0x04, false},
    {'4', 0x05, false},
    {'5', 0x06, false},
    {'6', 0x07, false},
    {'7', 0x08, false},
    {'8', 0x09, false},
    {'9', 0x0A, false},
    {'0', 0x0B, false},
    // Enter, Esc, BackSpace, Tab, Space
    {0x0D, 0x1C, false},
    {0x1B, 0x01, false},
    {0x08, 0x0E, false},
    {0x09, 0x0F, false},
    {0x20, 0x39, false},
    // - = [ ] \ ; ' ` , . /
    {0xBD, 0x0C, false},
    {0xBB, 0x0D, false},
    {0xDB, 0x1A, false},
    {0xDD, 0x1B, false},
    {0xDC, 0x2B, false},
    {0xBA, 0x27, false},
    {0xDE, 0x28, false},
    {0xC0, 0x29, false},
    {0xBC, 0x33, false},
    {0xBE, 0x34, false},
    {0xBF, 0x35, false},
    // Caps Lock, F1-F12
    {0x14, 0x3A, false},
    {0x70, 0x3B, false},
    {0x71, 0x3C, false},
    {0x72, 0x3D, false},
    {0x73, 0x3E, false},
    {0x74, 0x3F, false},
    {0x75, 0x40, false},
    {0x76, 0x41, false},
    {0x77, 0x42, false},
    {0x78, 0x43, false},
    {0x79, 0x44, false},
    {0x7A, 0x57, false},
    {0x7B, 0x58, false},
    // Print Screen, Scroll Lock, Pause
    {0x2C, 0x37, true},
    {0x91, 0x46, false},
    {0x13, 0x45, false},
    // Insert, Home, Page Up, Delete, End, Page Down, Right, Left, Down, Up
    {0x2D, 0x52, true},
    {0x24, 0x47, true},
    {0x21, 0x49, true},
    {0x2E, 0x53, true},
    {0x23, 0x4F, true},
    {0x22, 0x51, true},
    {0x27, 0x4D, true},
    {0x25, 0x4B, true},
    {0x28, 0x50, true},
    {0x26, 0x48, true},
    // Num Lock, Num / * - +, Num Enter
    {0x90, 0x45, true},
    {0x6F, 0x35, true},
    {0x6A, 0x37, false},
    {0x6D, 0x4A, false},
    {0x6B, 0x4E, false},
    {0x0101, 0x1C, true},
    // Num 1-9, Num 0, Decimal
    {0x61, 0x4F, false},
    {0x62, 0x50, false},
    {0x63, 0x51, false},
    {0x64, 0x4B, false},
    {0x65, 0x4C, false},
    {0x66, 0x4D, false},
    {0x67, 0x47, false},
    {0x68, 0x48, false},
    {0x69, 0x49, false},
    {0x60, 0x52, false},
    {0x6E, 0x53, false},
    // App, K45
    {0x5D, 0x5D, true},
    {0xE2, 0x56, false},
    // International keys K56, K14, K107, K131, K132, K133, K150, K151
    {0xC1, 0x73, false},
    {0xFF, 0x7D, false},
    {0xC2, 0x7E, false},
    {0xEB, 0x7B, false},
    {0xFF, 0x79, false},
    {0xFF, 0x70, false},
    {0xE9, 0x71, false},
    {0xFF, 0x72, false},
}};

constexpr std::array<CodeRow, 15> kFunctionKeys{{
    {0, kTypeMouseButton, 0x01, 0, "mouse_key_left"},
    {1, kTypeMouseButton, 0x02, 0, "mouse_key_middle"},
    {2, kTypeMouseButton, 0x04, 0, "mouse_key_right"},
    {3, kTypeMouseButton, 0x10, 0, "mouse_key_forward"},
    {4, kTypeMouseButton, 0x08, 0, "mouse_key_back"},
    {5, kTypeFire, 0x50, 0x02, "mouse_key_fire_key"},
    {6, kTypeKey, 0, 0, "mouse_key_shortcut_key"},
    {7, kTypeKey, 0x80, 0, "win_key_text"},
    {8, kTypeDeviceFunction, 0x02, 0, "mouse_key_smart_key"},
    {9, kTypeDeviceFunction, 0, 0, "com_key_nothing"},
    {10, kTypeDpiAction, 0x03, 0, "mouse_key_DPI_loop"},
    {11, kTypeDpiAction, 0x01, 0, "mouse_key_DPI_add"},
    {12, kTypeDpiAction, 0x02, 0, "mouse_key_DPI_sub"},
    {13, kTypeDpiShift, 0, 0, "mouse_key_DPI_shift"},
    {14, kTypeShowWindow, 0, 0, "show_window"},
}};

constexpr std::array<CodeRow, 9> kShortcutIndices{{
    {0x21, kTypeShortcutIndex, 0, 0, "custem_open"},
    {0x22, kTypeShortcutIndex, 0, 1, "custem_new"},
    {0x23, kTypeShortcutIndex, 0, 2, "custem_undo"},
    {0x24, kTypeShortcutIndex, 0, 3, "custem_save"},
    {0x25, kTypeShortcutIndex, 0, 4, "custem_copy"},
    {0x26, kTypeShortcutIndex, 0, 5, "custem_cut"},
    {0x27, kTypeShortcutIndex, 0, 6, "custem_paste"},
    {0x28, kTypeShortcutIndex, 0, 7, "custem_find"},
    {0x29, kTypeShortcutIndex, 0, 8, "custem_select_all"},
}};

}  // namespace

std::span<const CodeRow> MouseButtonTable() { return kMouseButtons; }
std::span<const CodeRow> DpiActionTable() { return kDpiActions; }
std::span<const CodeRow> SystemKeyTable() { return kSystemKeys; }
std::span<const CodeRow> MediaKeyTable() { return kMediaKeys; }
std::span<const CodeRow> ShortcutKeyTable() { return kShortcuts; }
std::span<const CodeRow> KeyCodeTable() { return kKeyCodes; }
std::span<const ScanRow> KeyScanTable() { return kKeyScans; }
std::span<const CodeRow> FunctionKeyTable() { return kFunctionKeys; }
std::span<const CodeRow> ShortcutIndexTable() { return kShortcutIndices; }

std::optional<int> FindValueCode(std::span<const CodeRow> table, std::uint8_t value,
                                 std::uint8_t code) {
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].value == value && table[i].code == code) return static_cast<int>(i);
    }
    return std::nullopt;
}

std::optional<int> FindScanRow(std::uint8_t scanCode, bool extended) {
    for (std::size_t i = 0; i < kKeyScans.size(); ++i) {
        if (kKeyScans[i].scanCode == scanCode && kKeyScans[i].extended == extended) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

std::optional<int> FindKeyRowByUsage(std::uint8_t usage, int from) {
    for (std::size_t i = static_cast<std::size_t>(std::max(from, 0)); i < kKeyCodes.size(); ++i) {
        const CodeRow& row = kKeyCodes[i];
        if (row.type == kTypeKey && row.value == 0 && row.code == usage) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

std::optional<int> FindModifierRow(std::uint8_t bit) {
    for (int i = 0; i < kModifierRowCount; ++i) {
        if (kKeyCodes[static_cast<std::size_t>(i)].value == bit) return i;
    }
    return std::nullopt;
}

int ModifierOptionOfRow(int row) {
    // Left-hand rows 0-3 and right-hand rows 4-7 of a kind map to the same option 1-4.
    if (row < 0 || row >= kModifierRowCount) return 0;
    return (row % 4) + 1;
}

std::uint8_t ModifierBitOfOption(int option) {
    if (option < 1 || option > 4) return 0;
    return static_cast<std::uint8_t>(1u << (option - 1));
}

}  // namespace rerov::editors
