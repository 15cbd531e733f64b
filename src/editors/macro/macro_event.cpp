#include "editors/macro/macro_event.h"

#include <array>
#include <charconv>

#include "editors/assignment/code_tables.h"

namespace rerov::editors {

namespace {

constexpr std::array<MouseStepRow, 15> kMouseSteps{{
    {kMsgLeftDown, 0x01, 0x81, "mouse_key_left"},
    {kMsgLeftUp, 0x01, 0x01, "mouse_key_left"},
    {kMsgRightDown, 0x02, 0x81, "mouse_key_right"},
    {kMsgRightUp, 0x02, 0x01, "mouse_key_right"},
    {kMsgMiddleDown, 0x04, 0x81, "mouse_key_middle"},
    {kMsgMiddleUp, 0x04, 0x01, "mouse_key_middle"},
    {kMsgExtraDown, 0x10, 0x81, "mouse_key_forward"},
    {kMsgExtraUp, 0x10, 0x01, "mouse_key_forward"},
    {kMsgExtraDown, 0x08, 0x81, "mouse_key_back"},
    {kMsgExtraUp, 0x08, 0x01, "mouse_key_back"},
    {4, 0, 0x84, "mouse_move_to_left_text"},
    {4, 0, 0x04, "mouse_move_to_right_text"},
    {5, 0, 0x85, "mouse_move_to_up_text"},
    {5, 0, 0x05, "mouse_move_to_down_text"},
    {kMsgWheel, 0, 0x00, "mouse_cursor_text"},
}};

// Rows 6-9 are the extra buttons: 6/7 forward, 8/9 back.
constexpr int kFirstForwardRow = 6;
constexpr int kFirstBackRow = 8;

int ClampDelay(long long delay) {
    if (delay < 0) return 0;
    return delay > kMaxStepDelay ? kMaxStepDelay : static_cast<int>(delay);
}

}  // namespace

bool IsStepType(int type) {
    switch (type) {
        case kStepMouseButton:
        case kStepWheel:
        case kStepCursor:
        case kStepMoveX:
        case kStepMoveY:
        case kStepModifier:
        case kStepKey:
            return true;
        default:
            return false;
    }
}

Json::Value EventToJson(const MacroEvent& event) {
    Json::Value value(Json::objectValue);
    value["Type"] = event.type;
    value["Button"] = event.button;
    value["Action"] = event.down ? "down" : "up";
    value["Delay"] = std::to_string(ClampDelay(event.delay));
    return value;
}

std::optional<MacroEvent> EventFromJson(const Json::Value& value) {
    if (!value.isObject()) return std::nullopt;
    const Json::Value& type = value["Type"];
    const Json::Value& button = value["Button"];
    const Json::Value& action = value["Action"];
    const Json::Value& delay = value["Delay"];
    if (!type.isInt() || !button.isInt() || !action.isString()) return std::nullopt;
    MacroEvent event;
    event.type = type.asInt();
    if (!IsStepType(event.type)) return std::nullopt;
    event.button = button.asInt();
    // Buttons, usages, bits and distances are bytes.
    if (event.button < 0 || event.button > 0xFF) return std::nullopt;
    event.down = action.asString() == "down";
    if (delay.isString()) {
        // The delay is read as the edit shows it: a decimal number, 65535 when larger.
        const std::string text = delay.asString();
        long long number = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
        if (error == std::errc::result_out_of_range)
            number = kMaxStepDelay;
        else if (error != std::errc{})
            number = 0;
        (void)end;
        event.delay = ClampDelay(number);
    } else if (delay.isIntegral()) {
        event.delay = delay.isInt64() ? ClampDelay(delay.asInt64()) : kMaxStepDelay;
    } else if (!delay.isNull()) {
        return std::nullopt;
    }
    return event;
}

std::span<const MouseStepRow> MacroEventTable() { return kMouseSteps; }

std::optional<int> FindMouseStepRow(std::uint16_t message, int extraButton) {
    if (message == kMsgExtraDown || message == kMsgExtraUp) {
        const int up = message == kMsgExtraUp ? 1 : 0;
        if (extraButton == kExtraButtonForward) return kFirstForwardRow + up;
        if (extraButton == kExtraButtonBack) return kFirstBackRow + up;
        return std::nullopt;
    }
    for (std::size_t i = 0; i < kMouseSteps.size(); ++i) {
        // Rows 10-13 carry step types, not messages: a recorded message never selects them.
        if (i >= static_cast<std::size_t>(kRowMoveLeft) &&
            i <= static_cast<std::size_t>(kRowMoveDown)) {
            continue;
        }
        if (kMouseSteps[i].message == message) return static_cast<int>(i);
    }
    return std::nullopt;
}

MacroEvent StepOfRow(int row, int delay) {
    MacroEvent event;
    if (row < 0 || static_cast<std::size_t>(row) >= kMouseSteps.size()) return event;
    const MouseStepRow& r = kMouseSteps[static_cast<std::size_t>(row)];
    event.type = r.code & 0x7F;
    event.button = r.button;
    event.down = (r.code & 0x80) != 0;
    event.delay = ClampDelay(delay);
    return event;
}

std::string StepNameKey(const MacroEvent& event) {
    switch (event.type) {
        case kStepKey:
            if (const auto row = FindKeyRowByUsage(static_cast<std::uint8_t>(event.button))) {
                return KeyCodeTable()[static_cast<std::size_t>(*row)].nameKey;
            }
            return {};
        case kStepModifier:
            if (const auto row = FindModifierRow(static_cast<std::uint8_t>(event.button))) {
                return KeyCodeTable()[static_cast<std::size_t>(*row)].nameKey;
            }
            return {};
        case kStepMouseButton:
            for (const MouseStepRow& row : kMouseSteps) {
                if (row.button == event.button && row.button != 0) return row.nameKey;
            }
            return {};
        case kStepMoveX:
        case kStepMoveY: {
            const int code = event.type | (event.down ? 0x80 : 0);
            for (int i = kRowMoveLeft; i <= kRowMoveDown; ++i) {
                if (kMouseSteps[static_cast<std::size_t>(i)].code == code) {
                    return kMouseSteps[static_cast<std::size_t>(i)].nameKey;
                }
            }
            return {};
        }
        default:
            return {};
    }
}

}  // namespace rerov::editors
