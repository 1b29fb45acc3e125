// The model headless for a whole simulated day: every alarm rings once at its
// time, countdowns end on time and the dusk follows the sun.

#include <gtest/gtest.h>

#include "appmodel/ModelHarness.h"

using namespace corvane;
using namespace corvane::testing;

TEST(FullDay, EveryAlarmRingsOnceAtItsTime) {
    ModelHarness h;
    AppSettings s = ModelHarness::quietSettings();
    s.theme = ThemeMode::dusk;
    s.dusk.source = DuskSource::sun;  // Berlin by default
    auto arm = [&](int i, int hour, int minute, WeekdaySet days) {
        s.alarms[i].isEnabled = true;
        s.alarms[i].hour = hour;
        s.alarms[i].minute = minute;
        s.alarms[i].weekdays = days;
        s.alarms[i].sound.source = SoundSource::builtIn;
    };
    arm(0, 6, 30, AlarmSettings::allWeekdays());  // tomorrow morning
    arm(1, 12, 0, {});                            // once, today
    arm(2, 23, 59, {3});                          // Tuesdays: today
    arm(3, 18, 15, {2});                          // Mondays: not in this day
    s.countdowns[0].durationSeconds = 15 * 60;
    h.writeSettings(s);

    AppModel& m = h.make();  // Tuesday 06:59:50 in Berlin
    struct Rang {
        QString title;
        qint64 at;
    };
    std::vector<Rang> rang;
    QObject::connect(&m, &AppModel::alertRaised, [&] {
        rang.push_back({m.alerts().back().title, h.clock.wallMSecs()});
        // The user ends each alert a little later; meanwhile it rings.
    });

    double minBrightness = 1.0, maxBrightness = 0.0;
    const qint64 start = h.clock.wallMSecs();
    const qint64 countdownStart = utcMs(2026, 3, 10, 9, 0, 0);  // 10:00 local
    bool countdownStarted = false;
    qint64 countdownStartedAt = 0;
    while (h.clock.wallMSecs() < start + 24LL * 3600 * 1000) {
        h.advance(60.0);
        minBrightness = std::min(minBrightness, m.lastDusk().brightness);
        maxBrightness = std::max(maxBrightness, m.lastDusk().brightness);
        if (!countdownStarted && h.clock.wallMSecs() >= countdownStart) {
            ASSERT_TRUE(m.countdownServices()[0].start(double(m.settings().countdowns[0].durationSeconds)));
            countdownStarted = true;
            countdownStartedAt = h.clock.wallMSecs();
        }
        ASSERT_TRUE(h.inhibitor->held);
        while (!m.alerts().empty()) m.dismissAlert(m.alerts().front().id);
    }

    ASSERT_EQ(rang.size(), 4u);
    auto local = [](qint64 ms) {
        return QDateTime::fromMSecsSinceEpoch(ms, QTimeZone("Europe/Berlin"))
            .toString(QStringLiteral("ddd HH:mm:ss"));
    };
    EXPECT_EQ(rang[0].title, QStringLiteral("Countdown 1 abgelaufen"));
    // Ticking at 0.2 s while it runs: it ends within one tick of its time.
    EXPECT_GE(rang[0].at - countdownStartedAt, 900'000);
    EXPECT_LE(rang[0].at - countdownStartedAt, 900'200);
    EXPECT_EQ(rang[1].title, QStringLiteral("Wecker 2 – 12:00\u00A0Uhr"));
    EXPECT_EQ(local(rang[1].at).right(8), QStringLiteral("12:00:00"));
    EXPECT_EQ(rang[2].title, QStringLiteral("Wecker 3 – 23:59\u00A0Uhr"));
    EXPECT_EQ(local(rang[2].at).right(8), QStringLiteral("23:59:00"));
    EXPECT_EQ(rang[3].title, QStringLiteral("Wecker 1 – 06:30\u00A0Uhr"));
    EXPECT_EQ(local(rang[3].at).right(8), QStringLiteral("06:30:00"));
    EXPECT_FALSE(m.settings().alarms[1].isEnabled);
    EXPECT_TRUE(m.settings().alarms[0].isEnabled);
    EXPECT_LT(minBrightness, 0.01);
    EXPECT_GT(maxBrightness, 0.99);
    EXPECT_EQ(m.activeAlarmsText(), QStringLiteral("Wecker: 06:30  ·  23:59  ·  18:15"));
}
