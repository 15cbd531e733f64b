#include "input_hook/lock_key_injector.h"

#include <fcntl.h>
#include <linux/uinput.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QLoggingCategory>
#include <array>
#include <cerrno>
#include <cstring>

#include "input_hook/evdev_events.h"

namespace rerov::input_hook {

Q_LOGGING_CATEGORY(lcLockKeys, "rerov.input_hook.locks", QtWarningMsg)

namespace {

constexpr std::array<int, 3> kLockCodes{KEY_CAPSLOCK, KEY_NUMLOCK, KEY_SCROLLLOCK};

bool WriteRecord(int fd, std::uint16_t type, std::uint16_t code, std::int32_t value) {
    input_event event{};
    event.type = type;
    event.code = code;
    event.value = value;
    ssize_t written = 0;
    do {
        written = write(fd, &event, sizeof event);
    } while (written < 0 && errno == EINTR);
    return written == static_cast<ssize_t>(sizeof event);
}

}  // namespace

std::unique_ptr<LockKeyInjector> LockKeyInjector::Create(const std::string& uinputPath) {
    const int fd = open(uinputPath.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        qCInfo(lcLockKeys) << "no uinput:" << std::strerror(errno);
        return nullptr;
    }
    bool ok = ioctl(fd, UI_SET_EVBIT, EV_KEY) == 0;
    for (int code : kLockCodes) ok = ok && ioctl(fd, UI_SET_KEYBIT, code) == 0;
    uinput_setup setup{};
    setup.id.bustype = BUS_VIRTUAL;
    std::strncpy(setup.name, kLockKeyDeviceName, UINPUT_MAX_NAME_SIZE - 1);
    ok = ok && ioctl(fd, UI_DEV_SETUP, &setup) == 0 && ioctl(fd, UI_DEV_CREATE) == 0;
    if (!ok) {
        qCWarning(lcLockKeys) << "lock key device not made:" << std::strerror(errno);
        close(fd);
        return nullptr;
    }
    return std::unique_ptr<LockKeyInjector>(new LockKeyInjector(fd));
}

LockKeyInjector::~LockKeyInjector() {
    if (fd_ < 0) return;
    ioctl(fd_, UI_DEV_DESTROY);
    close(fd_);
}

bool LockKeyInjector::Inject(std::uint16_t evdevCode, std::int32_t value) {
    if (!IsLockKey(evdevCode)) return false;
    return WriteRecord(fd_, EV_KEY, evdevCode, value) && WriteRecord(fd_, EV_SYN, SYN_REPORT, 0);
}

}  // namespace rerov::input_hook
