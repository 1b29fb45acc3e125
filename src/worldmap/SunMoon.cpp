#include "worldmap/SunMoon.h"

#include "platform/Text.h"

#include <QDate>

#include <cmath>
#include <algorithm>

namespace corvane {

namespace {

constexpr double kRad = 0.017453292519943295;

double sinDeg(double degrees) { return std::sin(degrees * kRad); }

// x brought into [-180, 180) after shifting by 180 and wrapping at 360.
double wrapLongitude(double shiftedBy180) {
    double x = std::fmod(shiftedBy180, 360.0);
    if (x < 0) x += 360.0;
    // fmod of a value just below 0 can round up to exactly 360.
    if (x >= 360.0) x -= 360.0;
    return x - 180.0;
}

qint64 floorDiv(qint64 a, qint64 b) {
    const qint64 q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

}  // namespace

SubsolarPoint subsolarPoint(qint64 msecsSinceEpoch) {
    // Floor division keeps dates before 1970 on the right calendar day.
    const qint64 seconds = floorDiv(msecsSinceEpoch, 1000);
    const qint64 day = floorDiv(seconds, 86400);
    const qint64 secondOfDay = seconds - day * 86400;
    const QDate date = QDate::fromJulianDay(day + 2440588);
    const int dayOfYear = date.isValid() ? date.dayOfYear() : 1;

    const double hours = double(secondOfDay) / 3600.0;
    const double u = hours - 12.0;
    const double g = 0.01721420632103996 * (dayOfYear - 1 + u / 24.0);

    const double eot = 229.18 * (0.000075 + 0.001868 * std::cos(g) - 0.032077 * std::sin(g) -
                                 0.014615 * std::cos(2 * g) - 0.040849 * std::sin(2 * g));
    const double decl = 0.006918 - 0.399912 * std::cos(g) + 0.070257 * std::sin(g) - 0.006758 * std::cos(2 * g) +
                        0.000907 * std::sin(2 * g) - 0.002697 * std::cos(3 * g) + 0.00148 * std::sin(3 * g);

    return {decl / kRad, wrapLongitude((u + eot / 60.0) * -15.0 + 180.0)};
}

MoonPosition moonPosition(qint64 msecsSinceEpoch) {
    const double d = double(msecsSinceEpoch) / 86400000.0 + 2440587.5 - 2451545.0;

    const double meanLongitude = 218.316 + 13.176396 * d;
    const double meanAnomaly = 134.963 + 13.064993 * d;
    const double latitudeArgument = 93.272 + 13.22935 * d;

    const double lambdaDeg = meanLongitude + 6.289 * sinDeg(meanAnomaly);
    const double lambda = lambdaDeg * kRad;
    const double beta = 5.128 * sinDeg(latitudeArgument) * kRad;
    const double eps = (23.439 - 0.0000004 * d) * kRad;

    const double ra = std::atan2(std::sin(lambda) * std::cos(eps) - std::tan(beta) * std::sin(eps), std::cos(lambda));
    const double decArg = std::sin(beta) * std::cos(eps) + std::cos(beta) * std::sin(eps) * std::sin(lambda);
    const double dec = std::asin(std::clamp(decArg, -1.0, 1.0));

    const double gmst = 280.46061837 + 360.98564736629 * d;
    const double lon = wrapLongitude(ra / kRad - gmst + 180.0);

    const double sunAnomaly = 357.528 + 0.9856003 * d;
    const double sunLongitude = 280.46 + 0.9856474 * d + 1.915 * sinDeg(sunAnomaly) + 0.02 * sinDeg(2 * sunAnomaly);
    double phase = std::fmod(lambdaDeg - sunLongitude, 360.0);
    if (phase < 0) phase += 360.0;
    if (phase >= 360.0) phase -= 360.0;

    return {dec / kRad, lon, phase, (1.0 - std::cos(phase * kRad)) / 2.0};
}

QString moonPhaseName(double p) {
    if (p < 10 || p >= 350) return tr("Neumond");
    if (p < 80) return tr("Zunehmende Sichel");
    if (p < 100) return tr("Erstes Viertel");
    if (p < 170) return tr("Zunehmender Mond");
    if (p < 190) return tr("Vollmond");
    if (p < 260) return tr("Abnehmender Mond");
    if (p < 280) return tr("Letztes Viertel");
    return tr("Abnehmende Sichel");
}

}  // namespace corvane
