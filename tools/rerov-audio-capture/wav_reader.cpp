#include "tools/rerov-audio-capture/wav_reader.h"

#include <QtEndian>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

namespace rerov::capture {

namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xFFFE;
constexpr int kFmtMinBytes = 16;
constexpr int kFmtExtensibleBytes = 40;
constexpr int kChunkHeaderBytes = 8;
// Reading in pieces keeps the buffer small whatever a caller asks for.
constexpr int kReadPieceFrames = 4096;

struct ChunkHeader {
    std::array<char, 4> id{};
    uint32_t size = 0;
};

bool ReadExactly(QIODevice* device, char* into, qint64 count) {
    return device->read(into, count) == count;
}

bool ReadChunkHeader(QIODevice* device, ChunkHeader* header) {
    char bytes[kChunkHeaderBytes];
    if (!ReadExactly(device, bytes, kChunkHeaderBytes)) return false;
    std::memcpy(header->id.data(), bytes, 4);
    header->size = qFromLittleEndian<uint32_t>(bytes + 4);
    return true;
}

bool IdIs(const std::array<char, 4>& id, const char* expected) {
    return std::memcmp(id.data(), expected, 4) == 0;
}

// One sample of the given layout as a float in -1..1; non-finite floats become silence.
float DecodeSample(const unsigned char* bytes, int bits, bool isFloat) {
    if (isFloat) {
        float value = 0;
        const uint32_t raw = qFromLittleEndian<uint32_t>(bytes);
        std::memcpy(&value, &raw, sizeof(value));
        return std::isfinite(value) ? value : 0.0f;
    }
    switch (bits) {
        case 8:
            return (float(bytes[0]) - 128.0f) / 128.0f;
        case 16:
            return float(qFromLittleEndian<int16_t>(bytes)) / 32768.0f;
        case 24: {
            int32_t value =
                int32_t(bytes[0]) | (int32_t(bytes[1]) << 8) | (int32_t(bytes[2]) << 16);
            if (value & 0x800000) value -= 0x1000000;
            return float(value) / 8388608.0f;
        }
        default:
            return float(double(qFromLittleEndian<int32_t>(bytes)) / 2147483648.0);
    }
}

}  // namespace

bool WavReader::Open(QIODevice* device, QString* error) {
    device_ = nullptr;
    char riff[12];
    if (!ReadExactly(device, riff, sizeof(riff)) || std::memcmp(riff, "RIFF", 4) != 0 ||
        std::memcmp(riff + 8, "WAVE", 4) != 0) {
        *error = QStringLiteral("not a WAV file (no RIFF/WAVE header)");
        return false;
    }
    const qint64 fileSize = device->size();
    bool haveFormat = false;
    for (;;) {
        ChunkHeader chunk;
        if (!ReadChunkHeader(device, &chunk)) {
            *error =
                haveFormat ? QStringLiteral("no data chunk") : QStringLiteral("no format chunk");
            return false;
        }
        const qint64 bodyStart = device->pos();
        const qint64 padded = qint64(chunk.size) + (chunk.size & 1);
        if (IdIs(chunk.id, "fmt ")) {
            if (chunk.size < kFmtMinBytes || chunk.size > 1024) {
                *error = QStringLiteral("format chunk of %1 bytes").arg(chunk.size);
                return false;
            }
            std::vector<char> body(chunk.size);
            if (!ReadExactly(device, body.data(), chunk.size)) {
                *error = QStringLiteral("truncated format chunk");
                return false;
            }
            uint16_t format = qFromLittleEndian<uint16_t>(body.data());
            channels_ = qFromLittleEndian<uint16_t>(body.data() + 2);
            const uint32_t rate = qFromLittleEndian<uint32_t>(body.data() + 4);
            const uint16_t blockAlign = qFromLittleEndian<uint16_t>(body.data() + 12);
            bitsPerSample_ = qFromLittleEndian<uint16_t>(body.data() + 14);
            if (format == kFormatExtensible) {
                if (chunk.size < kFmtExtensibleBytes) {
                    *error = QStringLiteral("extensible format chunk too short");
                    return false;
                }
                // The sub-format GUID starts with the plain format code.
                format = qFromLittleEndian<uint16_t>(body.data() + 24);
            }
            if (format != kFormatPcm && format != kFormatFloat) {
                *error = QStringLiteral("sample format %1 is not PCM or float").arg(format);
                return false;
            }
            isFloat_ = format == kFormatFloat;
            if (channels_ != 1 && channels_ != 2) {
                *error = QStringLiteral("%1 channels (mono or stereo only)").arg(channels_);
                return false;
            }
            const bool bitsOk = isFloat_ ? bitsPerSample_ == 32
                                         : (bitsPerSample_ == 8 || bitsPerSample_ == 16 ||
                                            bitsPerSample_ == 24 || bitsPerSample_ == 32);
            if (!bitsOk) {
                *error = QStringLiteral("%1-bit %2 samples are not supported")
                             .arg(bitsPerSample_)
                             .arg(isFloat_ ? QStringLiteral("float") : QStringLiteral("integer"));
                return false;
            }
            if (rate < uint32_t(kMinSampleRate) || rate > uint32_t(kMaxSampleRate)) {
                *error = QStringLiteral("sample rate %1 Hz is out of range").arg(rate);
                return false;
            }
            sampleRate_ = int(rate);
            bytesPerFrame_ = channels_ * bitsPerSample_ / 8;
            if (blockAlign != bytesPerFrame_) {
                *error = QStringLiteral("block size %1 does not match %2 channels of %3 bits")
                             .arg(blockAlign)
                             .arg(channels_)
                             .arg(bitsPerSample_);
                return false;
            }
            haveFormat = true;
        } else if (IdIs(chunk.id, "data")) {
            if (!haveFormat) {
                *error = QStringLiteral("data chunk before the format chunk");
                return false;
            }
            if (bodyStart + qint64(chunk.size) > fileSize) {
                *error = QStringLiteral(
                             "truncated: the data chunk claims %1 bytes, the file "
                             "holds %2")
                             .arg(chunk.size)
                             .arg(fileSize - bodyStart);
                return false;
            }
            frameCount_ = chunk.size / bytesPerFrame_;
            if (frameCount_ == 0) {
                *error = QStringLiteral("no samples in the data chunk");
                return false;
            }
            dataOffset_ = bodyStart;
            nextFrame_ = 0;
            device_ = device;
            return true;
        }
        // Other chunks (and the format chunk's pad byte) are skipped.
        if (bodyStart + qint64(chunk.size) > fileSize) {
            *error = QStringLiteral("truncated chunk of %1 bytes").arg(chunk.size);
            return false;
        }
        if (!device->seek(bodyStart + padded)) {
            *error = QStringLiteral("cannot seek in the file");
            return false;
        }
    }
}

int WavReader::ReadStereo(float* stereo, int frames, QString* error) {
    if (!device_) {
        *error = QStringLiteral("no WAV file open");
        return -1;
    }
    std::vector<unsigned char> bytes;
    int done = 0;
    while (done < frames && nextFrame_ < frameCount_) {
        const int piece = int(std::min<int64_t>(
            {int64_t(frames - done), int64_t(kReadPieceFrames), frameCount_ - nextFrame_}));
        bytes.resize(size_t(piece) * size_t(bytesPerFrame_));
        const qint64 want = qint64(bytes.size());
        if (device_->read(reinterpret_cast<char*>(bytes.data()), want) != want) {
            *error = QStringLiteral("cannot read the WAV file: %1").arg(device_->errorString());
            return -1;
        }
        const int sampleBytes = bitsPerSample_ / 8;
        for (int f = 0; f < piece; ++f) {
            const unsigned char* frame = bytes.data() + size_t(f) * size_t(bytesPerFrame_);
            const float left = DecodeSample(frame, bitsPerSample_, isFloat_);
            const float right =
                channels_ == 2 ? DecodeSample(frame + sampleBytes, bitsPerSample_, isFloat_) : left;
            stereo[2 * (done + f)] = left;
            stereo[2 * (done + f) + 1] = right;
        }
        done += piece;
        nextFrame_ += piece;
    }
    return done;
}

bool WavReader::Rewind(QString* error) {
    if (!device_ || !device_->seek(dataOffset_)) {
        *error = QStringLiteral("cannot go back to the start of the WAV file");
        return false;
    }
    nextFrame_ = 0;
    return true;
}

}  // namespace rerov::capture
