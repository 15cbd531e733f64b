#pragma once
// HookKeyCapture: the key editor's capture source over the main window's input hook
// (mode 1, key capture): key presses of the whole desktop, and the mouse presses that end a
// capture.

#include "devices/pages/keyboard_key_editing.h"
#include "input_hook/device_hook.h"

namespace rerov::shell {

class HookKeyCapture : public KeyCaptureSource {
  public:
    explicit HookKeyCapture(input_hook::CDeviceHook& hook) : hook_(hook) {}
    bool StartKeyCapture(std::function<void(input_hook::ScanKey)> onKey,
                         std::function<void(int x, int y)> onPress) override;
    void StopKeyCapture() override;
    QString CaptureDescription() const override;
    bool CapturesInWindowOnly() const override { return !hook_.IsDesktopWide(); }

  private:
    input_hook::CDeviceHook& hook_;
};

}  // namespace rerov::shell
