// The audio-reactive modes of the preview: the seven pictures of mode 29, the level colour of
// mode 30 and the audio inputs (spectrum records, beat detection, level words).

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "devices/preview/preview_engine.h"
#include "devices/preview/preview_math.h"

namespace rerov::preview {
namespace {

using Bands = std::array<int32_t, kAudioBands>;

constexpr Rgb kForeground{0, 0, 255};
constexpr Rgb kBackground{0, 40, 0};
constexpr int32_t kInt32Max = std::numeric_limits<int32_t>::max();
constexpr int32_t kInt32Min = std::numeric_limits<int32_t>::min();

// Column 5 of the key matrix, rows 0 to 5.
constexpr std::array<int, kRows> kColumnFive{3, 25, 46, 67, 87, 126};

// A spectrum record as the bridge sends it: 25 little-endian 32-bit values.
std::vector<uint8_t> Record(const Bands& bands) {
    std::vector<uint8_t> bytes;
    for (int32_t band : bands) {
        const auto value = static_cast<uint32_t>(band);
        for (int shift = 0; shift < 32; shift += 8) bytes.push_back((value >> shift) & 0xFF);
    }
    return bytes;
}

Bands AllBands(int32_t value) {
    Bands bands;
    bands.fill(value);
    return bands;
}

Bands OneBand(int band, int32_t value) {
    Bands bands{};
    bands[band] = value;
    return bands;
}

// At brightness level 4 full brightness is 255 and a level's brightness 255 * level / 256.
uint32_t Shown(Rgb colour, int level) {
    return PackColour(colour, static_cast<uint8_t>((255 * level) >> 8));
}
uint32_t ShownBackground() { return PackColour(kBackground, 255); }

struct AudioEngine {
    PreviewEngine engine;

    explicit AudioEngine(uint8_t type, bool sevenColour = false, bool direction = true) {
        engine.SetAudio({type, kBackground, kForeground, sevenColour});
        LightingInput lighting;
        lighting.mode = 29;
        lighting.brightness = 4;
        lighting.direction = direction;
        engine.ModeChanged(lighting);
    }
    void Feed(const Bands& bands) {
        const std::vector<uint8_t> record = Record(bands);
        engine.OnAudioSpectrum(record.data(), record.size());
    }
    // One audio step on a new spectrum.
    void Step(const Bands& bands) {
        Feed(bands);
        engine.StepMode(0);
    }
    // One audio step without new data: the step sees silence.
    void Step() { engine.StepMode(0); }
};

// --- Type 0: one bar per column ------------------------------------------------------------

struct ColumnCase {
    int32_t band;
    int firstLitRow;  // 6: nothing lit
};

TEST(PreviewAudioColumns, BandValueSetsTheHeightOfItsColumn) {
    const ColumnCase cases[] = {
        {0, 6},         {1000, 4},  {2000, 1}, {2400, 0},          {600, 5},       {1'000'000, 0},
        {kInt32Max, 0}, {-2000, 6}, {2004, 0}, {kInt32Min + 1, 6}, {kInt32Min, 6},
    };
    for (const ColumnCase& c : cases) {
        AudioEngine audio(0);
        audio.Step(OneBand(5, c.band));
        for (int row = 0; row < kRows; ++row) {
            const int light = kColumnFive[row];
            const bool lit = row >= c.firstLitRow;
            EXPECT_EQ(audio.engine.Level(light), lit ? 255 : 0)
                << "band " << c.band << " row " << row;
            EXPECT_EQ(audio.engine.Colour(light), lit ? Shown(kForeground, 255) : ShownBackground())
                << "band " << c.band << " row " << row;
        }
        // Column 4 (band 4 silent) shows the background.
        for (int row = 0; row < kRows; ++row) {
            EXPECT_EQ(audio.engine.Colour(kKeyMatrix[4][row]), ShownBackground())
                << "band " << c.band << " column 4 row " << row;
        }
    }
}

TEST(PreviewAudioColumns, ALightLeftBehindFadesOnCurve29ThenShowsTheBackground) {
    AudioEngine audio(0);
    audio.Step(OneBand(5, 2000));  // rows 1 to 5 of column 5
    const int top = kColumnFive[1];
    const int below = kColumnFive[2];
    ASSERT_EQ(audio.engine.Level(top), 255);
    const int fade[] = {210, 165, 120, 75, 40, 5, 4, 3, 2, 1, 0, 0};
    for (int level : fade) {
        audio.Step();  // no new spectrum: silence
        EXPECT_EQ(audio.engine.Level(top), level);
        EXPECT_EQ(audio.engine.Colour(top),
                  level >= 10 ? Shown(kForeground, level) : ShownBackground())
            << "level " << level;
        // The light below waits while the one above it is still visible.
        if (audio.engine.Level(top) >= 10) {
            EXPECT_EQ(audio.engine.Level(below), 255) << "level " << level;
        }
    }
    for (int i = 0; i < 60; ++i) audio.Step();
    for (int light : kColumnFive) {
        EXPECT_EQ(audio.engine.Level(light), 0) << "light " << light;
        EXPECT_EQ(audio.engine.Colour(light), ShownBackground()) << "light " << light;
    }
}

TEST(PreviewAudioColumns, SevenColoursTakeTheWheelTenStepsFurtherPerColumn) {
    struct Case {
        bool direction;
        int stepPosition;  // after one step from 0
    };
    for (const Case& c : {Case{true, 1}, Case{false, 191}}) {
        AudioEngine audio(0, true, c.direction);
        Bands bands{};
        bands[5] = 2000;
        bands[22] = 2000;
        audio.Step(bands);
        EXPECT_EQ(audio.engine.StepPosition(), c.stepPosition);
        // Column c takes the step position advanced c + 1 times by 10.
        EXPECT_EQ(audio.engine.Colour(kColumnFive[3]),
                  PackColour(kColourWheel[(c.stepPosition + 60) % 192], 254));
        EXPECT_EQ(audio.engine.Colour(kKeyMatrix[22][3]),
                  PackColour(kColourWheel[(c.stepPosition + 230) % 192], 254));
        // Unlit keys keep the background.
        EXPECT_EQ(audio.engine.Colour(kColumnFive[0]), ShownBackground());
    }
}

// --- The bar pictures of types 0, 1, 5 and 6 ------------------------------------------------

struct PictureCase {
    std::string name;
    uint8_t type;
    Bands bands;
    std::function<bool(int column, int row)> lit;
};

Bands Bands01(int32_t value, int count) {
    Bands bands{};
    for (int i = 0; i < count; ++i) bands[i] = value;
    return bands;
}

TEST(PreviewAudioPictures, EachTypeLightsItsBars) {
    const PictureCase cases[] = {
        {"type 0, band 5 at 1000", 0, OneBand(5, 1000),
         [](int c, int r) { return c == 5 && r >= 4; }},
        // Band 3 feeds the left bar of row 0 (offset 0 + 3) and the right bar of row 1 (2 + 1).
        {"type 1, band 3 at 2000", 1, OneBand(3, 2000),
         [](int c, int r) {
             return (r == 0 && c >= 2 && c <= 8) || (r == 1 && c >= 9 && c <= 19);
         }},
        {"type 1, silence", 1, Bands{}, [](int, int) { return false; }},
        // Too loud: the level is taken as 500, which leaves only column 9.
        {"type 1, every band too loud", 1, AllBands(100'000), [](int c, int) { return c == 9; }},
        {"type 1, every band at the maximum", 1, AllBands(kInt32Max),
         [](int c, int) { return c == 9; }},
        // Bands 0 and 1 are group 0, shown in row 5: (3000 + 3000) / 3 = 2000.
        {"type 5, group 0 at 2000", 5, Bands01(3000, 2),
         [](int c, int r) { return r == 5 && c <= 20; }},
        {"type 5, every band too loud", 5, AllBands(100'000), [](int c, int) { return c == 0; }},
        {"type 5, silence", 5, Bands{}, [](int, int) { return false; }},
        // Groups 0 and 1 (bands 0 to 3) fill rows 0 and 1; silent odd rows keep column 0.
        {"type 6, groups 0 and 1 at 2000", 6, Bands01(3000, 4),
         [](int c, int r) { return r <= 1 || (r % 2 == 1 && c == 0); }},
        {"type 6, every band too loud", 6, AllBands(100'000),
         [](int c, int r) { return r % 2 == 1 ? c <= 4 : c >= 19; }},
    };
    for (const PictureCase& c : cases) {
        AudioEngine audio(c.type);
        audio.Step(c.bands);
        for (int column = 0; column < kColumns; ++column) {
            for (int row = 0; row < kRows; ++row) {
                const int light = kKeyMatrix[column][row];
                if (light == kNoLight) continue;
                const bool lit = c.lit(column, row);
                EXPECT_EQ(audio.engine.Level(light), lit ? 255 : 0)
                    << c.name << ": column " << column << " row " << row;
                EXPECT_EQ(audio.engine.Colour(light),
                          lit ? Shown(kForeground, 255) : ShownBackground())
                    << c.name << ": column " << column << " row " << row;
            }
        }
    }
}

TEST(PreviewAudioPictures, OutOfRangeTypesPlayTypeZero) {
    for (uint8_t type : {uint8_t{7}, uint8_t{200}}) {
        AudioEngine odd(type);
        AudioEngine zero(0);
        EXPECT_EQ(odd.engine.Audio().type, 0);
        for (int32_t value : {1000, 2000, 0, 2400}) {
            odd.Step(OneBand(value % 23, value));
            zero.Step(OneBand(value % 23, value));
            EXPECT_EQ(odd.engine.Colours(), zero.engine.Colours()) << "type " << int{type};
        }
    }
}

TEST(PreviewAudioPictures, ExtremeBandValuesPlayAsAnyOtherTooLoudOrNegativeBand) {
    // The band arithmetic must not overflow: the 32-bit extremes show what a merely large
    // value of the same sign shows.
    struct Case {
        int32_t extreme;
        int32_t ordinary;
    };
    for (uint8_t type = 0; type <= 6; ++type) {
        for (const Case& c : {Case{kInt32Max, 100'000}, Case{kInt32Min, -100'000}}) {
            AudioEngine extreme(type, true);
            AudioEngine ordinary(type, true);
            for (int step = 0; step < 5; ++step) {
                extreme.Step(AllBands(c.extreme));
                ordinary.Step(AllBands(c.ordinary));
                ASSERT_EQ(extreme.engine.Colours(), ordinary.engine.Colours())
                    << "type " << int{type} << " band " << c.extreme << " step " << step;
                for (int light = 0; light < kLightSlots; ++light) {
                    ASSERT_EQ(extreme.engine.Level(light), ordinary.engine.Level(light))
                        << "type " << int{type} << " band " << c.extreme << " light " << light;
                }
            }
        }
    }
}

TEST(PreviewAudioPictures, SevenColoursWalkTheWheelAlongEachRow) {
    struct Case {
        uint8_t type;
        Bands bands;
        int column, row;
        int wheel;  // the step position is 1 after the first step
    };
    const Case cases[] = {
        // Types 1 and 5 move on before each column, restarting at each row.
        {1, OneBand(3, 2000), 2, 0, 1 + 7 * 3},
        {1, OneBand(3, 2000), 12, 1, 1 + 7 * 13},
        {5, Bands01(3000, 2), 20, 5, 1 + 3 * 21},
        // Type 6 moves on only when it takes a wheel colour: row 0 starts at column 2.
        {6, Bands01(3000, 4), 2, 0, 1 + 2},
        {6, Bands01(3000, 4), 10, 0, 1 + 2 * 9},
        {6, Bands01(3000, 4), 22, 1, 1 + 2 * 23},
    };
    for (const Case& c : cases) {
        AudioEngine audio(c.type, true);
        audio.Step(c.bands);
        ASSERT_EQ(audio.engine.StepPosition(), 1);
        EXPECT_EQ(audio.engine.Colour(kKeyMatrix[c.column][c.row]),
                  PackColour(kColourWheel[c.wheel % 192], 254))
            << "type " << int{c.type} << " column " << c.column << " row " << c.row;
    }
}

TEST(PreviewAudioPictures, ARowBarFadesFromItsOuterEnd) {
    AudioEngine audio(6);
    audio.Step(Bands01(3000, 4));  // rows 0 and 1 fully lit
    audio.Step();
    // Row 1 grows rightward: columns 21 and 22 have no trailing neighbour and fade at once;
    // column 20 waits for column 21, and column 0 is lit even by silence.
    EXPECT_EQ(audio.engine.Level(kKeyMatrix[22][1]), 210);
    EXPECT_EQ(audio.engine.Level(kKeyMatrix[21][1]), 210);
    EXPECT_EQ(audio.engine.Level(kKeyMatrix[20][1]), 255);
    EXPECT_EQ(audio.engine.Level(kKeyMatrix[0][1]), 255);
    // Row 0 grows leftward: columns 0 and 1 (no light) and 2 have none on their left.
    EXPECT_EQ(audio.engine.Level(kKeyMatrix[2][0]), 210);
    EXPECT_EQ(audio.engine.Level(kKeyMatrix[3][0]), 255);
    EXPECT_EQ(audio.engine.Level(kKeyMatrix[22][0]), 255);
}

// --- Type 3: diagonals ----------------------------------------------------------------------

TEST(PreviewAudioDiagonals, LoudnessSetsHowManyDiagonalsLightAndTheWheelsPace) {
    struct Case {
        int32_t band;
        int litDiagonals;  // diagonals d < 20 - s
        int stepPosition;  // s after one step from 0
    };
    // Silence: s = 20; every band at 2000: s = 0; too loud counts as level 500: s = 16.
    for (const Case& c : {Case{0, 0, 20}, Case{2000, 12, 0}, Case{100'000, 4, 16}}) {
        AudioEngine audio(3);  // seven-colour flag clear: type 3 takes the wheel anyway
        audio.Step(AllBands(c.band));
        EXPECT_EQ(audio.engine.StepPosition(), c.stepPosition) << "band " << c.band;
        for (int d = 0; d < 12; ++d) {
            const uint8_t wheel = (c.stepPosition + 9 * (d + 1)) % 192;
            for (uint8_t light : kDiagonalMatrix[d]) {
                if (light == kNoLight) continue;
                const bool lit = d < c.litDiagonals;
                EXPECT_EQ(audio.engine.Level(light), lit ? 255 : 0)
                    << "band " << c.band << " diagonal " << d;
                EXPECT_EQ(audio.engine.Colour(light),
                          lit ? PackColour(kColourWheel[wheel], 254) : PackColour({}, 0))
                    << "band " << c.band << " diagonal " << d;
            }
        }
    }
}

TEST(PreviewAudioDiagonals, AnUnlitDiagonalDecaysOnCurveZeroAndKeepsItsColour) {
    AudioEngine audio(3);
    audio.Step(AllBands(2000));
    const uint8_t light = kDiagonalMatrix[11][0];
    const uint32_t lit = audio.engine.Colour(light);
    audio.Step(AllBands(100'000));  // diagonals 4 to 11 go dark
    EXPECT_EQ(audio.engine.Level(light), 215);
    EXPECT_EQ(audio.engine.Colour(light), (lit & 0x00FFFFFFu) | (uint32_t{(255 * 215) >> 8} << 24));
}

// --- Type 4: dropping dots -------------------------------------------------------------------

TEST(PreviewAudioDots, ALoudBandPutsTheDotInRowZeroAndLocksTheColumn) {
    AudioEngine audio(4);
    // Column 5 reads band (offset 0 + 5 + 1) = 6.
    audio.Step(OneBand(6, 2400));
    EXPECT_EQ(audio.engine.Level(kColumnFive[0]), 255);
    for (int row = 1; row < kRows; ++row) EXPECT_EQ(audio.engine.Level(kColumnFive[row]), 0);
    EXPECT_TRUE(audio.engine.ColumnLocked(5));
    // The colour was chosen before the dot lit; it shows from the next step.
    EXPECT_EQ(audio.engine.Colour(kColumnFive[0]), ShownBackground());
    // The row-5 light is dark, so the lock lets go at once and the dot is lit again.
    audio.Step(OneBand(6, 2400));
    EXPECT_EQ(audio.engine.Colour(kColumnFive[0]), Shown(kForeground, 210));
    EXPECT_EQ(audio.engine.Level(kColumnFive[0]), 255);
    EXPECT_EQ(audio.engine.Level(kColumnFive[1]), 0);
    // Columns whose band is silent have no dot.
    EXPECT_EQ(audio.engine.Level(kKeyMatrix[4][5]), 0);
}

TEST(PreviewAudioDots, ADotInRowFiveHoldsTheColumnUntilItHasFaded) {
    AudioEngine audio(4);
    const int bottom = kColumnFive[5];
    // Band 500 puts the top of the would-be bar, and so the dot, in row 5.
    const int levels[] = {255, 210, 165, 120, 75, 40, 5, 255};
    for (int level : levels) {
        audio.Step(OneBand(6, 500));
        EXPECT_EQ(audio.engine.Level(bottom), level);
        EXPECT_TRUE(audio.engine.ColumnLocked(5));
        for (int row = 0; row < 5; ++row) EXPECT_EQ(audio.engine.Level(kColumnFive[row]), 0);
    }
}

TEST(PreviewAudioDots, TheBandOffsetOtherTypesMovedChoosesTheBands) {
    AudioEngine audio(1);
    for (int i = 0; i < 3; ++i) audio.Step();
    ASSERT_EQ(audio.engine.BandOffset(), 3);
    audio.engine.SetAudio({4, kBackground, kForeground, false});
    // Column 5 now reads band 3 + 5 + 1 = 9; band 6 belongs to column 2.
    Bands bands{};
    bands[9] = 2400;
    audio.Step(bands);
    EXPECT_EQ(audio.engine.Level(kColumnFive[0]), 255);
    EXPECT_EQ(audio.engine.BandOffset(), 3);
    audio.Step(OneBand(6, 2400));
    EXPECT_EQ(audio.engine.Level(kKeyMatrix[2][0]), 255);
}

TEST(PreviewAudioDots, ADotWaitsUntilTheLightAboveItIsBelowFive) {
    AudioEngine audio(4);
    const int top = kColumnFive[0];
    const int second = kColumnFive[1];
    audio.Step(OneBand(6, 2000));  // a dot in row 1
    audio.Step(OneBand(6, 2400));  // and one in row 0 above it
    ASSERT_EQ(audio.engine.Level(top), 255);
    ASSERT_EQ(audio.engine.Level(second), 255);
    const int topLevels[] = {210, 165, 120, 75, 40, 5, 4};
    const int secondLevels[] = {255, 255, 255, 255, 255, 255, 210};
    for (int i = 0; i < 7; ++i) {
        audio.Step();
        EXPECT_EQ(audio.engine.Level(top), topLevels[i]) << "step " << i;
        EXPECT_EQ(audio.engine.Level(second), secondLevels[i]) << "step " << i;
    }
}

// --- Band offset and step counter ------------------------------------------------------------

TEST(PreviewAudioBandOffset, EachTypeMovesItAtItsOwnPace) {
    struct Case {
        uint8_t type;
        bool direction;
        int steps;
        int offset;
    };
    const Case cases[] = {
        {0, true, 30, 0}, {0, true, 31, 1}, {0, true, 62, 2},  {0, false, 31, 24},
        {4, true, 62, 0}, {1, true, 3, 3},  {1, false, 1, 24}, {6, true, 27, 2},
        {5, true, 10, 2}, {5, false, 1, 7}, {2, true, 9, 0},   {3, true, 9, 0},
    };
    for (const Case& c : cases) {
        AudioEngine audio(c.type, false, c.direction);
        for (int i = 0; i < c.steps; ++i) audio.Step();
        EXPECT_EQ(audio.engine.BandOffset(), c.offset)
            << "type " << int{c.type} << " direction " << c.direction << " steps " << c.steps;
    }
}

TEST(PreviewAudioBandOffset, TypesZeroAndFourShareTheStepCounter) {
    AudioEngine audio(4);
    for (int i = 0; i < 20; ++i) audio.Step();
    audio.engine.SetAudio({0, kBackground, kForeground, false});
    for (int i = 0; i < 10; ++i) audio.Step();
    EXPECT_EQ(audio.engine.BandOffset(), 0);
    audio.Step();  // the 31st step counted
    EXPECT_EQ(audio.engine.BandOffset(), 1);
}

TEST(PreviewAudioBandOffset, SurvivesAModeChange) {
    AudioEngine audio(1);
    for (int i = 0; i < 4; ++i) audio.Step();
    LightingInput other;
    other.mode = 1;
    audio.engine.ModeChanged(other);
    other.mode = 29;
    audio.engine.ModeChanged(other);
    EXPECT_EQ(audio.engine.BandOffset(), 4);
}

// --- Type 2: beat rings -----------------------------------------------------------------------

TEST(PreviewAudioBeat, EachSpectrumAddsToTheAccumulatorAndARingStartsAt71) {
    struct Case {
        int32_t band;
        int perCall;
        int ringCall;  // 0: none within 30 calls
    };
    // 2000: level 0, +25; above 2000: level taken as 500, +5; silence: level 600, +0.
    for (const Case& c : {Case{2000, 25, 3}, Case{2400, 5, 15}, Case{0, 0, 0}}) {
        AudioEngine audio(2);
        int expected = 0;
        for (int call = 1; call <= 30; ++call) {
            audio.Feed(AllBands(c.band));
            expected += c.perCall;
            const bool ring = call == c.ringCall;
            if (ring) expected = 0;
            ASSERT_EQ(audio.engine.BeatAccumulator(), expected)
                << "band " << c.band << " call " << call;
            // Light 51 sits in column 10, row 2.
            ASSERT_EQ(audio.engine.Plane(0, 10), call >= c.ringCall && c.ringCall > 0 ? 0x04 : 0)
                << "band " << c.band << " call " << call;
            if (ring) break;
        }
    }
}

TEST(PreviewAudioBeat, ARingStartsWhenTheAccumulatorReachesExactly71) {
    AudioEngine audio(2);
    audio.Feed(AllBands(2000));
    audio.Feed(AllBands(2000));
    ASSERT_EQ(audio.engine.BeatAccumulator(), 50);
    // Level 100 (band 1667) adds 25 - 100 * 25 / 600 = 21.
    audio.Feed(AllBands(1667));
    EXPECT_EQ(audio.engine.BeatAccumulator(), 0);
    EXPECT_EQ(audio.engine.Plane(2, 10), 0x04);
}

TEST(PreviewAudioBeat, OnlyTypeTwoOfModeTwentyNineCounts) {
    AudioEngine audio(0);
    for (int i = 0; i < 5; ++i) audio.Feed(AllBands(2000));
    EXPECT_EQ(audio.engine.BeatAccumulator(), 0);
    audio.engine.SetAudio({2, kBackground, kForeground, false});
    audio.Feed(AllBands(2000));
    EXPECT_EQ(audio.engine.BeatAccumulator(), 25);
    LightingInput other;
    other.mode = 30;
    audio.engine.ModeChanged(other);
    audio.Feed(AllBands(2000));
    EXPECT_EQ(audio.engine.BeatAccumulator(), 25);  // kept through the mode change
}

TEST(PreviewAudioBeat, AHostileSpectrumCannotWrapTheAccumulator) {
    AudioEngine audio(2);
    // Each call takes about 27 million: the sum would pass the 32-bit range after 80 calls.
    for (int i = 0; i < 200; ++i) audio.Feed(AllBands(kInt32Min));
    EXPECT_EQ(audio.engine.BeatAccumulator(), kInt32Min);
}

TEST(PreviewAudioBeat, ARingSpreadsFromLight51) {
    AudioEngine audio(2);
    for (int i = 0; i < 3; ++i) audio.Feed(AllBands(2000));
    audio.Step();
    EXPECT_EQ(audio.engine.Level(51), 210);
    EXPECT_EQ(audio.engine.Colour(51), Shown(kForeground, 210));
    audio.Step();
    EXPECT_EQ(audio.engine.Level(51), 165);
    // The four neighbours of column 10, row 2 lit one step later.
    for (int light : {30, 72, 50, 52}) {
        EXPECT_EQ(audio.engine.Level(light), 210) << "light " << light;
        EXPECT_EQ(audio.engine.Colour(light), Shown(kForeground, 210)) << "light " << light;
    }
    EXPECT_EQ(audio.engine.Colour(0), ShownBackground());
}

// --- Mode 30 and the level words --------------------------------------------------------------

TEST(PreviewAudioLevels, ModeThirtyPaintsEveryLightInTheLevelColour) {
    struct Case {
        std::array<uint32_t, 6> words;
        uint8_t brightness;
        uint32_t expected;
    };
    const Case cases[] = {
        {{255, 0, 0, 0, 0, 0}, 4, PackColour({255, 0, 0}, 255)},
        // Only the low bytes of the first three words count.
        {{0x1FF, 0x280, 0x3, 77, 88, 99}, 2, PackColour({255, 128, 3}, 135)},
    };
    for (const Case& c : cases) {
        PreviewEngine engine;
        LightingInput lighting;
        lighting.mode = 30;
        lighting.brightness = c.brightness;
        engine.ModeChanged(lighting);
        engine.OnAudioLevels(c.words.data(), c.words.size());
        engine.StepMode(0);
        for (int light = 0; light < kLightSlots; ++light) {
            ASSERT_EQ(engine.Colour(light), c.expected) << "light " << light;
        }
    }
}

TEST(PreviewAudioLevels, AnEmptyRecordKeepsTheWordsAShortOneCountsTheRestAsZero) {
    PreviewEngine engine;
    LightingInput lighting;
    lighting.mode = 30;
    lighting.brightness = 4;
    engine.ModeChanged(lighting);
    const std::array<uint32_t, 8> words{10, 20, 30, 40, 50, 60, 70, 80};
    engine.OnAudioLevels(words.data(), words.size());  // capped at six
    engine.OnAudioLevels(words.data(), 0);
    engine.OnAudioLevels(nullptr, 6);
    engine.StepMode(0);
    EXPECT_EQ(engine.Colour(100), PackColour({10, 20, 30}, 255));
    engine.OnAudioLevels(words.data(), 2);
    engine.StepMode(0);
    EXPECT_EQ(engine.Colour(100), PackColour({10, 20, 0}, 255));
}

// --- Spectrum records ----------------------------------------------------------------------------

TEST(PreviewAudioSpectrum, AShortRecordCountsTheMissingBandsAsSilence) {
    AudioEngine audio(0);
    audio.Feed(AllBands(2000));
    // Three whole values and two stray bytes: bands 0 to 2 at 2000, the rest silent.
    std::vector<uint8_t> record = Record(AllBands(2000));
    audio.engine.OnAudioSpectrum(record.data(), 14);
    audio.Step();
    for (int column = 0; column < kColumns; ++column) {
        const bool lit = column <= 2;
        EXPECT_EQ(audio.engine.Level(kKeyMatrix[column][5]), lit ? 255 : 0) << "column " << column;
        EXPECT_EQ(audio.engine.Level(kKeyMatrix[column][1]), lit ? 255 : 0) << "column " << column;
    }
}

TEST(PreviewAudioSpectrum, AnEmptyRecordChangesNothing) {
    AudioEngine audio(0);
    std::vector<uint8_t> record = Record(AllBands(2000));
    audio.engine.OnAudioSpectrum(record.data(), record.size());
    audio.engine.OnAudioSpectrum(record.data(), 0);
    audio.engine.OnAudioSpectrum(nullptr, 100);
    audio.Step();
    for (int column = 0; column < kColumns; ++column) {
        EXPECT_EQ(audio.engine.Level(kKeyMatrix[column][1]), 255) << "column " << column;
    }
}

TEST(PreviewAudioSpectrum, TheBridgesLengthOf500ReadsOnlyThe100Bytes) {
    AudioEngine audio(0);
    // Exactly 100 bytes: a read past them would be caught by the sanitizer builds.
    std::vector<uint8_t> record = Record(OneBand(24, 2000));
    ASSERT_EQ(record.size(), 100u);
    audio.engine.OnAudioSpectrum(record.data(), 500);
    audio.Step();
    EXPECT_EQ(audio.engine.Level(kKeyMatrix[22][1]), 0);  // band 24 has no column in type 0
    // Band 22 little-endian: 0xD0 0x07 0x00 0x00 is 2000.
    record = Record(OneBand(22, 2000));
    EXPECT_EQ(record[88], 0xD0);
    audio.engine.OnAudioSpectrum(record.data(), 500);
    audio.Step();
    EXPECT_EQ(audio.engine.Level(kKeyMatrix[22][1]), 255);
}

}  // namespace
}  // namespace rerov::preview
