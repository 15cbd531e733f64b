#include "tools/rerov-audio-capture/pulse_source.h"

#include <pulse/error.h>
#include <pulse/simple.h>

namespace rerov::capture {

namespace {

constexpr char kMonitorDevice[] = "@DEFAULT_MONITOR@";
constexpr char kClientName[] = "rerov-audio-capture";
constexpr char kStreamName[] = "keyboard lighting";
constexpr int kChannels = 2;

}  // namespace

std::unique_ptr<PulseSource> PulseSource::Open(int hopFrames, QString* error) {
    pa_sample_spec format{};
    format.format = PA_SAMPLE_FLOAT32LE;
    format.rate = kSampleRate;
    format.channels = kChannels;
    pa_buffer_attr buffer{};
    buffer.maxlength = uint32_t(-1);
    buffer.tlength = uint32_t(-1);
    buffer.prebuf = uint32_t(-1);
    buffer.minreq = uint32_t(-1);
    buffer.fragsize = uint32_t(hopFrames) * kChannels * sizeof(float);
    int code = 0;
    pa_simple* stream = pa_simple_new(nullptr, kClientName, PA_STREAM_RECORD, kMonitorDevice,
                                      kStreamName, &format, nullptr, &buffer, &code);
    if (!stream) {
        *error = QStringLiteral("no sound server to capture from (%1)")
                     .arg(QString::fromUtf8(pa_strerror(code)));
        return nullptr;
    }
    return std::unique_ptr<PulseSource>(new PulseSource(stream));
}

PulseSource::~PulseSource() { pa_simple_free(stream_); }

SoundSource::ReadResult PulseSource::Read(float* stereo, int frames, QString* error) {
    if (interrupted_) return ReadResult::Interrupted;
    int code = 0;
    if (pa_simple_read(stream_, stereo, size_t(frames) * kChannels * sizeof(float), &code) < 0) {
        *error = QStringLiteral("the sound server ended the capture (%1)")
                     .arg(QString::fromUtf8(pa_strerror(code)));
        return ReadResult::Failed;
    }
    return interrupted_ ? ReadResult::Interrupted : ReadResult::Ok;
}

void PulseSource::Resume() {
    interrupted_ = false;
    // What the server kept while nobody read is old sound. A flush fails only on a broken
    // connection, which the next read reports.
    int code = 0;
    if (pa_simple_flush(stream_, &code) < 0) return;
}

}  // namespace rerov::capture
