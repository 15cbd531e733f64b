// Placeholder: filled in by the next commit.
#include "devices/preview/preview_engine.h"

namespace rerov::preview {

void PreviewEngine::ReactiveGlowEntry(int, int) {}
void PreviewEngine::ReactiveSpreadEntry(int, int) {}
void PreviewEngine::StepReactiveGlow() {}
bool PreviewEngine::NearPressedKey(int, int, int) const { return false; }

}  // namespace rerov::preview
