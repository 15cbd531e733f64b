#pragma once
// CommandReport: the 64-byte request of the command protocol and the layout its reply
// shares. Byte 0 report id 4, bytes 1-2 checksum (16-bit sum of bytes 3..63, low byte
// first), byte 3 command, byte 4 data length, bytes 5-6 data offset (little-endian),
// byte 7 zero in a request and the status in a reply, payload from byte 8.

#include <array>
#include <cstddef>
#include <cstdint>

namespace rerov {

inline constexpr size_t kCommandReportSize = 64;
inline constexpr uint8_t kCommandReportId = 4;
inline constexpr size_t kReportChecksumOffset = 1;
inline constexpr size_t kReportCommandOffset = 3;
inline constexpr size_t kReportLengthOffset = 4;
inline constexpr size_t kReportDataOffsetOffset = 5;
inline constexpr size_t kReportStatusOffset = 7;
inline constexpr size_t kReportPayloadOffset = 8;
inline constexpr size_t kMaxReportPayload = kCommandReportSize - kReportPayloadOffset;  // 56

// The two error answers of a reply's status byte; any other value is success.
inline constexpr uint8_t kStatusError = 0xFF;
inline constexpr uint8_t kStatusRefused = 0xFE;

// Command codes of the protocol.
enum CommandCode : uint8_t {
    kCmdBeginSession = 0x01,
    kCmdEndSession = 0x02,
    kCmdReadDeviceInfo = 0x03,
    kCmdReadParameters = 0x05,
    kCmdWriteParameters = 0x06,
    kCmdReadKeyTable = 0x07,
    kCmdWriteKeyTable = 0x09,
    kCmdWriteLightTable = 0x0B,
    kCmdStreamLightFrame = 0x12,
    kCmdWriteMacroData = 0x15,
    kCmdWriteShootData = 0x17,
    kCmdReadStatus = 0x1A,
    kCmdReadLedTable = 0x1B,
    kCmdHostLightControl = 0x1C,
    kCmdWriteFnKeyTable = 0x27,
    kCmdQueryReceiverLink = 0xAA,
};

struct CommandReport {
    std::array<uint8_t, kCommandReportSize> bytes{};

    // Builds a request: zero-filled, report id 4, the fields given, up to 56 payload bytes
    // (more are cut), checksum last.
    static CommandReport Build(uint8_t command, uint8_t dataLength, uint16_t dataOffset,
                               const uint8_t* payload = nullptr, size_t payloadLength = 0);

    // Command code (byte 3); a reply repeats the request's.
    uint8_t Command() const { return bytes[kReportCommandOffset]; }
    // Payload bytes carried (or, in a read request, asked for).
    uint8_t DataLength() const { return bytes[kReportLengthOffset]; }
    // Position of the chunk in the device-side data area.
    uint16_t DataOffset() const;
    // Status byte of a reply: 0xFF and 0xFE are errors, anything else success.
    uint8_t Status() const { return bytes[kReportStatusOffset]; }
    // The checksum held in bytes 1-2.
    uint16_t StoredChecksum() const;
    // The 56 payload bytes from byte 8.
    const uint8_t* Payload() const { return bytes.data() + kReportPayloadOffset; }
    // All 64 bytes, report id first.
    uint8_t* Data() { return bytes.data(); }
    const uint8_t* Data() const { return bytes.data(); }
};

// The 16-bit sum of bytes 3..63 of a 64-byte report.
uint16_t ComputeReportChecksum(const uint8_t* report);

}  // namespace rerov
