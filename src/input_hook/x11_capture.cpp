#include "input_hook/x11_capture.h"

#include <QLoggingCategory>
#include <QSocketNotifier>
#include <array>
#include <chrono>
#include <thread>

// Xlib's macros (None, Status, Bool) clash with Qt's names: it comes after Qt.
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

namespace rerov::input_hook {

Q_LOGGING_CATEGORY(lcCapture, "rerov.input_hook", QtWarningMsg)

namespace {

// X button numbers of the buttons a macro records: left, middle, right, back, forward.
constexpr int kButtonLeft = 1;
constexpr int kButtonMiddle = 2;
constexpr int kButtonRight = 3;
constexpr int kButtonBack = 8;
constexpr int kButtonForward = 9;

constexpr int kGrabAttempts = 10;
constexpr std::chrono::milliseconds kGrabRetryPause{20};

}  // namespace

std::unique_ptr<X11Capture> X11Capture::Open(const char* displayName) {
    Display* display = XOpenDisplay(displayName);
    if (display == nullptr) return nullptr;
    int opcode = 0, event = 0, error = 0;
    // From XInput 2.1 on, raw events reach the root window even while another client holds
    // the pointer (a button pressed over a window grabs it until the release).
    int major = 2, minor = 2;
    if (!XQueryExtension(display, "XInputExtension", &opcode, &event, &error) ||
        XIQueryVersion(display, &major, &minor) != Success) {
        XCloseDisplay(display);
        return nullptr;
    }
    std::unique_ptr<X11Capture> capture(new X11Capture());
    capture->display_ = display;
    capture->root_ = DefaultRootWindow(display);
    capture->xiOpcode_ = opcode;
    capture->notifier_ =
        new QSocketNotifier(ConnectionNumber(display), QSocketNotifier::Read, capture.get());
    QObject::connect(capture->notifier_, &QSocketNotifier::activated, capture.get(),
                     [raw = capture.get()] { raw->DispatchPending(); });
    return capture;
}

X11Capture::~X11Capture() {
    Stop();
    // Closing the connection also ends any grab it holds.
    if (display_ != nullptr) XCloseDisplay(display_);
}

bool X11Capture::Start() {
    if (display_ == nullptr) return false;
    if (started_) return true;
    XIEventMask mask;
    std::array<unsigned char, XIMaskLen(XI_LASTEVENT)> bits{};
    XISetMask(bits.data(), XI_RawButtonPress);
    XISetMask(bits.data(), XI_RawButtonRelease);
    mask.deviceid = XIAllMasterDevices;
    mask.mask_len = static_cast<int>(bits.size());
    mask.mask = bits.data();
    XISelectEvents(display_, root_, &mask, 1);
    // No owner events: every key of the desktop comes to this connection. A grab another
    // client holds for a moment (a menu that is closing) is waited out briefly.
    int grabbed = AlreadyGrabbed;
    for (int attempt = 0; attempt < kGrabAttempts; ++attempt) {
        if (attempt > 0) std::this_thread::sleep_for(kGrabRetryPause);
        grabbed = XGrabKeyboard(display_, root_, False, GrabModeAsync, GrabModeAsync, CurrentTime);
        if (grabbed == GrabSuccess) break;
    }
    if (grabbed != GrabSuccess) {
        qCWarning(lcCapture) << "keyboard grab refused:" << grabbed;
        bits.fill(0);
        XISelectEvents(display_, root_, &mask, 1);
        XFlush(display_);
        return false;
    }
    XSync(display_, False);
    started_ = true;
    return true;
}

void X11Capture::Stop() {
    if (!started_ || display_ == nullptr) return;
    // What arrived while started belongs to the capture, even when the event loop has not
    // read it yet.
    XSync(display_, False);
    DispatchPending();
    started_ = false;
    XUngrabKeyboard(display_, CurrentTime);
    XIEventMask mask;
    std::array<unsigned char, XIMaskLen(XI_LASTEVENT)> bits{};
    mask.deviceid = XIAllMasterDevices;
    mask.mask_len = static_cast<int>(bits.size());
    mask.mask = bits.data();
    XISelectEvents(display_, root_, &mask, 1);
    // The release must reach the server now, not with the next request.
    XSync(display_, False);
    // Events already queued belong to the capture that ended.
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == GenericEvent) XFreeEventData(display_, &event.xcookie);
    }
}

void X11Capture::DispatchPending() {
    if (display_ == nullptr) return;
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        HandleEvent(&event);
    }
}

void X11Capture::HandleEvent(void* raw) {
    auto* event = static_cast<XEvent*>(raw);
    if (event->type == KeyPress || event->type == KeyRelease) {
        if (!started_ || !onKey) return;
        const auto scan = ScanKeyOfEvdev(static_cast<int>(event->xkey.keycode) - kX11KeycodeOffset);
        if (scan) onKey({*scan, event->type == KeyPress});
        return;
    }
    if (event->type != GenericEvent || event->xcookie.extension != xiOpcode_) return;
    if (!XGetEventData(display_, &event->xcookie)) return;
    const int type = event->xcookie.evtype;
    int button = 0;
    if (type == XI_RawButtonPress || type == XI_RawButtonRelease) {
        button = static_cast<const XIRawEvent*>(event->xcookie.data)->detail;
    }
    XFreeEventData(display_, &event->xcookie);
    if (!started_ || !onMouse || button == 0) return;
    const bool down = type == XI_RawButtonPress;
    MouseEvent mouse;
    switch (button) {
        case kButtonLeft:
            mouse.message = down ? kMouseLeftDown : kMouseLeftUp;
            break;
        case kButtonRight:
            mouse.message = down ? kMouseRightDown : kMouseRightUp;
            break;
        case kButtonMiddle:
            mouse.message = down ? kMouseMiddleDown : kMouseMiddleUp;
            break;
        case kButtonBack:
        case kButtonForward:
            mouse.message = down ? kMouseExtraDown : kMouseExtraUp;
            mouse.extraButton = button == kButtonBack ? kExtraBack : kExtraForward;
            break;
        default:
            return;  // the wheel and buttons no step has
    }
    // Raw events carry no position: the pointer's place now is where the click was.
    Window rootReturn = 0, childReturn = 0;
    int rootX = 0, rootY = 0, winX = 0, winY = 0;
    unsigned int buttons = 0;
    if (XQueryPointer(display_, root_, &rootReturn, &childReturn, &rootX, &rootY, &winX, &winY,
                      &buttons)) {
        mouse.x = rootX;
        mouse.y = rootY;
    }
    onMouse(mouse);
}

}  // namespace rerov::input_hook
