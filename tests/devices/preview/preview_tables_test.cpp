// The preview's constant tables against the values the device's lighting is built from.
#include "devices/preview/preview_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

namespace rerov::preview {
namespace {

std::vector<int> Lights(const auto& row) {
    std::vector<int> lights;
    for (uint8_t light : row) {
        if (light != kNoLight) lights.push_back(light);
    }
    return lights;
}

TEST(PreviewTables, ColourWheelRampsAndRepeat) {
    EXPECT_EQ(kColourWheel[0], (Rgb{255, 1, 0}));
    EXPECT_EQ(kColourWheel[31], (Rgb{255, 255, 0}));
    EXPECT_EQ(kColourWheel[32], (Rgb{248, 255, 0}));
    EXPECT_EQ(kColourWheel[63], (Rgb{0, 255, 0}));
    EXPECT_EQ(kColourWheel[64], (Rgb{0, 255, 1}));
    EXPECT_EQ(kColourWheel[95], (Rgb{0, 255, 255}));
    EXPECT_EQ(kColourWheel[127], (Rgb{0, 0, 255}));
    EXPECT_EQ(kColourWheel[159], (Rgb{255, 0, 255}));
    EXPECT_EQ(kColourWheel[191], (Rgb{255, 0, 0}));
    for (int i = 192; i < 256; ++i) EXPECT_EQ(kColourWheel[i], kColourWheel[i - 192]) << i;
}

TEST(PreviewTables, CurvesHaveTheirLengthsAndEnds) {
    EXPECT_EQ(kBreathingCurve.front(), 0);
    EXPECT_EQ(kBreathingCurve[10], 10);
    EXPECT_EQ(kBreathingCurve[63], 255);
    EXPECT_EQ(kBreathingCurve[64], 255);
    EXPECT_EQ(kBreathingCurve.back(), 0);
    for (int i = 0; i < 64; ++i) EXPECT_EQ(kBreathingCurve[i], kBreathingCurve[127 - i]) << i;

    EXPECT_EQ(kWaveCurve.size(), 96u);
    EXPECT_EQ(kWaveCurve.front(), 22);
    EXPECT_EQ(kWaveCurve[47], 255);
    EXPECT_EQ(kWaveCurve.back(), 22);

    EXPECT_EQ(kPulseCurve[24], 255);
    EXPECT_EQ(kPulseCurve[25], 248);
    EXPECT_EQ(kPulseCurve[86], 2);
    EXPECT_EQ(kPulseCurve[87], 1);
    EXPECT_TRUE(
        std::all_of(kPulseCurve.begin() + 88, kPulseCurve.end(), [](uint8_t v) { return v == 0; }));
}

TEST(PreviewTables, StepIntervalsBySpeed) {
    const std::array<uint8_t, 5> normal{8, 5, 3, 1, 0};
    const std::array<uint8_t, 5> mode2{12, 8, 5, 0, 0};
    const std::array<uint8_t, 5> slowColours{3, 3, 3, 3, 0};
    for (int mode = 1; mode <= 30; ++mode) {
        const auto& expected = mode == 2                    ? mode2
                               : (mode == 17 || mode == 19) ? slowColours
                                                            : normal;
        EXPECT_EQ(kStepIntervals[mode], expected) << "mode " << mode;
    }
}

TEST(PreviewTables, KeyMatrixHoldsEveryKeyOnce) {
    EXPECT_EQ(kKeyMatrix[0][0], kNoLight);
    EXPECT_EQ(kKeyMatrix[1][0], kNoLight);
    EXPECT_EQ(kKeyMatrix[5][2], 46);
    EXPECT_EQ(kKeyMatrix[13][3], 62);
    EXPECT_EQ(kKeyMatrix[22][5], 131);
    EXPECT_EQ(kKeyMatrix[0][5], 124);
    std::multiset<int> keys;
    for (const auto& column : kKeyMatrix) {
        for (uint8_t light : column) {
            if (light < kKeyLights) keys.insert(light);
        }
    }
    for (int light = 0; light < kKeyLights; ++light) EXPECT_EQ(keys.count(light), 1u) << light;
}

TEST(PreviewTables, KeyOrderVisitsEveryKeyOnceThenEnds) {
    EXPECT_EQ(kKeyOrder[0], 17);
    EXPECT_EQ(kKeyOrder[110], 77);
    const std::vector<int> keys = Lights(kKeyOrder);
    EXPECT_EQ(keys.size(), 111u);
    EXPECT_EQ(std::set<int>(keys.begin(), keys.end()).size(), 111u);
    EXPECT_TRUE(std::all_of(kKeyOrder.begin() + 111, kKeyOrder.end(),
                            [](uint8_t v) { return v == kNoLight; }));
}

TEST(PreviewTables, DiagonalsAndDropList) {
    EXPECT_EQ(Lights(kDiagonalMatrix[0]), (std::vector<int>{51}));
    EXPECT_EQ(Lights(kDiagonalMatrix[11]), (std::vector<int>{118, 119, 41}));
    size_t total = 0;
    for (const auto& diagonal : kDiagonalMatrix) total += Lights(diagonal).size();
    EXPECT_EQ(total, 107u);
    // Every drop selects an entry inside the key order (the last four select its 170s).
    EXPECT_EQ(kDropList.front(), 88);
    EXPECT_EQ(kDropList.back(), 45);
    for (uint8_t d : kDropList) EXPECT_LT(4 + d, static_cast<int>(kKeyOrder.size()));
}

TEST(PreviewTables, SpreadPathKeepsTheGivenRowsAndStaysOnTheKeyboard) {
    EXPECT_EQ(kSpreadPath[0][0], kNoLight);
    EXPECT_EQ(Lights(kSpreadPath[0]), (std::vector<int>{25, 26, 50, 51}));
    EXPECT_EQ(Lights(kSpreadPath[1]), (std::vector<int>{0, 26, 27, 50, 51}));
    EXPECT_EQ(Lights(kSpreadPath[24]), (std::vector<int>{41, 40, 38, 52, 54, 53, 55, 39}));
    EXPECT_EQ(Lights(kSpreadPath[25]),
              (std::vector<int>{119, 61, 60, 59, 58, 57, 56, 62, 54, 53, 52}));
    EXPECT_EQ(Lights(kSpreadPath[50]),
              (std::vector<int>{121, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51}));
    EXPECT_EQ(Lights(kSpreadPath[51]), (std::vector<int>{51, 21, 22, 23, 24, 48, 49, 50, 120}));
    std::set<int> matrixLights;
    for (const auto& column : kKeyMatrix) matrixLights.insert(column.begin(), column.end());
    std::set<int> visited;
    for (size_t row = 0; row < kSpreadPath.size(); ++row) {
        const std::vector<int> lights = Lights(kSpreadPath[row]);
        EXPECT_FALSE(lights.empty()) << "row " << row;
        for (int light : lights) {
            EXPECT_TRUE(matrixLights.count(light)) << "row " << row << " light " << light;
            visited.insert(light);
        }
    }
    // The band crosses the whole keyboard: every key of the matrix is on the path.
    for (int light : matrixLights) {
        if (light != kNoLight) {
            EXPECT_TRUE(visited.count(light)) << light;
        }
    }
}

TEST(PreviewTables, SnakeOpeningAndPairs) {
    EXPECT_EQ(kSnakePath[0], 0);
    EXPECT_EQ(kSnakePath[15], 15);
    EXPECT_EQ(kSnakePath[16], 17);
    EXPECT_EQ(kSnakePath[20], 41);
    EXPECT_EQ(kSnakePath[61], 119);
    EXPECT_EQ(kSnakePath[66], kNoLight);
    EXPECT_EQ(kSnakePath[109], 105);
    for (int i = 110; i < 126; ++i) EXPECT_EQ(kSnakePath[i], kNoLight) << i;
    for (int i = 126; i < 170; ++i) EXPECT_EQ(kSnakePath[i], 0) << i;

    EXPECT_EQ(kOpeningSequence[0], (std::array<uint8_t, 6>{0, 118, 255, 255, 255, 255}));
    EXPECT_EQ(kOpeningSequence[16], (std::array<uint8_t, 6>{71, 33, 71, 52, 52, 71}));
    EXPECT_EQ(kOpeningSequence[19], (std::array<uint8_t, 6>{31, 94, 255, 255, 255, 255}));
    EXPECT_EQ(kPairList[0], (std::array<uint8_t, 2>{30, 94}));
    EXPECT_EQ(kPairList[15], (std::array<uint8_t, 2>{72, 53}));
}

TEST(PreviewTables, ColumnPhasesAndBasicColours) {
    EXPECT_EQ(kColumnPhases[0], (std::array<uint8_t, 6>{72, 52, 32, 12, 182, 162}));
    EXPECT_EQ(kColumnPhases[13], (std::array<uint8_t, 6>{192, 162, 132, 102, 72, 32}));
    EXPECT_EQ(kColumnPhases[22], (std::array<uint8_t, 6>{192, 162, 132, 102, 72, 32}));
    EXPECT_EQ(kBasicColours[0], (Rgb{0, 255, 180}));
    EXPECT_EQ(kBasicColours[3], (Rgb{255, 0, 0}));
}

}  // namespace
}  // namespace rerov::preview
