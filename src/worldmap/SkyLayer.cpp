#include "worldmap/MapLayers.h"
#include "worldmap/SunMoon.h"

#include "platform/Text.h"
#include "shell/components/Theme.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace corvane {

namespace {

constexpr double kRad = 0.017453292519943295;

QColor withAlpha(QColor c, double alpha) {
    c.setAlphaF(float(alpha));
    return c;
}

QColor grey(double level, double alpha = 1.0) {
    return QColor::fromRgbF(float(level), float(level), float(level), float(alpha));
}

// city.id() without building the string: this runs for every city on every
// redraw.
bool hasID(const WorldCity& city, QStringView id) {
    return id.size() == city.name.size() + 1 + city.country.size() && id.startsWith(city.name) &&
           id[city.name.size()] == u'|' && id.endsWith(city.country);
}

const int* clockNumber(const WorldCity& city, const ClockMarks& marks) {
    for (auto it = marks.cbegin(); it != marks.cend(); ++it)
        if (hasID(city, it.key())) return &it.value();
    return nullptr;
}

void fillCircle(QPainter& p, QPointF centre, double radius, const QBrush& brush) {
    p.setPen(Qt::NoPen);
    p.setBrush(brush);
    p.drawEllipse(centre, radius, radius);
}

void strokeCircle(QPainter& p, QPointF centre, double radius, const QColor& color, double width) {
    p.setPen(QPen(color, width));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, radius, radius);
}

QRadialGradient fadingGlow(QPointF centre, double radius, const QColor& color, double alpha) {
    QRadialGradient gradient(centre, radius);
    gradient.setColorAt(0, withAlpha(color, alpha));
    gradient.setColorAt(1, withAlpha(color, 0));
    return gradient;
}

void drawBadge(QPainter& p, QPointF at, int number, double g) {
    const double radius = 6.5 * g;
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(QColor::fromRgbF(0.95f, 0.33f, 0.40f));
    p.drawEllipse(at, radius, radius);
    p.setFont(uiFont(8 * g, QFont::Bold));
    p.setPen(Qt::white);
    const QRectF box(at.x() - radius * 2, at.y() - radius * 2, radius * 4, radius * 4);
    p.drawText(box, Qt::AlignCenter, QString::number(number));
}

void drawCities(QPainter& p, std::span<const WorldCity> cities, QSizeF size, const SubsolarPoint& sun,
                const std::optional<QString>& hoveredID, const ClockMarks& marks) {
    const SkyScale scale = skyScale(size.width());
    const double sinS = std::sin(sun.lat * kRad);
    const double cosS = std::cos(sun.lat * kRad);
    const QColor warm = QColor::fromRgbF(1.0f, 0.86f, 0.5f);
    const QColor glowColor = QColor::fromRgbF(1.0f, 0.85f, 0.45f);
    const QColor outline = grey(0, 0.5);

    for (const WorldCity& city : cities) {
        const QPointF at = mapPoint(city.lon, city.lat, size);
        const double sinAlt = std::clamp(
            sinS * std::sin(city.lat * kRad) + cosS * std::cos(city.lat * kRad) * std::cos((city.lon - sun.lon) * kRad),
            -1.0, 1.0);
        const bool night = std::asin(sinAlt) / kRad < -3.0;
        const bool hovered = hoveredID && hasID(city, *hoveredID);

        if (!marks.isEmpty()) {
            if (const int* number = clockNumber(city, marks)) {
                drawBadge(p, at, *number, scale.g);
                continue;
            }
        }

        const CityMarkStyle style = cityMarkStyle(city.population, hovered, scale.k);
        if (night) fillCircle(p, at, style.glowRadius, fadingGlow(at, style.glowRadius, glowColor, style.glowOpacity));

        const QColor dot = night ? warm : QColor(Qt::white);
        p.setPen(QPen(outline, hovered ? 1.5 : 0.5));
        p.setBrush(dot);
        p.drawEllipse(at, style.dotRadius, style.dotRadius);

        if (city.isCapital)
            strokeCircle(p, at, style.dotRadius + 1.8 * scale.k, withAlpha(dot, 0.75), 0.8 * scale.k);
    }
}

void drawSun(QPainter& p, QPointF at, double g) {
    const QColor sun = MapPalette::sun();
    const double r = 8 * g;
    fillCircle(p, at, 34 * g, fadingGlow(at, 34 * g, sun, 0.55));

    QPainterPath rays;
    for (int i = 0; i < 12; ++i) {
        const double angle = i * 30 * kRad;
        const QPointF dir(std::cos(angle), std::sin(angle));
        rays.moveTo(at + dir * 1.45 * r);
        rays.lineTo(at + dir * 2 * r);
    }
    QPen rayPen(sun, 1.6 * g, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin);
    rayPen.setMiterLimit(10);
    p.strokePath(rays, rayPen);

    QRadialGradient disc(at - QPointF(0.3 * r, 0.3 * r), 1.3 * r);
    disc.setColorAt(0, QColor::fromRgbF(1.0f, 0.97f, 0.75f));
    disc.setColorAt(0.5, sun);
    disc.setColorAt(1, QColor::fromRgbF(1.0f, 0.6f, 0.2f));
    fillCircle(p, at, r, disc);
}

void drawMoon(QPainter& p, QPointF at, double phase, double g) {
    const double r = 8 * g;
    fillCircle(p, at, 2.2 * r, fadingGlow(at, 2.2 * r, Qt::white, 0.28));
    fillCircle(p, at, r, grey(0.28));

    const QPainterPath lit = moonLitPath(at, r, phase);
    p.fillPath(lit, QColor::fromRgbF(0.96f, 0.95f, 0.88f));

    strokeCircle(p, at, r, grey(1, 0.6), 0.8);
}

void drawLabel(QPainter& p, const QString& text, const QColor& color, double x, const QFont& font, double width) {
    const QFontMetricsF metrics(font);
    const double tw = metrics.horizontalAdvance(text);
    const double th = metrics.height();
    const QRectF box(labelBoxLeft(x, tw, width), 4, tw + 12, th + 4);
    QPainterPath shape;
    shape.addRoundedRect(box, 5, 5);
    p.fillPath(shape, grey(0, 0.55));
    p.setFont(font);
    p.setPen(color);
    p.drawText(box, Qt::AlignCenter, text);
}

}  // namespace

void SkyLayer::draw(QPainter& p) const { draw(p, WorldCity::all()); }

void SkyLayer::draw(QPainter& p, std::span<const WorldCity> cities) const {
    const double w = size.width();
    const double h = size.height();
    if (!(w > 0) || !(h > 0)) return;
    const qint64 msecs = mapKeyMSecs(key);
    const SubsolarPoint sun = subsolarPoint(msecs);
    const MoonPosition moon = moonPosition(msecs);

    p.save();
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);

    const double xSun = mapX(sun.lon, w);
    meridianLine(p, xSun, h, withAlpha(MapPalette::sun(), 0.85));
    const double xMidnight = mapX(midnightLongitude(sun.lon), w);
    meridianLine(p, xMidnight, h, grey(0.85, 0.6));

    drawCities(p, cities, size, sun, hoveredID, clockMarks);

    const double g = skyScale(w).g;
    drawSun(p, QPointF(xSun, mapY(sun.lat, h)), g);
    drawMoon(p, mapPoint(moon.lon, moon.lat, size), moon.phase, g);

    const QFont font = uiFont(std::max(10.5 * w / 900.0, 9.0), QFont::DemiBold);
    drawLabel(p, tr("☀︎ 12:00 Mittag"), MapPalette::sun(), xSun, font, w);
    drawLabel(p, tr("☾ 00:00 Mitternacht"), Qt::white, xMidnight, font, w);
    p.restore();
}

}  // namespace corvane
