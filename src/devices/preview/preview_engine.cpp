// Placeholder: state, reset, initialisers, pacing and dispatch are filled in next.
#include "devices/preview/preview_engine.h"

namespace rerov::preview {

RandomSource SeededRandom(uint32_t seed) {
    return [state = seed]() mutable { return state = state * 1664525u + 1013904223u; };
}

PreviewEngine::PreviewEngine(RandomSource random) : random_(std::move(random)) {}
void PreviewEngine::ApplyLighting(const LightingInput& lighting, const std::vector<LightSetting>&) {
    lighting_ = lighting;
}
void PreviewEngine::ModeChanged(const LightingInput& lighting) { lighting_ = lighting; }
void PreviewEngine::SetLighting(const LightingInput& lighting) { lighting_ = lighting; }
void PreviewEngine::SetCustomColours(const std::vector<uint32_t>& colours) {
    customColours_ = colours;
}
void PreviewEngine::SetCustomColour(int, uint32_t) {}
void PreviewEngine::SetEffectSteps(const std::vector<LedEffectStep>& steps) {
    effectSteps_ = steps;
}
void PreviewEngine::SetAudio(const AudioInput& audio) { audio_ = audio; }
bool PreviewEngine::Tick(uint64_t) { return false; }
void PreviewEngine::StepMode(uint64_t) {}
int PreviewEngine::StepInterval(int, int) { return 0; }
void PreviewEngine::KeyEvent(int, int) {}
void PreviewEngine::ResetPreview() {}
void PreviewEngine::InitialiseMode(int) {}
uint32_t PreviewEngine::Colour(int) const { return 0; }
uint8_t PreviewEngine::Level(int) const { return 0; }
uint8_t PreviewEngine::WheelPosition(int) const { return 0; }
uint8_t PreviewEngine::ReactiveState(int) const { return 0; }
bool PreviewEngine::ColumnLocked(int) const { return false; }
uint8_t PreviewEngine::Plane(int, int) const { return 0; }
void PreviewEngine::SetPlane(int, int, uint8_t) {}
void PreviewEngine::SetLevel(int, uint8_t) {}

}  // namespace rerov::preview
