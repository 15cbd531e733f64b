#pragma once
// Report descriptors shaped like those of real devices, shared by the HID tests.

#include <cstdint>
#include <vector>

namespace rerov::test {

// A keyboard's interface with four top-level collections: system control (id 1),
// keyboard (id 2, with LED output), consumer control (id 3) and the vendor command
// collection (page 0xFF1C usage 0x92, id 4, 63 data bytes in and out).
inline const std::vector<uint8_t> kKeyboardDescriptor = {
    // 1: system control
    0x05, 0x01,  // Usage Page (Generic Desktop)
    0x09, 0x80,  // Usage (System Control)
    0xA1, 0x01,  // Collection (Application)
    0x85, 0x01,  //   Report ID (1)
    0x19, 0x81,  //   Usage Minimum (0x81)
    0x29, 0x83,  //   Usage Maximum (0x83)
    0x15, 0x00,  //   Logical Minimum (0)
    0x25, 0x01,  //   Logical Maximum (1)
    0x75, 0x01,  //   Report Size (1)
    0x95, 0x03,  //   Report Count (3)
    0x81, 0x02,  //   Input (Data, Variable, Absolute)
    0x95, 0x05,  //   Report Count (5)
    0x81, 0x01,  //   Input (Constant): padding
    0xC0,        // End Collection
    // 2: keyboard
    0x05, 0x01,  // Usage Page (Generic Desktop)
    0x09, 0x06,  // Usage (Keyboard)
    0xA1, 0x01,  // Collection (Application)
    0x85, 0x02,  //   Report ID (2)
    0x05, 0x07,  //   Usage Page (Keyboard)
    0x19, 0xE0,  //   Usage Minimum (Left Control)
    0x29, 0xE7,  //   Usage Maximum (Right GUI)
    0x15, 0x00,  //   Logical Minimum (0)
    0x25, 0x01,  //   Logical Maximum (1)
    0x75, 0x01,  //   Report Size (1)
    0x95, 0x08,  //   Report Count (8)
    0x81, 0x02,  //   Input (Data, Variable, Absolute): modifiers
    0x75, 0x08,  //   Report Size (8)
    0x95, 0x01,  //   Report Count (1)
    0x81, 0x01,  //   Input (Constant): reserved byte
    0x05, 0x08,  //   Usage Page (LEDs)
    0x19, 0x01,  //   Usage Minimum (Num Lock)
    0x29, 0x05,  //   Usage Maximum (Kana)
    0x75, 0x01,  //   Report Size (1)
    0x95, 0x05,  //   Report Count (5)
    0x91, 0x02,  //   Output (Data, Variable, Absolute)
    0x75, 0x03,  //   Report Size (3)
    0x95, 0x01,  //   Report Count (1)
    0x91, 0x01,  //   Output (Constant)
    0x05, 0x07,  //   Usage Page (Keyboard)
    0x19, 0x00,  //   Usage Minimum (0)
    0x29, 0x65,  //   Usage Maximum (0x65)
    0x15, 0x00,  //   Logical Minimum (0)
    0x25, 0x65,  //   Logical Maximum (0x65)
    0x75, 0x08,  //   Report Size (8)
    0x95, 0x06,  //   Report Count (6)
    0x81, 0x00,  //   Input (Data, Array): six key slots
    0xC0,        // End Collection
    // 3: consumer control
    0x05, 0x0C,        // Usage Page (Consumer)
    0x09, 0x01,        // Usage (Consumer Control)
    0xA1, 0x01,        // Collection (Application)
    0x85, 0x03,        //   Report ID (3)
    0x19, 0x00,        //   Usage Minimum (0)
    0x2A, 0xFF, 0x02,  //   Usage Maximum (0x2FF)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x02,  //   Logical Maximum (0x2FF)
    0x75, 0x10,        //   Report Size (16)
    0x95, 0x01,        //   Report Count (1)
    0x81, 0x00,        //   Input (Data, Array)
    0xC0,              // End Collection
    // 4: vendor command collection
    0x06, 0x1C, 0xFF,  // Usage Page (0xFF1C)
    0x09, 0x92,        // Usage (0x92)
    0xA1, 0x01,        // Collection (Application)
    0x85, 0x04,        //   Report ID (4)
    0x09, 0x01,        //   Usage (1)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x3F,        //   Report Count (63)
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0x09, 0x02,        //   Usage (2)
    0x95, 0x3F,        //   Report Count (63)
    0x91, 0x02,        //   Output (Data, Variable, Absolute)
    0xC0,              // End Collection
};

// A mouse without report ids: three buttons, padding, relative X and Y, and a wheel with
// an explicit physical range.
inline const std::vector<uint8_t> kMouseDescriptor = {
    0x05, 0x01,        // Usage Page (Generic Desktop)
    0x09, 0x02,        // Usage (Mouse)
    0xA1, 0x01,        // Collection (Application)
    0x09, 0x01,        //   Usage (Pointer)
    0xA1, 0x00,        //   Collection (Physical)
    0x05, 0x09,        //     Usage Page (Button)
    0x19, 0x01,        //     Usage Minimum (1)
    0x29, 0x03,        //     Usage Maximum (3)
    0x15, 0x00,        //     Logical Minimum (0)
    0x25, 0x01,        //     Logical Maximum (1)
    0x95, 0x03,        //     Report Count (3)
    0x75, 0x01,        //     Report Size (1)
    0x81, 0x02,        //     Input (Data, Variable, Absolute)
    0x95, 0x01,        //     Report Count (1)
    0x75, 0x05,        //     Report Size (5)
    0x81, 0x03,        //     Input (Constant): padding
    0x05, 0x01,        //     Usage Page (Generic Desktop)
    0x09, 0x30,        //     Usage (X)
    0x09, 0x31,        //     Usage (Y)
    0x15, 0x81,        //     Logical Minimum (-127)
    0x25, 0x7F,        //     Logical Maximum (127)
    0x75, 0x08,        //     Report Size (8)
    0x95, 0x02,        //     Report Count (2)
    0x81, 0x06,        //     Input (Data, Variable, Relative)
    0x09, 0x38,        //     Usage (Wheel)
    0x15, 0x00,        //     Logical Minimum (0)
    0x25, 0xFF,        //     Logical Maximum (255, written as one byte)
    0x35, 0x00,        //     Physical Minimum (0)
    0x46, 0xE8, 0x03,  //     Physical Maximum (1000)
    0x95, 0x01,        //     Report Count (1)
    0x81, 0x02,        //     Input (Data, Variable, Absolute)
    0xC0,              //   End Collection
    0xC0,              // End Collection
};

}  // namespace rerov::test
