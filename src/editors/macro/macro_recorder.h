#pragma once
// MacroRecorder: the steps of the macro being edited and every rule of recording into them,
// without widgets: where a recorded step goes (append, before, after, replace), the delays
// of the three timing modes, the auto-repeat and stop-button filters, the step limit, the
// steps inserted by hand and the row moves. The clock is passed in (milliseconds), so the
// timing rules are tested exactly. UI thread only.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "editors/macro/macro_event.h"

namespace rerov::editors {

/// How the delays of a recording are set.
enum class RecordMode {
    Measured = 1,  // the time between the steps as the user made them
    Constant = 2,  // the fixed delay
    NoDelay = 3,   // zero
};

/// Where a recorded step goes.
enum class InsertMode { Append = 0, Before = 1, After = 2, Replace = 3 };
inline constexpr int kInsertModeCount = 4;

/// The fixed delay when the editor is created (milliseconds).
inline constexpr int kDefaultFixedDelay = 50;

class MacroRecorder {
  public:
    /// The rows and the selection (-1: none).
    const std::vector<MacroEvent>& Steps() const { return steps_; }
    int Selected() const { return selected_; }
    /// Replaces every row (a macro was loaded); nothing selected.
    void SetSteps(std::vector<MacroEvent> steps);
    /// Selects a row (-1 or out of range: none).
    void Select(int row);
    /// Sets the delay of one row, clamped to 0..65535.
    void SetDelay(int row, long long delay);

    /// The fixed delay of constant mode and of steps inserted by hand, clamped to 0..65535.
    void SetFixedDelay(long long delay);
    int FixedDelay() const { return fixedDelay_; }

    /// A recording starts now (`nowMs` on the caller's clock).
    void Start(RecordMode mode, InsertMode insert, std::int64_t nowMs);
    /// The recording ends.
    void Stop() { recording_ = false; }
    bool IsRecording() const { return recording_; }
    RecordMode Mode() const { return mode_; }
    InsertMode Insert() const { return insert_; }

    /// A key event from the hook for the handler of `insert`: set-1 scan code, extended flag,
    /// press or release. True when a step was inserted (or a row replaced).
    bool RecordKey(InsertMode insert, std::uint8_t scanCode, bool extended, bool down,
                   std::int64_t nowMs);
    /// A mouse message from the hook for the handler of `insert`, with the extra-button
    /// number and whether the pointer is on the stop button. True when a step was inserted.
    bool RecordMouse(InsertMode insert, std::uint16_t message, int extraButton, bool onStopButton,
                     std::int64_t nowMs);

    /// Inserts MacroEventTable row `row` by hand (a movement carries `distance`, low 8 bits)
    /// after the selected row, or first when none is selected; the new row is selected.
    void InsertMouseStep(int row, int distance = 0);

    /// Row operations on the selected row; false when the condition does not hold.
    bool MoveUp();
    bool MoveDown();
    bool MoveToTop();
    bool MoveToBottom();
    bool DeleteSelected();
    void DeleteAll();

  private:
    bool InsertRecorded(InsertMode insert, const MacroEvent& step, std::int64_t nowMs);

    std::vector<MacroEvent> steps_;
    int selected_ = -1;
    int fixedDelay_ = kDefaultFixedDelay;
    bool recording_ = false;
    RecordMode mode_ = RecordMode::Measured;
    InsertMode insert_ = InsertMode::Append;
    std::int64_t lastStepTime_ = 0;
    bool recordedBefore_ = false;
    // Per handler: the last accepted key press (scan code, extended) and mouse row.
    std::array<std::optional<std::pair<std::uint8_t, bool>>, kInsertModeCount> lastKey_{};
    std::array<std::optional<int>, kInsertModeCount> lastMouse_{};
};

}  // namespace rerov::editors
