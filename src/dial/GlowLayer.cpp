#include "dial/GlowLayer.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace corvane {
namespace glow {

namespace {

// Rounded division of a window's sum by its width as a multiplication: a
// division per pixel was most of the blur's time. Exact while the largest
// sum times the width stays below 2^32, that is for windows under 4096
// pixels; wider ones (never asked for) divide.
struct WindowAverage {
    int window;
    int half;
    std::uint64_t reciprocal;
    explicit WindowAverage(int w)
        : window(w), half(w / 2), reciprocal(((std::uint64_t(1) << 32) + std::uint64_t(w) - 1) / std::uint64_t(w)) {}
    unsigned char operator()(int sum) const {
        if (window >= 4096) return static_cast<unsigned char>((sum + half) / window);
        return static_cast<unsigned char>((std::uint64_t(sum + half) * reciprocal) >> 32);
    }
};

// One box pass along rows (step 1) or columns (step = width) with a running
// sum; edges count as empty, so a glow fades out at the layer border.
void boxPass(const unsigned char* in, unsigned char* out, int length, int count, int step, int lineStep,
             int radius) {
    const WindowAverage average(2 * radius + 1);
    for (int line = 0; line < count; ++line) {
        const unsigned char* src = in + std::ptrdiff_t(line) * lineStep;
        unsigned char* dst = out + std::ptrdiff_t(line) * lineStep;
        int sum = 0;
        for (int i = 0; i < std::min(radius, length); ++i) sum += src[std::ptrdiff_t(i) * step];
        for (int i = 0; i < length; ++i) {
            const int add = i + radius;
            const int drop = i - radius - 1;
            if (add < length) sum += src[std::ptrdiff_t(add) * step];
            if (drop >= 0) sum -= src[std::ptrdiff_t(drop) * step];
            dst[std::ptrdiff_t(i) * step] = average(sum);
        }
    }
}

// The same pass down the columns, done a row at a time with one running sum
// per column: walking each column would jump a whole row per pixel and miss
// the cache on every step of a wide image.
void boxPassColumns(const unsigned char* in, unsigned char* out, int width, int height, int radius,
                    std::vector<int>& sums) {
    const WindowAverage average(2 * radius + 1);
    sums.assign(std::size_t(width), 0);
    int* sum = sums.data();
    const auto row = [&](int y) { return in + std::ptrdiff_t(y) * width; };
    for (int y = 0; y < std::min(radius, height); ++y) {
        const unsigned char* r = row(y);
        for (int x = 0; x < width; ++x) sum[x] += r[x];
    }
    for (int y = 0; y < height; ++y) {
        const int add = y + radius;
        const int drop = y - radius - 1;
        if (add < height) {
            const unsigned char* r = row(add);
            for (int x = 0; x < width; ++x) sum[x] += r[x];
        }
        if (drop >= 0) {
            const unsigned char* r = row(drop);
            for (int x = 0; x < width; ++x) sum[x] -= r[x];
        }
        unsigned char* dst = out + std::ptrdiff_t(y) * width;
        for (int x = 0; x < width; ++x) dst[x] = average(sum[x]);
    }
}

}  // namespace

void blurCoverage(unsigned char* plane, int width, int height, double sigma) {
    if (!plane || width <= 0 || height <= 0 || !(sigma > 0)) return;
    // Three passes of width w have variance (w^2 - 1) / 4.
    const int radius = int(std::lround((std::sqrt(4 * sigma * sigma + 1) - 1) / 2));
    if (radius < 1) return;
    std::vector<unsigned char> scratch(std::size_t(width) * std::size_t(height));
    std::vector<int> sums;
    for (int pass = 0; pass < 3; ++pass) {
        boxPass(plane, scratch.data(), width, height, 1, width, radius);
        boxPassColumns(scratch.data(), plane, width, height, radius, sums);
    }
}

double deviceScale(const QPainter& ctx) {
    const QTransform t = ctx.deviceTransform();
    const double scale = std::sqrt(std::abs(t.m11() * t.m22() - t.m12() * t.m21()));
    return scale > 0 && std::isfinite(scale) ? scale : 1.0;
}

}  // namespace glow

void drawGlow(QPainter& ctx, const QRectF& bounds, double blur, const QColor& color,
              const std::function<void(QPainter&)>& paint) {
    const double scale = glow::deviceScale(ctx);
    const double sigma = blur * scale / 2;  // a shadow's blur radius spans about two deviations
    const double margin = std::ceil(3 * sigma + 2) / scale;
    const QRectF area = bounds.adjusted(-margin, -margin, margin, margin);
    const int width = int(std::ceil(area.width() * scale));
    const int height = int(std::ceil(area.height() * scale));
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return;

    QImage layer(width, height, QImage::Format_ARGB32_Premultiplied);
    if (layer.isNull()) return;
    layer.fill(0);
    {
        QPainter p(&layer);
        p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        p.scale(scale, scale);
        p.translate(-area.topLeft());
        paint(p);
    }
    std::vector<unsigned char> coverage(std::size_t(width) * std::size_t(height));
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(layer.constScanLine(y));
        unsigned char* out = coverage.data() + std::size_t(y) * std::size_t(width);
        for (int x = 0; x < width; ++x) out[x] = static_cast<unsigned char>(qAlpha(row[x]));
    }
    glow::blurCoverage(coverage.data(), width, height, sigma);

    QImage tinted(width, height, QImage::Format_ARGB32_Premultiplied);
    if (tinted.isNull()) return;
    const QRgb base = color.rgba();
    const int alpha = qAlpha(base);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(tinted.scanLine(y));
        const unsigned char* cov = coverage.data() + std::size_t(y) * std::size_t(width);
        for (int x = 0; x < width; ++x) {
            const int a = (cov[x] * alpha + 127) / 255;
            row[x] = qPremultiply(qRgba(qRed(base), qGreen(base), qBlue(base), a));
        }
    }
    ctx.save();
    ctx.setRenderHint(QPainter::SmoothPixmapTransform, true);
    ctx.drawImage(QRectF(area.topLeft(), QSizeF(width / scale, height / scale)), tinted);
    ctx.restore();
}

}  // namespace corvane
