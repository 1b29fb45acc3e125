#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>

#include "dial/AnalogClock.h"
#include "dial/FaceCache.h"
#include "dial/SweepLayer.h"

using namespace corvane;

namespace {

QImage render(SweepLayer& layer, FaceCache& faces, const AnalogClock& clock, QSize size, double dpr) {
    QImage image(size * dpr, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    QPainter p(&image);
    layer.paint(p, clock, QRectF(QPointF(0, 0), QSizeF(size)), &faces);
    return image;
}

// What a dial never drawn before shows.
QImage fresh(const AnalogClock& clock, QSize size, double dpr) {
    SweepLayer layer;
    FaceCache faces;
    return render(layer, faces, clock, size, dpr);
}

int differingPixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return -1;
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

AnalogClock sweepingAt(DialTime time) {
    AnalogClock clock;
    clock.time = time;
    clock.smoothSeconds = true;
    return clock;
}

}  // namespace

// A dial that kept its picture from an earlier frame shows exactly what one
// drawn from scratch shows: no hour or minute hand stays behind, whatever
// changed in between.
TEST(SweepLayer, KeptPictureMatchesAFreshDialAfterEveryKindOfChange) {
    const DialTime start{10, 8, 37, 250'000'000};
    struct Case {
        const char* what;
        std::function<void(AnalogClock&, double& dpr)> change;
        bool redrawsHands;  // the slow hands move or the picture is drawn anew
    } cases[] = {
        {"later in the same second", [](AnalogClock& c, double&) { c.time.nanosecond = 900'000'000; }, false},
        {"the next second", [](AnalogClock& c, double&) { c.time.second = 38; }, true},
        {"a minute later", [](AnalogClock& c, double&) { c.time.minute = 9; }, true},
        {"hours later",
         [](AnalogClock& c, double&) {
             c.time = DialTime{3, 47, 5, 0};
         },
         true},
        {"an own face colour",
         [](AnalogClock& c, double&) { c.faceRGB = RGB::fromHex(QStringLiteral("#E8D5A0")); }, true},
        {"another style", [](AnalogClock& c, double&) { c.style = DialStyle::gradient; }, true},
        {"the light palette",
         [](AnalogClock& c, double&) {
             c.theme = ThemeColors::make(ThemeMode::light, std::nullopt, true, 0);
         },
         true},
        {"a sharper screen", [](AnalogClock&, double& dpr) { dpr = 2; }, true},
        {"another fractional scale", [](AnalogClock&, double& dpr) { dpr = 1.5; }, true},
    };
    // A fractional scale too: there the clip of a partial redraw rounds.
    for (double startDpr : {1.0, 1.25}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + " @" + std::to_string(startDpr));
            SweepLayer layer;
            FaceCache faces;
            AnalogClock clock = sweepingAt(start);
            double dpr = startDpr;
            render(layer, faces, clock, {160, 160}, dpr);
            const qint64 drawnBefore = layer.rebuilds() + layer.handUpdates();
            c.change(clock, dpr);
            const QImage kept = render(layer, faces, clock, {160, 160}, dpr);
            EXPECT_EQ(differingPixels(kept, fresh(clock, {160, 160}, dpr)), 0);
            EXPECT_EQ(layer.rebuilds() + layer.handUpdates() > drawnBefore, c.redrawsHands);
        }
    }
}

TEST(SweepLayer, SlowHandsMoveByWholeSecondsOnlyWhereTheyWere) {
    // A minute of frames, four a second: one drawing of the slow hands per
    // second, and the picture is never drawn whole again.
    SweepLayer layer;
    FaceCache faces;
    AnalogClock clock = sweepingAt(DialTime{10, 8, 0, 0});
    for (int i = 0; i < 240; ++i) {
        clock.time.second = i / 4;
        clock.time.nanosecond = qint64(i % 4) * 250'000'000;
        render(layer, faces, clock, {160, 160}, 1);
    }
    EXPECT_EQ(layer.rebuilds(), 1);
    EXPECT_EQ(layer.handUpdates(), 59);
    clock.time.minute = 9;
    clock.time.second = 0;
    const QImage kept = render(layer, faces, clock, {160, 160}, 1);
    EXPECT_EQ(differingPixels(kept, fresh(clock, {160, 160}, 1)), 0);
}

TEST(SweepLayer, ShowsWhatTheDirectDrawingShowsAtTheWholeSecond) {
    // The layer composes the hands in two steps; the picture stays that of
    // the plain painter within rounding.
    for (double dpr : {1.0, 2.0}) {
        SCOPED_TRACE(dpr);
        const AnalogClock clock = sweepingAt(DialTime{4, 41, 12, 0});
        QImage direct(QSize(140, 140) * dpr, QImage::Format_ARGB32_Premultiplied);
        direct.setDevicePixelRatio(dpr);
        direct.fill(Qt::transparent);
        {
            QPainter p(&direct);
            clock.paint(p, QRectF(0, 0, 140, 140), nullptr);
        }
        const QImage layered = fresh(clock, {140, 140}, dpr);
        int worst = 0;
        for (int y = 0; y < direct.height(); ++y)
            for (int x = 0; x < direct.width(); ++x) {
                const QRgb a = direct.pixel(x, y), b = layered.pixel(x, y);
                worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                  std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
            }
        EXPECT_LE(worst, 8);
    }
}

TEST(SweepLayer, RotatedPainterFallsBackToDirectDrawing) {
    SweepLayer layer;
    FaceCache faces;
    QImage image(120, 120, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.translate(60, 60);
    p.rotate(30);
    p.translate(-60, -60);
    layer.paint(p, sweepingAt(DialTime{1, 2, 3, 0}), QRectF(0, 0, 120, 120), &faces);
    p.end();
    EXPECT_EQ(layer.rebuilds(), 0);
    EXPECT_NE(qAlpha(image.pixel(60, 60)), 0);
}
