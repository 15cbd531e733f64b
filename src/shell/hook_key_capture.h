#pragma once
// HookKeyCapture: the editors' capture sources over the main window's input hook: the key
// editor's capture (mode 1: key presses of the whole desktop, and the mouse presses that
// end it) and the macro recorder's (modes 4, 8, 16, 32: keys and mouse buttons).

#include "devices/pages/keyboard_key_editing.h"
#include "devices/pages/keyboard_macro_editing.h"
#include "input_hook/device_hook.h"

namespace rerov::shell {

class HookKeyCapture : public KeyCaptureSource, public MacroCaptureSource {
  public:
    explicit HookKeyCapture(input_hook::CDeviceHook& hook) : hook_(hook) {}
    bool StartKeyCapture(std::function<void(input_hook::ScanKey)> onKey,
                         std::function<void(int x, int y)> onPress) override;
    void StopKeyCapture() override;
    QString CaptureDescription() const override;
    bool CapturesInWindowOnly() const override { return !hook_.IsDesktopWide(); }
    bool StartRecordCapture(editors::InsertMode insert, KeyHandler onKey,
                            MouseHandler onMouse) override;
    void StopRecordCapture() override;

  private:
    input_hook::CDeviceHook& hook_;
};

}  // namespace rerov::shell
