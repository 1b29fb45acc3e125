#include "dial/SweepLayer.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "dial/DialGeometry.h"
#include "dial/FaceCache.h"
#include "dial/GlowLayer.h"
#include "dial/HandRaster.h"
#include "dial/RepaintRects.h"

namespace corvane {

namespace {

// Device pixels of a `side` square picture of a dial of `diameter` points
// the hour and minute hands at these angles can touch, halo and
// antialiasing included.
QRect slowHandsBox(DialStyle style, double diameter, double scale, double hour, double minute, int side) {
    const dial::HandMetrics m = dial::handMetrics(style, diameter);
    const QPointF c(diameter / 2 * scale, diameter / 2 * scale);
    double left = c.x(), right = c.x(), top = c.y(), bottom = c.y();
    for (const auto& [degrees, s] : {std::pair{hour, m.hour}, std::pair{minute, m.minute}}) {
        const QPointF from = dial::polar(c, degrees, -s.tail * scale);
        const QPointF to = dial::polar(c, degrees, s.length * scale);
        const double reach = std::max(s.width, s.haloWidth) * scale / 2 + 2;
        left = std::min({left, from.x() - reach, to.x() - reach});
        right = std::max({right, from.x() + reach, to.x() + reach});
        top = std::min({top, from.y() - reach, to.y() - reach});
        bottom = std::max({bottom, from.y() + reach, to.y() + reach});
    }
    const QRect box(QPoint(int(std::floor(left)), int(std::floor(top))),
                    QPoint(int(std::ceil(right)), int(std::ceil(bottom))));
    return box.intersected(QRect(0, 0, side, side));
}

void copyPixels(QImage& to, const QImage& from, const QRect& area) {
    const std::size_t bytes = std::size_t(area.width()) * 4;
    for (int y = area.top(); y <= area.bottom(); ++y)
        std::memcpy(to.scanLine(y) + std::size_t(area.left()) * 4,
                    from.constScanLine(y) + std::size_t(area.left()) * 4, bytes);
}

}  // namespace

void SweepLayer::clear() {
    image_ = QImage();
    key_ = Key{};
}

void SweepLayer::paint(QPainter& painter, const AnalogClock& clock, const QRectF& bounds, FaceCache* faces) {
    const QRectF plain = AnalogClock::dialRect(bounds);
    if (dial::tooSmall(plain.width(), plain.height())) return;
    FaceCache& cache = faces ? *faces : FaceCache::forGuiThread();
    const QTransform t = painter.deviceTransform();
    const bool pixelAligned =
        t.type() <= QTransform::TxScale && t.m11() > 0 && std::abs(t.m11() - t.m22()) < 1e-9;
    if (!pixelAligned) {
        clock.paint(painter, bounds, &cache);
        return;
    }
    const QRectF square = AnalogClock::deviceDialRect(painter, bounds);
    const double scale = glow::deviceScale(painter);
    const AnalogClock::Layers layers = clock.content();
    const QImage face = cache.face(layers.face, square.width(), scale);
    if (face.isNull() || face.format() != QImage::Format_ARGB32_Premultiplied) {
        clock.paint(painter, bounds, &cache);
        return;
    }

    AnalogClockHands still = layers.hands;
    still.smoothSeconds = false;
    const HandAngles angles = AnalogClockHands::angles(still.time, false);
    const Key key{face.cacheKey(),      still.style,    still.hand.rgba(),
                  still.outline.rgba(), square.width(), scale};
    const QRectF local(0, 0, square.width(), square.width());
    const int side = face.width();
    if (image_.isNull() || !(key == key_) || image_.size() != face.size()) {
        if (image_.size() != face.size()) image_ = QImage(face.size(), face.format());
        if (image_.isNull()) {
            clock.paint(painter, bounds, &cache);
            return;
        }
        image_.setDevicePixelRatio(scale);
        copyPixels(image_, face, QRect(0, 0, side, face.height()));
        QPainter p(&image_);
        hands::drawRasterised(p, local, still, hands::Parts::hourAndMinute);
        key_ = key;
        ++rebuilds_;
    } else if (angles.hour != hourAngle_ || angles.minute != minuteAngle_) {
        // Only where the two hands were and are now: the face under them
        // comes back from the stored face, then they are drawn anew.
        const QRect now = slowHandsBox(still.style, square.width(), scale, angles.hour, angles.minute, side);
        const QRect area = handsBox_.united(now);
        if (!area.isEmpty()) {
            // The face comes back a little beyond the clip: a clip that
            // rounds outward at a fractional scale still draws onto face.
            copyPixels(image_, face,
                       area.adjusted(-2, -2, 2, 2).intersected(QRect(0, 0, side, face.height())));
            QPainter p(&image_);
            p.setClipRect(QRectF(QPointF(area.topLeft()) / scale, QSizeF(area.size()) / scale));
            hands::drawRasterised(p, local, still, hands::Parts::hourAndMinute);
        }
        ++handUpdates_;
    }
    hourAngle_ = angles.hour;
    minuteAngle_ = angles.minute;
    handsBox_ = slowHandsBox(still.style, square.width(), scale, angles.hour, angles.minute, side);

    bool drawn = true;
    dial::forEachRepaintRect(painter, [&] {
        painter.drawImage(square.topLeft(), image_);
        drawn = hands::drawRasterised(painter, square, layers.hands, hands::Parts::secondAndCap) && drawn;
    });
    if (!drawn) clock.paint(painter, bounds, &cache);
}

}  // namespace corvane
