// The command set of DeviceLink: one function per command code, built on Transact.

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <thread>

#include "device_link/device_link.h"

namespace rerov {

namespace {

constexpr auto kEndSessionDelay = std::chrono::milliseconds(10);
constexpr uint32_t kOffsetSpace = 0x10000;  // the data offset field is 16 bits wide
constexpr uint8_t kReceiverInReach = 0xFF;

// A transfer whose chunks would need offsets beyond 16 bits would wrap around and land
// at the start of the device's data area, so it is refused before anything is sent.
bool FitsOffsetSpace(uint32_t base, size_t length) {
    return base <= kOffsetSpace && length <= kOffsetSpace - base;
}

int MapStatus(const CommandReport& reply) {
    switch (reply.Status()) {
        case kStatusError:
            return kResultStatusFF;
        case kStatusRefused:
            return kResultStatusFE;
        default:
            return kResultSuccess;
    }
}

}  // namespace

int DeviceLink::Exchange(std::mutex* outerLock, bool quiet, const CommandReport& request,
                         CommandReport* reply, size_t neededReplyBytes) {
    std::unique_lock<std::mutex> outer;
    if (outerLock != nullptr) outer = std::unique_lock<std::mutex>(*outerLock);
    CommandReport local;
    CommandReport& answer = reply != nullptr ? *reply : local;
    size_t count = 0;
    const int result = DoTransact(request.Data(), kCommandReportSize, answer.Data(),
                                  kCommandReportSize, &count, quiet);
    if (result != kResultSuccess) return result;
    // A truncated reply carries no trustworthy status or data.
    if (count < neededReplyBytes) return kResultNoReply;
    return MapStatus(answer);
}

int DeviceLink::ChunkedWrite(uint8_t command, const uint8_t* data, size_t length, uint32_t base,
                             uint8_t chunkSize, std::mutex* outerLock) {
    if (length == 0) return kResultSuccess;
    if (data == nullptr || !FitsOffsetSpace(base, length)) return kResultWriteFailed;
    for (size_t position = 0; position < length; position += chunkSize) {
        const size_t piece = std::min<size_t>(chunkSize, length - position);
        const CommandReport request =
            CommandReport::Build(command, static_cast<uint8_t>(piece),
                                 static_cast<uint16_t>(base + position), data + position, piece);
        const int result = Exchange(outerLock, false, request, nullptr, kReportPayloadOffset);
        if (result != kResultSuccess) return result;
    }
    return kResultSuccess;
}

int DeviceLink::ChunkedRead(uint8_t command, uint8_t* destination, size_t length, uint32_t base,
                            uint8_t chunkSize) {
    if (length == 0) return kResultSuccess;
    if (destination == nullptr || !FitsOffsetSpace(base, length)) return kResultWriteFailed;
    for (size_t position = 0; position < length; position += chunkSize) {
        const size_t piece = std::min<size_t>(chunkSize, length - position);
        const CommandReport request = CommandReport::Build(command, static_cast<uint8_t>(piece),
                                                           static_cast<uint16_t>(base + position));
        CommandReport reply;
        const int result =
            Exchange(&commandLock_, false, request, &reply, kReportPayloadOffset + piece);
        if (result != kResultSuccess) return result;
        std::memcpy(destination + position, reply.Payload(), piece);
    }
    return kResultSuccess;
}

int DeviceLink::SendCommand(uint8_t command, uint8_t dataLength, uint16_t dataOffset,
                            const uint8_t* payload, size_t payloadLength, CommandReport* reply) {
    const CommandReport request =
        CommandReport::Build(command, dataLength, dataOffset, payload, payloadLength);
    return Exchange(&commandLock_, false, request, reply, kReportPayloadOffset);
}

int DeviceLink::BeginSession() { return SendCommand(kCmdBeginSession, 0, 0, nullptr, 0, nullptr); }

int DeviceLink::EndSession(int /*unused*/) {
    if (!connected_.load()) return kResultNoReply;
    // The device needs a moment after the last data report before it closes the session.
    // The command lock is held through the wait, so that no command of another thread (a
    // power status read) can land between the wait and the EndSession.
    std::lock_guard<std::mutex> command(commandLock_);
    std::this_thread::sleep_for(kEndSessionDelay);
    return Exchange(nullptr, false, CommandReport::Build(kCmdEndSession, 0, 0), nullptr,
                    kReportPayloadOffset);
}

int DeviceLink::ReadDeviceInfo(uint8_t* info) {
    if (info == nullptr) return kResultWriteFailed;
    // Collected apart, so a failed read leaves the caller's block untouched.
    std::array<uint8_t, kDeviceInfoSize> block{};
    const int result = ChunkedRead(kCmdReadDeviceInfo, block.data(), block.size(), 0, ChunkSize());
    if (result == kResultSuccess) std::memcpy(info, block.data(), block.size());
    return result;
}

int DeviceLink::ReadParameters(uint8_t* destination, size_t length, uint16_t base) {
    return ChunkedRead(kCmdReadParameters, destination, length, base, ChunkSize());
}

int DeviceLink::WriteParameters(const uint8_t* data, size_t length, uint16_t base) {
    return ChunkedWrite(kCmdWriteParameters, data, length, base, ChunkSize(), &commandLock_);
}

int DeviceLink::ReadKeyTable(uint8_t* destination) {
    return ChunkedRead(kCmdReadKeyTable, destination, BlockLength(), 0, ChunkSize());
}

int DeviceLink::WriteTable(uint8_t command, const uint8_t* data, int page) {
    if (page != 0) return kResultBadPage;
    return ChunkedWrite(command, data, BlockLength(), static_cast<uint32_t>(page) * kTablePageSize,
                        ChunkSize(), &commandLock_);
}

int DeviceLink::WriteKeyTable(const uint8_t* data, int page) {
    return WriteTable(kCmdWriteKeyTable, data, page);
}

int DeviceLink::WriteFnKeyTable(const uint8_t* data, int page) {
    return WriteTable(kCmdWriteFnKeyTable, data, page);
}

int DeviceLink::WriteLightTable(const uint8_t* data, size_t length, int slot, int slotSize) {
    if (slot < 0 || slotSize < 0) return kResultWriteFailed;
    const uint64_t base = static_cast<uint64_t>(slot) * static_cast<uint64_t>(slotSize);
    if (base > kOffsetSpace) return kResultWriteFailed;
    return ChunkedWrite(kCmdWriteLightTable, data, length, static_cast<uint32_t>(base), ChunkSize(),
                        &lightingLock_);
}

int DeviceLink::StreamLightFrame(const uint8_t* data, size_t length) {
    if (length == 0) return kResultSuccess;
    if (data == nullptr || !FitsOffsetSpace(0, length)) return kResultWriteFailed;
    const uint8_t chunkSize = ChunkSize();
    for (size_t position = 0; position < length; position += chunkSize) {
        const size_t piece = std::min<size_t>(chunkSize, length - position);
        // Animation frames are dropped rather than queued behind a command.
        if (IsBusy()) {
            TraceLinkMessage("放弃灯光数据");
            continue;
        }
        const CommandReport request =
            CommandReport::Build(kCmdStreamLightFrame, static_cast<uint8_t>(piece),
                                 static_cast<uint16_t>(position), data + position, piece);
        const int result = Exchange(&lightingLock_, true, request, nullptr, kReportPayloadOffset);
        if (result != kResultSuccess) return result;
    }
    return kResultSuccess;
}

int DeviceLink::WriteMacroData(const uint8_t* data, size_t length) {
    return ChunkedWrite(kCmdWriteMacroData, data, length, 0, ChunkSize(), &commandLock_);
}

int DeviceLink::WriteShootData(const uint8_t* data, size_t length) {
    return ChunkedWrite(kCmdWriteShootData, data, length, 0, kWiredChunkSize, nullptr);
}

int DeviceLink::ReadStatus(uint8_t* destination, size_t count, uint16_t address) {
    // One report carries at most 56 data bytes; more would read past the reply.
    if (destination == nullptr || count > kMaxReportPayload) return kResultWriteFailed;
    const CommandReport request =
        CommandReport::Build(kCmdReadStatus, static_cast<uint8_t>(count), address);
    CommandReport reply;
    const int result =
        Exchange(&commandLock_, false, request, &reply, kReportPayloadOffset + count);
    if (result == kResultSuccess) std::memcpy(destination, reply.Payload(), count);
    return result;
}

int DeviceLink::ReadLedTable(uint8_t* destination) {
    return ChunkedRead(kCmdReadLedTable, destination, BlockLength() / 3, 0, ChunkSize());
}

int DeviceLink::HostLightControl() {
    return SendCommand(kCmdHostLightControl, 0, 0, nullptr, 0, nullptr);
}

bool DeviceLink::QueryReceiverLink() {
    if (!receiver_.load()) return true;
    const CommandReport request = CommandReport::Build(kCmdQueryReceiverLink, 0, 0);
    CommandReport reply;
    size_t count = 0;
    int result;
    {
        std::lock_guard<std::mutex> command(commandLock_);
        result = DoTransact(request.Data(), kCommandReportSize, reply.Data(), kCommandReportSize,
                            &count, false);
    }
    return result == kResultSuccess && count > kReportPayloadOffset &&
           MapStatus(reply) == kResultSuccess && reply.Payload()[0] == kReceiverInReach;
}

}  // namespace rerov
