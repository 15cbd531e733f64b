// The trace file of the simulator: lines readable while the trace runs, whole lines from
// several threads, and failures to open or to write reported.

#include "sim/trace_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <thread>

#include "tests/sim/sim_test_support.h"

namespace rerov::sim::testing {
namespace {

namespace fs = std::filesystem;

class TraceFileTest : public SimTest {
  protected:
    void SetUp() override {
        // Unique per run: the same test may run in parallel from other build folders.
        folder_ = fs::temp_directory_path() /
                  ("rerov_trace_test_" + std::to_string(std::random_device{}()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        ASSERT_TRUE(fs::create_directories(folder_));
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    static std::vector<std::string> LinesOf(const fs::path& file) {
        std::ifstream in(file);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    fs::path folder_;
};

TEST_F(TraceFileTest, EachReportIsInTheFileAsSoonAsItHasPassed) {
    const fs::path path = folder_ / "run.trace";
    std::string error;
    auto trace = TraceFile::Open(path.string(), &error);
    ASSERT_NE(trace, nullptr) << error;
    bus_.SetTraceSink(TraceFile::Sink(trace));
    bus_.Plug(SimPath::KeyboardCable);
    auto connection = OpenCommand(SimPath::KeyboardCable);

    const Report request = Request(kCmdReadDeviceInfo, 8, 0);
    const Report reply = Transact(*connection, request);
    // Read while the file is still open: nothing may sit in a buffer.
    EXPECT_EQ(LinesOf(path), (std::vector<std::string>{
                                 TraceLine(TraceDirection::HostToDevice, request.data(), 64),
                                 TraceLine(TraceDirection::DeviceToHost, reply.data(), 64)}));
    EXPECT_EQ(trace->Lines(), 2u);

    bus_.SetTraceSink(nullptr);
    EXPECT_TRUE(trace->Close(&error)) << error;
    Transact(*connection, Request(kCmdBeginSession));
    EXPECT_EQ(LinesOf(path).size(), 2u);
    // Lines that come after the close (a sink still held by a report in flight) are dropped.
    trace->Write(TraceDirection::HostToDevice, request.data(), request.size());
    EXPECT_EQ(LinesOf(path).size(), 2u);
    EXPECT_EQ(trace->Lines(), 2u);
    EXPECT_TRUE(trace->Close(&error)) << "a second close changes nothing";
}

TEST_F(TraceFileTest, OpeningEmptiesAnOldFile) {
    const fs::path path = folder_ / "old.trace";
    std::ofstream(path) << "left from before\n";
    std::string error;
    auto trace = TraceFile::Open(path.string(), &error);
    ASSERT_NE(trace, nullptr) << error;
    EXPECT_TRUE(LinesOf(path).empty());
}

TEST_F(TraceFileTest, WritersOnSeveralThreadsNeverMixTheirLines) {
    const fs::path path = folder_ / "threads.trace";
    std::string error;
    auto trace = TraceFile::Open(path.string(), &error);
    ASSERT_NE(trace, nullptr) << error;
    constexpr int kThreads = 4;
    constexpr int kLinesEach = 200;
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t) {
        writers.emplace_back([&trace, t] {
            Report report{};
            report.fill(static_cast<uint8_t>(0x10 * (t + 1)));
            for (int i = 0; i < kLinesEach; ++i) {
                trace->Write(t % 2 ? TraceDirection::DeviceToHost : TraceDirection::HostToDevice,
                             report.data(), report.size());
            }
        });
    }
    for (std::thread& writer : writers) writer.join();
    ASSERT_TRUE(trace->Close(&error)) << error;
    const std::vector<std::string> lines = LinesOf(path);
    ASSERT_EQ(lines.size(), static_cast<size_t>(kThreads * kLinesEach));
    std::map<std::string, int> counts;
    for (const std::string& line : lines) ++counts[line];
    ASSERT_EQ(counts.size(), static_cast<size_t>(kThreads)) << "a line was torn";
    for (const auto& [line, count] : counts) EXPECT_EQ(count, kLinesEach) << line;
}

TEST_F(TraceFileTest, AFileThatCannotBeOpenedIsRefusedWithItsName) {
    for (const fs::path& path : {folder_ / "no" / "such" / "folder.trace", folder_}) {
        std::string error;
        EXPECT_EQ(TraceFile::Open(path.string(), &error), nullptr) << path;
        EXPECT_NE(error.find(path.string()), std::string::npos) << error;
    }
    std::string error;
    EXPECT_EQ(TraceFile::Open("", &error), nullptr);
    EXPECT_FALSE(error.empty());
}

TEST_F(TraceFileTest, AWriteThatFailsIsReportedAtClose) {
    // The full device takes the open and fails every write, as a full disk does.
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
    std::string error;
    auto trace = TraceFile::Open("/dev/full", &error);
    ASSERT_NE(trace, nullptr) << error;
    const Report report = Request(kCmdBeginSession);
    trace->Write(TraceDirection::HostToDevice, report.data(), report.size());
    trace->Write(TraceDirection::DeviceToHost, report.data(), report.size());
    EXPECT_EQ(trace->Lines(), 0u);
    EXPECT_FALSE(trace->Close(&error));
    EXPECT_NE(error.find("cannot write the trace file /dev/full"), std::string::npos) << error;
}

}  // namespace
}  // namespace rerov::sim::testing
