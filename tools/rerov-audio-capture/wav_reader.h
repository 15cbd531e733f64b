#pragma once
// Reads PCM sound from a WAV file: 8, 16, 24 or 32-bit integer or 32-bit float samples,
// mono or stereo, any sample rate from kMinSampleRate to kMaxSampleRate. The header is
// checked in full when the file is opened (a data chunk that claims more bytes than the
// file holds is refused), so reading afterwards never runs past what was promised.

#include <QIODevice>
#include <QString>
#include <cstdint>

namespace rerov::capture {

class WavReader {
  public:
    static constexpr int kMinSampleRate = 1000;
    static constexpr int kMaxSampleRate = 384000;

    // Not open.
    WavReader() = default;

    // Reads the header from `device` (open for reading, kept by the caller for as long as
    // this reader is used). False with a reason when it is not a WAV file this reader
    // takes, is truncated or holds no samples.
    bool Open(QIODevice* device, QString* error);

    int SampleRate() const { return sampleRate_; }
    int Channels() const { return channels_; }
    int BitsPerSample() const { return bitsPerSample_; }
    bool IsFloat() const { return isFloat_; }
    // Frames (one sample per channel) in the data chunk.
    int64_t FrameCount() const { return frameCount_; }

    // Reads up to `frames` frames as stereo float pairs in -1..1 (mono is given to both
    // channels) into `stereo` (room for 2 * frames). Returns the frames read: fewer at the
    // end of the data, -1 with a reason when the device fails.
    int ReadStereo(float* stereo, int frames, QString* error);
    // Back to the first frame. False with a reason when the device cannot seek.
    bool Rewind(QString* error);

  private:
    QIODevice* device_ = nullptr;
    int sampleRate_ = 0;
    int channels_ = 0;
    int bitsPerSample_ = 0;
    int bytesPerFrame_ = 0;
    bool isFloat_ = false;
    int64_t dataOffset_ = 0;
    int64_t frameCount_ = 0;
    int64_t nextFrame_ = 0;
};

}  // namespace rerov::capture
