#include "shell/grid/HandRegion.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "dial/DialGeometry.h"

namespace corvane::handregion {

namespace {

// Antialiasing, halo softness and the snap of the dial to a device pixel.
constexpr double kMargin = 3.0;

qint64 wholeSecondOf(qint64 msecs) { return msecs >= 0 ? msecs / 1000 : (msecs - 999) / 1000; }

void addStroke(QRectF& box, QPointF centre, double degrees, const dial::HandStroke& s) {
    const QPointF from = dial::polar(centre, degrees, -s.tail);
    const QPointF to = dial::polar(centre, degrees, s.length);
    const double reach = std::max(s.width, s.haloWidth) / 2 + kMargin;
    box = box.united(QRectF(QPointF(std::min(from.x(), to.x()) - reach, std::min(from.y(), to.y()) - reach),
                            QPointF(std::max(from.x(), to.x()) + reach, std::max(from.y(), to.y()) + reach)));
}

struct Geometry {
    bool drawn = false;
    AnalogClockHands hands;
    dial::HandMetrics metrics;
    QPointF centre;
};

Geometry geometryOf(const AnalogClock& clock, const QRectF& bounds) {
    Geometry g;
    const QRectF square = AnalogClock::dialRect(bounds);
    const double d = std::min(square.width(), square.height());
    if (dial::tooSmall(d, d)) return g;
    g.drawn = true;
    g.hands = clock.content().hands;
    g.metrics = dial::handMetrics(g.hands.style, d);
    g.centre = square.center();
    return g;
}

QRectF capRect(const Geometry& g) {
    const double cap = g.metrics.capRadius + g.metrics.capStrokeWidth + kMargin;
    return QRectF(g.centre - QPointF(cap, cap), g.centre + QPointF(cap, cap));
}

}  // namespace

QRectF handsRect(const AnalogClock& clock, const QRectF& bounds) {
    const Geometry g = geometryOf(clock, bounds);
    if (!g.drawn) return {};
    const HandAngles a = AnalogClockHands::angles(g.hands.time, g.hands.smoothSeconds);
    QRectF region = capRect(g);
    addStroke(region, g.centre, a.hour, g.metrics.hour);
    addStroke(region, g.centre, a.minute, g.metrics.minute);
    if (g.hands.showSeconds) addStroke(region, g.centre, a.second, g.metrics.second);
    return region;
}

QRectF secondHandRect(const AnalogClock& clock, const QRectF& bounds) {
    const Geometry g = geometryOf(clock, bounds);
    if (!g.drawn || !g.hands.showSeconds) return {};
    QRectF region = capRect(g);
    addStroke(region, g.centre, AnalogClockHands::angles(g.hands.time, g.hands.smoothSeconds).second,
              g.metrics.second);
    return region;
}

void Painted::record(const AnalogClock& clock, const QRectF& bounds, qint64 msecs) {
    all = handsRect(clock, bounds);
    second = secondHandRect(clock, bounds);
    wholeSecond = wholeSecondOf(msecs);
}

QRect dirtyRect(const Painted& painted, const AnalogClock& clock, const QRectF& bounds, qint64 msecs) {
    if (wholeSecondOf(msecs) != painted.wholeSecond || !clock.showSeconds)
        return painted.all.united(handsRect(clock, bounds)).toAlignedRect();
    return painted.second.united(secondHandRect(clock, bounds)).toAlignedRect();
}

qint64 frameKey(const AnalogClock& clock, const QRectF& bounds, double devicePixelRatio, qint64 msecs) {
    if (!clock.smoothSeconds || !clock.showSeconds) return wholeSecondOf(msecs);
    const QRectF square = AnalogClock::dialRect(bounds);
    const double d = std::min(square.width(), square.height());
    const double tip = dial::handMetrics(clock.style, d).second.length * std::max(1.0, devicePixelRatio);
    // Milliseconds for the tip to travel two device pixels along its circle,
    // but never fewer than eight frames a second (a fine sweep watch's beat).
    const double perStep = tip > 0 ? 2 * 60000.0 / (2 * std::numbers::pi * tip) : 125.0;
    const qint64 step = std::clamp<qint64>(qint64(perStep), 1, 125);
    // Every whole second is a frame of its own: it also moves the hour and
    // minute hands.
    const qint64 second = wholeSecondOf(msecs);
    return second * 1024 + (msecs - second * 1000) / step;
}

}  // namespace corvane::handregion
