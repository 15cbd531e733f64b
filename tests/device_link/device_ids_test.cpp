#include "device_link/device_ids.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/scoped_environment.h"

namespace rerov {
namespace {

DeviceIds Base() {
    DeviceIds ids;
    ids.vidA = 0x1111;
    ids.vidB = 0x2222;
    ids.pid1 = 0x0001;
    ids.pid2 = 0x0002;
    ids.pid3 = 0x0003;
    ids.pid4 = 0x0004;
    ids.pid5 = 0x0005;
    ids.pid6 = 0x0006;
    return ids;
}

TEST(DeviceIds, OverrideLinesApplyAndBadOnesAreSkippedWithAWarning) {
    struct Case {
        const char* name;
        std::string text;
        DeviceIds expected;
        size_t warnings;
    };
    DeviceIds allSet = Base();
    allSet.vidA = 0xABCD;
    allSet.vidB = 0x00EF;
    allSet.pid1 = 0x1234;
    allSet.pid2 = 0x0000;
    allSet.pid3 = 0xFFFF;
    allSet.pid4 = 0x4444;
    allSet.pid5 = 0x5555;
    allSet.pid6 = 0x6666;
    DeviceIds pid1Only = Base();
    pid1Only.pid1 = 0x1234;
    const Case cases[] = {
        {"every name, comments, blanks, spaces and CRLF",
         "# user ids\n\nVID_A=0xABCD\r\n  VID_B = 0X00ef  # headset\nPID_1=0x1234\nPID_2=0x0\n"
         "PID_3=0xffff\nPID_4=0x4444\nPID_5=0x5555\nPID_6=0x6666",
         allSet, 0},
        {"nothing", "", Base(), 0},
        {"unknown name", "PID_7=0x1234\nvid_a=0x1234\nPID_1=0x1234\n", pid1Only, 2},
        {"value without 0x", "PID_1=1234\nPID_1=0x1234", pid1Only, 1},
        {"value above 16 bits", "PID_1=0x10000\nPID_1=0x1234", pid1Only, 1},
        {"not hex", "PID_1=0x12G4\nPID_1=0x\nPID_1=0x1234", pid1Only, 2},
        {"no equals sign", "PID_1 0x5555\nPID_1=0x1234", pid1Only, 1},
        {"later lines win", "PID_1=0x9999\nPID_1=0x1234", pid1Only, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> warnings;
        EXPECT_EQ(ApplyDeviceIdOverrides(Base(), c.text, &warnings), c.expected);
        EXPECT_EQ(warnings.size(), c.warnings);
        for (const std::string& w : warnings) EXPECT_NE(w.find("line"), std::string::npos) << w;
    }
}

TEST(DeviceIds, OverrideFileFollowsXdgDataHome) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string home = dir.path().toStdString();
    const test::ScopedEnvironment dataHome("XDG_DATA_HOME", dir.path().toUtf8());
    EXPECT_EQ(DeviceIdsOverrideFile(), home + "/REROV ER60 EVER/device_ids.txt");

    std::vector<std::string> warnings;
    // No file: the base stands, nothing to warn about.
    EXPECT_EQ(ReadDeviceIdsFile(Base(), DeviceIdsOverrideFile(), &warnings), Base());
    EXPECT_TRUE(warnings.empty());

    std::filesystem::create_directories(home + "/REROV ER60 EVER");
    std::ofstream(DeviceIdsOverrideFile()) << "PID_6=0xBEEF\nJUNK\n";
    DeviceIds expected = Base();
    expected.pid6 = 0xBEEF;
    EXPECT_EQ(ReadDeviceIdsFile(Base(), DeviceIdsOverrideFile(), &warnings), expected);
    EXPECT_EQ(warnings.size(), 1u);
}

TEST(DeviceIds, LoadAppliesTheUserFileOnce) {
    // LoadDeviceIds reads once per process, so this runs in a fresh one.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            QTemporaryDir dir;
            const std::string home = dir.path().toStdString();
            const test::ScopedEnvironment dataHome("XDG_DATA_HOME", dir.path().toUtf8());
            std::filesystem::create_directories(home + "/REROV ER60 EVER");
            std::ofstream(home + "/REROV ER60 EVER/device_ids.txt") << "VID_A=0x0BAD\n";
            DeviceIds expected = DefaultDeviceIds();
            expected.vidA = 0x0BAD;
            const bool first = LoadDeviceIds() == expected;
            dir.remove();  // std::exit below skips the destructor
            const bool cached = LoadDeviceIds() == expected && &LoadDeviceIds() == &LoadDeviceIds();
            std::exit(first && cached ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace rerov
