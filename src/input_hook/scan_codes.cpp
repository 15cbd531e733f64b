#include "input_hook/scan_codes.h"

#include <QtCore/qnamespace.h>

#include <array>

namespace rerov::input_hook {

namespace {

struct EvdevRow {
    int evdev;
    std::uint8_t scanCode;
    bool extended;
};

// evdev codes 1-83 are the set-1 scan codes themselves; the rest as a low-level keyboard
// hook reports them (right Shift and Num Lock with the extended flag, Pause without).
constexpr std::array<EvdevRow, 32> kEvdevRows{{
    {54, 0x36, true},    // right Shift
    {69, 0x45, true},    // Num Lock
    {86, 0x56, false},   // the key left of Z (K45)
    {87, 0x57, false},   // F11
    {88, 0x58, false},   // F12
    {89, 0x73, false},   // K56 (Ro)
    {92, 0x79, false},   // K132 (Henkan)
    {93, 0x70, false},   // K133 (Katakana/Hiragana)
    {94, 0x7B, false},   // K131 (Muhenkan)
    {96, 0x1C, true},    // keypad Enter
    {97, 0x1D, true},    // right Ctrl
    {98, 0x35, true},    // keypad /
    {99, 0x37, true},    // Print Screen
    {100, 0x38, true},   // right Alt
    {102, 0x47, true},   // Home
    {103, 0x48, true},   // Up
    {104, 0x49, true},   // Page Up
    {105, 0x4B, true},   // Left
    {106, 0x4D, true},   // Right
    {107, 0x4F, true},   // End
    {108, 0x50, true},   // Down
    {109, 0x51, true},   // Page Down
    {110, 0x52, true},   // Insert
    {111, 0x53, true},   // Delete
    {119, 0x45, false},  // Pause
    {121, 0x7E, false},  // K107 (keypad comma)
    {122, 0x72, false},  // K151 (Hangeul)
    {123, 0x71, false},  // K150 (Hanja)
    {124, 0x7D, false},  // K14 (Yen)
    {125, 0x5B, true},   // left Win
    {126, 0x5C, true},   // right Win
    {127, 0x5D, true},   // App (menu)
}};

constexpr int kLastDirectEvdev = 83;  // keypad '.'

struct QtRow {
    int qtKey;
    std::uint8_t scanCode;
    bool extended;
};

// Keys away from the letters and digits, by their Qt codes (the keypad keys separately).
constexpr std::array<QtRow, 47> kQtRows{{
    {Qt::Key_Escape, 0x01, false},       {Qt::Key_Minus, 0x0C, false},
    {Qt::Key_Equal, 0x0D, false},        {Qt::Key_Backspace, 0x0E, false},
    {Qt::Key_Tab, 0x0F, false},          {Qt::Key_BracketLeft, 0x1A, false},
    {Qt::Key_BracketRight, 0x1B, false}, {Qt::Key_Return, 0x1C, false},
    {Qt::Key_Control, 0x1D, false},      {Qt::Key_Semicolon, 0x27, false},
    {Qt::Key_Apostrophe, 0x28, false},   {Qt::Key_QuoteLeft, 0x29, false},
    {Qt::Key_Shift, 0x2A, false},        {Qt::Key_Backslash, 0x2B, false},
    {Qt::Key_Comma, 0x33, false},        {Qt::Key_Period, 0x34, false},
    {Qt::Key_Slash, 0x35, false},        {Qt::Key_Alt, 0x38, false},
    {Qt::Key_Space, 0x39, false},        {Qt::Key_CapsLock, 0x3A, false},
    {Qt::Key_F1, 0x3B, false},           {Qt::Key_F2, 0x3C, false},
    {Qt::Key_F3, 0x3D, false},           {Qt::Key_F4, 0x3E, false},
    {Qt::Key_F5, 0x3F, false},           {Qt::Key_F6, 0x40, false},
    {Qt::Key_F7, 0x41, false},           {Qt::Key_F8, 0x42, false},
    {Qt::Key_F9, 0x43, false},           {Qt::Key_F10, 0x44, false},
    {Qt::Key_F11, 0x57, false},          {Qt::Key_F12, 0x58, false},
    {Qt::Key_ScrollLock, 0x46, false},   {Qt::Key_Pause, 0x45, false},
    {Qt::Key_NumLock, 0x45, true},       {Qt::Key_Print, 0x37, true},
    {Qt::Key_Insert, 0x52, true},        {Qt::Key_Home, 0x47, true},
    {Qt::Key_PageUp, 0x49, true},        {Qt::Key_Delete, 0x53, true},
    {Qt::Key_End, 0x4F, true},           {Qt::Key_PageDown, 0x51, true},
    {Qt::Key_Right, 0x4D, true},         {Qt::Key_Left, 0x4B, true},
    {Qt::Key_Down, 0x50, true},          {Qt::Key_Up, 0x48, true},
    {Qt::Key_Meta, 0x5B, true},
}};

// US-layout scan codes of A-Z.
constexpr std::array<std::uint8_t, 26> kLetterScans{
    0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
    0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};

// Keypad keys by the Qt code of what they type: digits 0-9, then . / * - + Enter.
constexpr std::array<std::uint8_t, 10> kKeypadDigitScans{0x52, 0x4F, 0x50, 0x51, 0x4B,
                                                         0x4C, 0x4D, 0x47, 0x48, 0x49};

}  // namespace

std::optional<ScanKey> ScanKeyOfEvdev(int evdevCode) {
    if (evdevCode >= 1 && evdevCode <= kLastDirectEvdev && evdevCode != 54 && evdevCode != 69) {
        return ScanKey{static_cast<std::uint8_t>(evdevCode), false};
    }
    for (const EvdevRow& row : kEvdevRows) {
        if (row.evdev == evdevCode) return ScanKey{row.scanCode, row.extended};
    }
    return std::nullopt;
}

std::optional<int> EvdevOfScanKey(ScanKey key) {
    for (const EvdevRow& row : kEvdevRows) {
        if (row.scanCode == key.scanCode && row.extended == key.extended) {
            return row.evdev;
        }
    }
    if (!key.extended && key.scanCode >= 1 && key.scanCode <= kLastDirectEvdev &&
        key.scanCode != 54 && key.scanCode != 69) {
        return key.scanCode;
    }
    return std::nullopt;
}

std::optional<ScanKey> ScanKeyOfQtKey(int qtKey, bool keypad) {
    if (keypad) {
        if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
            return ScanKey{kKeypadDigitScans[static_cast<std::size_t>(qtKey - Qt::Key_0)], false};
        }
        switch (qtKey) {
            case Qt::Key_Period:
                return ScanKey{0x53, false};
            case Qt::Key_Slash:
                return ScanKey{0x35, true};
            case Qt::Key_Asterisk:
                return ScanKey{0x37, false};
            case Qt::Key_Minus:
                return ScanKey{0x4A, false};
            case Qt::Key_Plus:
                return ScanKey{0x4E, false};
            case Qt::Key_Enter:
                return ScanKey{0x1C, true};
            default:
                break;
        }
    }
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) {
        return ScanKey{kLetterScans[static_cast<std::size_t>(qtKey - Qt::Key_A)], false};
    }
    if (qtKey >= Qt::Key_1 && qtKey <= Qt::Key_9) {
        return ScanKey{static_cast<std::uint8_t>(0x02 + (qtKey - Qt::Key_1)), false};
    }
    if (qtKey == Qt::Key_0) return ScanKey{0x0B, false};
    if (qtKey == Qt::Key_Enter) return ScanKey{0x1C, false};
    for (const QtRow& row : kQtRows) {
        if (row.qtKey == qtKey) return ScanKey{row.scanCode, row.extended};
    }
    return std::nullopt;
}

}  // namespace rerov::input_hook
