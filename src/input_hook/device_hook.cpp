#include "input_hook/device_hook.h"

#ifdef REROV_HAVE_X11_CAPTURE
#include "input_hook/x11_capture.h"
#endif
#ifdef REROV_HAVE_EVDEV_CAPTURE
#include "input_hook/evdev_capture.h"
#endif

namespace rerov::input_hook {

namespace {

constexpr std::array<const char*, kHookMessageCount> kNames{
    "WM_HOOK_KEY_SINGLEKEY_MSG",       "WM_HOOK_KEY_HITKEY_MSG",
    "WM_HOOK_KEY_KBMACRO_MSG",         "WM_HOOK_KEY_MSMACRO_MSG",
    "WM_HOOK_KEY_KBMACROSINGLE_MSG",   "WM_HOOK_KEY_KBMACROPREVIOUS_MSG",
    "WM_HOOK_KEY_KBMACROLATER_MSG",    "WM_HOOK_MOU_SINGLEKEY_MSG",
    "WM_HOOK_MOU_HITKEY_MSG",          "WM_HOOK_MOU_KBMACRO_MSG",
    "WM_HOOK_MOU_MSMACRO_MSG",         "WM_HOOK_KEY_MSMACROSINGLE_MSG",
    "WM_HOOK_KEY_MSMACROPREVIOUS_MSG", "WM_HOOK_KEY_MSMACROLATER_MSG",
    "UWM_MOUSERBUTTONDOWN_USER_MSG",   "UWM_MOUSELBUTTONUP_USER_MSG",
    "UWM_MOUSELBUTTONDOWN_USER_MSG",   "UWM_MOUSERBUTTONUP_USER_MSG",
    "UWM_MOUSERBUTTONDOWN_USER_MSG",   "UWM_MOUSEMOVE_USER_MSG",
};

struct ModeRow {
    int mode;
    HookMessage message;
};
constexpr ModeRow kKeyModes[] = {
    {kModeKeyCapture, HookMessage::KeySingleKey},
    {kModeHitKey, HookMessage::KeyHitKey},
    {kModeRecordAppend, HookMessage::KeyKbMacro},
    {kModeRecordBefore, HookMessage::KeyKbMacroPrevious},
    {kModeRecordAfter, HookMessage::KeyKbMacroLater},
    {kModeRecordReplace, HookMessage::KeyKbMacroSingle},
    {256, HookMessage::MouSingleKey},
    {512, HookMessage::MouHitKey},
    {1024, HookMessage::MouKbMacro},
};
constexpr ModeRow kMouseModes[] = {
    {kModeRecordAppend, HookMessage::KeyMsMacro},
    {kModeRecordBefore, HookMessage::KeyMsMacroPrevious},
    {kModeRecordAfter, HookMessage::KeyMsMacroLater},
    {kModeRecordReplace, HookMessage::KeyMsMacroSingle},
};

}  // namespace

const char* HookMessageName(HookMessage message) {
    const int index = static_cast<int>(message) - 1;
    if (index < 0 || index >= kHookMessageCount) return "";
    return kNames[static_cast<std::size_t>(index)];
}

std::optional<HookMessage> KeyMessageOfMode(int mode) {
    for (const ModeRow& row : kKeyModes) {
        if (row.mode == mode) return row.message;
    }
    return std::nullopt;
}

std::optional<HookMessage> MouseMessageOfMode(int mode) {
    for (const ModeRow& row : kMouseModes) {
        if (row.mode == mode) return row.message;
    }
    return std::nullopt;
}

CDeviceHook::CDeviceHook(std::unique_ptr<CaptureBackend> backend) : backend_(std::move(backend)) {
    if (backend_ == nullptr) return;
    // The handlers look the mode up at each event, so a re-install needs no new wiring.
    backend_->onKey = [this](const KeyEvent& event) {
        if (installed_ && onKey_) onKey_(KeyMessageOfMode(mode_), event);
    };
    backend_->onMouse = [this](const MouseEvent& event) {
        if (installed_ && onMouse_) onMouse_(MouseMessageOfMode(mode_), event);
    };
}

CDeviceHook::~CDeviceHook() {
    // Whoever installed the handlers may be going too: what is still queued is dropped.
    onKey_ = nullptr;
    onMouse_ = nullptr;
    Remove();
    if (backend_ != nullptr) {
        backend_->onKey = nullptr;
        backend_->onMouse = nullptr;
    }
}

CaptureKind ChooseCaptureKind(bool x11Available, bool evdevKeyboardReadable) {
    if (x11Available) return CaptureKind::X11;
    if (evdevKeyboardReadable) return CaptureKind::Evdev;
    return CaptureKind::Window;
}

std::unique_ptr<CaptureBackend> CDeviceHook::ChooseBackend(bool x11Session) {
    // Each backend is opened only when the better ones are not there: opening is the test
    // of whether it is available.
    std::unique_ptr<CaptureBackend> x11;
#ifdef REROV_HAVE_X11_CAPTURE
    if (x11Session) x11 = X11Capture::Open();
#else
    (void)x11Session;
#endif
    std::unique_ptr<CaptureBackend> evdev;
#ifdef REROV_HAVE_EVDEV_CAPTURE
    if (x11 == nullptr) evdev = EvdevCapture::Open();
#endif
    switch (ChooseCaptureKind(x11 != nullptr, evdev != nullptr)) {
        case CaptureKind::X11:
            return x11;
        case CaptureKind::Evdev:
            return evdev;
        case CaptureKind::Window:
            break;
    }
    return nullptr;
}

int CDeviceHook::Install(int mode, KeyHandler onKey, MouseHandler onMouse) {
    Remove();
    if (backend_ == nullptr || !backend_->Start()) return 0;
    mode_ = mode;
    onKey_ = std::move(onKey);
    onMouse_ = std::move(onMouse);
    installed_ = true;
    return 1;
}

void CDeviceHook::Remove() {
    if (backend_ != nullptr) backend_->Stop();
    installed_ = false;
    onKey_ = nullptr;
    onMouse_ = nullptr;
}

std::string CDeviceHook::BackendName() const {
    return backend_ != nullptr ? backend_->Name() : "window";
}

}  // namespace rerov::input_hook
