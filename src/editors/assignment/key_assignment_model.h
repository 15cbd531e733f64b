#pragma once
// KeyAssignmentModel: the key assignment editor without its widgets. It holds the selected
// key's entry and the editor's fields as plain data (KeySetForm), turns the fields into an
// assignment (Compose) and an assignment into fields (Show), and takes a captured key
// (CaptureKey). The widget copies the fields to and from its controls, so every rule here
// is tested without a window.

#include <array>
#include <cstdint>
#include <string>

#include "profiles/profile_records.h"

namespace rerov::editors {

/// Categories of the editor: the user data of the "keyset_function_combo" items and the
/// page numbers of "function_switch_tablayout".
enum KeyCategory : int {
    kCategoryDefault = 0,
    kCategoryMouseButton = 1,
    kCategoryTilt = 2,
    kCategoryWheel = 3,
    kCategoryDpi = 4,
    kCategoryFire = 5,
    kCategoryKeyboard = 6,
    kCategoryMedia = 7,
    kCategorySystem = 8,
    kCategoryMacro = 9,
    kCategoryGunKey = 10,
    kCategoryShortcut = 11,
};
inline constexpr int kCategoryCount = 12;

/// Items of "keyset_macro_over_combo": run modes 0-3, then 4 = repeat a number of times.
inline constexpr int kMacroRunModeCount = 4;
inline constexpr int kMacroRepeatItem = 4;
/// Modifier options "key_ComBox_check_0" (none) to "key_ComBox_check_4" (Win).
inline constexpr int kModifierOptionCount = 5;

/// Device kinds that change what the editor offers.
inline constexpr int kKindKeyboard = 1;

/// The editor's fields. A selection of -1 means no item is selected; texts are the edit
/// contents as typed.
struct KeySetForm {
    int category = -1;  // selected category, -1 none
    bool bodyVisible = false;
    int mouseButton = -1;
    int tiltDirection = -1;  // 0 left, 1 right
    std::string tiltCount, tiltDelay, tiltSpeed;
    int wheelDirection = -1;  // 0 up, 1 down
    std::string wheelCount, wheelDelay, wheelSpeed;
    int dpiAction = -1;
    std::string fireInterval = "50", fireCount = "2";
    std::string keyTextKey;  // language key shown in the key text; empty: the text is clear
    std::array<bool, kModifierOptionCount> modifierOptions{};
    int media = -1;
    int system = -1;
    int macro = -1;
    int macroRunMode = -1;
    std::string macroRepeatCount = "1";
    bool macroRepeatVisible = false;
    int gunKey = -1;
    int shortcut = -1;
    bool operator==(const KeySetForm&) const = default;
};

class KeyAssignmentModel {
  public:
    /// Kind 1 (keyboard) offers no DPI and no gun-key category; other kinds offer all.
    void SetDeviceKind(int kind) { kind_ = kind; }
    int DeviceKind() const { return kind_; }
    /// True when the category's item is offered for the device kind.
    bool IsCategoryOffered(int category) const;

    /// Item counts of the lists that are not fixed tables.
    void SetMacroCount(int count) { macroCount_ = count < 0 ? 0 : count; }
    int MacroCount() const { return macroCount_; }
    void SetGunKeyCount(int count) { gunKeyCount_ = count < 0 ? 0 : count; }

    /// The fields (the widget reads them before Compose and shows them after every call).
    KeySetForm& Form() { return form_; }
    const KeySetForm& Form() const { return form_; }
    /// The stored entry of the selected key.
    const KeyEntry& Entry() const { return entry_; }

    /// Stores both assignments and shows Current.
    void SetKeyEntry(const KeyAssignment& current, const KeyAssignment& defaults);
    void ShowDefault() { ShowAssignment(entry_.defaults); }
    void ShowCurrent() { ShowAssignment(entry_.current); }
    /// Overwrites the stored Current without showing it.
    void StoreCurrent(const KeyAssignment& assignment) { entry_.current = assignment; }
    /// Builds Current from the fields of the selected category, stores it and returns the
    /// entry. KeyIndex and Reserved of Current never change.
    KeyEntry ComposeAssignment();
    /// Shows `assignment` in the fields: the category it belongs to and its values. The body
    /// is hidden when no offered category fits it.
    void ShowAssignment(const KeyAssignment& assignment);
    /// Puts the fixed lists and the fire and repeat edits back to their first values (the
    /// scroll and tilt fields stay).
    void ResetFields();

    /// Selects modifier option n alone (n outside 0-4: none).
    void SelectModifierOption(int n);
    /// The lowest selected modifier option, or -1.
    int SelectedModifierOption() const;

    /// The user chose a category in the combo: it becomes the shown page; the keyboard
    /// category starts with a clear key text and no modifier.
    void ChooseCategory(int category);
    /// The user chose a run mode: the repeat count shows only for the repeat item.
    void ChooseMacroRunMode(int item);

    /// A key press reported by the hook while the key text has the focus (set-1 scan code
    /// and the hook's flags, bit 0 extended). False when the key has no table row and the
    /// press is ignored; true when the caller should apply (compose and hand on) the entry.
    bool CaptureKey(std::uint8_t scanCode, std::uint32_t flags);

  private:
    KeyAssignment ComposeFromFields(KeyAssignment current) const;

    int kind_ = 0;
    int macroCount_ = 0;
    int gunKeyCount_ = 0;
    KeySetForm form_;
    KeyEntry entry_;
};

/// Decimal text as the editor reads it: optional sign and leading digits, anything else 0.
long ParseDecimal(const std::string& text);

}  // namespace rerov::editors
