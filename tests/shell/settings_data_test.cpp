// What the settings window reads and the main window prepares for it: the date of the last
// update check in "updatetime.config", the program's version as a number, and the version
// list built from the device list.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "device_link/supported_devices.h"
#include "profiles/json_file_io.h"
#include "shell/settings/software_version.h"
#include "shell/settings/update_time_config.h"
#include "shell/settings/version_list.h"

namespace rerov::shell {
namespace {

const QDate kFifthOfMarch(2024, 3, 5);

class UpdateTimeConfig : public ::testing::Test {
  protected:
    std::filesystem::path File() const {
        return std::filesystem::path(dir.path().toStdString()) / "updatetime.config";
    }
    void Write(const QByteArray& bytes) const {
        QFile file(QString::fromStdString(File().string()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    QString StoredDate() const {
        const Json::Value document = JsonFileIO::ReadJsonFile(File());
        return QString::fromStdString(document["updatelasttime"]["value"].asString());
    }

    QTemporaryDir dir;
};

TEST_F(UpdateTimeConfig, AMissingFileIsWrittenWithTodayOnceAndThenKept) {
    const StoredCheckDate first = ReadOrStampLastCheckDate(File(), kFifthOfMarch);
    EXPECT_EQ(first.date, "2024-3-5");
    EXPECT_TRUE(first.written);
    EXPECT_TRUE(first.error.isEmpty());
    EXPECT_EQ(StoredDate(), "2024-3-5");
    // A later day finds the first date and leaves the file alone.
    const StoredCheckDate later = ReadOrStampLastCheckDate(File(), QDate(2025, 12, 31));
    EXPECT_EQ(later.date, "2024-3-5");
    EXPECT_FALSE(later.written);
    EXPECT_EQ(StoredDate(), "2024-3-5");
}

TEST_F(UpdateTimeConfig, AStoredTextIsShownAsItIs) {
    Write(R"({"updatelasttime": {"value": "2023-11-20"}, "other": 1})");
    const StoredCheckDate read = ReadOrStampLastCheckDate(File(), kFifthOfMarch);
    EXPECT_EQ(read.date, "2023-11-20");
    EXPECT_FALSE(read.written);
}

TEST_F(UpdateTimeConfig, WhatCannotBeUsedIsReplacedByToday) {
    const QByteArray cases[] = {
        "",                                            // empty
        "{\"updatelasttime\": ",                       // cut short
        "\xff\xfe garbage",                            // not JSON
        "[1, 2, 3]",                                   // not an object
        R"({"updatelasttime": "2023-1-1"})",           // the date without its object
        R"({"updatelasttime": {"value": 20230101}})",  // a number
        R"({"updatelasttime": {}})",                   // no value
        R"({"other": true})",                          // no date at all
    };
    for (const QByteArray& bytes : cases) {
        Write(bytes);
        const StoredCheckDate read = ReadOrStampLastCheckDate(File(), kFifthOfMarch);
        EXPECT_EQ(read.date, "2024-3-5") << bytes.constData();
        EXPECT_TRUE(read.written) << bytes.constData();
        EXPECT_EQ(StoredDate(), "2024-3-5") << bytes.constData();
    }
    // Members of a readable document other than the date survive the rewrite.
    EXPECT_TRUE(JsonFileIO::ReadJsonFile(File())["other"].asBool());
}

TEST_F(UpdateTimeConfig, AFileThatCannotBeWrittenStillGivesTodayAndSaysWhy) {
    // A folder under the name: neither readable as the file nor replaceable by it.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("updatetime.config")));
    const StoredCheckDate read = ReadOrStampLastCheckDate(File(), kFifthOfMarch);
    EXPECT_EQ(read.date, "2024-3-5");
    EXPECT_FALSE(read.written);
    EXPECT_FALSE(read.error.isEmpty());
    // No place at all (no user folder known).
    const StoredCheckDate nowhere = ReadOrStampLastCheckDate({}, kFifthOfMarch);
    EXPECT_EQ(nowhere.date, "2024-3-5");
    EXPECT_FALSE(nowhere.error.isEmpty());
}

TEST(SoftwareVersion, TheVersionTextReadsAsOneNumber) {
    const struct {
        const char* text;
        int number;
    } cases[] = {
        {"1.0.5", 105},     {"1.2.3.4", 1234}, {"10.0.1", 1001},   {"", 0},    {"abc", 0},
        {"1.0.5-rc1", 105}, {"2", 2},          {"99999999999", 0}, {"...", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(VersionNumberFromText(QString::fromLatin1(c.text)), c.number) << c.text;
    }
    EXPECT_GT(SoftwareVersion(), 0) << "the build gives the program a version";
    EXPECT_EQ(VersionText(105), "1.0.5");
    EXPECT_EQ(VersionText(7), "7");
}

TEST(VersionList, ConnectedDevicesGetTheirVersionAndTheProgramComesLast) {
    std::vector<VersionEntry> entries(3);
    entries[0] = {kFamilyMouse, false, false, false, 0x0105, 0};  // a page, not connected
    entries[1] = {kFamilyKeyboard, true, false, false, 105, 230};
    entries[2] = {kFamilyMousePad, true, false, false, 201, 0};
    const std::vector<VersionRow> rows = BuildVersionList(entries, 107);
    ASSERT_EQ(rows.size(), kProductRecords.size());
    EXPECT_EQ(rows[kFamilyMouse].numbers[2], 0);
    EXPECT_EQ(rows[kFamilyKeyboard].numbers[2], 105);
    EXPECT_EQ(rows[kFamilyKeyboard].numbers[1], 1);
    EXPECT_EQ(rows[kFamilyKeyboard].displayName, QString::fromUtf8(kProductRecords[1].displayName));
    EXPECT_EQ(rows[kFamilyMousePad].numbers[2], 201);
    EXPECT_EQ(rows.back().numbers[2], 107);
    EXPECT_EQ(rows.back().version, "V1000");

    // The window gets the present rows only: keyboard, mouse pad and the program.
    const std::vector<VersionRow> present = PresentRows(rows);
    ASSERT_EQ(present.size(), 3u);
    EXPECT_EQ(present[0].modelCode, QString::fromUtf8(kProductRecords[1].modelCode));
    EXPECT_EQ(present[1].modelCode, QString::fromUtf8(kProductRecords[2].modelCode));
    EXPECT_EQ(present[2].numbers[2], 107);
}

TEST(VersionList, AKeyboardBehindItsReceiverShowsTheReceiversVersion) {
    std::vector<VersionEntry> entries(2);
    entries[1] = {kFamilyKeyboard, true, true, true, 0, 312};
    const std::vector<VersionRow> rows = BuildVersionList(entries, 105);
    EXPECT_EQ(rows[kFamilyKeyboard].numbers[1], -1);
    EXPECT_EQ(rows[kFamilyKeyboard].numbers[2], 312);
    // Receiver mode the entry does not report: the device's own version.
    entries[1] = {kFamilyKeyboard, true, true, false, 150, 312};
    const std::vector<VersionRow> own = BuildVersionList(entries, 105);
    EXPECT_EQ(own[kFamilyKeyboard].numbers[1], 1);
    EXPECT_EQ(own[kFamilyKeyboard].numbers[2], 150);
}

TEST(VersionList, NothingPresentLeavesOnlyTheProgram) {
    // No entries, an entry without a page, and a family with no record of its own (the
    // headset: the last record is the program's).
    std::vector<VersionEntry> entries(2);
    entries[1] = {kFamilyHeadset, true, false, false, 999, 0};
    for (const auto& list : {std::vector<VersionEntry>{}, entries}) {
        const std::vector<VersionRow> present = PresentRows(BuildVersionList(list, 105));
        ASSERT_EQ(present.size(), 1u);
        EXPECT_EQ(present[0].numbers[2], 105);
    }
    // Without a version of its own the program's row is left out too.
    EXPECT_TRUE(PresentRows(BuildVersionList({}, 0)).empty());
}

TEST(VersionList, DeviceVersionsAreReadAsBinaryCodedDecimal) {
    EXPECT_EQ(VersionFromBcd(0x0105), 105);
    EXPECT_EQ(VersionFromBcd(0x1234), 1234);
    EXPECT_EQ(VersionFromBcd(0), 0);
    EXPECT_EQ(VersionFromBcd(0x01A5), 0x01A5) << "not decimal digits: kept as it is";
}

}  // namespace
}  // namespace rerov::shell
