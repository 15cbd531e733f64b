#pragma once
// Turns sound into the 500-value spectrum (see spectrum_scale.h) about kFramesPerSecond
// times a second: each hop of new samples is appended to a history of the last FFT-size
// samples, which is Hann-windowed and transformed with FFTW. Also measures the hop's
// loudness and channel peaks for the level words.
//
// FFTW's planner is not thread-safe: construct and destroy analyzers on one thread (the
// capture's owner); Analyze may run on another thread, one call at a time.

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace rerov::capture {

inline constexpr int kFramesPerSecond = 30;

// Loudness of one hop in dB relative to full scale (-inf for digital silence).
struct HopLoudness {
    double rmsDb = 0;
    double leftPeakDb = 0;
    double rightPeakDb = 0;
};

class SpectrumAnalyzer {
  public:
    explicit SpectrumAnalyzer(int sampleRate);
    ~SpectrumAnalyzer();
    SpectrumAnalyzer(const SpectrumAnalyzer&) = delete;
    SpectrumAnalyzer& operator=(const SpectrumAnalyzer&) = delete;

    // The FFT size for a sample rate: the smallest power of two whose bins are at most
    // kMaxBinHz wide (2048 at 44.1 kHz).
    static int FftSizeFor(int sampleRate);
    static constexpr double kMaxBinHz = 24.0;

    // False when FFTW could not allocate or plan the transform; Analyze then gives zeros.
    bool IsValid() const;
    int SampleRate() const { return sampleRate_; }
    int FftSize() const { return fftSize_; }
    // Frames per hop: one spectrum per hop gives kFramesPerSecond spectra a second.
    int HopFrames() const { return HopFramesFor(sampleRate_); }
    static int HopFramesFor(int sampleRate) { return std::max(sampleRate / kFramesPerSecond, 1); }

    // Appends `frames` stereo frames (left, right pairs) and computes the spectrum of the
    // newest FFT-size samples into `spectrum` (kSpectrumValues values) and the hop's
    // loudness into `loudness`.
    void Analyze(const float* stereo, int frames, std::vector<int32_t>* spectrum,
                 HopLoudness* loudness);
    // Forgets the history (as if silence had been playing).
    void Reset();

  private:
    struct Plan;

    int sampleRate_;
    int fftSize_;
    std::vector<float> history_;  // ring of the last fftSize_ mono samples
    size_t historyNext_ = 0;
    std::vector<float> window_;
    // First and last FFT bin of each spectrum value; first > last for none.
    std::vector<std::array<int, 2>> valueBins_;
    std::vector<double> binDb_;
    std::unique_ptr<Plan> plan_;
};

}  // namespace rerov::capture
