#pragma once
// What the companion does, whoever tells it: opens the sound source (a WAV file or the
// sound server), runs and stops the capture thread, keeps the colour of the level words,
// turns each analysed hop into the two records for its sink, and decides when the
// companion ends and with which exit code. Lives on the main thread; the capture thread's
// results are posted to it.

#include <QObject>
#include <QString>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "tools/rerov-audio-capture/capture_session.h"
#include "tools/rerov-audio-capture/level_words.h"
#include "tools/rerov-audio-capture/record_sink.h"

namespace rerov::capture {

class CaptureControl : public QObject {
    Q_OBJECT
  public:
    struct Settings {
        QString wavPath;           // empty: the sound server's monitor
        bool loop = false;         // repeat the WAV file
        int frameLimit = 0;        // end after this many spectra (0: no limit)
        bool endWithSound = true;  // end (exit 0) when the WAV file has played
    };

    CaptureControl(Settings settings, RecordSink* sink, QObject* parent = nullptr);
    ~CaptureControl() override;

    // Opens the sound source unless it is open. False when it cannot be opened: the
    // companion is then finishing (with kExitBadWavFile or kNoSoundServer).
    bool OpenSource();
    // Starts capturing (opening the source first when needed).
    void StartCapture();
    // Stops capturing; the source stays open.
    void StopCapture();
    // Stops capturing and gives the sound device (or file) back.
    void Release();
    // Forgets the analysis history.
    void ResetAnalysis();
    // The style colour of a style record's values (ignored with fewer than three).
    void SetStyleColour(const std::vector<int32_t>& values);
    // One component (0 red, 1 green, 2 blue) from a slider value.
    void SetColourComponent(int component, int value);
    LevelColour Colour() const { return colour_; }
    bool IsCapturing() const { return session_ && session_->IsRunning(); }

    // Ends the companion: stops capturing, prints `message` (when not empty), flushes the
    // sink and emits finished(exitCode). Only the first call counts.
    void Finish(int exitCode, const QString& message = {});

  signals:
    // The companion should end with this exit code.
    void finished(int exitCode);

  private:
    // Most analysed hops kept for this thread; older ones are dropped if it falls behind.
    static constexpr size_t kMaxWaitingFrames = 8;

    // Capture thread: queue a hop or the capture's end and wake this object's thread.
    void Deliver(std::optional<CaptureFrame> frame, std::optional<CaptureEnd> end);
    // This object's thread: send the hops that wait, then handle the end if it came.
    void TakeWaiting();
    // Forgets what the (ended) capture thread left waiting.
    void DropWaiting();
    void OnFrame(const CaptureFrame& frame);
    void OnEnd(const CaptureEnd& end);

    Settings settings_;
    RecordSink* sink_;
    LevelColour colour_;
    std::unique_ptr<CaptureSession> session_;
    // Hops handed over by the capture thread. The data crosses threads here, under this
    // lock, not inside Qt's queued call (which only wakes this thread).
    std::mutex waitingLock_;
    std::deque<CaptureFrame> waiting_;
    std::optional<CaptureEnd> waitingEnd_;
    bool wakePending_ = false;  // guarded by waitingLock_
    int framesSent_ = 0;
    bool finishing_ = false;
};

}  // namespace rerov::capture
