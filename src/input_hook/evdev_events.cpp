#include "input_hook/evdev_events.h"

#include <linux/input-event-codes.h>

namespace rerov::input_hook {

namespace {

constexpr unsigned kKeyboardKeys[] = {KEY_A, KEY_Q, KEY_Z, KEY_SPACE, KEY_ENTER};
constexpr std::uint16_t kLockKeys[] = {KEY_CAPSLOCK, KEY_NUMLOCK, KEY_SCROLLLOCK};

// Kernel key values.
constexpr std::int32_t kReleased = 0;

struct ButtonRow {
    std::uint16_t code;
    std::uint16_t downMessage;
    std::uint16_t upMessage;
    int extraButton;
};
// BTN_SIDE / BTN_EXTRA are what most mice send for back / forward; some send BTN_BACK /
// BTN_FORWARD.
constexpr ButtonRow kButtons[] = {
    {BTN_LEFT, kMouseLeftDown, kMouseLeftUp, 0},
    {BTN_RIGHT, kMouseRightDown, kMouseRightUp, 0},
    {BTN_MIDDLE, kMouseMiddleDown, kMouseMiddleUp, 0},
    {BTN_SIDE, kMouseExtraDown, kMouseExtraUp, kExtraBack},
    {BTN_BACK, kMouseExtraDown, kMouseExtraUp, kExtraBack},
    {BTN_EXTRA, kMouseExtraDown, kMouseExtraUp, kExtraForward},
    {BTN_FORWARD, kMouseExtraDown, kMouseExtraUp, kExtraForward},
};

}  // namespace

bool HasCapabilityBit(const std::vector<std::uint8_t>& bits, unsigned bit) {
    const std::size_t byte = bit / 8;
    return byte < bits.size() && (bits[byte] & (1u << (bit % 8))) != 0;
}

bool IsKeyboardNode(const EvdevCapabilities& caps) {
    if (!HasCapabilityBit(caps.eventTypes, EV_KEY)) return false;
    for (unsigned key : kKeyboardKeys) {
        if (!HasCapabilityBit(caps.keys, key)) return false;
    }
    return true;
}

bool IsMouseNode(const EvdevCapabilities& caps) {
    return HasCapabilityBit(caps.eventTypes, EV_KEY) && HasCapabilityBit(caps.keys, BTN_LEFT);
}

bool IsLockKey(std::uint16_t evdevCode) {
    for (std::uint16_t lock : kLockKeys) {
        if (lock == evdevCode) return true;
    }
    return false;
}

DecodedEvent EvdevDecoder::Decode(const EvdevRecord& record) {
    DecodedEvent decoded;
    if (record.type == EV_SYN) {
        if (record.code == SYN_DROPPED)
            dropping_ = true;
        else if (record.code == SYN_REPORT)
            dropping_ = false;
        return decoded;
    }
    if (dropping_ || record.type != EV_KEY) return decoded;
    // 1 press, 2 auto-repeat (reported as another press, as a desktop does), 0 release.
    const bool down = record.value != kReleased;
    for (const ButtonRow& row : kButtons) {
        if (row.code != record.code) continue;
        // A held button does not repeat; a repeat value from a broken device is ignored.
        if (record.value > 1) return decoded;
        MouseEvent mouse;
        mouse.message = down ? row.downMessage : row.upMessage;
        mouse.extraButton = row.extraButton;
        decoded.mouse = mouse;
        return decoded;
    }
    constexpr std::int32_t kRepeated = 2;
    if (record.value < kReleased || record.value > kRepeated) return decoded;
    if (const auto scan = ScanKeyOfEvdev(record.code)) decoded.key = KeyEvent{*scan, down};
    return decoded;
}

}  // namespace rerov::input_hook
