#include "devices/keyboard/key_labels.h"

#include <cstdint>
#include <span>

#include "devices/keyboard/keyboard_key_table.h"
#include "editors/assignment/code_tables.h"

namespace rerov {

namespace {

using editors::CodeRow;

constexpr uint8_t kTiltRightOrDownBit = 0x80;
// Without this Value the keyboard row's Value takes part in composing a label; with it
// (right Ctrl, the editing shortcuts' modifier) only the Code does.
constexpr uint8_t kValueNotComposed = 0x10;

std::string TextOfRow(const CodeRow* row, const LanguageText& text) {
    return row == nullptr ? std::string() : text(row->nameKey);
}

template <typename Match>
const CodeRow* FirstRow(std::span<const CodeRow> table, Match match) {
    for (const CodeRow& row : table) {
        if (match(row)) return &row;
    }
    return nullptr;
}

const CodeRow* RowWithValue(std::span<const CodeRow> table, uint8_t value) {
    return FirstRow(table, [&](const CodeRow& row) { return row.value == value; });
}

const CodeRow* RowWithValueCode(std::span<const CodeRow> table, uint8_t value, uint8_t code) {
    return FirstRow(table,
                    [&](const CodeRow& row) { return row.value == value && row.code == code; });
}

const CodeRow* RowWithTypeValueCode(std::span<const CodeRow> table, const KeyAssignment& a) {
    return FirstRow(table, [&](const CodeRow& row) {
        return row.type == a.type && row.value == a.value && row.code == a.code;
    });
}

std::string KeyboardKeyLabel(const KeyAssignment& a, const LanguageText& text) {
    if (const CodeRow* row = RowWithValueCode(editors::KeyCodeTable(), a.value, a.code)) {
        return text(row->nameKey);
    }
    std::string label;
    if (a.value == 0 && a.code == 0) {
        label = text("com_key_nothing");
    } else {
        // Modifier rows come before key rows, so "Ctrl" + "A" reads in that order.
        for (const CodeRow& row : editors::KeyCodeTable()) {
            if (row.type != a.type) continue;
            const bool valueMatches = a.value != kValueNotComposed && row.value == a.value;
            if (!valueMatches && row.code != a.code) continue;
            if (!label.empty()) label += "+";
            label += text(row.nameKey);
        }
    }
    if (!label.empty()) {
        if (const CodeRow* row = RowWithValueCode(editors::ShortcutKeyTable(), a.value, a.code)) {
            label = text(row->nameKey);
        }
    }
    return label;
}

}  // namespace

std::string AssignmentLabel(const KeyAssignment& a, const std::vector<std::string>& macroNames,
                            const LanguageText& text) {
    switch (a.type) {
        case 0x00:
        case 0x20:
            return KeyboardKeyLabel(a, text);
        case 0x10:
            return TextOfRow(RowWithValue(editors::MouseButtonTable(), a.value), text);
        case 0x11:
            return text((a.code & kTiltRightOrDownBit) != 0 ? "mouse_key_right_Swing"
                                                            : "mouse_key_left_Swing");
        case 0x12:
            return text((a.code & kTiltRightOrDownBit) != 0 ? "mouse_key_down_Swing"
                                                            : "mouse_key_up_Swing");
        case 0x13:
            return TextOfRow(RowWithValue(editors::DpiActionTable(), a.value), text);
        case 0x14:
            return text("mouse_key_fire_key");
        case 0x16:
            return TextOfRow(FirstRow(editors::FunctionKeyTable(),
                                      [](const CodeRow& row) { return row.type == 0x16; }),
                             text);
        case 0x22:
            return TextOfRow(RowWithValueCode(editors::ShortcutIndexTable(), a.value, a.code),
                             text);
        case 0x23:
            return TextOfRow(RowWithTypeValueCode(editors::FunctionKeyTable(), a), text);
        case 0x30:
            return TextOfRow(RowWithValueCode(editors::MediaKeyTable(), a.value, a.code), text);
        case 0x40:
            return TextOfRow(RowWithValueCode(editors::SystemKeyTable(), a.value, a.code), text);
        case 0x70:
        case 0x71:
            return a.value < macroNames.size() ? macroNames[a.value] : std::string();
        case 0xA0:
        case 0xD0: {
            const CodeRow* row = FirstRow(editors::FunctionKeyTable(), [&](const CodeRow& r) {
                return r.type == a.type && r.value == a.value;
            });
            if (row == nullptr) row = RowWithTypeValueCode(editors::KeyCodeTable(), a);
            return TextOfRow(row, text);
        }
        case 0x15:
        case 0x21:
        case 0x50:
        case 0x60:
        case 0xB0:
        case 0xC0:
            return {};
        default:
            return kOffLabel;
    }
}

std::string DefaultKeyName(int key, const LanguageText& text) {
    if (key < 0 || static_cast<size_t>(key) >= kKeyCodeTripleCount) return {};
    const KeyCodeTriple triple = FactoryTripleOfKey(key);
    KeyAssignment factory;
    factory.type = triple.type;
    factory.value = triple.value;
    factory.code = triple.code;
    return TextOfRow(RowWithTypeValueCode(editors::KeyCodeTable(), factory), text);
}

std::string KeyToolTipText(const std::string& defaultName, const std::string& label,
                           const LanguageText& text) {
    return defaultName + text(kKeySetTextKey) + label;
}

bool LabelIsDefaultName(const std::string& defaultName, const std::string& label) {
    if (defaultName.size() != label.size()) return false;
    for (size_t i = 0; i < label.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(defaultName[i]) != lower(label[i])) return false;
    }
    return true;
}

}  // namespace rerov
