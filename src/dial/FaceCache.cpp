#include "dial/FaceCache.h"

#include "dial/GlowLayer.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {
constexpr double kMaxFacePixels = 4096;
}  // namespace

FaceCache::FaceCache(int capacity, qint64 maxBytes) : capacity_(std::max(1, capacity)), maxBytes_(maxBytes) {
    entries_.reserve(std::size_t(capacity_));
}

FaceCache& FaceCache::forGuiThread() {
    static FaceCache cache;
    return cache;
}

void FaceCache::clear() {
    entries_.clear();
    bytes_ = 0;
}

FaceCache::Key FaceCache::keyFor(const AnalogClockFace& face, double diameter, double scale) {
    Key key;
    key.diameter = diameter;
    key.scale = scale;
    if (!face.image.isNull()) {
        // The style does not show under an own image; only the rim's colour does.
        key.imageKey = face.image.cacheKey();
        key.foreground = face.colors.foreground.rgba();
        return key;
    }
    key.style = face.style;
    if (face.style == DialStyle::night) return key;  // the night face brings its own colours
    key.face = face.colors.face.rgba();
    key.foreground = face.colors.foreground.rgba();
    key.accent = face.colors.accent.rgba();
    key.secondHand = face.colors.secondHand.rgba();
    return key;
}

void FaceCache::evictFor(qint64 incoming) {
    while (!entries_.empty() && (int(entries_.size()) >= capacity_ || bytes_ + incoming > maxBytes_)) {
        auto oldest = std::min_element(entries_.begin(), entries_.end(),
                                       [](const Entry& a, const Entry& b) { return a.lastUse < b.lastUse; });
        bytes_ -= oldest->image.sizeInBytes();
        *oldest = std::move(entries_.back());
        entries_.pop_back();
    }
}

QImage FaceCache::face(const AnalogClockFace& face, double diameter, double scale) {
    const Key key = keyFor(face, diameter, scale);
    ++clock_;
    for (Entry& e : entries_) {
        if (e.key == key) {
            e.lastUse = clock_;
            ++hits_;
            return e.image;
        }
    }
    ++misses_;
    const double side = std::ceil(diameter * scale - 1e-6);
    // A face larger than half the budget would evict everything else: it is
    // drawn directly instead.
    if (!(side >= 1 && side <= kMaxFacePixels) || side * side * 4 * 2 > double(maxBytes_)) return QImage();
    const int pixels = int(side);
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return image;
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        face.draw(p, QRectF(0, 0, diameter, diameter));
    }
    const qint64 size = image.sizeInBytes();
    evictFor(size);
    entries_.push_back(Entry{key, image, clock_});
    bytes_ += size;
    return image;
}

void FaceCache::drawFace(QPainter& painter, const QRectF& square, const AnalogClockFace& face) {
    if (dial::tooSmall(square.width(), square.height())) return;
    const double scale = glow::deviceScale(painter);
    const QImage image = this->face(face, square.width(), scale);
    if (image.isNull()) {
        face.draw(painter, square);
        return;
    }
    // The image holds device pixels already; drawn 1:1, no filtering needed.
    painter.drawImage(square.topLeft(), image);
}

}  // namespace corvane
