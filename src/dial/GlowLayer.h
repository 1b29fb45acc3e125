#pragma once

#include <QColor>
#include <QRectF>

#include <functional>

class QPainter;

namespace corvane {

// QPainter has no shadow filter: `paint` draws the glowing elements into a
// layer at the device resolution of `ctx`, whose coverage is blurred, tinted
// with `color` and composited onto `ctx` under `bounds`. The elements
// themselves are not drawn; the caller draws them sharp on top.
// `blur` is the blur radius in points.
void drawGlow(QPainter& ctx, const QRectF& bounds, double blur, const QColor& color,
              const std::function<void(QPainter&)>& paint);

namespace glow {
// Blurs an 8-bit coverage plane in place with three box passes that together
// approximate a Gaussian of standard deviation `sigma` pixels.
void blurCoverage(unsigned char* plane, int width, int height, double sigma);
// Device pixels per point of `ctx`'s current transform.
double deviceScale(const QPainter& ctx);
}  // namespace glow

}  // namespace corvane
