#pragma once

// The three layers of the world map, drawn on top of each other at the same
// size: the base map (ocean, grid, land, borders), the night shading, and the
// sky (noon and midnight meridians, cities, clock badges, sun, moon, labels).
//
// Each layer is a small value that compares equal when its inputs are equal;
// whoever shows it redraws only when the value changes. The time-dependent
// layers take a key that changes every ten seconds (seconds since 1970 / 10),
// so a view that ticks 25 times a second still redraws them rarely. The
// widgets in MapLayerWidgets.h keep the drawn results and are what a view
// stacks; the draw functions here render from scratch.
//
// Sizes are device-independent pixels. Every layer uses the same
// equirectangular frame, 180 W to 180 E and 84 N to 58 S.

#include "model/WorldCity.h"
#include "worldmap/MapShapes.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QPointF>
#include <QSizeF>
#include <QString>
#include <QtGlobal>

#include <optional>
#include <span>

class QPainter;
class QPainterPath;

namespace corvane {

// --- Projection -------------------------------------------------------------------

// Width : height of the whole map; a view keeps this ratio.
inline constexpr double kMapWidthPerHeight = 360.0 / 142.0;

inline double mapX(double lon, double width) { return width * (lon + 180.0) / 360.0; }
inline double mapY(double lat, double height) { return height * (84.0 - lat) / 142.0; }
inline QPointF mapPoint(double lon, double lat, QSizeF size) {
    return {mapX(lon, size.width()), mapY(lat, size.height())};
}

// The ten-second redraw key of a moment, and the moment a key stands for.
inline qint64 mapRedrawKey(qint64 msecsSinceEpoch) {
    const qint64 seconds = msecsSinceEpoch / 1000;
    return seconds / 10;
}
inline qint64 mapKeyMSecs(qint64 key) { return key * 10'000; }

// --- Palette ----------------------------------------------------------------------

namespace MapPalette {
QColor oceanTop();
QColor oceanBottom();
QColor landTop();
QColor landBottom();
QColor coast();   // with its opacity
QColor border();  // white with its opacity
QColor sun();
}  // namespace MapPalette

// --- Small pieces shared with the view and the settings page ----------------------

// Scale factors of the sky layer for a layer width: `k` sizes city dots,
// glows and rings and stops growing at 900 wide; `g` sizes sun, moon and
// clock badges and keeps growing.
struct SkyScale {
    double k = 1;
    double g = 1;
};
SkyScale skyScale(double width);

// The longitude opposite the subsolar one, in [-180, 180): where it is
// midnight.
double midnightLongitude(double subsolarLongitude);

// A dashed vertical line at x from the top to `height`.
void meridianLine(QPainter& p, double x, double height, const QColor& color);

// "23,4° S": one decimal in the display locale, then the hemisphere letter
// (`positive` for 0 and above, `negative` below).
QString coordinateText(double degrees, const QString& positive, const QString& negative);

// How a catalogue city is marked, from its population: the dot's radius and,
// at night, the warm glow's radius and centre opacity.
struct CityMarkStyle {
    double dotRadius = 0;
    double glowRadius = 0;
    double glowOpacity = 0;
};
CityMarkStyle cityMarkStyle(qint64 population, bool hovered, double k);

// Left edge of a top label box for a meridian at `x`: centred on it, kept
// 2 from the left edge and ending 2 before the right edge.
double labelBoxLeft(double x, double textWidth, double layerWidth);

// The premultiplied RGBA bytes of the night shading where the sun stands at
// `altitude` degrees: clear from +0.8 up, full night from -18 down.
struct NightShade {
    unsigned char r = 0, g = 0, b = 0, a = 0;
};
NightShade nightShade(double altitude);

// The lit part of a moon disc for a phase angle (0 new, 90 right half lit,
// 180 full, 270 left half lit).
QPainterPath moonLitPath(QPointF centre, double radius, double phase);

// --- Layers -----------------------------------------------------------------------

// Clock number by WorldCity::id() for the cities that carry a clock badge.
using ClockMarks = QHash<QString, int>;

struct BaseMapLayer {
    QSizeF size;

    friend bool operator==(const BaseMapLayer&, const BaseMapLayer&) = default;

    // Ocean, grid, tropics, shadowed land with its coast, borders; the
    // shared shapes unless others are given.
    void draw(QPainter& p) const;
    void draw(QPainter& p, const ShapeList& land, const ShapeList& borders) const;
};

struct NightLayer {
    qint64 key = 0;
    QSizeF size;

    friend bool operator==(const NightLayer&, const NightLayer&) = default;

    // The key's night raster stretched over `size`.
    void draw(QPainter& p) const;

    // Width and height of the raster: half a degree per pixel.
    static constexpr int kWidth = 720;
    static constexpr int kHeight = 284;
    // The raster of a moment (RGBA, premultiplied). One image is kept for the
    // process, so asking again within the same ten seconds costs nothing.
    // Main thread only. Null when no image could be made.
    static QImage makeImage(qint64 msecsSinceEpoch);
};

struct SkyLayer {
    qint64 key = 0;
    QSizeF size;
    std::optional<QString> hoveredID;  // WorldCity::id() of the city in the card
    ClockMarks clockMarks;

    friend bool operator==(const SkyLayer&, const SkyLayer&) = default;

    // Meridians, cities (or their clock badges), sun, moon and the two
    // labels, over the shared catalogue unless another one is given (in the
    // catalogue's order: later cities lie on top).
    void draw(QPainter& p) const;
    void draw(QPainter& p, std::span<const WorldCity> cities) const;
};

}  // namespace corvane
