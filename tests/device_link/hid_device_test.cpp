#include "device_link/hid_device.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <future>
#include <thread>

#include "tests/device_link/hid_fake_backend.h"
#include "tests/device_link/hid_test_descriptors.h"

namespace rerov {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;
using test::FakeBackend;
using test::FakeNode;

constexpr uint16_t kVid = 0x372B;
constexpr uint16_t kPid = 0x1101;

std::string KeyboardPath(int collection) {
    char path[64];
    std::snprintf(path, sizeof path, "vid_372b&pid_1101&mi_01&col%02x#/dev/fake0", collection);
    return path;
}

class HidDeviceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        keyboard_ = std::make_shared<FakeNode>(kVid, kPid, test::kKeyboardDescriptor);
        for (int col = 1; col <= 4; ++col) backend_->AddPath(KeyboardPath(col), keyboard_);
    }

    std::shared_ptr<FakeBackend> backend_ = std::make_shared<FakeBackend>();
    std::shared_ptr<FakeNode> keyboard_;
};

TEST_F(HidDeviceTest, EnumerateKeepsEveryPathPastTheInitialCapacity) {
    auto backend = std::make_shared<FakeBackend>();
    auto node = std::make_shared<FakeNode>(kVid, kPid, test::kMouseDescriptor);
    std::vector<std::string> expected;
    for (int i = 0; i < 37; ++i) {
        expected.push_back("vid_372b&pid_1101&mi_" + std::to_string(i) + "#/dev/fake" +
                           std::to_string(i));
        backend->AddPath(expected.back(), node);
    }
    HidDevice device(backend);
    ASSERT_TRUE(device.Enumerate());
    std::vector<std::string> seen;
    while (auto path = device.NextPath()) seen.push_back(*path);
    EXPECT_EQ(seen, expected);
    EXPECT_FALSE(device.NextPath().has_value());

    device.ClearPaths();
    EXPECT_FALSE(device.NextPath().has_value());
    ASSERT_TRUE(device.Enumerate());  // enumerating again restarts the cursor
    EXPECT_EQ(device.NextPath(), expected.front());
}

TEST_F(HidDeviceTest, EnumerateWithNoDeviceGivesAnEmptyList) {
    HidDevice device(std::make_shared<FakeBackend>());
    EXPECT_TRUE(device.Enumerate());
    EXPECT_TRUE(device.Paths().empty());
    EXPECT_FALSE(device.NextPath().has_value());
}

TEST_F(HidDeviceTest, OpenTakesCapsFromTheCollectionOfThePath) {
    struct Row {
        std::string path;
        int collection;
        uint16_t usagePage, usage, inLength, outLength;
        uint16_t inButtons, inValues, outButtons, outValues;
    };
    const Row rows[] = {
        {KeyboardPath(1), 1, 0x01, 0x80, 2, 0, 1, 0, 0, 0},
        {KeyboardPath(2), 2, 0x01, 0x06, 9, 2, 2, 0, 1, 0},
        {KeyboardPath(3), 3, 0x0C, 0x01, 3, 0, 1, 0, 0, 0},
        {KeyboardPath(4), 4, 0xFF1C, 0x92, 64, 64, 0, 1, 0, 1},
        // No "&col": the first collection.
        {"vid_372b&pid_1101&mi_01#/dev/fake0", 0, 0x01, 0x80, 2, 0, 1, 0, 0, 0},
    };
    backend_->AddPath(rows[4].path, keyboard_);
    HidDevice device(backend_);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.path);
        ASSERT_TRUE(device.Open(r.path, kCommandAccess)) << device.LastError();
        EXPECT_TRUE(device.IsOpen());
        EXPECT_EQ(device.Path(), r.path);
        EXPECT_EQ(device.CollectionNumber(), r.collection);
        EXPECT_EQ(device.InterfaceNumber(), 1);
        EXPECT_EQ(device.Attributes().vendorId, kVid);
        EXPECT_EQ(device.Attributes().productId, kPid);
        EXPECT_EQ(device.Attributes().versionNumber, 0x0105);
        const HidCaps& caps = device.Caps();
        EXPECT_EQ(caps.usagePage, r.usagePage);
        EXPECT_EQ(caps.usage, r.usage);
        EXPECT_EQ(caps.inputReportByteLength, r.inLength);
        EXPECT_EQ(caps.outputReportByteLength, r.outLength);
        EXPECT_EQ(caps.featureReportByteLength, 0);
        EXPECT_EQ(caps.numberInputButtonCaps, r.inButtons);
        EXPECT_EQ(caps.numberInputValueCaps, r.inValues);
        EXPECT_EQ(caps.numberOutputButtonCaps, r.outButtons);
        EXPECT_EQ(caps.numberOutputValueCaps, r.outValues);
        // One descriptor per button cap plus one per value usage.
        EXPECT_EQ(device.InputDescriptors().size(), size_t{r.inButtons} + r.inValues);
    }
    device.Close();
    EXPECT_FALSE(device.IsOpen());
    EXPECT_EQ(keyboard_->OpenConnections(), 0u);
}

TEST_F(HidDeviceTest, OpenFailuresSayWhy) {
    backend_->RefuseOpen(KeyboardPath(1), "access to /dev/fake0 was refused");
    backend_->AddPath(KeyboardPath(5), keyboard_);
    backend_->RefuseOpen(KeyboardPath(2), "device busy\r\nretry later\r\n");
    backend_->AddPath("vid_372b&pid_1101&mi_01&col02#/dev/broken",
                      std::make_shared<FakeNode>(kVid, kPid, std::vector<uint8_t>{0xA1, 0x01}));
    struct Row {
        std::string path;
        std::vector<std::string> mentions;
    };
    const Row rows[] = {
        {KeyboardPath(1), {KeyboardPath(1), "refused"}},
        {"vid_372b&pid_1101&mi_01&col01#/dev/absent", {"/dev/absent", "no such device"}},
        {KeyboardPath(5), {"collection 5"}},
        {KeyboardPath(2), {"device busy retry later"}},
        {"vid_372b&pid_1101&mi_01&col02#/dev/broken", {"report descriptor"}},
    };
    HidDevice device(backend_);
    ASSERT_TRUE(device.Open(KeyboardPath(4), kCommandAccess));
    for (const Row& r : rows) {
        SCOPED_TRACE(r.path);
        EXPECT_FALSE(device.Open(r.path, kCommandAccess));
        EXPECT_FALSE(device.IsOpen());
        const std::string& error = device.LastError();
        EXPECT_EQ(error.find('\n'), std::string::npos);
        for (const std::string& m : r.mentions) {
            EXPECT_NE(error.find(m), std::string::npos) << error;
        }
    }
    // The failed opens closed the interface that was open before.
    EXPECT_EQ(keyboard_->OpenConnections(), 0u);
}

TEST_F(HidDeviceTest, OpenModeAndTimeOutsReachTheBackendAsGiven) {
    const HidOpenMode modes[] = {
        kCommandAccess,
        kProbeAccess,
        kEventAccess,
        kPresenceCheck,
        {.read = true, .write = true, .exclusive = true},
    };
    HidDevice device(backend_);
    for (const HidOpenMode& mode : modes) {
        SCOPED_TRACE(::testing::Message() << mode.read << mode.write << mode.exclusive);
        ASSERT_TRUE(device.Open(KeyboardPath(4), mode)) << device.LastError();
        EXPECT_EQ(backend_->LastMode(), mode);
        EXPECT_EQ(device.OpenMode(), mode);
    }

    // "Without limit" is the same value on both sides of the seam; a limit passes unchanged.
    ASSERT_TRUE(device.Open(KeyboardPath(4), kCommandAccess));
    const uint8_t report[64] = {0x04};
    for (int timeoutMs : {kInfiniteTimeout, 250}) {
        SCOPED_TRACE(timeoutMs);
        ASSERT_TRUE(device.Write(report, sizeof report, nullptr, timeoutMs));
        EXPECT_EQ(keyboard_->lastWriteTimeout.load(), timeoutMs);
    }
    keyboard_->Push({0x04, 0x01});
    uint8_t buffer[64];
    ASSERT_TRUE(device.Read(buffer, sizeof buffer, nullptr, kInfiniteTimeout));
    EXPECT_EQ(keyboard_->lastReadTimeout.load(), kInfiniteTimeout);
}

TEST_F(HidDeviceTest, ReadTimesOutWithCountZero) {
    HidDevice device(backend_);
    ASSERT_TRUE(device.Open(KeyboardPath(4), kCommandAccess));
    uint8_t buffer[64];
    size_t count = 99;
    const auto start = steady_clock::now();
    EXPECT_FALSE(device.Read(buffer, sizeof buffer, &count, 300));
    EXPECT_GE(steady_clock::now() - start, milliseconds(290));
    EXPECT_EQ(count, 0u);
    // A report that arrives later is still delivered to the next read.
    keyboard_->Push({0x04, 0xAB});
    EXPECT_TRUE(device.Read(buffer, sizeof buffer, &count, 5000));
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(buffer[1], 0xAB);
}

TEST_F(HidDeviceTest, CloseFromAnotherThreadReleasesAnInfiniteRead) {
    HidDevice device(backend_);
    ASSERT_TRUE(device.Open(KeyboardPath(3), kEventAccess));
    test::FakeConnection* connection = keyboard_->LastConnection();
    ASSERT_NE(connection, nullptr);

    std::promise<bool> result;
    std::thread reader([&] {
        uint8_t buffer[8];
        size_t count = 0;
        result.set_value(device.Read(buffer, sizeof buffer, &count, kInfiniteTimeout));
    });
    connection->WaitForReader();
    const auto closedAt = steady_clock::now();
    device.Close();
    std::future<bool> done = result.get_future();
    ASSERT_EQ(done.wait_for(std::chrono::seconds(1)), std::future_status::ready);
    EXPECT_LT(steady_clock::now() - closedAt, std::chrono::seconds(1));
    EXPECT_FALSE(done.get());
    reader.join();
    EXPECT_EQ(keyboard_->OpenConnections(), 0u);  // the reader's reference was the last one

    uint8_t buffer[8];
    EXPECT_FALSE(device.Read(buffer, sizeof buffer, nullptr, 0));  // closed: fails at once
}

TEST_F(HidDeviceTest, InputThreadReadsAndUnpacksUntilAnotherThreadCloses) {
    // The pattern of a device's input-report thread: read with no time-out, unpack, repeat;
    // the user-interface thread closes the device to end it.
    HidDevice device(backend_);
    ASSERT_TRUE(device.Open(KeyboardPath(3), kEventAccess));
    test::FakeConnection* connection = keyboard_->LastConnection();
    // Queued before the reader starts, so it only blocks once all of them are read.
    for (int i = 0; i < 50; ++i) keyboard_->Push({0x03, static_cast<uint8_t>(0xE0 + i % 16), 0});
    std::promise<int> unpacked;
    std::thread reader([&] {
        int count = 0;
        uint8_t buffer[8];
        size_t n = 0;
        while (device.Read(buffer, sizeof buffer, &n, kInfiniteTimeout)) {
            if (device.UnpackInputReport(buffer, n)) ++count;
        }
        unpacked.set_value(count);
    });
    connection->WaitForReader();
    device.Close();
    std::future<int> done = unpacked.get_future();
    ASSERT_EQ(done.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_EQ(done.get(), 50);  // every report was read before the reader blocked
    reader.join();
}

TEST_F(HidDeviceTest, TwoCollectionsOfOneNodeSeeOnlyTheirOwnReports) {
    HidDevice consumer(backend_);
    HidDevice vendor(backend_);
    ASSERT_TRUE(consumer.Open(KeyboardPath(3), kEventAccess));
    ASSERT_TRUE(vendor.Open(KeyboardPath(4), kCommandAccess));

    keyboard_->Push({0x04, 0x11});
    keyboard_->Push({0x02, 0x00, 0x00, 0x04, 0, 0, 0, 0, 0});
    keyboard_->Push({0x03, 0xE9, 0x00});
    keyboard_->Push({0x04, 0x22});

    uint8_t buffer[64];
    size_t count = 0;
    ASSERT_TRUE(consumer.Read(buffer, sizeof buffer, &count, 5000));
    EXPECT_EQ(buffer[0], 0x03);
    EXPECT_EQ(count, 3u);
    ASSERT_TRUE(vendor.Read(buffer, sizeof buffer, &count, 5000));
    EXPECT_EQ(buffer[0], 0x04);
    EXPECT_EQ(buffer[1], 0x11);
    ASSERT_TRUE(vendor.Read(buffer, sizeof buffer, &count, 5000));
    EXPECT_EQ(buffer[1], 0x22);
    // Only reports of other collections remain for the consumer collection: it waits out
    // its time-out instead of returning one of them.
    EXPECT_FALSE(consumer.Read(buffer, sizeof buffer, &count, 100));
    EXPECT_EQ(count, 0u);
}

TEST_F(HidDeviceTest, WritePassesTheReportThrough) {
    HidDevice device(backend_);
    const std::vector<uint8_t> report = {0x04, 0x01, 0x02, 0x03};
    size_t written = 7;
    EXPECT_FALSE(device.Write(report.data(), report.size(), &written, 1000));  // closed
    EXPECT_EQ(written, 0u);
    ASSERT_TRUE(device.Open(KeyboardPath(4), kCommandAccess));
    ASSERT_TRUE(device.Write(report.data(), report.size(), &written, 1000));
    EXPECT_EQ(written, report.size());
    ASSERT_EQ(keyboard_->Written().size(), 1u);
    EXPECT_EQ(keyboard_->Written()[0], report);
}

TEST_F(HidDeviceTest, UnnumberedReportsGainAZeroReportIdByte) {
    auto mouse = std::make_shared<FakeNode>(kVid, 0x2101, test::kMouseDescriptor);
    backend_->AddPath("vid_372b&pid_2101&mi_00#/dev/fake1", mouse);
    HidDevice device(backend_);
    ASSERT_TRUE(device.Open("vid_372b&pid_2101&mi_00#/dev/fake1", kEventAccess));
    EXPECT_EQ(device.Caps().inputReportByteLength, 5);
    mouse->Push({0x05, 0xFB, 0x02, 0x33});
    uint8_t buffer[5] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
    size_t count = 0;
    ASSERT_TRUE(device.Read(buffer, sizeof buffer, &count, 5000));
    EXPECT_EQ(count, 5u);
    const uint8_t expected[5] = {0x00, 0x05, 0xFB, 0x02, 0x33};
    EXPECT_TRUE(std::equal(std::begin(expected), std::end(expected), buffer));
}

TEST_F(HidDeviceTest, ASingleCollectionNodeServesTheCollectionNumberOfItsPath) {
    // Platforms that open each top-level collection separately hand out such nodes.
    auto vendorOnly =
        std::make_shared<FakeNode>(kVid, kPid,
                                   std::vector<uint8_t>(test::kKeyboardDescriptor.end() - 29,
                                                        test::kKeyboardDescriptor.end()));
    const std::string path = "vid_372b&pid_1101&mi_01&col04#/dev/fake2";
    backend_->AddPath(path, vendorOnly);
    HidDevice device(backend_);
    ASSERT_TRUE(device.Open(path, kCommandAccess)) << device.LastError();
    EXPECT_EQ(device.CollectionNumber(), 4);
    EXPECT_EQ(device.Caps().usagePage, 0xFF1C);
    EXPECT_EQ(device.Caps().usage, 0x92);
    EXPECT_EQ(device.Caps().inputReportByteLength, 64);
}

std::vector<uint16_t> Usages(const HidDataDescriptor& d) { return d.usages; }

TEST_F(HidDeviceTest, UnpackKeyboardButtonsKeepOnlyEachDescriptorsRange) {
    HidDevice device(backend_);
    ASSERT_TRUE(device.Open(KeyboardPath(2), kEventAccess));
    const auto& in = device.InputDescriptors();
    ASSERT_EQ(in.size(), 2u);
    // Both cover page 7; each keeps the usages of its own range, packed and zero-ended.
    EXPECT_EQ(in[0].usages.size(), 14u);  // 8 modifier bits + 6 key slots
    const uint8_t report[] = {0x02, 0x22, 0x00, 0x04, 0x00, 0x05, 0x00, 0x00, 0x00};
    ASSERT_TRUE(device.UnpackInputReport(report, sizeof report));
    std::vector<uint16_t> mods(14, 0);
    mods[0] = 0xE1;  // left shift
    mods[1] = 0xE5;  // right shift
    std::vector<uint16_t> keys(14, 0);
    keys[0] = 0x04;
    keys[1] = 0x05;
    EXPECT_EQ(Usages(in[0]), mods);
    EXPECT_EQ(Usages(in[1]), keys);
    EXPECT_TRUE(in[0].isDataSet);
    EXPECT_EQ(in[0].lastStatus, 0);

    // A report of another id leaves the descriptors alone.
    const uint8_t other[] = {0x03, 0xE9, 0x00};
    ASSERT_TRUE(device.UnpackInputReport(other, sizeof other));
    EXPECT_EQ(Usages(in[1]), keys);

    // Releasing every key clears the lists.
    const uint8_t released[9] = {0x02};
    ASSERT_TRUE(device.UnpackInputReport(released, sizeof released));
    EXPECT_EQ(Usages(in[0]), std::vector<uint16_t>(14, 0));
    EXPECT_EQ(Usages(in[1]), std::vector<uint16_t>(14, 0));
}

TEST_F(HidDeviceTest, UnpackConsumerArrayGivesTheUsagePressed) {
    HidDevice device(backend_);
    ASSERT_TRUE(device.Open(KeyboardPath(3), kEventAccess));
    const uint8_t report[] = {0x03, 0xE9, 0x00};  // volume up
    ASSERT_TRUE(device.UnpackInputReport(report, sizeof report));
    ASSERT_EQ(device.InputDescriptors().size(), 1u);
    EXPECT_EQ(Usages(device.InputDescriptors()[0]), std::vector<uint16_t>{0xE9});
}

TEST_F(HidDeviceTest, UnpackValuesRawAndScaled) {
    auto mouse = std::make_shared<FakeNode>(kVid, 0x2101, test::kMouseDescriptor);
    backend_->AddPath("vid_372b&pid_2101&mi_00#/dev/fake1", mouse);
    HidDevice device(backend_);
    ASSERT_TRUE(device.Open("vid_372b&pid_2101&mi_00#/dev/fake1", kEventAccess));
    const auto& in = device.InputDescriptors();
    ASSERT_EQ(in.size(), 4u);  // buttons, X, Y, wheel
    const uint8_t report[] = {0x00, 0x05, 0xFB, 0x7F, 0x33};
    ASSERT_TRUE(device.UnpackInputReport(report, sizeof report));
    EXPECT_EQ(in[0].usages[0], 1);  // buttons 1 and 3
    EXPECT_EQ(in[0].usages[1], 3);
    EXPECT_EQ(in[0].usages[2], 0);
    struct Row {
        uint16_t usage;
        uint32_t raw;
        int32_t scaled;
    };
    const Row rows[] = {{0x30, 0xFB, -5}, {0x31, 0x7F, 127}, {0x38, 0x33, 200}};
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        const HidDataDescriptor& d = in[i + 1];
        EXPECT_FALSE(d.isButton);
        EXPECT_EQ(d.usage, rows[i].usage);
        EXPECT_EQ(d.rawValue, rows[i].raw);
        EXPECT_EQ(d.scaledValue, rows[i].scaled);
        EXPECT_TRUE(d.isDataSet);
    }
    // A report too short for the wheel fails at that control.
    EXPECT_FALSE(device.UnpackInputReport(report, 4));
    EXPECT_NE(in[3].lastStatus, 0);
}

TEST_F(HidDeviceTest, UnpackVendorValueAndClosedDevice) {
    HidDevice device(backend_);
    const uint8_t report[64] = {0x04, 0x5A};
    EXPECT_FALSE(device.UnpackInputReport(report, sizeof report));  // nothing open
    ASSERT_TRUE(device.Open(KeyboardPath(4), kCommandAccess));
    ASSERT_TRUE(device.UnpackInputReport(report, sizeof report));
    ASSERT_EQ(device.InputDescriptors().size(), 1u);
    EXPECT_EQ(device.InputDescriptors()[0].usagePage, 0xFF1C);
    EXPECT_EQ(device.InputDescriptors()[0].rawValue, 0x5Au);
}

}  // namespace
}  // namespace rerov
