#pragma once
// Result codes of every command-protocol call. Callers test for kResultSuccess; the
// others say why a command did not go through.

namespace rerov {

inline constexpr int kResultSuccess = 1;
// The link is not connected (nothing was sent), or no reply arrived in time.
inline constexpr int kResultNoReply = 0;
// The report was not written (write failed or timed out); no reply was read.
inline constexpr int kResultWriteFailed = -1;
// Receiver path only: the receiver answered 0xAA, the device behind it is out of reach.
inline constexpr int kResultReceiverUnreachable = -101;
// Reply status byte 0xFF.
inline constexpr int kResultStatusFF = -102;
// Reply status byte 0xFE.
inline constexpr int kResultStatusFE = -103;
// A table write was asked for a page other than 0; nothing was sent.
inline constexpr int kResultBadPage = -201;

// A short English description of a result code ("device status 0xFF", ...); "unknown
// result code" for values that are none of the above.
const char* ResultCodeMeaning(int code);

}  // namespace rerov
