#pragma once
// KeyboardKeyEditing: the key assignment editor on the keyboard page. It builds the editor
// into the page's "key_editor_place", routes the picture's keys and the editor's controls
// through the page's pump, and keeps the key list of the profile shown: selecting a key
// shows its entry, applying stores the composed entry in the key list and saves the
// profile file. Keys are captured while the key text has the focus, by the capture source
// the window provides (or inside the window when it provides none). UI thread only.

#include <QObject>
#include <QPointer>
#include <filesystem>
#include <functional>
#include <vector>

#include "input_hook/scan_codes.h"
#include "profiles/profile_records.h"

namespace rerov::editors {
class CKeySetControlUI;
}

namespace rerov {

class CDevicePageUI;

/// Where captured keys come from beyond the window: the shell's input hook.
class KeyCaptureSource {
  public:
    virtual ~KeyCaptureSource() = default;
    /// Starts capturing; every key press goes to `onKey` and every mouse button press of
    /// the desktop to `onPress` (screen position), on the UI thread, until Stop. False when
    /// this source cannot capture (the window then captures inside itself).
    virtual bool StartKeyCapture(std::function<void(input_hook::ScanKey)> onKey,
                                 std::function<void(int x, int y)> onPress) = 0;
    virtual void StopKeyCapture() = 0;
    /// How keys are captured, for the editor's tip ("the whole desktop (X11)" ...).
    virtual QString CaptureDescription() const = 0;
    /// True when keys are captured only inside the program's window.
    virtual bool CapturesInWindowOnly() const = 0;
};

class KeyboardKeyEditing : public QObject {
    Q_OBJECT
  public:
    /// Builds the editor into `page` and routes it; null when the page has no place for it
    /// or the editor's layout cannot be built. The page owns the result.
    static KeyboardKeyEditing* Attach(CDevicePageUI& page);

    /// The editing of `page`, or null.
    static KeyboardKeyEditing* Of(CDevicePageUI& page);

    editors::CKeySetControlUI* Editor() const { return editor_; }
    /// The capture source (null: inside the window only). Not owned.
    void SetCaptureSource(KeyCaptureSource* source);

    /// Opens key `key` of the picture in the editor (the key list is read from the profile
    /// shown now).
    void SelectKey(int key);
    /// Composes the editor's entry, stores it for the selected key and saves the profile.
    void ApplyKeyEntry();
    /// Saves the key list into the profile file; false when the file cannot be written.
    bool SaveKeyList();
    /// The key list as last read or applied.
    const std::vector<KeyEntry>& Keys() const { return keys_; }
    /// The macro names the editor offers, re-read from the macro list file.
    void ReloadMacroNames();
    /// True when a key of the profile shown runs macro `index`.
    bool ProfileUsesMacro(int index);
    /// Re-reads the key list (after another part changed the profile file) and shows the
    /// selected key again.
    void ReloadKeys();
    /// Re-reads the macro names and shows the selected key again (a macro was renamed).
    void RefreshKeyLabels();

  private:
    KeyboardKeyEditing(CDevicePageUI& page, editors::CKeySetControlUI* editor);
    void SetUpRoutes();
    bool LoadKeys();
    std::filesystem::path CurrentProfilePath() const;
    void StartCapture();
    void StopCapture();
    void OnCapturedKey(input_hook::ScanKey key);
    void OnPressDuringCapture(int x, int y);
    void UpdateCaptureNote();

    CDevicePageUI& page_;
    editors::CKeySetControlUI* editor_;
    KeyCaptureSource* source_ = nullptr;
    bool capturing_ = false;
    bool sourceCapturing_ = false;
    std::vector<KeyEntry> keys_;
    std::filesystem::path keysPath_;  // the profile file the key list came from
};

}  // namespace rerov
