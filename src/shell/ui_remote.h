#pragma once
// What the IPC channel may ask of the window's controls (rerovctl app ui ..., app screenshot):
// list the named controls, act on one as a person would, take a picture. The shell's
// remote_ui implements it on the real widgets; tests use fakes. UI thread only.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace rerov {

// One named control as a person sees it. Optional members are reported only for the kinds
// of control that have them.
struct ControlInfo {
    std::string window;     // object name of the window it belongs to
    std::string name;       // its object name
    std::string className;  // its layout class name ("Button", "Option"), else its Qt class
    bool visible = false;   // shown on screen (itself and every parent)
    bool enabled = false;
    int x = 0, y = 0, width = 0, height = 0;  // in its window's coordinates
    std::optional<bool> checked;              // checkable buttons
    std::optional<bool> selected;             // options and list rows
    std::optional<std::string> text;          // label, button or edit text; combo's item text
    std::optional<int> index;                 // combo box / list: current item (-1: none)
    std::optional<int> count;                 // combo box / list: number of items
    std::optional<int> value;                 // slider, progress bar, spin box
    std::optional<int> minimum;
    std::optional<int> maximum;
    std::optional<std::string> bkimage;  // toolkit controls: the background image, when set
    std::optional<std::string> bkcolor;  // toolkit controls: "#AARRGGBB", when not 0
};

// What a person does to a control.
struct UiAction {
    enum class Kind {
        Click,   // left click at its centre
        Select,  // pick item `number` of a combo box, list or group of options
        Text,    // type `text` into an edit and finish it with Return
        Value,   // move a slider to `number` with the keyboard
    };
    Kind kind = Kind::Click;
    std::string control;  // object name; the top-most modal window's control wins
    int number = 0;
    std::string text;
};

// The picture `SaveScreenshot` wrote.
struct ScreenshotInfo {
    std::string window;  // object name of the window pictured
    int width = 0;
    int height = 0;
};

class UiRemote {
  public:
    // Called once with an empty string when the action was carried out, else with why not.
    using Done = std::function<void(const std::string& error)>;

    virtual ~UiRemote() = default;
    // The named controls of the main window, then of each open modal window (the top-most
    // last), each window's own row first.
    virtual std::vector<ControlInfo> Controls() const = 0;
    // Writes a PNG of the top-most modal window, or of the main window when none is open, to
    // the absolute `path`, atomically: a failure leaves no file behind. False with a reason.
    virtual bool SaveScreenshot(const std::string& path, ScreenshotInfo* info,
                                std::string* error) = 0;
    // Carries out `action` through mouse and key events from the event loop. `done` runs
    // once the events and what they posted were handled, or once they opened a modal window
    // (whose loop then runs on); at once (still from the event loop) when refused.
    virtual void Perform(const UiAction& action, Done done) = 0;
};

}  // namespace rerov
