// The spectrum of real sounds: tones peak where the scale puts them, silence is all zeros,
// and a tone that switches gives the large frame-to-frame differences the bridge needs.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>

#include "tests/audio_capture/analysis_support.h"
#include "tools/rerov-audio-capture/spectrum_scale.h"

namespace rerov::capture {
namespace {

using test::AnalyseSound;
using test::KeyboardBandSums;
using test::Strongest;

// A hop well inside a steady sound (the first hops still hold the silence before it).
constexpr size_t kSteadyHop = 10;

TEST(SpectrumAnalyzer, FftSizeKeepsBinsNarrowAtEveryRate) {
    EXPECT_EQ(SpectrumAnalyzer::FftSizeFor(44100), 2048);
    EXPECT_EQ(SpectrumAnalyzer::FftSizeFor(48000), 2048);
    EXPECT_EQ(SpectrumAnalyzer::FftSizeFor(8000), 512);
    EXPECT_EQ(SpectrumAnalyzer::FftSizeFor(96000), 4096);
    EXPECT_EQ(SpectrumAnalyzer::HopFramesFor(44100), 1470);  // 30 spectra a second
}

TEST(SpectrumAnalyzer, OneKilohertzPeaksInItsValueAndKeyboardBand) {
    const auto hops = AnalyseSound(44100, 0.5, test::Sine(1000.0));
    ASSERT_GT(hops.size(), kSteadyHop);
    const auto& spectrum = hops[kSteadyHop].spectrum;
    ASSERT_EQ(spectrum.size(), size_t(kSpectrumValues));
    EXPECT_NEAR(Strongest(spectrum), ValueOfFrequency(1000.0), 1);
    // A full-scale tone is about 4000 (the window's scalloping costs up to 1.4 dB).
    EXPECT_GE(spectrum[size_t(Strongest(spectrum))], 3900);
    EXPECT_LE(spectrum[size_t(Strongest(spectrum))], 4000);
    const auto bands = KeyboardBandSums(spectrum);
    EXPECT_EQ(Strongest(std::vector<int32_t>(bands.begin(), bands.end())),
              KeyboardBandOfFrequency(1000.0));
    // Far from the tone the spectrum is quiet: the window keeps leakage below the floor.
    EXPECT_EQ(spectrum[size_t(ValueOfFrequency(100.0))], 0);
    EXPECT_EQ(spectrum[size_t(ValueOfFrequency(10000.0))], 0);
}

TEST(SpectrumAnalyzer, TonesPeakWhereTheScalePutsThemAtAnyRate) {
    struct Case {
        int rate;
        double hz;
    };
    const Case cases[] = {{44100, 60.0},  {44100, 440.0}, {44100, 3000.0}, {44100, 12000.0},
                          {48000, 440.0}, {22050, 440.0}, {8000, 1000.0},  {96000, 15000.0}};
    for (const Case& c : cases) {
        const auto hops = AnalyseSound(c.rate, 0.5, test::Sine(c.hz, 0.5));
        ASSERT_GT(hops.size(), kSteadyHop);
        EXPECT_NEAR(Strongest(hops[kSteadyHop].spectrum), ValueOfFrequency(c.hz), 1)
            << c.hz << " Hz at " << c.rate;
    }
}

TEST(SpectrumAnalyzer, QuieterTonesGiveLowerValuesOnTheDecibelScale) {
    const auto full = AnalyseSound(44100, 0.5, test::Sine(1000.0, 1.0));
    const auto tenth = AnalyseSound(44100, 0.5, test::Sine(1000.0, 0.1));
    const int value = Strongest(full[kSteadyHop].spectrum);
    // 20 dB down is 1000 lower.
    EXPECT_NEAR(
        full[kSteadyHop].spectrum[size_t(value)] - tenth[kSteadyHop].spectrum[size_t(value)], 1000,
        5);
}

TEST(SpectrumAnalyzer, SilenceAndNoiseBelowTheGateGiveAllZeros) {
    for (const auto& hop : AnalyseSound(44100, 0.5, test::Silence())) {
        EXPECT_EQ(hop.spectrum, std::vector<int32_t>(kSpectrumValues, 0));
    }
    // Hiss at -80 dB, as a quiet recording's noise floor.
    std::mt19937 random(7);
    std::uniform_real_distribution<double> hiss(-1e-4, 1e-4);
    for (const auto& hop : AnalyseSound(44100, 0.5, [&](double, int) { return hiss(random); })) {
        EXPECT_EQ(hop.spectrum, std::vector<int32_t>(kSpectrumValues, 0));
    }
    // A tone is all energy in one place: 5 dB under the gate it is still silence, 5 dB
    // over it shows.
    const auto sineAtRmsDb = [](double db) {
        return test::Sine(1000.0, std::sqrt(2.0) * std::pow(10.0, db / 20.0));
    };
    const auto under = AnalyseSound(44100, 0.5, sineAtRmsDb(kGateDb - 5));
    EXPECT_EQ(under[kSteadyHop].spectrum, std::vector<int32_t>(kSpectrumValues, 0));
    const auto over = AnalyseSound(44100, 0.5, sineAtRmsDb(kGateDb + 5));
    EXPECT_GT(over[kSteadyHop].spectrum[size_t(ValueOfFrequency(1000.0))], 0);
}

TEST(SpectrumAnalyzer, ToneSwitchingOnAndOffGivesLargeDifferences) {
    const auto hops = AnalyseSound(44100, 2.0, test::GatedSine(1000.0, 0.25));
    const size_t value = size_t(ValueOfFrequency(1000.0));
    int risesAbove2000 = 0;
    int fallsAbove2000 = 0;
    for (size_t i = 1; i < hops.size(); ++i) {
        const int difference = hops[i].spectrum[value] - hops[i - 1].spectrum[value];
        if (difference > 2000) ++risesAbove2000;
        if (difference < -2000) ++fallsAbove2000;
    }
    // Four onsets and four releases in two seconds; each may spread over two hops.
    EXPECT_GE(risesAbove2000, 3);
    EXPECT_GE(fallsAbove2000, 3);
}

TEST(SpectrumAnalyzer, ResetForgetsTheHistory) {
    SpectrumAnalyzer analyzer(44100);
    const int hop = analyzer.HopFrames();
    std::vector<float> tone(size_t(hop) * 2);
    for (int f = 0; f < hop; ++f) {
        tone[size_t(2 * f)] = tone[size_t(2 * f + 1)] = float(std::sin(f * 0.1));
    }
    std::vector<float> silence(size_t(hop) * 2, 0.0f);
    std::vector<int32_t> spectrum;
    HopLoudness loudness;
    analyzer.Analyze(tone.data(), hop, &spectrum, &loudness);
    analyzer.Reset();
    // Without the reset the window would still hold part of the tone.
    analyzer.Analyze(silence.data(), hop, &spectrum, &loudness);
    EXPECT_EQ(spectrum, std::vector<int32_t>(kSpectrumValues, 0));
}

TEST(SpectrumAnalyzer, LoudnessAndPeaksPerChannel) {
    const auto hops = AnalyseSound(44100, 0.5, [](double t, int channel) {
        return channel == 0 ? std::sin(2 * 3.14159265 * 440 * t) : 0.0;
    });
    const auto& loudness = hops[kSteadyHop].loudness;
    EXPECT_NEAR(loudness.leftPeakDb, 0.0, 0.1);
    EXPECT_TRUE(std::isinf(loudness.rightPeakDb) && loudness.rightPeakDb < 0);
    // A full-scale sine on one of two channels: RMS 1/2 of the power of one sine, -6 dB.
    EXPECT_NEAR(loudness.rmsDb, -6.02, 0.1);
}

}  // namespace
}  // namespace rerov::capture
