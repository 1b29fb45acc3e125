// The host's clockwork: one wake-up a minute on the boundary, a new timeline
// at its end, after a resume or a clock step, and on request.

#include <gtest/gtest.h>

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "platform/Clock.h"
#include "platform/TimeZones.h"
#include "widget/ClockProvider.h"
#include "widget/TimelineRunner.h"
#include "widget/WallClockAlarm.h"

using namespace corvane;

namespace {

constexpr qint64 kMinute = 60'000;

qint64 utc(int h, int mi, int s, int ms = 0) {
    return QDateTime(QDate(2026, 6, 10), QTime(h, mi, s, ms), QTimeZone::utc()).toMSecsSinceEpoch();
}

struct Host {
    QTemporaryDir dir;
    QString file = dir.filePath(QStringLiteral("widget.json"));
    FakeClock clock{utc(10, 41, 27)};
    FixedTimeZoneProvider zones{QTimeZone::utc()};
    ClockProvider provider{file, clock, zones};
    FakeWallClockAlarm alarm;
    TimelineRunner runner{provider, clock, alarm};
    QSignalSpy changed{&runner, &TimelineRunner::entryChanged};

    void write(bool digital) {
        WidgetSnapshot s;
        s.clocks = {{QStringLiteral("Asia/Tokyo"), QStringLiteral("Tokyo"), DialStyle::classic, std::nullopt}};
        s.digital = digital;
        s.fontFamily = QStringLiteral("Sans");
        s.theme = ThemeColors::defaultPalette();
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(s.encode());
    }
};

}  // namespace

TEST(TimelineRunner, ShowsTheDueMinuteAndSleepsToTheNextBoundary) {
    Host h;
    EXPECT_EQ(h.runner.entry().snapshot, sampleSnapshot());  // before the first timeline
    h.write(false);
    h.runner.reload();
    EXPECT_EQ(h.runner.entry().date, utc(10, 41, 0));
    EXPECT_FALSE(h.runner.entry().snapshot->digital);
    EXPECT_EQ(h.alarm.armedFor(), utc(10, 42, 0));
    EXPECT_EQ(h.changed.count(), 1);

    // The wake-up comes a hair early: nothing to show yet, same moment again.
    h.clock.setWall(utc(10, 41, 59, 995));
    h.alarm.ring();
    EXPECT_EQ(h.runner.entry().date, utc(10, 41, 0));
    EXPECT_EQ(h.alarm.armedFor(), utc(10, 42, 0));
    EXPECT_EQ(h.changed.count(), 1);

    h.clock.setWall(utc(10, 42, 0, 3));
    h.alarm.ring();
    EXPECT_EQ(h.runner.entry().date, utc(10, 42, 0));
    EXPECT_EQ(h.alarm.armedFor(), utc(10, 43, 0));
    EXPECT_EQ(h.changed.count(), 2);
    // All of that from the one timeline.
    EXPECT_EQ(h.runner.timelineRequests(), 1);
}

TEST(TimelineRunner, AsksForANewTimelineWhenTheTimeLeavesTheCurrentOne) {
    struct Case {
        const char* what;
        qint64 wakeAt;
        qint64 expectedEntry;
    } cases[] = {
        {"after the last entry", utc(12, 41, 0, 20), utc(12, 41, 0)},
        {"resumed hours later", utc(18, 5, 33), utc(18, 5, 0)},
        {"clock set back", utc(9, 2, 10), utc(9, 2, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Host h;
        h.runner.reload();
        ASSERT_EQ(h.runner.timelineRequests(), 1);
        h.clock.setWall(c.wakeAt);
        h.alarm.ring();
        EXPECT_EQ(h.runner.timelineRequests(), 2);
        EXPECT_EQ(h.runner.entry().date, c.expectedEntry);
        EXPECT_EQ(h.alarm.armedFor(), c.expectedEntry + kMinute);
    }
    // Still inside: the last entry of the timeline, no new request yet.
    Host h;
    h.runner.reload();
    h.clock.setWall(utc(12, 40, 59));
    h.alarm.ring();
    EXPECT_EQ(h.runner.timelineRequests(), 1);
    EXPECT_EQ(h.runner.entry().date, utc(12, 40, 0));
    EXPECT_EQ(h.alarm.armedFor(), utc(12, 41, 0));
}

TEST(TimelineRunner, RepaintsOnReloadOnlyWhenTheSnapshotChanged) {
    Host h;
    h.write(false);
    h.runner.reload();
    ASSERT_EQ(h.changed.count(), 1);

    h.runner.reload();  // something else changed in the folder
    EXPECT_EQ(h.changed.count(), 1);
    EXPECT_EQ(h.runner.timelineRequests(), 2);

    h.write(true);
    h.runner.reload();
    EXPECT_EQ(h.changed.count(), 2);
    EXPECT_TRUE(h.runner.entry().snapshot->digital);

    QFile::remove(h.file);
    h.runner.reload();
    EXPECT_EQ(h.changed.count(), 3);
    EXPECT_EQ(h.runner.entry().snapshot, sampleSnapshot());
}

TEST(WallClockAlarm, RingsAtTheWallClockMoment) {
    SystemWallClockAlarm alarm;
    QSignalSpy rang(&alarm, &WallClockAlarm::rang);
    const qint64 target = QDateTime::currentMSecsSinceEpoch() + 150;
    alarm.arm(target);
    ASSERT_TRUE(rang.wait(3000));
    EXPECT_GE(QDateTime::currentMSecsSinceEpoch(), target);
    // A moment already past rings at once; re-arming replaces the old one.
    alarm.arm(QDateTime::currentMSecsSinceEpoch() + 60'000);
    alarm.arm(QDateTime::currentMSecsSinceEpoch() - 1000);
    ASSERT_TRUE(rang.wait(3000));
    EXPECT_EQ(rang.count(), 2);
    EXPECT_FALSE(rang.wait(300));
}
