#pragma once
// The marks of the key buttons: "changed" (the key does something else than its default)
// and "pending" (selected, or edited since the last download). Selecting a key moves the
// pending marks by one rule, kept here apart from any widget.

#include <functional>
#include <vector>

#include "profiles/profile_records.h"

namespace rerov {

/// The marks of one key button. A clear flag draws its image: `changed` clear draws the
/// "changed against the default" mark, `pendingMark` clear draws the "pending" mark;
/// `pendingState` is not drawn and remembers an edited key across selections.
struct KeyMarkFlags {
    bool changed = true;
    bool pendingMark = true;
    bool pendingState = false;
    bool operator==(const KeyMarkFlags&) const = default;
};

/// True when the entry's current Type, Value and Code equal its default's.
bool IsDefaultAssignment(const KeyEntry& entry);

/// The marks after key `selected` was selected: the selected key gets a pending mark, an
/// edited key keeps its mark while others are selected, and selecting again a pending key
/// whose assignment equals its default clears its mark. Only keys below both sizes for
/// which `hasButton` says yes take part. Returns the keys whose marks changed.
std::vector<int> SelectKeyMarks(std::vector<KeyMarkFlags>* marks, const std::vector<KeyEntry>& keys,
                                int selected, const std::function<bool(int)>& hasButton);

}  // namespace rerov
