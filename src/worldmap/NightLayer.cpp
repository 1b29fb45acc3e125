#include "worldmap/MapLayers.h"
#include "worldmap/SunMoon.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>

namespace corvane {

namespace {

constexpr double kRad = 0.017453292519943295;

struct NightCache {
    qint64 key = 0;
    QImage image;
};

NightCache& nightCache() {
    static NightCache cache;
    return cache;
}

// Above this the sun lights the place fully; sparing the asin there halves
// the work on a typical raster.
const double kClearAboveSin = std::sin(0.8 * kRad);

QImage computeRaster(qint64 msecsSinceEpoch) {
    const SubsolarPoint sun = subsolarPoint(msecsSinceEpoch);
    const double sinD = std::sin(sun.lat * kRad);
    const double cosD = std::cos(sun.lat * kRad);

    std::array<double, NightLayer::kWidth> cosHour;
    for (int c = 0; c < NightLayer::kWidth; ++c) {
        const double lon = (c + 0.5) / NightLayer::kWidth * 360.0 - 180.0;
        cosHour[std::size_t(c)] = std::cos((lon - sun.lon) * kRad);
    }

    QImage image(NightLayer::kWidth, NightLayer::kHeight, QImage::Format_RGBA8888_Premultiplied);
    if (image.isNull()) return {};
    image.fill(0);
    for (int r = 0; r < NightLayer::kHeight; ++r) {
        const double lat = 84.0 - (r + 0.5) / NightLayer::kHeight * 142.0;
        const double a = sinD * std::sin(lat * kRad);
        const double b = cosD * std::cos(lat * kRad);
        uchar* row = image.scanLine(r);
        for (int c = 0; c < NightLayer::kWidth; ++c) {
            const double sinAlt = std::clamp(a + b * cosHour[std::size_t(c)], -1.0, 1.0);
            if (sinAlt >= kClearAboveSin) continue;
            const NightShade s = nightShade(std::asin(sinAlt) / kRad);
            uchar* px = row + 4 * c;
            px[0] = s.r;
            px[1] = s.g;
            px[2] = s.b;
            px[3] = s.a;
        }
    }
    return image;
}

}  // namespace

QImage NightLayer::makeImage(qint64 msecsSinceEpoch) {
    NightCache& cache = nightCache();
    const qint64 key = mapRedrawKey(msecsSinceEpoch);
    if (!cache.image.isNull() && cache.key == key) return cache.image;
    QImage image = computeRaster(msecsSinceEpoch);
    // A failed image leaves the previous pair in place.
    if (image.isNull()) return {};
    cache.key = key;
    cache.image = image;
    return image;
}

void NightLayer::draw(QPainter& p) const {
    const QImage image = makeImage(mapKeyMSecs(key));
    if (image.isNull() || size.isEmpty()) return;
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.drawImage(QRectF(QPointF(0, 0), size), image);
    p.restore();
}

}  // namespace corvane
