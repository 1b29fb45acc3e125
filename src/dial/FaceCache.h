#pragma once

// Dial faces painted once and reused. A face only changes with its style,
// size, colours, device resolution and image, so a frame at the fast tick
// blits the stored face and paints just the hands.
//
// Faces are QImages, so a cache can live on any thread, but one cache must
// only be used from one thread at a time.

#include "dial/AnalogClock.h"

#include <QImage>
#include <QRectF>

#include <cstdint>
#include <vector>

class QPainter;

namespace corvane {

class FaceCache {
public:
    // At most `capacity` faces and `maxBytes` of pixels; the least recently
    // used face goes first.
    explicit FaceCache(int capacity = 48, qint64 maxBytes = qint64(96) << 20);

    // Draws `face` into the square `square` from the cache, painting and
    // storing it first when needed.
    void drawFace(QPainter& painter, const QRectF& square, const AnalogClockFace& face);

    // The face of `diameter` points at `scale` device pixels per point; a null
    // image when the face is too large to keep.
    QImage face(const AnalogClockFace& face, double diameter, double scale);

    int size() const { return int(entries_.size()); }
    qint64 bytes() const { return bytes_; }
    qint64 hits() const { return hits_; }
    qint64 misses() const { return misses_; }
    void clear();

    // The cache the GUI thread's views share.
    static FaceCache& forGuiThread();

private:
    struct Key {
        DialStyle style = DialStyle::classic;
        qint64 imageKey = 0;
        double diameter = 0;
        double scale = 1;
        QRgb face = 0, foreground = 0, accent = 0, secondHand = 0;
        bool operator==(const Key&) const = default;
    };
    struct Entry {
        Key key;
        QImage image;
        std::uint64_t lastUse = 0;
    };

    static Key keyFor(const AnalogClockFace& face, double diameter, double scale);
    void evictFor(qint64 incoming);

    int capacity_;
    qint64 maxBytes_;
    qint64 bytes_ = 0;
    std::uint64_t clock_ = 0;
    qint64 hits_ = 0;
    qint64 misses_ = 0;
    std::vector<Entry> entries_;
};

}  // namespace corvane
