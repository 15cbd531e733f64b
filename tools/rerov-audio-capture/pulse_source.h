#pragma once
// What the computer plays, captured from the sound server's monitor of the default output
// ("@DEFAULT_MONITOR@") through the PulseAudio simple API, which PipeWire serves as well:
// stereo 32-bit float at kSampleRate, delivered in reads of about one hop.

#include <QString>
#include <atomic>
#include <memory>

#include "tools/rerov-audio-capture/sound_source.h"

struct pa_simple;

namespace rerov::capture {

class PulseSource : public SoundSource {
  public:
    static constexpr int kSampleRate = 44100;

    // Connects to the sound server and starts recording; nothing with the server's reason
    // when there is no server or no monitor to record. `hopFrames` sizes the server's
    // fragments, so a Read of that many frames returns as soon as they have played.
    static std::unique_ptr<PulseSource> Open(int hopFrames, QString* error);
    ~PulseSource() override;

    int SampleRate() const override { return kSampleRate; }
    ReadResult Read(float* stereo, int frames, QString* error) override;
    // A waiting read returns within one hop; the interruption is seen then.
    void Interrupt() override { interrupted_ = true; }
    void Resume() override;

  private:
    explicit PulseSource(pa_simple* stream) : stream_(stream) {}

    pa_simple* stream_;
    std::atomic<bool> interrupted_{false};
};

}  // namespace rerov::capture
