#pragma once
// The capture thread: reads hops from a sound source, analyses each and hands the result
// to its owner's callbacks (on the capture thread; the owner posts them to its own thread).
// The owner starts and stops it; Stop (and the destructor) return once the thread has
// ended, so no callback runs after them.

#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "tools/rerov-audio-capture/sound_source.h"
#include "tools/rerov-audio-capture/spectrum_analyzer.h"

namespace rerov::capture {

// One hop's analysis.
struct CaptureFrame {
    std::vector<int32_t> spectrum;
    HopLoudness loudness;
};

// Why a capture ended by itself.
struct CaptureEnd {
    bool failed = false;  // false: the sound ended (a file without --loop)
    QString error;
};

class CaptureSession {
  public:
    using FrameHandler = std::function<void(CaptureFrame)>;
    using EndHandler = std::function<void(CaptureEnd)>;

    // Captures from `source` with an analyzer made here (the owner's thread, as FFTW's
    // planner requires). Not running until Start.
    CaptureSession(std::unique_ptr<SoundSource> source, FrameHandler onFrame, EndHandler onEnd);
    ~CaptureSession();
    CaptureSession(const CaptureSession&) = delete;
    CaptureSession& operator=(const CaptureSession&) = delete;

    // False when the analysis could not be set up (FFTW failed); nothing can run then.
    bool IsValid() const { return analyzer_.IsValid(); }
    // Starts the thread, on what plays now. Does nothing while it runs.
    void Start();
    // Stops the thread and waits for it; the source stays open for the next Start.
    void Stop();
    bool IsRunning() const { return thread_.joinable(); }
    // Forgets the analysis history before the next hop (also while running).
    void Reset() { resetRequested_ = true; }

  private:
    void Run();

    std::unique_ptr<SoundSource> source_;
    SpectrumAnalyzer analyzer_;
    FrameHandler onFrame_;
    EndHandler onEnd_;
    std::atomic<bool> resetRequested_{false};
    std::thread thread_;
};

}  // namespace rerov::capture
