#include "device_link/command_report.h"

#include <algorithm>
#include <cstring>

namespace rerov {

uint16_t ComputeReportChecksum(const uint8_t* report) {
    unsigned sum = 0;
    for (size_t i = kReportCommandOffset; i < kCommandReportSize; ++i) sum += report[i];
    return static_cast<uint16_t>(sum & 0xFFFFu);
}

CommandReport CommandReport::Build(uint8_t command, uint8_t dataLength, uint16_t dataOffset,
                                   const uint8_t* payload, size_t payloadLength) {
    CommandReport report;
    report.bytes[0] = kCommandReportId;
    report.bytes[kReportCommandOffset] = command;
    report.bytes[kReportLengthOffset] = dataLength;
    report.bytes[kReportDataOffsetOffset] = static_cast<uint8_t>(dataOffset & 0xFF);
    report.bytes[kReportDataOffsetOffset + 1] = static_cast<uint8_t>(dataOffset >> 8);
    if (payload != nullptr && payloadLength > 0) {
        std::memcpy(report.bytes.data() + kReportPayloadOffset, payload,
                    std::min(payloadLength, kMaxReportPayload));
    }
    // The checksum covers the payload, so it is computed after everything else is placed.
    const uint16_t checksum = ComputeReportChecksum(report.bytes.data());
    report.bytes[kReportChecksumOffset] = static_cast<uint8_t>(checksum & 0xFF);
    report.bytes[kReportChecksumOffset + 1] = static_cast<uint8_t>(checksum >> 8);
    return report;
}

uint16_t CommandReport::DataOffset() const {
    return static_cast<uint16_t>(bytes[kReportDataOffsetOffset] |
                                 (bytes[kReportDataOffsetOffset + 1] << 8));
}

uint16_t CommandReport::StoredChecksum() const {
    return static_cast<uint16_t>(bytes[kReportChecksumOffset] |
                                 (bytes[kReportChecksumOffset + 1] << 8));
}

}  // namespace rerov
