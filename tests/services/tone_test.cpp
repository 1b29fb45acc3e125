#include <gtest/gtest.h>

#include "platform/system/AudioDecoder.h"
#include "services/AudioService.h"
#include "services/BuiltInTone.h"

#include <cmath>
#include <cstdint>
#include <cstring>

using namespace corvane;

namespace {

std::uint32_t u32(const QByteArray& b, int at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | std::uint8_t(b[at + i]);
    return v;
}
std::uint16_t u16(const QByteArray& b, int at) { return std::uint16_t(std::uint8_t(b[at]) | (std::uint8_t(b[at + 1]) << 8)); }
std::int16_t sample(const QByteArray& b, int index) { return std::int16_t(u16(b, kToneHeaderSize + 2 * index)); }

}  // namespace

TEST(BuiltInTone, HeaderIsAPlainMono16BitWave) {
    const QByteArray& tone = builtInToneData();
    ASSERT_EQ(tone.size(), 141164);
    EXPECT_EQ(tone.mid(0, 4), "RIFF");
    EXPECT_EQ(u32(tone, 4), 141156u);
    EXPECT_EQ(tone.mid(8, 4), "WAVE");
    EXPECT_EQ(tone.mid(12, 4), "fmt ");
    EXPECT_EQ(u32(tone, 16), 16u);
    EXPECT_EQ(u16(tone, 20), 1);  // PCM
    EXPECT_EQ(u16(tone, 22), 1);  // mono
    EXPECT_EQ(u32(tone, 24), 44100u);
    EXPECT_EQ(u32(tone, 28), 88200u);
    EXPECT_EQ(u16(tone, 32), 2);
    EXPECT_EQ(u16(tone, 34), 16);
    EXPECT_EQ(tone.mid(36, 4), "data");
    EXPECT_EQ(u32(tone, 40), 141120u);
    // Computed once: every caller shares one buffer.
    EXPECT_EQ(AudioService::builtInToneData().constData(), tone.constData());
}

TEST(BuiltInTone, FourBeepsThenSilenceWithinTheLevel) {
    const QByteArray& tone = builtInToneData();
    EXPECT_EQ(sample(tone, 0), 0);
    const int limit = int(0.6 * 32767);
    int loudest = 0;
    for (int i = 0; i < kToneSampleCount; ++i) loudest = std::max(loudest, std::abs(int(sample(tone, i))));
    EXPECT_LE(loudest, limit);
    EXPECT_GT(loudest, limit * 8 / 10);  // the overtone keeps the peak near 0.87 of the level

    const auto silentBetween = [&](double from, double to) {
        for (int i = int(std::ceil(from * 44100)); i < int(to * 44100); ++i)
            if (sample(tone, i) != 0) return false;
        return true;
    };
    EXPECT_TRUE(silentBetween(0.12, 0.2));
    EXPECT_TRUE(silentBetween(0.32, 0.4));
    EXPECT_TRUE(silentBetween(0.52, 0.6));
    EXPECT_TRUE(silentBetween(0.72, 1.6));
    EXPECT_FALSE(silentBetween(0.6, 0.72)) << "the fourth beep sounds";
}

TEST(BuiltInTone, BeepsRampInAndOutOverFiveMilliseconds) {
    EXPECT_DOUBLE_EQ(toneEnvelope(0.0), 0.0);
    EXPECT_NEAR(toneEnvelope(0.0025), 0.5, 1e-9);
    EXPECT_DOUBLE_EQ(toneEnvelope(0.06), 1.0);
    EXPECT_NEAR(toneEnvelope(0.2 + 0.1175), 0.5, 1e-9);
    EXPECT_DOUBLE_EQ(toneEnvelope(0.13), 0.0);
    EXPECT_DOUBLE_EQ(toneEnvelope(0.72), 0.0);

    // On the ramp the samples stay below half the level; well inside a beep
    // the full level is reached.
    const QByteArray& tone = builtInToneData();
    for (int i = 0; i <= 110; ++i) EXPECT_LE(std::abs(sample(tone, i)), int(0.5 * 0.6 * 32767)) << i;
    int middle = 0;
    for (int i = 2000; i < 2100; ++i) middle = std::max(middle, std::abs(int(sample(tone, i))));
    EXPECT_GT(middle, int(0.5 * 0.6 * 32767));
}

TEST(BuiltInTone, OurOwnDecoderReadsIt) {
    const DecodeResult r = decodeAudioData(builtInToneData(), "wav");
    ASSERT_TRUE(r.audio.has_value()) << r.error.toStdString();
    EXPECT_DOUBLE_EQ(r.audio->duration(), 1.6);
    EXPECT_EQ(r.audio->pcm, builtInToneData().mid(kToneHeaderSize));
}
