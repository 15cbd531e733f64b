// Placeholder: filled in by the next commit.
#include "devices/preview/preview_engine.h"

namespace rerov::preview {

void PreviewEngine::StepHorizontalWave() {}
void PreviewEngine::StepColumnPulse() {}
void PreviewEngine::StepKeySweep() {}
void PreviewEngine::StepWholeWheel() {}
void PreviewEngine::StepBreathing() {}
void PreviewEngine::StepStatic() {}
void PreviewEngine::StepRipple() {}
void PreviewEngine::StepSidewaysFlash() {}
void PreviewEngine::StepRain() {}
void PreviewEngine::StepOwnWheel() {}
void PreviewEngine::StepRows() {}
void PreviewEngine::StepFountain() {}
void PreviewEngine::StepPhasePulse(int, bool) {}
void PreviewEngine::StepBouncingSweep() {}
void PreviewEngine::StepFixedWheel() {}
void PreviewEngine::StepDiagonals() {}
void PreviewEngine::StepCustomColours() {}
void PreviewEngine::StepOff() {}
void PreviewEngine::StepSnake() {}
void PreviewEngine::StepScriptedShow() {}
void PreviewEngine::StepBlink(uint64_t, bool) {}
void PreviewEngine::StepRing() {}
void PreviewEngine::StepBasicBreathing() {}

}  // namespace rerov::preview
