#include "dial/AnalogClock.h"

#include "dial/DialPainter.h"
#include "dial/FaceCache.h"
#include "dial/GlowLayer.h"
#include "dial/HandRaster.h"
#include "dial/RepaintRects.h"

#include <QCoreApplication>
#include <QPainter>
#include <QThread>

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

QRectF centredSquare(const QRectF& rect) {
    const double d = std::min(rect.width(), rect.height());
    return {rect.center().x() - d / 2, rect.center().y() - d / 2, d, d};
}

}  // namespace

void AnalogClockFace::draw(QPainter& painter, const QRectF& rect) const {
    if (dial::tooSmall(rect.width(), rect.height())) return;
    const QRectF square = centredSquare(rect);
    const double d = square.width();
    const QPointF c = square.center();
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    if (image.isNull()) {
        DialPainter{painter, c, d, colors}.draw(style);
        painter.restore();
        return;
    }
    const QSizeF size = image.deviceIndependentSize();
    if (size.width() > 0 && size.height() > 0) {
        // Aspect fill: the image covers the whole circle, cropped at the sides.
        const double k = std::max(d / size.width(), d / size.height());
        const QSizeF drawn(size.width() * k, size.height() * k);
        const QRectF target(c.x() - drawn.width() / 2, c.y() - drawn.height() / 2, drawn.width(), drawn.height());
        // Resample once to the device resolution with a proper filter, then
        // fill the circle with it: a textured disc has an antialiased edge,
        // which a clip path would not.
        const double scale = glow::deviceScale(painter);
        const QSize pixels(std::max(1, int(std::lround(drawn.width() * scale))),
                           std::max(1, int(std::lround(drawn.height() * scale))));
        const QImage resampled =
            pixels == image.size() ? image : image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QBrush brush(resampled);
        QTransform toTarget;
        toTarget.translate(target.x(), target.y());
        toTarget.scale(target.width() / resampled.width(), target.height() / resampled.height());
        brush.setTransform(toTarget);
        painter.setPen(Qt::NoPen);
        painter.setBrush(brush);
        painter.drawEllipse(square);
    }
    const double rimWidth = std::max(0.008 * d, 1.0);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(withOpacity(colors.foreground, 0.6), rimWidth));
    const double rim = d / 2 - 0.004 * d;
    painter.drawEllipse(c, rim, rim);
    painter.restore();
}

HandAngles AnalogClockHands::angles(const DialTime& time, bool smoothSeconds) {
    double sec = time.second;
    if (smoothSeconds) sec += double(time.nanosecond / 1'000'000) / 1000.0;
    const double min = time.minute + sec / 60.0;
    return {(time.hour % 12 + min / 60.0) * 30.0, min * 6.0, sec * 6.0};
}

HandAngles AnalogClockHands::angles(qint64 msecsSinceEpoch, const QTimeZone& zone, bool smoothSeconds) {
    return angles(DialTime::at(msecsSinceEpoch, zone), smoothSeconds);
}

void AnalogClockHands::draw(QPainter& painter, const QRectF& rect) const {
    if (dial::tooSmall(rect.width(), rect.height())) return;
    const QRectF square = centredSquare(rect);
    if (!hands::drawRasterised(painter, square, *this)) hands::drawWithPainter(painter, square, *this);
}

AnalogClock::Layers AnalogClock::content() const {
    const DialColors c = DialColors::forFace(theme, faceColor, faceRGB);
    const bool hasImage = !image.isNull();
    // Over an own image the hands take the plain classic proportions.
    const DialStyle handStyle = hasImage ? DialStyle::classic : style;
    Layers layers;
    layers.face = AnalogClockFace{style, image, c};
    AnalogClockHands& h = layers.hands;
    h.time = time;
    h.smoothSeconds = smoothSeconds;
    h.style = handStyle;
    h.showSeconds = showSeconds;
    h.hand = handStyle == DialStyle::night      ? nightGlowColor()
             : handStyle == DialStyle::gradient ? QColor(Qt::white)
                                                : c.foreground;
    h.secondHand = style == DialStyle::gradient && !hasImage ? QColor(Qt::white) : c.secondHand;
    h.outline = handStyle == DialStyle::gradient || handStyle == DialStyle::night ? QColor(Qt::black) : c.background;
    return layers;
}

void AnalogClock::paint(QPainter& painter, const QRectF& bounds) const {
    const QCoreApplication* app = QCoreApplication::instance();
    const bool onGuiThread = app && QThread::currentThread() == app->thread();
    paint(painter, bounds, onGuiThread ? &FaceCache::forGuiThread() : nullptr);
}

QRectF AnalogClock::dialRect(const QRectF& bounds) { return centredSquare(bounds); }

QRectF AnalogClock::deviceDialRect(const QPainter& painter, const QRectF& bounds) {
    QRectF square = dialRect(bounds);
    const QTransform t = painter.deviceTransform();
    if (t.type() <= QTransform::TxScale && t.isInvertible()) {
        const QPointF device = t.map(square.topLeft());
        square.moveTopLeft(t.inverted().map(QPointF(std::round(device.x()), std::round(device.y()))));
    }
    return square;
}

void AnalogClock::paint(QPainter& painter, const QRectF& bounds, FaceCache* cache) const {
    const QRectF plain = dialRect(bounds);
    if (dial::tooSmall(plain.width(), plain.height())) return;
    const QRectF square = deviceDialRect(painter, bounds);
    const Layers layers = content();
    dial::forEachRepaintRect(painter, [&] {
        if (cache)
            cache->drawFace(painter, square, layers.face);
        else
            layers.face.draw(painter, square);
        layers.hands.draw(painter, square);
    });
}

}  // namespace corvane
