#include <gtest/gtest.h>

#include <string>

#include "device_link/hid_device.h"

namespace rerov {
namespace {

TEST(PathParser, NumbersAfterTheTokens) {
    struct Row {
        std::string path;
        uint16_t vid, pid, interfaceNumber, collection;
    };
    const Row rows[] = {
        // A Windows interface path.
        {R"(\\?\hid#vid_1234&pid_0001&mi_01&col04#7&2b1a3c&0&0003#{4d1e55b2-f16f-11cf-88cb-001111000030})",
         0x1234, 0x0001, 1, 4},
        {"vid_372b&pid_1101&mi_01&col04#/dev/hidraw3", 0x372B, 0x1101, 1, 4},
        {"vid_3a17&pid_4101&mi_03#/dev/hidraw7", 0x3A17, 0x4101, 3, 0},
        {"VID_372B&PID_2102&MI_01&COL03#/dev/hidraw1", 0x372B, 0x2102, 1, 3},
        {"Vid_00aB&pId_fFfF&Mi_0a&CoL1f#x", 0x00AB, 0xFFFF, 0x0A, 0x1F},
        // Neither interface nor collection.
        {"vid_372b&pid_3101#/dev/hidraw0", 0x372B, 0x3101, 0, 0},
        // Digits stop at the first non-hex character; longer numbers keep their low 16 bits.
        {"vid_12g4&pid_123456&mi_&col", 0x0012, 0x3456, 0, 0},
        {"", 0, 0, 0, 0},
        // "mi_" and "col" count only with their '&'.
        {"vid_1&pid_2mi_05col06", 0x0001, 0x0002, 0, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.path);
        EXPECT_EQ(VendorIdFromPath(r.path), r.vid);
        EXPECT_EQ(ProductIdFromPath(r.path), r.pid);
        EXPECT_EQ(InterfaceFromPath(r.path), r.interfaceNumber);
        EXPECT_EQ(CollectionFromPath(r.path), r.collection);
    }
}

}  // namespace
}  // namespace rerov
