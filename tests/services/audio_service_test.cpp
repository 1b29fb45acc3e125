#include <gtest/gtest.h>

#include "platform/system/FakeSoundPlayer.h"
#include "platform/system/PulseAudio.h"
#include "services/AudioService.h"
#include "services/BuiltInTone.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <cmath>

using namespace corvane;

namespace {

const QString kNoOutput = QStringLiteral("Audioausgabe nicht möglich.");

void deliverQueued() { QCoreApplication::processEvents(); }

class FakeOutput final : public AudioOutputStatus {
public:
    bool silent = false;
    bool isOutputSilent() const override { return silent; }
    std::optional<std::vector<SinkInputInfo>> sinkInputs() const override { return std::nullopt; }
};

class AudioServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        song = dir.filePath(QStringLiteral("song.mp3"));
        QFile f(song);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
        auto owned = std::make_unique<FakeSoundPlayerFactory>();
        factory = owned.get();
        service = std::make_unique<AudioService>(std::move(owned), &output);
    }

    SoundSettings ownFile(bool loop = true, qint64 volume = 80) const {
        SoundSettings s;
        s.source = SoundSource::customFile;
        s.customFilePath = song;
        s.loop = loop;
        s.volume = volume;
        return s;
    }
    static SoundSettings builtIn(bool loop) {
        SoundSettings s;
        s.source = SoundSource::builtIn;
        s.loop = loop;
        return s;
    }

    QTemporaryDir dir;
    QString song;
    FakeOutput output;
    FakeSoundPlayerFactory* factory = nullptr;
    std::unique_ptr<AudioService> service;
};

}  // namespace

TEST_F(AudioServiceTest, FallbackWarningsNameWhyTheToneWillPlay) {
    const QString noSystem =
        QStringLiteral("Systemklang nicht vorhanden – der integrierte Standardalarm wird verwendet.");
    const QString noChoice = QStringLiteral("Keine Datei gewählt – der integrierte Standardalarm wird verwendet.");
    const QString notFound = QStringLiteral("Datei nicht gefunden – der integrierte Standardalarm wird verwendet.");

    struct Case {
        SoundSource source;
        QString systemName;
        std::optional<QString> path;
        std::optional<QString> warning;
    };
    const Case cases[] = {
        {SoundSource::builtIn, {}, {}, std::nullopt},
        {SoundSource::system, QStringLiteral("Keinklang-xyz.aiff"), {}, noSystem},
        {SoundSource::system, QString(), {}, noSystem},
        // Folders, not sounds: these used to resolve and then fail as unreadable.
        {SoundSource::system, QStringLiteral("."), {}, noSystem},
        {SoundSource::system, QStringLiteral(".."), {}, noSystem},
        {SoundSource::system, QStringLiteral("../x.aiff"), {}, noSystem},
        {SoundSource::customFile, {}, std::nullopt, noChoice},
        {SoundSource::customFile, {}, QString(), noChoice},
        {SoundSource::customFile, {}, dir.filePath(QStringLiteral("gone.mp3")), notFound},
        {SoundSource::customFile, {}, dir.path(), notFound},
        {SoundSource::customFile, {}, song, std::nullopt},
    };
    for (const Case& c : cases) {
        SoundSettings s;
        s.source = c.source;
        s.systemSoundName = c.systemName;
        s.customFilePath = c.path;
        SCOPED_TRACE((c.systemName + QLatin1Char('|') + c.path.value_or(QStringLiteral("<none>"))).toStdString());
        EXPECT_EQ(AudioService::fallbackWarning(s), c.warning);
        // A sound either resolves to a file or carries a warning, never both.
        if (c.source != SoundSource::builtIn) {
            EXPECT_NE(AudioService::resolveSoundURL(s).has_value(), c.warning.has_value());
        }
    }
    EXPECT_EQ(AudioService::resolveSoundURL(ownFile()), song);
}

TEST_F(AudioServiceTest, ChannelsAreIndependentAndReplacingSendsNoEnd) {
    service->play(AudioChannel::preview, ownFile(), QStringLiteral("alarm-0"));
    FakeSoundPlayer* preview = factory->last();
    service->play(AudioChannel::alarm, ownFile(), QStringLiteral("alert-A"));
    QPointer<FakeSoundPlayer> first = factory->last();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->playCalls(), 1);

    // The first alarm player reports its end just as it is replaced.
    first->endPlaying(false);
    QSignalSpy ownerSpy(service.get(), &AudioService::alarmOwnerChanged);
    service->play(AudioChannel::alarm, ownFile(), QStringLiteral("alert-B"));
    EXPECT_TRUE(first.isNull()) << "a replaced player is released";
    deliverQueued();

    EXPECT_EQ(service->alarmOwner(), QStringLiteral("alert-B"));
    EXPECT_TRUE(service->isOwner(AudioChannel::alarm, QStringLiteral("alert-B")));
    EXPECT_FALSE(service->isPlayingFallback(AudioChannel::alarm));
    EXPECT_FALSE(service->lastWarning().has_value()) << "the stale end must not start a fallback";
    EXPECT_EQ(ownerSpy.count(), 2);  // cleared by the stop, then set again

    EXPECT_EQ(service->previewOwner(), QStringLiteral("alarm-0"));
    EXPECT_EQ(service->currentPlayer(AudioChannel::preview), preview);
    EXPECT_TRUE(preview->isPlaying());

    service->stop(AudioChannel::preview);
    EXPECT_FALSE(service->previewOwner().has_value());
    EXPECT_EQ(service->alarmOwner(), QStringLiteral("alert-B"));
}

TEST_F(AudioServiceTest, NonLoopingSoundPlaysOnceAndClearsItsOwnerAtTheEnd) {
    service->play(AudioChannel::alarm, ownFile(/*loop=*/false), QStringLiteral("alert-1"));
    FakeSoundPlayer* player = factory->last();
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(player->numberOfLoops(), 0);
    EXPECT_TRUE(service->isOwner(AudioChannel::alarm, QStringLiteral("alert-1")));

    QSignalSpy ownerSpy(service.get(), &AudioService::alarmOwnerChanged);
    player->endPlaying(true);
    EXPECT_TRUE(service->isOwner(AudioChannel::alarm, QStringLiteral("alert-1"))) << "ends arrive queued";
    deliverQueued();
    EXPECT_FALSE(service->isOwner(AudioChannel::alarm, QStringLiteral("alert-1")));
    EXPECT_FALSE(service->alarmOwner().has_value());
    EXPECT_EQ(service->currentPlayer(AudioChannel::alarm), nullptr);
    EXPECT_EQ(ownerSpy.count(), 1);
    EXPECT_FALSE(service->lastWarning().has_value());

    service->play(AudioChannel::alarm, ownFile(/*loop=*/true), QStringLiteral("alert-2"));
    EXPECT_EQ(factory->last()->numberOfLoops(), -1);
}

TEST_F(AudioServiceTest, UnreadableOrEmptyFileFallsBackToTheToneWithItsReason) {
    struct Case {
        FakeSoundPlayerFactory::Answer answer;
        const char* reason;
    };
    const Case cases[] = {
        {{0.0, QString(), true}, "Die Datei enthält keine Audiodaten."},
        {{-1.0, QString(), true}, "Die Datei enthält keine Audiodaten."},
        {{1.0, QStringLiteral("Unbekanntes oder beschädigtes Audioformat."), true},
         "Unbekanntes oder beschädigtes Audioformat."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        factory->answerFile(song, c.answer);
        service->play(AudioChannel::alarm, ownFile(/*loop=*/false), QStringLiteral("alert-1"));
        EXPECT_EQ(service->lastWarning(), QStringLiteral("Audiodatei konnte nicht gelesen werden (") +
                                              QString::fromUtf8(c.reason) +
                                              QStringLiteral(") – Standardalarm wird verwendet."));
        EXPECT_TRUE(service->isPlayingFallback(AudioChannel::alarm));
        EXPECT_EQ(service->alarmOwner(), QStringLiteral("alert-1"));
        EXPECT_EQ(factory->last()->numberOfLoops(), 2) << "the tone sounds three times";
        EXPECT_TRUE(factory->last()->isPlaying());
    }
    EXPECT_EQ(factory->lastDataSize, 141164);
    EXPECT_EQ(factory->lastTypeHint, QStringLiteral("wav"));
}

TEST_F(AudioServiceTest, FadeStartsSilentAndALaterFailureFallsBackAtFullVolume) {
    service->play(AudioChannel::alarm, ownFile(/*loop=*/true, /*volume=*/80), QStringLiteral("alert-1"), 10.0);
    FakeSoundPlayer* player = factory->last();
    EXPECT_FLOAT_EQ(player->volume(), 0.0f);
    EXPECT_FLOAT_EQ(player->fadeTarget(), 0.8f);
    EXPECT_DOUBLE_EQ(player->fadeSeconds(), 10.0);

    QSignalSpy ownerSpy(service.get(), &AudioService::alarmOwnerChanged);
    player->endPlaying(false);
    deliverQueued();
    EXPECT_EQ(service->lastWarning(),
              QStringLiteral("Audiodatei fehlerhaft (Wiedergabefehler) – Standardalarm wird verwendet."));
    ASSERT_TRUE(service->isPlayingFallback(AudioChannel::alarm));
    FakeSoundPlayer* tone = factory->last();
    ASSERT_NE(tone, player);
    EXPECT_FLOAT_EQ(tone->volume(), 0.8f);
    EXPECT_DOUBLE_EQ(tone->fadeSeconds(), 0.0);
    EXPECT_EQ(tone->numberOfLoops(), -1) << "keeps the sound's loop setting";
    EXPECT_EQ(service->alarmOwner(), QStringLiteral("alert-1"));
    EXPECT_EQ(ownerSpy.count(), 0) << "the owner never changed";

    // A decoding error with and without a description.
    service->play(AudioChannel::preview, ownFile(), QStringLiteral("p"));
    factory->last()->failDecoding(QString());
    deliverQueued();
    EXPECT_EQ(service->lastWarning(),
              QStringLiteral("Audiodatei fehlerhaft (Decodierfehler) – Standardalarm wird verwendet."));
    service->play(AudioChannel::preview, ownFile(), QStringLiteral("p"));
    factory->last()->failDecoding(QStringLiteral("Bitstrom gestört"));
    deliverQueued();
    EXPECT_EQ(service->lastWarning(),
              QStringLiteral("Audiodatei fehlerhaft (Bitstrom gestört) – Standardalarm wird verwendet."));
}

TEST_F(AudioServiceTest, AFailingToneFallsSilentInsteadOfRestartingItself) {
    service->play(AudioChannel::alarm, builtIn(/*loop=*/false), QStringLiteral("alert-1"));
    FakeSoundPlayer* tone = factory->last();
    EXPECT_EQ(tone->numberOfLoops(), 2);
    const size_t made = factory->players.size();

    tone->failDecoding(QStringLiteral("kaputt"));
    deliverQueued();
    EXPECT_EQ(factory->players.size(), made);
    EXPECT_FALSE(service->alarmOwner().has_value());
    EXPECT_EQ(service->currentPlayer(AudioChannel::alarm), nullptr);
    EXPECT_FALSE(service->lastWarning().has_value());

    // Same when the tone is itself the fallback of a broken file.
    service->play(AudioChannel::alarm, ownFile(), QStringLiteral("alert-2"));
    factory->last()->endPlaying(false);
    deliverQueued();
    ASSERT_TRUE(service->isPlayingFallback(AudioChannel::alarm));
    factory->last()->endPlaying(false);
    deliverQueued();
    EXPECT_FALSE(service->alarmOwner().has_value());
}

TEST_F(AudioServiceTest, NoPlayerOrARefusalLeavesTheChannelSilentWithAReason) {
    factory->tone.error = QStringLiteral("kein Speicher");
    service->play(AudioChannel::alarm, builtIn(true), QStringLiteral("alert-1"));
    EXPECT_EQ(service->lastWarning(), kNoOutput);
    EXPECT_FALSE(service->alarmOwner().has_value());

    // A failing file whose fallback can't be made either: why the file was
    // dropped stays in front.
    service->play(AudioChannel::alarm, ownFile(), QStringLiteral("alert-1"));
    factory->last()->endPlaying(false);
    deliverQueued();
    EXPECT_EQ(service->lastWarning(), QStringLiteral("Audiodatei fehlerhaft (Wiedergabefehler) – Standardalarm wird "
                                                     "verwendet. Auch der Standardalarm kann nicht abgespielt werden: "
                                                     "Audioausgabe nicht möglich."));
    EXPECT_FALSE(service->alarmOwner().has_value());
    EXPECT_EQ(service->currentPlayer(AudioChannel::alarm), nullptr);

    factory->tone.error.clear();
    factory->answerFile(song, {1.0, QString(), /*acceptsPlay=*/false});
    QSignalSpy ownerSpy(service.get(), &AudioService::alarmOwnerChanged);
    service->play(AudioChannel::alarm, ownFile(), QStringLiteral("alert-1"));
    EXPECT_EQ(service->lastWarning(), kNoOutput);
    EXPECT_FALSE(service->alarmOwner().has_value());
    EXPECT_EQ(service->currentPlayer(AudioChannel::alarm), nullptr);
    EXPECT_EQ(ownerSpy.count(), 2);  // set for the attempt, cleared on refusal
}

// Whatever made the chosen sound unusable is still said when the built-in
// tone cannot sound either, ahead of the missing output.
TEST_F(AudioServiceTest, TheReasonForTheFallbackStaysWhenTheToneCannotSoundEither) {
    const QString alsoNoTone =
        QStringLiteral(" Auch der Standardalarm kann nicht abgespielt werden: Audioausgabe nicht möglich.");
    SoundSettings missingSystem;
    missingSystem.source = SoundSource::system;
    missingSystem.systemSoundName = QStringLiteral("Keinklang-xyz.aiff");
    const struct {
        const char* what;
        SoundSettings sound;
        FakeSoundPlayerFactory::Answer file;
        FakeSoundPlayerFactory::Answer tone;
        QString warning;
    } cases[] = {
        {"unreadable file, no tone player", ownFile(), {1.0, QStringLiteral("Ungültige Daten"), true},
         {1.6, QStringLiteral("kein Speicher"), true},
         QStringLiteral("Audiodatei konnte nicht gelesen werden (Ungültige Daten) – Standardalarm wird verwendet.") +
             alsoNoTone},
        {"empty file, tone refused", ownFile(), {0.0, QString(), true}, {1.6, QString(), false},
         QStringLiteral("Audiodatei konnte nicht gelesen werden (Die Datei enthält keine Audiodaten.) – "
                        "Standardalarm wird verwendet.") +
             alsoNoTone},
        {"missing system sound, tone refused", missingSystem, {}, {1.6, QString(), false},
         QStringLiteral("Systemklang nicht vorhanden – der integrierte Standardalarm wird verwendet.") + alsoNoTone},
        {"the tone itself refused", builtIn(false), {}, {1.6, QString(), false}, kNoOutput},
        {"the own file refused", ownFile(), {1.0, QString(), false}, {1.6, QString(), true}, kNoOutput},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        factory->answerFile(song, c.file);
        factory->tone = c.tone;
        service->play(AudioChannel::preview, c.sound, QStringLiteral("alarm-0"));
        EXPECT_EQ(service->lastWarning(), c.warning);
        EXPECT_FALSE(service->previewOwner().has_value());
        EXPECT_EQ(service->currentPlayer(AudioChannel::preview), nullptr);
    }
}

TEST_F(AudioServiceTest, WarningsAndOwnersNotifyOnlyOnRealChanges) {
    QSignalSpy warningSpy(service.get(), &AudioService::lastWarningChanged);
    SoundSettings missing;
    missing.source = SoundSource::system;
    missing.systemSoundName = QStringLiteral("Keinklang-xyz.aiff");
    service->play(AudioChannel::alarm, missing, QStringLiteral("a"));
    service->play(AudioChannel::alarm, missing, QStringLiteral("a"));
    EXPECT_EQ(warningSpy.count(), 1);
    EXPECT_TRUE(service->isPlayingFallback(AudioChannel::alarm));

    service->play(AudioChannel::alarm, ownFile(), QStringLiteral("a"));
    EXPECT_FALSE(service->lastWarning().has_value()) << "a clean start clears the warning";
    EXPECT_EQ(warningSpy.count(), 2);

    QSignalSpy previewSpy(service.get(), &AudioService::previewOwnerChanged);
    service->setOwner(AudioChannel::preview, QStringLiteral("countdown-1"));
    service->setOwner(AudioChannel::preview, QStringLiteral("countdown-1"));
    EXPECT_EQ(previewSpy.count(), 1);
    EXPECT_TRUE(service->isOwner(AudioChannel::preview, QStringLiteral("countdown-1")));
    EXPECT_FALSE(service->isOwner(AudioChannel::preview, QStringLiteral("countdown-0")));
    EXPECT_FALSE(service->isOwner(AudioChannel::alarm, QStringLiteral("countdown-1")));
    service->stop(AudioChannel::preview);  // no player: clears the owner all the same
    service->stop(AudioChannel::preview);
    EXPECT_EQ(previewSpy.count(), 2);
}

TEST_F(AudioServiceTest, StoppedPlayerIsCutOffBeforeItStops) {
    service->play(AudioChannel::alarm, ownFile(false), QStringLiteral("a"));
    QPointer<FakeSoundPlayer> player = factory->last();
    player->endPlaying(true);  // already on its way
    service->stop(AudioChannel::alarm);
    EXPECT_TRUE(player.isNull());
    service->play(AudioChannel::alarm, ownFile(false), QStringLiteral("b"));
    deliverQueued();
    EXPECT_EQ(service->alarmOwner(), QStringLiteral("b"));
}

TEST_F(AudioServiceTest, VolumeIsWholePercentClampedAndSilenceComesFromTheOutput) {
    service->play(AudioChannel::alarm, ownFile(true, 250), QStringLiteral("a"));
    EXPECT_FLOAT_EQ(factory->last()->volume(), 1.0f);
    service->play(AudioChannel::alarm, ownFile(true, -5), QStringLiteral("a"));
    EXPECT_FLOAT_EQ(factory->last()->volume(), 0.0f);
    // A fade time that isn't a number starts at the full volume.
    service->play(AudioChannel::alarm, ownFile(true, 50), QStringLiteral("a"), std::nan(""));
    EXPECT_FLOAT_EQ(factory->last()->volume(), 0.5f);

    EXPECT_FALSE(service->isOutputSilent());
    output.silent = true;
    EXPECT_TRUE(service->isOutputSilent());
    AudioService noServer(std::make_unique<FakeSoundPlayerFactory>(), nullptr);
    EXPECT_FALSE(noServer.isOutputSilent());
}
