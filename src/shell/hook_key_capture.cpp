#include "shell/hook_key_capture.h"

#include <QGuiApplication>

#include "controls/language_texts.h"
#include "shell/dialogs/msg_wnd.h"
#include "shell/main_wnd.h"

namespace rerov::shell {

bool HookKeyCapture::StartKeyCapture(std::function<void(input_hook::ScanKey)> onKey,
                                     std::function<void(int x, int y)> onPress) {
    if (!hook_.IsDesktopWide()) return false;
    return hook_.Install(
               input_hook::kModeKeyCapture,
               [onKey](std::optional<input_hook::HookMessage>, const input_hook::KeyEvent& event) {
                   if (event.down && onKey) onKey(event.key);
               },
               [onPress](std::optional<input_hook::HookMessage>,
                         const input_hook::MouseEvent& event) {
                   const bool press = event.message == input_hook::kMouseLeftDown ||
                                      event.message == input_hook::kMouseRightDown ||
                                      event.message == input_hook::kMouseMiddleDown ||
                                      event.message == input_hook::kMouseExtraDown;
                   if (press && onPress) onPress(event.x, event.y);
               }) == 1;
}

void HookKeyCapture::StopKeyCapture() { hook_.Remove(); }

bool HookKeyCapture::StartRecordCapture(editors::InsertMode insert, KeyHandler onKey,
                                        MouseHandler onMouse) {
    if (!hook_.IsDesktopWide()) return false;
    int mode = input_hook::kModeRecordAppend;
    if (insert == editors::InsertMode::Before) mode = input_hook::kModeRecordBefore;
    if (insert == editors::InsertMode::After) mode = input_hook::kModeRecordAfter;
    if (insert == editors::InsertMode::Replace) mode = input_hook::kModeRecordReplace;
    return hook_.Install(
               mode,
               [onKey](std::optional<input_hook::HookMessage> message,
                       const input_hook::KeyEvent& event) {
                   if (message && onKey) onKey(event.key, event.down);
               },
               [onMouse](std::optional<input_hook::HookMessage> message,
                         const input_hook::MouseEvent& event) {
                   if (message && onMouse) {
                       onMouse(event.message, event.extraButton, event.x, event.y);
                   }
               }) == 1;
}

void HookKeyCapture::StopRecordCapture() { hook_.Remove(); }

QString HookKeyCapture::CaptureDescription() const {
    const std::string name = hook_.BackendName();
    if (name == "x11") return ui::Tr(QStringLiteral("capture_x11"));
    if (name == "evdev") return ui::Tr(QStringLiteral("capture_evdev"));
    return ui::Tr(QStringLiteral("capture_in_window"));
}

KeyCaptureSource* CMainWnd::KeyCapture() {
    if (!keyCapture_) {
        // The backend is chosen once: the whole desktop where the session allows it.
        hook_ = std::make_unique<input_hook::CDeviceHook>(input_hook::CDeviceHook::ChooseBackend(
            QGuiApplication::platformName() == QLatin1String("xcb")));
        keyCapture_ = std::make_unique<HookKeyCapture>(*hook_);
    }
    return keyCapture_.get();
}

void CMainWnd::ConnectMacroEditing(KeyboardMacroEditing& editing) {
    KeyCapture();  // makes the hook
    editing.SetCaptureSource(keyCapture_.get());
    editing.SetPrompts({[this](const QString& key) { return ConfirmMessage(this, key, Dpi()); },
                        [this](const QString& key) { ShowMessage(this, key, Dpi()); }});
}

}  // namespace rerov::shell
