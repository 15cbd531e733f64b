#include "devices/keyboard/key_marks.h"

#include <algorithm>

namespace rerov {

bool IsDefaultAssignment(const KeyEntry& entry) {
    return entry.current.type == entry.defaults.type &&
           entry.current.value == entry.defaults.value && entry.current.code == entry.defaults.code;
}

namespace {

// The new marks of key i when key k is selected.
KeyMarkFlags MarksAfterSelection(KeyMarkFlags flags, const KeyEntry& entry, bool selected) {
    const bool isDefault = IsDefaultAssignment(entry);
    const KeyMarkFlags marked{flags.changed, false, true};
    const KeyMarkFlags unmarked{flags.changed, true, false};
    if (flags.pendingState) {
        if (isDefault && !selected) return unmarked;
        if (!isDefault || entry.current.reserved != entry.defaults.reserved) return marked;
        return unmarked;
    }
    if (selected) return marked;
    if (!flags.pendingMark) return flags;
    return unmarked;
}

}  // namespace

std::vector<int> SelectKeyMarks(std::vector<KeyMarkFlags>* marks, const std::vector<KeyEntry>& keys,
                                int selected, const std::function<bool(int)>& hasButton) {
    std::vector<int> changed;
    if (selected < 0 || static_cast<size_t>(selected) >= keys.size()) return changed;
    const size_t count = std::min(marks->size(), keys.size());
    for (size_t i = 0; i < count; ++i) {
        const int key = static_cast<int>(i);
        if (hasButton && !hasButton(key)) continue;
        const KeyMarkFlags after = MarksAfterSelection((*marks)[i], keys[i], key == selected);
        if (after == (*marks)[i]) continue;
        (*marks)[i] = after;
        changed.push_back(key);
    }
    return changed;
}

}  // namespace rerov
