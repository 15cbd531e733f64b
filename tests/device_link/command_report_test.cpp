#include "device_link/command_report.h"

#include <gtest/gtest.h>

#include <vector>

#include "device_link/link_trace.h"
#include "device_link/result_codes.h"

namespace rerov {
namespace {

TEST(CommandReportTest, BeginSessionRequestIsZeroFilledWithChecksumOne) {
    const CommandReport report = CommandReport::Build(kCmdBeginSession, 0, 0);
    std::array<uint8_t, kCommandReportSize> expected{};
    expected[0] = 0x04;
    expected[1] = 0x01;
    expected[2] = 0x00;
    expected[3] = 0x01;
    EXPECT_EQ(report.bytes, expected);
}

struct ChecksumCase {
    const char* name;
    uint8_t command;
    uint8_t length;
    uint16_t offset;
    std::vector<uint8_t> payload;
    uint16_t checksum;
};

class ChecksumTest : public ::testing::TestWithParam<ChecksumCase> {};

TEST_P(ChecksumTest, FieldsAndChecksumAreWhereTheDeviceLooks) {
    const ChecksumCase& c = GetParam();
    const CommandReport report =
        CommandReport::Build(c.command, c.length, c.offset, c.payload.data(), c.payload.size());
    EXPECT_EQ(report.bytes[0], kCommandReportId);
    EXPECT_EQ(report.Command(), c.command);
    EXPECT_EQ(report.DataLength(), c.length);
    EXPECT_EQ(report.bytes[5], c.offset & 0xFF);  // little-endian offset
    EXPECT_EQ(report.bytes[6], c.offset >> 8);
    EXPECT_EQ(report.bytes[7], 0);
    EXPECT_EQ(report.bytes[1], c.checksum & 0xFF);  // low byte first
    EXPECT_EQ(report.bytes[2], c.checksum >> 8);
    EXPECT_EQ(report.StoredChecksum(), ComputeReportChecksum(report.Data()));
    const size_t placed = std::min(c.payload.size(), kMaxReportPayload);
    for (size_t i = 0; i < kMaxReportPayload; ++i) {
        EXPECT_EQ(report.bytes[8 + i], i < placed ? c.payload[i] : 0) << "payload byte " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Requests, ChecksumTest,
    ::testing::Values(
        ChecksumCase{"EndSession", 0x02, 0, 0, {}, 0x0002},
        ChecksumCase{"OffsetBytesCount", 0x09, 56, 0x0170, {}, 0x09 + 56 + 0x70 + 0x01},
        // 56 × 0xFF = 0x3798 plus the header fields: the sum carries into the high byte.
        ChecksumCase{"FullPayloadCarries", 0x06, 56, 0, std::vector<uint8_t>(56, 0xFF),
                     0x06 + 56 + 56 * 0xFF},
        ChecksumCase{"ReceiverChunk", 0x03, 24, 24, {}, 0x03 + 24 + 24},
        // A payload longer than one report is cut at 56 bytes, the checksum follows.
        ChecksumCase{"LongPayloadCut", 0x15, 56, 0, std::vector<uint8_t>(60, 0x01),
                     0x15 + 56 + 56}),
    [](const ::testing::TestParamInfo<ChecksumCase>& info) { return info.param.name; });

TEST(CommandReportTest, ChecksumWrapsAtSixteenBits) {
    std::array<uint8_t, kCommandReportSize> report{};
    report.fill(0xFF);  // 61 × 0xFF = 0x3CC3, bytes 0..2 are not summed
    EXPECT_EQ(ComputeReportChecksum(report.data()), 0x3CC3);
}

TEST(LinkTraceTest, DumpLineGroupsBytesAsTheDebugTraceDoes) {
    std::array<uint8_t, 32> bytes{};
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 9);
    EXPECT_EQ(FormatHexDumpLine(bytes.data()),
              "00 09 12 1b   24 2d 36 3f   48 51 5a 63   6c 75 7e 87  "
              "90 99 a2 ab  b4 bd c6 cf  d8 e1 ea f3  fc 05 0e 17");
}

TEST(LinkTraceTest, TraceLineHasDirectionAndSpaceSeparatedLowerCaseBytes) {
    const uint8_t bytes[] = {0x04, 0xAB, 0x00, 0x1F};
    EXPECT_EQ(FormatReportTraceLine(ReportDirection::HostToDevice, bytes, 4), "> 04 ab 00 1f");
    EXPECT_EQ(FormatReportTraceLine(ReportDirection::DeviceToHost, bytes, 4), "< 04 ab 00 1f");
}

TEST(ResultCodesTest, EveryCodeHasItsMeaning) {
    const std::pair<int, const char*> cases[] = {
        {1, "success"},
        {0, "not connected or no reply"},
        {-1, "report not written"},
        {-101, "device behind the receiver not reachable"},
        {-102, "device status 0xFF"},
        {-103, "device status 0xFE"},
        {-201, "table page other than 0"},
        {-2, "unknown result code"},
    };
    for (const auto& [code, meaning] : cases) {
        EXPECT_STREQ(ResultCodeMeaning(code), meaning) << code;
    }
}

}  // namespace
}  // namespace rerov
