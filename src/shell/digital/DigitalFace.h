#pragma once

#include <QColor>
#include <QRectF>
#include <optional>

#include "model/Rgb.h"
#include "model/Theme.h"

class QPainter;

namespace corvane {

// The plate behind a digital clock: the palette's surface, translucent, or
// the clock's own face colour with a text colour that stays readable on it.
struct DigitalFace {
    static constexpr double kCornerRadius = 12.0;

    // Black when black contrasts more with `face`, else white (a tie is white).
    static QColor textColorOn(RGB face);
    // The text colour for a clock: on its own face by contrast, else the
    // palette's foreground.
    static QColor textColor(const std::optional<RGB>& face, const ThemeColors& theme);
    // Title and zone line: the palette's secondary colour on the surface; on an
    // own face the readable text colour, a little faded, since the palette's
    // grey can vanish on a light or mid-tone face.
    static QColor secondaryTextColor(const std::optional<RGB>& face, const ThemeColors& theme);
    static QColor plateColor(const std::optional<RGB>& face, const ThemeColors& theme);
    // The plate as it looks on the palette's flat background: opaque, and
    // exactly the pixels painting the translucent plate over the background
    // gives. Filling with it is a plain store; blending a translucent colour
    // over a tall band makes the raster engine hand the rows to worker
    // threads and wait for them, every second, for every clock.
    static QColor plateOnBackground(const std::optional<RGB>& face, const ThemeColors& theme);
    static void paintPlate(QPainter& painter, const QRectF& rect, const std::optional<RGB>& face,
                           const ThemeColors& theme);
};

}  // namespace corvane
