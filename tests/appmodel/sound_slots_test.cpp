// The sound editor's slots: their identifiers, the preview toggle on the
// preview channel and the choice of an own audio file.

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include "appmodel/ModelHarness.h"
#include "platform/system/AudioDecoder.h"
#include "services/AudioService.h"
#include "services/SystemSounds.h"

using namespace corvane;
using namespace corvane::testing;

TEST(SoundSlots, FixedListWithDistinctIdentifiers) {
    QStringList ids;
    QSet<SoundSlot> distinct;
    for (const SoundSlot& slot : AppModel::soundSlots()) {
        ids << slot.id();
        distinct.insert(slot);
    }
    EXPECT_EQ(ids, (QStringList{"alarm-0", "alarm-1", "alarm-2", "alarm-3", "countdown-0", "countdown-1"}));
    EXPECT_EQ(distinct.size(), 6);
    EXPECT_NE((SoundSlot{SoundSlot::Kind::alarm, 1}), (SoundSlot{SoundSlot::Kind::countdown, 1}));
}

TEST(SoundSlots, PreviewTogglesAndSwitchesBetweenSlots) {
    ModelHarness h;
    AppSettings s = ModelHarness::quietSettings();
    s.alarms[2].sound.source = SoundSource::builtIn;
    s.countdowns[0].sound.source = SoundSource::builtIn;
    s.countdowns[0].sound.volume = 35;
    h.writeSettings(s);
    AppModel& m = h.make();
    const SoundSlot alarm3{SoundSlot::Kind::alarm, 2};
    const SoundSlot countdown1{SoundSlot::Kind::countdown, 0};

    m.previewSound(alarm3);
    EXPECT_EQ(m.audio().previewOwner(), QStringLiteral("alarm-2"));
    EXPECT_FALSE(m.audio().alarmOwner());  // the alarm channel is not touched
    QPointer<FakeSoundPlayer> first = h.sounds->last();
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->isPlaying());
    EXPECT_EQ(first->fadeSeconds(), 0.0);

    m.previewSound(alarm3);  // the same slot again stops it
    EXPECT_FALSE(m.audio().previewOwner());
    EXPECT_TRUE(!first || !first->isPlaying());

    m.previewSound(alarm3);
    QPointer<FakeSoundPlayer> second = h.sounds->last();
    m.previewSound(countdown1);  // another slot takes the channel over
    EXPECT_EQ(m.audio().previewOwner(), QStringLiteral("countdown-0"));
    EXPECT_TRUE(!second || !second->isPlaying());
    ASSERT_TRUE(h.sounds->last());
    EXPECT_NE(h.sounds->last(), second.data());
    EXPECT_FLOAT_EQ(h.sounds->last()->volume(), 0.35f);  // the slot's current sound

    m.previewSound(alarm3);  // and back, without a stop in between
    EXPECT_EQ(m.audio().previewOwner(), QStringLiteral("alarm-2"));
}

TEST(SoundSlots, ChoosingAnOwnFileImportsItAndCancellingChangesNothing) {
    ModelHarness h;
    auto chooser = std::make_unique<FakeChooser>();
    FakeChooser* answers = chooser.get();
    h.fileChooser = std::move(chooser);
    AppModel& m = h.make();
    const SoundSlot slot{SoundSlot::Kind::countdown, 1};
    ASSERT_EQ(m.sound(slot)->source, SoundSource::system);
    const QString systemName = m.sound(slot)->systemSoundName;

    const AppSettings before = m.settings();
    m.chooseAlarmSoundFile(slot);  // cancelled
    EXPECT_EQ(m.settings(), before);
    EXPECT_EQ(answers->titles.back(), QStringLiteral("Alarmton auswählen"));
    // Every format the decoder plays, as the system-sound list offers them.
    EXPECT_EQ(answers->patterns.back(), (QStringList{"*.mp3", "*.wav", "*.aiff", "*.aif", "*.m4a", "*.caf", "*.flac",
                                                     "*.oga", "*.ogg", "*.opus"}));
    QStringList decodable;
    for (const QString& e : decodableExtensions()) decodable << QStringLiteral("*.") + e;
    EXPECT_EQ(answers->patterns.back(), decodable);
    EXPECT_EQ(answers->requests.back().nameFilters, FileRequest::sounds(QString(), decodable).nameFilters);
    EXPECT_TRUE(answers->requests.back().nameFilters.front().startsWith(QStringLiteral("Audiodateien (*.mp3 ")));

    answers->answers = {h.dir.path() + QStringLiteral("/fehlt.mp3")};  // the copy fails
    m.chooseAlarmSoundFile(slot);
    EXPECT_EQ(m.settings(), before);
    EXPECT_TRUE(m.settingsService().lastError());

    const QString picked = h.dir.path() + QStringLiteral("/Gong.mp3");
    {
        QFile f(picked);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("ID3");
    }
    answers->answers = {picked};
    int changes = 0;
    QObject::connect(&m, &AppModel::settingsChanged, [&] { ++changes; });
    m.chooseAlarmSoundFile(slot);
    EXPECT_EQ(changes, 2);  // the path, then the source
    const SoundSettings& chosen = *m.sound(slot);
    EXPECT_EQ(chosen.source, SoundSource::customFile);
    EXPECT_EQ(chosen.systemSoundName, systemName);  // kept for a switch back
    ASSERT_TRUE(chosen.customFilePath);
    EXPECT_TRUE(chosen.customFilePath->startsWith(h.mediaFolder() + QStringLiteral("/ton")));
    EXPECT_TRUE(QFile::exists(*chosen.customFilePath));
    EXPECT_EQ(m.settings().countdowns[0], before.countdowns[0]);
    EXPECT_EQ(m.settings().alarms, before.alarms);
}

// Older settings files name the defaults of another system; on this computer
// they read as the sound theme's files, while a name that is simply missing
// still warns.
TEST(SoundSlots, StoredDefaultsOfAnotherSystemReadAsTheirCounterparts) {
    ModelHarness h;
    AppSettings s = ModelHarness::quietSettings();
    s.alarms[0].sound.systemSoundName = QStringLiteral("Glass.aiff");
    s.alarms[1].sound.systemSoundName = QStringLiteral("Nirgends.aiff");
    s.alarms[2].sound.systemSoundName = QStringLiteral("Tink.aiff");  // picked there, not a default
    s.countdowns[0].sound.systemSoundName = QStringLiteral("Hero.aiff");
    s.countdowns[0].sound.volume = 35;
    h.writeSettings(s);
    AppModel& m = h.make();
    EXPECT_EQ(m.settings().alarms[0].sound.systemSoundName, QStringLiteral("alarm-clock-elapsed.oga"));
    EXPECT_EQ(m.settings().alarms[2].sound.systemSoundName, QStringLiteral("audio-volume-change.oga"));
    EXPECT_EQ(m.settings().countdowns[0].sound.systemSoundName, QStringLiteral("complete.oga"));
    EXPECT_EQ(m.settings().countdowns[0].sound.volume, 35);
    EXPECT_EQ(m.settings().alarms[1].sound.systemSoundName, QStringLiteral("Nirgends.aiff"));
    EXPECT_EQ(AudioService::fallbackWarning(m.settings().alarms[1].sound),
              QStringLiteral("Systemklang nicht vorhanden – der integrierte Standardalarm wird verwendet."));
    if (!QFileInfo(systemSoundFolders()[0]).isDir()) {
        GTEST_SKIP() << "no sound theme in " << systemSoundFolders()[0].toStdString()
                     << " (package sound-theme-freedesktop)";
    }
    EXPECT_EQ(AudioService::fallbackWarning(m.settings().alarms[0].sound), std::nullopt);
    EXPECT_EQ(AudioService::fallbackWarning(m.settings().countdowns[0].sound), std::nullopt);

    // "Testen" rings the counterpart itself, without a word of warning.
    const SoundSlot tink{SoundSlot::Kind::alarm, 2};
    m.previewSound(tink);
    ASSERT_FALSE(h.sounds->filesAsked.empty());
    EXPECT_EQ(h.sounds->filesAsked.back(), systemSoundFolders()[0] + QStringLiteral("/audio-volume-change.oga"));
    EXPECT_FALSE(m.audio().isPlayingFallback(AudioChannel::preview));
    EXPECT_EQ(m.audio().lastWarning(), std::nullopt);
    EXPECT_EQ(m.previewProblem(tink), std::nullopt);
}

// A test that cannot sound says why under its own editor, until a test plays.
TEST(SoundSlots, APreviewThatCannotPlayKeepsItsReasonUntilOnePlays) {
    ModelHarness h;
    AppSettings s = ModelHarness::quietSettings();
    for (AlarmSettings& a : s.alarms) a.sound.source = SoundSource::builtIn;
    s.alarms[3].sound = SoundSettings{SoundSource::customFile, QString(), h.dir.path() + "/kaputt.mp3", 80, false};
    {
        QFile f(h.dir.path() + "/kaputt.mp3");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("ID3");
    }
    h.writeSettings(s);
    AppModel& m = h.make();
    const SoundSlot first{SoundSlot::Kind::alarm, 0}, second{SoundSlot::Kind::alarm, 1};
    int changes = 0;
    QObject::connect(&m, &AppModel::previewProblemChanged, [&] { ++changes; });

    h.sounds->tone.acceptsPlay = false;  // no audio output
    m.previewSound(first);
    EXPECT_FALSE(m.audio().previewOwner());
    EXPECT_EQ(m.previewProblem(first), QStringLiteral("Audioausgabe nicht möglich."));
    EXPECT_EQ(m.previewProblem(second), std::nullopt);  // only under the editor that tried
    m.previewSound(first);
    EXPECT_EQ(changes, 1);  // the same reason again is no change

    h.sounds->tone.acceptsPlay = true;
    m.previewSound(second);  // the output works again
    EXPECT_EQ(m.audio().previewOwner(), QStringLiteral("alarm-1"));
    EXPECT_EQ(m.previewProblem(first), std::nullopt);
    EXPECT_EQ(m.previewProblem(second), std::nullopt);
    EXPECT_EQ(changes, 2);

    // An own file that does not read: the tone plays and the reason shows.
    const SoundSlot own{SoundSlot::Kind::alarm, 3};
    h.sounds->answerFile(h.dir.path() + "/kaputt.mp3", {1.0, QStringLiteral("Unbekanntes Format."), true});
    m.previewSound(own);
    EXPECT_EQ(m.audio().previewOwner(), QStringLiteral("alarm-3"));
    EXPECT_EQ(m.previewProblem(own),
              QStringLiteral("Audiodatei konnte nicht gelesen werden (Unbekanntes Format.) – Standardalarm wird verwendet."));

    // A missing system sound: its editor already says so, no second line.
    m.editSettings([](AppSettings& next) {
        next.alarms[2].sound = SoundSettings{SoundSource::system, QStringLiteral("Nirgends.oga"), {}, 80, false};
    });
    m.previewSound(SoundSlot{SoundSlot::Kind::alarm, 2});
    EXPECT_TRUE(m.audio().lastWarning());
    EXPECT_EQ(m.previewProblem(SoundSlot{SoundSlot::Kind::alarm, 2}), std::nullopt);
    EXPECT_EQ(m.previewProblem(own), std::nullopt);
}

// A pick that cannot be taken over keeps its reason for the place it was
// picked in, until a pick there succeeds or that row changes.
TEST(SoundSlots, AFailedImportIsKeptForItsPlaceUntilItsRowChanges) {
    ModelHarness h;
    auto chooser = std::make_unique<FakeChooser>();
    FakeChooser* answers = chooser.get();
    h.fileChooser = std::move(chooser);
    AppModel& m = h.make();
    const QString pipe = h.dir.path() + QStringLiteral("/rohr.mp3");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const SoundSlot slot{SoundSlot::Kind::alarm, 1}, other{SoundSlot::Kind::countdown, 0};
    int changes = 0;
    QObject::connect(&m, &AppModel::importProblemsChanged, [&] { ++changes; });

    const AppSettings before = m.settings();
    answers->answers = {pipe};
    m.chooseAlarmSoundFile(slot);
    EXPECT_EQ(m.settings(), before);
    const std::optional<QString> message = m.soundImportProblem(slot);
    ASSERT_TRUE(message);
    EXPECT_TRUE(message->startsWith(QStringLiteral("Datei konnte nicht übernommen werden: "))) << message->toStdString();
    EXPECT_EQ(message, m.settingsService().lastError());
    EXPECT_EQ(m.soundImportProblem(other), std::nullopt);
    EXPECT_EQ(m.sharedImageImportProblem(), std::nullopt);
    EXPECT_EQ(changes, 1);

    m.chooseAlarmSoundFile(slot);  // cancelled: nothing new to say
    m.editSettings([](AppSettings& s) { s.alarms[1].sound.volume = 20; });  // another row of the slot
    m.editSettings([](AppSettings& s) { s.countdowns[0].sound.source = SoundSource::builtIn; });
    EXPECT_EQ(m.soundImportProblem(slot), message);
    EXPECT_EQ(changes, 1);

    m.editSettings([](AppSettings& s) { s.alarms[1].sound.source = SoundSource::builtIn; });
    EXPECT_EQ(m.soundImportProblem(slot), std::nullopt);
    EXPECT_EQ(changes, 2);

    answers->answers = {pipe};
    m.chooseAlarmSoundFile(slot);
    ASSERT_TRUE(m.soundImportProblem(slot));
    const QString good = h.dir.path() + QStringLiteral("/Gong.mp3");
    {
        QFile f(good);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("ID3");
    }
    answers->answers = {good};
    m.chooseAlarmSoundFile(slot);
    EXPECT_EQ(m.soundImportProblem(slot), std::nullopt);
    EXPECT_EQ(m.sound(slot)->source, SoundSource::customFile);
}
