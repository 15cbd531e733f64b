#include "tools/rerov-audio-capture/wav_source.h"

#include <algorithm>

namespace rerov::capture {

WavSource::WavSource(bool loop) : loop_(loop), started_(std::chrono::steady_clock::now()) {}

std::unique_ptr<WavSource> WavSource::Open(const QString& path, bool loop, QString* error) {
    std::unique_ptr<WavSource> source(new WavSource(loop));
    source->file_.setFileName(path);
    if (!source->file_.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot open %1: %2").arg(path, source->file_.errorString());
        return nullptr;
    }
    QString reason;
    if (!source->reader_.Open(&source->file_, &reason)) {
        *error = QStringLiteral("%1: %2").arg(path, reason);
        return nullptr;
    }
    return source;
}

SoundSource::ReadResult WavSource::Read(float* stereo, int frames, QString* error) {
    if (ended_) return ReadResult::End;
    int done = 0;
    while (done < frames) {
        const int got = reader_.ReadStereo(stereo + 2 * done, frames - done, error);
        if (got < 0) return ReadResult::Failed;
        done += got;
        if (done == frames) break;
        if (!loop_) {
            if (done == 0) {
                ended_ = true;
                return ReadResult::End;
            }
            // The last, partial hop is padded with silence; the next Read ends.
            std::fill(stereo + 2 * done, stereo + 2 * frames, 0.0f);
            ended_ = true;
            break;
        }
        if (!reader_.Rewind(error)) return ReadResult::Failed;
    }
    delivered_ += frames;
    const auto due =
        started_ + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                       std::chrono::duration<double>(double(delivered_) / reader_.SampleRate()));
    std::unique_lock lock(mutex_);
    wake_.wait_until(lock, due, [this] { return interrupted_; });
    return interrupted_ ? ReadResult::Interrupted : ReadResult::Ok;
}

void WavSource::Interrupt() {
    {
        std::lock_guard lock(mutex_);
        interrupted_ = true;
    }
    wake_.notify_all();
}

void WavSource::Resume() {
    // A file that has played starts again from its beginning.
    QString error;
    if (ended_ && reader_.Rewind(&error)) ended_ = false;
    std::lock_guard lock(mutex_);
    interrupted_ = false;
    started_ = std::chrono::steady_clock::now();
    delivered_ = 0;
}

}  // namespace rerov::capture
