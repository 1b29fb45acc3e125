#pragma once

// Where the sun and the moon stand in the zenith, and the moon's phase. Short
// series that are good to a fraction of a degree: plenty for a world map, and
// cheap enough to evaluate on every redraw. Pure functions, no state.

#include <QDateTime>
#include <QString>
#include <QtGlobal>

namespace corvane {

struct SubsolarPoint {
    double lat = 0;  // the sun's declination, degrees, north positive
    double lon = 0;  // degrees east, in [-180, 180)
};

struct MoonPosition {
    double lat = 0;          // the moon's declination, degrees
    double lon = 0;          // sublunar longitude, degrees east, in [-180, 180)
    double phase = 0;        // degrees in [0, 360): 0 new, 180 full, rising while waxing
    double illuminated = 0;  // lit fraction of the disc, 0 ... 1
};

// The point where the sun stands overhead. Only whole seconds count.
SubsolarPoint subsolarPoint(qint64 msecsSinceEpoch);
inline SubsolarPoint subsolarPoint(const QDateTime& date) { return subsolarPoint(date.toMSecsSinceEpoch()); }

// The point where the moon stands overhead, with its phase.
MoonPosition moonPosition(qint64 msecsSinceEpoch);
inline MoonPosition moonPosition(const QDateTime& date) { return moonPosition(date.toMSecsSinceEpoch()); }

// "Neumond", "Zunehmende Sichel", ... for a phase angle in degrees.
QString moonPhaseName(double phase);

}  // namespace corvane
