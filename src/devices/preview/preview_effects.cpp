// Placeholder: filled in by the next commit.
#include "devices/preview/preview_engine.h"

namespace rerov::preview {

void PreviewEngine::AdvanceKeyEffects(uint64_t) {}
void PreviewEngine::StepPlayback(uint64_t) {}

}  // namespace rerov::preview
