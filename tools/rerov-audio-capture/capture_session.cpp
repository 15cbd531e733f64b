#include "tools/rerov-audio-capture/capture_session.h"

namespace rerov::capture {

CaptureSession::CaptureSession(std::unique_ptr<SoundSource> source, FrameHandler onFrame,
                               EndHandler onEnd)
    : source_(std::move(source)),
      analyzer_(source_->SampleRate()),
      onFrame_(std::move(onFrame)),
      onEnd_(std::move(onEnd)) {}

CaptureSession::~CaptureSession() { Stop(); }

void CaptureSession::Start() {
    if (thread_.joinable() || !IsValid()) return;
    source_->Resume();
    thread_ = std::thread([this] { Run(); });
}

void CaptureSession::Stop() {
    if (!thread_.joinable()) return;
    source_->Interrupt();
    thread_.join();
}

void CaptureSession::Run() {
    const int hop = analyzer_.HopFrames();
    std::vector<float> stereo(size_t(hop) * 2);
    for (;;) {
        QString error;
        switch (source_->Read(stereo.data(), hop, &error)) {
            case SoundSource::ReadResult::Ok:
                break;
            case SoundSource::ReadResult::Interrupted:
                return;
            case SoundSource::ReadResult::End:
                onEnd_(CaptureEnd{false, {}});
                return;
            case SoundSource::ReadResult::Failed:
                onEnd_(CaptureEnd{true, error});
                return;
        }
        if (resetRequested_.exchange(false)) analyzer_.Reset();
        CaptureFrame frame;
        analyzer_.Analyze(stereo.data(), hop, &frame.spectrum, &frame.loudness);
        onFrame_(std::move(frame));
    }
}

}  // namespace rerov::capture
