// The spectrum step of the audio bridge: running band levels from the change between two
// successive spectra, and the hand-on of every third spectrum to the keyboard and the mouse.

#include "shell/audio/audio_bands.h"

#include <algorithm>
#include <limits>

namespace rerov::audio {

namespace {

// The band levels are 32-bit, but a difference of two extreme spectrum values, and the sum
// of five of them, is not: the arithmetic runs in 64 bits and the result is clamped back.
int32_t ClampToInt32(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

// Band b takes the five differences 5b to 5b + 4.
constexpr int kValuesPerBand = 5;

template <size_t Bands>
void UpdateBands(std::array<int32_t, Bands>& levels,
                 const std::array<int64_t, kSpectrumValues>& differences) {
    static_assert(Bands * kValuesPerBand <= kSpectrumValues);
    for (size_t band = 0; band < Bands; ++band) {
        int64_t sum = levels[band];
        for (int i = 0; i < kValuesPerBand; ++i) sum += differences[band * kValuesPerBand + i];
        levels[band] = ClampToInt32(sum / kValuesPerBand);
    }
}

// A frame counter only needs to tell "above 2"; it stops growing there so a family with no
// supported rows (never reset) cannot overflow it.
void CountFrame(int& frames) {
    if (frames <= 2) ++frames;
}

}  // namespace

AudioBands::AudioBands(int keyboardRows, int mouseRows)
    : keyboardRows_(std::max(keyboardRows, 0)), mouseRows_(std::max(mouseRows, 0)) {}

BandOutput AudioBands::Feed(const int32_t* values, size_t count) {
    BandOutput output;
    if (values == nullptr || count == 0) return output;
    const size_t taken = std::min(count, static_cast<size_t>(kSpectrumValues));

    CountFrame(keyboardFrames_);
    CountFrame(mouseFrames_);

    // Values the record does not carry count as silence.
    SpectrumArray spectrum{};
    std::copy_n(values, taken, spectrum.begin());
    std::array<int64_t, kSpectrumValues> differences{};
    for (int i = 0; i < kSpectrumValues; ++i) {
        const int64_t difference = int64_t{spectrum[i]} - int64_t{previous_[i]};
        differences[i] = difference < 0 ? -difference : difference;
    }
    previous_ = spectrum;

    // Each supported row of the family runs the family's update once; the first of them
    // whose turn it is hands the levels on, which resets the counter for the others.
    for (int row = 0; row < keyboardRows_; ++row) {
        UpdateBands(keyboard_, differences);
        if (keyboardFrames_ > 2) {
            SpectrumArray handed{};
            std::copy(keyboard_.begin(), keyboard_.end(), handed.begin());
            output.keyboard = handed;
            keyboardFrames_ = 0;
        }
    }
    for (int row = 0; row < mouseRows_; ++row) {
        UpdateBands(mouse_, differences);
        if (mouseFrames_ > 2) {
            // The mouse lighting takes its bands from the second level on.
            SpectrumArray handed{};
            std::copy(mouse_.begin() + 1, mouse_.end(), handed.begin());
            output.mouse = handed;
            mouseFrames_ = 0;
        }
    }
    return output;
}

}  // namespace rerov::audio
