#pragma once
// WAV files for the companion's tests, made in the test: a header of the chosen layout and
// samples from a function of time, so every fixture says what it holds.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>

namespace rerov::test {

struct WavLayout {
    int sampleRate = 44100;
    int channels = 1;
    int bits = 16;
    bool isFloat = false;
    bool extensible = false;  // WAVE_FORMAT_EXTENSIBLE with the sub-format GUID
};

// Sample of channel `channel` at time `seconds`, in -1..1.
using SampleFunction = std::function<double(double seconds, int channel)>;

// A whole WAV file of `seconds` of sound.
QByteArray MakeWav(const WavLayout& layout, double seconds, const SampleFunction& sample);
// Just the samples (the data chunk's body) in the layout.
QByteArray EncodeSamples(const WavLayout& layout, double seconds, const SampleFunction& sample);
// A WAV header with a format chunk of the given fields and a data chunk header claiming
// `dataBytes`, for malformed files.
QByteArray WavHeader(uint16_t format, uint16_t channels, uint32_t rate, uint16_t blockAlign,
                     uint16_t bits, uint32_t dataBytes);

// A sine of `hz` at `amplitude` (1 = full scale), on every channel.
SampleFunction Sine(double hz, double amplitude = 1.0);
// A sine switching on and off every `periodSeconds`, starting on.
SampleFunction GatedSine(double hz, double periodSeconds);
SampleFunction Silence();

// Writes `bytes` to `path`; false when it cannot.
bool WriteFile(const QString& path, const QByteArray& bytes);

}  // namespace rerov::test
