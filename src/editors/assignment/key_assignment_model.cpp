#include "editors/assignment/key_assignment_model.h"

#include <cctype>
#include <limits>
#include <span>

#include "editors/assignment/code_tables.h"

namespace rerov::editors {

namespace {

bool SameFunction(const KeyAssignment& a, const KeyAssignment& b) {
    return a.type == b.type && a.value == b.value && a.code == b.code;
}

// Copies Type, Value and Code of a table row; index and reserved byte stay.
void TakeRow(const CodeRow& row, KeyAssignment* assignment) {
    assignment->type = row.type;
    assignment->value = row.value;
    assignment->code = row.code;
}

// The row at a combo selection, or null when nothing (or nothing valid) is selected.
const CodeRow* RowAt(std::span<const CodeRow> table, int selection) {
    if (selection < 0 || static_cast<std::size_t>(selection) >= table.size()) return nullptr;
    return &table[static_cast<std::size_t>(selection)];
}

int SelectionOf(std::span<const CodeRow> table, std::uint8_t value, std::uint8_t code) {
    return FindValueCode(table, value, code).value_or(-1);
}

std::uint8_t LowByte(long number) { return static_cast<std::uint8_t>(number & 0xFF); }

// High nibble delay, low nibble speed: each keeps only its low four bits.
std::uint8_t PackDelaySpeed(const std::string& delay, const std::string& speed) {
    return static_cast<std::uint8_t>(((ParseDecimal(delay) & 0x0F) << 4) |
                                     (ParseDecimal(speed) & 0x0F));
}

}  // namespace

long ParseDecimal(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        // Saturates rather than overflowing; the callers keep only the low bits anyway.
        if (value > (std::numeric_limits<long>::max() - 9) / 10) break;
        value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

bool KeyAssignmentModel::IsCategoryOffered(int category) const {
    if (category < 0 || category >= kCategoryCount) return false;
    if (kind_ == kKindKeyboard) return category != kCategoryDpi && category != kCategoryGunKey;
    return true;
}

void KeyAssignmentModel::SetKeyEntry(const KeyAssignment& current, const KeyAssignment& defaults) {
    entry_.current = current;
    entry_.defaults = defaults;
    ShowAssignment(entry_.current);
}

void KeyAssignmentModel::SelectModifierOption(int n) {
    form_.modifierOptions.fill(false);
    if (n >= 0 && n < kModifierOptionCount)
        form_.modifierOptions[static_cast<std::size_t>(n)] = true;
}

int KeyAssignmentModel::SelectedModifierOption() const {
    for (int n = 0; n < kModifierOptionCount; ++n) {
        if (form_.modifierOptions[static_cast<std::size_t>(n)]) return n;
    }
    return -1;
}

void KeyAssignmentModel::ChooseCategory(int category) {
    form_.category = category;
    if (category == kCategoryKeyboard) {
        form_.keyTextKey.clear();
        form_.modifierOptions.fill(false);
    }
}

void KeyAssignmentModel::ChooseMacroRunMode(int item) {
    form_.macroRunMode = item;
    form_.macroRepeatVisible = item == kMacroRepeatItem;
}

void KeyAssignmentModel::ResetFields() {
    form_.mouseButton = 0;
    form_.dpiAction = 0;
    form_.fireInterval = "50";
    form_.fireCount = "2";
    form_.media = 0;
    form_.system = 0;
    form_.macro = 0;
    form_.macroRunMode = 0;
    form_.macroRepeatCount = "1";
    form_.gunKey = 0;
    form_.shortcut = 0;
}

KeyEntry KeyAssignmentModel::ComposeAssignment() {
    entry_.current = ComposeFromFields(entry_.current);
    return entry_;
}

KeyAssignment KeyAssignmentModel::ComposeFromFields(KeyAssignment current) const {
    const KeySetForm& f = form_;
    const auto take = [&current](std::span<const CodeRow> table, int selection) {
        if (const CodeRow* row = RowAt(table, selection)) TakeRow(*row, &current);
    };
    switch (f.category) {
        case kCategoryMouseButton:
            take(MouseButtonTable(), f.mouseButton);
            break;
        case kCategoryTilt: {
            current.type = kTypeTilt;
            current.value = PackDelaySpeed(f.tiltDelay, f.tiltSpeed);
            const long n = ParseDecimal(f.tiltCount);
            if (f.tiltDirection == 1) current.code = LowByte(n) | 0x80;
            if (f.tiltDirection == 0) current.code = LowByte(n) & 0x7F;
            break;
        }
        case kCategoryWheel: {
            current.type = kTypeWheel;
            current.value = PackDelaySpeed(f.wheelDelay, f.wheelSpeed);
            const long n = ParseDecimal(f.wheelCount);
            // Down is the two's complement of the count: down 3 is 0xFD.
            if (f.wheelDirection == 1) current.code = LowByte(128 - n) | 0x80;
            if (f.wheelDirection == 0) current.code = LowByte(n) & 0x7F;
            break;
        }
        case kCategoryDpi:
            take(DpiActionTable(), f.dpiAction);
            break;
        case kCategoryFire:
            current.type = kTypeFire;
            current.value = LowByte(ParseDecimal(f.fireInterval));
            current.code = LowByte(ParseDecimal(f.fireCount));
            break;
        case kCategoryKeyboard: {
            current.type = kTypeKey;
            const int n = SelectedModifierOption();
            current.value = n <= 0 ? 0 : ModifierBitOfOption(n);
            if (f.keyTextKey.empty()) current.code = 0;
            break;
        }
        case kCategoryMedia:
            take(MediaKeyTable(), f.media);
            break;
        case kCategorySystem:
            take(SystemKeyTable(), f.system);
            break;
        case kCategoryShortcut:
            take(ShortcutKeyTable(), f.shortcut);
            break;
        case kCategoryMacro:
            if (f.macro < 0 || f.macro >= macroCount_) break;
            current.value = static_cast<std::uint8_t>(f.macro);
            if (f.macroRunMode == kMacroRepeatItem) {
                current.type = kTypeMacroRepeat;
                current.code = LowByte(ParseDecimal(f.macroRepeatCount));
            } else {
                current.type = kTypeMacro;
                // No run mode selected counts as the first one.
                current.code = static_cast<std::uint8_t>(f.macroRunMode < 0 ? 0 : f.macroRunMode);
            }
            break;
        case kCategoryGunKey:
            if (f.gunKey < 0) break;
            current.type = kTypeGunKey;
            current.value = LowByte(f.gunKey);
            current.code = 0;
            break;
        default:  // the default category and anything unknown: the factory function
            current.type = entry_.defaults.type;
            current.value = entry_.defaults.value;
            current.code = entry_.defaults.code;
            current.reserved = entry_.defaults.reserved;
            current.keyIndex = entry_.defaults.keyIndex;
            break;
    }
    return current;
}

void KeyAssignmentModel::ShowAssignment(const KeyAssignment& assignment) {
    KeySetForm& f = form_;
    int category = -1;
    if (SameFunction(assignment, entry_.defaults)) {
        category = kCategoryDefault;
    } else {
        switch (assignment.type) {
            case kTypeDefault:
                category = kCategoryDefault;
                break;
            case kTypeMouseButton:
                category = kCategoryMouseButton;
                f.mouseButton = SelectionOf(MouseButtonTable(), assignment.value, assignment.code);
                break;
            case kTypeDpiAction:
                category = kCategoryDpi;
                f.dpiAction = SelectionOf(DpiActionTable(), assignment.value, assignment.code);
                break;
            case kTypeMedia:
                category = kCategoryMedia;
                f.media = SelectionOf(MediaKeyTable(), assignment.value, assignment.code);
                break;
            case kTypeSystem:
                category = kCategorySystem;
                f.system = SelectionOf(SystemKeyTable(), assignment.value, assignment.code);
                break;
            case kTypeTilt:
                category = kCategoryTilt;
                f.tiltDelay = std::to_string(assignment.value >> 4);
                f.tiltSpeed = std::to_string(assignment.value & 0x0F);
                f.tiltDirection = (assignment.code & 0x80) != 0 ? 1 : 0;
                f.tiltCount = std::to_string(assignment.code & 0x7F);
                break;
            case kTypeWheel:
                category = kCategoryWheel;
                f.wheelDelay = std::to_string(assignment.value >> 4);
                f.wheelSpeed = std::to_string(assignment.value & 0x0F);
                f.wheelDirection = (assignment.code & 0x80) != 0 ? 1 : 0;
                f.wheelCount =
                    std::to_string((assignment.code & 0x80) != 0 ? 128 - (assignment.code & 0x7F)
                                                                 : assignment.code);
                break;
            case kTypeFire:
                category = kCategoryFire;
                f.fireInterval = std::to_string(assignment.value);
                f.fireCount = std::to_string(assignment.code);
                break;
            case kTypeKey:
                category = kCategoryKeyboard;
                if (assignment.value == 0) {
                    if (const auto row = FindKeyRowByUsage(assignment.code)) {
                        SelectModifierOption(0);
                        f.keyTextKey = KeyCodeTable()[static_cast<std::size_t>(*row)].nameKey;
                    } else {
                        // A key without a table row cannot be shown: it becomes "nothing".
                        f.modifierOptions.fill(false);
                        f.keyTextKey.clear();
                        KeyAssignment cleared = assignment;
                        cleared.value = 0;
                        cleared.code = 0;
                        entry_.current = cleared;
                    }
                } else if (assignment.value == kShortcutModifier) {
                    category = kCategoryShortcut;
                    f.shortcut = SelectionOf(ShortcutKeyTable(), assignment.value, assignment.code);
                } else if (assignment.value <= 0x80) {
                    const auto modifier = FindModifierRow(assignment.value);
                    SelectModifierOption(modifier ? ModifierOptionOfRow(*modifier) : 0);
                    const auto row = FindKeyRowByUsage(assignment.code, kModifierRowCount);
                    f.keyTextKey =
                        row ? KeyCodeTable()[static_cast<std::size_t>(*row)].nameKey : "";
                }
                // Several modifiers at once: the keyboard page with its fields as they are.
                break;
            case kTypeMacro:
            case kTypeMacroRepeat: {
                category = kCategoryMacro;
                const bool known = assignment.value < macroCount_;
                const bool repeat = assignment.type == kTypeMacroRepeat;
                if (!known) {
                    f.macro = -1;
                    f.macroRunMode = -1;
                } else {
                    f.macro = assignment.value;
                    if (repeat) {
                        f.macroRunMode = kMacroRepeatItem;
                    } else {
                        f.macroRunMode =
                            assignment.code < kMacroRunModeCount ? assignment.code : -1;
                    }
                }
                f.macroRepeatVisible = repeat && known;
                if (repeat) {
                    f.macroRepeatCount = std::to_string(assignment.code);
                    f.macroRunMode = known ? kMacroRepeatItem : -1;
                }
                break;
            }
            case kTypeGunKey:
                category = kCategoryGunKey;
                f.gunKey = assignment.value < gunKeyCount_ ? assignment.value : -1;
                break;
            case kTypeShortcutNone:
                category = kCategoryShortcut;
                f.shortcut = -1;
                break;
            default:
                break;
        }
    }
    if (!IsCategoryOffered(category)) {
        f.bodyVisible = false;
        return;
    }
    f.bodyVisible = true;
    f.category = category;
}

bool KeyAssignmentModel::CaptureKey(std::uint8_t scanCode, std::uint32_t flags) {
    const auto row = FindScanRow(scanCode, (flags & 1u) != 0);
    if (!row) return false;
    const CodeRow& code = KeyCodeTable()[static_cast<std::size_t>(*row)];
    if (code.type != kTypeKey) return false;
    KeyAssignment captured = entry_.current;
    TakeRow(code, &captured);
    if (*row >= kModifierRowCount) {
        if (SelectedModifierOption() < 0) {
            SelectModifierOption(0);
        } else {
            captured.value = ComposeFromFields(entry_.current).value;
        }
        form_.keyTextKey = code.nameKey;
    } else {
        // A modifier alone: its option, and no key.
        SelectModifierOption(ModifierOptionOfRow(*row));
        form_.keyTextKey.clear();
    }
    StoreCurrent(captured);
    return true;
}

}  // namespace rerov::editors
