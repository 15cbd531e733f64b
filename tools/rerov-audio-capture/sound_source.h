#pragma once
// Where the capture gets its sound from: the sound server's monitor of what plays
// (PulseSource) or a WAV file played in real time (WavSource).

#include <QString>

namespace rerov::capture {

class SoundSource {
  public:
    enum class ReadResult {
        Ok,           // the frames are there
        End,          // the sound has ended (a file without --loop)
        Interrupted,  // Interrupt was called
        Failed,       // *error says why; the capture cannot go on
    };

    virtual ~SoundSource() = default;

    // Frames per second of what Read delivers.
    virtual int SampleRate() const = 0;
    // Waits until `frames` stereo frames (left, right pairs) have played and puts them into
    // `stereo`. Called on the capture thread only.
    virtual ReadResult Read(float* stereo, int frames, QString* error) = 0;
    // Makes a waiting Read return Interrupted promptly, and every Read until Resume.
    // Callable from any thread.
    virtual void Interrupt() = 0;
    // Before reading again after an interruption: forgets what piled up meanwhile, so the
    // capture goes on with what plays now (a file that has ended starts again). Called
    // while no Read runs.
    virtual void Resume() = 0;
};

}  // namespace rerov::capture
