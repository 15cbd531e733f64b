// The hidraw backend's own mechanics, on a socket pair standing in for a hidraw node
// (both deliver whole packets per read).
#if defined(__linux__)

#include "device_link/hid_backend_linux.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <future>
#include <regex>
#include <thread>

#include "device_link/hid_device.h"
#include "device_link/hid_platform_backend.h"
#include "tests/device_link/hid_test_descriptors.h"

namespace rerov {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

class HidrawConnectionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        int fds[2];
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds), 0);
        device_ = fds[1];
        std::string error;
        connection_ =
            hidraw::WrapNode(fds[0], 0x372B, 0x1101, 0x0100, test::kKeyboardDescriptor, &error);
        ASSERT_NE(connection_, nullptr) << error;
    }
    void TearDown() override {
        if (device_ >= 0) close(device_);
    }

    void DeviceSends(std::vector<uint8_t> report) {
        ASSERT_EQ(write(device_, report.data(), report.size()),
                  static_cast<ssize_t>(report.size()));
    }

    int device_ = -1;
    std::unique_ptr<HidConnection> connection_;
};

TEST_F(HidrawConnectionTest, ReadsOneReportPerCallAndTimesOut) {
    EXPECT_EQ(connection_->VendorId(), 0x372B);
    EXPECT_EQ(connection_->ProductId(), 0x1101);
    EXPECT_EQ(connection_->ReportDescriptor(), test::kKeyboardDescriptor);

    uint8_t buffer[64];
    const auto start = steady_clock::now();
    EXPECT_EQ(connection_->Read(buffer, sizeof buffer, 200), 0);
    EXPECT_GE(steady_clock::now() - start, milliseconds(190));

    DeviceSends({0x04, 0x01, 0x02});
    DeviceSends({0x03, 0xE9, 0x00, 0x00});
    EXPECT_EQ(connection_->Read(buffer, sizeof buffer, 1000), 3);
    EXPECT_EQ(buffer[0], 0x04);
    EXPECT_EQ(connection_->Read(buffer, sizeof buffer, 0), 4);
    EXPECT_EQ(buffer[1], 0xE9);
}

TEST_F(HidrawConnectionTest, WriteDeliversTheWholeReport) {
    const std::vector<uint8_t> report = {0x04, 0xAA, 0xBB, 0xCC};
    EXPECT_EQ(connection_->Write(report.data(), report.size(), 1000), 4);
    uint8_t received[16];
    ASSERT_EQ(read(device_, received, sizeof received), 4);
    EXPECT_TRUE(std::equal(report.begin(), report.end(), received));
}

TEST_F(HidrawConnectionTest, CancelReleasesABlockedReadAndEveryLaterCall) {
    std::promise<int> result;
    std::thread reader([&] {
        uint8_t buffer[64];
        result.set_value(connection_->Read(buffer, sizeof buffer, kInfiniteTimeout));
    });
    // Cancel may come before or after the reader enters poll; either way it must return.
    const auto cancelledAt = steady_clock::now();
    connection_->Cancel();
    std::future<int> done = result.get_future();
    ASSERT_EQ(done.wait_for(std::chrono::seconds(1)), std::future_status::ready);
    EXPECT_LT(steady_clock::now() - cancelledAt, std::chrono::seconds(1));
    EXPECT_EQ(done.get(), -1);
    reader.join();

    DeviceSends({0x04, 0x01});
    uint8_t buffer[64];
    EXPECT_EQ(connection_->Read(buffer, sizeof buffer, 1000), -1);
    EXPECT_EQ(connection_->Write(buffer, 2, 1000), -1);
}

TEST_F(HidrawConnectionTest, DeviceGoneFailsTheRead) {
    close(device_);
    device_ = -1;
    uint8_t buffer[64];
    EXPECT_EQ(connection_->Read(buffer, sizeof buffer, 1000), -1);
}

TEST(HidrawBackend, CanonicalPaths) {
    EXPECT_EQ(hidraw::CanonicalPath(0x372B, 0x1101, 1, 4, "/dev/hidraw3"),
              "vid_372b&pid_1101&mi_01&col04#/dev/hidraw3");
    EXPECT_EQ(hidraw::CanonicalPath(0x3A17, 0x0041, 3, 0, "/dev/hidraw0"),
              "vid_3a17&pid_0041&mi_03#/dev/hidraw0");
}

TEST(HidrawBackend, OpenFailureReasons) {
    struct Row {
        int error;
        bool pointsAtRules;
    };
    for (const Row& r : {Row{EACCES, true}, Row{EPERM, true}, Row{ENOENT, false}}) {
        SCOPED_TRACE(r.error);
        const std::string reason = hidraw::OpenFailureReason("/dev/hidraw5", r.error);
        EXPECT_NE(reason.find("/dev/hidraw5"), std::string::npos);
        EXPECT_NE(reason.find(std::strerror(r.error)), std::string::npos);
        EXPECT_EQ(reason.find("refused") != std::string::npos, r.pointsAtRules);
        EXPECT_EQ(reason.find("70-rerov-ever.rules") != std::string::npos, r.pointsAtRules);
    }
}

TEST(HidrawBackend, OpenRefusesWhatIsNotAHidNode) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string file = dir.path().toStdString() + "/plain";
    { std::ofstream(file) << "x"; }
    struct Row {
        std::string path;
        const char* mentions;
    };
    const Row rows[] = {
        {"vid_372b&pid_1101&mi_01#" + file, "not a HID device node"},
        {"vid_372b&pid_1101&mi_01#/dev/null", "device information"},
        {"vid_372b&pid_1101&mi_01#" + dir.path().toStdString() + "/absent", "No such file"},
        {"vid_372b&pid_1101&mi_01#", "no device node"},
    };
    std::shared_ptr<HidBackend> backend = MakePlatformHidBackend();
    for (const Row& r : rows) {
        SCOPED_TRACE(r.path);
        std::string error;
        EXPECT_EQ(backend->Open(r.path, kProbeAccess, &error), nullptr);
        EXPECT_NE(error.find(r.mentions), std::string::npos) << error;
    }
    // Without permission (not testable as root, who is never refused).
    if (geteuid() != 0) {
        ASSERT_EQ(chmod(file.c_str(), 0), 0);
        HidDevice device(backend);
        EXPECT_FALSE(device.Open("vid_372b&pid_1101&mi_01#" + file, kCommandAccess));
        EXPECT_NE(device.LastError().find("refused"), std::string::npos) << device.LastError();
        EXPECT_NE(device.LastError().find("70-rerov-ever.rules"), std::string::npos);
    }
}

TEST(HidrawBackend, EnumerationGivesCanonicalPathsOrNothing) {
    // Whatever this machine has (often no HID device at all), every path is canonical.
    const std::regex canonical(
        "vid_[0-9a-f]{4}&pid_[0-9a-f]{4}&mi_[0-9a-f]{2,}(&col[0-9a-f]{2,})?#/.+");
    for (const std::string& path : MakePlatformHidBackend()->EnumeratePaths()) {
        EXPECT_TRUE(std::regex_match(path, canonical)) << path;
    }
}

}  // namespace
}  // namespace rerov

#endif  // __linux__
