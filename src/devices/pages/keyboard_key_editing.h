#pragma once
// KeyboardKeyEditing: the key assignment editor on the keyboard page. It builds the editor
// into the page's "key_editor_place", routes the picture's keys and the editor's controls
// through the page's pump and edits the keyboard object's key list: selecting a key shows
// its entry (and the object marks it), applying stores the composed entry in the object,
// saves it in the profile file and downloads the keys; every download is reported through
// `downloaded`, for the window to show. Keys are captured while the key text has the focus, by the
// capture source the window provides (or inside the window when it provides none). UI thread only.

#include <QObject>
#include <QPointer>
#include <filesystem>
#include <functional>
#include <vector>

#include "devices/keyboard/keyboard_device.h"
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

    /// Opens key `key` of the picture in the editor (the object selects and marks it).
    void SelectKey(int key);
    /// Composes the editor's entry and stores it for the selected key in the object, which
    /// saves it and labels the keys again; false when no key is selected.
    bool StoreKeyEntry();
    /// "key_butt_keysave": StoreKeyEntry, save the key list, download keys and macros.
    void ApplyKeyEntry();
    /// The object saves its key list into the profile file (read again first); false when
    /// there is no profile or it cannot be written.
    bool SaveKeyList();
    /// "key_butt_prosave": saves the key list and downloads everything the object holds
    /// (report -1 without a download when the profile could not be saved).
    DownloadReport SaveAndDownloadAll();
    /// The object's key list.
    std::vector<KeyEntry> Keys() const;
    /// The keyboard object the editor edits.
    CZidiraKeyboardDevice& Keyboard() const;
    /// The macro names the editor offers, re-read from the macro list file.
    void ReloadMacroNames();
    /// True when a key of the profile shown runs macro `index`.
    bool ProfileUsesMacro(int index);
    /// The object takes the profile file again (another part changed it), then the labels
    /// and the selected key show it.
    void ReloadKeys();
    /// Re-reads the macro names and shows the labels and the selected key again (a macro was
    /// renamed).
    void RefreshKeyLabels();
    /// A key of the profile runs macro `index`, which changed: keys and macros go to the
    /// device again, with the report.
    void DownloadIfMacroUsed(int index);

  signals:
    /// A download of the editor came to `report` (also -1 when the profile could not be
    /// saved and nothing was sent).
    void downloaded(const rerov::DownloadReport& report);

  protected:
    bool event(QEvent* event) override;

  private:
    KeyboardKeyEditing(CDevicePageUI& page, CZidiraKeyboardDevice& keyboard,
                       editors::CKeySetControlUI* editor);
    void SetUpRoutes();
    void ShowSelectedKeyAgain();
    // Marks follow a download that went through; then `downloaded`.
    void Report(const DownloadReport& report);
    void StartCapture();
    void StopCapture();
    void OnCapturedKey(input_hook::ScanKey key);
    void OnPressDuringCapture(int x, int y);
    void UpdateCaptureNote();

    CDevicePageUI& page_;
    CZidiraKeyboardDevice& keyboard_;
    editors::CKeySetControlUI* editor_;
    KeyCaptureSource* source_ = nullptr;
    bool capturing_ = false;
    bool sourceCapturing_ = false;
};

}  // namespace rerov
