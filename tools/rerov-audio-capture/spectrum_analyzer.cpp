#include "tools/rerov-audio-capture/spectrum_analyzer.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "tools/rerov-audio-capture/spectrum_scale.h"

namespace rerov::capture {

namespace {

constexpr int kMinFftSize = 256;
constexpr int kMaxFftSize = 65536;

double Decibels(double amplitude) {
    return amplitude > 0 ? 20.0 * std::log10(amplitude) : -std::numeric_limits<double>::infinity();
}

}  // namespace

// FFTW's buffers and plan, released together.
struct SpectrumAnalyzer::Plan {
    explicit Plan(int size)
        : input(fftwf_alloc_real(size_t(size))), output(fftwf_alloc_complex(size_t(size / 2 + 1))) {
        // Estimating needs no measuring runs, so start-up stays instant.
        if (input && output) plan = fftwf_plan_dft_r2c_1d(size, input, output, FFTW_ESTIMATE);
    }
    ~Plan() {
        if (plan) fftwf_destroy_plan(plan);
        fftwf_free(output);
        fftwf_free(input);
    }
    Plan(const Plan&) = delete;
    Plan& operator=(const Plan&) = delete;

    float* input = nullptr;
    fftwf_complex* output = nullptr;
    fftwf_plan plan = nullptr;
};

int SpectrumAnalyzer::FftSizeFor(int sampleRate) {
    int size = kMinFftSize;
    while (size<kMaxFftSize&& double(sampleRate) / size> kMaxBinHz) size *= 2;
    return size;
}

SpectrumAnalyzer::SpectrumAnalyzer(int sampleRate)
    : sampleRate_(std::max(sampleRate, 1)),
      fftSize_(FftSizeFor(sampleRate_)),
      history_(size_t(fftSize_), 0.0f),
      window_(size_t(fftSize_)),
      valueBins_(kSpectrumValues),
      binDb_(size_t(fftSize_ / 2 + 1)),
      plan_(std::make_unique<Plan>(fftSize_)) {
    for (int n = 0; n < fftSize_; ++n) {
        // The periodic Hann window: its sum is exactly N / 2.
        window_[size_t(n)] =
            float(0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * n / double(fftSize_)));
    }
    const double binHz = double(sampleRate_) / fftSize_;
    const double nyquist = sampleRate_ / 2.0;
    const int lastBin = fftSize_ / 2;
    for (int value = 0; value < kSpectrumValues; ++value) {
        auto& bins = valueBins_[size_t(value)];
        bins = {1, 0};  // none
        if (ValueFrequency(value) >= nyquist) continue;
        const double low = ValueFrequency(value - 0.5);
        const double high = std::min(ValueFrequency(value + 0.5), nyquist);
        const int first = std::max(1, int(std::ceil(low / binHz)));
        const int last = std::min(lastBin, int(std::ceil(high / binHz)) - 1);
        if (first <= last) {
            bins = {first, last};
        } else {
            // Narrower than a bin: the bin nearest the value's centre.
            const int nearest =
                std::clamp(int(std::lround(ValueFrequency(value) / binHz)), 1, lastBin);
            bins = {nearest, nearest};
        }
    }
}

SpectrumAnalyzer::~SpectrumAnalyzer() = default;

bool SpectrumAnalyzer::IsValid() const { return plan_->plan != nullptr; }

void SpectrumAnalyzer::Reset() {
    std::fill(history_.begin(), history_.end(), 0.0f);
    historyNext_ = 0;
}

void SpectrumAnalyzer::Analyze(const float* stereo, int frames, std::vector<int32_t>* spectrum,
                               HopLoudness* loudness) {
    double sumSquares = 0;
    float leftPeak = 0;
    float rightPeak = 0;
    for (int f = 0; f < frames; ++f) {
        const float left = stereo[2 * f];
        const float right = stereo[2 * f + 1];
        leftPeak = std::max(leftPeak, std::fabs(left));
        rightPeak = std::max(rightPeak, std::fabs(right));
        sumSquares += 0.5 * (double(left) * left + double(right) * right);
        history_[historyNext_] = 0.5f * (left + right);
        historyNext_ = (historyNext_ + 1) % history_.size();
    }
    loudness->rmsDb = frames > 0 ? Decibels(std::sqrt(sumSquares / frames)) : Decibels(0);
    loudness->leftPeakDb = Decibels(leftPeak);
    loudness->rightPeakDb = Decibels(rightPeak);

    spectrum->assign(kSpectrumValues, 0);
    double windowSquares = 0;
    for (const float sample : history_) windowSquares += double(sample) * sample;
    if (!IsValid() || Decibels(std::sqrt(windowSquares / fftSize_)) < kGateDb) return;
    for (int n = 0; n < fftSize_; ++n) {
        // Oldest first: the ring's next slot holds the oldest sample.
        const float sample = history_[(historyNext_ + size_t(n)) % history_.size()];
        plan_->input[n] = sample * window_[size_t(n)];
    }
    fftwf_execute(plan_->plan);
    // A sine of amplitude A gives a Hann-windowed bin of A * N / 4 at its frequency.
    const double toAmplitude = 4.0 / fftSize_;
    for (size_t k = 0; k < binDb_.size(); ++k) {
        const double re = plan_->output[k][0];
        const double im = plan_->output[k][1];
        binDb_[k] = Decibels(std::sqrt(re * re + im * im) * toAmplitude);
    }
    for (int value = 0; value < kSpectrumValues; ++value) {
        const auto& bins = valueBins_[size_t(value)];
        if (bins[0] > bins[1]) continue;
        double strongest = -std::numeric_limits<double>::infinity();
        for (int k = bins[0]; k <= bins[1]; ++k) strongest = std::max(strongest, binDb_[size_t(k)]);
        (*spectrum)[size_t(value)] = ValueOfDecibels(strongest);
    }
}

}  // namespace rerov::capture
