#pragma once
// How rerov-audio-capture ends. The program's bridge restarts a companion that vanished,
// except one that ended with kNoSoundServer: without a sound server a restart cannot help.

namespace rerov::capture {

inline constexpr int kExitDone = 0;           // finished, told to exit, or the program left
inline constexpr int kExitChannelFailed = 1;  // bad command line, or no program to talk to
inline constexpr int kExitBadWavFile = 2;     // --wav file missing, malformed or truncated
inline constexpr int kNoSoundServer = 3;      // the sound server cannot be reached or failed

}  // namespace rerov::capture
