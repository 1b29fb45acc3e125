#include "worldmap/MapLayers.h"

#include "model/Locale.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace corvane {

namespace MapPalette {
QColor oceanTop() { return QColor::fromRgbF(0.05f, 0.15f, 0.29f); }
QColor oceanBottom() { return QColor::fromRgbF(0.07f, 0.22f, 0.40f); }
QColor landTop() { return QColor::fromRgbF(0.55f, 0.71f, 0.53f); }
QColor landBottom() { return QColor::fromRgbF(0.36f, 0.55f, 0.42f); }
QColor coast() { return QColor::fromRgbF(0.80f, 0.92f, 0.80f, 0.55f); }
QColor border() { return QColor::fromRgbF(1.0f, 1.0f, 1.0f, 0.30f); }
QColor sun() { return QColor::fromRgbF(1.0f, 0.82f, 0.35f); }
}  // namespace MapPalette

SkyScale skyScale(double width) {
    const double ratio = width / 900.0;
    return {std::clamp(ratio, 0.75, 1.0), std::max(ratio, 0.8)};
}

double midnightLongitude(double subsolarLongitude) {
    double x = std::fmod(subsolarLongitude + 360.0, 360.0);
    if (x < 0) x += 360.0;
    if (x >= 360.0) x -= 360.0;
    return x - 180.0;
}

QPainterPath moonLitPath(QPointF centre, double radius, double phase) {
    const double side = phase <= 180 ? radius : -radius;
    const double inner = (phase <= 180 ? phase : 360 - phase) * 0.017453292519943295;
    constexpr int kSteps = 24;
    QPainterPath lit(QPointF(centre.x(), centre.y() - radius));
    // Outer limb down the lit side, then the terminator (an ellipse's half)
    // back up.
    for (int i = 1; i <= kSteps; ++i) {
        const double a = i * std::numbers::pi / kSteps;
        lit.lineTo(centre.x() + side * std::sin(a), centre.y() - radius * std::cos(a));
    }
    for (int i = kSteps; i >= 0; --i) {
        const double a = i * std::numbers::pi / kSteps;
        lit.lineTo(centre.x() + side * std::cos(inner) * std::sin(a), centre.y() - radius * std::cos(a));
    }
    lit.closeSubpath();
    return lit;
}

void meridianLine(QPainter& p, double x, double height, const QColor& color) {
    QPen pen(color, 1.2, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
    // Qt counts dashes in pen widths.
    pen.setDashPattern({5.0 / 1.2, 4.0 / 1.2});
    pen.setMiterLimit(10);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(x, 0), QPointF(x, height));
}

QString coordinateText(double degrees, const QString& positive, const QString& negative) {
    return appQLocale().toString(std::abs(degrees), 'f', 1) + QStringLiteral("° ") +
           (degrees >= 0 ? positive : negative);
}

CityMarkStyle cityMarkStyle(qint64 population, bool hovered, double k) {
    double factor = 1.3;
    if (hovered) factor = 4.8;
    else if (population >= 10'000'000) factor = 3.2;
    else if (population >= 5'000'000) factor = 2.7;
    else if (population >= 1'000'000) factor = 2.1;
    else if (population >= 300'000) factor = 1.6;
    return {k * factor, k * (population >= 5'000'000 ? 6.0 : 3.5), population >= 1'000'000 ? 0.5 : 0.25};
}

double labelBoxLeft(double x, double textWidth, double layerWidth) {
    double left = std::max(x - textWidth / 2 - 6, 2.0);
    return std::min(left, layerWidth - textWidth - 14);
}

NightShade nightShade(double altitude) {
    double t = (0.8 - altitude) / 18.8;
    if (!(t > 0)) return {};
    t = std::min(t, 1.0);
    const double e = t * t * (3 - 2 * t);
    const double a = 0.7 * e;
    return {static_cast<unsigned char>(a * (34 - 26 * e)), static_cast<unsigned char>(a * (22 - 10 * e)),
            static_cast<unsigned char>(a * (78 - 40 * e)), static_cast<unsigned char>(255 * a)};
}

}  // namespace corvane
