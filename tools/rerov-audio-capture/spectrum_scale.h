#pragma once
// Where each of the 500 spectrum values sits in frequency, and how loud a value is.
//
// Frequency: the values follow the mel scale (equal steps of perceived pitch) from
// kLowestHz at value 0 to kKeyboardTopHz at value 124, continuing with the same step
// above it:
//     frequency(i) = MelToHz(HzToMel(kLowestHz) + i * kMelPerValue)
// so the keyboard's 25 bands (values 0..124) span 30 Hz to 16 kHz and the mouse's 10
// bands (values 0..49) span 30 Hz to about 1.8 kHz, where the fundamentals of music lie.
// At the bottom one value is about one FFT bin wide; values whose frequency is above half
// the sample rate stay 0 (at 44.1 kHz, values 137 and up).
//
// Loudness: a value is the level of the strongest FFT bin in its frequency span, in dB
// relative to a full-scale sine, mapped linearly from kFloorDb (0) upwards at kUnitsPerDb:
// a full-scale tone gives 4000, every 6 dB of change moves a value by 300. Anything at or
// below the floor is 0, and a window whose loudness is below kGateDb is all zeros.

namespace rerov::capture {

inline constexpr int kSpectrumValues = 500;
inline constexpr int kKeyboardValues = 125;  // 25 bands of 5 values
inline constexpr int kMouseValues = 50;      // 10 bands of 5 values
inline constexpr int kValuesPerBand = 5;

inline constexpr double kLowestHz = 30.0;
inline constexpr double kKeyboardTopHz = 16000.0;

inline constexpr double kFloorDb = -80.0;
inline constexpr double kUnitsPerDb = 50.0;
inline constexpr double kGateDb = -70.0;

double HzToMel(double hz);
double MelToHz(double mel);
// The centre frequency of value i (fractional i gives the edges between values).
double ValueFrequency(double value);
// The value whose span holds `hz` (may lie outside 0..499 for frequencies out of range).
int ValueOfFrequency(double hz);
// The keyboard band (0..24) that holds `hz`; -1 outside the keyboard's values.
int KeyboardBandOfFrequency(double hz);
// A level in dB relative to full scale as a spectrum value (0 at or below the floor).
int ValueOfDecibels(double db);

}  // namespace rerov::capture
