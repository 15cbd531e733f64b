#pragma once
// AudioBands: turns the companion's spectra into the band levels the keyboard and mouse
// lighting take. Each spectrum is compared with the previous one; the absolute differences
// of five neighbouring values feed one band, which keeps a running level (old level plus the
// new sum, divided by 5), so the bands follow changes in the sound, not its loudness. The
// pages get every third spectrum. Plain data, one thread (the UI thread).

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace rerov::audio {

inline constexpr int kSpectrumValues = 500;
inline constexpr int kKeyboardBands = 25;
inline constexpr int kMouseBands = 10;

using SpectrumArray = std::array<int32_t, kSpectrumValues>;

/// What one spectrum hands on: a 500-value array per family when its turn came.
struct BandOutput {
    std::optional<SpectrumArray> keyboard;  // the 25 keyboard band levels, then zeros
    std::optional<SpectrumArray> mouse;     // mouse band levels 1..9, then zeros
};

class AudioBands {
  public:
    /// `keyboardRows` and `mouseRows`: how many supported-device rows of the keyboard kinds
    /// (1, 9) and mouse kinds (2, 6) there are; each row runs its family's update once.
    AudioBands(int keyboardRows, int mouseRows);
    /// One spectrum of `count` values (at most 500 are read; missing values count as 0).
    /// A count of 0 changes nothing and hands on nothing.
    BandOutput Feed(const int32_t* values, size_t count);

    const std::array<int32_t, kKeyboardBands>& KeyboardBands() const { return keyboard_; }
    const std::array<int32_t, kMouseBands>& MouseBands() const { return mouse_; }

  private:
    int keyboardRows_;
    int mouseRows_;
    SpectrumArray previous_{};
    std::array<int32_t, kKeyboardBands> keyboard_{};
    std::array<int32_t, kMouseBands> mouse_{};
    int keyboardFrames_ = 0;
    int mouseFrames_ = 0;
};

}  // namespace rerov::audio
