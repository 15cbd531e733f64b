#include <gtest/gtest.h>

#include <numeric>

#include "devices/keyboard/keyboard_key_table.h"
#include "devices/keyboard/keyboard_position_maps.h"
#include "sim/keyboard_layout.h"
#include "tests/devices/keyboard/keyboard_files.h"
#include "tests/devices/keyboard/keyboard_test_support.h"

namespace rerov::test {
namespace {

// The host's key table and the simulated firmware's factory codes were written apart; they
// must name the same key codes, or keys would not be found on the device.
TEST(KeyboardKeyTable, AgreesWithTheFirmwaresFactoryCodes) {
    const auto& table = KeyboardKeyTable();
    for (size_t key = 0; key < sim::kFactoryKeyCount; ++key) {
        const sim::KeyTriple firmware = sim::kFactoryKeyTriples[key];
        EXPECT_EQ(table[key], (KeyCodeTriple{firmware.type, firmware.value, firmware.code}))
            << "key index " << key;
    }
    for (size_t key = sim::kFactoryKeyCount; key < table.size(); ++key) {
        EXPECT_EQ(table[key], (KeyCodeTriple{0x20, 0, 0})) << "key index " << key;
    }
    EXPECT_EQ(FactoryTripleOfKey(-1), KeyCodeTriple{});
    EXPECT_EQ(FactoryTripleOfKey(170), KeyCodeTriple{});
}

// A factory table of `positions` zero triples with the given triples placed.
std::vector<uint8_t> FactoryTable(int positions, const std::map<int, KeyCodeTriple>& placed) {
    std::vector<uint8_t> table(static_cast<size_t>(positions) * 3, 0);
    for (const auto& [p, t] : placed) {
        table[3 * p] = t.type;
        table[3 * p + 1] = t.value;
        table[3 * p + 2] = t.code;
    }
    return table;
}

TEST(KeyboardPositionMaps, FindEachKeyAtTheFirstPositionHoldingItsTriple) {
    const KeyCodeTriple esc = FactoryTripleOfKey(0);
    const KeyCodeTriple f1 = FactoryTripleOfKey(1);
    std::vector<uint8_t> leds(20);
    std::iota(leds.begin(), leds.end(), uint8_t{100});
    leds[9] = 255;  // no LED under position 9

    // Esc at 7; F1 at 12 and 4: the lower wins; Alt (key 105) at 9 without a LED.
    const PositionMaps maps = BuildPositionMaps(
        FactoryTable(20, {{7, esc}, {12, f1}, {4, f1}, {9, FactoryTripleOfKey(105)}}), leds, 20);
    EXPECT_EQ(maps.keyPosition.at(0), 7);
    EXPECT_EQ(maps.lightPosition.at(0), leds[7]);
    EXPECT_EQ(maps.keyPosition.at(1), 4);
    EXPECT_EQ(maps.lightPosition.at(1), leds[4]);
    EXPECT_EQ(maps.keyPosition.at(105), 9);
    EXPECT_EQ(maps.lightPosition.count(105), 0u);
    EXPECT_EQ(maps.keyPosition.size(), 3u);
}

TEST(KeyboardPositionMaps, SearchOnlyThePositionsTheDeviceReports) {
    const std::vector<uint8_t> factory = FactoryTable(20, {{15, FactoryTripleOfKey(0)}});
    const std::vector<uint8_t> leds(20, 1);
    EXPECT_TRUE(BuildPositionMaps(factory, leds, 15).keyPosition.empty());
    EXPECT_EQ(BuildPositionMaps(factory, leds, 16).keyPosition.at(0), 15);
    // A count larger than the tables reads no further than they go.
    EXPECT_EQ(BuildPositionMaps(factory, leds, 170).keyPosition.at(0), 15);
    EXPECT_TRUE(BuildPositionMaps(factory, leds, 0).keyPosition.empty());
}

TEST(KeyboardPositionMaps, LetEveryUnnamedKeyClaimTheFirstEmptyKeyPosition) {
    // Key 104 and every index from 126 on share (0x20, 0, 0).
    const PositionMaps maps = BuildPositionMaps(FactoryTable(10, {{6, KeyCodeTriple{0x20, 0, 0}}}),
                                                std::vector<uint8_t>(10, 3), 10);
    EXPECT_EQ(maps.keyPosition.at(104), 6);
    EXPECT_EQ(maps.keyPosition.at(126), 6);
    EXPECT_EQ(maps.keyPosition.at(169), 6);
}

using KeyboardReadout = KeyboardSimTest;

size_t BytesRequested(const std::vector<CommandReport>& reports) {
    size_t total = 0;
    for (const CommandReport& r : reports) total += r.DataLength();
    return total;
}

TEST_F(KeyboardReadout, MapsEveryKeyOfTheFirmwareToItsPositionAndLed) {
    Connect();
    ASSERT_TRUE(device_->ReadGeometry());
    const std::vector<uint8_t> leds = Firmware().LedTable();
    for (int key = 0; key < kDownloadKeyCount; ++key) {
        const int position = sim::FirstPositionOfKey(key);
        if (position < 0) {
            EXPECT_EQ(device_->KeyPosition(key), kNoPosition) << "key " << key;
            continue;
        }
        EXPECT_EQ(device_->KeyPosition(key), position) << "key " << key;
        EXPECT_EQ(device_->LedNumber(key), leds[static_cast<size_t>(position)]) << "key " << key;
    }
    const int count = Firmware().KeyPositionCount();
    EXPECT_EQ(device_->KeyPositionCount(), count);
    EXPECT_EQ(BytesRequested(Sent(0x07)), static_cast<size_t>(count) * 3);
    EXPECT_EQ(BytesRequested(Sent(0x1B)), static_cast<size_t>(count));
    const std::vector<uint8_t> factory = device_->FactoryKeyTable();
    const std::vector<uint8_t> firmware = Firmware().FactoryKeyTable();
    EXPECT_TRUE(std::equal(factory.begin(), factory.begin() + count * 3, firmware.begin()));
    EXPECT_EQ(Sent(0x02).size(), 1u);
    EXPECT_FALSE(Firmware().SessionOpen());
}

TEST_F(KeyboardReadout, ReadsAsManyBytesAsTheDeviceHasPositions) {
    ASSERT_TRUE(Firmware().SetInfoByte(sim::KeyboardModel::kInfoKeyPositionCount, 104));
    Connect();
    ASSERT_TRUE(device_->ReadGeometry());
    EXPECT_EQ(BytesRequested(Sent(0x07)), 312u);
    EXPECT_EQ(BytesRequested(Sent(0x1B)), 104u);
    // Keys past position 103 are not on this device.
    EXPECT_EQ(device_->KeyPosition(104), kNoPosition);
    EXPECT_EQ(device_->KeyPosition(0), sim::FirstPositionOfKey(0));
}

TEST_F(KeyboardReadout, StopsAfterTheInformationBlockWhenTheDeviceHasTooManyPositions) {
    ASSERT_TRUE(Firmware().SetInfoByte(sim::KeyboardModel::kInfoKeyPositionCount, 171));
    Connect();
    EXPECT_FALSE(device_->ReadGeometry());
    EXPECT_EQ(Sent(0x01).size(), 1u);
    EXPECT_EQ(Sent(0x03).size(), Sent().size() - 1);
    EXPECT_TRUE(Sent(0x02).empty()) << "the device expects no end of session here";
    EXPECT_EQ(device_->KeyPosition(0), kNoPosition);
}

TEST_F(KeyboardReadout, KeepsTheLastGoodMapsWhenATableReadFails) {
    Connect();
    ASSERT_TRUE(device_->ReadGeometry());
    const uint8_t escape = device_->KeyPosition(0);
    bus_->InjectFault(sim::SimPath::KeyboardCable,
                      {sim::SimFault::Kind::StatusFE, 1, 0x1B, std::chrono::milliseconds(0)});
    ASSERT_TRUE(Firmware().SetInfoByte(sim::KeyboardModel::kInfoKeyPositionCount, 10));
    EXPECT_FALSE(device_->ReadGeometry());
    EXPECT_EQ(device_->KeyPosition(0), escape);
    EXPECT_FALSE(Firmware().SessionOpen());
}

TEST_F(KeyboardReadout, ADeviceWithoutPositionsHasNoKeys) {
    ASSERT_TRUE(Firmware().SetInfoByte(sim::KeyboardModel::kInfoKeyPositionCount, 0));
    Connect();
    EXPECT_TRUE(device_->ReadGeometry());
    EXPECT_TRUE(Sent(0x07).empty());
    for (int key = 0; key < kKeyboardKeyCount; ++key) {
        ASSERT_EQ(device_->KeyPosition(key), kNoPosition) << key;
        ASSERT_EQ(device_->LedNumber(key), kNoPosition) << key;
    }
}

TEST_F(KeyboardReadout, ChangesNothingWithoutADevice) {
    EXPECT_FALSE(device_->ReadGeometry());
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(device_->KeyPositionCount(), 0);
    EXPECT_EQ(device_->KeyPosition(0), kNoPosition);
}

TEST_F(KeyboardReadout, ReadAllTakesTheGeometryAndTheCurrentProfile) {
    RecordingKeyView view;
    device_->SetView(&view);
    Connect();
    device_->ReadAll();
    EXPECT_EQ(device_->KeyPosition(0), sim::FirstPositionOfKey(0));
    EXPECT_EQ(device_->KeyList().size(), static_cast<size_t>(kKeyboardKeyCount));
    EXPECT_FALSE(device_->ProfileName().empty());
    EXPECT_FALSE(device_->NameLists().modeNames.empty());
    EXPECT_GE(view.settingsShown, 1);
    // The Esc key of the factory profile is labelled with its own name.
    EXPECT_EQ(device_->KeyLabel(0), "keyboard_key_Esc");
    device_->SetView(nullptr);
}

}  // namespace
}  // namespace rerov::test
