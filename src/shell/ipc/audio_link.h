#pragma once
// The IPC channel's side of the sound-capture companion: what the channel hands the audio
// bridge (the companion came, a record arrived, the companion went) and how the bridge
// sends down the companion's connection. Only one connection at a time is the companion's:
// the first one that introduced itself with "audio.hello" and the right title.

#include <QJsonObject>

#include "shell/ipc/audio_records.h"

namespace rerov::ipc {

// Receives what the companion's connection carries. UI thread.
class AudioLinkSink {
  public:
    virtual ~AudioLinkSink() = default;
    // The companion introduced itself; messages can be sent to it from now on.
    virtual void OnCompanionIntroduced() = 0;
    // One record of the companion (any id; the receiver picks what it knows).
    virtual void OnCompanionRecord(const AudioRecord& record) = 0;
    // The companion's connection ended.
    virtual void OnCompanionGone() = 0;
};

// Sends messages down the companion's connection. UI thread.
class AudioLinkSender {
  public:
    virtual ~AudioLinkSender() = default;
    // False when no companion has introduced itself or the connection refused the bytes.
    virtual bool SendToCompanion(const QJsonObject& message) = 0;
};

}  // namespace rerov::ipc
