#include <gtest/gtest.h>

#include "platform/Clock.h"
#include "services/CountdownService.h"
#include "services/StopwatchService.h"
#include "services/TimeTexts.h"

#include <QDateTime>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace corvane;

namespace {

// Records the callbacks in order, with the state seen at the time.
template <typename Service>
struct Events {
    explicit Events(Service& s) : service(s) {
        service.onStateChanged = [this] { log.push_back("state:" + std::to_string(int(service.state()))); };
    }
    Service& service;
    std::vector<std::string> log;
};

}  // namespace

TEST(CountdownService, RefusesDurationsThatAreNotPositive) {
    FakeClock clock;
    CountdownService countdown(clock);
    Events events(countdown);
    for (double d : {0.0, -5.0, std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_FALSE(countdown.start(d)) << d;
    }
    EXPECT_EQ(countdown.state(), CountdownState::idle);
    EXPECT_EQ(countdown.duration(), 0.0);
    EXPECT_TRUE(events.log.empty());
}

TEST(CountdownService, RunsPausesAndResumesOnTheBootClock) {
    FakeClock clock(0, 500.0);
    CountdownService countdown(clock);
    Events events(countdown);

    ASSERT_TRUE(countdown.start(60));
    EXPECT_EQ(countdown.remaining(), 60.0);
    clock.advance(10);
    EXPECT_DOUBLE_EQ(countdown.remaining(), 50.0);

    countdown.pause();
    countdown.pause();  // no second state change
    clock.sleep(3 * 3600);  // paused through a suspend: nothing is lost
    EXPECT_DOUBLE_EQ(countdown.remaining(), 50.0);
    countdown.checkCompletion();
    EXPECT_EQ(countdown.state(), CountdownState::paused);

    // The wall clock jumping does not touch a countdown.
    clock.setWall(QDateTime::currentMSecsSinceEpoch() + 86'400'000);
    countdown.resume();
    clock.advance(20);
    EXPECT_DOUBLE_EQ(countdown.remaining(), 30.0);
    EXPECT_EQ(events.log, (std::vector<std::string>{"state:1", "state:2", "state:1"}));

    // Starting again while running restarts from zero without a state change.
    ASSERT_TRUE(countdown.start(5));
    EXPECT_DOUBLE_EQ(countdown.remaining(), 5.0);
    EXPECT_EQ(events.log.size(), 3u);
}

TEST(CountdownService, CompletesAtTheFirstTickAfterItsEndEvenAcrossSleep) {
    FakeClock clock;
    CountdownService countdown(clock);
    Events events(countdown);
    countdown.onCompleted = [&] {
        events.log.push_back("completed");
        EXPECT_EQ(countdown.accumulated(), 300.0);
    };

    ASSERT_TRUE(countdown.start(300));
    clock.advance(299.99);
    countdown.checkCompletion();
    EXPECT_EQ(countdown.state(), CountdownState::running);

    clock.sleep(3600);  // the end passed while suspended
    EXPECT_EQ(countdown.remaining(), 0.0);  // never negative
    countdown.checkCompletion();
    EXPECT_EQ(countdown.state(), CountdownState::idle);
    EXPECT_EQ(events.log, (std::vector<std::string>{"state:1", "state:0", "completed"}));
    // An idle countdown shows its full duration again, ready for a restart.
    EXPECT_EQ(countdown.remaining(), 300.0);
    countdown.checkCompletion();
    EXPECT_EQ(events.log.size(), 3u);
}

TEST(CountdownService, CompletesExactlyAtItsEnd) {
    FakeClock clock(0, 0.0);
    CountdownService countdown(clock);
    int completed = 0;
    countdown.onCompleted = [&] { ++completed; };
    ASSERT_TRUE(countdown.start(2));
    clock.advance(2);
    countdown.checkCompletion();
    EXPECT_EQ(completed, 1);
}

TEST(StopwatchService, StateMachine) {
    FakeClock clock(0, 100.0);
    StopwatchService watch(clock);
    Events events(watch);

    watch.stop();   // idle: nothing
    watch.pause();  // idle: nothing
    watch.start();
    clock.advance(1.5);
    EXPECT_DOUBLE_EQ(watch.elapsed(), 1.5);
    watch.pause();
    clock.sleep(600);
    watch.start();  // paused: ignored, time kept
    EXPECT_EQ(watch.state(), StopwatchState::paused);
    EXPECT_DOUBLE_EQ(watch.elapsed(), 1.5);
    watch.stop();  // paused -> stopped keeps the paused time
    EXPECT_DOUBLE_EQ(watch.elapsed(), 1.5);
    watch.start();  // from stopped: runs from zero
    clock.advance(0.25);
    EXPECT_DOUBLE_EQ(watch.elapsed(), 0.25);
    clock.sleep(7200);  // a running stopwatch counts the suspend
    watch.stop();
    EXPECT_DOUBLE_EQ(watch.elapsed(), 7200.25);
    clock.advance(5);
    EXPECT_DOUBLE_EQ(watch.elapsed(), 7200.25);
    watch.reset();
    EXPECT_EQ(watch.elapsed(), 0.0);
    EXPECT_EQ(events.log, (std::vector<std::string>{"state:1", "state:2", "state:3", "state:1", "state:3", "state:0"}));
}

TEST(StopwatchService, ResetOfAnIdleStopwatchClearsTheTimeSilently) {
    FakeClock clock;
    StopwatchService watch(clock);
    watch.start();
    clock.advance(3);
    Events events(watch);
    watch.reset();
    ASSERT_EQ(events.log.size(), 1u);
    events.log.clear();
    watch.reset();
    EXPECT_TRUE(events.log.empty());
    EXPECT_EQ(watch.elapsed(), 0.0);
}

TEST(TimeTexts, Greeting) {
    const QTimeZone berlin("Europe/Berlin");
    struct Case {
        const char* at;
        const char16_t* name;
        const char16_t* expected;
    };
    const Case cases[] = {
        {"2026-06-01T04:59:59+02:00", u"", u"Gute Nacht!"},
        {"2026-06-01T05:00:00+02:00", u"", u"Guten Morgen!"},
        {"2026-06-01T10:59:00+02:00", u"Nutzer", u"Guten Morgen, Nutzer!"},
        {"2026-06-01T11:00:00+02:00", u"Nutzer", u"Guten Tag, Nutzer!"},
        {"2026-06-01T18:00:00+02:00", u"Nutzer", u"Guten Abend, Nutzer!"},
        {"2026-06-01T22:59:00+02:00", u"  Nutzer \n", u"Guten Abend, Nutzer!"},
        {"2026-06-01T22:59:00+02:00", u"   ", u"Guten Abend!"},
        {"2026-06-01T23:00:00+02:00", u"Anna Maria", u"Gute Nacht, Anna Maria!"},
        // The hour is read in the given zone, not in UTC (21:30 UTC).
        {"2026-06-01T23:30:00+02:00", u"", u"Gute Nacht!"},
    };
    for (const Case& c : cases) {
        const QDateTime now = QDateTime::fromString(QString::fromLatin1(c.at), Qt::ISODate);
        EXPECT_EQ(greetingText(now, QStringView(c.name), berlin), QString::fromUtf16(c.expected)) << c.at;
    }
}

TEST(TimeTexts, DurationShowsTheSecondsStillBegun) {
    const std::pair<double, const char*> cases[] = {
        {-3, "00:00:00"},
        {0, "00:00:00"},
        {59.0, "00:00:59"},
        {59.4, "00:01:00"},
        {3600.0000000001, "01:00:00"},
        {86399, "23:59:59"},
        {100 * 3600, "100:00:00"},
        {std::numeric_limits<double>::quiet_NaN(), "00:00:00"},
    };
    for (const auto& [seconds, expected] : cases) {
        EXPECT_EQ(formatDuration(seconds), QLatin1String(expected)) << seconds;
    }
    // Absurd values give some text rather than undefined behaviour.
    EXPECT_FALSE(formatDuration(std::numeric_limits<double>::infinity()).isEmpty());
}

TEST(TimeTexts, StopwatchTruncatesToHundredths) {
    const std::pair<double, const char*> cases[] = {
        {0, "00:00:00.00"},
        {0.999, "00:00:00.99"},
        {-1, "00:00:00.00"},
        {3725.678, "01:02:05.67"},
        {100 * 3600 + 0.5, "100:00:00.50"},
    };
    for (const auto& [seconds, expected] : cases) {
        EXPECT_EQ(formatStopwatch(seconds), QLatin1String(expected)) << seconds;
    }
    EXPECT_FALSE(formatStopwatch(std::numeric_limits<double>::infinity()).isEmpty());
}
