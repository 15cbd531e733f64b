#pragma once
// The records between the program and its sound-capture companion (rerov-audio-capture),
// carried as messages of the IPC channel. The companion connects as a client, introduces
// itself once with an "audio.hello" request (answered like every request) and from then on
// both ends send records and commands on that connection without replies:
//   companion -> program  {"type": "audio.record", "id": 1 | 2, "data": base64}
//   program -> companion  {"type": "audio.record", "id": 10, "data": base64}
//                         {"type": "audio.command", "command": 0..8, "value": int}
// Record identifiers, sizes and limits are those of the capture protocol: a spectrum is up
// to 500 little-endian int32 values, levels up to 6, the style colour ten int32 values; a
// record of size 0 is ignored, longer data is cut to the limit.

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace rerov::ipc {

inline constexpr char kAudioHello[] = "audio.hello";      // {"title": kAudioCaptureTitle}
inline constexpr char kAudioRecord[] = "audio.record";    // {"id", "data"}
inline constexpr char kAudioCommand[] = "audio.command";  // {"command", "value"}

// The companion's identity: its lock (one companion per user) and the title it introduces
// itself with, both built from the product name.
inline constexpr char kAudioCaptureLockName[] = "REROV ER60 EVERAudioRecord";
inline constexpr char kAudioCaptureTitle[] = "REROV ER60 EVERAUDIORECORD";
// The companion's program file, beside the program's own.
inline constexpr char kAudioCaptureProgram[] = "rerov-audio-capture";

// Record identifiers.
inline constexpr int kAudioSpectrumRecord = 1;  // companion -> program
inline constexpr int kAudioLevelsRecord = 2;    // companion -> program
inline constexpr int kAudioStyleRecord = 10;    // program -> companion

// Most values a record of each kind carries; longer data is cut.
inline constexpr int kAudioSpectrumValues = 500;
inline constexpr int kAudioLevelValues = 6;
inline constexpr int kAudioStyleValues = 10;

// Commands to the companion (the "command" of an audio.command message).
enum class AudioCommand : int {
    Attach = 0,        // start, first: the program listens (value unused)
    StartCapture = 1,  // start, third
    StopCapture = 2,   // shutdown, first
    Reset = 3,         // start, second: forget the analysis state
    Release = 4,       // shutdown, second: give the sound device back
    Exit = 5,          // shutdown, third: end the companion
    Red = 6,           // a red level (value) for the levels' colour
    Green = 7,
    Blue = 8,
};
inline constexpr int kAudioCommandCount = 9;

// One record as it travels: identifier and raw little-endian bytes.
struct AudioRecord {
    int id = 0;
    QByteArray data;
};

// The message of a record.
QJsonObject EncodeAudioRecord(int id, const QByteArray& data);
// The message of a record of int32 values (little-endian).
QJsonObject EncodeAudioValues(int id, const std::vector<int32_t>& values);
// The record of a message: nothing when it is not an audio record, its id is not a whole
// number or its data is not base64.
std::optional<AudioRecord> DecodeAudioRecord(const QJsonObject& message);
// The int32 values of record data, at most `limit`; a trailing partial value is dropped.
std::vector<int32_t> AudioValues(const QByteArray& data, int limit);

QJsonObject EncodeAudioCommand(AudioCommand command, int value = 0);
// The command of a message: nothing when it is not a command or it is out of range.
struct AudioCommandMessage {
    AudioCommand command = AudioCommand::Attach;
    int value = 0;
};
std::optional<AudioCommandMessage> DecodeAudioCommand(const QJsonObject& message);

}  // namespace rerov::ipc
