#include "device_link/hid_backend.h"

#include <mutex>

#include "device_link/hid_platform_backend.h"

namespace rerov {

namespace {

std::mutex& BackendMutex() {
    static std::mutex mutex;
    return mutex;
}

std::shared_ptr<HidBackend>& InstalledBackend() {
    static std::shared_ptr<HidBackend> backend;
    return backend;
}

}  // namespace

std::shared_ptr<HidBackend> CurrentHidBackend() {
    std::lock_guard<std::mutex> lock(BackendMutex());
    std::shared_ptr<HidBackend>& backend = InstalledBackend();
    if (!backend) backend = MakePlatformHidBackend();
    return backend;
}

void InstallHidBackend(std::shared_ptr<HidBackend> backend) {
    std::lock_guard<std::mutex> lock(BackendMutex());
    InstalledBackend() = std::move(backend);
}

}  // namespace rerov
