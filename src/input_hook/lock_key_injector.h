#pragma once
// LockKeyInjector: a virtual keyboard (uinput) with only Caps, Num and Scroll Lock. While
// the evdev capture holds the real keyboards, the desktop sees none of their keys; the lock
// keys are passed on through this device so their state still toggles. Destroying it
// removes the device.

#include <cstdint>
#include <memory>
#include <string>

namespace rerov::input_hook {

/// The name of the virtual device, so the capture never reads its own injected keys.
inline constexpr const char* kLockKeyDeviceName = "rerov-ever lock keys";

class LockKeyInjector {
  public:
    /// The device, or null when /dev/uinput cannot be opened or the device not made.
    static std::unique_ptr<LockKeyInjector> Create(const std::string& uinputPath = "/dev/uinput");
    ~LockKeyInjector();
    LockKeyInjector(const LockKeyInjector&) = delete;
    LockKeyInjector& operator=(const LockKeyInjector&) = delete;

    /// Passes on one key record of a lock key (1 press, 2 repeat, 0 release). False when the
    /// write fails.
    bool Inject(std::uint16_t evdevCode, std::int32_t value);

  private:
    explicit LockKeyInjector(int fd) : fd_(fd) {}
    int fd_ = -1;
};

}  // namespace rerov::input_hook
