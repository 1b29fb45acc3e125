#include "services/SunTimes.h"

#include <cmath>

namespace corvane {

namespace {

constexpr double kDegToRad = M_PI / 180.0;
constexpr double kRadToDeg = 180.0 / M_PI;
// cos(90.833°): the sun's centre below the horizon by refraction plus its
// apparent radius.
constexpr double kCosZenith = -0.01453808050249674;

double normalized(double value, double range) {
    return std::fmod(std::fmod(value, range) + range, range);
}

QString twoDigitPair(int a, int b) {
    const QChar text[5] = {QChar(u'0' + a / 10 % 10), QChar(u'0' + a % 10), QChar(u':'), QChar(u'0' + b / 10 % 10),
                           QChar(u'0' + b % 10)};
    return QString(text, 5);
}

}  // namespace

SunTimes::Event SunTimes::eventUT(int dayOfYear, bool sunrise, double latitude, double longitude) {
    const double lngHour = longitude / 15.0;
    const double t = dayOfYear + ((sunrise ? 6.0 : 18.0) - lngHour) / 24.0;
    const double m = 0.9856 * t - 3.289;
    const double l =
        normalized(m + 1.916 * std::sin(m * kDegToRad) + 0.020 * std::sin(2 * m * kDegToRad) + 282.634, 360.0);

    double ra = normalized(kRadToDeg * std::atan(0.91764 * std::tan(l * kDegToRad)), 360.0);
    ra += std::floor(l / 90.0) * 90.0 - std::floor(ra / 90.0) * 90.0;
    ra /= 15.0;

    const double sinDec = 0.39782 * std::sin(l * kDegToRad);
    const double cosDec = std::cos(std::asin(sinDec));
    const double cosH = (kCosZenith - sinDec * std::sin(latitude * kDegToRad)) / (cosDec * std::cos(latitude * kDegToRad));

    if (cosH > 1) return {0, SunDayType::polarNight};
    if (cosH < -1) return {0, SunDayType::polarDay};
    if (!std::isfinite(cosH)) return {0, SunDayType::invalid};

    double h = kRadToDeg * std::acos(cosH);
    if (sunrise) h = 360.0 - h;
    h /= 15.0;

    const double localT = h + ra - 0.06571 * t - 6.622;
    const double ut = normalized(localT - lngHour, 24.0);
    if (!std::isfinite(ut)) return {0, SunDayType::invalid};
    return {ut, SunDayType::normal};
}

QDateTime SunTimes::dateFor(CivilDate date, double utHours, const QTimeZone& zone) {
    const qint64 day = daysFromCivil(date);
    qint64 event = day * kMSecsPerDay + std::llround(utHours * 3'600'000.0);
    const qint64 localMidnight = startOfLocalDay(zone, day);
    const qint64 eventDayStart = startOfLocalDay(zone, toLocal(zone, event).days);
    if (eventDayStart > localMidnight) {
        event -= kMSecsPerDay;
    } else if (eventDayStart < localMidnight) {
        event += kMSecsPerDay;
    }
    return QDateTime::fromMSecsSinceEpoch(event, Qt::UTC);
}

double SunTimes::minutesOfDay(const QDateTime& date, const QTimeZone& zone) {
    const LocalTime t = toLocal(zone, date.toMSecsSinceEpoch());
    return double(t.msOfDay) / 60'000.0;
}

QString SunTimes::formatHM(const QDateTime& date, const QTimeZone& zone) {
    const LocalTime t = toLocal(zone, date.toMSecsSinceEpoch());
    return twoDigitPair(t.hour(), t.minute());
}

SunTimes SunTimes::onDay(CivilDate date, double latitude, double longitude, const QTimeZone& zone) {
    const int n = dayOfYear(date);
    const Event rise = eventUT(n, true, latitude, longitude);
    const Event set = eventUT(n, false, latitude, longitude);
    SunTimes result;
    result.type = rise.type != SunDayType::normal ? rise.type : set.type;
    if (result.type == SunDayType::normal) {
        result.sunrise = dateFor(date, rise.utHours, zone);
        result.sunset = dateFor(date, set.utHours, zone);
    }
    return result;
}

}  // namespace corvane
