// The desktop-wide capture on a real X server (run under xvfb-run): keys synthesised with
// XTest arrive as set-1 scan keys, no other client gets a key while the capture holds the
// keyboard (the lock keys still toggle), stopping or destroying the capture gives the
// keyboard back, and a recording made from the captured keys has the measured delays.

#include "input_hook/x11_capture.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <chrono>
#include <thread>
#include <vector>

#include "editors/macro/macro_recorder.h"
#include "input_hook/scan_codes.h"

// Xlib's macros (None, Status, Bool) clash with names of the headers above: it comes last.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace rerov::input_hook {
namespace {

using Clock = std::chrono::steady_clock;

constexpr unsigned kKeycodeA = 30 + kX11KeycodeOffset;
constexpr unsigned kKeycodeB = 48 + kX11KeycodeOffset;
constexpr unsigned kKeycodeKeypadEnter = 96 + kX11KeycodeOffset;
constexpr unsigned kKeycodeCapsLock = 58 + kX11KeycodeOffset;

class X11CaptureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "no X display (run under xvfb-run)";
        test_ = XOpenDisplay(nullptr);
        ASSERT_NE(test_, nullptr);
        int event = 0, error = 0, major = 0, minor = 0;
        ASSERT_TRUE(XTestQueryExtension(test_, &event, &error, &major, &minor)) << "no XTest";
        capture_ = X11Capture::Open();
        ASSERT_NE(capture_, nullptr);
        capture_->onKey = [this](const KeyEvent& key) { keys_.push_back(key); };
        capture_->onMouse = [this](const MouseEvent& mouse) { mice_.push_back(mouse); };
    }
    void TearDown() override {
        capture_.reset();
        if (window_ != 0) XDestroyWindow(test_, window_);
        if (test_ != nullptr) XCloseDisplay(test_);
    }

    void Tap(unsigned keycode) {
        XTestFakeKeyEvent(test_, keycode, True, 0);
        XTestFakeKeyEvent(test_, keycode, False, 0);
        XSync(test_, False);
    }
    // Lets the capture read until `done` or two seconds pass.
    template <typename Done>
    bool Pump(Done done) {
        const auto end = Clock::now() + std::chrono::seconds(2);
        while (Clock::now() < end) {
            capture_->DispatchPending();
            if (done()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }
    // A window of another client that has the input focus and listens to keys.
    void MakeFocusedWindow() {
        window_ = XCreateSimpleWindow(test_, DefaultRootWindow(test_), 0, 0, 200, 200, 0, 0, 0);
        XSelectInput(test_, window_, KeyPressMask | KeyReleaseMask | FocusChangeMask);
        XMapWindow(test_, window_);
        XSync(test_, False);
        XSetInputFocus(test_, window_, RevertToParent, CurrentTime);
        XSync(test_, False);
        DrainWindow();
    }
    // Key presses the window received in the last `ms` milliseconds.
    int WindowKeyPresses(int ms) {
        int presses = 0;
        const auto end = Clock::now() + std::chrono::milliseconds(ms);
        while (Clock::now() < end) {
            while (XPending(test_) > 0) {
                XEvent event;
                XNextEvent(test_, &event);
                if (event.type == KeyPress) ++presses;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return presses;
    }
    void DrainWindow() { WindowKeyPresses(50); }
    bool CapsLocked() {
        XkbStateRec state{};
        XkbGetState(test_, XkbUseCoreKbd, &state);
        return (state.locked_mods & LockMask) != 0;
    }

    Display* test_ = nullptr;
    Window window_ = 0;
    std::unique_ptr<X11Capture> capture_;
    std::vector<KeyEvent> keys_;
    std::vector<MouseEvent> mice_;
};

TEST_F(X11CaptureTest, KeysArriveAsScanKeys) {
    ASSERT_TRUE(capture_->Start());
    Tap(kKeycodeA);
    Tap(kKeycodeKeypadEnter);
    ASSERT_TRUE(Pump([&] { return keys_.size() >= 4; })) << keys_.size() << " key events";
    EXPECT_EQ(keys_[0].key, (ScanKey{0x1E, false}));
    EXPECT_TRUE(keys_[0].down);
    EXPECT_FALSE(keys_[1].down);
    EXPECT_EQ(keys_[2].key, (ScanKey{0x1C, true})) << "keypad Enter is the extended Enter";
}

TEST_F(X11CaptureTest, TheDesktopGetsNoKeyWhileCapturedButLocksToggle) {
    MakeFocusedWindow();
    Tap(kKeycodeA);
    ASSERT_EQ(WindowKeyPresses(300), 1) << "the window hears keys before the capture";

    ASSERT_TRUE(capture_->Start());
    const bool capsBefore = CapsLocked();
    Tap(kKeycodeA);
    Tap(kKeycodeCapsLock);
    EXPECT_EQ(WindowKeyPresses(300), 0) << "a key reached another client during the capture";
    EXPECT_NE(CapsLocked(), capsBefore) << "Caps Lock must still toggle";
    ASSERT_TRUE(Pump([&] { return keys_.size() >= 4; }));

    capture_->Stop();
    Tap(kKeycodeB);
    EXPECT_EQ(WindowKeyPresses(300), 1) << "the keyboard was not given back";
    if (CapsLocked() != capsBefore) Tap(kKeycodeCapsLock);
}

TEST_F(X11CaptureTest, DestroyingTheCaptureGivesTheKeyboardBack) {
    MakeFocusedWindow();
    ASSERT_TRUE(capture_->Start());
    capture_.reset();
    Tap(kKeycodeB);
    EXPECT_EQ(WindowKeyPresses(300), 1);
}

TEST_F(X11CaptureTest, ASecondGrabIsRefusedCleanly) {
    auto other = X11Capture::Open();
    ASSERT_NE(other, nullptr);
    ASSERT_TRUE(other->Start());
    EXPECT_FALSE(capture_->Start());
    EXPECT_FALSE(capture_->IsStarted());
    other.reset();
    EXPECT_TRUE(capture_->Start());
}

TEST_F(X11CaptureTest, MouseButtonsOfTheDesktopAreReported) {
    ASSERT_TRUE(capture_->Start());
    XTestFakeMotionEvent(test_, -1, 120, 80, 0);
    XTestFakeButtonEvent(test_, 9, True, 0);
    XTestFakeButtonEvent(test_, 9, False, 0);
    XTestFakeButtonEvent(test_, 3, True, 0);
    XTestFakeButtonEvent(test_, 3, False, 0);
    XSync(test_, False);
    ASSERT_TRUE(Pump([&] { return mice_.size() >= 4; })) << mice_.size() << " mouse events";
    EXPECT_EQ(mice_[0].message, kMouseExtraDown);
    EXPECT_EQ(mice_[0].extraButton, kExtraForward);
    EXPECT_EQ(mice_[1].message, kMouseExtraUp);
    EXPECT_EQ(mice_[2].message, kMouseRightDown);
    EXPECT_EQ(mice_[2].x, 120);
    EXPECT_EQ(mice_[2].y, 80);
    EXPECT_EQ(mice_[3].message, kMouseRightUp);
}

TEST_F(X11CaptureTest, RecordingAThenBAfter300MillisecondsMeasuresTheGap) {
    editors::MacroRecorder recorder;
    const auto start = Clock::now();
    const auto now = [start] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    };
    capture_->onKey = [&](const KeyEvent& key) {
        recorder.RecordKey(editors::InsertMode::Append, key.key.scanCode, key.key.extended,
                           key.down, now());
    };
    recorder.Start(editors::RecordMode::Measured, editors::InsertMode::Append, now());
    ASSERT_TRUE(capture_->Start());
    XTestFakeKeyEvent(test_, kKeycodeA, True, 0);
    XSync(test_, False);
    ASSERT_TRUE(Pump([&] { return recorder.Steps().size() == 1; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    XTestFakeKeyEvent(test_, kKeycodeB, True, 0);
    XSync(test_, False);
    ASSERT_TRUE(Pump([&] { return recorder.Steps().size() == 2; }));
    XTestFakeKeyEvent(test_, kKeycodeA, False, 0);
    XTestFakeKeyEvent(test_, kKeycodeB, False, 0);
    XSync(test_, False);
    // The gap is measured when the press is read: at least the 300 ms slept, and a loaded
    // machine may add to it.
    EXPECT_GE(recorder.Steps()[0].delay, 300);
    EXPECT_LT(recorder.Steps()[0].delay, 1500);
    EXPECT_EQ(recorder.Steps()[1].delay, 0);
    EXPECT_EQ(recorder.Steps()[0].button, 0x04);
    EXPECT_EQ(recorder.Steps()[1].button, 0x05);
    // Stopping delivers what is still queued (the releases): the recorder must still be there.
    capture_->Stop();
    EXPECT_EQ(recorder.Steps().size(), 4u);
}

}  // namespace
}  // namespace rerov::input_hook

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    // An X server resets when its last client leaves and refuses connections meanwhile: one
    // connection stays open for the whole run.
    Display* keeper = qEnvironmentVariableIsEmpty("DISPLAY") ? nullptr : XOpenDisplay(nullptr);
    const int result = RUN_ALL_TESTS();
    if (keeper != nullptr) XCloseDisplay(keeper);
    return result;
}
