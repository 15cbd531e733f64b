#pragma once
// MacroEvent: one step of a macro as the ".mac" files store it, the table of the mouse
// steps, and the text conversions of a step.

#include <json/value.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace rerov::editors {

/// Step types.
inline constexpr int kStepMouseButton = 1;
inline constexpr int kStepWheel = 2;   // shown without text; never recorded
inline constexpr int kStepCursor = 3;  // shown without text; never recorded
inline constexpr int kStepMoveX = 4;
inline constexpr int kStepMoveY = 5;
inline constexpr int kStepModifier = 9;
inline constexpr int kStepKey = 10;

/// Largest delay of a step (milliseconds).
inline constexpr int kMaxStepDelay = 65535;

struct MacroEvent {
    int type = 0;
    int button = 0;
    bool down = true;  // "down" (a press, or a move in the negative direction) or "up"
    int delay = 0;     // 0 to kMaxStepDelay
    bool operator==(const MacroEvent&) const = default;
};

/// The JSON object of a step: "Type", "Button", "Action" and "Delay" (a decimal string).
Json::Value EventToJson(const MacroEvent& event);
/// A step from its JSON object; nothing when a member is missing or of the wrong kind, or
/// the type is not a step type. A delay out of range is clamped to 0..65535.
std::optional<MacroEvent> EventFromJson(const Json::Value& value);
/// True for the types a macro can hold (1, 2, 3, 4, 5, 9, 10).
bool IsStepType(int type);

/// One row of MacroEventTable: a mouse message, the button, the step code (type with bit 7
/// set for "down") and the name key.
struct MouseStepRow {
    std::uint16_t message;
    std::uint8_t button;
    std::uint8_t code;
    const char* nameKey;
};

/// Mouse messages of the rows.
inline constexpr std::uint16_t kMsgLeftDown = 0x0201;
inline constexpr std::uint16_t kMsgLeftUp = 0x0202;
inline constexpr std::uint16_t kMsgRightDown = 0x0204;
inline constexpr std::uint16_t kMsgRightUp = 0x0205;
inline constexpr std::uint16_t kMsgMiddleDown = 0x0207;
inline constexpr std::uint16_t kMsgMiddleUp = 0x0208;
inline constexpr std::uint16_t kMsgWheel = 0x020A;
inline constexpr std::uint16_t kMsgExtraDown = 0x020B;
inline constexpr std::uint16_t kMsgExtraUp = 0x020C;
/// Extra-button numbers carried with kMsgExtraDown/Up.
inline constexpr int kExtraButtonBack = 1;
inline constexpr int kExtraButtonForward = 2;

/// The 15 rows: the five buttons down and up, the four moves, the cursor.
std::span<const MouseStepRow> MacroEventTable();
/// Rows of the moves left, right, up, down.
inline constexpr int kRowMoveLeft = 10;
inline constexpr int kRowMoveRight = 11;
inline constexpr int kRowMoveUp = 12;
inline constexpr int kRowMoveDown = 13;

/// The row a recorded mouse message selects: the first with this message; the extra-button
/// messages choose by `extraButton` (2 forward, 1 back, anything else: none).
std::optional<int> FindMouseStepRow(std::uint16_t message, int extraButton);
/// The step of a mouse row (Type = code & 0x7F, Button, down when bit 7 is set).
MacroEvent StepOfRow(int row, int delay);

/// The language key that names a step (the key, button or direction), or "" when none.
std::string StepNameKey(const MacroEvent& event);

}  // namespace rerov::editors
