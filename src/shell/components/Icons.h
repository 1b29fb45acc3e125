#pragma once

// The program's own symbols, drawn as filled paths in a fixed square so they
// scale to any button. Each name is looked up once; unknown names draw
// nothing.

#include <QColor>
#include <QPainterPath>
#include <QRectF>
#include <QStringView>

class QPainter;

namespace corvane::icons {

// Side of the square the paths are drawn in.
inline constexpr double kUnits = 100.0;

// The symbol's outline in the square (0, 0)-(kUnits, kUnits); empty for an
// unknown name.
const QPainterPath& path(QStringView symbol);
bool has(QStringView symbol);

// Fills the symbol into the square of side min(width, height) centred in
// `box`.
void draw(QPainter& painter, QStringView symbol, const QRectF& box, const QColor& color);
// The same with a path already looked up (views keep it, so painting looks
// nothing up).
void draw(QPainter& painter, const QPainterPath& symbol, const QRectF& box, const QColor& color);

}  // namespace corvane::icons
