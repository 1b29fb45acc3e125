#include <gtest/gtest.h>

#include "dial/AnalogClock.h"
#include "dial/DialGeometry.h"
#include "dial/DialPainter.h"
#include "dial/FaceCache.h"
#include "dial/GlowLayer.h"
#include "dial/HandRaster.h"

#include <QDir>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <limits>
#include <thread>

using namespace corvane;

namespace {

QImage render(const AnalogClock& clock, QSize size, double dpr = 1.0, FaceCache* cache = nullptr,
             QColor ground = Qt::transparent) {
    QImage image(size * dpr, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(ground);
    QPainter p(&image);
    clock.paint(p, QRectF(QPointF(0, 0), QSizeF(size)), cache);
    return image;
}

QColor pixelAt(const QImage& image, QPointF point) {
    const double dpr = image.devicePixelRatio();
    return image.pixelColor(int(std::floor(point.x() * dpr)), int(std::floor(point.y() * dpr)));
}

bool near(const QColor& a, const QColor& b, int tolerance = 24) {
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance && std::abs(a.alpha() - b.alpha()) <= tolerance;
}

bool isEmpty(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0) return false;
    return true;
}

int maxChannelDifference(const QImage& a, const QImage& b) {
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    return worst;
}

AnalogClock classicAt(DialTime time) {
    AnalogClock clock;
    clock.time = time;
    clock.smoothSeconds = true;
    return clock;
}

}  // namespace

TEST(DialRendering, SecondHandTipLiesAtItsAngle) {
    // 37.5 s puts the second hand at 225 degrees, between two minute marks,
    // with the other hands far away near 12 o'clock.
    const AnalogClock clock = classicAt(DialTime{0, 0, 37, 500'000'000});
    const QColor red = clock.content().hands.secondHand;
    const QColor face = clock.content().face.colors.face;
    for (double dpr : {1.0, 2.0}) {
        SCOPED_TRACE(dpr);
        const QImage image = render(clock, {200, 200}, dpr);
        const QPointF c(100, 100);
        EXPECT_TRUE(near(pixelAt(image, dial::polar(c, 225, 84)), red)) << "just inside the tip";
        EXPECT_TRUE(near(pixelAt(image, dial::polar(c, 225, 60)), red));
        EXPECT_TRUE(near(pixelAt(image, dial::polar(c, 225, -15)), red)) << "the tail";
        EXPECT_TRUE(near(pixelAt(image, dial::polar(c, 225, 90)), face)) << "past the tip";
        // Mirrored angles would show up here if the direction were wrong.
        for (double wrong : {135.0, 315.0, 45.0})
            EXPECT_TRUE(near(pixelAt(image, dial::polar(c, wrong, 80)), face)) << wrong;
    }
}

TEST(DialRendering, OwnImageIsClippedToTheCircle) {
    QImage photo(100, 50, QImage::Format_ARGB32_Premultiplied);  // wide: aspect fill crops the sides
    photo.fill(QColor(0, 0, 255));
    AnalogClock clock;
    clock.image = photo;
    clock.showSeconds = false;
    const QImage image = render(clock, {200, 200});
    for (QPoint corner : {QPoint(0, 0), QPoint(199, 0), QPoint(0, 199), QPoint(199, 199), QPoint(20, 20)})
        EXPECT_EQ(qAlpha(image.pixel(corner)), 0) << corner.x() << "," << corner.y();
    // The image reaches every side of the circle, just inside the rim.
    for (QPointF inside : {QPointF(100, 8), QPointF(100, 192), QPointF(8, 100), QPointF(192, 100), QPointF(160, 160)})
        EXPECT_TRUE(near(pixelAt(image, inside), QColor(0, 0, 255))) << inside.x() << "," << inside.y();
}

TEST(DialRendering, MarksContrastWithTheOwnFace) {
    struct Case {
        RGB face;
        bool light;
    } cases[] = {{{0, 0, 0}, true}, {{20, 30, 60}, true}, {{255, 255, 255}, false}, {{250, 230, 150}, false}};
    const struct {
        DialStyle style;
        double markDistance;  // inside each style's hour mark
    } styles[] = {{DialStyle::classic, 88}, {DialStyle::minimal, 85}, {DialStyle::roman, 91}};
    for (const auto [style, markDistance] : styles) {
        for (const Case& c : cases) {
            SCOPED_TRACE(rawValue(style).toStdString() + " " + c.face.hexString().toStdString());
            AnalogClock clock;
            clock.style = style;
            clock.faceRGB = c.face;
            clock.showSeconds = false;
            clock.time = DialTime{6, 0, 0};  // hands point at 12 and 6, away from 3 o'clock
            const QImage image = render(clock, {200, 200});
            // The 3 o'clock hour mark: the pixel row it covers best.
            QColor mark = pixelAt(image, QPointF(100 + markDistance, 99.5));
            const QColor below = pixelAt(image, QPointF(100 + markDistance, 100.5));
            if (std::abs(below.lightness() - c.face.toQColor().lightness()) >
                std::abs(mark.lightness() - c.face.toQColor().lightness()))
                mark = below;
            const QColor face = pixelAt(image, dial::polar(QPointF(100, 100), 75, 50));
            EXPECT_TRUE(near(face, c.face.toQColor(), 2));
            if (c.light)
                EXPECT_GT(mark.lightness(), 170);
            else
                EXPECT_LT(mark.lightness(), 90);
        }
    }
}

TEST(DialRendering, DegenerateCanvasesDrawNothingFiveByFiveDraws) {
    for (DialStyle style : allCases<DialStyle>()) {
        SCOPED_TRACE(rawValue(style).toStdString());
        AnalogClock clock;
        clock.style = style;
        FaceCache cache;
        EXPECT_TRUE(isEmpty(render(clock, {4, 300})));
        EXPECT_TRUE(isEmpty(render(clock, {300, 4}, 1.0, &cache)));
        EXPECT_EQ(cache.size(), 0);
        EXPECT_FALSE(isEmpty(render(clock, {5, 5})));
        // Broken layouts: nothing drawn, nothing allocated, no crash.
        QImage image(20, 20, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        const double inf = std::numeric_limits<double>::infinity();
        for (const QRectF& bounds : {QRectF(0, 0, std::nan(""), 50), QRectF(0, 0, inf, inf), QRectF(-1e9, -1e9, 2e9, 2e9)})
            clock.paint(p, bounds, &cache);
        p.end();
        EXPECT_TRUE(isEmpty(image));
        EXPECT_EQ(cache.size(), 0);
    }
}

TEST(DialRendering, NightFaceStaysDarkUnderALightOwnFaceColour) {
    AnalogClock clock;
    clock.style = DialStyle::night;
    clock.faceRGB = RGB{250, 250, 250};
    clock.showSeconds = false;
    const QImage image = render(clock, {200, 200});
    EXPECT_TRUE(near(pixelAt(image, QPointF(100, 140)), nightFaceColor(), 3));
    // The glow reaches past the 3 o'clock mark's outer end.
    const QColor beyond = pixelAt(image, QPointF(100 + 0.91 * 100 + 2.5, 100.5));
    EXPECT_GT(beyond.green(), nightFaceColor().green() + 10);
}

TEST(DialRendering, DotsFaceHasNoRing) {
    // A face the colour of the window leaves no edge.
    AnalogClock clock;
    clock.style = DialStyle::dots;
    clock.faceRGB = clock.theme.background;
    clock.showSeconds = false;
    const QColor ground = clock.theme.background.toQColor();
    const QImage image = render(clock, {200, 200}, 1.0, nullptr, ground);
    for (double a = 3; a < 360; a += 6)  // between the dots, across the disc's edge
        for (double distance : {96.0, 98.0, 99.0, 99.5})
            EXPECT_TRUE(near(pixelAt(image, dial::polar(QPointF(100, 100), a, distance)), ground, 2)) << a;
}

TEST(FaceCache, CachedFramesMatchDirectDrawingAndReuseTheFace) {
    for (double dpr : {1.0, 2.0}) {
        for (DialStyle style : allCases<DialStyle>()) {
            SCOPED_TRACE(rawValue(style).toStdString() + " @" + std::to_string(dpr));
            FaceCache cache;
            AnalogClock clock = classicAt(DialTime{10, 8, 37, 250'000'000});
            clock.style = style;
            const QImage direct = render(clock, {120, 120}, dpr);
            const QImage cached = render(clock, {120, 120}, dpr, &cache);
            EXPECT_LE(maxChannelDifference(direct, cached), 8);
            clock.time.second = 38;  // a new frame: same face
            render(clock, {120, 120}, dpr, &cache);
            EXPECT_EQ(cache.misses(), 1);
            EXPECT_EQ(cache.hits(), 1);
        }
    }
}

TEST(FaceCache, EverythingThatChangesTheFaceMissesAndTheSizeIsBounded) {
    FaceCache cache(4);
    AnalogClock clock;
    render(clock, {100, 100}, 1.0, &cache);
    clock.faceRGB = RGB{10, 20, 30};
    render(clock, {100, 100}, 1.0, &cache);
    render(clock, {100, 100}, 2.0, &cache);
    render(clock, {101, 101}, 2.0, &cache);
    EXPECT_EQ(cache.misses(), 4);
    QImage photo(10, 10, QImage::Format_ARGB32_Premultiplied);
    photo.fill(Qt::green);
    clock.image = photo;
    render(clock, {100, 100}, 1.0, &cache);
    photo.fill(Qt::blue);  // a changed image is a new face
    clock.image = photo;
    render(clock, {100, 100}, 1.0, &cache);
    EXPECT_EQ(cache.misses(), 6);
    EXPECT_EQ(cache.size(), 4);
    // The most recently used faces survived.
    render(clock, {100, 100}, 1.0, &cache);
    EXPECT_EQ(cache.hits(), 1);
    // The night face ignores the colours: one face for all of them.
    clock.image = QImage();
    clock.style = DialStyle::night;
    render(clock, {100, 100}, 1.0, &cache);
    clock.faceRGB = RGB{200, 0, 0};
    render(clock, {100, 100}, 1.0, &cache);
    EXPECT_EQ(cache.hits(), 2);
}

TEST(DialGallery, WritesOnePictureForEachStyle) {
    const QString folder = QStringLiteral(CORVANE_BUILD_DIR "/gallery/");
    ASSERT_TRUE(QDir().mkpath(folder));
    const DialTime time{10, 9, 37, 0};
    auto write = [&](const AnalogClock& clock, const QString& name) {
        QImage image(QSize(240, 240) * 2, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(2);
        image.fill(clock.theme.background.toQColor());
        QPainter p(&image);
        clock.paint(p, QRectF(10, 10, 220, 220));
        p.end();
        EXPECT_TRUE(image.save(folder + name + QStringLiteral(".png"))) << name.toStdString();
    };
    for (DialStyle style : allCases<DialStyle>()) {
        AnalogClock clock;
        clock.time = time;
        clock.style = style;
        write(clock, QStringLiteral("dial-") + rawValue(style));
        clock.theme = ThemeColors::make(ThemeMode::light, std::nullopt, true, 1.0);
        write(clock, QStringLiteral("dial-") + rawValue(style) + QStringLiteral("-light"));
    }
    AnalogClock coloured;
    coloured.time = time;
    coloured.faceRGB = RGB{31, 58, 95};
    write(coloured, QStringLiteral("dial-face-colour"));
    coloured.faceRGB = RGB{250, 220, 120};
    coloured.style = DialStyle::modern;
    write(coloured, QStringLiteral("dial-face-colour-light"));
    // A striped image shows cropping and centring.
    QImage photo(300, 200, QImage::Format_ARGB32_Premultiplied);
    {
        QPainter p(&photo);
        for (int x = 0; x < 300; x += 20) p.fillRect(x, 0, 20, 200, QColor::fromHsv(x * 359 / 300, 160, 230));
        p.fillRect(140, 90, 20, 20, Qt::black);
    }
    AnalogClock own;
    own.time = time;
    own.style = DialStyle::night;
    own.image = photo;
    write(own, QStringLiteral("dial-own-image"));
}

TEST(HandRaster, MatchesPainterStrokesAndFallsBackUnderRotation) {
    AnalogClock clock = classicAt(DialTime{10, 8, 37, 250'000'000});
    for (DialStyle style : {DialStyle::classic, DialStyle::modern, DialStyle::elegant, DialStyle::minimal}) {
        for (double dpr : {1.0, 2.0}) {
            SCOPED_TRACE(rawValue(style).toStdString() + " @" + std::to_string(dpr));
            clock.style = style;
            const AnalogClockHands hands = clock.content().hands;
            auto draw = [&](bool raster) {
                QImage image(QSize(150, 150) * dpr, QImage::Format_ARGB32_Premultiplied);
                image.setDevicePixelRatio(dpr);
                image.fill(QColor(90, 120, 60));
                QPainter p(&image);
                const QRectF square(3, 7, 140, 140);
                if (raster)
                    EXPECT_TRUE(hands::drawRasterised(p, square, hands));
                else
                    hands::drawWithPainter(p, square, hands);
                return image;
            };
            const QImage raster = draw(true);
            const QImage stroked = draw(false);
            // Edges are antialiased differently (the raster keeps hairlines
            // smoother), so compare how much ink lies where, not single pixels.
            struct Ink {
                double amount = 0, x = 0, y = 0;
            };
            auto ink = [](const QImage& image) {
                const QRgb ground = QColor(90, 120, 60).rgba();
                Ink sum;
                for (int y = 0; y < image.height(); ++y)
                    for (int x = 0; x < image.width(); ++x) {
                        const QRgb p = image.pixel(x, y);
                        const double w = std::max({std::abs(qRed(p) - qRed(ground)), std::abs(qGreen(p) - qGreen(ground)),
                                                   std::abs(qBlue(p) - qBlue(ground))});
                        sum.amount += w;
                        sum.x += w * x;
                        sum.y += w * y;
                    }
                return Ink{sum.amount, sum.x / sum.amount, sum.y / sum.amount};
            };
            const Ink a = ink(raster), b = ink(stroked);
            EXPECT_NEAR(a.amount / b.amount, 1.0, 0.08);
            EXPECT_NEAR(a.x, b.x, 1.0);
            EXPECT_NEAR(a.y, b.y, 1.0);
        }
    }

    // A rotated painter cannot be blitted pixel for pixel: the hands are
    // stroked instead, and still turn with the painter.
    QImage image(200, 200, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.translate(100, 100);
    p.rotate(90);
    p.translate(-100, -100);
    AnalogClock rotated = classicAt(DialTime{0, 0, 37, 500'000'000});
    EXPECT_FALSE(hands::drawRasterised(p, QRectF(0, 0, 200, 200), rotated.content().hands));
    rotated.paint(p, QRectF(0, 0, 200, 200));
    p.end();
    EXPECT_TRUE(near(pixelAt(image, dial::polar(QPointF(100, 100), 315, 70)), rotated.content().hands.secondHand));
}

TEST(HandRaster, ScratchIsSizedOnceForEveryAngleOfTheHands) {
    // The scratch is the thread's own: a fresh thread starts without one.
    // Each pass turns the hands through a whole minute and more; the
    // scratch must neither grow after the first frame nor change a picture
    // from what a fresh thread draws.
    struct Case {
        QSize size;
        double dpr;
        DialTime start;
    };
    for (const Case& c : {Case{{600, 600}, 1.0, {10, 8, 0, 0}}, Case{{300, 300}, 2.0, {3, 41, 44, 120'000'000}},
                          Case{{90, 90}, 1.0, {7, 22, 15, 0}}}) {
        SCOPED_TRACE(std::to_string(c.size.width()) + " @" + std::to_string(c.dpr));
        auto frame = [&](qint64 msecs) {
            AnalogClock clock = classicAt(c.start);
            const qint64 ns = c.start.nanosecond + msecs * 1'000'000;
            clock.time.second = int((c.start.second + ns / 1'000'000'000) % 60);
            clock.time.nanosecond = ns % 1'000'000'000;
            QImage image(c.size * c.dpr, QImage::Format_ARGB32_Premultiplied);
            image.setDevicePixelRatio(c.dpr);
            image.fill(QColor(90, 120, 60));
            QPainter p(&image);
            EXPECT_TRUE(hands::drawRasterised(p, QRectF(QPointF(0, 0), QSizeF(c.size)), clock.content().hands));
            return image;
        };
        constexpr qint64 kLastMs = 61'040;
        QSize first, last;
        QImage turned, fresh;
        std::thread([&] {
            frame(0);
            first = hands::scratchSize();
            for (qint64 ms = 80; ms <= kLastMs; ms += 80) turned = frame(ms);
            last = hands::scratchSize();
        }).join();
        std::thread([&] { fresh = frame(kLastMs); }).join();
        EXPECT_FALSE(first.isEmpty());
        EXPECT_EQ(first, last);
        EXPECT_EQ(maxChannelDifference(turned, fresh), 0);
    }
}

namespace {

// How wide a stroke of `ink` is along a scan line over a `face` ground: the
// sum of each pixel's coverage, read from the channel that differs most.
double coveredLength(const QImage& image, QPoint from, QPoint step, int count, QColor face, QColor ink) {
    int channel = 0;
    const int deltas[3] = {ink.red() - face.red(), ink.green() - face.green(), ink.blue() - face.blue()};
    for (int i = 1; i < 3; ++i)
        if (std::abs(deltas[i]) > std::abs(deltas[channel])) channel = i;
    double sum = 0;
    for (int i = 0; i < count; ++i) {
        const QColor p = image.pixelColor(from + step * i);
        const int values[3] = {p.red() - face.red(), p.green() - face.green(), p.blue() - face.blue()};
        sum += std::clamp(double(values[channel]) / deltas[channel], 0.0, 1.0);
    }
    return sum;
}

}  // namespace

TEST(DialRendering, RingAndMarkWidthsScaleWithTheDialAndKeepTheirMinimum) {
    struct Case {
        DialStyle style;
        int size;
        double ring;       // at 3 o'clock
        double hourMark;   // the 3 o'clock mark, measured across
        double markAt;     // where that mark is measured, as a fraction of r
        double minuteMark; // the mark at 84 degrees; 0 when the style has none
        double minuteAt;
        double ringFrom = 0.95;  // the ring scan starts outside the marks
    } cases[] = {
        {DialStyle::classic, 100, 1.5, 2, 0.88, 1, 0.9075},
        {DialStyle::classic, 1000, 12, 12, 0.88, 4, 0.9075},
        {DialStyle::roman, 100, 2, 1.5, 0.91, 0.8, 0.9},
        {DialStyle::roman, 1000, 16, 8, 0.91, 3, 0.9},
        {DialStyle::modern, 100, 3, 0, 0, 0, 0, 0.9},
        {DialStyle::modern, 1000, 24, 0, 0, 0, 0, 0.9},
        {DialStyle::minimal, 1000, 0, 14, 0.82, 0, 0},
    };
    const RGB black{0, 0, 0};
    for (const Case& c : cases) {
        SCOPED_TRACE(rawValue(c.style).toStdString() + " " + std::to_string(c.size));
        AnalogClock clock;
        clock.style = c.style;
        clock.faceRGB = black;
        clock.showSeconds = false;
        clock.time = DialTime{6, 0, 0};
        const DialColors colors = clock.content().face.colors;
        // Every dial is looked at with 1000 device pixels across, so antialiasing
        // blurs a small dial's widths by a tenth of a point at most; a margin
        // keeps strokes that reach past the dial's edge whole.
        const double dpr = 1000.0 / c.size;
        const int margin = 10;
        QImage image(1000 + 2 * margin, 1000 + 2 * margin, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(dpr);
        image.fill(colors.face);
        {
            QPainter p(&image);
            clock.paint(p, QRectF(margin / dpr, margin / dpr, c.size, c.size), nullptr);
        }
        const int centre = margin + 500;
        const double r = 500;
        // Neighbouring marks are 6 degrees away: scans stay well inside that.
        if (c.ring > 0) {
            const int from = centre + int(c.ringFrom * r);
            EXPECT_NEAR(coveredLength(image, {from, centre}, {1, 0}, image.width() - from, colors.face, colors.accent) / dpr,
                        c.ring, 0.05 * c.ring);
        }
        if (c.hourMark > 0) {
            const int x = centre + int(c.markAt * r);
            const int span = int(0.05 * r);
            EXPECT_NEAR(coveredLength(image, {x, centre - span}, {0, 1}, 2 * span, colors.face, colors.foreground) / dpr,
                        c.hourMark, 0.05 * c.hourMark);
        }
        if (c.minuteMark > 0) {
            const QPointF at = dial::polar(QPointF(centre, centre), 84, c.minuteAt * r);
            const int span = int(0.04 * r);
            const double across = coveredLength(image, {int(at.x()), int(at.y()) - span}, {0, 1}, 2 * span + 1,
                                                colors.face, colors.foreground) / dpr;
            EXPECT_NEAR(across * std::cos(6 * M_PI / 180), c.minuteMark, 0.08 * c.minuteMark);
        }
    }
}

// The roman numerals are wide: at four and eight o'clock the widest reach
// furthest out. On every size a clean band of face colour stays between
// their ink and the inner ring, wider on larger dials.
TEST(DialRendering, RomanNumeralsKeepAGapInsideTheInnerRing) {
    const QColor face(255, 255, 255);
    const DialColors colors{face, QColor(0, 0, 0), QColor(0, 0, 200), QColor(200, 0, 0), face};
    for (const int size : {120, 300, 600}) {
        SCOPED_TRACE(size);
        const double s = size, r = s / 2;
        EXPECT_LE(romanNumeralSize(s), 0.078 * s);
        EXPECT_GE(romanNumeralSize(s), 0.06 * s) << "shrunk only as far as needed";
        QImage image(size + 4, size + 4, QImage::Format_ARGB32_Premultiplied);
        image.fill(face);
        const QPointF centre(2 + r, 2 + r);
        {
            QPainter p(&image);
            p.setRenderHint(QPainter::Antialiasing);
            p.setRenderHint(QPainter::TextAntialiasing);
            DialPainter{p, centre, s, colors}.drawRoman();
        }
        // Every pixel between the numerals' outer parts and the ring: the
        // ring's own antialiasing reaches at most 0.75 px inside its edge;
        // ink further in is a numeral's.
        const double ringEdge = 0.885 * r - romanRingWidth(s) / 2;
        double outermostInk = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const double d = std::hypot(x + 0.5 - centre.x(), y + 0.5 - centre.y());
                if (d < 0.8 * r || d >= ringEdge - 0.75) continue;
                const QColor c = image.pixelColor(x, y);
                if (std::max({255 - c.red(), 255 - c.green(), 255 - c.blue()}) > 8) outermostInk = std::max(outermostInk, d);
            }
        const double narrowest = ringEdge - outermostInk;
        EXPECT_GE(narrowest, std::max(1.5, 0.02 * s)) << "clean gap in pixels";
    }
}

namespace {
// Three separable box passes written the plain way: every output pixel sums
// its window directly, pixels beyond the edge count as empty.
std::vector<unsigned char> referenceBlur(std::vector<unsigned char> plane, int w, int h, int radius) {
    const int window = 2 * radius + 1;
    std::vector<unsigned char> tmp(plane.size());
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int sum = 0;
                for (int k = -radius; k <= radius; ++k)
                    if (x + k >= 0 && x + k < w) sum += plane[std::size_t(y * w + x + k)];
                tmp[std::size_t(y * w + x)] = static_cast<unsigned char>((sum + window / 2) / window);
            }
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int sum = 0;
                for (int k = -radius; k <= radius; ++k)
                    if (y + k >= 0 && y + k < h) sum += tmp[std::size_t((y + k) * w + x)];
                plane[std::size_t(y * w + x)] = static_cast<unsigned char>((sum + window / 2) / window);
            }
    }
    return plane;
}
}  // namespace

TEST(GlowBlur, MatchesPlainBoxPassesIncludingPlanesThinnerThanTheWindow) {
    const struct {
        int w, h;
        double sigma;  // sigma 1.5 gives radius 1, 3 gives radius 3
        int radius;
    } cases[] = {{37, 23, 1.5, 1}, {64, 48, 3.0, 3}, {5, 2, 3.0, 3}, {1, 9, 3.0, 3}, {9, 1, 1.5, 1}};
    for (const auto& c : cases) {
        std::vector<unsigned char> plane(std::size_t(c.w * c.h));
        unsigned state = 12345;
        for (unsigned char& v : plane) {
            state = state * 1103515245u + 12345u;
            v = static_cast<unsigned char>((state >> 16) & 0xff);
        }
        const std::vector<unsigned char> expected = referenceBlur(plane, c.w, c.h, c.radius);
        glow::blurCoverage(plane.data(), c.w, c.h, c.sigma);
        EXPECT_EQ(plane, expected) << c.w << "x" << c.h;
    }
}
