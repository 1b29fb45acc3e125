#pragma once

// The analog clock every dial of the program is drawn with: the clock cells of
// the main window, the previews of the settings and the widget. It is a
// painter, not a widget: give it any QPainter and rectangle.

#include "dial/DialColors.h"
#include "dial/DialGeometry.h"
#include "model/Rgb.h"
#include "model/Settings.h"
#include "model/Theme.h"

#include <QColor>
#include <QImage>
#include <QRectF>

#include <optional>

class QPainter;

namespace corvane {

class FaceCache;

// The static part of a dial: the style's face or the own image with its rim.
struct AnalogClockFace {
    DialStyle style = DialStyle::classic;
    QImage image;  // the own dial image; a null image means none
    DialColors colors;

    // Draws into the square of side min(width, height) centred in `rect`;
    // nothing when that side is 4 points or less.
    void draw(QPainter& painter, const QRectF& rect) const;
};

// The moving part: hour, minute and second hand over their halos, and the cap.
struct AnalogClockHands {
    DialTime time;
    bool smoothSeconds = false;
    DialStyle style = DialStyle::classic;  // whose hand proportions apply
    QColor hand;                           // hour and minute hands
    QColor secondHand;                     // second hand and centre cap
    QColor outline;                        // halo under each hand, cap stroke
    bool showSeconds = true;

    void draw(QPainter& painter, const QRectF& rect) const;

    // Degrees clockwise from 12 o'clock. A smooth second hand moves in whole
    // milliseconds (the rest is cut off, not rounded); else once a second.
    static HandAngles angles(const DialTime& time, bool smoothSeconds);
    static HandAngles angles(qint64 msecsSinceEpoch, const QTimeZone& zone, bool smoothSeconds);
};

struct AnalogClock {
    DialTime time;  // the wall time of the clock's zone
    bool smoothSeconds = false;
    DialStyle style = DialStyle::classic;
    QImage image;  // own dial image; replaces the style's face when not null
    ThemeColors theme = ThemeColors::defaultPalette();
    std::optional<QColor> faceColor;  // used only without faceRGB
    std::optional<RGB> faceRGB;       // the clock's own face colour
    bool showSeconds = true;

    struct Layers {
        AnalogClockFace face;
        AnalogClockHands hands;
    };
    Layers content() const;

    // The dial's square: the largest square that fits `bounds`, centred.
    static QRectF dialRect(const QRectF& bounds);
    // The same square moved to start on a device pixel of `painter`, so the
    // stored face and the hands, both blitted pixel for pixel, line up.
    static QRectF deviceDialRect(const QPainter& painter, const QRectF& bounds);

    // Draws the clock into `bounds`. With a cache the face is painted once and
    // reused, and each frame draws only the hands; without one (nullptr) the
    // whole dial is painted anew.
    void paint(QPainter& painter, const QRectF& bounds, FaceCache* cache) const;
    // The same with the GUI thread's shared cache when called on the GUI
    // thread, else without a cache.
    void paint(QPainter& painter, const QRectF& bounds) const;
};

}  // namespace corvane
