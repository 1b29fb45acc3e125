#pragma once

#include <QByteArray>

namespace corvane {

// The alarm sound that can never be missing: four short 1760 Hz beeps with
// an octave overtone, then silence, as a complete 16-bit mono WAVE file of
// 1.6 s at 44.1 kHz. Computed on first use and kept; the same buffer every
// time.
const QByteArray& builtInToneData();

inline constexpr int kToneSampleRate = 44100;
inline constexpr int kToneSampleCount = 70560;  // 1.6 s
inline constexpr int kToneHeaderSize = 44;

// The loudness envelope of the tone at `seconds` (0 ... 1): 5 ms linear
// ramps at both ends of each 120 ms beep, 0 between the beeps.
double toneEnvelope(double seconds);

}  // namespace corvane
