#pragma once

// A dial's frame repaints a few short boxes along its hands. Clipped to such
// a region of many rectangles, QPainter fills span by span and hands long
// span lists to worker threads; clipped to a single rectangle it copies
// rows. So a drawing is run once per rectangle of the region instead.

#include <QPaintEngine>
#include <QPainter>
#include <QRegion>
#include <QTransform>

namespace corvane::dial {

template <class Draw>
void forEachRepaintRect(QPainter& painter, Draw&& draw) {
    const QPaintEngine* engine = painter.paintEngine();
    const QRegion region = engine ? engine->systemClip() : QRegion();
    const QTransform t = painter.deviceTransform();
    // With a clip of the caller's own, or a transform that turns rectangles
    // into other shapes, the region stays as it is.
    if (region.rectCount() <= 1 || painter.hasClipping() || t.type() > QTransform::TxScale || !t.isInvertible()) {
        draw();
        return;
    }
    const QTransform back = t.inverted();
    painter.save();
    for (const QRect& r : region) {
        // Mapped back exactly: the rectangles share no pixel, and a pixel
        // blended twice would show.
        painter.setClipRect(back.mapRect(QRectF(r)), Qt::ReplaceClip);
        draw();
    }
    painter.restore();
}

}  // namespace corvane::dial
