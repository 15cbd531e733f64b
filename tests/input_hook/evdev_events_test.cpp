// The pure part of the evdev capture: which nodes are keyboards or mice, and how the kernel's
// records become key and mouse events, including records a broken device might send.

#include "input_hook/evdev_events.h"

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <initializer_list>

namespace rerov::input_hook {
namespace {

std::vector<std::uint8_t> Bits(std::initializer_list<unsigned> bits, std::size_t bytes) {
    std::vector<std::uint8_t> out(bytes, 0);
    for (unsigned bit : bits) out[bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
    return out;
}

constexpr std::size_t kKeyBytes = (KEY_MAX + 8) / 8;

TEST(EvdevEvents, NodesAreToldByTheirCapabilities) {
    struct Case {
        const char* what;
        std::initializer_list<unsigned> types;
        std::initializer_list<unsigned> keys;
        bool keyboard;
        bool mouse;
    };
    const Case cases[] = {
        {"keyboard", {EV_KEY, EV_LED}, {KEY_A, KEY_Q, KEY_Z, KEY_SPACE, KEY_ENTER}, true, false},
        {"mouse", {EV_KEY, EV_REL}, {BTN_LEFT, BTN_RIGHT}, false, true},
        {"power button", {EV_KEY}, {KEY_POWER}, false, false},
        {"keypad only", {EV_KEY}, {KEY_KP1, KEY_KPENTER}, false, false},
        {"key bits without EV_KEY",
         {EV_REL},
         {KEY_A, KEY_Q, KEY_Z, KEY_SPACE, KEY_ENTER, BTN_LEFT},
         false,
         false},
        {"keyboard with touchpad",
         {EV_KEY, EV_ABS},
         {KEY_A, KEY_Q, KEY_Z, KEY_SPACE, KEY_ENTER, BTN_LEFT},
         true,
         true},
    };
    for (const Case& c : cases) {
        const EvdevCapabilities caps{Bits(c.types, 4), Bits(c.keys, kKeyBytes)};
        EXPECT_EQ(IsKeyboardNode(caps), c.keyboard) << c.what;
        EXPECT_EQ(IsMouseNode(caps), c.mouse) << c.what;
    }
}

TEST(EvdevEvents, ShortCapabilityArraysAreNotReadPast) {
    const EvdevCapabilities caps{{}, {0xFF}};
    EXPECT_FALSE(IsKeyboardNode(caps));
    EXPECT_FALSE(HasCapabilityBit({0xFF}, 8));
    EXPECT_TRUE(HasCapabilityBit({0x00, 0x01}, 8));
}

TEST(EvdevEvents, KeysBecomeScanKeys) {
    struct Case {
        std::uint16_t code;
        std::int32_t value;
        ScanKey key;
        bool down;
    };
    const Case cases[] = {
        {KEY_A, 1, {0x1E, false}, true},         {KEY_A, 0, {0x1E, false}, false},
        {KEY_A, 2, {0x1E, false}, true},         {KEY_KPENTER, 1, {0x1C, true}, true},
        {KEY_RIGHTCTRL, 0, {0x1D, true}, false}, {KEY_CAPSLOCK, 1, {0x3A, false}, true},
    };
    for (const Case& c : cases) {
        EvdevDecoder decoder;
        const DecodedEvent decoded = decoder.Decode({EV_KEY, c.code, c.value});
        ASSERT_TRUE(decoded.key) << c.code;
        EXPECT_EQ(decoded.key->key, c.key) << c.code;
        EXPECT_EQ(decoded.key->down, c.down) << c.code;
        EXPECT_FALSE(decoded.mouse);
    }
}

TEST(EvdevEvents, ButtonsBecomeMouseMessages) {
    struct Case {
        std::uint16_t code;
        std::int32_t value;
        std::uint16_t message;
        int extra;
    };
    const Case cases[] = {
        {BTN_LEFT, 1, kMouseLeftDown, 0},
        {BTN_LEFT, 0, kMouseLeftUp, 0},
        {BTN_RIGHT, 1, kMouseRightDown, 0},
        {BTN_MIDDLE, 0, kMouseMiddleUp, 0},
        {BTN_SIDE, 1, kMouseExtraDown, kExtraBack},
        {BTN_EXTRA, 0, kMouseExtraUp, kExtraForward},
        {BTN_BACK, 1, kMouseExtraDown, kExtraBack},
        {BTN_FORWARD, 1, kMouseExtraDown, kExtraForward},
    };
    for (const Case& c : cases) {
        EvdevDecoder decoder;
        const DecodedEvent decoded = decoder.Decode({EV_KEY, c.code, c.value});
        ASSERT_TRUE(decoded.mouse) << c.code;
        EXPECT_EQ(decoded.mouse->message, c.message) << c.code;
        EXPECT_EQ(decoded.mouse->extraButton, c.extra) << c.code;
        EXPECT_FALSE(decoded.key);
    }
}

TEST(EvdevEvents, WhatIsNoKeyOrButtonIsIgnored) {
    const EvdevRecord records[] = {
        {EV_REL, REL_X, 5},           {EV_MSC, MSC_SCAN, 0x70004}, {EV_LED, LED_CAPSL, 1},
        {EV_KEY, KEY_A, -1},          {EV_KEY, KEY_A, 7},          {EV_KEY, 0xFFFF, 1},
        {EV_KEY, BTN_LEFT, 2},        {EV_KEY, BTN_TOUCH, 1},      {EV_SYN, SYN_REPORT, 0},
        {0xFFFF, 0xFFFF, 0x7FFFFFFF},
    };
    EvdevDecoder decoder;
    for (const EvdevRecord& record : records) {
        const DecodedEvent decoded = decoder.Decode(record);
        EXPECT_FALSE(decoded.key) << record.type << "/" << record.code;
        EXPECT_FALSE(decoded.mouse) << record.type << "/" << record.code;
    }
}

TEST(EvdevEvents, AReportWithLostEventsIsDroppedUpToItsEnd) {
    EvdevDecoder decoder;
    EXPECT_FALSE(decoder.Decode({EV_SYN, SYN_DROPPED, 0}).key);
    EXPECT_FALSE(decoder.Decode({EV_KEY, KEY_A, 1}).key) << "part of the broken report";
    EXPECT_FALSE(decoder.Decode({EV_KEY, BTN_LEFT, 1}).mouse);
    EXPECT_FALSE(decoder.Decode({EV_SYN, SYN_REPORT, 0}).key);
    EXPECT_TRUE(decoder.Decode({EV_KEY, KEY_B, 1}).key) << "the next report counts again";
}

TEST(EvdevEvents, OnlyTheThreeLockKeysArePassedOn) {
    EXPECT_TRUE(IsLockKey(KEY_CAPSLOCK));
    EXPECT_TRUE(IsLockKey(KEY_NUMLOCK));
    EXPECT_TRUE(IsLockKey(KEY_SCROLLLOCK));
    EXPECT_FALSE(IsLockKey(KEY_A));
    EXPECT_FALSE(IsLockKey(KEY_LEFTSHIFT));
}

}  // namespace
}  // namespace rerov::input_hook
