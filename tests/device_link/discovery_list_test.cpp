// The found-device list: which interfaces it takes, that every row is taken once, and
// that it stays consistent with one thread writing and another reading.

#include <gtest/gtest.h>

#include <thread>

#include "device_link/found_device_list.h"

namespace rerov {
namespace {

struct MarkCase {
    const char* name;
    size_t like;          // row whose identifiers are used
    int usagePageDelta;   // added to the row's usage page
    int usageDelta;       // added to the row's usage
    int collectionDelta;  // added to the row's collection
    int expected;         // index marked, -1 none
};

class FoundListMarkTest : public ::testing::TestWithParam<MarkCase> {};

TEST_P(FoundListMarkTest, MarksTheFirstAbsentEqualEntry) {
    const MarkCase& c = GetParam();
    FoundDeviceList list;
    const SupportedDevice row = list.Entry(c.like);
    const int index =
        list.MarkPresent(row.vendorId, row.productId, row.interfaceNumber,
                         static_cast<uint16_t>(row.collectionNumber + c.collectionDelta),
                         static_cast<uint16_t>(row.usagePage + c.usagePageDelta),
                         static_cast<uint16_t>(row.usage + c.usageDelta), "vid_x#node");
    EXPECT_EQ(index, c.expected);
    for (size_t i = 0; i < list.Size(); ++i) {
        EXPECT_EQ(list.IsPresent(i), static_cast<int>(i) == c.expected) << "entry " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, FoundListMarkTest,
                         ::testing::Values(MarkCase{"keyboard_command", 0, 0, 0, 0, 0},
                                           MarkCase{"keyboard_events", 1, 0, 0, 0, 1},
                                           MarkCase{"receiver_command", 2, 0, 0, 0, 2},
                                           MarkCase{"headset", 10, 0, 0, 0, 10},
                                           MarkCase{"wrong_usage_page", 0, 1, 0, 0, -1},
                                           MarkCase{"wrong_usage", 0, 0, 1, 0, -1},
                                           MarkCase{"command_usage_on_event_collection", 0, 0, 0,
                                                    -1, -1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FoundListTest, EveryRowIsPresentOnlyOnce) {
    FoundDeviceList list;
    const SupportedDevice row = list.Entry(0);
    auto mark = [&](const std::string& path) {
        return list.MarkPresent(row.vendorId, row.productId, row.interfaceNumber,
                                row.collectionNumber, row.usagePage, row.usage, path);
    };
    EXPECT_EQ(mark("vid_a#first"), 0);
    EXPECT_FALSE(list.WantsInterface(row.vendorId, row.productId, row.interfaceNumber,
                                     row.collectionNumber));
    EXPECT_EQ(mark("vid_a#second"), -1);
    EXPECT_EQ(list.PathOf(0), "vid_a#first");

    EXPECT_TRUE(list.MarkAbsent(0));
    EXPECT_FALSE(list.MarkAbsent(0));
    EXPECT_EQ(list.PathOf(0), "");
    EXPECT_TRUE(list.WantsInterface(row.vendorId, row.productId, row.interfaceNumber,
                                    row.collectionNumber));
    EXPECT_EQ(mark("vid_a#second"), 0);
}

TEST(FoundListTest, EmptyPathAndOutOfRangeAreRefused) {
    FoundDeviceList list;
    const SupportedDevice row = list.Entry(0);
    EXPECT_EQ(list.MarkPresent(row.vendorId, row.productId, row.interfaceNumber,
                               row.collectionNumber, row.usagePage, row.usage, ""),
              -1);
    EXPECT_FALSE(list.IsPresent(list.Size()));
    EXPECT_FALSE(list.MarkAbsent(list.Size()));
    EXPECT_EQ(list.Entry(list.Size()).vendorId, 0);
}

TEST(FoundListTest, ReaderSeesPresentFlagAndPathTogether) {
    FoundDeviceList list;
    const SupportedDevice row = list.Entry(0);
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 0; i < 2000; ++i) {
            list.MarkPresent(row.vendorId, row.productId, row.interfaceNumber, row.collectionNumber,
                             row.usagePage, row.usage, "vid_a#node" + std::to_string(i));
            list.MarkAbsent(0);
        }
        done = true;
    });
    while (!done.load()) {
        const SupportedDevice entry = list.Entry(0);
        ASSERT_EQ(entry.present != 0, !entry.path.empty());
        for (const auto& [index, path] : list.PresentEntries()) {
            ASSERT_EQ(index, 0u);
            ASSERT_FALSE(path.empty());
        }
    }
    writer.join();
}

}  // namespace
}  // namespace rerov
