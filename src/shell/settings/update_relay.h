#pragma once
// What an updater, a program of its own, tells the settings window through the program's
// local channel, and the update state that outlives the window. The program itself never
// downloads or writes firmware: it only shows what the updater reports.

namespace rerov::shell {

/// The relay codes an updater sends; the value goes with code 4 only.
enum class RelayCode : int {
    Finished = 1,  // the current row's update finished
    Failed = 2,    // the transfer failed (counts only while a transfer runs)
    Aborted = 3,   // the transfer was given up
    Progress = 4,  // the value is the percentage done
};

/// True for the codes above.
bool IsRelayCode(int code);

/// The program-wide update state: whether the user started an update in the settings
/// window, and the updater's transfer state (0 idle, -1 given up; other values are the
/// updater's). Both survive the window. UI thread only.
struct UpdateProgress {
    bool updateStarted = false;
    int transferState = 0;
};

/// The one program-wide state.
UpdateProgress& ProgramUpdateProgress();

}  // namespace rerov::shell
