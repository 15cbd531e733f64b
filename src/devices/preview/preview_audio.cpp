// Placeholder: the audio steps and inputs are filled in next.
#include "devices/preview/preview_engine.h"

namespace rerov::preview {

void PreviewEngine::OnAudioSpectrum(const uint8_t*, size_t) {}
void PreviewEngine::OnAudioLevels(const uint32_t*, size_t) {}
void PreviewEngine::StepAudio() {}
void PreviewEngine::StepAudioLevels() {}

}  // namespace rerov::preview
