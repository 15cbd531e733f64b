// The code tables against the documented values: sizes, the rows the editors and labels
// depend on, and the scan-code lookups that tell similar keys apart.

#include "editors/assignment/code_tables.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace rerov::editors {
namespace {

TEST(CodeTables, HaveTheirDocumentedSizes) {
    EXPECT_EQ(MouseButtonTable().size(), 5u);
    EXPECT_EQ(DpiActionTable().size(), 3u);
    EXPECT_EQ(SystemKeyTable().size(), 3u);
    EXPECT_EQ(MediaKeyTable().size(), 18u);
    EXPECT_EQ(ShortcutKeyTable().size(), 11u);
    EXPECT_EQ(KeyCodeTable().size(), 142u);
    EXPECT_EQ(KeyScanTable().size(), 113u);
    EXPECT_EQ(FunctionKeyTable().size(), 15u);
    EXPECT_EQ(ShortcutIndexTable().size(), 9u);
}

struct RowCase {
    const char* table;
    int row;
    std::uint16_t id;
    std::uint8_t type, value, code;
    const char* nameKey;
};

std::span<const CodeRow> TableNamed(const std::string& name) {
    if (name == "mouse") return MouseButtonTable();
    if (name == "dpi") return DpiActionTable();
    if (name == "system") return SystemKeyTable();
    if (name == "media") return MediaKeyTable();
    if (name == "shortcut") return ShortcutKeyTable();
    if (name == "function") return FunctionKeyTable();
    if (name == "index") return ShortcutIndexTable();
    return KeyCodeTable();
}

class CodeRowTest : public ::testing::TestWithParam<RowCase> {};

TEST_P(CodeRowTest, HoldsTheDocumentedRow) {
    const RowCase& c = GetParam();
    const CodeRow& row = TableNamed(c.table)[static_cast<std::size_t>(c.row)];
    EXPECT_EQ(row.id, c.id);
    EXPECT_EQ(row.type, c.type);
    EXPECT_EQ(row.value, c.value);
    EXPECT_EQ(row.code, c.code);
    EXPECT_STREQ(row.nameKey, c.nameKey);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CodeRowTest,
    ::testing::Values(RowCase{"mouse", 1, 1, 0x10, 0x04, 0, "mouse_key_middle"},
                      RowCase{"mouse", 2, 2, 0x10, 0x02, 0, "mouse_key_right"},
                      RowCase{"mouse", 4, 4, 0x10, 0x08, 0, "mouse_key_back"},
                      RowCase{"dpi", 2, 2, 0x13, 3, 0, "mouse_key_DPI_loop"},
                      RowCase{"system", 2, 2, 0x40, 4, 0, "system_wake_up"},
                      RowCase{"media", 0, 0, 0x30, 0x83, 0x01, "media_text"},
                      RowCase{"media", 7, 7, 0x30, 0xE2, 0x00, "media_mute"},
                      RowCase{"media", 13, 13, 0x30, 0x2A, 0x02, "wed_favorite"},
                      RowCase{"media", 17, 17, 0x30, 0x8A, 0x01, "media_mail"},
                      RowCase{"shortcut", 4, 4, 0x20, 0x10, 0x06, "custem_copy"},
                      RowCase{"shortcut", 10, 10, 0x20, 0x10, 0x2E, "custem_magnify"},
                      RowCase{"keys", 0, 0xA2, 0x20, 0x01, 0, "keyboard_key_LCtrl"},
                      RowCase{"keys", 4, 0xA3, 0x20, 0x10, 0, "keyboard_key_RCtrl"},
                      RowCase{"keys", 7, 0x5C, 0x20, 0x80, 0, "keyboard_key_RWin"},
                      RowCase{"keys", 8, 'A', 0x20, 0, 0x04, "keyboard_key_A"},
                      RowCase{"keys", 33, 'Z', 0x20, 0, 0x1D, "keyboard_key_Z"},
                      RowCase{"keys", 43, '0', 0x20, 0, 0x27, "keyboard_key_0"},
                      RowCase{"keys", 53, 0xDC, 0x20, 0, 0x31, "keyboard_key_xiegang"},
                      RowCase{"keys", 57, 0xBC, 0x20, 0, 0x36, "keyboard_key_<"},
                      RowCase{"keys", 72, 0x7B, 0x20, 0, 0x45, "keyboard_key_F12"},
                      RowCase{"keys", 91, 0x0101, 0x20, 0, 0x58, "keyboard_key_Num Enter"},
                      RowCase{"keys", 101, 0x60, 0x20, 0, 0x62, "keyboard_key_Num 0"},
                      RowCase{"keys", 104, 0xE2, 0x20, 0, 0x64, "keyboard_key_K45"},
                      RowCase{"keys", 112, 0xFF, 0x20, 0, 0x90, "keyboard_key_K151"},
                      RowCase{"keys", 113, 0xBF, 0x20, 0, 0x32, "keyboard_key_K42"},
                      RowCase{"keys", 115, 0xAC, 0x30, 0x23, 0x02, "keyboard_key_Browaer Home"},
                      RowCase{"keys", 130, 0xA9, 0x30, 0x26, 0x02, "wed_stop"},
                      RowCase{"keys", 132, 0x0103, 0x40, 1, 0, "keyboard_key_Power"},
                      RowCase{"keys", 139, 0, 0xD0, 0xA2, 5, "keyboard_key_M5"},
                      RowCase{"keys", 141, 0, 0xA0, 0x1B, 0, "keyboard_key_GM"},
                      RowCase{"function", 5, 5, 0x14, 0x50, 0x02, "mouse_key_fire_key"},
                      RowCase{"function", 7, 7, 0x20, 0x80, 0, "win_key_text"},
                      RowCase{"function", 13, 13, 0x16, 0, 0, "mouse_key_DPI_shift"},
                      RowCase{"function", 14, 14, 0x23, 0, 0, "show_window"},
                      RowCase{"index", 0, 0x21, 0x22, 0, 0, "custem_open"},
                      RowCase{"index", 8, 0x29, 0x22, 0, 8, "custem_select_all"}));

TEST(CodeTables, KeyRowsCoverEveryUsageOnce) {
    // Rows 8-113 are the ordinary keys: each usage appears once, so a stored usage shows
    // one key name.
    std::set<int> usages;
    for (int row = kModifierRowCount; row <= 113; ++row) {
        const CodeRow& r = KeyCodeTable()[static_cast<std::size_t>(row)];
        EXPECT_EQ(r.type, kTypeKey) << row;
        EXPECT_EQ(r.value, 0) << row;
        EXPECT_TRUE(usages.insert(r.code).second) << "usage repeated at row " << row;
    }
}

TEST(CodeTables, ScanRowsAreUniqueAndParallelToKeyRows) {
    std::set<std::pair<int, bool>> seen;
    for (std::size_t i = 0; i < KeyScanTable().size(); ++i) {
        const ScanRow& scan = KeyScanTable()[i];
        EXPECT_TRUE(seen.insert({scan.scanCode, scan.extended}).second) << "row " << i;
        EXPECT_EQ(scan.virtualKey, KeyCodeTable()[i].id) << "row " << i;
    }
}

struct ScanCase {
    std::uint8_t scan;
    bool extended;
    const char* nameKey;
};

class ScanLookupTest : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ScanLookupTest, FindsTheKey) {
    const auto row = FindScanRow(GetParam().scan, GetParam().extended);
    ASSERT_TRUE(row.has_value());
    EXPECT_STREQ(KeyCodeTable()[static_cast<std::size_t>(*row)].nameKey, GetParam().nameKey);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ScanLookupTest,
    ::testing::Values(
        ScanCase{0x1C, false, "keyboard_key_Enter"}, ScanCase{0x1C, true, "keyboard_key_Num Enter"},
        ScanCase{0x45, true, "keyboard_key_Num Lock"}, ScanCase{0x45, false, "keyboard_key_Pause"},
        ScanCase{0x1D, false, "keyboard_key_LCtrl"}, ScanCase{0x1D, true, "keyboard_key_RCtrl"},
        ScanCase{0x38, true, "keyboard_key_RAlt"}, ScanCase{0x35, true, "keyboard_key_Num /"},
        ScanCase{0x35, false, "keyboard_key_/"}, ScanCase{0x37, true, "keyboard_key_Print Scr"},
        ScanCase{0x37, false, "keyboard_key_Num *"}, ScanCase{0x1E, false, "keyboard_key_A"},
        ScanCase{0x57, false, "keyboard_key_F11"}));

TEST(CodeTables, UnknownScanCodeHasNoRow) {
    EXPECT_FALSE(FindScanRow(0x1E, true).has_value());
    EXPECT_FALSE(FindScanRow(0x00, false).has_value());
    EXPECT_FALSE(FindScanRow(0xFF, false).has_value());
}

TEST(CodeTables, ModifierOptionsFoldLeftAndRight) {
    const int expected[] = {1, 2, 3, 4, 1, 2, 3, 4};
    for (int row = 0; row < kModifierRowCount; ++row) {
        EXPECT_EQ(ModifierOptionOfRow(row), expected[row]) << row;
    }
    EXPECT_EQ(ModifierOptionOfRow(8), 0);
    EXPECT_EQ(ModifierBitOfOption(2), 0x02);
    EXPECT_EQ(ModifierBitOfOption(4), 0x08);
    EXPECT_EQ(ModifierBitOfOption(0), 0);
    EXPECT_EQ(ModifierBitOfOption(5), 0);
}

}  // namespace
}  // namespace rerov::editors
