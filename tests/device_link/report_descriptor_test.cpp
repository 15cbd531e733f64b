#include "device_link/report_descriptor.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/device_link/hid_test_descriptors.h"

namespace rerov {
namespace {

using test::kKeyboardDescriptor;
using test::kMouseDescriptor;

ParsedReportDescriptor ParseOk(const std::vector<uint8_t>& bytes) {
    ParsedReportDescriptor parsed;
    std::string error;
    EXPECT_TRUE(ParseReportDescriptor(bytes.data(), bytes.size(), &parsed, &error)) << error;
    return parsed;
}

TEST(ReportDescriptor, KeyboardTopLevelCollectionsInOrder) {
    const ParsedReportDescriptor p = ParseOk(kKeyboardDescriptor);
    EXPECT_TRUE(p.usesReportIds);
    struct Expected {
        uint16_t usagePage, usage;
    };
    const Expected expected[] = {{0x01, 0x80}, {0x01, 0x06}, {0x0C, 0x01}, {0xFF1C, 0x92}};
    ASSERT_EQ(p.collections.size(), std::size(expected));
    for (size_t i = 0; i < p.collections.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(p.collections[i].number, i + 1);
        EXPECT_EQ(p.collections[i].usagePage, expected[i].usagePage);
        EXPECT_EQ(p.collections[i].usage, expected[i].usage);
    }
}

TEST(ReportDescriptor, ReportIdsAndLengthsPerCollectionAndType) {
    const ParsedReportDescriptor p = ParseOk(kKeyboardDescriptor);
    struct Row {
        size_t collection;
        HidReportType type;
        std::vector<uint8_t> ids;
        uint16_t byteLength;  // largest report + the report id byte
    };
    const Row rows[] = {
        {0, HidReportType::Input, {1}, 2},  {0, HidReportType::Output, {}, 0},
        {1, HidReportType::Input, {2}, 9},  {1, HidReportType::Output, {2}, 2},
        {1, HidReportType::Feature, {}, 0}, {2, HidReportType::Input, {3}, 3},
        {3, HidReportType::Input, {4}, 64}, {3, HidReportType::Output, {4}, 64},
        {3, HidReportType::Feature, {}, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message()
                     << "collection " << r.collection << " type " << static_cast<int>(r.type));
        const HidReportTypeInfo& info = p.collections[r.collection].Reports(r.type);
        EXPECT_EQ(info.reportIds, r.ids);
        EXPECT_EQ(info.reportByteLength, r.byteLength);
    }
}

TEST(ReportDescriptor, KeyboardCapabilitiesCarryRangesAndBitPositions) {
    const ParsedReportDescriptor p = ParseOk(kKeyboardDescriptor);
    const HidReportTypeInfo& in = p.collections[1].Reports(HidReportType::Input);
    ASSERT_EQ(in.buttonCaps.size(), 2u);  // the padding byte makes no capability
    EXPECT_TRUE(in.valueCaps.empty());

    const HidCapability& mods = in.buttonCaps[0];
    EXPECT_EQ(mods.usagePage, 0x07);
    EXPECT_EQ(mods.reportId, 2);
    EXPECT_FALSE(mods.isArray);
    EXPECT_TRUE(mods.isRange);
    EXPECT_EQ(mods.usageMin, 0xE0);
    EXPECT_EQ(mods.usageMax, 0xE7);
    EXPECT_EQ(mods.bitOffset, 8u);  // right after the report id byte
    EXPECT_EQ(mods.bitSize, 1);
    EXPECT_EQ(mods.reportCount, 8);

    const HidCapability& keys = in.buttonCaps[1];
    EXPECT_TRUE(keys.isArray);
    EXPECT_EQ(keys.usageMin, 0x00);
    EXPECT_EQ(keys.usageMax, 0x65);
    EXPECT_EQ(keys.bitOffset, 24u);  // id byte, modifiers, reserved byte
    EXPECT_EQ(keys.bitSize, 8);
    EXPECT_EQ(keys.reportCount, 6);
    EXPECT_EQ(keys.logicalMax, 0x65);

    const HidReportTypeInfo& leds = p.collections[1].Reports(HidReportType::Output);
    ASSERT_EQ(leds.buttonCaps.size(), 1u);
    EXPECT_EQ(leds.buttonCaps[0].usagePage, 0x08);
    EXPECT_EQ(leds.buttonCaps[0].usageMax, 0x05);

    const HidReportTypeInfo& vendorIn = p.collections[3].Reports(HidReportType::Input);
    ASSERT_EQ(vendorIn.valueCaps.size(), 1u);
    const HidCapability& v = vendorIn.valueCaps[0];
    EXPECT_EQ(v.usagePage, 0xFF1C);
    EXPECT_EQ(v.usageMin, 0x01);
    EXPECT_EQ(v.usageMax, 0x01);
    EXPECT_FALSE(v.isRange);
    EXPECT_EQ(v.reportCount, 63);
    EXPECT_EQ(v.logicalMax, 255);
}

TEST(ReportDescriptor, UnnumberedMouseWithSingleUsagesAndPhysicalRange) {
    const ParsedReportDescriptor p = ParseOk(kMouseDescriptor);
    EXPECT_FALSE(p.usesReportIds);
    ASSERT_EQ(p.collections.size(), 1u);  // the nested physical collection is not top-level
    const HidReportTypeInfo& in = p.collections[0].Reports(HidReportType::Input);
    EXPECT_EQ(in.reportIds, std::vector<uint8_t>{0});
    EXPECT_EQ(in.reportByteLength, 5);  // 4 data bytes + the (zero) report id byte

    ASSERT_EQ(in.buttonCaps.size(), 1u);
    EXPECT_EQ(in.buttonCaps[0].usagePage, 0x09);
    EXPECT_EQ(in.buttonCaps[0].usageMin, 1);
    EXPECT_EQ(in.buttonCaps[0].usageMax, 3);

    // X and Y are separate single usages of one main item; the wheel is its own.
    ASSERT_EQ(in.valueCaps.size(), 3u);
    struct Row {
        uint16_t usage;
        uint32_t bitOffset;
        int32_t logicalMin, logicalMax, physicalMin, physicalMax;
        bool isAbsolute;
    };
    const Row rows[] = {{0x30, 16, -127, 127, -127, 127, false},
                        {0x31, 24, -127, 127, -127, 127, false},
                        {0x38, 32, 0, 255, 0, 1000, true}};
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        const HidCapability& c = in.valueCaps[i];
        EXPECT_EQ(c.usageMin, rows[i].usage);
        EXPECT_EQ(c.usageMax, rows[i].usage);
        EXPECT_EQ(c.reportCount, 1);
        EXPECT_EQ(c.bitOffset, rows[i].bitOffset);
        EXPECT_EQ(c.logicalMin, rows[i].logicalMin);
        EXPECT_EQ(c.logicalMax, rows[i].logicalMax);
        EXPECT_EQ(c.physicalMin, rows[i].physicalMin);
        EXPECT_EQ(c.physicalMax, rows[i].physicalMax);
        EXPECT_EQ(c.isAbsolute, rows[i].isAbsolute);
    }
}

TEST(ReportDescriptor, ExtendedUsagesPushPopAndValueRanges) {
    const std::vector<uint8_t> bytes = {
        0x0B, 0x01, 0x00, 0x0C, 0x00,              // Usage (Consumer: Consumer Control), extended
        0xA1, 0x01,                                // Collection (Application)
        0x85, 0x07,                                //   Report ID (7)
        0x75, 0x04,                                //   Report Size (4)
        0xA4,                                      //   Push
        0x75, 0x10,                                //   Report Size (16)
        0x95, 0x02,                                //   Report Count (2)
        0x15, 0x00, 0x27, 0xFF, 0xFF, 0x00, 0x00,  // Logical 0..65535
        0x1B, 0x30, 0x00, 0x01, 0x00,              //   Usage Minimum (Generic Desktop: X), extended
        0x2B, 0x31, 0x00, 0x01, 0x00,              //   Usage Maximum (Generic Desktop: Y), extended
        0x81, 0x02,                                //   Input (Data, Variable, Absolute)
        0xB4,                                      //   Pop: report size back to 4
        0x95, 0x02,                                //   Report Count (2)
        0x05, 0x09, 0x19, 0x01, 0x29, 0x02, 0x25, 0x0F,  // Buttons 1-2 as 4-bit values
        0x81, 0x02,                                      //   Input (Data, Variable, Absolute)
        0xC0,
    };
    const ParsedReportDescriptor p = ParseOk(bytes);
    ASSERT_EQ(p.collections.size(), 1u);
    EXPECT_EQ(p.collections[0].usagePage, 0x0C);
    EXPECT_EQ(p.collections[0].usage, 0x01);
    const HidReportTypeInfo& in = p.collections[0].Reports(HidReportType::Input);
    EXPECT_EQ(in.reportByteLength, 1 + 4 + 1);
    ASSERT_EQ(in.valueCaps.size(), 2u);
    const HidCapability& xy = in.valueCaps[0];
    EXPECT_EQ(xy.usagePage, 0x01);
    EXPECT_TRUE(xy.isRange);
    EXPECT_EQ(xy.usageMin, 0x30);
    EXPECT_EQ(xy.usageMax, 0x31);
    EXPECT_EQ(xy.bitSize, 16);
    EXPECT_EQ(xy.reportCount, 2);
    EXPECT_EQ(xy.logicalMax, 65535);
    const HidCapability& nibbles = in.valueCaps[1];
    EXPECT_EQ(nibbles.bitSize, 4);  // restored by Pop
    EXPECT_EQ(nibbles.bitOffset, 8u + 32u);
    EXPECT_EQ(nibbles.usagePage, 0x09);
}

TEST(ReportDescriptor, ZeroPaddingAfterTheLastCollectionIsAccepted) {
    std::vector<uint8_t> padded = kMouseDescriptor;
    padded.insert(padded.end(), {0x00, 0x00, 0x00});
    EXPECT_EQ(ParseOk(padded).collections.size(), 1u);
}

TEST(ReportDescriptor, MalformedDescriptorsAreRejected) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {"empty", {}},
        {"truncated short item", {0x05, 0x01, 0xA1, 0x01, 0x26, 0xFF}},
        {"truncated long item", {0xA1, 0x01, 0xFE, 0x05, 0x10, 0x01}},
        {"end collection without collection", {0xC0}},
        {"collection not closed", {0x09, 0x01, 0xA1, 0x01, 0x75, 0x08}},
        {"main item outside a collection", {0x75, 0x08, 0x95, 0x01, 0x81, 0x02}},
        {"pop without push", {0xA1, 0x01, 0xB4, 0xC0}},
        {"report id 0", {0xA1, 0x01, 0x85, 0x00, 0xC0}},
        {"reserved item type", {0xA1, 0x01, 0x0C, 0xC0}},
        {"unknown main item", {0xA1, 0x01, 0xD0, 0xC0}},
        {"zero byte inside a collection", {0xA1, 0x01, 0x00, 0xC0}},
        {"usage minimum above maximum", {0xA1, 0x01, 0x19, 0x05, 0x29, 0x01, 0xC0}},
        {"report id after unnumbered reports",
         {0xA1, 0x01, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02, 0x85, 0x01, 0x81, 0x02, 0xC0}},
        {"one report id in two collections",
         {0xA1, 0x01, 0x85, 0x01, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02, 0xC0,  //
          0xA1, 0x01, 0x81, 0x02, 0xC0}},
        {"only global items", {0x05, 0x01, 0x75, 0x08}},
        {"report longer than 16-bit lengths allow",
         {0xA1, 0x01, 0x75, 0xFF, 0x96, 0xFF, 0xFF, 0x81, 0x02, 0xC0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ParsedReportDescriptor parsed;
        parsed.collections.resize(3);  // must be emptied on failure
        std::string error;
        EXPECT_FALSE(ParseReportDescriptor(c.bytes.data(), c.bytes.size(), &parsed, &error));
        EXPECT_FALSE(error.empty());
        EXPECT_TRUE(parsed.collections.empty());
    }
}

TEST(ReportDescriptor, EveryTruncationOfAValidDescriptorIsHandled) {
    // Top-level collections of the keyboard descriptor as [Collection byte, End byte].
    // No data byte of this descriptor equals 0xA1 or 0xC0.
    std::vector<std::pair<size_t, size_t>> spans;
    for (size_t i = 0; i < kKeyboardDescriptor.size(); ++i) {
        if (kKeyboardDescriptor[i] == 0xA1) spans.push_back({i, 0});
        if (kKeyboardDescriptor[i] == 0xC0) spans.back().second = i;
    }
    ASSERT_EQ(spans.size(), 4u);
    // A cut inside a collection is an error, never a crash or a read past the end; a cut
    // right after a collection leaves a complete descriptor.
    for (size_t cut = 0; cut < kKeyboardDescriptor.size(); ++cut) {
        SCOPED_TRACE(cut);
        const std::vector<uint8_t> prefix(kKeyboardDescriptor.begin(),
                                          kKeyboardDescriptor.begin() + cut);
        ParsedReportDescriptor parsed;
        std::string error;
        const bool ok = ParseReportDescriptor(prefix.data(), prefix.size(), &parsed, &error);
        for (size_t k = 0; k < spans.size(); ++k) {
            if (cut > spans[k].first && cut <= spans[k].second) {
                EXPECT_FALSE(ok);
            }
            if (cut == spans[k].second + 1) {
                EXPECT_TRUE(ok) << error;
                EXPECT_EQ(parsed.collections.size(), k + 1);
            }
        }
    }
}

TEST(ReportDescriptor, RandomBytesNeverCrash) {
    std::mt19937 rng(12345);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<size_t> size(0, 96);
    for (int i = 0; i < 2000; ++i) {
        std::vector<uint8_t> bytes(size(rng));
        for (uint8_t& b : bytes) b = static_cast<uint8_t>(byte(rng));
        ParsedReportDescriptor parsed;
        std::string error;
        if (!ParseReportDescriptor(bytes.data(), bytes.size(), &parsed, &error)) {
            EXPECT_FALSE(error.empty());
        }
    }
}

TEST(ReportDescriptor, ExtractReportBits) {
    const uint8_t report[] = {0x04, 0xA5, 0x3C, 0xFF, 0x01};
    struct Case {
        uint32_t offset;
        uint16_t size;
        bool ok;
        uint32_t value;
    };
    const Case cases[] = {
        {0, 8, true, 0x04},     {8, 4, true, 0x5},           {12, 4, true, 0xA},
        {8, 16, true, 0x3CA5},  {12, 8, true, 0xCA},         {40, 1, false, 0},
        {32, 8, true, 0x01},    {32, 16, false, 0},          {0, 40, true, 0xFF3CA504},
        {24, 16, true, 0x01FF}, {0xFFFFFFF0u, 32, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.offset << "/" << c.size);
        uint32_t value = 0;
        EXPECT_EQ(ExtractReportBits(report, sizeof report, c.offset, c.size, &value), c.ok);
        if (c.ok) {
            EXPECT_EQ(value, c.value);
        }
    }
}

}  // namespace
}  // namespace rerov
