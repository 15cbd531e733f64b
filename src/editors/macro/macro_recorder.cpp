#include "editors/macro/macro_recorder.h"

#include <algorithm>

#include "editors/assignment/code_tables.h"
#include "editors/macro/macro_library.h"

namespace rerov::editors {

namespace {

int ClampDelay(long long delay) {
    return static_cast<int>(std::clamp<long long>(delay, 0, kMaxStepDelay));
}

std::size_t Index(InsertMode mode) { return static_cast<std::size_t>(mode); }

}  // namespace

void MacroRecorder::SetSteps(std::vector<MacroEvent> steps) {
    steps_ = std::move(steps);
    selected_ = -1;
}

void MacroRecorder::Select(int row) {
    selected_ = row >= 0 && row < static_cast<int>(steps_.size()) ? row : -1;
}

void MacroRecorder::SetDelay(int row, long long delay) {
    if (row < 0 || row >= static_cast<int>(steps_.size())) return;
    steps_[static_cast<std::size_t>(row)].delay = ClampDelay(delay);
}

void MacroRecorder::SetFixedDelay(long long delay) { fixedDelay_ = ClampDelay(delay); }

void MacroRecorder::Start(RecordMode mode, InsertMode insert, std::int64_t nowMs) {
    mode_ = mode;
    insert_ = insert;
    recording_ = true;
    lastStepTime_ = nowMs;
}

bool MacroRecorder::RecordKey(InsertMode insert, std::uint8_t scanCode, bool extended, bool down,
                              std::int64_t nowMs) {
    // Auto-repeat: a held key repeats its press; only the first press and the release count.
    std::optional<std::pair<std::uint8_t, bool>>& last = lastKey_[Index(insert)];
    const std::pair<std::uint8_t, bool> key{scanCode, extended};
    if (down) {
        if (last == key) return false;
        last = key;
    } else if (last == key) {
        last.reset();
    }
    const auto row = FindScanRow(scanCode, extended);
    if (!row) return false;
    const CodeRow& code = KeyCodeTable()[static_cast<std::size_t>(*row)];
    MacroEvent step;
    if (*row < kModifierRowCount) {
        step.type = kStepModifier;
        step.button = code.value;
    } else {
        step.type = kStepKey;
        step.button = code.code;
    }
    step.down = down;
    return InsertRecorded(insert, step, nowMs);
}

bool MacroRecorder::RecordMouse(InsertMode insert, std::uint16_t message, int extraButton,
                                bool onStopButton, std::int64_t nowMs) {
    const auto row = FindMouseStepRow(message, extraButton);
    if (!row) return false;
    std::optional<int>& last = lastMouse_[Index(insert)];
    if (last == *row) return false;
    last = *row;
    // The click that stops the recording is not part of the macro.
    const MouseStepRow& r = MacroEventTable()[static_cast<std::size_t>(*row)];
    if (onStopButton && r.button == 0x01 && (message == kMsgLeftDown || message == kMsgLeftUp)) {
        return false;
    }
    return InsertRecorded(insert, StepOfRow(*row, 0), nowMs);
}

bool MacroRecorder::InsertRecorded(InsertMode insert, const MacroEvent& step, std::int64_t nowMs) {
    const int n = static_cast<int>(steps_.size());
    const int s = selected_;
    if (insert == InsertMode::Replace) {
        if (s < 0) return false;
        MacroEvent& target = steps_[static_cast<std::size_t>(s)];
        target.type = step.type;
        target.button = step.button;
        return true;
    }
    if (n >= kMaxMacroSteps) return false;
    if ((insert == InsertMode::Before || insert == InsertMode::After) && s < 0) return false;

    int gap = 0;
    if (mode_ == RecordMode::Measured) {
        gap = ClampDelay(nowMs - lastStepTime_);
        lastStepTime_ = nowMs;
    } else if (mode_ == RecordMode::Constant) {
        gap = fixedDelay_;
    }
    int position = n;
    if (insert == InsertMode::Before) position = s;
    if (insert == InsertMode::After) position = s + 1;

    MacroEvent added = step;
    added.delay = 0;
    const bool first = position == 0;
    if (!first) {
        added.delay = mode_ == RecordMode::Constant ? fixedDelay_ : 0;
        // Each step waits until the next one: the row above gets the time that passed.
        if (recordedBefore_) steps_[static_cast<std::size_t>(position - 1)].delay = gap;
    }
    steps_.insert(steps_.begin() + position, added);
    recordedBefore_ = true;
    selected_ = insert == InsertMode::Before ? s + 1 : position;
    return true;
}

void MacroRecorder::InsertMouseStep(int row, int distance) {
    if (row < 0 || static_cast<std::size_t>(row) >= MacroEventTable().size()) return;
    MacroEvent step = StepOfRow(row, fixedDelay_);
    if (row >= kRowMoveLeft && row <= kRowMoveDown) step.button = distance & 0xFF;
    const int position = selected_ < 0 ? 0 : selected_ + 1;
    steps_.insert(steps_.begin() + position, step);
    selected_ = position;
}

bool MacroRecorder::MoveUp() {
    if (selected_ <= 0) return false;
    std::swap(steps_[static_cast<std::size_t>(selected_)],
              steps_[static_cast<std::size_t>(selected_ - 1)]);
    --selected_;
    return true;
}

bool MacroRecorder::MoveDown() {
    if (selected_ < 0 || selected_ + 1 >= static_cast<int>(steps_.size())) return false;
    std::swap(steps_[static_cast<std::size_t>(selected_)],
              steps_[static_cast<std::size_t>(selected_ + 1)]);
    ++selected_;
    return true;
}

bool MacroRecorder::MoveToTop() {
    if (selected_ <= 0) return false;
    std::rotate(steps_.begin(), steps_.begin() + selected_, steps_.begin() + selected_ + 1);
    selected_ = 0;
    return true;
}

bool MacroRecorder::MoveToBottom() {
    if (selected_ < 0 || selected_ + 1 >= static_cast<int>(steps_.size())) return false;
    std::rotate(steps_.begin() + selected_, steps_.begin() + selected_ + 1, steps_.end());
    selected_ = static_cast<int>(steps_.size()) - 1;
    return true;
}

bool MacroRecorder::DeleteSelected() {
    if (selected_ < 0) return false;
    steps_.erase(steps_.begin() + selected_);
    selected_ = -1;
    return true;
}

void MacroRecorder::DeleteAll() {
    steps_.clear();
    selected_ = -1;
}

}  // namespace rerov::editors
