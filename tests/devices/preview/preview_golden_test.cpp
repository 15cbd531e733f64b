// Golden frames: every mode 0..30, in single colour and in multi-colour (and mode 29 in each
// audio type), run for a fixed number of ticks from a fixed seed with fixed input; the 170
// colours at the end are compared with golden_frames.txt beside this file. The frames guard
// against accidental changes of any step; a deliberate change regenerates them with
//
//     REROV_UPDATE_GOLDEN=1 build/tests/devices/preview/preview_tests
//     --gtest_filter='PreviewGolden*'
//
// which rewrites the file (check the diff before committing it).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "devices/preview/preview_engine.h"
#include "tests/devices/preview/preview_test_support.h"

namespace rerov::preview {
namespace {

constexpr int kTicks = 60;
constexpr uint32_t kSeed = 20261210;

struct GoldenCase {
    int mode;
    bool multiColour;
    int audioType;
    std::string Name() const {
        std::ostringstream name;
        name << "mode=" << mode << " multi=" << multiColour << " audio=" << audioType;
        return name.str();
    }
};

std::vector<GoldenCase> Cases() {
    std::vector<GoldenCase> cases;
    for (int mode = 0; mode <= 30; ++mode) {
        for (bool multi : {false, true}) cases.push_back({mode, multi, 0});
    }
    for (int type = 1; type <= 6; ++type) {
        for (bool multi : {false, true}) cases.push_back({29, multi, type});
    }
    return cases;
}

std::vector<LedEffectStep> EffectSteps() {
    auto step = [](int mode, int speed, int brightness, int32_t timeMs, int32_t cycles) {
        LedEffectStep s;
        s.mode = static_cast<uint8_t>(mode);
        s.speed = static_cast<uint8_t>(speed);
        s.brightness = static_cast<uint8_t>(brightness);
        s.direction = 1;
        s.multiColor = static_cast<uint8_t>(mode % 2);
        s.red = 30;
        s.green = 140;
        s.blue = 250;
        s.time = timeMs;
        s.cycle = cycles;
        return s;
    };
    // 60 ticks of 15.625 ms cover the first three steps and the loop back to the first.
    return {step(1, 3, 4, 250, 1), step(5, 4, 3, 150, 2), step(40, 0, 4, 100, 1),
            step(8, 4, 4, 200, 1)};
}

// Band values rising across the spectrum, and level words for red 90, green 20, blue 200.
std::vector<uint8_t> SpectrumRecord() {
    std::vector<uint8_t> bytes;
    for (int band = 0; band < kAudioBands; ++band) {
        const int32_t value = 100 + band * 90;
        for (int shift = 0; shift < 32; shift += 8) {
            bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> shift));
        }
    }
    return bytes;
}

// The 170 colours of `c` after kTicks ticks.
std::array<uint32_t, kLightSlots> FrameAfterTicks(const GoldenCase& c) {
    PreviewEngine engine(SeededRandom(kSeed));
    LightingInput lighting =
        testing::Lighting(c.mode, 3, 3, c.multiColour, c.mode % 3 != 0, Rgb{220, 60, 120});
    lighting.zzccLedMode = static_cast<uint8_t>(c.mode % 4);
    AudioInput audio;
    audio.type = static_cast<uint8_t>(c.audioType);
    audio.background = {0, 0, 40};
    audio.foreground = {250, 250, 0};
    audio.sevenColour = c.multiColour;
    engine.SetAudio(audio);
    engine.SetEffectSteps(EffectSteps());
    engine.SetCustomColours({0x00FF0000, 0x0000FF00, 0x000000FF, 0x00808080});
    engine.ApplyLighting(lighting, {});

    const std::vector<uint8_t> spectrum = SpectrumRecord();
    const uint32_t levelWords[kAudioLevelWords] = {90, 20, 200, 0, 0, 0};
    // Key events of a short typing burst: press and release, one key held over another.
    const std::map<int, std::vector<std::pair<int, int>>> keyEvents = {
        {3, {{46, 1}}},  {6, {{51, 1}}}, {12, {{46, 2}}},
        {20, {{51, 2}}}, {30, {{0, 1}}}, {31, {{0, 2}}},
    };
    for (int tick = 1; tick <= kTicks; ++tick) {
        if (const auto events = keyEvents.find(tick); events != keyEvents.end()) {
            for (auto [light, action] : events->second) engine.KeyEvent(light, action);
        }
        engine.OnAudioSpectrum(spectrum.data(), spectrum.size());
        engine.OnAudioLevels(levelWords, kAudioLevelWords);
        engine.Tick(static_cast<uint64_t>(tick) * 125 / 8);  // 15.625 ms per tick
    }
    return engine.Colours();
}

std::string FrameLine(const GoldenCase& c, const std::array<uint32_t, kLightSlots>& colours) {
    std::string line = c.Name() + ":";
    char word[10];
    for (uint32_t colour : colours) {
        std::snprintf(word, sizeof word, " %08x", colour);
        line += word;
    }
    return line;
}

std::map<std::string, std::string> ReadGolden(const std::string& path) {
    std::map<std::string, std::string> lines;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const size_t colon = line.find(':');
        if (colon != std::string::npos) lines[line.substr(0, colon)] = line;
    }
    return lines;
}

// The first light whose word differs between two frame lines, for a readable failure.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
    std::istringstream e(expected.substr(expected.find(':') + 1));
    std::istringstream a(actual.substr(actual.find(':') + 1));
    std::string ew;
    std::string aw;
    for (int light = 0; e >> ew && a >> aw; ++light) {
        if (ew != aw) return "light " + std::to_string(light) + ": " + ew + " expected, " + aw;
    }
    return "a different number of lights";
}

TEST(PreviewGolden, EveryModeMatchesItsGoldenFrame) {
    const std::string path = REROV_GOLDEN_FRAMES_FILE;
    const char* update = std::getenv("REROV_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        std::ofstream out(path, std::ios::trunc);
        ASSERT_TRUE(out) << "cannot write " << path;
        for (const GoldenCase& c : Cases()) out << FrameLine(c, FrameAfterTicks(c)) << '\n';
        out.flush();
        ASSERT_TRUE(out) << "writing " << path << " failed";
        GTEST_SKIP() << "golden frames rewritten: " << path;
    }
    const std::map<std::string, std::string> golden = ReadGolden(path);
    ASSERT_FALSE(golden.empty()) << "no golden frames in " << path;
    for (const GoldenCase& c : Cases()) {
        const auto expected = golden.find(c.Name());
        ASSERT_NE(expected, golden.end()) << "no golden frame for " << c.Name();
        const std::string actual = FrameLine(c, FrameAfterTicks(c));
        if (actual != expected->second) {
            ADD_FAILURE() << c.Name() << " differs at "
                          << FirstDifference(expected->second, actual);
        }
    }
}

TEST(PreviewGolden, FramesAreRepeatable) {
    for (const GoldenCase& c : {GoldenCase{10, true, 0}, GoldenCase{22, true, 0}}) {
        EXPECT_EQ(FrameAfterTicks(c), FrameAfterTicks(c)) << c.Name();
    }
}

}  // namespace
}  // namespace rerov::preview
