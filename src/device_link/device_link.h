#pragma once
// DeviceLink: the command channel of one device. It owns the wired and the receiver
// HidDevice, knows which one is in use, serialises transfers, frames commands into
// CommandReports, checks replies and cuts long payloads into chunks. Every device class
// builds its reads and downloads from the command functions below and never writes a
// report itself. Every call returns a result code of result_codes.h (1 = success).

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "device_link/command_report.h"
#include "device_link/hid_device.h"
#include "device_link/link_trace.h"
#include "device_link/result_codes.h"

namespace rerov {

inline constexpr uint16_t kMaxBlockLength = 512;
inline constexpr size_t kDeviceInfoSize = 34;  // the device information block (ReadDeviceInfo)
inline constexpr uint8_t kWiredChunkSize = 56;
inline constexpr uint8_t kReceiverChunkSize = 24;
inline constexpr uint32_t kTablePageSize = 512;

// The path a DeviceLink sends on. The values are the device protocol's mode numbers.
enum class LinkMode : int {
    Wired = 1,     // the cable's command interface, 56 payload bytes per report
    Receiver = 2,  // the 2.4 GHz receiver's command interface, 24 payload bytes per report
};

// Called with every report written to and every reply read from the device.
using ReportTraceHook =
    std::function<void(ReportDirection direction, const uint8_t* report, size_t length)>;

class DeviceLink {
  public:
    // A null backend means the process-wide one (CurrentHidBackend) at Open time.
    explicit DeviceLink(std::shared_ptr<HidBackend> backend = nullptr);
    ~DeviceLink();
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    // --- Link management ---

    // Selects the path of the next commands: Receiver (chunk size 24); Wired, or any value
    // that is not Receiver, the cable (56).
    void SetLinkMode(LinkMode mode);
    // Stores a table length of at most 512 and returns true; refuses larger (or negative)
    // lengths with false and keeps the old one.
    bool SetBlockLength(int length);
    // Length of the key and LED tables (default 512).
    uint16_t BlockLength() const { return blockLength_.load(); }
    // True while the receiver path is selected.
    bool IsReceiver() const { return receiver_.load(); }
    // Payload bytes per report on the current path: 56 wired, 24 receiver.
    uint8_t ChunkSize() const { return chunkSize_.load(); }
    // Set by discovery once an interface of the link is open; cleared when it goes away.
    void SetConnected(bool connected) { connected_.store(connected); }
    // True while the link may send; commands on an unconnected link return 0 unsent.
    bool IsConnected() const { return connected_.load(); }
    // Set by the lighting synchronisation while it drives the device; the link ignores it.
    void SetLightingSync(bool on) { lightingSync_.store(on); }
    // True while the lighting synchronisation drives the device.
    bool LightingSync() const { return lightingSync_.load(); }
    // True while a transaction is in progress on any thread.
    bool IsBusy() const { return busyCount_.load() > 0; }

    // The wired interface; open and close it under IoLock().
    HidDevice& Wired() { return wired_; }
    // The receiver's interface; open and close it under IoLock().
    HidDevice& Receiver() { return receiverDevice_; }

    // Held around each write/read exchange. Lock order: CommandLock or LightingLock first.
    std::mutex& IoLock() { return ioLock_; }
    // Used by the input-report thread of the device's secondary interface.
    std::mutex& SecondaryLinkLock() { return secondaryLinkLock_; }
    // Held by command functions around each transaction.
    std::mutex& CommandLock() { return commandLock_; }
    // Held by the lighting commands (WriteLightTable, StreamLightFrame).
    std::mutex& LightingLock() { return lightingLock_; }

    // Installs (or with an empty function removes) the report trace hook. The hook runs
    // under the I/O lock and must not call into this link.
    void SetReportTraceHook(ReportTraceHook hook);

    // --- Transactions ---

    // Sends one request (zero-filled or cut to 64 bytes) on the current path and reads up
    // to two replies of replyLength bytes, stopping at the one whose command byte matches.
    // Time-outs 1000 ms wired, 5000 ms receiver. Returns 1 when a reply was read, 0 when
    // not connected or no reply came, -1 when the write failed, -101 when the receiver
    // answered 0xAA to another command. *bytesRead (optional) gets the last reply's size.
    int Transact(const uint8_t* request, size_t requestLength, uint8_t* reply, size_t replyLength,
                 size_t* bytesRead);
    // Transact without debug trace and with 500 ms on the receiver path; lighting frames.
    int TransactQuiet(const uint8_t* request, size_t requestLength, uint8_t* reply,
                      size_t replyLength, size_t* bytesRead);

    // One framed command under the command lock: request with the given fields and up to
    // 56 payload bytes, reply status mapped (0xFF -> -102, 0xFE -> -103). The reply is
    // copied to *reply when given.
    int SendCommand(uint8_t command, uint8_t dataLength, uint16_t dataOffset,
                    const uint8_t* payload, size_t payloadLength, CommandReport* reply);

    // --- Command set (chunked commands stop at the first chunk that is not 1) ---

    // 0x01: opens a read-out or download session.
    int BeginSession();
    // 0x02: closes the session, 10 ms after the call. The argument is not used.
    int EndSession(int unused = 1);
    // 0x03: reads the 34-byte information block; info is written only when all chunks
    // succeeded.
    int ReadDeviceInfo(uint8_t* info);
    // 0x05: reads length bytes of the parameter area starting at base.
    int ReadParameters(uint8_t* destination, size_t length, uint16_t base);
    // 0x06: writes length bytes to the parameter area starting at base.
    int WriteParameters(const uint8_t* data, size_t length, uint16_t base);
    // 0x07: reads BlockLength() bytes of the factory key table (destination >= 512 bytes).
    int ReadKeyTable(uint8_t* destination);
    // 0x09: writes BlockLength() bytes of the key table; page other than 0 -> -201 unsent.
    int WriteKeyTable(const uint8_t* data, int page);
    // 0x0B: writes a light table into slot × slotSize (lighting lock).
    int WriteLightTable(const uint8_t* data, size_t length, int slot, int slotSize);
    // 0x12: streams one lighting frame (lighting lock, quiet). Pieces that meet another
    // transaction in progress are dropped, not queued, and count as sent.
    int StreamLightFrame(const uint8_t* data, size_t length);
    // 0x15: writes the macro blob.
    int WriteMacroData(const uint8_t* data, size_t length);
    // 0x17: writes shooting data in 56-byte pieces on either path, without outer lock.
    int WriteShootData(const uint8_t* data, size_t length);
    // 0x1A: reads count (at most 56) bytes of the status area at address in one report.
    int ReadStatus(uint8_t* destination, size_t count, uint16_t address);
    // 0x1B: reads BlockLength() / 3 bytes of the LED table (destination >= 170 bytes).
    int ReadLedTable(uint8_t* destination);
    // 0x1C: hands the lighting to the host.
    int HostLightControl();
    // 0x27: as WriteKeyTable, for the Fn layer.
    int WriteFnKeyTable(const uint8_t* data, int page);
    // 0xAA: true on the cable without sending; through the receiver true only when the
    // device behind it answers that it is in reach.
    bool QueryReceiverLink();

  private:
    int DoTransact(const uint8_t* request, size_t requestLength, uint8_t* reply, size_t replyLength,
                   size_t* bytesRead, bool quiet);
    // One request/reply under outerLock (none when null), with the status mapped and the
    // reply required to hold at least neededReplyBytes.
    int Exchange(std::mutex* outerLock, bool quiet, const CommandReport& request,
                 CommandReport* reply, size_t neededReplyBytes);
    int ChunkedWrite(uint8_t command, const uint8_t* data, size_t length, uint32_t base,
                     uint8_t chunkSize, std::mutex* outerLock);
    int ChunkedRead(uint8_t command, uint8_t* destination, size_t length, uint32_t base,
                    uint8_t chunkSize);
    int WriteTable(uint8_t command, const uint8_t* data, int page);

    std::atomic<uint16_t> blockLength_{kMaxBlockLength};
    std::atomic<int> busyCount_{0};
    std::atomic<bool> connected_{false};
    std::atomic<bool> lightingSync_{false};
    HidDevice wired_;
    HidDevice receiverDevice_;
    std::mutex ioLock_;
    std::mutex secondaryLinkLock_;
    std::mutex commandLock_;
    std::mutex lightingLock_;
    std::atomic<bool> receiver_{false};
    std::atomic<uint8_t> chunkSize_{kReceiverChunkSize};
    ReportTraceHook traceHook_;  // guarded by ioLock_
};

}  // namespace rerov
