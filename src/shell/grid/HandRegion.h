#pragma once

// What a dial's moving parts cover, so a new frame repaints only the hands
// (where they were and where they are now) instead of the whole dial, and
// how often a smooth second hand is worth a new frame at all.

#include <QRect>
#include <QtGlobal>
#include <array>

#include "dial/AnalogClock.h"

namespace corvane::handregion {

// One hand as drawn: its centre line from the tail to the tip and how far
// paint reaches from that line (halo, antialiasing, the dial's snapping to
// device pixels).
struct Stroke {
    QPointF from;
    QPointF to;
    double reach = 0;
};

// What the last paint covered. Plain values: working out a frame allocates
// nothing.
struct Painted {
    bool drawn = false;
    bool showSeconds = false;
    Stroke hour, minute, second;
    QRectF cap;
    qint64 wholeSecond = -1;
    void record(const AnalogClock& clock, const QRectF& bounds, qint64 msecs);
};

// Where the next frame repaints. A diagonal hand's bounding box is mostly
// face that did not change; a few short boxes along the hand, each taking
// the same stretch of it where it was and where it is now, cover a fraction
// of that. A frame in a new whole second repaints all hands, any other only
// the second hand and the cap.
struct Dirty {
    static constexpr int kPiecesPerHand = 8;
    std::array<QRect, 3 * kPiecesPerHand + 1> rects{};
    int count = 0;

    const QRect* begin() const { return rects.data(); }
    const QRect* end() const { return rects.data() + count; }
    bool isEmpty() const { return count == 0; }
    QRect bounds() const;
    void add(const QRect& rect);
};
Dirty dirtyRects(const Painted& painted, const AnalogClock& clock, const QRectF& bounds, qint64 msecs);

// The key of the picture the hands show at `msecs`: a new key means a new
// frame. A ticking second hand changes once a second. A smooth one changes
// every second or third tick (80 or 120 ms: 0.48 or 0.72 degrees), the
// shorter step where the longer would move the tip more than about two
// device pixels. Whole ticks keep the frames evenly paced; the cap keeps a
// full-screen dial from redrawing at the tick rate.
qint64 frameKey(const AnalogClock& clock, const QRectF& bounds, double devicePixelRatio, qint64 msecs);

// Milliseconds between two pictures of a smooth second hand on a dial in
// `bounds`.
qint64 sweepStepMs(const AnalogClock& clock, const QRectF& bounds, double devicePixelRatio);

}  // namespace corvane::handregion
