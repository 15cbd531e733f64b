#include "devices/keyboard/keyboard_device.h"

// Device events, input threads and power status. (Being built: placeholders.)

namespace rerov {

CZidiraKeyboardDevice::~CZidiraKeyboardDevice() = default;

void CZidiraKeyboardDevice::OpenSecondary(const std::string& path, int kind) {
    CZidiraUSBDevice::OpenSecondary(path, kind);
}
void CZidiraKeyboardDevice::CloseSecondary(int kind) { CZidiraUSBDevice::CloseSecondary(kind); }
bool CZidiraKeyboardDevice::IsInputThreadRunning(int) const { return false; }
void CZidiraKeyboardDevice::HandleEventCode(uint16_t) {}
void CZidiraKeyboardDevice::OnSyncRequest() {}
void CZidiraKeyboardDevice::OnKeyEvent(int, int) {}
void CZidiraKeyboardDevice::OnProfileReport(uint16_t) {}
void CZidiraKeyboardDevice::ReadPowerStatus() {}
std::array<uint8_t, kPowerStatusSize> CZidiraKeyboardDevice::PowerStatus() const {
    std::lock_guard<std::mutex> guard(powerLock_);
    return powerStatus_;
}
int CZidiraKeyboardDevice::IsReceiverLinkAlive() { return 1; }
void CZidiraKeyboardDevice::ReactiveKeyStep(int, int, int) {}

}  // namespace rerov
