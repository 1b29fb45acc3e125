#include "worldmap/MapLayers.h"

#include "dial/GlowLayer.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace corvane {

namespace {

QPainterPath landPath(const ShapeList& land, QSizeF size) {
    QPainterPath path;  // odd-even fill: lakes in the data stay water
    for (const Shape& ring : land) {
        if (ring.size() < 3) continue;
        path.moveTo(mapPoint(ring.front().lon, ring.front().lat, size));
        for (std::size_t i = 1; i < ring.size(); ++i) path.lineTo(mapPoint(ring[i].lon, ring[i].lat, size));
        path.closeSubpath();
    }
    return path;
}

QPainterPath borderPath(const ShapeList& borders, QSizeF size) {
    QPainterPath path;
    for (const Shape& line : borders) {
        if (line.size() < 2) continue;
        path.moveTo(mapPoint(line.front().lon, line.front().lat, size));
        for (std::size_t i = 1; i < line.size(); ++i) path.lineTo(mapPoint(line[i].lon, line[i].lat, size));
    }
    return path;
}

QLinearGradient vertical(const QColor& top, const QColor& bottom, double height) {
    QLinearGradient gradient(0, 0, 0, height);
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    return gradient;
}

}  // namespace

void BaseMapLayer::draw(QPainter& p) const { draw(p, MapShapes::land(), MapShapes::borders()); }

void BaseMapLayer::draw(QPainter& p, const ShapeList& land, const ShapeList& borders) const {
    const double w = size.width();
    const double h = size.height();
    if (!(w > 0) || !(h > 0)) return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);

    p.fillRect(QRectF(0, 0, w, h), vertical(MapPalette::oceanTop(), MapPalette::oceanBottom(), h));

    QPainterPath grid;
    for (int lon = -165; lon <= 165; lon += 15) {
        grid.moveTo(mapX(lon, w), 0);
        grid.lineTo(mapX(lon, w), h);
    }
    for (int lat = -45; lat <= 75; lat += 15) {
        grid.moveTo(0, mapY(lat, h));
        grid.lineTo(w, mapY(lat, h));
    }
    p.strokePath(grid, QPen(QColor::fromRgbF(1, 1, 1, 0.055f), 0.5));

    QPainterPath tropics;
    for (double lat : {0.0, 23.44, -23.44}) {
        tropics.moveTo(0, mapY(lat, h));
        tropics.lineTo(w, mapY(lat, h));
    }
    QPen dashed(QColor::fromRgbF(1, 1, 1, 0.16f), 0.6, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
    dashed.setDashPattern({3.0 / 0.6, 4.0 / 0.6});  // in pen widths
    dashed.setMiterLimit(10);
    p.strokePath(tropics, dashed);

    const QPainterPath landShape = landPath(land, size);
    if (!landShape.isEmpty()) {
        // The dial's blur stands in for a drop shadow: land drawn as coverage,
        // blurred and laid one point lower under the land itself.
        p.save();
        p.translate(0, 1);
        drawGlow(p, QRectF(0, 0, w, h), 3, QColor::fromRgbF(0, 0, 0, 0.35f),
                 [&](QPainter& layer) { layer.fillPath(landShape, Qt::black); });
        p.restore();
        p.fillPath(landShape, vertical(MapPalette::landTop(), MapPalette::landBottom(), h));
        p.strokePath(landShape, QPen(MapPalette::coast(), 0.6));
    }

    const QPainterPath borderShape = borderPath(borders, size);
    if (!borderShape.isEmpty()) p.strokePath(borderShape, QPen(MapPalette::border(), 0.5));
    p.restore();
}

}  // namespace corvane
