#pragma once

// Numbers every part of the dial agrees on: the polar convention, the wall time
// a dial reads, the hand angles and the hand proportions. Kept free of any
// painting so the geometry can be checked as plain numbers.

#include "model/Settings.h"

#include <QPointF>
#include <QTimeZone>
#include <QtGlobal>

#include <limits>

namespace corvane {

// The local wall time a dial shows. The caller may fill it directly or derive
// it from an instant with `at` / `ZoneClock`.
struct DialTime {
    int hour = 0;           // 0...23
    int minute = 0;         // 0...59
    int second = 0;         // 0...59
    qint64 nanosecond = 0;  // 0...999'999'999

    // Reads `msecsSinceEpoch` in `zone` using only the zone's UTC offset. An
    // invalid zone reads as UTC; callers resolve "no zone" to the system zone.
    static DialTime at(qint64 msecsSinceEpoch, const QTimeZone& zone);
    // The same for an instant whose offset from UTC is already known.
    static DialTime fromLocalMSecs(qint64 msecsSinceEpoch, int offsetSeconds);

    bool operator==(const DialTime&) const = default;
};

// Reads wall times of one zone on every tick without asking the zone database
// each time: the offset is kept for the stretch between two transitions.
class ZoneClock {
public:
    explicit ZoneClock(QTimeZone zone = QTimeZone::utc());

    const QTimeZone& zone() const { return zone_; }
    void setZone(const QTimeZone& zone);

    // The UTC offset in seconds that applies at `msecsSinceEpoch`.
    int offsetAt(qint64 msecsSinceEpoch);
    DialTime at(qint64 msecsSinceEpoch) { return DialTime::fromLocalMSecs(msecsSinceEpoch, offsetAt(msecsSinceEpoch)); }

private:
    void refill(qint64 msecsSinceEpoch);

    QTimeZone zone_;
    int offset_ = 0;
    // The cached offset holds for validFrom_ <= t < validUntil_; empty at first.
    qint64 validFrom_ = std::numeric_limits<qint64>::max();
    qint64 validUntil_ = std::numeric_limits<qint64>::min();
};

// Degrees clockwise from 12 o'clock.
struct HandAngles {
    double hour = 0;
    double minute = 0;
    double second = 0;
};

namespace dial {

// Below this diameter (in points) neither face nor hands are drawn.
inline constexpr double kMinimumDiameter = 4.0;

// Beyond this a "dial" can only come from a broken layout; drawing it would
// overflow pixel sizes.
inline constexpr double kMaximumDiameter = 100'000.0;

// Whether a canvas of this size draws nothing: too small, too large, or not a
// number.
inline bool tooSmall(double width, double height) {
    const double d = qMin(width, height);
    return !(d > kMinimumDiameter) || !(d <= kMaximumDiameter);
}

// Degrees clockwise from 12 o'clock at `distance` from `centre`, y growing
// downward.
QPointF polar(QPointF centre, double degrees, double distance);

// The style's multiplier for the hand widths.
double widthFactor(DialStyle style);

struct HandStroke {
    double length = 0;  // from the centre to the tip
    double tail = 0;    // from the centre backwards
    double width = 0;
    double haloWidth = 0;
};

struct HandMetrics {
    HandStroke hour;
    HandStroke minute;
    HandStroke second;
    double capRadius = 0;
    double capStrokeWidth = 0;
};

// Hand proportions of a dial of `diameter` points in `style`.
HandMetrics handMetrics(DialStyle style, double diameter);

}  // namespace dial
}  // namespace corvane
