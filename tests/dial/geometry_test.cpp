#include <gtest/gtest.h>

#include "dial/AnalogClock.h"
#include "dial/DialGeometry.h"

#include <QDateTime>
#include <QTimeZone>

using namespace corvane;

namespace {

DialTime wall(int h, int m, int s, qint64 ns = 0) { return DialTime{h, m, s, ns}; }

}  // namespace

TEST(HandAngles, TickingAndSmoothCases) {
    struct Case {
        DialTime time;
        bool smooth;
        double hour, minute, second;
    } cases[] = {
        {wall(12, 0, 0), false, 0, 0, 0},
        {wall(0, 0, 0), true, 0, 0, 0},
        {wall(23, 59, 30), false, 359.75, 357, 180},
        {wall(3, 0, 0), false, 90, 0, 0},
        {wall(15, 30, 0), false, 105, 180, 0},
        // Smooth seconds move in whole milliseconds: 7.4567 s reads as 7.456 s.
        {wall(10, 15, 7, 456'700'000), true, (10 + (15 + 7.456 / 60) / 60) * 30, (15 + 7.456 / 60) * 6, 44.736},
        // Ticking ignores the fraction entirely.
        {wall(10, 15, 7, 999'999'999), false, (10 + (15 + 7.0 / 60) / 60) * 30, (15 + 7.0 / 60) * 6, 42},
        {wall(6, 0, 59, 999'999'999), true, (6 + (59.999 / 60) / 60) * 30, 59.999 / 60 * 6, 359.994},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.time.hour << ":" << c.time.minute << ":" << c.time.second << "."
                                        << c.time.nanosecond << (c.smooth ? " smooth" : " ticking"));
        const HandAngles a = AnalogClockHands::angles(c.time, c.smooth);
        EXPECT_NEAR(a.hour, c.hour, 1e-9);
        EXPECT_NEAR(a.minute, c.minute, 1e-9);
        EXPECT_NEAR(a.second, c.second, 1e-9);
    }
}

TEST(DialTime, ReadsTheZonesWallTimeIncludingDaylightSavingAndPre1970) {
    const QTimeZone berlin("Europe/Berlin");
    const QTimeZone kolkata("Asia/Kolkata");
    ASSERT_TRUE(berlin.isValid());
    ASSERT_TRUE(kolkata.isValid());
    struct Case {
        const char* utc;
        const QTimeZone* zone;
        DialTime expected;
    } cases[] = {
        {"2026-01-15T11:30:15.250Z", &berlin, wall(12, 30, 15, 250'000'000)},
        {"2026-07-15T11:30:15.250Z", &berlin, wall(13, 30, 15, 250'000'000)},
        // The last second before the spring change, and the first after it.
        {"2026-03-29T00:59:59.999Z", &berlin, wall(1, 59, 59, 999'000'000)},
        {"2026-03-29T01:00:00.000Z", &berlin, wall(3, 0, 0)},
        {"2026-12-31T20:00:00.000Z", &kolkata, wall(1, 30, 0)},
        // Before 1970 the day must still be found by floor division.
        {"1969-12-31T23:59:59.500Z", nullptr, wall(23, 59, 59, 500'000'000)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utc);
        const qint64 ms = QDateTime::fromString(QString::fromLatin1(c.utc), Qt::ISODateWithMs).toMSecsSinceEpoch();
        const QTimeZone zone = c.zone ? *c.zone : QTimeZone::utc();
        EXPECT_EQ(DialTime::at(ms, zone), c.expected);
        ZoneClock clock(zone);
        EXPECT_EQ(clock.at(ms), c.expected);
    }
}

TEST(ZoneClock, AgreesWithTheZoneAcrossTransitionsWhenStepping) {
    // Walk through both changes of a year in 7-minute steps, as a running
    // clock would, and once backwards, as after the user sets the time back.
    for (const char* id : {"Europe/Berlin", "America/New_York", "Australia/Lord_Howe", "Asia/Tokyo"}) {
        SCOPED_TRACE(id);
        const QTimeZone zone(id);
        ASSERT_TRUE(zone.isValid());
        ZoneClock clock(zone);
        const qint64 start = QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC).toMSecsSinceEpoch();
        const qint64 end = QDateTime(QDate(2027, 1, 1), QTime(0, 0), Qt::UTC).toMSecsSinceEpoch();
        int mismatches = 0;
        for (qint64 t = start; t < end; t += 7 * 60'000) {
            if (clock.at(t) != DialTime::at(t, zone)) ++mismatches;
        }
        for (qint64 t = end; t > start; t -= 13 * 3'600'000) {
            if (clock.at(t) != DialTime::at(t, zone)) ++mismatches;
        }
        EXPECT_EQ(mismatches, 0);
    }
}

TEST(HandMetrics, TwoHundredPointDialsInThreeStyles) {
    struct Case {
        DialStyle style;
        double hourWidth, hourHalo, minuteLength, minuteWidth, minuteHalo, secondWidth, capRadius;
    } cases[] = {
        {DialStyle::classic, 6.8, 9.18, 76, 4.4, 5.94, 1.8, 4.4},
        // The wide modern hands do not thicken the second hand; the cap stops at 1.2.
        {DialStyle::modern, 9.18, 9.18 + 0.35 * 9.18, 76, 5.94, 5.94 + 0.35 * 5.94, 1.8, 5.28},
        // Elegant: longer minute hand, the cap raised to the 0.8 floor.
        {DialStyle::elegant, 4.08, 4.08 + 1.5, 82, 2.64, 2.64 + 1.5, 1.08, 3.52},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(rawValue(c.style).toStdString());
        const dial::HandMetrics m = dial::handMetrics(c.style, 200);
        EXPECT_NEAR(m.hour.length, 50, 1e-9);
        EXPECT_NEAR(m.hour.tail, 8, 1e-9);
        EXPECT_NEAR(m.hour.width, c.hourWidth, 1e-9);
        EXPECT_NEAR(m.hour.haloWidth, c.hourHalo, 1e-9);
        EXPECT_NEAR(m.minute.length, c.minuteLength, 1e-9);
        EXPECT_NEAR(m.minute.tail, 8, 1e-9);
        EXPECT_NEAR(m.minute.width, c.minuteWidth, 1e-9);
        EXPECT_NEAR(m.minute.haloWidth, c.minuteHalo, 1e-9);
        EXPECT_NEAR(m.second.length, 86, 1e-9);
        EXPECT_NEAR(m.second.tail, 18, 1e-9);
        EXPECT_NEAR(m.second.width, c.secondWidth, 1e-9);
        EXPECT_NEAR(m.capRadius, c.capRadius, 1e-9);
        EXPECT_NEAR(m.capStrokeWidth, 1, 1e-9);
    }
    // Minimum widths on a small dial: second hand and cap stroke stay 1 point.
    const dial::HandMetrics small = dial::handMetrics(DialStyle::minimal, 60);
    EXPECT_DOUBLE_EQ(small.second.width, 1.0);
    EXPECT_DOUBLE_EQ(small.second.haloWidth, 2.5);
    EXPECT_DOUBLE_EQ(small.capStrokeWidth, 1.0);
}

TEST(Polar, ClockwiseFromTwelveWithYDown) {
    const QPointF c(100, 100);
    const QPointF three = dial::polar(c, 90, 10);
    const QPointF six = dial::polar(c, 180, 10);
    const QPointF twelve = dial::polar(c, 0, 10);
    EXPECT_NEAR(three.x(), 110, 1e-9);
    EXPECT_NEAR(three.y(), 100, 1e-9);
    EXPECT_NEAR(six.x(), 100, 1e-9);
    EXPECT_NEAR(six.y(), 110, 1e-9);
    EXPECT_NEAR(twelve.y(), 90, 1e-9);
}
