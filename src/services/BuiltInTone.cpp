#include "services/BuiltInTone.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace corvane {
namespace {

constexpr double kBeepStarts[] = {0.0, 0.2, 0.4, 0.6};
constexpr double kBeepLength = 0.12;
constexpr double kRamp = 0.005;
constexpr double kLevel = 0.6;
// 2π · 1760 and 2π · 3520: the beep and its octave.
constexpr double kFundamental = 11058.406140636072;
constexpr double kOctave = 22116.812281272145;

void putU32(QByteArray& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.append(char((v >> (8 * i)) & 0xFF));
}
void putU16(QByteArray& b, std::uint16_t v) {
    b.append(char(v & 0xFF));
    b.append(char(v >> 8));
}

QByteArray makeTone() {
    constexpr std::uint32_t dataBytes = kToneSampleCount * 2;
    QByteArray samples;
    samples.reserve(dataBytes);
    for (int i = 0; i < kToneSampleCount; ++i) {
        const double t = double(i) / kToneSampleRate;
        double value = 0.0;
        const double envelope = toneEnvelope(t);
        if (envelope > 0.0) {
            const double s = 0.75 * std::sin(kFundamental * t) + 0.25 * std::sin(kOctave * t);
            value = s * envelope * kLevel;
        }
        const auto sample = std::int16_t(std::clamp(value, -1.0, 1.0) * 32767.0);  // truncates toward 0
        putU16(samples, std::uint16_t(sample));
    }

    QByteArray file;
    file.reserve(kToneHeaderSize + qsizetype(dataBytes));
    file.append("RIFF", 4);
    putU32(file, dataBytes + 36);
    file.append("WAVE", 4);
    file.append("fmt ", 4);
    putU32(file, 16);
    putU16(file, 1);  // PCM
    putU16(file, 1);  // mono
    putU32(file, kToneSampleRate);
    putU32(file, kToneSampleRate * 2);
    putU16(file, 2);
    putU16(file, 16);
    file.append("data", 4);
    putU32(file, dataBytes);
    file.append(samples);
    return file;
}

}  // namespace

double toneEnvelope(double t) {
    for (double w : kBeepStarts) {
        if (t >= w && t < w + kBeepLength) {
            const double d = t - w;
            return std::min(1.0, std::min(d, kBeepLength - d) / kRamp);
        }
    }
    return 0.0;
}

const QByteArray& builtInToneData() {
    static const QByteArray tone = makeTone();
    return tone;
}

}  // namespace corvane
