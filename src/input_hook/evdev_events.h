#pragma once
// The kernel's input events in the form the capture reports: which /dev/input nodes are
// keyboards or mice (from their capability bits), and input_event records decoded into key
// and mouse events. Pure: no device is opened here, so every rule is testable.

#include <cstdint>
#include <optional>
#include <vector>

#include "input_hook/capture_backend.h"

namespace rerov::input_hook {

/// The capability bits of a node as EVIOCGBIT returns them (bit n in byte n / 8).
struct EvdevCapabilities {
    std::vector<std::uint8_t> eventTypes;
    std::vector<std::uint8_t> keys;
};

bool HasCapabilityBit(const std::vector<std::uint8_t>& bits, unsigned bit);
/// A node with letter keys, space and enter: a keyboard (not a power button or a headset).
bool IsKeyboardNode(const EvdevCapabilities& caps);
/// A node with a left button: a mouse or a touchpad.
bool IsMouseNode(const EvdevCapabilities& caps);

/// One input_event without its time stamp.
struct EvdevRecord {
    std::uint16_t type = 0;
    std::uint16_t code = 0;
    std::int32_t value = 0;
};

struct DecodedEvent {
    std::optional<KeyEvent> key;
    std::optional<MouseEvent> mouse;
};

/// Turns the record stream of one node into key and mouse events. After the kernel reports
/// lost events (SYN_DROPPED) the rest of that report is dropped, as the kernel asks.
class EvdevDecoder {
  public:
    DecodedEvent Decode(const EvdevRecord& record);

  private:
    bool dropping_ = false;
};

/// True for the lock keys whose state the desktop keeps (Caps, Num, Scroll Lock).
bool IsLockKey(std::uint16_t evdevCode);

}  // namespace rerov::input_hook
