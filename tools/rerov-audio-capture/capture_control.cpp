#include "tools/rerov-audio-capture/capture_control.h"

#include <QMetaObject>

#include "tools/rerov-audio-capture/console.h"
#include "tools/rerov-audio-capture/exit_codes.h"
#include "tools/rerov-audio-capture/pulse_source.h"
#include "tools/rerov-audio-capture/wav_source.h"

namespace rerov::capture {

CaptureControl::CaptureControl(Settings settings, RecordSink* sink, QObject* parent)
    : QObject(parent), settings_(std::move(settings)), sink_(sink) {}

CaptureControl::~CaptureControl() {
    // Joins the capture thread while this object is whole: no callback can come later.
    session_.reset();
}

bool CaptureControl::OpenSource() {
    if (session_) return true;
    if (finishing_) return false;
    QString error;
    std::unique_ptr<SoundSource> source;
    const bool fromFile = !settings_.wavPath.isEmpty();
    if (fromFile) {
        source = WavSource::Open(settings_.wavPath, settings_.loop, &error);
    } else {
        source =
            PulseSource::Open(SpectrumAnalyzer::HopFramesFor(PulseSource::kSampleRate), &error);
    }
    if (!source) {
        Finish(fromFile ? kExitBadWavFile : kNoSoundServer, error);
        return false;
    }
    // The callbacks run on the capture thread: hand their results to this object's thread.
    // The session is stopped before this object goes, so `this` outlives every callback;
    // a wake-up still queued then is dropped with the object.
    session_ = std::make_unique<CaptureSession>(
        std::move(source), [this](CaptureFrame frame) { Deliver(std::move(frame), std::nullopt); },
        [this](CaptureEnd end) { Deliver(std::nullopt, std::move(end)); });
    if (!session_->IsValid()) {
        session_.reset();
        Finish(kNoSoundServer, QStringLiteral("cannot set up the spectrum analysis"));
        return false;
    }
    return true;
}

void CaptureControl::StartCapture() {
    if (!OpenSource()) return;
    session_->Start();
}

void CaptureControl::StopCapture() {
    if (session_) session_->Stop();
    DropWaiting();
}

void CaptureControl::Release() {
    session_.reset();
    DropWaiting();
}

void CaptureControl::DropWaiting() {
    // Called with the capture thread ended: what it left is old news.
    std::lock_guard lock(waitingLock_);
    waiting_.clear();
    waitingEnd_.reset();
}

void CaptureControl::ResetAnalysis() {
    if (session_) session_->Reset();
}

void CaptureControl::SetStyleColour(const std::vector<int32_t>& values) {
    ColourOfStyleRecord(values, &colour_);
}

void CaptureControl::SetColourComponent(int component, int value) {
    const int level = ColourComponentOfSlider(value);
    switch (component) {
        case 0:
            colour_.red = level;
            break;
        case 1:
            colour_.green = level;
            break;
        case 2:
            colour_.blue = level;
            break;
        default:
            break;
    }
}

void CaptureControl::Finish(int exitCode, const QString& message) {
    if (finishing_) return;
    finishing_ = true;
    session_.reset();
    if (!message.isEmpty()) PrintMessage(message);
    sink_->Flush();
    emit finished(exitCode);
}

void CaptureControl::Deliver(std::optional<CaptureFrame> frame, std::optional<CaptureEnd> end) {
    {
        std::lock_guard lock(waitingLock_);
        if (frame) {
            if (waiting_.size() >= kMaxWaitingFrames) waiting_.pop_front();
            waiting_.push_back(std::move(*frame));
        }
        if (end) waitingEnd_ = std::move(end);
        if (wakePending_) return;
        wakePending_ = true;
    }
    QMetaObject::invokeMethod(
        this, [this] { TakeWaiting(); }, Qt::QueuedConnection);
}

void CaptureControl::TakeWaiting() {
    std::deque<CaptureFrame> frames;
    std::optional<CaptureEnd> end;
    {
        std::lock_guard lock(waitingLock_);
        frames.swap(waiting_);
        end.swap(waitingEnd_);
        wakePending_ = false;
    }
    for (const CaptureFrame& frame : frames) OnFrame(frame);
    if (end) OnEnd(*end);
}

void CaptureControl::OnFrame(const CaptureFrame& frame) {
    // A hop analysed just before a stop is dropped: nobody asked for it any more.
    if (finishing_ || !IsCapturing()) return;
    QString error;
    if (!sink_->Send(frame.spectrum, LevelWords(colour_, frame.loudness), &error)) {
        Finish(kExitChannelFailed, error);
        return;
    }
    ++framesSent_;
    if (settings_.frameLimit > 0 && framesSent_ >= settings_.frameLimit) Finish(kExitDone);
}

void CaptureControl::OnEnd(const CaptureEnd& end) {
    if (finishing_) return;
    if (end.failed) {
        Finish(settings_.wavPath.isEmpty() ? kNoSoundServer : kExitBadWavFile, end.error);
        return;
    }
    if (settings_.endWithSound) {
        Finish(kExitDone);
        return;
    }
    // Attached to the program: wait for its commands with nothing more to send.
    if (session_) session_->Stop();
    PrintMessage(QStringLiteral("%1 has played to its end").arg(settings_.wavPath));
}

}  // namespace rerov::capture
