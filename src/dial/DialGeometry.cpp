#include "dial/DialGeometry.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

constexpr qint64 kMSecsPerDay = 86'400'000;

// Floor division, so instants before 1970 still land in the right day.
qint64 floorMod(qint64 value, qint64 divisor) {
    const qint64 r = value % divisor;
    return r < 0 ? r + divisor : r;
}

}  // namespace

DialTime DialTime::fromLocalMSecs(qint64 msecsSinceEpoch, int offsetSeconds) {
    const qint64 ofDay = floorMod(msecsSinceEpoch + qint64(offsetSeconds) * 1000, kMSecsPerDay);
    DialTime t;
    t.hour = int(ofDay / 3'600'000);
    t.minute = int(ofDay / 60'000 % 60);
    t.second = int(ofDay / 1000 % 60);
    t.nanosecond = ofDay % 1000 * 1'000'000;
    return t;
}

DialTime DialTime::at(qint64 msecsSinceEpoch, const QTimeZone& zone) {
    const int offset =
        zone.isValid() ? zone.offsetFromUtc(QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch, Qt::UTC)) : 0;
    return fromLocalMSecs(msecsSinceEpoch, offset);
}

ZoneClock::ZoneClock(QTimeZone zone) : zone_(std::move(zone)) {}

void ZoneClock::setZone(const QTimeZone& zone) {
    if (zone == zone_) return;
    zone_ = zone;
    validFrom_ = std::numeric_limits<qint64>::max();
    validUntil_ = std::numeric_limits<qint64>::min();
}

int ZoneClock::offsetAt(qint64 msecsSinceEpoch) {
    if (msecsSinceEpoch < validFrom_ || msecsSinceEpoch >= validUntil_) refill(msecsSinceEpoch);
    return offset_;
}

void ZoneClock::refill(qint64 msecsSinceEpoch) {
    const QDateTime when = QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch, Qt::UTC);
    if (!zone_.isValid()) {
        offset_ = 0;
        validFrom_ = std::numeric_limits<qint64>::min();
        validUntil_ = std::numeric_limits<qint64>::max();
        return;
    }
    offset_ = zone_.offsetFromUtc(when);
    if (!zone_.hasTransitions()) {
        validFrom_ = std::numeric_limits<qint64>::min();
        validUntil_ = std::numeric_limits<qint64>::max();
        return;
    }
    // previousTransition is strictly before its argument, so ask from one
    // millisecond later to include a transition at exactly this instant.
    const QTimeZone::OffsetData prev = zone_.previousTransition(when.addMSecs(1));
    const QTimeZone::OffsetData next = zone_.nextTransition(when);
    validFrom_ = prev.atUtc.isValid() ? prev.atUtc.toMSecsSinceEpoch() : std::numeric_limits<qint64>::min();
    validUntil_ = next.atUtc.isValid() ? next.atUtc.toMSecsSinceEpoch() : std::numeric_limits<qint64>::max();
    if (validFrom_ > msecsSinceEpoch || validUntil_ <= msecsSinceEpoch) {
        // A zone backend that answers inconsistently: never trust the window.
        validFrom_ = msecsSinceEpoch;
        validUntil_ = msecsSinceEpoch + 1;
    }
    // Never hold an offset for longer than a day: zone data with rules far in
    // the future is computed lazily and may disagree with a transition list.
    validFrom_ = std::max(validFrom_, msecsSinceEpoch - kMSecsPerDay);
    validUntil_ = std::min(validUntil_, msecsSinceEpoch + kMSecsPerDay);
}

namespace dial {

QPointF polar(QPointF centre, double degrees, double distance) {
    const double a = degrees * M_PI / 180.0;
    return {centre.x() + std::sin(a) * distance, centre.y() - std::cos(a) * distance};
}

double widthFactor(DialStyle style) {
    switch (style) {
    case DialStyle::minimal: return 0.75;
    case DialStyle::modern: return 1.35;
    case DialStyle::elegant: return 0.6;
    case DialStyle::classic:
    case DialStyle::roman:
    case DialStyle::dots:
    case DialStyle::gradient:
    case DialStyle::night: return 1.0;
    }
    return 1.0;
}

namespace {

HandStroke stroke(double length, double tail, double width) {
    return {length, tail, width, width + std::max(0.35 * width, 1.5)};
}

}  // namespace

HandMetrics handMetrics(DialStyle style, double diameter) {
    const double d = diameter;
    const double r = d / 2;
    const double f = widthFactor(style);
    HandMetrics m;
    m.hour = stroke(0.5 * r, 0.08 * r, 0.034 * d * f);
    m.minute = stroke((style == DialStyle::elegant ? 0.82 : 0.76) * r, 0.08 * r, 0.022 * d * f);
    // A wide style never thickens the second hand.
    m.second = stroke(0.86 * r, 0.18 * r, std::max(0.009 * d * std::min(f, 1.0), 1.0));
    m.capRadius = 0.022 * d * std::clamp(f, 0.8, 1.2);
    m.capStrokeWidth = std::max(0.003 * d, 1.0);
    return m;
}

}  // namespace dial
}  // namespace corvane
