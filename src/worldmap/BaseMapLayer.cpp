#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <vector>

#include "dial/GlowLayer.h"
#include "worldmap/MapLayers.h"

namespace corvane {

namespace {

// Adds one projected shape, leaving out points that lie within `minStep` of
// the last one kept: at map sizes the data carries several points per
// device pixel, and every one of them costs the rasterizer.
void addShape(QPainterPath& path, const Shape& shape, QSizeF size, double minStep, bool close) {
    QPointF last = mapPoint(shape.front().lon, shape.front().lat, size);
    path.moveTo(last);
    const double minStep2 = minStep * minStep;
    for (std::size_t i = 1; i < shape.size(); ++i) {
        const QPointF next = mapPoint(shape[i].lon, shape[i].lat, size);
        const QPointF d = next - last;
        if (i + 1 < shape.size() && d.x() * d.x() + d.y() * d.y() < minStep2) continue;
        path.lineTo(next);
        last = next;
    }
    if (close) path.closeSubpath();
}

QPainterPath landPath(const ShapeList& land, QSizeF size, double minStep) {
    QPainterPath path;  // odd-even fill: lakes in the data stay water
    for (const Shape& ring : land)
        if (ring.size() >= 3) addShape(path, ring, size, minStep, true);
    return path;
}

QPainterPath borderPath(const ShapeList& borders, QSizeF size, double minStep) {
    QPainterPath path;
    for (const Shape& line : borders)
        if (line.size() >= 2) addShape(path, line, size, minStep, false);
    return path;
}

using Ring = std::vector<QPointF>;

// Keeps the part of `ring` on one side of an axis-parallel line.
void clipAgainst(const Ring& in, Ring& out, bool vertical, double at, bool keepAbove) {
    out.clear();
    if (in.empty()) return;
    auto inside = [&](QPointF q) { return keepAbove == ((vertical ? q.x() : q.y()) >= at); };
    auto cross = [&](QPointF a, QPointF b) {
        const double t = vertical ? (at - a.x()) / (b.x() - a.x()) : (at - a.y()) / (b.y() - a.y());
        return vertical ? QPointF(at, a.y() + t * (b.y() - a.y())) : QPointF(a.x() + t * (b.x() - a.x()), at);
    };
    QPointF prev = in.back();
    bool prevIn = inside(prev);
    for (QPointF cur : in) {
        const bool curIn = inside(cur);
        if (curIn != prevIn) out.push_back(cross(prev, cur));
        if (curIn) out.push_back(cur);
        prev = cur;
        prevIn = curIn;
    }
}

// Fills the rings (even-odd) in tiles of whole device pixels, each with only
// the rings' parts inside it. The antialiasing rasterizer walks the whole
// outline once per band of its small cell pool, so one world-sized outline
// costs many times what the same outline cut into tiles does. Cut edges lie
// on pixel boundaries, so the tiles meet without a seam.
void fillTiled(QPainter& p, const std::vector<Ring>& rings, QSize device, const QBrush& brush) {
    constexpr int kTileW = 128;
    constexpr int kTileH = 64;
    std::vector<QRectF> bounds;
    bounds.reserve(rings.size());
    for (const Ring& ring : rings) {
        double x0 = ring.front().x(), x1 = x0, y0 = ring.front().y(), y1 = y0;
        for (QPointF q : ring) {
            x0 = std::min(x0, q.x());
            x1 = std::max(x1, q.x());
            y0 = std::min(y0, q.y());
            y1 = std::max(y1, q.y());
        }
        bounds.emplace_back(QPointF(x0, y0), QPointF(x1, y1));
    }
    Ring a, b;
    for (int ty = 0; ty < device.height(); ty += kTileH) {
        for (int tx = 0; tx < device.width(); tx += kTileW) {
            const QRectF tile(tx, ty, std::min(kTileW, device.width() - tx),
                              std::min(kTileH, device.height() - ty));
            QPainterPath path;
            for (std::size_t i = 0; i < rings.size(); ++i) {
                const QRectF& box = bounds[i];
                if (box.right() <= tile.left() || box.left() >= tile.right() || box.bottom() <= tile.top() ||
                    box.top() >= tile.bottom())
                    continue;
                const Ring* part = &rings[i];
                if (!tile.contains(box)) {
                    clipAgainst(rings[i], a, true, tile.left(), true);
                    clipAgainst(a, b, true, tile.right(), false);
                    clipAgainst(b, a, false, tile.top(), true);
                    clipAgainst(a, b, false, tile.bottom(), false);
                    part = &b;
                }
                if (part->size() < 3) continue;
                path.moveTo(part->front());
                for (std::size_t k = 1; k < part->size(); ++k) path.lineTo((*part)[k]);
                path.closeSubpath();
            }
            if (!path.isEmpty()) p.fillPath(path, brush);
        }
    }
}

// The land rings in device pixels of an image at `scale`, thinned like
// addShape does.
std::vector<Ring> deviceRings(const ShapeList& land, QSizeF size, double scale) {
    const QSizeF device = size * scale;
    std::vector<Ring> rings;
    for (const Shape& shape : land) {
        if (shape.size() < 3) continue;
        Ring ring;
        ring.reserve(shape.size());
        ring.push_back(mapPoint(shape.front().lon, shape.front().lat, device));
        for (std::size_t i = 1; i < shape.size(); ++i) {
            const QPointF next = mapPoint(shape[i].lon, shape[i].lat, device);
            const QPointF d = next - ring.back();
            if (i + 1 < shape.size() && d.x() * d.x() + d.y() * d.y() < 0.25) continue;
            ring.push_back(next);
        }
        rings.push_back(std::move(ring));
    }
    return rings;
}

// The land's drop shadow: the land's coverage at 35 %, blurred with the
// dial's blur and laid one point lower under the land. An alpha-only image
// draws as black of that alpha, so no tinting pass is needed.
void drawLandShadow(QPainter& p, const QImage& landImage, double scale) {
    const int w = landImage.width();
    const int h = landImage.height();
    // Rows of an alpha-only image are padded to 4 bytes; a width that needs no
    // padding lets the blur treat the image as one plane.
    const int planeWidth = (w + 3) / 4 * 4;
    QImage shadow(planeWidth, h, QImage::Format_Alpha8);
    if (shadow.isNull() || shadow.bytesPerLine() != planeWidth) return;
    shadow.fill(0);
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(landImage.constScanLine(y));
        uchar* out = shadow.scanLine(y);
        for (int x = 0; x < w; ++x) out[x] = static_cast<uchar>((qAlpha(row[x]) * 89 + 127) / 255);
    }
    // A shadow of radius 3 points spreads about 1.5 points either way.
    glow::blurCoverage(shadow.bits(), planeWidth, h, 1.5 * scale);
    p.drawImage(QRectF(0, 1, planeWidth / scale, h / scale), shadow);
}

QLinearGradient vertical(const QColor& top, const QColor& bottom, double height) {
    QLinearGradient gradient(0, 0, 0, height);
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    return gradient;
}

}  // namespace

void BaseMapLayer::draw(QPainter& p) const {
    draw(p, MapShapes::land(), MapShapes::borders());
}

void BaseMapLayer::draw(QPainter& p, const ShapeList& land, const ShapeList& borders) const {
    const double w = size.width();
    const double h = size.height();
    if (!(w > 0) || !(h > 0)) return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);

    p.fillRect(QRectF(0, 0, w, h), vertical(MapPalette::oceanTop(), MapPalette::oceanBottom(), h));

    // The grid's lines as thin rectangles in one union: it looks like the
    // stroke of 0.5 and costs a fraction of stroking full-length lines.
    QPainterPath grid;
    grid.setFillRule(Qt::WindingFill);
    for (int lon = -165; lon <= 165; lon += 15) grid.addRect(QRectF(mapX(lon, w) - 0.25, 0, 0.5, h));
    for (int lat = -45; lat <= 75; lat += 15) grid.addRect(QRectF(0, mapY(lat, h) - 0.25, w, 0.5));
    p.fillPath(grid, QColor::fromRgbF(1, 1, 1, 0.055f));

    QPainterPath tropics;
    for (double lat : {0.0, 23.44, -23.44}) {
        tropics.moveTo(0, mapY(lat, h));
        tropics.lineTo(w, mapY(lat, h));
    }
    QPen dashed(QColor::fromRgbF(1, 1, 1, 0.16f), 0.6, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
    dashed.setDashPattern({3.0 / 0.6, 4.0 / 0.6});  // in pen widths
    dashed.setMiterLimit(10);
    p.strokePath(tropics, dashed);

    const double scale = glow::deviceScale(p);
    // Half a device pixel: finer steps are invisible but multiply the cost.
    const double minStep = 0.5 / scale;
    const QPainterPath landShape = landPath(land, size, minStep);
    if (!landShape.isEmpty()) {
        // The land is filled once into its own image, whose coverage then
        // also makes the shadow: filling the detailed outline is the costly
        // part of the whole map.
        QImage landImage(int(std::ceil(w * scale)), int(std::ceil(h * scale)),
                         QImage::Format_ARGB32_Premultiplied);
        if (!landImage.isNull()) {
            landImage.fill(0);
            {
                QPainter lp(&landImage);
                lp.setRenderHint(QPainter::Antialiasing, true);
                fillTiled(lp, deviceRings(land, size, scale), landImage.size(),
                          vertical(MapPalette::landTop(), MapPalette::landBottom(), landImage.height()));
            }
            drawLandShadow(p, landImage, scale);
            p.drawImage(QRectF(0, 0, landImage.width() / scale, landImage.height() / scale), landImage);
        }
        p.strokePath(landShape, QPen(MapPalette::coast(), 0.6));
    }

    const QPainterPath borderShape = borderPath(borders, size, minStep);
    if (!borderShape.isEmpty()) p.strokePath(borderShape, QPen(MapPalette::border(), 0.5));
    p.restore();
}

}  // namespace corvane
