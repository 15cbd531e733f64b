#pragma once
// Runs the companion's analysis in process over a whole sound, hop by hop, as the capture
// thread does.

#include <QByteArray>
#include <cstdint>
#include <vector>

#include "tests/audio_capture/wav_fixture.h"
#include "tools/rerov-audio-capture/spectrum_analyzer.h"

namespace rerov::test {

struct AnalysedHop {
    std::vector<int32_t> spectrum;
    capture::HopLoudness loudness;
};

// The hops of `seconds` of `sample` at `sampleRate` (stereo; `sample` gets the channel).
std::vector<AnalysedHop> AnalyseSound(int sampleRate, double seconds, const SampleFunction& sample);

// The index of the largest value.
int Strongest(const std::vector<int32_t>& values);
// The sums of each keyboard band's five values.
std::vector<int64_t> KeyboardBandSums(const std::vector<int32_t>& spectrum);

}  // namespace rerov::test
