#pragma once
// A WAV file as a sound source, delivered at the pace it would play (each Read returns
// when its last frame would have played), repeated from the start with `loop`.

#include <QFile>
#include <QString>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

#include "tools/rerov-audio-capture/sound_source.h"
#include "tools/rerov-audio-capture/wav_reader.h"

namespace rerov::capture {

class WavSource : public SoundSource {
  public:
    // The file at `path`, or nothing with a reason when it cannot be read or is not a WAV
    // file WavReader takes.
    static std::unique_ptr<WavSource> Open(const QString& path, bool loop, QString* error);

    int SampleRate() const override { return reader_.SampleRate(); }
    ReadResult Read(float* stereo, int frames, QString* error) override;
    void Interrupt() override;
    void Resume() override;

  private:
    explicit WavSource(bool loop);

    QFile file_;
    WavReader reader_;
    bool loop_;
    bool ended_ = false;
    // Pacing: frames delivered since `started_`.
    std::chrono::steady_clock::time_point started_;
    int64_t delivered_ = 0;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool interrupted_ = false;  // guarded by mutex_
};

}  // namespace rerov::capture
