#include "shell/grid/HandRegion.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "dial/DialGeometry.h"

namespace corvane::handregion {

namespace {

// Antialiasing, halo softness and the snap of the dial to a device pixel.
constexpr double kMargin = 3.0;
// Shorter pieces cover less face but cost a rectangle each in the repaint,
// the flush and the copy to the X server.
constexpr double kPieceLength = 48.0;
constexpr double kWholeBelow = 120.0;

qint64 wholeSecondOf(qint64 msecs) { return msecs >= 0 ? msecs / 1000 : (msecs - 999) / 1000; }

Stroke strokeOf(QPointF centre, double degrees, const dial::HandStroke& s) {
    return {dial::polar(centre, degrees, -s.tail), dial::polar(centre, degrees, s.length),
            std::max(s.width, s.haloWidth) / 2 + kMargin};
}

QRect boxOf(std::initializer_list<QPointF> points, double reach) {
    double left = points.begin()->x(), right = left, top = points.begin()->y(), bottom = top;
    for (const QPointF& p : points) {
        left = std::min(left, p.x());
        right = std::max(right, p.x());
        top = std::min(top, p.y());
        bottom = std::max(bottom, p.y());
    }
    return QRectF(QPointF(left - reach, top - reach), QPointF(right + reach, bottom + reach)).toAlignedRect();
}

// Pieces of the hand where it was (`was`, unless `fresh`) and where it is
// now, piece i of one beside piece i of the other.
void addStroke(Dirty& dirty, const Stroke& now, const Stroke* was, bool& split) {
    if (was && was->from == now.from && was->to == now.to && was->reach == now.reach) return;
    const auto lengthOf = [](const Stroke& s) { return std::hypot(s.to.x() - s.from.x(), s.to.y() - s.from.y()); };
    const double length = std::max(lengthOf(now), was ? lengthOf(*was) : 0.0);
    // A short hand's box is small already: splitting it would only add
    // rectangles (a grid of small dials repaints two dozen of them).
    const int pieces =
        length < kWholeBelow ? 1 : std::clamp(int(std::ceil(length / kPieceLength)), 1, Dirty::kPiecesPerHand);
    split = split || pieces > 1;
    const double reach = std::max(now.reach, was ? was->reach : 0.0);
    for (int i = 0; i < pieces; ++i) {
        const double t0 = double(i) / pieces, t1 = double(i + 1) / pieces;
        const QPointF a = now.from + (now.to - now.from) * t0, b = now.from + (now.to - now.from) * t1;
        if (!was) {
            dirty.add(boxOf({a, b}, reach));
            continue;
        }
        const QPointF c = was->from + (was->to - was->from) * t0, d = was->from + (was->to - was->from) * t1;
        dirty.add(boxOf({a, b, c, d}, reach));
    }
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

Painted paintedOf(const AnalogClock& clock, const QRectF& bounds, qint64 msecs) {
    Painted p;
    p.wholeSecond = wholeSecondOf(msecs);
    const Geometry g = geometryOf(clock, bounds);
    if (!g.drawn) return p;
    p.drawn = true;
    p.showSeconds = g.hands.showSeconds;
    const HandAngles a = AnalogClockHands::angles(g.hands.time, g.hands.smoothSeconds);
    p.hour = strokeOf(g.centre, a.hour, g.metrics.hour);
    p.minute = strokeOf(g.centre, a.minute, g.metrics.minute);
    p.second = strokeOf(g.centre, a.second, g.metrics.second);
    const double cap = g.metrics.capRadius + g.metrics.capStrokeWidth + kMargin;
    p.cap = QRectF(g.centre - QPointF(cap, cap), g.centre + QPointF(cap, cap));
    return p;
}

}  // namespace

QRect Dirty::bounds() const {
    QRect r;
    for (const QRect& piece : *this) r = r.united(piece);
    return r;
}

void Dirty::add(const QRect& rect) {
    if (rect.isEmpty() || count == int(rects.size())) return;
    rects[std::size_t(count++)] = rect;
}

void Painted::record(const AnalogClock& clock, const QRectF& bounds, qint64 msecs) {
    *this = paintedOf(clock, bounds, msecs);
}

Dirty dirtyRects(const Painted& painted, const AnalogClock& clock, const QRectF& bounds, qint64 msecs) {
    Dirty dirty;
    bool split = false;
    const Painted now = paintedOf(clock, bounds, msecs);
    const bool wasDrawn = painted.drawn;
    const bool allHands = wholeSecondOf(msecs) != painted.wholeSecond || !clock.showSeconds;
    if (now.drawn) {
        if (allHands) {
            addStroke(dirty, now.hour, wasDrawn ? &painted.hour : nullptr, split);
            addStroke(dirty, now.minute, wasDrawn ? &painted.minute : nullptr, split);
        }
        if (now.showSeconds) addStroke(dirty, now.second, wasDrawn && painted.showSeconds ? &painted.second : nullptr, split);
        dirty.add(now.cap.toAlignedRect());
    }
    if (wasDrawn) {
        // What is no longer drawn at all goes with its whole stroke.
        if (!now.drawn) {
            addStroke(dirty, painted.hour, nullptr, split);
            addStroke(dirty, painted.minute, nullptr, split);
        }
        if (painted.showSeconds && (!now.drawn || !now.showSeconds)) addStroke(dirty, painted.second, nullptr, split);
        if (!now.drawn) dirty.add(painted.cap.toAlignedRect());
    }
    // A small dial's boxes overlap: one rectangle around them repaints
    // about as much and is drawn in one pass.
    if (!split && dirty.count > 1) {
        const QRect all = dirty.bounds();
        dirty.count = 0;
        dirty.add(all);
    }
    return dirty;
}

qint64 sweepStepMs(const AnalogClock& clock, const QRectF& bounds, double devicePixelRatio) {
    constexpr qint64 kTickMs = 40, kShortest = 2 * kTickMs, kLongest = 3 * kTickMs;
    const QRectF square = AnalogClock::dialRect(bounds);
    const double d = std::min(square.width(), square.height());
    const double tip = dial::handMetrics(clock.style, d).second.length * std::max(1.0, devicePixelRatio);
    if (!(tip > 0)) return kLongest;
    // Milliseconds for the tip to travel two device pixels along its circle.
    const double twoPixels = 2 * 60000.0 / (2 * std::numbers::pi * tip);
    return std::clamp<qint64>(qint64(std::ceil(twoPixels / kTickMs)) * kTickMs, kShortest, kLongest);
}

qint64 frameKey(const AnalogClock& clock, const QRectF& bounds, double devicePixelRatio, qint64 msecs) {
    if (!clock.smoothSeconds || !clock.showSeconds) return wholeSecondOf(msecs);
    const qint64 step = sweepStepMs(clock, bounds, devicePixelRatio);
    // Every whole second is a frame of its own: it also moves the hour and
    // minute hands.
    const qint64 second = wholeSecondOf(msecs);
    return second * 1024 + (msecs - second * 1000) / step;
}

}  // namespace corvane::handregion
