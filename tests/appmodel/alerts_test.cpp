// Alarms firing, countdown alerts, the radio wake-up watch, dismissal and the
// sleep prevention.

#include <gtest/gtest.h>

#include <QSignalSpy>

#include "appmodel/ModelHarness.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

const std::vector<SinkInputInfo> kRadioPlays{{4242, false}};
const std::vector<SinkInputInfo> kOtherPlays{{77, false}};

SoundSettings tone(bool loop) {
    SoundSettings s;
    s.source = SoundSource::builtIn;
    s.loop = loop;
    return s;
}

AlarmSettings alarmAt(int hour, int minute, bool loop = true) {
    AlarmSettings a;
    a.isEnabled = true;
    a.hour = hour;
    a.minute = minute;
    a.sound = tone(loop);
    return a;
}

// Alarm 1 at 07:00, ten seconds after the harness's start time.
struct AlarmModel : ModelHarness {
    AppSettings settings = quietSettings();
    AppModel& makeWith(const AlarmSettings& first) {
        settings.alarms[0] = first;
        writeSettings(settings);
        return make();
    }
    // Up to the tick at 07:00:00.005.
    void toAlarmTime() { advance(10.01); }
};

AlarmSettings radioAlarm() {
    AlarmSettings a = alarmAt(7, 0);
    a.wakeWithRadio = true;
    a.radioMode = AlarmSettings::RadioMode::randomFavorite;
    return a;
}

}  // namespace

TEST(AlarmFiring, LateNoteFromTwoWholeMinutes) {
    ModelHarness h;
    AppModel& m = h.make();
    const QDateTime scheduled = QDateTime::fromMSecsSinceEpoch(utcMs(2026, 3, 10, 6, 0, 0), Qt::UTC);
    m.fireAlarm(1, alarmAt(7, 0), scheduled.addSecs(119), scheduled);
    m.fireAlarm(2, alarmAt(7, 0), scheduled.addSecs(120), scheduled);
    ASSERT_EQ(m.alerts().size(), 2u);
    EXPECT_EQ(m.alerts()[0].subtitle, QStringLiteral("Dienstag, 10. März 2026"));
    EXPECT_EQ(
        m.alerts()[1].subtitle,
        QStringLiteral("Verspätet um 2\u00A0Min. – der Computer war im Ruhezustand oder ausgelastet (07:02\u00A0Uhr)"));
    EXPECT_EQ(m.alerts()[1].title, QStringLiteral("Wecker 2 – 07:00\u00A0Uhr"));
}

TEST(AlarmFiring, RingsOnWakingAfterSleepWithTheDelay) {
    AlarmModel h;
    AppModel& m = h.makeWith(alarmAt(7, 0));
    QSignalSpy raised(&m, &AppModel::alertRaised);
    h.clock.sleep(3 * 3600.0);  // the timer does not run while asleep
    m.tick();
    ASSERT_EQ(m.alerts().size(), 1u);
    EXPECT_TRUE(m.alerts()[0].subtitle.startsWith(QStringLiteral("Verspätet um 179\u00A0Min.")))
        << m.alerts()[0].subtitle.toStdString();
    EXPECT_EQ(raised.count(), 1);
    EXPECT_EQ(m.audio().alarmOwner(), m.alerts()[0].id);
    EXPECT_TRUE(m.settings().alarms[0].isEnabled) << "an alarm with weekdays stays armed";
}

TEST(AlarmFiring, FadeInAndPreviewMakesWay) {
    AlarmModel h;
    AlarmSettings a = alarmAt(7, 0);
    a.fadeSeconds = 30;
    AppModel& m = h.makeWith(a);
    m.audio().play(AudioChannel::preview, tone(true), QStringLiteral("alarm-3"));
    h.toAlarmTime();
    ASSERT_EQ(m.alerts().size(), 1u);
    EXPECT_FALSE(m.audio().previewOwner().has_value());
    ASSERT_NE(h.sounds->last(), nullptr);
    EXPECT_DOUBLE_EQ(h.sounds->last()->fadeSeconds(), 30.0);
}

TEST(Dismissal, TheNewestOpenAlertRingsAgainOnlyWhenItLoops) {
    for (bool firstLoops : {true, false}) {
        ModelHarness h;
        AppSettings s = ModelHarness::quietSettings();
        s.alarms[0] = alarmAt(7, 0, firstLoops);
        s.alarms[1] = alarmAt(7, 0, true);
        h.writeSettings(s);
        AppModel& m = h.make();
        h.advance(10.01);
        ASSERT_EQ(m.alerts().size(), 2u);
        const QString first = m.alerts()[0].id;
        const QString second = m.alerts()[1].id;
        EXPECT_EQ(m.audio().alarmOwner(), second);

        m.dismissAlert(second);
        if (firstLoops) {
            EXPECT_EQ(m.audio().alarmOwner(), first);
        } else {
            EXPECT_FALSE(m.audio().alarmOwner().has_value());
        }
        m.dismissAlert(first);
        EXPECT_TRUE(m.alerts().empty());
        EXPECT_FALSE(m.audio().alarmOwner().has_value());
    }
}

TEST(Dismissal, EndingAnOlderAlertTouchesNoSound) {
    ModelHarness h;
    AppSettings s = ModelHarness::quietSettings();
    s.alarms[0] = alarmAt(7, 0);
    s.alarms[1] = alarmAt(7, 0);
    h.writeSettings(s);
    AppModel& m = h.make();
    h.advance(10.01);
    ASSERT_EQ(m.alerts().size(), 2u);
    const std::size_t players = h.sounds->players.size();
    FakeSoundPlayer* ringing = h.sounds->last();
    m.dismissAlert(m.alerts()[0].id);
    EXPECT_EQ(h.sounds->players.size(), players);
    EXPECT_EQ(ringing->stopCalls(), 0);
    EXPECT_EQ(m.audio().alarmOwner(), m.alerts()[0].id);
}

TEST(Dismissal, AnOpenLoopingAlarmDoesNotGoQuietWhenANewerSoundEnds) {
    ModelHarness h;
    AppSettings s = ModelHarness::quietSettings();
    s.alarms[0] = alarmAt(7, 0, true);
    s.countdowns[0].sound = tone(false);
    h.writeSettings(s);
    AppModel& m = h.make();
    h.advance(10.01);
    ASSERT_EQ(m.alerts().size(), 1u);
    const QString alarmAlert = m.alerts()[0].id;
    ASSERT_TRUE(m.countdownServices()[0].start(1));
    h.advance(1.2);
    ASSERT_EQ(m.alerts().size(), 2u);
    const QString countdownAlert = m.alerts()[1].id;
    ASSERT_EQ(m.audio().alarmOwner(), countdownAlert);

    h.sounds->last()->endPlaying(true);  // the one-shot countdown sound played out
    ModelHarness::settle();
    EXPECT_EQ(m.audio().alarmOwner(), alarmAlert);

    // The same after dismissing a newer non-looping alert that owns nothing:
    // the looping one keeps ringing, started once.
    const std::size_t players = h.sounds->players.size();
    m.dismissAlert(countdownAlert);
    EXPECT_EQ(h.sounds->players.size(), players);
    EXPECT_EQ(m.audio().alarmOwner(), alarmAlert);
}

TEST(Dismissal, ALoopingSoundThatFailsIsNotRestartedEndlessly) {
    ModelHarness h;
    AlarmSettings a = alarmAt(7, 0, true);
    AppSettings s = ModelHarness::quietSettings();
    s.alarms[0] = a;
    h.writeSettings(s);
    AppModel& m = h.make();
    h.advance(10.01);
    ASSERT_EQ(m.alerts().size(), 1u);
    const std::size_t players = h.sounds->players.size();
    h.sounds->last()->endPlaying(false);  // even the tone failed
    ModelHarness::settle();
    EXPECT_EQ(h.sounds->players.size(), players);
}

// --- Radio wake-up -------------------------------------------------------------------

TEST(RadioWatch, SilenceFallsBackAtFortyFiveSecondsNotFortyFour) {
    for (const std::optional<std::vector<SinkInputInfo>>& silence :
         {std::optional<std::vector<SinkInputInfo>>(kOtherPlays),
          std::optional<std::vector<SinkInputInfo>>()}) {
        AlarmModel h;
        h.radioAudio.inputs = silence;  // not playing, or undetermined
        AppModel& m = h.makeWith(radioAlarm());
        h.toAlarmTime();
        ASSERT_EQ(m.alerts().size(), 1u);
        EXPECT_EQ(h.scheme.opened, 1);
        EXPECT_TRUE(m.alerts()[0].subtitle.endsWith(QStringLiteral("\nSonvela spielt: Zufälliger Favorit")));
        EXPECT_FALSE(m.audio().alarmOwner().has_value());
        h.advance(44.0);
        EXPECT_FALSE(m.audio().alarmOwner().has_value());
        EXPECT_EQ(m.radioWatchCount(), 1);
        h.advance(1.0);
        EXPECT_EQ(m.audio().alarmOwner(), m.alerts()[0].id);
        EXPECT_TRUE(m.radioFallbackAlerts().contains(m.alerts()[0].id));
        EXPECT_DOUBLE_EQ(h.sounds->last()->fadeSeconds(), AppModel::kRadioFallbackFade);
        EXPECT_EQ(m.radioWatchCount(), 0);
    }
}

TEST(RadioWatch, HeardThenSilentFallsBackFortyFiveSecondsAfterTheLastHearing) {
    AlarmModel h;
    h.radioAudio.inputs = kRadioPlays;
    AppModel& m = h.makeWith(radioAlarm());
    h.toAlarmTime();
    h.advance(30.0);  // heard at 30 checks
    h.radioAudio.inputs = kOtherPlays;
    h.advance(44.0);
    EXPECT_FALSE(m.audio().alarmOwner().has_value());
    h.advance(1.0);
    EXPECT_EQ(m.audio().alarmOwner(), m.alerts()[0].id);
}

TEST(RadioWatch, HundredTwentyHeardChecksEndTheWatch) {
    AlarmModel h;
    h.radioAudio.inputs = kRadioPlays;
    AppModel& m = h.makeWith(radioAlarm());
    h.toAlarmTime();  // the first check runs in the second the alarm fires
    h.advance(118.0);
    EXPECT_EQ(m.radioWatchCount(), 1);
    h.advance(1.0);
    EXPECT_EQ(m.radioWatchCount(), 0);
    h.radioAudio.inputs = kOtherPlays;
    h.advance(120.0);
    EXPECT_FALSE(m.audio().alarmOwner().has_value());
}

TEST(RadioWatch, ADismissedAlertEndsItsWatch) {
    AlarmModel h;
    h.radioAudio.inputs = kOtherPlays;
    AppModel& m = h.makeWith(radioAlarm());
    h.toAlarmTime();
    m.dismissAlert(m.alerts()[0].id);
    h.advance(1.0);
    EXPECT_EQ(m.radioWatchCount(), 0);
    h.advance(60.0);
    EXPECT_FALSE(m.audio().alarmOwner().has_value());
}

TEST(RadioWatch, AMissingRadioRingsTheOwnSoundAtOnce) {
    AlarmModel h;
    h.scheme.installed = false;
    AlarmSettings a = radioAlarm();
    a.fadeSeconds = 20;
    AppModel& m = h.makeWith(a);
    h.toAlarmTime();
    ASSERT_EQ(m.alerts().size(), 1u);
    EXPECT_TRUE(m.alerts()[0].subtitle.endsWith(
        QStringLiteral("\nSonvela konnte nicht gestartet werden – stattdessen klingelt der Alarmton.")));
    EXPECT_EQ(m.audio().alarmOwner(), m.alerts()[0].id);
    EXPECT_DOUBLE_EQ(h.sounds->last()->fadeSeconds(), 20.0);
    EXPECT_EQ(m.radioWatchCount(), 0);
}

// --- Sleep prevention --------------------------------------------------------------------

TEST(SleepPrevention, HeldExactlyWhileNeededAndReleasedOnce) {
    ModelHarness h;
    AppModel& m = h.make();
    EXPECT_FALSE(h.inhibitor->held);
    EXPECT_EQ(h.inhibitor->acquired, 0);

    m.countdownServices()[0].start(600);
    m.countdownServices()[0].pause();
    h.advance(1.0);
    EXPECT_FALSE(h.inhibitor->held) << "a paused countdown does not keep the computer awake";
    m.countdownServices()[0].resume();
    h.advance(1.0);
    EXPECT_TRUE(h.inhibitor->held);
    m.editSettings([](AppSettings& s) { s.alarms[3].isEnabled = true; });
    m.countdownServices()[0].pause();
    h.advance(3.0);
    EXPECT_EQ(h.inhibitor->acquired, 1);
    m.editSettings([](AppSettings& s) { s.alarms[3].isEnabled = false; });
    h.advance(1.0);
    EXPECT_FALSE(h.inhibitor->held);
    EXPECT_EQ(h.inhibitor->released, 1);

    m.fireAlarm(9, alarmAt(7, 0), m.now(), m.now());  // an alert keeps it until it is ended
    h.advance(1.0);
    EXPECT_TRUE(h.inhibitor->held);
    m.dismissAlert(m.alerts()[0].id);
    h.advance(1.0);
    EXPECT_FALSE(h.inhibitor->held);
    EXPECT_EQ(h.inhibitor->acquired, 2);
    EXPECT_EQ(h.inhibitor->released, 2);
}

TEST(ArmedAlarms, TextInListOrder) {
    ModelHarness h;
    AppModel& m = h.make();
    m.editSettings([](AppSettings& s) {
        s.alarms[0] = alarmAt(7, 0);
        s.alarms[2] = alarmAt(6, 30);
    });
    EXPECT_EQ(m.activeAlarmsText(), QStringLiteral("Wecker: 07:00  ·  06:30"));
    m.editSettings([](AppSettings& s) {
        s.alarms[0].isEnabled = false;
        s.alarms[2].isEnabled = false;
    });
    EXPECT_TRUE(m.activeAlarmsText().isEmpty());
}

TEST(Shutdown, QuittingFromAnAlertEndsTheTickItCameFrom) {
    AlarmModel h;
    AppModel& m = h.makeWith(alarmAt(7, 0));
    ASSERT_TRUE(m.countdownServices()[0].start(10.0));  // ends at 07:00:00, with the alarm
    QObject::connect(&m, &AppModel::alertRaised, [&] { m.shutdown(); });
    h.toAlarmTime();
    EXPECT_EQ(m.alerts().size(), 1u);
    EXPECT_FALSE(m.audio().alarmOwner().has_value());
    EXPECT_EQ(h.timers->pendingCount(), 0);
}
