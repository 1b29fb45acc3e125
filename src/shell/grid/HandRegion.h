#pragma once

// What a dial's moving parts cover, so a new frame repaints only the hands
// (where they were and where they are now) instead of the whole dial, and
// how often a smooth second hand is worth a new frame at all.

#include <QRect>
#include <QtGlobal>

#include "dial/AnalogClock.h"

namespace corvane::handregion {

// The hands and the centre cap of `clock` drawn into `bounds` (the dial
// lies centred in it), with room for antialiasing and the dial's snapping to
// device pixels. Empty when the dial is too small to be drawn.
QRectF handsRect(const AnalogClock& clock, const QRectF& bounds);
// The second hand and the cap alone: between two whole seconds the hour and
// minute hands move by a fraction of a pixel, so a frame within the second
// repaints only this.
QRectF secondHandRect(const AnalogClock& clock, const QRectF& bounds);

// What the last paint covered, and where the next frame repaints: a frame in
// a new whole second repaints all hands, any other only the second hand,
// each where it was and where it is now. Plain rectangles: working out a
// frame allocates nothing.
struct Painted {
    QRectF all;
    QRectF second;
    qint64 wholeSecond = -1;
    void record(const AnalogClock& clock, const QRectF& bounds, qint64 msecs);
};
QRect dirtyRect(const Painted& painted, const AnalogClock& clock, const QRectF& bounds, qint64 msecs);

// The key of the picture the hands show at `msecs`: a new key means a new
// frame. A ticking second hand changes once a second; a smooth one when its
// tip has moved about two device pixels (at least eight times a second), so
// a small dial is not redrawn 25 times a second for movements no one sees.
qint64 frameKey(const AnalogClock& clock, const QRectF& bounds, double devicePixelRatio, qint64 msecs);

}  // namespace corvane::handregion
