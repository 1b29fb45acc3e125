#pragma once

// A dial with a sweeping second hand gets several frames a second, yet its
// face and its hour and minute hands change once a second at most. The layer
// keeps those three in one picture at device resolution, so a frame blits it
// and rasterises only the second hand and the cap. The hour and minute hands
// show the whole second, as they do under a ticking second hand.
//
// One layer belongs to one dial on one thread.

#include <QImage>
#include <QRect>
#include <QRgb>

#include "dial/AnalogClock.h"

class QPainter;

namespace corvane {

class FaceCache;

class SweepLayer {
public:
    // Draws `clock` into `bounds` like AnalogClock::paint. Faces come from
    // `faces`, or from the GUI thread's cache when it is nullptr. Where the
    // painter rotates or shears, or the dial is too large to keep, the
    // clock is painted directly.
    void paint(QPainter& painter, const AnalogClock& clock, const QRectF& bounds, FaceCache* faces = nullptr);

    // Forgets the picture; the next paint draws it anew.
    void clear();

    // How often the picture was drawn whole, and how often only where the
    // hour and minute hands moved.
    qint64 rebuilds() const { return rebuilds_; }
    qint64 handUpdates() const { return handUpdates_; }

private:
    struct Key {
        qint64 face = 0;  // the cached face picture
        DialStyle style = DialStyle::classic;
        QRgb hand = 0, outline = 0;
        double diameter = 0;
        double scale = 0;
        bool operator==(const Key&) const = default;
    };
    Key key_;
    double hourAngle_ = 0;
    double minuteAngle_ = 0;
    QRect handsBox_;  // device pixels of the picture the two hands cover
    QImage image_;
    qint64 rebuilds_ = 0;
    qint64 handUpdates_ = 0;
};

}  // namespace corvane
