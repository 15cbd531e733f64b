#include "sim/command_frame.h"

namespace rerov::sim {

RequestFields ReadRequest(const Frame& request) {
    RequestFields fields;
    fields.command = request[kReportCommandOffset];
    fields.length = request[kReportLengthOffset];
    fields.offset = static_cast<uint16_t>(request[kReportDataOffsetOffset] |
                                          (request[kReportDataOffsetOffset + 1] << 8));
    fields.payload = request.data() + kReportPayloadOffset;
    return fields;
}

bool ChecksumMatches(const Frame& request) {
    const uint16_t stored = static_cast<uint16_t>(request[kReportChecksumOffset] |
                                                  (request[kReportChecksumOffset + 1] << 8));
    return stored == ComputeReportChecksum(request.data());
}

Frame StartReply(const Frame& request, uint8_t status) {
    Frame reply{};
    reply[0] = kCommandReportId;
    for (size_t i = kReportCommandOffset; i < kReportStatusOffset; ++i) reply[i] = request[i];
    reply[kReportStatusOffset] = status;
    return reply;
}

void SealReply(Frame* reply) {
    const uint16_t checksum = ComputeReportChecksum(reply->data());
    (*reply)[kReportChecksumOffset] = static_cast<uint8_t>(checksum & 0xFF);
    (*reply)[kReportChecksumOffset + 1] = static_cast<uint8_t>(checksum >> 8);
}

Frame StatusReply(const Frame& request, uint8_t status) {
    Frame reply = StartReply(request, status);
    SealReply(&reply);
    return reply;
}

}  // namespace rerov::sim
