#pragma once
// The main window's rows for the audio-reactive lighting: the audio style window and the
// sliders of the levels' colour that go to the sound-capture companion.

namespace rerov::shell {

class CMainWnd;

void AddAudioRoutes(CMainWnd& window);

}  // namespace rerov::shell
