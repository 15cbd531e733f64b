#include "device_link/supported_devices.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace rerov {
namespace {

// Distinct ids so a row that takes the wrong id is caught.
DeviceIds TestIds() {
    DeviceIds ids;
    ids.vidA = 0xA0A0;
    ids.vidB = 0xB0B0;
    ids.pid1 = 0x0011;
    ids.pid2 = 0x0022;
    ids.pid3 = 0x0033;
    ids.pid4 = 0x0044;
    ids.pid5 = 0x0055;
    ids.pid6 = 0x0066;
    return ids;
}

TEST(SupportedDevices, RowsMatchTheDocumentedTable) {
    struct Row {
        uint16_t vid, pid, mi, col, kind, role, page, usage, paired, pairedRow;
    };
    // clang-format off
    const Row expected[] = {
        {0xA0A0, 0x0011, 1, 4, 1, 0,   0xFF1C, 0x92, 1, 2},
        {0xA0A0, 0x0011, 1, 3, 1, 255, 0x000C, 0x01, 1, 3},
        {0xA0A0, 0x0022, 1, 4, 9, 0,   0xFF1C, 0x92, 1, 0},
        {0xA0A0, 0x0022, 1, 3, 9, 255, 0x000C, 0x01, 1, 1},
        {0xA0A0, 0x0033, 1, 4, 2, 0,   0xFF1C, 0x92, 1, 6},
        {0xA0A0, 0x0033, 1, 3, 2, 255, 0x000C, 0x01, 1, 7},
        {0xA0A0, 0x0044, 1, 4, 6, 0,   0xFF1C, 0x92, 1, 4},
        {0xA0A0, 0x0044, 1, 3, 6, 255, 0x000C, 0x01, 1, 5},
        {0xA0A0, 0x0055, 1, 4, 3, 0,   0xFF1C, 0x92, 0, 0},
        {0xA0A0, 0x0055, 1, 3, 3, 255, 0x000C, 0x01, 0, 0},
        {0xB0B0, 0x0066, 3, 0, 7, 0,   0x000C, 0x01, 0, 0},
    };
    // clang-format on
    const std::vector<SupportedDevice> rows = SupportedDevices(TestIds());
    ASSERT_EQ(rows.size(), std::size(expected));
    ASSERT_EQ(rows.size(), kSupportedDeviceCount);
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(i);
        const SupportedDevice& r = rows[i];
        const Row& e = expected[i];
        EXPECT_EQ(r.vendorId, e.vid);
        EXPECT_EQ(r.productId, e.pid);
        EXPECT_EQ(r.interfaceNumber, e.mi);
        EXPECT_EQ(r.collectionNumber, e.col);
        EXPECT_EQ(r.kind, e.kind);
        EXPECT_EQ(r.role, e.role);
        EXPECT_EQ(r.usagePage, e.page);
        EXPECT_EQ(r.usage, e.usage);
        EXPECT_EQ(r.paired, e.paired);
        EXPECT_EQ(r.pairedRow, e.pairedRow);
        EXPECT_EQ(r.present, 0);
        EXPECT_TRUE(r.path.empty());
    }
}

TEST(SupportedDevices, PairedRowsPointBackAtEachOther) {
    const std::vector<SupportedDevice> rows = SupportedDevices(TestIds());
    for (size_t i = 0; i < rows.size(); ++i) {
        if (!rows[i].paired) continue;
        SCOPED_TRACE(i);
        const SupportedDevice& other = rows.at(rows[i].pairedRow);
        EXPECT_EQ(other.pairedRow, i);
        EXPECT_EQ(other.role, rows[i].role);
        EXPECT_EQ(FamilyIndexForKind(other.kind), FamilyIndexForKind(rows[i].kind));
        EXPECT_NE(other.productId, rows[i].productId);
    }
}

TEST(SupportedDevices, DefaultTableUsesTheIdsInEffect) {
    const DeviceIds& ids = LoadDeviceIds();
    const std::vector<SupportedDevice> rows = SupportedDevices();
    EXPECT_EQ(rows[0].vendorId, ids.vidA);
    EXPECT_EQ(rows[0].productId, ids.pid1);
    EXPECT_EQ(rows[10].vendorId, ids.vidB);
    EXPECT_EQ(rows[10].productId, ids.pid6);
}

TEST(SupportedDevices, SameInterfaceIgnoresPresencePairingAndPath) {
    const SupportedDevice base = SupportedDevices(TestIds())[0];
    SupportedDevice runTime = base;
    runTime.present = 1;
    runTime.paired = 0;
    runTime.pairedRow = 7;
    runTime.path = "vid_a0a0&pid_0011&mi_01&col04#/dev/hidraw2";
    EXPECT_TRUE(SameDeviceInterface(base, runTime));
    EXPECT_TRUE(base == runTime);

    using Field = uint16_t SupportedDevice::*;
    const Field compared[] = {&SupportedDevice::vendorId,
                              &SupportedDevice::productId,
                              &SupportedDevice::interfaceNumber,
                              &SupportedDevice::collectionNumber,
                              &SupportedDevice::kind,
                              &SupportedDevice::role,
                              &SupportedDevice::usagePage,
                              &SupportedDevice::usage};
    for (Field f : compared) {
        SupportedDevice changed = base;
        changed.*f = static_cast<uint16_t>(changed.*f + 1);
        EXPECT_FALSE(SameDeviceInterface(base, changed));
        EXPECT_FALSE(changed == base);
    }
}

TEST(SupportedDevices, FamiliesLayoutsAndProducts) {
    struct Family {
        const char* name;
        int defaultIndex;
        uint16_t vid, pid, kind;
    };
    const Family families[] = {{"mouse", 1, 0xA0A0, 0x0033, 2},
                               {"keyboard", 0, 0xA0A0, 0x0011, 1},
                               {"MousePad", 2, 0xA0A0, 0x0055, 3},
                               {"HD", 3, 0xB0B0, 0x0066, 7}};
    const std::vector<DeviceFamily> rows = DeviceFamilies(TestIds());
    ASSERT_EQ(rows.size(), std::size(families));
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_STREQ(rows[i].listEntryLayout, "XML\\CustomControlXML\\DeviceOption.xml");
        EXPECT_STREQ(rows[i].tabHeader, "tab_header_device");
        EXPECT_STREQ(rows[i].powerContainer, "device_power_switch");
        EXPECT_STREQ(rows[i].familyName, families[i].name);
        EXPECT_EQ(rows[i].defaultDataIndex, families[i].defaultIndex);
        EXPECT_EQ(rows[i].vendorId, families[i].vid);
        EXPECT_EQ(rows[i].productId, families[i].pid);
        EXPECT_EQ(rows[i].kind, families[i].kind);
        EXPECT_EQ(rows[i].role, kRoleCommand);
        EXPECT_EQ(FamilyIndexForKind(rows[i].kind), static_cast<int>(i));
    }
    EXPECT_EQ(FamilyIndexForKind(kKindKeyboardReceiver), kFamilyKeyboard);
    EXPECT_EQ(FamilyIndexForKind(kKindMouseReceiver), kFamilyMouse);
    EXPECT_EQ(FamilyIndexForKind(4), -1);

    struct Layout {
        int lights, keys, power;
        const char* page;
    };
    const Layout layouts[] = {{15, 11, 1, "XML\\DeviceXml\\mousedevice.xml"},
                              {170, 170, 1, "XML\\DeviceXml\\keyboarddevice.xml"},
                              {15, 0, 0, "XML\\DeviceXml\\mousepaddevice.xml"},
                              {13, 0, 0, "XML\\DeviceXml\\ri6533device.xml"}};
    for (size_t i = 0; i < std::size(layouts); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(kDevicePageLayouts[i].lightCount, layouts[i].lights);
        EXPECT_EQ(kDevicePageLayouts[i].keyButtonCount, layouts[i].keys);
        EXPECT_EQ(kDevicePageLayouts[i].hasPowerDisplay, layouts[i].power);
        EXPECT_STREQ(kDevicePageLayouts[i].pageLayout, layouts[i].page);
        EXPECT_STREQ(kDevicePageLayouts[i].lightFileName, "zired_light");
        EXPECT_EQ(kDevicePageLayouts[i].logoLightIndex, -1);
    }

    struct Product {
        std::array<int, 3> numbers;
        const char *model, *product, *display, *version;
    };
    const Product products[] = {{{1, 1, 0}, "ZU40V01A", "MS", "MS", ""},
                                {{1, 1, 0}, "VO40Z02U", "REROV ER60 EVER", "REROV ER60 EVER", ""},
                                {{2, 1, 0}, "DI40V03O_1", "D90", "D90", ""},
                                {{0, 1, 0}, "ALL", "DEZOR VA60", "AP", "V1000"}};
    for (size_t i = 0; i < std::size(products); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(kProductRecords[i].numbers, products[i].numbers);
        EXPECT_STREQ(kProductRecords[i].vendor, "ZIRED");
        EXPECT_STREQ(kProductRecords[i].modelCode, products[i].model);
        EXPECT_STREQ(kProductRecords[i].productName, products[i].product);
        EXPECT_STREQ(kProductRecords[i].displayName, products[i].display);
        EXPECT_STREQ(kProductRecords[i].version, products[i].version);
    }
}

}  // namespace
}  // namespace rerov
