// The keyboard's factory data: documented key codes, the matrix geometry and the LED chain.

#include "sim/keyboard_layout.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "tests/sim/sim_test_support.h"

namespace rerov::sim::testing {
namespace {

struct TripleCase {
    int keyIndex;
    KeyTriple triple;
};

// Values of the host's keyboard key table, as documented.
const TripleCase kDocumentedTriples[] = {
    {0, {0x20, 0x00, 0x29}},   {1, {0x20, 0x00, 0x3A}},   {15, {0x20, 0x00, 0x48}},
    {16, {0xA0, 0x1B, 0x00}},  {17, {0x30, 0x92, 0x01}},  {20, {0x30, 0xE9, 0x00}},
    {21, {0x20, 0x00, 0x35}},  {42, {0x20, 0x00, 0x2B}},  {43, {0x20, 0x00, 0x14}},
    {64, {0x20, 0x00, 0x04}},  {83, {0x20, 0x00, 0x88}},  {84, {0x20, 0x02, 0x00}},
    {94, {0x20, 0x00, 0x38}},  {95, {0x20, 0x20, 0x00}},  {103, {0x20, 0x00, 0x85}},
    {104, {0x20, 0x00, 0x00}}, {108, {0x20, 0x00, 0x2C}}, {110, {0xA0, 0x01, 0x00}},
    {112, {0x20, 0x10, 0x00}}, {119, {0x20, 0x00, 0x57}}, {120, {0xD0, 0xA2, 0x01}},
    {124, {0xD0, 0xA2, 0x05}}, {125, {0x20, 0x80, 0x00}},
};

KeyTriple TripleAt(const std::vector<uint8_t>& table, size_t position) {
    return {table[position * 3], table[position * 3 + 1], table[position * 3 + 2]};
}

TEST(KeyboardLayoutTest, FactoryTableHoldsTheDocumentedCodesAtTheKeysPositions) {
    const auto table = BuildFactoryKeyTable();
    for (const TripleCase& c : kDocumentedTriples) {
        SCOPED_TRACE(c.keyIndex);
        const int position = FirstPositionOfKey(c.keyIndex);
        ASSERT_GE(position, 0);
        EXPECT_EQ(TripleAt(table, static_cast<size_t>(position)), c.triple);
    }
}

// The host's position search (first position whose triple matches) must find every key
// index at the cell where the matrix puts it, and the positions must not simply follow
// key-index order.
TEST(KeyboardLayoutTest, EveryKeyIsFoundAtItsFirstMatrixCellOutOfIndexOrder) {
    const auto table = BuildFactoryKeyTable();
    std::set<KeyTriple, bool (*)(const KeyTriple&, const KeyTriple&)> distinct(
        [](const KeyTriple& a, const KeyTriple& b) {
            return std::tie(a.type, a.value, a.code) < std::tie(b.type, b.value, b.code);
        });
    bool inIndexOrder = true;
    int previous = -1;
    for (int key = 0; key < static_cast<int>(kFactoryKeyCount); ++key) {
        SCOPED_TRACE(key);
        const KeyTriple& triple = kFactoryKeyTriples[static_cast<size_t>(key)];
        EXPECT_TRUE(distinct.insert(triple).second) << "two key indices share a code";
        int found = -1;
        for (size_t position = 0; position < kMatrixPositions; ++position) {
            if (TripleAt(table, position) == triple) {
                found = static_cast<int>(position);
                break;
            }
        }
        EXPECT_EQ(found, FirstPositionOfKey(key));
        EXPECT_GE(found, 0);
        if (found < previous) inIndexOrder = false;
        previous = found;
    }
    EXPECT_FALSE(inIndexOrder);
}

TEST(KeyboardLayoutTest, OneCodeOccursTwiceAndTheLowerPositionIsTheKeysOwn) {
    const auto table = BuildFactoryKeyTable();
    std::map<std::tuple<uint8_t, uint8_t, uint8_t>, std::vector<size_t>> positions;
    for (size_t position = 0; position < kMatrixPositions; ++position) {
        const KeyTriple t = TripleAt(table, position);
        if (t == KeyTriple{}) continue;  // no switch at this cell
        positions[{t.type, t.value, t.code}].push_back(position);
    }
    int duplicates = 0;
    for (const auto& [triple, where] : positions) {
        if (where.size() < 2) continue;
        ++duplicates;
        EXPECT_EQ(where.size(), 2u);
        EXPECT_EQ(triple, std::make_tuple(uint8_t{0xA0}, uint8_t{0x01}, uint8_t{0x00})) << "Fn";
        EXPECT_EQ(static_cast<int>(where.front()), FirstPositionOfKey(110));
    }
    EXPECT_EQ(duplicates, 1);
}

TEST(KeyboardLayoutTest, LedChainNumbersEveryKeyOnceAndSkipsEmptyCells) {
    const auto keys = BuildFactoryKeyTable();
    const auto leds = BuildLedTable();
    ASSERT_EQ(leds.size(), kMatrixPositions);
    std::set<uint8_t> seen;
    for (size_t position = 0; position < kMatrixPositions; ++position) {
        const bool hasKey = TripleAt(keys, position) != KeyTriple{};
        if (!hasKey) {
            EXPECT_EQ(leds[position], kNoLed) << position;
            continue;
        }
        EXPECT_LT(leds[position], kMatrixPositions);
        EXPECT_TRUE(seen.insert(leds[position]).second) << "LED " << int(leds[position]);
    }
    EXPECT_EQ(seen.size(), 127u);
    // The chain turns at the row end: row 1 runs right to left.
    EXPECT_EQ(leds[kMatrixColumns + kMatrixColumns - 1], 22);  // keypad minus, first of row 1
    EXPECT_EQ(leds[kMatrixColumns], 44);                       // G2, last of row 1
}

TEST(KeyboardLayoutTest, ModelServesTheLayoutTablesPaddedToAPage) {
    KeyboardModel keyboard;
    const auto factory = keyboard.FactoryKeyTable();
    const auto leds = keyboard.LedTable();
    ASSERT_EQ(factory.size(), 512u);
    ASSERT_EQ(leds.size(), 512u);
    const auto built = BuildFactoryKeyTable();
    EXPECT_TRUE(std::equal(built.begin(), built.end(), factory.begin()));
    EXPECT_EQ(keyboard.KeyTable(), factory) << "keys start as the keycaps say";
    EXPECT_EQ(keyboard.KeyPositionCount(), kMatrixPositions);
}

}  // namespace
}  // namespace rerov::sim::testing
