// Drives the engine with hostile input in every mode. This file is built together with the
// engine's sources under the standard library's bounds checks (see CMakeLists.txt), so an
// array or table index out of range anywhere in a step aborts the test.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "devices/preview/preview_engine.h"

namespace rerov::preview {
namespace {

LightSetting RandomRecord(uint32_t (&next)()) {
    LightSetting setting;
    for (uint8_t& byte : setting.bytes) byte = static_cast<uint8_t>(next());
    return setting;
}

uint32_t g_state = 12345;
uint32_t Next() {
    g_state = g_state * 1103515245u + 12345u;
    return g_state >> 7;
}

TEST(PreviewHostileInput, EveryModeSurvivesAnyInput) {
    for (int mode = 0; mode <= 40; ++mode) {
        for (int variant = 0; variant < 4; ++variant) {
            PreviewEngine engine([] { return Next() * 2654435761u; });
            LightingInput lighting;
            lighting.mode = static_cast<uint8_t>(mode == 40 ? 255 : mode);
            lighting.speed = static_cast<uint8_t>(Next());
            lighting.brightness = static_cast<uint8_t>(Next());
            lighting.direction = variant & 1;
            lighting.multiColour = variant & 2;
            lighting.zzccLedMode = static_cast<uint8_t>(Next());
            std::vector<LightSetting> records;
            for (int i = 0; i < 200; ++i) records.push_back(RandomRecord(Next));
            std::vector<LedEffectStep> steps;
            for (int i = 0; i < 6; ++i) {
                LedEffectStep step;
                step.mode = static_cast<uint8_t>(Next());
                step.speed = static_cast<uint8_t>(Next());
                step.brightness = static_cast<uint8_t>(Next());
                step.direction = static_cast<uint8_t>(Next());
                step.multiColor = static_cast<uint8_t>(Next());
                step.time = static_cast<int32_t>(Next()) - 1000;
                step.cycle = static_cast<int32_t>(Next() % 5) - 2;
                steps.push_back(step);
            }
            AudioInput audio;
            audio.type = static_cast<uint8_t>(Next());
            audio.sevenColour = variant & 1;
            engine.SetAudio(audio);
            engine.SetEffectSteps(steps);
            engine.SetCustomColours(std::vector<uint32_t>(400, 0xFFFFFFFF));
            engine.ApplyLighting(lighting, records);

            std::vector<uint8_t> spectrum(100);
            for (int tick = 0; tick < 600; ++tick) {
                for (uint8_t& byte : spectrum) byte = static_cast<uint8_t>(Next());
                engine.OnAudioSpectrum(spectrum.data(), spectrum.size());
                const uint32_t words[6] = {Next(), Next(), Next(), Next(), Next(), Next()};
                engine.OnAudioLevels(words, 6);
                engine.KeyEvent(static_cast<int>(Next() % 400) - 100, static_cast<int>(Next() % 4));
                engine.SetCustomColour(static_cast<int>(Next() % 400) - 100, Next());
                // Time mostly advances but now and then jumps backwards.
                engine.Tick(tick % 97 == 0 ? Next() % 1000 : uint64_t{16} * tick);
                if (tick % 150 == 0) engine.SetLighting(lighting);
                if (tick % 200 == 0) engine.ModeChanged(lighting);
            }
            for (int light = 0; light < kLightSlots; ++light) engine.PaintByLevel(light);
            SUCCEED();
        }
    }
}

TEST(PreviewHostileInput, ShortAudioRecordsAreNotOverread) {
    PreviewEngine engine;
    LightingInput lighting;
    lighting.mode = 29;
    engine.ModeChanged(lighting);
    const uint8_t shortRecord[7] = {1, 2, 3, 4, 5, 6, 7};
    engine.OnAudioSpectrum(shortRecord, sizeof shortRecord);
    const uint32_t words[2] = {1, 2};
    engine.OnAudioLevels(words, 2);
    for (int tick = 0; tick < 10; ++tick) engine.Tick(tick * 16);
}

}  // namespace
}  // namespace rerov::preview
