#pragma once
// KeyboardMacroEditing: the macro editor on the keyboard page. It builds the editor into
// the page's "macro_editor_place", routes its buttons and menu through the page's pump,
// keeps the key editor's macro list in step, renumbers the key assignments of every
// profile when a macro is deleted, and records from the capture source the window provides
// (or from the program's own window when it provides none). UI thread only.

#include <QObject>
#include <functional>
#include <optional>

#include "editors/macro/macro_recorder.h"
#include "input_hook/scan_codes.h"

namespace rerov::editors {
class CMacroControlUI;
}

namespace rerov {

class CDevicePageUI;

/// Where a recording's input comes from beyond the window: the shell's input hook.
class MacroCaptureSource {
  public:
    virtual ~MacroCaptureSource() = default;
    using KeyHandler = std::function<void(input_hook::ScanKey key, bool down)>;
    using MouseHandler = std::function<void(int message, int extraButton, int x, int y)>;
    /// Takes the desktop's keyboard and mouse for a recording that inserts by `insert`.
    /// False when this source cannot (the window then records what reaches it).
    virtual bool StartRecordCapture(editors::InsertMode insert, KeyHandler onKey,
                                    MouseHandler onMouse) = 0;
    virtual void StopRecordCapture() = 0;
};

/// The window's prompts (the message box), by language key.
struct PagePrompts {
    std::function<bool(const QString& key)> confirm;
    std::function<void(const QString& key)> notice;
};

class KeyboardMacroEditing : public QObject {
    Q_OBJECT
  public:
    /// Builds the editor into `page` and routes it; null when the page has no place for it.
    static KeyboardMacroEditing* Attach(CDevicePageUI& page);
    static KeyboardMacroEditing* Of(CDevicePageUI& page);
    ~KeyboardMacroEditing() override;

    editors::CMacroControlUI* Editor() const { return editor_; }
    void SetCaptureSource(MacroCaptureSource* source) { source_ = source; }
    void SetPrompts(PagePrompts prompts) { prompts_ = std::move(prompts); }

    /// Starts a recording (the timing mode from "macro_check_time" unless given).
    void StartRecording(editors::InsertMode insert, std::optional<editors::RecordMode> mode = {});
    void StopRecording();
    /// Deletes the selected macro after the confirmations, renumbering the assignments.
    void DeleteSelectedMacro();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    KeyboardMacroEditing(CDevicePageUI& page, editors::CMacroControlUI* editor);
    void SetUpRoutes();
    void OnMenu(const QString& item);
    void NamesChanged();
    // The selected macro was saved: downloaded again when a key runs it.
    void MacroChanged();
    bool Confirm(const char* key);
    void Notice(const char* key);

    CDevicePageUI& page_;
    editors::CMacroControlUI* editor_;
    MacroCaptureSource* source_ = nullptr;
    PagePrompts prompts_;
    bool sourceRecording_ = false;
    bool windowRecording_ = false;
    editors::InsertMode insert_ = editors::InsertMode::Append;
};

}  // namespace rerov
