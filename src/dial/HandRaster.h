#pragma once

// The hands are redrawn on every frame of every dial. QPainter's path filler
// hands its spans to a thread pool and waits for it, which costs more than the
// whole drawing of a hand; so the hands are rasterised here instead: capsules
// and rings by their distance field into a small scratch image at device
// resolution, which is blitted 1:1.

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRect>

class QPainter;

namespace corvane {

struct AnalogClockHands;

namespace hands {

// A straight stroke with round caps, in device pixels, drawn as up to two
// layers on the same centre line: first the outer (the halo), then the inner.
struct Capsule {
    QPointF from;
    QPointF to;
    double outerWidth = 0;
    QColor outer;
    double innerWidth = 0;
    QColor inner;
};

// Which hands a call draws: all of them, or the two slow ones, which a
// sweeping dial keeps in a still picture under the second hand and the cap.
enum class Parts { all, hourAndMinute, secondAndCap };

// Draws `hands` into the dial square `rect` through the scratch raster when
// the painter maps points to device pixels by translation and uniform scale;
// returns false (having drawn nothing) otherwise.
bool drawRasterised(QPainter& painter, const QRectF& rect, const AnalogClockHands& hands,
                    Parts parts = Parts::all);

// The calling thread's scratch raster as allocated so far: it grows to the
// largest dial drawn, never with the hands' angle.
QSize scratchSize();

// The same drawing with QPainter strokes, for any transform.
void drawWithPainter(QPainter& painter, const QRectF& rect, const AnalogClockHands& hands);

// Blends one capsule (both layers) into a premultiplied ARGB32 image, clipped to `area`.
void blendCapsule(QImage& image, const QRect& area, const Capsule& capsule);
// Blends a filled disc (ringWidth 0) or a ring of `ringWidth` centred on the
// circle of `radius` into the image, clipped to `area`.
void blendCircle(QImage& image, const QRect& area, QPointF centre, double radius, double ringWidth,
                 const QColor& color);

}  // namespace hands
}  // namespace corvane
