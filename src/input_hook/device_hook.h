#pragma once
// CDeviceHook: the one input hook of the program (the main window owns it). Installed with
// a mode, it takes the keyboard and the mouse through the capture backend chosen at start
// and reports every event under the name of the hook message the mode sends (key capture,
// recording append/before/after/replace). Remove, a new Install and the destructor give
// everything back.

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "input_hook/capture_backend.h"

namespace rerov::input_hook {

/// The twenty hook messages, numbered as they are registered (1-based).
enum class HookMessage {
    KeySingleKey = 1,
    KeyHitKey,
    KeyKbMacro,
    KeyMsMacro,
    KeyKbMacroSingle,
    KeyKbMacroPrevious,
    KeyKbMacroLater,
    MouSingleKey,
    MouHitKey,
    MouKbMacro,
    MouMsMacro,
    KeyMsMacroSingle,
    KeyMsMacroPrevious,
    KeyMsMacroLater,
    MouseRButtonDown,
    MouseLButtonUp,
    MouseLButtonDown,
    MouseRButtonUp,
    MouseRButtonDownAgain,
    MouseMove,
};
inline constexpr int kHookMessageCount = 20;
/// The registered name of a message ("WM_HOOK_KEY_SINGLEKEY_MSG" ...).
const char* HookMessageName(HookMessage message);

/// Hook modes.
inline constexpr int kModeKeyCapture = 1;
inline constexpr int kModeHitKey = 2;
inline constexpr int kModeRecordAppend = 4;
inline constexpr int kModeRecordBefore = 8;
inline constexpr int kModeRecordAfter = 16;
inline constexpr int kModeRecordReplace = 32;

/// The message of the keyboard events of a mode (modes 1, 2, 4, 8, 16, 32, 256, 512,
/// 1024), or nothing.
std::optional<HookMessage> KeyMessageOfMode(int mode);
/// The message of the mouse events of a mode (4, 8, 16, 32), or nothing (mode 1 reports
/// mouse buttons without a message: only to end a key capture).
std::optional<HookMessage> MouseMessageOfMode(int mode);

/// The ways of capturing, best first.
enum class CaptureKind { X11, Evdev, Window };
/// X11 where the session has an X11 display the program can use, else the kernel's devices
/// where a keyboard node can be read, else only the program's window.
CaptureKind ChooseCaptureKind(bool x11Available, bool evdevKeyboardReadable);

class CDeviceHook {
  public:
    using KeyHandler = std::function<void(std::optional<HookMessage>, const KeyEvent&)>;
    using MouseHandler = std::function<void(std::optional<HookMessage>, const MouseEvent&)>;

    /// A hook over `backend` (null: nothing can be captured beyond the program's window).
    explicit CDeviceHook(std::unique_ptr<CaptureBackend> backend);
    ~CDeviceHook();
    CDeviceHook(const CDeviceHook&) = delete;
    CDeviceHook& operator=(const CDeviceHook&) = delete;

    /// The desktop-wide backend for this session (see ChooseCaptureKind), or none.
    static std::unique_ptr<CaptureBackend> ChooseBackend(bool x11Session);

    /// Removes what is installed, then takes the input for `mode`. 1 on success, 0 when the
    /// input cannot be taken (no backend, or another program holds the keyboard); the mode
    /// stays as it was then.
    int Install(int mode, KeyHandler onKey, MouseHandler onMouse);
    /// Gives everything back. Harmless when nothing is installed.
    void Remove();
    bool IsInstalled() const { return installed_; }
    int Mode() const { return mode_; }
    /// "x11", "evdev", or "window" when only the program's window can be captured.
    std::string BackendName() const;
    bool IsDesktopWide() const { return backend_ != nullptr && backend_->IsDesktopWide(); }

  private:
    std::unique_ptr<CaptureBackend> backend_;
    bool installed_ = false;
    int mode_ = 0;
    KeyHandler onKey_;
    MouseHandler onMouse_;
};

}  // namespace rerov::input_hook
