#include "tests/audio_capture/wav_fixture.h"

#include <QFile>
#include <QtEndian>
#include <cmath>
#include <cstring>
#include <numbers>

namespace rerov::test {

namespace {

void AppendU16(QByteArray* bytes, uint16_t value) {
    char raw[2];
    qToLittleEndian(value, raw);
    bytes->append(raw, 2);
}

void AppendU32(QByteArray* bytes, uint32_t value) {
    char raw[4];
    qToLittleEndian(value, raw);
    bytes->append(raw, 4);
}

void AppendSample(QByteArray* bytes, const WavLayout& layout, double value) {
    value = std::clamp(value, -1.0, 1.0);
    if (layout.isFloat) {
        float f = float(value);
        uint32_t raw = 0;
        std::memcpy(&raw, &f, sizeof(raw));
        AppendU32(bytes, raw);
        return;
    }
    switch (layout.bits) {
        case 8:
            bytes->append(char(uint8_t(std::lround(value * 127.0) + 128)));
            break;
        case 16:
            AppendU16(bytes, uint16_t(int16_t(std::lround(value * 32767.0))));
            break;
        case 24: {
            const int32_t v = int32_t(std::lround(value * 8388607.0));
            bytes->append(char(v & 0xFF));
            bytes->append(char((v >> 8) & 0xFF));
            bytes->append(char((v >> 16) & 0xFF));
            break;
        }
        default:
            AppendU32(bytes, uint32_t(int32_t(std::llround(value * 2147483647.0))));
            break;
    }
}

}  // namespace

QByteArray EncodeSamples(const WavLayout& layout, double seconds, const SampleFunction& sample) {
    QByteArray data;
    const long frames = std::lround(seconds * layout.sampleRate);
    for (long n = 0; n < frames; ++n) {
        for (int c = 0; c < layout.channels; ++c) {
            AppendSample(&data, layout, sample(double(n) / layout.sampleRate, c));
        }
    }
    return data;
}

QByteArray WavHeader(uint16_t format, uint16_t channels, uint32_t rate, uint16_t blockAlign,
                     uint16_t bits, uint32_t dataBytes) {
    QByteArray bytes("RIFF");
    AppendU32(&bytes, 36 + dataBytes);
    bytes += "WAVEfmt ";
    AppendU32(&bytes, 16);
    AppendU16(&bytes, format);
    AppendU16(&bytes, channels);
    AppendU32(&bytes, rate);
    AppendU32(&bytes, rate * blockAlign);
    AppendU16(&bytes, blockAlign);
    AppendU16(&bytes, bits);
    bytes += "data";
    AppendU32(&bytes, dataBytes);
    return bytes;
}

QByteArray MakeWav(const WavLayout& layout, double seconds, const SampleFunction& sample) {
    const QByteArray data = EncodeSamples(layout, seconds, sample);
    const uint16_t blockAlign = uint16_t(layout.channels * layout.bits / 8);
    const uint16_t code = layout.isFloat ? 3 : 1;
    if (!layout.extensible) {
        return WavHeader(code, uint16_t(layout.channels), uint32_t(layout.sampleRate), blockAlign,
                         uint16_t(layout.bits), uint32_t(data.size())) +
               data;
    }
    QByteArray bytes("RIFF");
    AppendU32(&bytes, uint32_t(4 + 8 + 40 + 8 + data.size()));
    bytes += "WAVEfmt ";
    AppendU32(&bytes, 40);
    AppendU16(&bytes, 0xFFFE);
    AppendU16(&bytes, uint16_t(layout.channels));
    AppendU32(&bytes, uint32_t(layout.sampleRate));
    AppendU32(&bytes, uint32_t(layout.sampleRate) * blockAlign);
    AppendU16(&bytes, blockAlign);
    AppendU16(&bytes, uint16_t(layout.bits));
    AppendU16(&bytes, 22);                            // extension size
    AppendU16(&bytes, uint16_t(layout.bits));         // valid bits
    AppendU32(&bytes, layout.channels == 2 ? 3 : 4);  // channel mask
    AppendU16(&bytes, code);                          // sub-format GUID: the plain code first...
    bytes += QByteArray::fromHex("000000001000800000aa00389b71");  // ...and the rest
    bytes += "data";
    AppendU32(&bytes, uint32_t(data.size()));
    return bytes + data;
}

SampleFunction Sine(double hz, double amplitude) {
    return [hz, amplitude](double t, int) {
        return amplitude * std::sin(2.0 * std::numbers::pi * hz * t);
    };
}

SampleFunction GatedSine(double hz, double periodSeconds) {
    return [hz, periodSeconds](double t, int) {
        const bool on = long(std::floor(t / periodSeconds)) % 2 == 0;
        return on ? std::sin(2.0 * std::numbers::pi * hz * t) : 0.0;
    };
}

SampleFunction Silence() {
    return [](double, int) { return 0.0; };
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

}  // namespace rerov::test
