// The evdev capture against a virtual keyboard and mouse made through uinput: keys and
// buttons arrive as scan keys and mouse messages, the keyboard is grabbed only while
// started, and the lock keys are passed on to the desktop. Where /dev/uinput cannot be
// written (no kernel module, no permission) the tests say so and skip.

#include "input_hook/evdev_capture.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/uinput.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "input_hook/lock_key_injector.h"

namespace rerov::input_hook {
namespace {

using Clock = std::chrono::steady_clock;
constexpr const char* kVirtualName = "rerov-ever test keyboard";

// A virtual keyboard with a mouse's buttons, made through uinput.
class VirtualKeyboard {
  public:
    bool Create() {
        fd_ = open("/dev/uinput", O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd_ < 0) return false;
        bool ok = ioctl(fd_, UI_SET_EVBIT, EV_KEY) == 0;
        for (int code = KEY_ESC; code <= KEY_KPDOT; ++code)
            ok = ok && ioctl(fd_, UI_SET_KEYBIT, code) == 0;
        for (int code : {BTN_LEFT, BTN_RIGHT, BTN_SIDE})
            ok = ok && ioctl(fd_, UI_SET_KEYBIT, code) == 0;
        uinput_setup setup{};
        setup.id.bustype = BUS_VIRTUAL;
        std::strncpy(setup.name, kVirtualName, UINPUT_MAX_NAME_SIZE - 1);
        return ok && ioctl(fd_, UI_DEV_SETUP, &setup) == 0 && ioctl(fd_, UI_DEV_CREATE) == 0;
    }
    ~VirtualKeyboard() {
        if (fd_ < 0) return;
        ioctl(fd_, UI_DEV_DESTROY);
        close(fd_);
    }
    void Send(int code, int value) {
        Write(EV_KEY, code, value);
        Write(EV_SYN, SYN_REPORT, 0);
    }
    void Tap(int code) {
        Send(code, 1);
        Send(code, 0);
    }

  private:
    void Write(int type, int code, int value) {
        input_event event{};
        event.type = static_cast<std::uint16_t>(type);
        event.code = static_cast<std::uint16_t>(code);
        event.value = value;
        ASSERT_EQ(write(fd_, &event, sizeof event), static_cast<ssize_t>(sizeof event));
    }
    int fd_ = -1;
};

// Reads a node by name, as another program of the desktop would.
int OpenByName(const std::string& name) {
    for (int i = 0; i < 256; ++i) {
        const std::string path = "/dev/input/event" + std::to_string(i);
        const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        char buffer[256] = {};
        if (ioctl(fd, EVIOCGNAME(sizeof buffer - 1), buffer) >= 0 && name == buffer) return fd;
        close(fd);
    }
    return -1;
}

// Key records another reader of `fd` gets within `ms` milliseconds.
std::vector<int> KeyCodesRead(int fd, int ms) {
    std::vector<int> codes;
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < end) {
        input_event event{};
        if (read(fd, &event, sizeof event) == static_cast<ssize_t>(sizeof event)) {
            if (event.type == EV_KEY) codes.push_back(event.code);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    return codes;
}

class EvdevCaptureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (QCoreApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "input_hook_tests";
            static char* argv[] = {name, nullptr};
            static QCoreApplication app(argc, argv);
        }
        if (access("/dev/uinput", W_OK) != 0) {
            GTEST_SKIP() << "cannot write /dev/uinput (" << std::strerror(errno)
                         << "): no virtual keyboard to capture";
        }
        ASSERT_TRUE(keyboard_.Create()) << std::strerror(errno);
        // The node appears once the kernel and udev have made it.
        const auto end = Clock::now() + std::chrono::seconds(3);
        while (capture_ == nullptr && Clock::now() < end) {
            capture_ = EvdevCapture::Open(
                "/dev/input", [](const std::string& name) { return name == kVirtualName; });
            if (capture_ == nullptr) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (capture_ == nullptr) GTEST_SKIP() << "the virtual keyboard's node cannot be read";
        capture_->onKey = [this](const KeyEvent& key) { keys_.push_back(key); };
        capture_->onMouse = [this](const MouseEvent& mouse) { mice_.push_back(mouse); };
    }

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

    VirtualKeyboard keyboard_;
    std::unique_ptr<EvdevCapture> capture_;
    std::vector<KeyEvent> keys_;
    std::vector<MouseEvent> mice_;
};

TEST_F(EvdevCaptureTest, KeysAndButtonsArriveWhileStarted) {
    ASSERT_TRUE(capture_->Start());
    keyboard_.Tap(KEY_A);
    keyboard_.Tap(KEY_KPENTER);
    keyboard_.Tap(BTN_SIDE);
    ASSERT_TRUE(Pump([this] { return keys_.size() >= 4 && mice_.size() >= 2; }));
    EXPECT_EQ(keys_[0].key, (ScanKey{0x1E, false}));
    EXPECT_TRUE(keys_[0].down);
    EXPECT_FALSE(keys_[1].down);
    EXPECT_EQ(keys_[2].key, (ScanKey{0x1C, true}));
    EXPECT_EQ(mice_[0].message, kMouseExtraDown);
    EXPECT_EQ(mice_[0].extraButton, kExtraBack);
    EXPECT_EQ(mice_[1].message, kMouseExtraUp);
    capture_->Stop();
    keyboard_.Tap(KEY_B);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    capture_->DispatchPending();
    EXPECT_EQ(keys_.size(), 4u) << "nothing is read after Stop";
}

TEST_F(EvdevCaptureTest, TheKeyboardIsGrabbedOnlyWhileStarted) {
    const int other = OpenByName(kVirtualName);
    ASSERT_GE(other, 0);
    ASSERT_TRUE(capture_->Start());
    keyboard_.Tap(KEY_A);
    EXPECT_TRUE(KeyCodesRead(other, 100).empty()) << "another reader got a key under the grab";
    capture_->Stop();
    keyboard_.Tap(KEY_B);
    EXPECT_EQ(KeyCodesRead(other, 100), (std::vector<int>{KEY_B, KEY_B}));
    ASSERT_TRUE(capture_->Start());
    capture_.reset();
    keyboard_.Tap(KEY_C);
    EXPECT_EQ(KeyCodesRead(other, 100), (std::vector<int>{KEY_C, KEY_C}))
        << "destroying the capture gives the keyboard back";
    close(other);
}

TEST_F(EvdevCaptureTest, TheLockKeysStillReachTheDesktop) {
    ASSERT_TRUE(capture_->Start());
    if (!capture_->PassesLockKeys()) GTEST_SKIP() << "the lock key device could not be made";
    int locks = -1;
    const auto end = Clock::now() + std::chrono::seconds(3);
    while ((locks = OpenByName(kLockKeyDeviceName)) < 0 && Clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_GE(locks, 0) << "the lock key device has no node";
    keyboard_.Tap(KEY_CAPSLOCK);
    keyboard_.Tap(KEY_A);
    EXPECT_TRUE(Pump([this] { return keys_.size() >= 4; })) << "both are captured";
    EXPECT_EQ(KeyCodesRead(locks, 150), (std::vector<int>{KEY_CAPSLOCK, KEY_CAPSLOCK}))
        << "Caps Lock is passed on, A is not";
    close(locks);
}

TEST_F(EvdevCaptureTest, AHandlerMayStopTheCapture) {
    capture_->onKey = [this](const KeyEvent& key) {
        keys_.push_back(key);
        capture_->Stop();
    };
    ASSERT_TRUE(capture_->Start());
    keyboard_.Tap(KEY_A);
    keyboard_.Tap(KEY_B);
    ASSERT_TRUE(Pump([this] { return !keys_.empty(); }));
    EXPECT_FALSE(capture_->IsStarted());
    const std::size_t seen = keys_.size();
    EXPECT_LE(seen, 4u);
    keyboard_.Tap(KEY_C);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    capture_->DispatchPending();
    QCoreApplication::processEvents();
    EXPECT_EQ(keys_.size(), seen) << "nothing is reported after the handler's Stop";
}

TEST(EvdevCaptureOpen, NoReadableKeyboardMeansNoCapture) {
    // Files named like event nodes that are no devices (every ioctl fails), and a missing
    // directory: neither is a keyboard, and neither breaks the search.
    const std::string dir = ::testing::TempDir() + "/rerov_evdev_nodes";
    ASSERT_TRUE(std::filesystem::create_directories(dir) || std::filesystem::is_directory(dir));
    for (const char* name : {"event0", "event1", "mouse0"}) {
        std::FILE* file = std::fopen((dir + "/" + name).c_str(), "wb");
        ASSERT_NE(file, nullptr);
        ASSERT_EQ(std::fputs("not a device", file) >= 0, true);
        ASSERT_EQ(std::fclose(file), 0);
    }
    EXPECT_EQ(EvdevCapture::Open(dir), nullptr);
    EXPECT_EQ(EvdevCapture::Open(dir + "/missing"), nullptr);
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace rerov::input_hook
