#include "devices/keyboard/keyboard_device.h"

// Parameter block, system settings and lighting data. (Being built: placeholders.)

namespace rerov {

int CZidiraKeyboardDevice::WriteParameterBlock(int, int, int, int, int) { return 0; }
int CZidiraKeyboardDevice::ReadParameterBlock(int*) { return 0; }
std::array<uint8_t, kParameterBlockSize> CZidiraKeyboardDevice::ParameterBlock() const {
    std::lock_guard<std::mutex> guard(parametersLock_);
    return parameterBlock_;
}
void CZidiraKeyboardDevice::SetSystemSettings(uint32_t repeatWord, uint32_t flagWord,
                                              uint32_t lockWord) {
    std::lock_guard<std::mutex> guard(parametersLock_);
    systemSettings_.words = {repeatWord, flagWord, lockWord};
}
KeyboardSystemSettings CZidiraKeyboardDevice::SystemSettings() const {
    std::lock_guard<std::mutex> guard(parametersLock_);
    return systemSettings_;
}
void CZidiraKeyboardDevice::PaintCustomKey(int, int, int) {}
void CZidiraKeyboardDevice::FillCustomSlot() {}
void CZidiraKeyboardDevice::WriteCustomColors() {}
void CZidiraKeyboardDevice::StreamLightFrame() { CZidiraUSBDevice::StreamLightFrame(); }

void CZidiraKeyboardDevice::SetHostLighting(int on) {
    CZidiraUSBDevice::SetHostLighting(on);
    // An unconnected link refuses the command unsent, so no check is needed here.
    if (on != 0) MainLink().HostLightControl();
}

}  // namespace rerov
