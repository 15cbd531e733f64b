#include <gtest/gtest.h>

#include "devices/keyboard/macro_blob.h"
#include "tests/devices/keyboard/keyboard_files.h"
#include "tests/devices/keyboard/keyboard_test_support.h"

namespace rerov::test {
namespace {

MacroBlobMacro Events(size_t count) {
    MacroBlobMacro events;
    for (size_t i = 0; i < count; ++i) {
        events.push_back({static_cast<uint16_t>(i), 10, i % 2 == 0, static_cast<uint8_t>(i)});
    }
    return events;
}

TEST(MacroBlob, LaysOutHeaderOffsetsRecordsAndEvents) {
    MacroBlobMacro first = Events(3);
    first[0] = {20, 1, true, 4};
    first[1] = {300, 1, false, 4};
    const std::vector<uint8_t> blob = EncodeMacroBlob({first, Events(5)});
    ASSERT_EQ(blob.size(), 60u);
    const std::vector<uint8_t> header(blob.begin(), blob.begin() + 20);
    EXPECT_EQ(header, (std::vector<uint8_t>{0xAA, 0x55, 60, 0, 2, 0, 0,  0, 0,  0,
                                            0,    0,    0,  0, 0, 0, 20, 0, 36, 0}));
    EXPECT_EQ(std::vector<uint8_t>(blob.begin() + 20, blob.begin() + 32),
              (std::vector<uint8_t>{3, 0, 0, 0, 0x14, 0x00, 0x81, 0x04, 0x2C, 0x01, 0x01, 0x04}));
    EXPECT_EQ(blob[36], 5);
    // The last event of the second macro: delay 4, type 10 pressed, button 4.
    EXPECT_EQ(std::vector<uint8_t>(blob.end() - 4, blob.end()),
              (std::vector<uint8_t>{4, 0, 0x8A, 4}));
    EXPECT_EQ(MacroBlobSize({3, 5}), 60u);
}

TEST(MacroBlob, KeepsSevenBitsOfTheTypeAndTheLow16BitsOfTheDelay) {
    const std::vector<uint8_t> blob = EncodeMacroBlob({{{0xFFFF, 0xFF, false, 0xFE}}});
    EXPECT_EQ(std::vector<uint8_t>(blob.end() - 4, blob.end()),
              (std::vector<uint8_t>{0xFF, 0xFF, 0x7F, 0xFE}));
    struct Case {
        const char* text;
        uint16_t delay;
    };
    for (const Case c : {Case{"20", 20}, Case{"300", 300}, Case{"65535", 65535}, Case{"65536", 0},
                         Case{"70000", 4464}, Case{"4294967296", 0}, Case{"-1", 65535},
                         Case{" 12ms", 12}, Case{"abc", 0}, Case{"", 0}}) {
        EXPECT_EQ(DelayLow16(c.text), c.delay) << c.text;
    }
    // 10^29 + 7: 10^29 is a multiple of 2^16, so 7 is left.
    EXPECT_EQ(DelayLow16("100000000000000000000000000007"), 7);
}

TEST(MacroBlob, TakesEventsFromTheMacroFilesMembers) {
    EXPECT_EQ(MacroBlobEventFromJson(MacroStep(1, 4, "down", "20")),
              (MacroBlobEvent{20, 1, true, 4}));
    EXPECT_EQ(MacroBlobEventFromJson(MacroStep(9, 0xE1, "up", "300")),
              (MacroBlobEvent{300, 9, false, 0xE1}));
    Json::Value numeric = MacroStep(10, 4, "Down", "0");
    numeric["Delay"] = 70000;
    EXPECT_EQ(MacroBlobEventFromJson(numeric), (MacroBlobEvent{4464, 10, false, 4}));
    EXPECT_EQ(MacroBlobEventFromJson(Json::Value("junk")), MacroBlobEvent{});
    EXPECT_EQ(MacroBlobEventFromJson(Json::Value(Json::objectValue)), MacroBlobEvent{});
}

TEST(MacroBlob, OverflowCountsTheEventsThatDoNotFit) {
    EXPECT_EQ(MacroOverflow(300, 256), 12);
    EXPECT_EQ(MacroOverflow(257, 256), 1);
    EXPECT_EQ(MacroOverflow(256, 256), 0);
    EXPECT_EQ(MacroOverflow(16, 0), 5);
}

using KeyboardMacros = KeyboardSimTest;

TEST_F(KeyboardMacros, WritesTheBlobOfTheListedMacrosInListOrder) {
    std::vector<Json::Value> three = {MacroStep(1, 4, "down", "20"), MacroStep(1, 4, "up", "300"),
                                      MacroStep(10, 5, "down", "7")};
    WriteMacros(ProfileFolder(), 3, {{2, three}, {0, Steps(5)}});
    Connect();
    EXPECT_EQ(device_->DownloadMacros({2, 0}), 0);
    EXPECT_EQ(device_->LastDownloadLink(), 1);
    const std::vector<uint8_t> area = Firmware().MacroArea();
    ASSERT_GE(area.size(), 60u);
    EXPECT_EQ(std::vector<uint8_t>(area.begin(), area.begin() + 6),
              (std::vector<uint8_t>{0xAA, 0x55, 60, 0, 2, 0}));
    EXPECT_EQ(std::vector<uint8_t>(area.begin() + 16, area.begin() + 20),
              (std::vector<uint8_t>{20, 0, 36, 0}));
    EXPECT_EQ(std::vector<uint8_t>(area.begin() + 24, area.begin() + 32),
              (std::vector<uint8_t>{0x14, 0x00, 0x81, 0x04, 0x2C, 0x01, 0x01, 0x04}));
    EXPECT_EQ(area[36], 5);
    EXPECT_FALSE(Firmware().SessionOpen());
}

TEST_F(KeyboardMacros, RefusesABlobLargerThanTheDevicesMemoryAndSendsNothing) {
    // 16 + 2 × 6 + 4 × 68 = 300 bytes against 2 × 128.
    WriteMacros(ProfileFolder(), 2, {{0, Steps(34)}, {1, Steps(34)}});
    ASSERT_TRUE(Firmware().SetInfoByte(sim::KeyboardModel::kInfoMacroUnits, 2));
    Connect();
    EXPECT_EQ(device_->DownloadMacros({0, 1}), 12);
    EXPECT_TRUE(Sent(0x15).empty());
    EXPECT_TRUE(Sent(0x01).empty());
    EXPECT_EQ(device_->MacroMemorySize(), 256);
    // 16 + 12 + 4 × 57 = 256 bytes fill the memory exactly.
    WriteMacros(ProfileFolder(), 2, {{0, Steps(28)}, {1, Steps(29)}});
    EXPECT_EQ(device_->DownloadMacros({0, 1}), 0);
    EXPECT_FALSE(Sent(0x15).empty());
}

TEST_F(KeyboardMacros, SendsNothingWhenThereIsNothingToSend) {
    WriteMacros(ProfileFolder(), 2, {{0, Steps(3)}});
    Connect();
    EXPECT_EQ(device_->DownloadMacros({}), 0);
    EXPECT_TRUE(Sent().empty());
    std::filesystem::remove(ProfileFolder() / "macro.config");
    EXPECT_EQ(device_->DownloadMacros({0}), 0);
    EXPECT_TRUE(Sent(0x15).empty());
    WriteText(ProfileFolder() / "macro.config", "{ not json");
    EXPECT_EQ(device_->DownloadMacros({0}), 0);
    EXPECT_TRUE(Sent(0x15).empty());
}

TEST_F(KeyboardMacros, AnUnreadableMacroFileGivesAMacroWithoutEvents) {
    WriteMacros(ProfileFolder(), 3, {{1, Steps(2)}});
    WriteText(ProfileFolder() / "g0.mac", "{\"Events\": [ broken");
    // g2.mac does not exist.
    Connect();
    EXPECT_EQ(device_->DownloadMacros({0, 1, 2}), 0);
    const std::vector<uint8_t> area = Firmware().MacroArea();
    // 16 + 6 + 4 records: offsets 22, 26, 38.
    EXPECT_EQ(std::vector<uint8_t>(area.begin(), area.begin() + 28),
              (std::vector<uint8_t>{0xAA, 0x55, 42, 0, 3,  0, 0,  0, 0, 0, 0, 0, 0, 0,
                                    0,    0,    22, 0, 26, 0, 38, 0, 0, 0, 0, 0, 2, 0}));
    EXPECT_EQ(area[38], 0);
}

TEST_F(KeyboardMacros, KeepsTheLinksFailureApartFromTheResult) {
    WriteMacros(ProfileFolder(), 1, {{0, Steps(40)}});
    Connect();
    bus_->InjectFault(sim::SimPath::KeyboardCable,
                      {sim::SimFault::Kind::StatusFE, 2, 0x15, std::chrono::milliseconds(0)});
    EXPECT_EQ(device_->DownloadMacros({0}), 0);
    EXPECT_EQ(device_->LastDownloadLink(), kResultStatusFE);
    EXPECT_EQ(Sent(0x15).size(), 2u);

    device_->MainLink().SetConnected(false);
    ClearTrace();
    EXPECT_EQ(device_->DownloadMacros({0}), 0);
    EXPECT_EQ(device_->LastDownloadLink(), 0);
    EXPECT_TRUE(Sent().empty());
}

}  // namespace
}  // namespace rerov::test
