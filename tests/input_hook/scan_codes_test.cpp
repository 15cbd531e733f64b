// The key number conversions every capture backend relies on.

#include "input_hook/scan_codes.h"

#include <QtCore/qnamespace.h>
#include <gtest/gtest.h>

#include "editors/assignment/code_tables.h"

namespace rerov::input_hook {
namespace {

struct EvdevCase {
    int evdev;
    ScanKey key;
};

class EvdevTest : public ::testing::TestWithParam<EvdevCase> {};

TEST_P(EvdevTest, MapsBothWays) {
    EXPECT_EQ(ScanKeyOfEvdev(GetParam().evdev), GetParam().key);
    EXPECT_EQ(EvdevOfScanKey(GetParam().key), GetParam().evdev);
}

INSTANTIATE_TEST_SUITE_P(Keys, EvdevTest,
                         ::testing::Values(EvdevCase{1, {0x01, false}},     // Esc
                                           EvdevCase{30, {0x1E, false}},    // A
                                           EvdevCase{28, {0x1C, false}},    // Enter
                                           EvdevCase{96, {0x1C, true}},     // keypad Enter
                                           EvdevCase{69, {0x45, true}},     // Num Lock
                                           EvdevCase{119, {0x45, false}},   // Pause
                                           EvdevCase{29, {0x1D, false}},    // left Ctrl
                                           EvdevCase{97, {0x1D, true}},     // right Ctrl
                                           EvdevCase{54, {0x36, true}},     // right Shift
                                           EvdevCase{87, {0x57, false}},    // F11
                                           EvdevCase{125, {0x5B, true}},    // left Win
                                           EvdevCase{111, {0x53, true}}));  // Delete

TEST(ScanCodes, EveryCapturableKeyOfTheTableHasAnEvdevCode) {
    // Every KeyScanTable row can come from a Linux keyboard, so every key can be captured.
    for (std::size_t row = 0; row < editors::KeyScanTable().size(); ++row) {
        const editors::ScanRow& scan = editors::KeyScanTable()[row];
        const auto evdev = EvdevOfScanKey({scan.scanCode, scan.extended});
        ASSERT_TRUE(evdev.has_value()) << "row " << row;
        EXPECT_EQ(ScanKeyOfEvdev(*evdev), (ScanKey{scan.scanCode, scan.extended})) << row;
    }
}

TEST(ScanCodes, UnknownCodesHaveNoKey) {
    EXPECT_FALSE(ScanKeyOfEvdev(0).has_value());
    EXPECT_FALSE(ScanKeyOfEvdev(-8).has_value());
    EXPECT_FALSE(ScanKeyOfEvdev(500).has_value());
    EXPECT_FALSE(ScanKeyOfQtKey(Qt::Key_unknown, false).has_value());
}

TEST(ScanCodes, QtKeysInsideTheWindow) {
    EXPECT_EQ(ScanKeyOfQtKey(Qt::Key_A, false), (ScanKey{0x1E, false}));
    EXPECT_EQ(ScanKeyOfQtKey(Qt::Key_Return, false), (ScanKey{0x1C, false}));
    EXPECT_EQ(ScanKeyOfQtKey(Qt::Key_Enter, true), (ScanKey{0x1C, true}));
    EXPECT_EQ(ScanKeyOfQtKey(Qt::Key_7, true), (ScanKey{0x47, false}));
    EXPECT_EQ(ScanKeyOfQtKey(Qt::Key_7, false), (ScanKey{0x08, false}));
    EXPECT_EQ(ScanKeyOfQtKey(Qt::Key_NumLock, false), (ScanKey{0x45, true}));
    EXPECT_EQ(ScanKeyOfQtKey(Qt::Key_Pause, false), (ScanKey{0x45, false}));
}

}  // namespace
}  // namespace rerov::input_hook
