#pragma once
// Key labels: the name of a key's current assignment, from the code tables of the key
// editor, and the tool tip a key button shows with it. Language texts come through a
// lookup, so this works without the user interface.

#include <functional>
#include <string>
#include <vector>

#include "profiles/profile_records.h"

namespace rerov {

/// The display text of a language key.
using LanguageText = std::function<std::string(const std::string& key)>;

/// The label of an assignment type the tables do not know (shown as it is, untranslated).
inline constexpr const char* kOffLabel = "关闭";
/// Language key that joins a key's name and its assignment in the tool tip.
inline constexpr const char* kKeySetTextKey = "Key_Set";

/// The label of `assignment`; "" when it has none. Macro assignments are named from
/// `macroNames` (their Value is the index) as they are, without translation.
std::string AssignmentLabel(const KeyAssignment& assignment,
                            const std::vector<std::string>& macroNames, const LanguageText& text);

/// The key's own name: the text of the keyboard row whose Type, Value and Code equal the
/// factory triple of key index `key`; "" when none.
std::string DefaultKeyName(int key, const LanguageText& text);

/// The tool tip of a key button: its name, the text of "Key_Set", the label.
std::string KeyToolTipText(const std::string& defaultName, const std::string& label,
                           const LanguageText& text);

/// True when the label names the key's own function: equal to its name, ASCII case ignored.
bool LabelIsDefaultName(const std::string& defaultName, const std::string& label);

}  // namespace rerov
