#include <gtest/gtest.h>

#include "HostileFiles.h"
#include "platform/system/AudioDecoder.h"
#include "platform/system/DecodedSoundPlayer.h"
#include "platform/system/PcmPlaybackDevice.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace corvane;

namespace {

QString fixture(const char* name) {
    return QStringLiteral(CORVANE_TEST_DATA "/services/fixtures/sound/") + QString::fromUtf8(name);
}

int peak(const DecodedAudio& audio) {
    const auto* s = reinterpret_cast<const qint16*>(audio.pcm.constData());
    int best = 0;
    for (qsizetype i = 0; i < audio.pcm.size() / 2; ++i) best = std::max(best, std::abs(int(s[i])));
    return best;
}

DecodedAudio constantAudio(qint16 value, int frames, int channels = 1) {
    DecodedAudio a;
    a.sampleRate = 8000;
    a.channels = channels;
    std::vector<qint16> samples(size_t(frames * channels), value);
    a.pcm = QByteArray(reinterpret_cast<const char*>(samples.data()), qsizetype(samples.size() * 2));
    return a;
}

std::vector<qint16> readAll(PcmPlaybackDevice& device, qint64 maxBytes) {
    QByteArray bytes = device.read(maxBytes);
    std::vector<qint16> out(size_t(bytes.size() / 2));
    if (!out.empty()) std::memcpy(out.data(), bytes.constData(), out.size() * 2);
    return out;
}

}  // namespace

// Every container the sound picker accepts must really decode here; the
// fixtures are 0.3 s of a 440 Hz sine, mono.
TEST(AudioDecoder, EveryAcceptedFormatDecodesWithItsLength) {
    struct Case {
        const char* file;
        double tolerance;  // lossy codecs pad or trim a few milliseconds
    };
    const Case cases[] = {
        {"tone.wav", 0.0},   {"tone.aiff", 0.0},  {"tone.aif", 0.0},  {"tone.caf", 0.0},
        {"tone.flac", 0.0},  {"tone.oga", 0.0},   {"tone.mp3", 0.03}, {"tone.m4a", 0.03},
        {"tone.ogg", 0.03},  {"tone.opus", 0.03},
    };
    // The cases are exactly the list the pickers and the file dialog offer.
    QStringList covered;
    for (const Case& c : cases) covered << QString::fromLatin1(c.file).section(u'.', 1);
    std::sort(covered.begin(), covered.end());
    QStringList offered = decodableExtensions();
    std::sort(offered.begin(), offered.end());
    EXPECT_EQ(covered, offered);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const DecodeResult r = decodeAudioFile(fixture(c.file));
        ASSERT_TRUE(r.audio.has_value()) << r.error.toStdString();
        EXPECT_TRUE(r.error.isEmpty());
        EXPECT_NEAR(r.audio->duration(), 0.3, c.tolerance + 1e-9);
        EXPECT_EQ(r.audio->channels, 1);
        EXPECT_EQ(r.audio->pcm.size(), r.audio->frames() * 2);
        EXPECT_GT(peak(*r.audio), 3000) << "decoded to silence";
    }
}

TEST(AudioDecoder, BrokenFilesGiveAGermanReasonInsteadOfAudio) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Case {
        QString path;
        const char* reason;
    };
    const Case cases[] = {
        {fixture("truncated.m4a"), "Unbekanntes oder beschädigtes Audioformat."},
        {fixture("notes.mp3"), "Unbekanntes oder beschädigtes Audioformat."},
        {fixture("empty.wav"), "Die Datei ist leer."},
        {dir.filePath("missing.wav"), "Die Datei kann nicht geöffnet werden."},
        {dir.path(), "Die Datei kann nicht geöffnet werden."},
        // Never opened: a pipe would block, a device never end.
        {dir.filePath("pipe.wav"), "Die Datei kann nicht geöffnet werden."},
        {QStringLiteral("/dev/zero"), "Die Datei kann nicht geöffnet werden."},
    };
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("pipe.wav")).constData(), 0600), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        DecodeResult r;
        ASSERT_TRUE(corvane::test::endsWithin(std::chrono::seconds(5), [&] { r = decodeAudioFile(c.path); }));
        EXPECT_FALSE(r.audio.has_value());
        EXPECT_EQ(r.error, QString::fromUtf8(c.reason));
    }
}

TEST(AudioDecoder, CutOffDataKeepsTheCleanPartAndHeaderOnlyIsEmpty) {
    QFile f(fixture("tone.wav"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray whole = f.readAll();

    const DecodeResult cut = decodeAudioData(whole.left(44 + 1000), "wav");
    ASSERT_TRUE(cut.audio.has_value()) << cut.error.toStdString();
    EXPECT_EQ(cut.audio->frames(), 500);

    // A header that promises samples but carries none: no error, no audio.
    // The caller decides what an empty sound means.
    const DecodeResult header = decodeAudioData(whole.left(44), "wav");
    ASSERT_TRUE(header.audio.has_value()) << header.error.toStdString();
    EXPECT_EQ(header.audio->frames(), 0);
    EXPECT_DOUBLE_EQ(header.audio->duration(), 0.0);

    // Plain PCM WAVE in memory takes a shortcut past FFmpeg; it must read the
    // same samples FFmpeg reads from the file.
    const DecodeResult viaFfmpeg = decodeAudioFile(fixture("tone.wav"));
    const DecodeResult direct = decodeAudioData(whole);
    ASSERT_TRUE(viaFfmpeg.audio && direct.audio);
    EXPECT_EQ(direct.audio->pcm, viaFfmpeg.audio->pcm);
    EXPECT_EQ(direct.audio->sampleRate, 8000);

    // A data chunk claiming more than the file holds (with an odd byte
    // count), and a format chunk whose size runs past the end.
    QByteArray lying = whole.left(44 + 101);
    lying[40] = char(0xff);
    lying[41] = char(0xff);
    lying[42] = char(0xff);
    lying[43] = char(0x7f);
    const DecodeResult lied = decodeAudioData(lying);
    ASSERT_TRUE(lied.audio.has_value());
    EXPECT_EQ(lied.audio->frames(), 50);
    QByteArray runaway = whole.left(60);
    runaway[16] = char(0xff);  // fmt chunk size
    runaway[19] = char(0x7f);
    const DecodeResult ran = decodeAudioData(runaway);
    EXPECT_TRUE(ran.audio.has_value() || !ran.error.isEmpty());

    EXPECT_FALSE(decodeAudioData(QByteArray("not a sound at all, just text"), "wav").audio.has_value());
    EXPECT_FALSE(decodeAudioData(QByteArray(), "wav").audio.has_value());
}

TEST(AudioDecoder, FuzzedHeadersNeverCrash) {
    QFile f(fixture("tone.m4a"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray original = f.readAll();
    unsigned seed = 12345;
    for (int round = 0; round < 60; ++round) {
        QByteArray bytes = original;
        for (int k = 0; k < 8; ++k) {
            seed = seed * 1103515245u + 12345u;
            bytes[qsizetype((seed >> 8) % unsigned(std::min<qsizetype>(bytes.size(), 400)))] = char(seed >> 24);
        }
        const DecodeResult r = decodeAudioData(bytes);
        EXPECT_TRUE(r.audio.has_value() || !r.error.isEmpty());
    }
}

TEST(PcmPlaybackDevice, LoopCountPlaysTheSoundThatManyMoreTimes) {
    auto audio = std::make_shared<const DecodedAudio>(constantAudio(1000, 3, 2));
    PcmPlaybackDevice once(audio);
    once.open(QIODevice::ReadOnly);
    EXPECT_EQ(readAll(once, 1 << 20).size(), 6u);
    EXPECT_TRUE(once.exhausted());
    EXPECT_EQ(readAll(once, 1 << 20).size(), 0u);

    PcmPlaybackDevice thrice(audio);
    thrice.setLoops(2);
    thrice.open(QIODevice::ReadOnly);
    // Small reads cross the loop boundary inside one request.
    size_t total = 0;
    for (int i = 0; i < 20; ++i) total += readAll(thrice, 8).size();
    EXPECT_EQ(total, 18u);
    EXPECT_TRUE(thrice.exhausted());

    PcmPlaybackDevice endless(audio);
    endless.setLoops(-1);
    endless.open(QIODevice::ReadOnly);
    EXPECT_EQ(readAll(endless, 4000).size(), 2000u);
    EXPECT_FALSE(endless.exhausted());
}

TEST(PcmPlaybackDevice, GainRampsPerSampleAndHoldsItsTarget) {
    auto audio = std::make_shared<const DecodedAudio>(constantAudio(10000, 8));
    PcmPlaybackDevice device(audio);
    device.open(QIODevice::ReadOnly);
    device.setGain(0.0f);
    device.rampTo(1.0f, 4);
    const auto s = readAll(device, 16);
    const std::vector<qint16> expected{2500, 5000, 7500, 10000, 10000, 10000, 10000, 10000};
    EXPECT_EQ(s, expected);
    EXPECT_FLOAT_EQ(device.gain(), 1.0f);

    PcmPlaybackDevice half(audio);
    half.open(QIODevice::ReadOnly);
    half.setGain(0.5f);
    for (qint16 v : readAll(half, 16)) EXPECT_EQ(v, 5000);
}

TEST(DecodedSoundPlayer, ReportsDurationAndRefusesWithoutAnOutput) {
    DecodedSoundPlayerFactory factory;
    auto made = factory.fromFile(fixture("tone.wav"));
    ASSERT_TRUE(made.player) << made.error.toStdString();
    EXPECT_DOUBLE_EQ(made.player->duration(), 0.3);
    made.player->setNumberOfLoops(-1);
    EXPECT_EQ(made.player->numberOfLoops(), -1);

    if (!QMediaDevices::defaultAudioOutput().isNull()) GTEST_SKIP() << "this machine has a sound output";
    EXPECT_FALSE(made.player->play());
    EXPECT_FALSE(made.player->isPlaying());
    made.player->stop();  // harmless when nothing plays
}


// Only where a sound output exists (never in CI): the real output plays the
// sound out, fades, and tells us once, on the main thread.
TEST(DecodedSoundPlayer, PlaysOutAndReportsTheEndOnce) {
    if (QMediaDevices::defaultAudioOutput().isNull()) GTEST_SKIP() << "no sound output";
    DecodedSoundPlayerFactory factory;
    auto made = factory.fromFile(fixture("tone.ogg"));
    ASSERT_TRUE(made.player) << made.error.toStdString();
    made.player->setNumberOfLoops(1);
    made.player->setVolume(0.0f);
    int ends = 0;
    bool success = false;
    QObject::connect(made.player.get(), &SoundPlayer::finished, [&](bool ok) {
        ++ends;
        success = ok;
    });
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(made.player->play());
    made.player->fadeTo(0.5f, 0.3);
    const qint64 started = timer.elapsed();
    EXPECT_EQ(ends, 0);
    while (ends == 0 && timer.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(success);
    EXPECT_GE(timer.elapsed() - started, 550);  // two plays of 0.3 s
    EXPECT_FALSE(made.player->isPlaying());
    EXPECT_FLOAT_EQ(made.player->volume(), 0.5f);
}
