// The sound editor's slots: their identifiers, the preview toggle on the
// preview channel and the choice of an own audio file.

#include <gtest/gtest.h>

#include <QFile>
#include <QSet>

#include "appmodel/ModelHarness.h"

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
    EXPECT_EQ(answers->patterns.back(), (QStringList{"*.mp3", "*.wav", "*.aiff", "*.aif", "*.m4a"}));

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
