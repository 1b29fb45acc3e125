#pragma once

#include <QList>
#include <QRect>
#include <QRectF>
#include <QSizeF>
#include <optional>

namespace corvane {

// Frame arithmetic of the clock window and the settings window, as pure
// functions over screen rectangles in Qt's global coordinates (origin top
// left, y down). Everything is computed in doubles; `toWindowRect` is the
// only place that turns a result into integers, and it clamps first, so a
// hostile stored frame can never reach an undefined conversion.

struct StoredFrame {
    std::optional<double> left;    // x of the left edge
    std::optional<double> top;     // from the top of the first screen down to the window's top
    std::optional<double> width;
    std::optional<double> height;
};

struct RestoredFrame {
    // When set, the window gets `size` and is centred on its screen;
    // otherwise it gets the whole `frame`.
    bool centre = true;
    // A default-sized window keeps the size it was created with.
    std::optional<QSizeF> size;
    QRectF frame;
};

inline constexpr double kMinWindowWidth = 360;
inline constexpr double kMinWindowHeight = 300;
inline constexpr double kSingleAnalogSide = 460;
inline constexpr double kSettingsWidth = 940;
inline constexpr double kSettingsHeight = 640;
inline constexpr double kSettingsGap = 12;

// `screens` lists every screen's full geometry, the first screen first.
RestoredFrame restoreFrame(const StoredFrame& stored, bool singleAnalogClock, const QList<QRectF>& screens);

// What is stored for a window frame; `firstScreen` is the first screen's
// geometry, or nothing when there is none.
struct SavedFrame {
    double left, top, width, height;
};
SavedFrame saveFrame(const QRectF& frame, const std::optional<QRectF>& firstScreen);

// The square frame for a window that shows one analog clock: same top-left
// corner, side min(width, height) but at least the minimum width.
QRectF squareFrame(const QRectF& frame);

// The visible area used when there is no screen at all.
QRectF fallbackVisibleArea();

// Pulls a frame back inside the visible area of its screen. A frame larger
// than the area ends at its top-left corner.
QRectF keepOnScreen(const QRectF& frame, const QRectF& visible);

// The settings window beside the clock window: to its right, else to its
// left, else at the right edge of the visible area; top edges aligned where
// the area allows.
QRectF placeSettingsWindow(const QRectF& mainFrame, const QRectF& visible);

// Round (halves away from zero) and clamp into a range every window system
// takes, then convert.
QRect toWindowRect(const QRectF& frame);
double roundHalfAway(double v);

}  // namespace corvane
