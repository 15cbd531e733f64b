#include "device_link/device_link.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

namespace rerov {

namespace {

constexpr int kWiredTimeoutMs = 1000;
constexpr int kReceiverTimeoutMs = 5000;
constexpr int kQuietReceiverTimeoutMs = 500;
constexpr int kMaxReplyReads = 2;
constexpr uint8_t kReceiverUnreachableCommand = kCmdQueryReceiverLink;

// Counts transactions in progress, so that one ending on another thread does not hide
// one still running (a single shared flag would be cleared by whichever ends first).
class BusyScope {
  public:
    explicit BusyScope(std::atomic<int>& count) : count_(count) { count_.fetch_add(1); }
    ~BusyScope() { count_.fetch_sub(1); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

  private:
    std::atomic<int>& count_;
};

void TraceReply(const uint8_t* reply, size_t replyLength) {
    if (!LinkDebugEnabled()) return;
    std::array<uint8_t, kCommandReportSize> padded{};
    std::memcpy(padded.data(), reply, std::min(replyLength, padded.size()));
    TraceCommandReport("返回", padded.data());
}

}  // namespace

DeviceLink::DeviceLink(std::shared_ptr<HidBackend> backend)
    : wired_(backend), receiverDevice_(std::move(backend)) {}

DeviceLink::~DeviceLink() {
    wired_.Close();
    receiverDevice_.Close();
}

void DeviceLink::SetLinkMode(LinkMode mode) {
    const bool receiver = mode == LinkMode::Receiver;
    // Chunk size first: a command that sees the new path must not use the old size.
    chunkSize_.store(receiver ? kReceiverChunkSize : kWiredChunkSize);
    receiver_.store(receiver);
}

bool DeviceLink::SetBlockLength(int length) {
    if (length < 0 || length > kMaxBlockLength) return false;
    blockLength_.store(static_cast<uint16_t>(length));
    return true;
}

void DeviceLink::SetReportTraceHook(ReportTraceHook hook) {
    std::lock_guard<std::mutex> io(ioLock_);
    traceHook_ = std::move(hook);
}

int DeviceLink::Transact(const uint8_t* request, size_t requestLength, uint8_t* reply,
                         size_t replyLength, size_t* bytesRead) {
    return DoTransact(request, requestLength, reply, replyLength, bytesRead, false);
}

int DeviceLink::TransactQuiet(const uint8_t* request, size_t requestLength, uint8_t* reply,
                              size_t replyLength, size_t* bytesRead) {
    return DoTransact(request, requestLength, reply, replyLength, bytesRead, true);
}

int DeviceLink::DoTransact(const uint8_t* request, size_t requestLength, uint8_t* reply,
                           size_t replyLength, size_t* bytesRead, bool quiet) {
    BusyScope busy(busyCount_);
    if (bytesRead != nullptr) *bytesRead = 0;
    if (!connected_.load()) return kResultNoReply;

    std::array<uint8_t, kCommandReportSize> out{};
    if (request != nullptr) {
        std::memcpy(out.data(), request, std::min(requestLength, out.size()));
    }
    if (!quiet) TraceCommandReport("命令", out.data());

    int result = kResultNoReply;
    size_t lastRead = 0;
    {
        // The write and its reply reads form one exchange under the I/O lock, so a
        // transaction of another thread cannot take this transaction's reply.
        std::lock_guard<std::mutex> io(ioLock_);
        const bool receiver = receiver_.load();
        HidDevice& device = receiver ? receiverDevice_ : wired_;
        const int timeoutMs =
            receiver ? (quiet ? kQuietReceiverTimeoutMs : kReceiverTimeoutMs) : kWiredTimeoutMs;
        if (!device.Write(out.data(), out.size(), nullptr, timeoutMs)) {
            result = kResultWriteFailed;
        } else {
            if (traceHook_) traceHook_(ReportDirection::HostToDevice, out.data(), out.size());
            for (int attempt = 0; attempt < kMaxReplyReads; ++attempt) {
                if (reply != nullptr && replyLength > 0) std::memset(reply, 0, replyLength);
                size_t count = 0;
                const bool ok = reply != nullptr && replyLength > 0 &&
                                device.Read(reply, replyLength, &count, timeoutMs);
                lastRead = count;
                result = ok ? kResultSuccess : kResultNoReply;
                if (!ok) continue;
                if (traceHook_) traceHook_(ReportDirection::DeviceToHost, reply, count);
                if (count <= kReportCommandOffset) continue;
                const uint8_t answered = reply[kReportCommandOffset];
                if (answered == out[kReportCommandOffset]) break;
                if (receiver && answered == kReceiverUnreachableCommand) {
                    result = kResultReceiverUnreachable;
                    break;
                }
            }
        }
    }
    if (result != kResultWriteFailed && !quiet && reply != nullptr) {
        TraceReply(reply, replyLength);
    }
    if (bytesRead != nullptr) *bytesRead = lastRead;
    return result;
}

}  // namespace rerov
