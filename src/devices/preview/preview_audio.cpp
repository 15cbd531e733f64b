// The audio-reactive modes: 29 turns the bridge's 25 spectrum bands into one of seven
// pictures chosen by the audio type, 30 paints every light in the colour of the level words.
// Both run on the engine's thread; the audio inputs are handed over on it by the owner.

#include <algorithm>
#include <array>
#include <limits>

#include "devices/preview/preview_engine.h"
#include "devices/preview/preview_math.h"

namespace rerov::preview {

namespace {

constexpr size_t kSpectrumBytes = kAudioBands * sizeof(int32_t);
constexpr size_t kSpectrumLengthCap = 500;
constexpr int kAudioTypes = 7;
constexpr int kFullLevel = 255;
// A light at this level or above still shows the foreground; below it the background.
constexpr int kVisibleLevel = 10;
// Type 4 lets a dot decay once the light above it has fallen below this.
constexpr int kDotTrailLevel = 5;
constexpr int kAudioDecayCurve = 29;
constexpr int kDiagonalDecayCurve = 0;
// The beat accumulator starts a ring when it reaches this; the ring starts at this light.
constexpr int32_t kBeatThreshold = 71;
constexpr int kBeatLight = 51;
constexpr int kPressAction = 1;
constexpr int kColumnStepPerBandOffset = 31;  // type 0 moves the band offset every 31 steps
constexpr int kRowFive = kRows - 1;
constexpr int kLeftHalfLastColumn = 8;

// Band value v to band level x: 600 at silence, 0 at 2000, negative above. 64-bit, so an
// extreme value from the bridge cannot overflow.
int64_t BandLevel(int64_t value) { return 600 - value * 600 / 2000; }
// Types 1, 3, 5 and 6 take a negative (too loud) level as 500.
int64_t BoundedBandLevel(int64_t value) {
    const int64_t level = BandLevel(value);
    return level < 0 ? 500 : level;
}
// Types 0 and 4: the top row of a column's bar (7 and more: nothing lit, 0 or less: all).
int64_t ColumnBarTop(int64_t value) { return (700 - value * 600 / 2000) * 6 / 600; }

int64_t AverageBoundedLevel(const std::array<int32_t, kAudioBands>& bands) {
    int64_t sum = 0;
    for (int32_t value : bands) sum += BoundedBandLevel(value);
    return sum / kAudioBands;
}

// Bands are summed into six row groups of consecutive bands; a group value is a band value.
struct BandGroup {
    int first;
    int count;
};
// Type 5: groups of 2, 3, 3, 4, 5 and 7 bands (bands 0 to 23); row r shows group 5 - r.
constexpr std::array<BandGroup, kRows> kRowBarGroups{
    {{0, 2}, {2, 3}, {5, 3}, {8, 4}, {12, 5}, {17, 7}}};
// Type 6: groups of 2, 2, 3, 4, 5 and 5 bands (bands 0 to 20); row r shows group r.
constexpr std::array<BandGroup, kRows> kSerpentineGroups{
    {{0, 2}, {2, 2}, {4, 3}, {7, 4}, {11, 5}, {16, 5}}};

int64_t GroupValue(const std::array<int32_t, kAudioBands>& bands, BandGroup group) {
    int64_t sum = 0;
    for (int i = 0; i < group.count; ++i) sum += bands[group.first + i];
    return sum / 3;
}

uint8_t CellLight(int column, int row) {
    if (column < 0 || column >= kColumns || row < 0 || row >= kRows) return kNoLight;
    return kKeyMatrix[column][row];
}

uint8_t AdvanceWheel(uint8_t index, int by) {
    return static_cast<uint8_t>((index + by) % kWheelHues);
}

int32_t ReadLittleEndian(const uint8_t* bytes) {
    const uint32_t value = uint32_t{bytes[0]} | (uint32_t{bytes[1]} << 8) |
                           (uint32_t{bytes[2]} << 16) | (uint32_t{bytes[3]} << 24);
    return static_cast<int32_t>(value);
}

}  // namespace

void PreviewEngine::OnAudioSpectrum(const uint8_t* data, size_t length) {
    // An empty record carries nothing: the spectrum and the beat stay as they are.
    if (data == nullptr || length == 0) return;
    const size_t bytes = std::min({length, kSpectrumLengthCap, kSpectrumBytes});
    // Bands the record does not carry in full count as silence.
    spectrum_.fill(0);
    for (size_t band = 0; band < bytes / sizeof(int32_t); ++band) {
        spectrum_[band] = ReadLittleEndian(data + band * sizeof(int32_t));
    }

    if (lighting_.mode != 29 || audio_.type != 2) return;
    const int64_t average = AverageBoundedLevel(TakeSpectrum());
    const int64_t beat = int64_t{beatAccumulator_} + 25 - average * 25 / 600;
    // A hostile spectrum (negative values) could drive the sum past 32 bits; it stays in range.
    beatAccumulator_ = static_cast<int32_t>(std::clamp<int64_t>(
        beat, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
    if (beatAccumulator_ >= kBeatThreshold) {
        beatAccumulator_ = 0;
        SeedPlanes(kBeatLight, kPressAction);
    }
}

void PreviewEngine::OnAudioLevels(const uint32_t* data, size_t count) {
    if (data == nullptr || count == 0) return;
    const size_t words = std::min(count, static_cast<size_t>(kAudioLevelWords));
    levelWords_.fill(0);
    std::copy_n(data, words, levelWords_.begin());
}

PreviewEngine::AudioBandValues PreviewEngine::TakeSpectrum() {
    const AudioBandValues bands = spectrum_;
    spectrum_.fill(0);
    return bands;
}

void PreviewEngine::StepAudio() {
    const AudioBandValues bands = TakeSpectrum();
    const int type = audio_.type < kAudioTypes ? audio_.type : 0;
    // Type 3 moves the step position by the loudness, type 2 not at all.
    if (type != 2 && type != 3) {
        stepPosition_ = StepValue(lighting_.direction, kWheelHues, stepPosition_, 1);
    }
    switch (type) {
        case 1:
            StepAudioMirroredRows(bands);
            bandOffset_ = StepValue(lighting_.direction, kAudioBands, bandOffset_, 1);
            break;
        case 2:
            StepAudioRings();
            break;
        case 3:
            StepAudioDiagonals(bands);
            break;
        case 4:
            StepAudioDots(bands);
            AdvanceAudioStepCounter(false);
            break;
        case 5:
            StepAudioRows(bands);
            bandOffset_ = StepValue(lighting_.direction, 8, bandOffset_, 1);
            break;
        case 6:
            StepAudioSerpentine(bands);
            bandOffset_ = StepValue(lighting_.direction, kAudioBands, bandOffset_, 1);
            break;
        default:
            StepAudioColumns(bands);
            AdvanceAudioStepCounter(true);
            break;
    }
}

void PreviewEngine::AdvanceAudioStepCounter(bool movesBandOffset) {
    if (++audioStepCounter_ < kColumnStepPerBandOffset) return;
    audioStepCounter_ = 0;
    if (movesBandOffset) {
        bandOffset_ = StepValue(lighting_.direction, kAudioBands, bandOffset_, 1);
    }
}

void PreviewEngine::StepAudioLevels() {
    const Rgb colour{static_cast<uint8_t>(levelWords_[0] & 0xFF),
                     static_cast<uint8_t>(levelWords_[1] & 0xFF),
                     static_cast<uint8_t>(levelWords_[2] & 0xFF)};
    const uint32_t packed = PackColour(colour, FullBrightness());
    colours_.fill(packed);
}

void PreviewEngine::DecayAudioCell(int light, int trailing, int bright) {
    if (trailing == kNoLight || levels_[trailing] < bright) DecayLevel(light, kAudioDecayCurve);
}

void PreviewEngine::PaintAudioCell(int light, bool lit, uint8_t& wheel, int advancePerUse) {
    const auto foreground = [&]() {
        if (!audio_.sevenColour) return audio_.foreground;
        wheel = AdvanceWheel(wheel, advancePerUse);
        return kColourWheel[wheel];
    };
    if (lit) {
        levels_[light] = kFullLevel;
        colours_[light] = PackColour(foreground(), ScaledBrightness(kFullLevel));
    } else if (levels_[light] >= kVisibleLevel) {
        colours_[light] = PackColour(foreground(), ScaledBrightness(levels_[light]));
    } else {
        colours_[light] = PackColour(audio_.background, FullBrightness());
    }
}

// Type 0: a bar per column growing up from row 5 to the height of band c.
void PreviewEngine::StepAudioColumns(const AudioBandValues& bands) {
    uint8_t wheel = stepPosition_;
    for (int column = 0; column < kColumns; ++column) {
        wheel = AdvanceWheel(wheel, 10);
        const int64_t top = ColumnBarTop(bands[column]);
        for (int row = 0; row < kRows; ++row) {
            const uint8_t light = CellLight(column, row);
            if (light == kNoLight) continue;
            DecayAudioCell(light, CellLight(column, row - 1), kVisibleLevel);
            uint8_t cellWheel = wheel;
            PaintAudioCell(light, row >= top, cellWheel, 0);
        }
    }
}

// Type 1: two bars per row, growing outward from the middle (columns 8 and 9).
void PreviewEngine::StepAudioMirroredRows(const AudioBandValues& bands) {
    for (int row = 0; row < kRows; ++row) {
        const int leftBand = (bandOffset_ + 3 * (row + 1)) % kAudioBands;
        const int rightBand = 2 * row + 1;
        const int64_t leftStart = (BoundedBandLevel(bands[leftBand]) + 100) * 12 / 600;
        const int64_t rightEnd = 12 - (BoundedBandLevel(bands[rightBand]) + 100) * 12 / 600;
        uint8_t wheel = stepPosition_;
        for (int column = 0; column < kColumns; ++column) {
            wheel = AdvanceWheel(wheel, 7);
            const uint8_t light = CellLight(column, row);
            if (light == kNoLight) continue;
            const bool leftHalf = column <= kLeftHalfLastColumn;
            int trailing = kNoLight;
            if (leftHalf) {
                trailing = CellLight(column - 1, row);
            } else if (column < kColumns - 2) {
                trailing = CellLight(column + 1, row);
            }
            DecayAudioCell(light, trailing, kVisibleLevel);
            const bool lit = leftHalf ? column >= leftStart : column - 9 <= rightEnd;
            uint8_t cellWheel = wheel;
            PaintAudioCell(light, lit, cellWheel, 0);
        }
    }
}

// Type 2: rings spread from the key the beat detection seeded.
void PreviewEngine::StepAudioRings() {
    LightPlanes();
    SpreadPlanes();
    for (int light = 0; light < kLightSlots; ++light) {
        DecayLevel(light, kAudioDecayCurve);
        wheelPositions_[light] = StepValue(true, kWheelHues, wheelPositions_[light], 9);
        uint8_t wheel = wheelPositions_[light];
        PaintAudioCell(light, false, wheel, 0);
    }
}

// Type 3: diagonal stripes of the wheel, more of them and faster with louder sound.
void PreviewEngine::StepAudioDiagonals(const AudioBandValues& bands) {
    // 0 (loud) to 20 (silence); only a hostile spectrum goes beyond, kept to a wheel step.
    const int64_t speed = std::min<int64_t>(AverageBoundedLevel(bands) * 20 / 600, kWheelHues - 1);
    const auto step = static_cast<uint8_t>(speed);
    stepPosition_ = StepValue(lighting_.direction, kWheelHues, stepPosition_, step);
    uint8_t wheel = stepPosition_;
    for (int diagonal = 0; diagonal < static_cast<int>(kDiagonalMatrix.size()); ++diagonal) {
        wheel = AdvanceWheel(wheel, 9);
        const bool lit = diagonal < 20 - speed;
        for (uint8_t light : kDiagonalMatrix[diagonal]) {
            if (light == kNoLight) continue;
            Rgb colour{static_cast<uint8_t>(colours_[light] & 0xFF),
                       static_cast<uint8_t>((colours_[light] >> 8) & 0xFF),
                       static_cast<uint8_t>((colours_[light] >> 16) & 0xFF)};
            if (lit) {
                levels_[light] = kFullLevel;
                colour = kColourWheel[wheel];
            } else {
                DecayLevel(light, kDiagonalDecayCurve);
            }
            colours_[light] = PackColour(colour, ScaledBrightness(levels_[light]));
        }
    }
}

// Type 4: one dot per column at the top of the bar its band would show; the column then
// waits until its row-5 light has faded.
void PreviewEngine::StepAudioDots(const AudioBandValues& bands) {
    for (int column = 0; column < kColumns; ++column) {
        const uint8_t bottom = CellLight(column, kRowFive);
        if (bottom != kNoLight && levels_[bottom] < kVisibleLevel) columnLocks_[column] = 0;
        const int64_t top = ColumnBarTop(bands[(bandOffset_ + column + 1) % kAudioBands]);
        for (int row = 0; row < kRows; ++row) {
            const uint8_t light = CellLight(column, row);
            if (light == kNoLight) continue;
            DecayAudioCell(light, CellLight(column, row - 1), kDotTrailLevel);
            uint8_t wheel = wheelPositions_[light];
            PaintAudioCell(light, false, wheel, 0);
            if (row >= top && columnLocks_[column] == 0) {
                levels_[light] = kFullLevel;
                columnLocks_[column] = 1;
            }
        }
    }
}

// Type 5: a bar per row growing rightward, the low bands at the bottom.
void PreviewEngine::StepAudioRows(const AudioBandValues& bands) {
    for (int row = 0; row < kRows; ++row) {
        const int64_t level = BoundedBandLevel(GroupValue(bands, kRowBarGroups[kRowFive - row]));
        const int64_t end = 23 - (level + 100) * 23 / 600;
        uint8_t wheel = stepPosition_;
        for (int column = 0; column < kColumns; ++column) {
            wheel = AdvanceWheel(wheel, 3);
            const uint8_t light = CellLight(column, row);
            if (light == kNoLight) continue;
            const int trailing = column < kColumns - 2 ? CellLight(column + 1, row) : kNoLight;
            DecayAudioCell(light, trailing, kVisibleLevel);
            uint8_t cellWheel = wheel;
            PaintAudioCell(light, column <= end, cellWheel, 0);
        }
    }
}

// Type 6: a bar per row, odd rows growing rightward from column 0, even rows leftward from
// column 22.
void PreviewEngine::StepAudioSerpentine(const AudioBandValues& bands) {
    for (int row = 0; row < kRows; ++row) {
        const int64_t k = BoundedBandLevel(GroupValue(bands, kSerpentineGroups[row])) * 23 / 600;
        const bool rightward = row % 2 == 1;
        uint8_t wheel = stepPosition_;
        for (int column = 0; column < kColumns; ++column) {
            const uint8_t light = CellLight(column, row);
            if (light == kNoLight) continue;
            int trailing = kNoLight;
            if (rightward && column < kColumns - 2) trailing = CellLight(column + 1, row);
            if (!rightward && column > 1) trailing = CellLight(column - 1, row);
            DecayAudioCell(light, trailing, kVisibleLevel);
            const bool lit = rightward ? column <= 23 - k : column >= k;
            PaintAudioCell(light, lit, wheel, 2);
        }
    }
}

}  // namespace rerov::preview
