#include <gtest/gtest.h>

#include "worldmap/SunMoon.h"

#include <QDateTime>

#include <cmath>

using namespace corvane;

namespace {

qint64 utc(const char* iso) {
    const QDateTime t = QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate);
    EXPECT_TRUE(t.isValid()) << iso;
    return t.toMSecsSinceEpoch();
}

}  // namespace

TEST(SubsolarPoint, KnownMoments) {
    struct Case {
        const char* when;
        double lat, lon, tolerance;
    } cases[] = {
        // g = 0: E = -2.904 min, so the sun stands 0.726° east of Greenwich.
        {"2025-01-01T12:00:00Z", -23.0586, 0.7263, 0.001},
        // Solstices and an equinox, against the almanac to the series'
        // accuracy (its declination is ~0.4° off near the equinoxes).
        {"2026-06-21T12:00:00Z", 23.43, 0.4, 0.15},
        {"2026-12-21T12:00:00Z", -23.43, -0.4, 0.15},
        {"2026-03-20T15:00:00Z", 0.0, -43.1, 0.5},
        // Midnight UTC: the sun stands near the antimeridian.
        {"2026-06-21T00:00:00Z", 23.43, -179.6, 0.2},
    };
    for (const Case& c : cases) {
        const SubsolarPoint s = subsolarPoint(utc(c.when));
        EXPECT_NEAR(s.lat, c.lat, c.tolerance) << c.when;
        EXPECT_NEAR(s.lon, c.lon, c.tolerance) << c.when;
    }
}

TEST(SubsolarPoint, LongitudeStaysInHalfOpenRangeThroughAYear) {
    const qint64 start = utc("2024-01-01T00:00:00Z");
    for (qint64 minute = 0; minute < 366 * 24 * 60; ++minute) {
        const SubsolarPoint s = subsolarPoint(start + minute * 60'000);
        ASSERT_GE(s.lon, -180.0) << minute;
        ASSERT_LT(s.lon, 180.0) << minute;
        ASSERT_LE(std::abs(s.lat), 23.5) << minute;
    }
}

TEST(SubsolarPoint, CountsWholeSecondsAndDaysBefore1970) {
    EXPECT_EQ(subsolarPoint(utc("2026-05-04T10:20:30Z")).lon, subsolarPoint(utc("2026-05-04T10:20:30Z") + 999).lon);
    // One second before 1970 is the 365th day of 1969, which the series
    // treats like the last day of 1970 at the same hour.
    const SubsolarPoint before = subsolarPoint(-1000);
    const SubsolarPoint sameDayLater = subsolarPoint(utc("1970-12-31T23:59:59Z"));
    EXPECT_DOUBLE_EQ(before.lat, sameDayLater.lat);
    EXPECT_DOUBLE_EQ(before.lon, sameDayLater.lon);
}

TEST(MoonPosition, PhaseFollowsKnownLunations) {
    struct Case {
        const char* when;
        double phase;  // 0 new, 180 full
        double tolerance;
    } cases[] = {
        {"2024-01-11T11:57:00Z", 0, 8},     // new moon
        {"2024-01-25T17:54:00Z", 180, 8},   // full moon
        {"2024-01-18T03:53:00Z", 90, 10},   // first quarter
        {"1999-12-22T17:31:00Z", 180, 8},   // full moon before J2000
        {"1969-07-20T20:17:00Z", 72, 10},   // waxing crescent, two days before first quarter
    };
    for (const Case& c : cases) {
        const MoonPosition m = moonPosition(utc(c.when));
        const double off = std::remainder(m.phase - c.phase, 360.0);
        EXPECT_LE(std::abs(off), c.tolerance) << c.when << " phase " << m.phase;
        EXPECT_NEAR(m.illuminated, (1 - std::cos(c.phase * 0.017453292519943295)) / 2, 0.1) << c.when;
    }
}

TEST(MoonPosition, StaysInRangeBeforeAndAfterJ2000) {
    const qint64 day = 86'400'000;
    for (qint64 t = utc("1950-01-01T00:00:00Z"); t < utc("2060-01-01T00:00:00Z"); t += day + 3'600'000 * 7) {
        const MoonPosition m = moonPosition(t);
        ASSERT_LE(std::abs(m.lat), 29.0) << t;
        ASSERT_GE(m.lon, -180.0) << t;
        ASSERT_LT(m.lon, 180.0) << t;
        ASSERT_GE(m.phase, 0.0) << t;
        ASSERT_LT(m.phase, 360.0) << t;
        ASSERT_GE(m.illuminated, 0.0) << t;
        ASSERT_LE(m.illuminated, 1.0) << t;
    }
}

TEST(MoonPosition, SublunarPointMovesWestAboutOnceADay) {
    // The moon lags the sky by ~50 minutes a day: after 24 h 50 min its
    // sublunar point is back within a few degrees.
    const qint64 t = utc("2026-03-01T00:00:00Z");
    const MoonPosition a = moonPosition(t);
    const MoonPosition b = moonPosition(t + (24 * 60 + 50) * 60'000LL);
    const MoonPosition sixHours = moonPosition(t + 6 * 3'600'000LL);
    EXPECT_LE(std::abs(std::remainder(b.lon - a.lon, 360.0)), 4.0);
    EXPECT_NEAR(std::remainder(sixHours.lon - a.lon, 360.0), -87.0, 3.0);
}

TEST(MoonPhaseName, Boundaries) {
    struct Case {
        double phase;
        const char* name;
    } cases[] = {
        {0, "Neumond"},          {9.99, "Neumond"},           {10, "Zunehmende Sichel"},
        {79.9, "Zunehmende Sichel"}, {80, "Erstes Viertel"}, {100, "Zunehmender Mond"},
        {170, "Vollmond"},       {180, "Vollmond"},           {190, "Abnehmender Mond"},
        {260, "Letztes Viertel"}, {279.9, "Letztes Viertel"}, {280, "Abnehmende Sichel"},
        {349.9, "Abnehmende Sichel"}, {350, "Neumond"},
    };
    for (const Case& c : cases) EXPECT_EQ(moonPhaseName(c.phase), QString::fromUtf8(c.name)) << c.phase;
}
