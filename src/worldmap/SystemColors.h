#pragma once

// The few fixed accent colours the map's card and legend share. They are
// chosen once to read on both the light and the dark palettes, so no view
// picks its own shade of "orange" and the card and legend always agree.

#include <QColor>

namespace corvane::systemColors {

inline QColor orange() { return QColor(255, 149, 0); }
inline QColor pink() { return QColor(255, 55, 95); }
inline QColor indigo() { return QColor(108, 104, 230); }
inline QColor gray() { return QColor(142, 142, 147); }
// Destructive actions; a shade lighter on a dark palette, as systems do.
inline QColor red(bool dark) { return dark ? QColor(255, 69, 58) : QColor(255, 59, 48); }

}  // namespace corvane::systemColors
