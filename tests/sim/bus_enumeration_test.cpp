// Enumeration, opening and the report descriptors of the virtual interfaces.

#include <gtest/gtest.h>

#include "device_link/report_descriptor.h"
#include "tests/sim/sim_test_support.h"

namespace rerov::sim::testing {
namespace {

using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

struct EnumerationCase {
    SimPath path;
    std::vector<std::string> paths;
};

const EnumerationCase kEnumerationCases[] = {
    {SimPath::KeyboardCable,
     {"vid_1a2b&pid_0101&mi_00#sim:keyboard/0", "vid_1a2b&pid_0101&mi_01&col01#sim:keyboard/1",
      "vid_1a2b&pid_0101&mi_01&col02#sim:keyboard/1",
      "vid_1a2b&pid_0101&mi_01&col03#sim:keyboard/1",
      "vid_1a2b&pid_0101&mi_01&col04#sim:keyboard/1"}},
    {SimPath::KeyboardReceiver,
     {"vid_1a2b&pid_0102&mi_00#sim:keyboard-receiver/0",
      "vid_1a2b&pid_0102&mi_01&col01#sim:keyboard-receiver/1",
      "vid_1a2b&pid_0102&mi_01&col02#sim:keyboard-receiver/1",
      "vid_1a2b&pid_0102&mi_01&col03#sim:keyboard-receiver/1",
      "vid_1a2b&pid_0102&mi_01&col04#sim:keyboard-receiver/1"}},
    {SimPath::MouseCable,
     {"vid_1a2b&pid_0203&mi_00#sim:mouse/0", "vid_1a2b&pid_0203&mi_01&col01#sim:mouse/1",
      "vid_1a2b&pid_0203&mi_01&col02#sim:mouse/1", "vid_1a2b&pid_0203&mi_01&col03#sim:mouse/1",
      "vid_1a2b&pid_0203&mi_01&col04#sim:mouse/1"}},
    {SimPath::MouseReceiver,
     {"vid_1a2b&pid_0204&mi_00#sim:mouse-receiver/0",
      "vid_1a2b&pid_0204&mi_01&col01#sim:mouse-receiver/1",
      "vid_1a2b&pid_0204&mi_01&col02#sim:mouse-receiver/1",
      "vid_1a2b&pid_0204&mi_01&col03#sim:mouse-receiver/1",
      "vid_1a2b&pid_0204&mi_01&col04#sim:mouse-receiver/1"}},
    {SimPath::MousePad,
     {"vid_1a2b&pid_0305&mi_00#sim:mousepad/0", "vid_1a2b&pid_0305&mi_01&col01#sim:mousepad/1",
      "vid_1a2b&pid_0305&mi_01&col02#sim:mousepad/1",
      "vid_1a2b&pid_0305&mi_01&col03#sim:mousepad/1",
      "vid_1a2b&pid_0305&mi_01&col04#sim:mousepad/1"}},
    {SimPath::Headset, {"vid_3c4d&pid_0406&mi_03#sim:headset/3"}},
};

class EnumerationTest : public SimTest, public ::testing::WithParamInterface<EnumerationCase> {};

TEST_P(EnumerationTest, ListsEveryCollectionOfAPluggedPathOnly) {
    EXPECT_THAT(bus_.EnumeratePaths(), IsEmpty());
    bus_.Plug(GetParam().path);
    EXPECT_TRUE(bus_.IsPlugged(GetParam().path));
    EXPECT_THAT(bus_.EnumeratePaths(), ElementsAreArray(GetParam().paths));
    bus_.Unplug(GetParam().path);
    EXPECT_THAT(bus_.EnumeratePaths(), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(AllPaths, EnumerationTest, ::testing::ValuesIn(kEnumerationCases));

TEST_F(SimTest, SeveralPathsAreListedTogether) {
    bus_.Plug(SimPath::Headset);
    bus_.Plug(SimPath::KeyboardCable);
    const auto paths = bus_.EnumeratePaths();
    EXPECT_EQ(paths.size(), 6u);
    EXPECT_EQ(std::count(paths.begin(), paths.end(), CommandPath(SimPath::KeyboardCable)), 1);
    EXPECT_EQ(std::count(paths.begin(), paths.end(), CommandPath(SimPath::Headset)), 1);
}

TEST_F(SimTest, OpenGivesTheIdsOfThePathAndFailsForAbsentOrUnknownPaths) {
    std::string error;
    EXPECT_EQ(bus_.Open(CommandPath(SimPath::KeyboardCable), kCommandAccess, &error), nullptr);
    EXPECT_FALSE(error.empty());
    bus_.Plug(SimPath::KeyboardCable);
    bus_.Plug(SimPath::Headset);
    auto keyboard = OpenCommand(SimPath::KeyboardCable);
    ASSERT_NE(keyboard, nullptr);
    EXPECT_EQ(keyboard->VendorId(), 0x1a2b);
    EXPECT_EQ(keyboard->ProductId(), 0x0101);
    auto headset = OpenCommand(SimPath::Headset);
    ASSERT_NE(headset, nullptr);
    EXPECT_EQ(headset->VendorId(), 0x3c4d);
    EXPECT_EQ(headset->ProductId(), 0x0406);
    error.clear();
    EXPECT_EQ(bus_.Open("vid_1a2b&pid_0101&mi_01&col05#sim:keyboard/1", kCommandAccess, &error),
              nullptr);
    EXPECT_FALSE(error.empty());
}

TEST_F(SimTest, ExclusiveOpenSharesForReadingOnly) {
    bus_.Plug(SimPath::KeyboardCable);
    const std::string path = CommandPath(SimPath::KeyboardCable);
    std::string error;
    auto probe = bus_.Open(path, kProbeAccess, &error);  // discovery probe, read only
    ASSERT_NE(probe, nullptr);
    auto exclusive =
        bus_.Open(path, HidOpenMode{.read = true, .write = true, .exclusive = true}, &error);
    ASSERT_NE(exclusive, nullptr) << "a reader does not block an exclusive open";
    EXPECT_EQ(bus_.Open(path, kCommandAccess, &error), nullptr)
        << "a second writer is refused while the interface is held exclusively";
    EXPECT_NE(bus_.Open(path, kProbeAccess, &error), nullptr);
    exclusive.reset();
    EXPECT_NE(bus_.Open(path, kCommandAccess, &error), nullptr);
}

struct CollectionExpectation {
    uint16_t usagePage;
    uint16_t usage;
    uint8_t reportId;
};

// The parsed descriptor of interface 1 must show the supported-device table's collections
// in their numbered order, with the 64-byte vendor reports.
TEST_F(SimTest, CommandInterfaceDescriptorParsesIntoTheFourCollections) {
    const CollectionExpectation expected[] = {
        {0x0001, 0x80, 1}, {0x0001, 0x06, 2}, {0x000C, 0x01, 3}, {0xFF1C, 0x92, 4}};
    for (SimPath path : {SimPath::KeyboardCable, SimPath::KeyboardReceiver, SimPath::MouseCable,
                         SimPath::MouseReceiver, SimPath::MousePad}) {
        SCOPED_TRACE(CommandPath(path));
        bus_.Plug(path);
        auto connection = OpenCommand(path);
        ASSERT_NE(connection, nullptr);
        const auto bytes = connection->ReportDescriptor();
        ParsedReportDescriptor parsed;
        std::string error;
        ASSERT_TRUE(ParseReportDescriptor(bytes.data(), bytes.size(), &parsed, &error)) << error;
        EXPECT_TRUE(parsed.usesReportIds);
        ASSERT_EQ(parsed.collections.size(), 4u);
        const bool mouse = path == SimPath::MouseCable || path == SimPath::MouseReceiver;
        for (size_t i = 0; i < 4; ++i) {
            const auto& collection = parsed.collections[i];
            EXPECT_EQ(collection.number, i + 1);
            EXPECT_EQ(collection.usagePage, expected[i].usagePage);
            EXPECT_EQ(collection.usage, i == 1 && mouse ? 0x02 : expected[i].usage);
            EXPECT_THAT(collection.Reports(HidReportType::Input).reportIds,
                        ElementsAreArray({expected[i].reportId}));
        }
        const auto& vendor = parsed.collections[3];
        EXPECT_EQ(vendor.Reports(HidReportType::Input).reportByteLength, 64);
        EXPECT_EQ(vendor.Reports(HidReportType::Output).reportByteLength, 64);
        // The event collection carries one 16-bit usage wide enough for every event code.
        const auto& events = parsed.collections[2].Reports(HidReportType::Input);
        EXPECT_EQ(events.reportByteLength, 3);
        ASSERT_EQ(events.buttonCaps.size(), 1u);
        EXPECT_LE(events.buttonCaps[0].usageMin, 0x401);
        EXPECT_GE(events.buttonCaps[0].usageMax, 0x11FF);
    }
}

TEST_F(SimTest, SingleCollectionNodesParse) {
    bus_.Plug(SimPath::KeyboardCable);
    bus_.Plug(SimPath::Headset);
    struct Node {
        std::string path;
        uint16_t usagePage;
        uint16_t usage;
        bool usesReportIds;
    };
    const Node nodes[] = {
        {"vid_1a2b&pid_0101&mi_00#sim:keyboard/0", 0x0001, 0x06, false},
        {CommandPath(SimPath::Headset), 0x000C, 0x01, true},
    };
    for (const Node& node : nodes) {
        SCOPED_TRACE(node.path);
        auto connection = OpenPath(node.path);
        ASSERT_NE(connection, nullptr);
        const auto bytes = connection->ReportDescriptor();
        ParsedReportDescriptor parsed;
        std::string error;
        ASSERT_TRUE(ParseReportDescriptor(bytes.data(), bytes.size(), &parsed, &error)) << error;
        EXPECT_EQ(parsed.usesReportIds, node.usesReportIds);
        ASSERT_EQ(parsed.collections.size(), 1u);
        EXPECT_EQ(parsed.collections[0].usagePage, node.usagePage);
        EXPECT_EQ(parsed.collections[0].usage, node.usage);
    }
}

TEST_F(SimTest, WritesOfUndeclaredReportsFail) {
    bus_.Plug(SimPath::KeyboardCable);
    bus_.Plug(SimPath::Headset);
    auto keyboard = OpenCommand(SimPath::KeyboardCable);
    auto headset = OpenCommand(SimPath::Headset);
    ASSERT_NE(keyboard, nullptr);
    ASSERT_NE(headset, nullptr);
    const Report request = Request(kCmdBeginSession);
    EXPECT_EQ(keyboard->Write(request.data(), 63, 1000), -1) << "short command report";
    std::array<uint8_t, 64> wrongId = request;
    wrongId[0] = 5;
    EXPECT_EQ(keyboard->Write(wrongId.data(), wrongId.size(), 1000), -1);
    EXPECT_EQ(headset->Write(request.data(), request.size(), 1000), -1)
        << "the headset has no command collection";
    std::array<uint8_t, 17> light{0xFF, 0x22, 0xAA};
    EXPECT_EQ(headset->Write(light.data(), light.size(), 1000), 17);
    auto readOnly = OpenPath(CommandPath(SimPath::KeyboardCable), kProbeAccess);
    ASSERT_NE(readOnly, nullptr);
    EXPECT_EQ(readOnly->Write(request.data(), request.size(), 1000), -1);
}

}  // namespace
}  // namespace rerov::sim::testing
