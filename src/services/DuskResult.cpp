#include "services/DuskResult.h"

#include "platform/Text.h"
#include "platform/TimeZones.h"
#include "services/SunTimes.h"

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

constexpr double kMinutesPerDay = 1440.0;

double wrap(double minutes) {
    return std::fmod(std::fmod(minutes, kMinutesPerDay) + kMinutesPerDay, kMinutesPerDay);
}

QString hm(qint64 hour, qint64 minute) {
    return QStringLiteral("%1:%2").arg(hour, 2, 10, QLatin1Char('0')).arg(minute, 2, 10, QLatin1Char('0'));
}

double smoothstep(double x) {
    return x * x * (3.0 - 2.0 * x);
}

bool coordinatesValid(double latitude, double longitude) {
    return std::isfinite(latitude) && std::isfinite(longitude) && std::abs(latitude) <= 90.0 &&
           std::abs(longitude) <= 180.0;
}

}  // namespace

double DuskResult::curve(double dayStart, double nightStart, double nowMinutes, double rampWidth) {
    if (std::abs(dayStart - nightStart) < 1e-6) return 1.0;
    const double dayLength = wrap(nightStart - dayStart);
    // NaN-safe: a width that is not a number counts as a hard switch.
    double w = std::min({dayLength, kMinutesPerDay - dayLength, rampWidth});
    if (!(w > 0)) w = 0;
    const double sinceDay = wrap(nowMinutes - dayStart);
    const double sinceNight = wrap(nowMinutes - nightStart);
    if (sinceDay <= sinceNight) {
        if (w <= 0) return 1.0;
        return smoothstep(std::clamp(sinceDay / w, 0.0, 1.0));
    }
    if (w <= 0) return 0.0;
    return 1.0 - smoothstep(std::clamp(sinceNight / w, 0.0, 1.0));
}

double DuskResult::scheduleBrightness(const DuskSettings& settings, double nowMinutes, double rampWidth) {
    // In floating point: a hostile hour must not overflow an integer.
    const double dayStart = wrap(double(settings.dayStartHour) * 60 + double(settings.dayStartMinute));
    const double nightStart = wrap(double(settings.nightStartHour) * 60 + double(settings.nightStartMinute));
    return curve(dayStart, nightStart, nowMinutes, rampWidth);
}

DuskResult DuskResult::compute(const DuskSettings& settings, const QDateTime& now, const QTimeZone& zone) {
    const double nowMin = SunTimes::minutesOfDay(now, zone);
    const double width = double(settings.transitionMinutes);

    auto fallback = [&] {
        const QString schedule = hm(settings.dayStartHour, settings.dayStartMinute) + QStringLiteral(" / ") +
                                 hm(settings.nightStartHour, settings.nightStartMinute);
        return DuskResult{scheduleBrightness(settings, nowMin, width),
                          tr("Ungültige Koordinaten – Ersatz: Zeitsteuerung (%1\u00A0Uhr).").arg(schedule), true};
    };

    if (settings.source == DuskSource::schedule) {
        return DuskResult{scheduleBrightness(settings, nowMin, width),
                          tr("Tag ab %1\u00A0Uhr · Nacht ab %2\u00A0Uhr")
                              .arg(hm(settings.dayStartHour, settings.dayStartMinute),
                                   hm(settings.nightStartHour, settings.nightStartMinute)),
                          false};
    }

    if (!coordinatesValid(settings.latitude, settings.longitude)) return fallback();

    const CivilDate today = toLocal(zone, now.toMSecsSinceEpoch()).date();
    const SunTimes sun = SunTimes::onDay(today, settings.latitude, settings.longitude, zone);
    switch (sun.type) {
    case SunDayType::polarDay:
        return DuskResult{1.0, tr("Polartag – die Sonne geht heute nicht unter."), false};
    case SunDayType::polarNight:
        return DuskResult{0.0, tr("Polarnacht – die Sonne geht heute nicht auf."), false};
    case SunDayType::invalid:
        return fallback();
    case SunDayType::normal:
        break;
    }

    const double riseMin = SunTimes::minutesOfDay(*sun.sunrise, zone);
    const double setMin = SunTimes::minutesOfDay(*sun.sunset, zone);
    // The ramps are centred on the events.
    const double brightness = curve(wrap(riseMin - width / 2), wrap(setMin - width / 2), nowMin, width);
    return DuskResult{brightness,
                      tr("Sonnenaufgang %1\u00A0Uhr · Sonnenuntergang %2\u00A0Uhr")
                          .arg(SunTimes::formatHM(*sun.sunrise, zone), SunTimes::formatHM(*sun.sunset, zone)),
                      false};
}

}  // namespace corvane
