#pragma once

#include "model/Rgb.h"
#include "model/Theme.h"

#include <QColor>

#include <optional>

namespace corvane {

// The five colours a dial is drawn with. Everything a style painter needs comes
// from here; only the night style brings its own.
struct DialColors {
    QColor face;        // fill of the dial
    QColor foreground;  // marks, numerals, hands
    QColor accent;      // rings and accented marks
    QColor secondHand;  // second hand and centre cap
    QColor background;  // halo under the hands

    bool operator==(const DialColors&) const = default;

    // The colours of a clock. With an own face colour `faceRGB` the text,
    // accent and second hand are chosen by contrast against it; otherwise the
    // face is `faceColor` or the palette's surface, with the palette's colours.
    static DialColors forFace(const ThemeColors& theme, const std::optional<QColor>& faceColor,
                              const std::optional<RGB>& faceRGB);
};

// An sRGB colour from channel fractions, opacity 1. Colour constants are made
// with it once, e.g. `static const QColor c = sRGBColor(...)`.
QColor sRGBColor(double red, double green, double blue);

// The pale mint of the night style's glow, hands and hour marks.
const QColor& nightGlowColor();
// The near-black face of the night style.
const QColor& nightFaceColor();

// `color` with its opacity multiplied by `opacity`.
inline QColor withOpacity(QColor color, double opacity) {
    color.setAlphaF(float(color.alphaF() * opacity));
    return color;
}

}  // namespace corvane
