// One step of every lighting mode of the preview engine, in multi-colour with a busy input:
// keys being typed for the reactive modes, a spectrum record per step for the audio modes,
// an effect for the playback of modes 0 and 28. A last case measures the per-light effects
// with a record on every light. The goal is under 20 µs per step.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "devices/preview/preview_engine.h"

namespace {

using rerov::LedEffectStep;
using rerov::LightSetting;
using rerov::preview::AudioInput;
using rerov::preview::LightingInput;
using rerov::preview::PreviewEngine;

constexpr uint64_t kTickMs = 16;

std::vector<uint8_t> Spectrum() {
    std::vector<uint8_t> bytes;
    for (int band = 0; band < rerov::preview::kAudioBands; ++band) {
        const auto value = static_cast<uint32_t>(150 + 80 * band);
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<uint8_t>(value >> shift));
    }
    return bytes;
}

std::vector<LedEffectStep> Effect() {
    std::vector<LedEffectStep> steps;
    for (int mode : {1, 8, 14}) {
        LedEffectStep step;
        step.mode = static_cast<uint8_t>(mode);
        step.brightness = 4;
        step.speed = 4;
        step.multiColor = 1;
        step.time = 500;
        step.cycle = 1;
        steps.push_back(step);
    }
    return steps;
}

void BM_ModeStep(benchmark::State& state) {
    const int mode = static_cast<int>(state.range(0));
    PreviewEngine engine(rerov::preview::SeededRandom(99));
    LightingInput lighting;
    lighting.mode = static_cast<uint8_t>(mode);
    lighting.speed = 4;
    lighting.brightness = 4;
    lighting.multiColour = true;
    lighting.direction = true;
    AudioInput audio;
    audio.type = 2;  // beat rings: the busiest audio picture
    audio.sevenColour = true;
    audio.foreground = {255, 0, 0};
    engine.SetAudio(audio);
    engine.SetEffectSteps(Effect());
    engine.ApplyLighting(lighting, {});
    const std::vector<uint8_t> spectrum = Spectrum();
    const uint32_t words[6] = {200, 40, 10, 0, 0, 0};

    uint64_t now = 0;
    int key = 0;
    for (auto _ : state) {
        now += kTickMs;
        if ((now / kTickMs) % 4 == 0) {
            engine.KeyEvent(key, 1);
            engine.KeyEvent((key + 60) % rerov::preview::kKeyLights, 2);
            key = (key + 7) % rerov::preview::kKeyLights;
        }
        engine.OnAudioSpectrum(spectrum.data(), spectrum.size());
        engine.OnAudioLevels(words, 6);
        engine.StepMode(now);
        benchmark::DoNotOptimize(engine.Colours().data());
    }
}
BENCHMARK(BM_ModeStep)->DenseRange(0, 30)->ArgName("mode");

void BM_KeyEffectsOnEveryLight(benchmark::State& state) {
    PreviewEngine engine;
    std::vector<LightSetting> records(rerov::preview::kLightSlots);
    for (size_t i = 0; i < records.size(); ++i) {
        records[i].bytes[LightSetting::kMode] = static_cast<uint8_t>(i % 4);
        records[i].bytes[LightSetting::kValid] = 1;
        records[i].bytes[LightSetting::kSpeed] = static_cast<uint8_t>(i % 5);
        records[i].bytes[LightSetting::kBrightness] = 4;
        records[i].bytes[LightSetting::kMultiColor] = static_cast<uint8_t>(i % 2);
    }
    LightingInput lighting;
    lighting.mode = 20;
    lighting.speed = 4;
    engine.ApplyLighting(lighting, records);
    uint64_t now = 0;
    for (auto _ : state) {
        now += kTickMs;
        engine.Tick(now);
        benchmark::DoNotOptimize(engine.Colours().data());
    }
}
BENCHMARK(BM_KeyEffectsOnEveryLight);

}  // namespace

BENCHMARK_MAIN();
