#pragma once
// Device-side helpers for the 64-byte command reports: reading a request's fields and
// building the reply the firmware sends back.

#include <array>
#include <cstdint>

#include "device_link/command_report.h"

namespace rerov::sim {

using Frame = std::array<uint8_t, kCommandReportSize>;

// The fields of a request as the firmware reads them.
struct RequestFields {
    uint8_t command = 0;
    uint8_t length = 0;
    uint16_t offset = 0;
    const uint8_t* payload = nullptr;  // 56 bytes from byte 8
};

// Splits a request into its fields.
RequestFields ReadRequest(const Frame& request);

// True when bytes 1-2 hold the 16-bit sum of bytes 3..63.
bool ChecksumMatches(const Frame& request);

// A reply: report id 4, the request's command, length and offset, the given status, no
// data yet. SealReply must run after the data has been placed.
Frame StartReply(const Frame& request, uint8_t status);

// Stores the reply's checksum (bytes 1-2) over bytes 3..63.
void SealReply(Frame* reply);

// StartReply and SealReply in one, for replies that carry no data.
Frame StatusReply(const Frame& request, uint8_t status);

}  // namespace rerov::sim
