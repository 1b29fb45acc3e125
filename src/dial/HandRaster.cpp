#include "dial/HandRaster.h"

#include <QPaintEngine>
#include <QRegion>

#include "dial/AnalogClock.h"
#include "dial/DialGeometry.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

namespace corvane::hands {

namespace {

struct Premultiplied {
    float r, g, b, a;  // 0...255, colour channels already multiplied by alpha
};

Premultiplied premultiplied(const QColor& color) {
    const QRgb c = color.rgba();
    const float a = float(qAlpha(c)) / 255.0f;
    return {float(qRed(c)) * a, float(qGreen(c)) * a, float(qBlue(c)) * a, float(qAlpha(c))};
}

inline void blendPixel(QRgb& dst, const Premultiplied& src, float coverage) {
    const float sa = src.a * coverage;
    if (sa <= 0.0f) return;
    const float keep = 1.0f - sa / 255.0f;
    const int r = int(src.r * coverage + float(qRed(dst)) * keep + 0.5f);
    const int g = int(src.g * coverage + float(qGreen(dst)) * keep + 0.5f);
    const int b = int(src.b * coverage + float(qBlue(dst)) * keep + 0.5f);
    const int a = int(sa + float(qAlpha(dst)) * keep + 0.5f);
    dst = qRgba(std::min(r, 255), std::min(g, 255), std::min(b, 255), std::min(a, 255));
}

// Coverage of a pixel whose centre lies `inside` pixels within an edge
// (negative outside): a one-pixel linear ramp centred on the edge.
inline float ramp(double inside) { return float(std::clamp(inside + 0.5, 0.0, 1.0)); }

QRect clampedBox(double left, double top, double right, double bottom, const QRect& area) {
    const QRect box(QPoint(int(std::floor(left)), int(std::floor(top))),
                    QPoint(int(std::ceil(right)), int(std::ceil(bottom))));
    return box.intersected(area);
}

}  // namespace

namespace {

struct Layer {
    Premultiplied color;
    double half = 0;
    double fullSquared = 0;   // within this squared distance the pixel is fully covered
    double reachSquared = 0;  // beyond it the pixel is untouched
    bool used = false;
};

Layer layer(double width, const QColor& color) {
    Layer l;
    l.half = width / 2;
    if (!(l.half > 0) || color.alpha() == 0) return l;
    l.color = premultiplied(color);
    const double full = std::max(l.half - 0.5, 0.0);
    l.fullSquared = l.half > 0.5 ? full * full : -1.0;
    l.reachSquared = (l.half + 0.5) * (l.half + 0.5);
    l.used = true;
    return l;
}

inline void blendLayer(QRgb& dst, const Layer& l, double distanceSquared) {
    if (!l.used || distanceSquared >= l.reachSquared) return;
    const float coverage = distanceSquared <= l.fullSquared ? 1.0f : ramp(l.half - std::sqrt(distanceSquared));
    if (coverage > 0) blendPixel(dst, l.color, coverage);
}

// Hull of a and [lo, hi].
inline void widen(double& a0, double& a1, double lo, double hi) {
    a0 = std::min(a0, lo);
    a1 = std::max(a1, hi);
}

}  // namespace

void blendCapsule(QImage& image, const QRect& area, const Capsule& capsule) {
    const Layer outer = layer(capsule.outerWidth, capsule.outer);
    const Layer inner = layer(capsule.innerWidth, capsule.inner);
    if (!outer.used && !inner.used) return;
    const double reach = std::max(outer.used ? outer.half : 0.0, inner.used ? inner.half : 0.0) + 0.5;
    const double ax = capsule.from.x(), ay = capsule.from.y();
    const double bx = capsule.to.x(), by = capsule.to.y();
    const double dx = bx - ax, dy = by - ay;
    const double lengthSquared = dx * dx + dy * dy;
    const double length = std::sqrt(lengthSquared);
    const QRect box = clampedBox(std::min(ax, bx) - reach, std::min(ay, by) - reach, std::max(ax, bx) + reach,
                                 std::max(ay, by) + reach, area);
    if (box.isEmpty()) return;
    const double inverseLengthSquared = lengthSquared > 0 ? 1.0 / lengthSquared : 0.0;
    // Inside the opaque hand the pixel is the hand's colour, whatever lies below.
    const bool solidCore = inner.used && inner.color.a >= 255.0f;
    const QRgb core = solidCore ? capsule.inner.rgba() : 0;
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    for (int y = box.top(); y <= box.bottom(); ++y) {
        const double py = y + 0.5;
        // The row's stretch within reach of the stroke: where the widened
        // centre line crosses the row, and the two round ends.
        double x0 = std::numeric_limits<double>::max(), x1 = std::numeric_limits<double>::lowest();
        if (std::abs(dy) > 1e-9) {
            const double cross = ax + (py - ay) * dx / dy;
            const double extent = reach * length / std::abs(dy);
            widen(x0, x1, cross - extent, cross + extent);
        } else {
            widen(x0, x1, std::min(ax, bx), std::max(ax, bx));
        }
        for (const QPointF end : {capsule.from, capsule.to}) {
            const double ey = py - end.y();
            if (std::abs(ey) <= reach) {
                const double ex = std::sqrt(reach * reach - ey * ey);
                widen(x0, x1, end.x() - ex, end.x() + ex);
            }
        }
        const int from = std::max(box.left(), int(std::floor(x0)));
        const int to = std::min(box.right(), int(std::ceil(x1)));
        auto* row = reinterpret_cast<QRgb*>(bits + stride * y);
        const double rowDot = (py - ay) * dy;
        for (int x = from; x <= to; ++x) {
            const double px = x + 0.5;
            const double t = std::clamp(((px - ax) * dx + rowDot) * inverseLengthSquared, 0.0, 1.0);
            const double ex = px - (ax + t * dx), ey = py - (ay + t * dy);
            const double distanceSquared = ex * ex + ey * ey;
            if (solidCore && distanceSquared <= inner.fullSquared) {
                row[x] = core;
                continue;
            }
            blendLayer(row[x], outer, distanceSquared);
            blendLayer(row[x], inner, distanceSquared);
        }
    }
}

void blendCircle(QImage& image, const QRect& area, QPointF centre, double radius, double ringWidth,
                 const QColor& color) {
    if (!(radius > 0) || color.alpha() == 0) return;
    const Premultiplied src = premultiplied(color);
    const double reach = radius + ringWidth / 2 + 1;
    const QRect box =
        clampedBox(centre.x() - reach, centre.y() - reach, centre.x() + reach, centre.y() + reach, area);
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    for (int y = box.top(); y <= box.bottom(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(bits + stride * y);
        const double ey = y + 0.5 - centre.y();
        for (int x = box.left(); x <= box.right(); ++x) {
            const double ex = x + 0.5 - centre.x();
            const double d = std::sqrt(ex * ex + ey * ey);
            const float coverage = ringWidth > 0 ? ramp(ringWidth / 2 - std::abs(d - radius)) : ramp(radius - d);
            if (coverage > 0) blendPixel(row[x], src, coverage);
        }
    }
}

namespace {

struct HandPlan {
    std::array<Capsule, 3> strokes;  // hour, minute, second
    int count = 0;
    QPointF centre;
    double capRadius = 0;
    double capStroke = 0;
    QColor capFill, capOutline;
    bool cap = true;
};

// The hands in drawing order, in the coordinates of `rect` scaled by `scale`.
HandPlan plan(const QRectF& rect, const AnalogClockHands& h, double scale, QPointF shift, Parts parts) {
    const double d = std::min(rect.width(), rect.height());
    const QPointF c = rect.center() * scale + shift;
    const dial::HandMetrics m = dial::handMetrics(h.style, d);
    const HandAngles a = AnalogClockHands::angles(h.time, h.smoothSeconds);
    QColor halo = h.outline;
    halo.setAlphaF(float(halo.alphaF() * 0.35));
    HandPlan p;
    auto add = [&](double degrees, const dial::HandStroke& s, const QColor& color) {
        const QPointF from = dial::polar(c, degrees, -s.tail * scale);
        const QPointF to = dial::polar(c, degrees, s.length * scale);
        p.strokes[std::size_t(p.count++)] = Capsule{from, to, s.haloWidth * scale, halo, s.width * scale, color};
    };
    if (parts != Parts::secondAndCap) {
        add(a.hour, m.hour, h.hand);
        add(a.minute, m.minute, h.hand);
    }
    if (h.showSeconds && parts != Parts::hourAndMinute) add(a.second, m.second, h.secondHand);
    p.cap = parts != Parts::hourAndMinute;
    p.centre = c;
    p.capRadius = m.capRadius * scale;
    p.capStroke = m.capStrokeWidth * scale;
    p.capFill = h.secondHand;
    p.capOutline = h.outline;
    return p;
}

constexpr double kMaxTurnPixels = 2048;

QImage& scratchImage(QSize atLeast) {
    // One per thread, grown as needed and reused: a frame allocates nothing.
    thread_local QImage scratch;
    if (scratch.width() < atLeast.width() || scratch.height() < atLeast.height()) {
        scratch = QImage(std::max(atLeast.width(), scratch.width()), std::max(atLeast.height(), scratch.height()),
                         QImage::Format_ARGB32_Premultiplied);
        // Touched whole now: else each frame that reaches a part no hand
        // covered before faults those pages in, for the first minute.
        if (!scratch.isNull()) scratch.fill(0);
    }
    return scratch;
}

}  // namespace

QSize scratchSize() { return scratchImage(QSize(0, 0)).size(); }

bool drawRasterised(QPainter& painter, const QRectF& rect, const AnalogClockHands& hands, Parts parts) {
    const QTransform t = painter.deviceTransform();
    if (t.type() > QTransform::TxScale || !(t.m11() > 0) || std::abs(t.m11() - t.m22()) > 1e-9) return false;
    const double scale = t.m11();
    const QPointF shift(t.dx(), t.dy());
    const HandPlan p = plan(rect, hands, scale, shift, parts);
    if (p.count == 0 && !p.cap) return true;

    // Device-pixel box around everything the hands can touch.
    double left = p.centre.x() - p.capRadius - p.capStroke, right = p.centre.x() + p.capRadius + p.capStroke;
    double top = p.centre.y() - p.capRadius - p.capStroke, bottom = p.centre.y() + p.capRadius + p.capStroke;
    for (int i = 0; i < p.count; ++i) {
        const Capsule& s = p.strokes[std::size_t(i)];
        const double reach = s.outerWidth / 2 + 1;
        left = std::min({left, s.from.x() - reach, s.to.x() - reach});
        right = std::max({right, s.from.x() + reach, s.to.x() + reach});
        top = std::min({top, s.from.y() - reach, s.to.y() - reach});
        bottom = std::max({bottom, s.from.y() + reach, s.to.y() + reach});
    }
    const QPoint origin(int(std::floor(left)), int(std::floor(top)));
    const QSize size(int(std::ceil(right)) - origin.x() + 1, int(std::ceil(bottom)) - origin.y() + 1);
    if (size.width() <= 0 || size.height() <= 0 || size.width() > 8192 || size.height() > 8192) return false;
    // The box turns with the hands, so a scratch sized to it would grow a
    // little on most frames of a sweeping second hand, each time a new
    // allocation whose pages fault in on first touch. It is sized once for
    // the disc the hands reach at any angle instead, up to a size where
    // that would hold far more memory than the box.
    double disc = p.capRadius + p.capStroke;
    for (int i = 0; i < p.count; ++i) {
        const Capsule& s = p.strokes[std::size_t(i)];
        const QPointF a = s.from - p.centre, b = s.to - p.centre;
        disc = std::max({disc, std::hypot(a.x(), a.y()) + s.outerWidth / 2 + 1,
                         std::hypot(b.x(), b.y()) + s.outerWidth / 2 + 1});
    }
    const double turn = std::ceil(2 * disc) + 3;
    const QSize room = turn <= kMaxTurnPixels ? size.expandedTo(QSize(int(turn), int(turn))) : size;

    // Only what the painter may change is rasterised, piece by piece of the
    // repaint region: a frame that repaints a few short boxes along a
    // diagonal hand skips the face between them.
    const QRect all(QPoint(0, 0), size);
    QRegion system;
    if (const QPaintEngine* engine = painter.paintEngine()) system = engine->systemClip();
    QRect user;
    if (painter.hasClipping())
        user = painter.deviceTransform().mapRect(painter.clipBoundingRect()).toAlignedRect().translated(-origin);

    QImage& scratch = scratchImage(room);
    if (scratch.isNull()) return false;
    uchar* const bits = scratch.bits();
    const QPointF toScratch(-origin.x(), -origin.y());
    scratch.setDevicePixelRatio(scale);
    const auto drawArea = [&](QRect area) {
        area = area.intersected(all);
        if (!user.isNull()) area = area.intersected(user);
        if (area.isEmpty()) return;
        for (int y = area.top(); y <= area.bottom(); ++y)
            std::memset(bits + scratch.bytesPerLine() * y + std::size_t(area.left()) * 4, 0,
                        std::size_t(area.width()) * 4);
        for (int i = 0; i < p.count; ++i) {
            Capsule s = p.strokes[std::size_t(i)];
            s.from += toScratch;
            s.to += toScratch;
            blendCapsule(scratch, area, s);
        }
        if (p.cap) {
            blendCircle(scratch, area, p.centre + toScratch, p.capRadius, 0, p.capFill);
            blendCircle(scratch, area, p.centre + toScratch, p.capRadius, p.capStroke, p.capOutline);
        }
        // Back to the painter's coordinates: the scratch's pixels land
        // exactly on device pixels.
        const QPointF at((origin.x() + area.left() - shift.x()) / scale,
                         (origin.y() + area.top() - shift.y()) / scale);
        painter.drawImage(QRectF(at, QSizeF(area.size()) / scale), scratch, QRectF(area));
    };
    if (system.isEmpty()) {
        drawArea(all);
    } else {
        for (const QRect& r : system) drawArea(r.translated(-origin));
    }
    return true;
}

void drawWithPainter(QPainter& painter, const QRectF& rect, const AnalogClockHands& hands) {
    const HandPlan p = plan(rect, hands, 1.0, QPointF(0, 0), Parts::all);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setBrush(Qt::NoBrush);
    for (int i = 0; i < p.count; ++i) {
        const Capsule& s = p.strokes[std::size_t(i)];
        for (const auto& [width, color] : {std::pair{s.outerWidth, s.outer}, std::pair{s.innerWidth, s.inner}}) {
            QPen pen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin);
            pen.setMiterLimit(10);
            painter.setPen(pen);
            painter.drawLine(QLineF(s.from, s.to));
        }
    }
    painter.setBrush(p.capFill);
    painter.setPen(QPen(p.capOutline, p.capStroke));
    painter.drawEllipse(p.centre, p.capRadius, p.capRadius);
    painter.restore();
}

}  // namespace corvane::hands
