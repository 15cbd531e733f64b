#include "devices/keyboard/keyboard_event_codes.h"

namespace rerov::keyboard {
namespace {

constexpr uint16_t kKeyPressedBase = 0x500;
constexpr uint16_t kKeyReleasedBase = 0x600;
constexpr uint16_t kProfileBase = 0x1000;
constexpr uint16_t kProfileFieldBase = 0x1100;

}  // namespace

DeviceEvent DecodeEventCode(uint16_t code) {
    DeviceEvent event;
    const uint16_t high = code & 0xFF00;
    switch (code) {
        case kConfigChangedCode:
            event.kind = EventKind::ConfigChanged;
            return event;
        case kProfileDataChangedCode:
            event.kind = EventKind::ProfileDataChanged;
            return event;
        case kKeepAliveCode:
            event.kind = EventKind::KeepAlive;
            return event;
        default:
            break;
    }
    if (high == kKeyPressedBase || high == kKeyReleasedBase) {
        event.kind = high == kKeyPressedBase ? EventKind::KeyPressed : EventKind::KeyReleased;
        event.position = code & 0xFF;
    } else if (high == kProfileBase || high == kProfileFieldBase) {
        event.kind = EventKind::ProfileReport;
        event.profile = code & 0x0F;
        if (high == kProfileFieldBase) event.field = (code >> 4) & 0x0F;
    }
    return event;
}

bool EventCodeFromDescriptors(const std::vector<HidDataDescriptor>& descriptors, uint8_t reportId,
                              uint16_t* code) {
    for (const HidDataDescriptor& d : descriptors) {
        if (!d.isButton || d.reportId != reportId || !d.isDataSet) continue;
        if (d.lastStatus != 0 || d.usages.empty() || d.usages.front() == 0) return false;
        *code = d.usages.front();
        return true;
    }
    return false;
}

}  // namespace rerov::keyboard
