#include "tests/audio_capture/analysis_support.h"

#include <algorithm>
#include <cmath>

#include "tools/rerov-audio-capture/spectrum_scale.h"

namespace rerov::test {

std::vector<AnalysedHop> AnalyseSound(int sampleRate, double seconds,
                                      const SampleFunction& sample) {
    capture::SpectrumAnalyzer analyzer(sampleRate);
    const int hop = analyzer.HopFrames();
    const long total = std::lround(seconds * sampleRate);
    std::vector<AnalysedHop> hops;
    std::vector<float> stereo(size_t(hop) * 2);
    for (long start = 0; start + hop <= total; start += hop) {
        for (int f = 0; f < hop; ++f) {
            const double t = double(start + f) / sampleRate;
            stereo[size_t(2 * f)] = float(sample(t, 0));
            stereo[size_t(2 * f + 1)] = float(sample(t, 1));
        }
        AnalysedHop result;
        analyzer.Analyze(stereo.data(), hop, &result.spectrum, &result.loudness);
        hops.push_back(std::move(result));
    }
    return hops;
}

int Strongest(const std::vector<int32_t>& values) {
    return int(std::max_element(values.begin(), values.end()) - values.begin());
}

std::vector<int64_t> KeyboardBandSums(const std::vector<int32_t>& spectrum) {
    std::vector<int64_t> sums(capture::kKeyboardValues / capture::kValuesPerBand, 0);
    for (int i = 0; i < capture::kKeyboardValues; ++i) {
        sums[size_t(i / capture::kValuesPerBand)] += spectrum[size_t(i)];
    }
    return sums;
}

}  // namespace rerov::test
