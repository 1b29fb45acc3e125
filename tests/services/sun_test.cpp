#include <gtest/gtest.h>

#include "services/DuskResult.h"
#include "services/SunTimes.h"

#include <QDateTime>

#include <cmath>
#include <limits>

using namespace corvane;

namespace {

QDateTime iso(const char* text) {
    const QDateTime t = QDateTime::fromString(QString::fromLatin1(text), Qt::ISODate);
    EXPECT_TRUE(t.isValid()) << text;
    return t;
}

DuskSettings schedule(int dayH, int dayM, int nightH, int nightM, int transition) {
    DuskSettings s;
    s.source = DuskSource::schedule;
    s.dayStartHour = dayH;
    s.dayStartMinute = dayM;
    s.nightStartHour = nightH;
    s.nightStartMinute = nightM;
    s.transitionMinutes = transition;
    return s;
}

DuskSettings sunAt(double latitude, double longitude) {
    DuskSettings s;
    s.source = DuskSource::sun;
    s.latitude = latitude;
    s.longitude = longitude;
    return s;
}

double minutes(int h, int m) {
    return h * 60.0 + m;
}

}  // namespace

TEST(DuskSchedule, CurveRampsAfterEachStart) {
    struct Case {
        const char* what;
        DuskSettings settings;
        double now;
        double expected;
    };
    const DuskSettings normal = schedule(7, 0, 19, 0, 60);
    const DuskSettings shortDay = schedule(23, 30, 0, 30, 120);
    const DuskSettings hard = schedule(7, 0, 19, 0, 0);
    const Case cases[] = {
        {"day start", normal, minutes(7, 0), 0.0},
        {"half way up", normal, minutes(7, 30), 0.5},
        {"ramp done", normal, minutes(8, 0), 1.0},
        {"noon", normal, minutes(12, 0), 1.0},
        {"night start", normal, minutes(19, 0), 1.0},
        {"half way down", normal, minutes(19, 30), 0.5},
        {"night", normal, minutes(20, 0), 0.0},
        {"small hours", normal, minutes(3, 0), 0.0},
        {"smoothstep, not linear", normal, minutes(7, 15), 0.15625},
        // A 60-minute day caps the 120-minute ramps at 60 minutes each.
        {"short day start", shortDay, minutes(23, 30), 0.0},
        {"short day, half way up", shortDay, minutes(0, 0), 0.5},
        {"short day's night start", shortDay, minutes(0, 30), 1.0},
        {"short night, half way down", shortDay, minutes(1, 0), 0.5},
        {"short day over", shortDay, minutes(1, 30), 0.0},
        {"no transition: night until the day start", hard, minutes(6, 59), 0.0},
        {"no transition: day from the start", hard, minutes(7, 0), 1.0},
        {"no transition: day until the night start", hard, minutes(18, 59), 1.0},
        {"no transition: night from its start", hard, minutes(19, 0), 0.0},
        {"equal starts: always day", schedule(9, 0, 9, 0, 60), minutes(3, 0), 1.0},
    };
    for (const Case& c : cases) {
        const double got =
            DuskResult::scheduleBrightness(c.settings, c.now, double(c.settings.transitionMinutes));
        EXPECT_NEAR(got, c.expected, 1e-9) << c.what;
    }
}

TEST(DuskResult, ScheduleSourceReadsTheTimeInTheGivenZone) {
    const DuskSettings s = schedule(7, 0, 19, 0, 60);
    // 05:30 UTC is 07:30 in Berlin in summer.
    const DuskResult r = DuskResult::compute(s, iso("2026-06-21T05:30:00Z"), QTimeZone("Europe/Berlin"));
    EXPECT_NEAR(r.brightness, 0.5, 1e-9);
    EXPECT_EQ(r.status, QStringLiteral("Tag ab 07:00\u00A0Uhr · Nacht ab 19:00\u00A0Uhr"));
    EXPECT_FALSE(r.isFallback);
}

TEST(DuskResult, InvalidCoordinatesFallBackToTheSchedule) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::pair<double, double> invalid[] = {{91, 13}, {-90.5, 0}, {52, 181}, {52, -180.01},
                                                 {nan, 13}, {52, nan},  {inf, 0},  {0, -inf}};
    for (const auto& [lat, lon] : invalid) {
        DuskSettings s = sunAt(lat, lon);
        const DuskResult r = DuskResult::compute(s, iso("2026-06-21T19:30:00+02:00"), QTimeZone("Europe/Berlin"));
        EXPECT_TRUE(r.isFallback) << lat << "," << lon;
        EXPECT_NEAR(r.brightness, 0.5, 1e-9) << lat << "," << lon;
        EXPECT_EQ(r.status, QStringLiteral("Ungültige Koordinaten – Ersatz: Zeitsteuerung (07:00 / 19:00\u00A0Uhr)."));
    }
    // A schedule field out of range (a damaged file) still gives a brightness.
    DuskSettings wild = sunAt(91, 0);
    wild.dayStartHour = std::numeric_limits<qint64>::max();
    wild.transitionMinutes = -5;
    const double b = DuskResult::compute(wild, iso("2026-06-21T12:00:00Z"), QTimeZone("UTC")).brightness;
    EXPECT_TRUE(b >= 0 && b <= 1) << b;
    // The edges of the valid range are still computed from the sun.
    EXPECT_FALSE(DuskResult::compute(sunAt(90, 180), iso("2026-06-21T12:00:00Z"), QTimeZone("UTC")).isFallback);
}

TEST(SunTimes, BerlinMidsummerMatchesTheAlmanac) {
    const SunTimes::Event rise = SunTimes::eventUT(172, true, 52.52, 13.405);
    const SunTimes::Event set = SunTimes::eventUT(172, false, 52.52, 13.405);
    ASSERT_EQ(rise.type, SunDayType::normal);
    ASSERT_EQ(set.type, SunDayType::normal);
    EXPECT_NEAR(rise.utHours * 3600, 2 * 3600 + 42 * 60 + 56, 1.0);
    EXPECT_NEAR(set.utHours * 3600, 19 * 3600 + 33 * 60 + 10, 1.0);

    const QTimeZone berlin("Europe/Berlin");
    const DuskResult r = DuskResult::compute(sunAt(52.52, 13.405), iso("2026-06-21T12:00:00+02:00"), berlin);
    EXPECT_EQ(r.status, QStringLiteral("Sonnenaufgang 04:42\u00A0Uhr · Sonnenuntergang 21:33\u00A0Uhr"));
    EXPECT_EQ(r.brightness, 1.0);
    EXPECT_FALSE(r.isFallback);

    // The ramps are centred on the events: half bright at sunrise itself.
    const SunTimes sun = SunTimes::onDay({2026, 6, 21}, 52.52, 13.405, berlin);
    ASSERT_TRUE(sun.sunrise && sun.sunset);
    EXPECT_NEAR(DuskResult::compute(sunAt(52.52, 13.405), *sun.sunrise, berlin).brightness, 0.5, 1e-6);
    EXPECT_NEAR(DuskResult::compute(sunAt(52.52, 13.405), *sun.sunset, berlin).brightness, 0.5, 1e-6);
    EXPECT_EQ(DuskResult::compute(sunAt(52.52, 13.405), iso("2026-06-21T01:00:00+02:00"), berlin).brightness, 0.0);
}

TEST(SunTimes, EventsLandOnTheLocalDayInBothHemispheres) {
    struct Case {
        const char* place;
        const char* zone;
        double latitude;
        double longitude;
        CivilDate date;
        double riseMinutes;  // published local times, to within a few minutes
        double setMinutes;
    };
    const Case cases[] = {
        {"Sydney, midwinter", "Australia/Sydney", -33.87, 151.21, {2026, 6, 21}, minutes(7, 0), minutes(16, 54)},
        {"New York, midsummer", "America/New_York", 40.71, -74.01, {2026, 6, 21}, minutes(5, 25), minutes(20, 31)},
        // Twelve hours and more from UTC: the UT date of the events differs
        // from the local one.
        {"Auckland, midwinter", "Pacific/Auckland", -36.85, 174.76, {2026, 6, 21}, minutes(7, 33), minutes(17, 11)},
        {"Auckland, midsummer", "Pacific/Auckland", -36.85, 174.76, {2026, 12, 21}, minutes(5, 58),
         minutes(20, 42)},
        {"Honolulu", "Pacific/Honolulu", 21.31, -157.86, {2026, 1, 15}, minutes(7, 11), minutes(18, 11)},
    };
    for (const Case& c : cases) {
        const QTimeZone zone(c.zone);
        const SunTimes sun = SunTimes::onDay(c.date, c.latitude, c.longitude, zone);
        ASSERT_EQ(sun.type, SunDayType::normal) << c.place;
        ASSERT_TRUE(sun.sunrise && sun.sunset) << c.place;
        EXPECT_EQ(toLocal(zone, sun.sunrise->toMSecsSinceEpoch()).date(), c.date) << c.place;
        EXPECT_EQ(toLocal(zone, sun.sunset->toMSecsSinceEpoch()).date(), c.date) << c.place;
        EXPECT_NEAR(SunTimes::minutesOfDay(*sun.sunrise, zone), c.riseMinutes, 3.0) << c.place;
        EXPECT_NEAR(SunTimes::minutesOfDay(*sun.sunset, zone), c.setMinutes, 3.0) << c.place;
    }
}

TEST(DuskResult, PolarDayAndNight) {
    const QTimeZone zone("Arctic/Longyearbyen");
    const DuskResult summer = DuskResult::compute(sunAt(78, 15), iso("2026-06-21T03:00:00+02:00"), zone);
    EXPECT_EQ(summer, (DuskResult{1.0, QStringLiteral("Polartag – die Sonne geht heute nicht unter."), false}));
    const DuskResult winter = DuskResult::compute(sunAt(78, 15), iso("2026-12-21T12:00:00+01:00"), zone);
    EXPECT_EQ(winter, (DuskResult{0.0, QStringLiteral("Polarnacht – die Sonne geht heute nicht auf."), false}));
    EXPECT_EQ(SunTimes::eventUT(355, true, 78, 15).type, SunDayType::polarNight);
    EXPECT_EQ(SunTimes::eventUT(172, false, -78, 15).type, SunDayType::polarNight);

    const SunTimes polar = SunTimes::onDay({2026, 6, 21}, 78, 15, zone);
    EXPECT_EQ(polar.type, SunDayType::polarDay);
    EXPECT_FALSE(polar.sunrise.has_value());
    EXPECT_FALSE(polar.sunset.has_value());
}

TEST(SunTimes, MinutesAndClockTextFromTheCalendarFields) {
    const QTimeZone tokyo("Asia/Tokyo");
    const QDateTime t = iso("2026-06-21T23:05:30.500Z");  // 08:05:30.5 in Tokyo
    EXPECT_NEAR(SunTimes::minutesOfDay(t, tokyo), 8 * 60 + 5 + 30.5 / 60, 1e-9);
    EXPECT_EQ(SunTimes::formatHM(t, tokyo), QStringLiteral("08:05"));
    EXPECT_EQ(SunTimes::formatHM(iso("2026-06-21T23:59:59Z"), QTimeZone("UTC")), QStringLiteral("23:59"));
}
