#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "dial/AnalogClock.h"
#include "dial/DialGeometry.h"
#include "shell/grid/HandRegion.h"

using namespace corvane;
using namespace corvane::handregion;

namespace {

AnalogClock clockAt(DialTime t, bool smooth) {
    AnalogClock c;
    c.time = t;
    c.smoothSeconds = smooth;
    return c;
}

qint64 msecsOf(DialTime t) {
    return ((qint64(t.hour) * 60 + t.minute) * 60 + t.second) * 1000 + t.nanosecond / 1'000'000;
}

bool covered(const Dirty& dirty, QPointF p) {
    for (const QRect& r : dirty)
        if (QRectF(r).contains(p)) return true;
    return false;
}

// Points of every hand `clock` draws into `bounds` that `hands` names, out to
// the edge of the halo.
template <class Check>
void forEachHandPoint(const AnalogClock& clock, const QRectF& bounds, bool slowHands, Check&& check) {
    const QRectF square = AnalogClock::dialRect(bounds);
    const dial::HandMetrics m = dial::handMetrics(clock.style, square.width());
    const HandAngles a = AnalogClockHands::angles(clock.time, clock.smoothSeconds);
    const auto stroke = [&](double degrees, const dial::HandStroke& s) {
        const double half = std::max(s.width, s.haloWidth) / 2 + 1;
        for (double along = -s.tail; along <= s.length; along += 0.5) {
            const QPointF on = dial::polar(square.center(), degrees, along);
            const QPointF across = dial::polar(QPointF(0, 0), degrees + 90, 1);
            for (double off = -half; off <= half; off += 0.5) check(on + across * off);
        }
    };
    stroke(a.second, m.second);
    if (slowHands) {
        stroke(a.hour, m.hour);
        stroke(a.minute, m.minute);
    }
}

}  // namespace

// Whatever the step, the boxes take in every pixel a hand covered before and
// covers now: a pixel left out would keep a trail of the old hand.
TEST(HandRegion, BoxesCoverTheHandsWhereTheyWereAndWhereTheyAre) {
    struct Case {
        const char* what;
        double side;
        DialTime from, to;
        bool smooth;
    } cases[] = {
        {"sweep step", 460, {10, 8, 37, 250'000'000}, {10, 8, 37, 330'000'000}, true},
        {"sweep into a new second", 700, {10, 8, 37, 960'000'000}, {10, 8, 38, 40'000'000}, true},
        {"tick", 700, {10, 7, 22, 0}, {10, 7, 23, 0}, false},
        {"small dial, a minute later", 60, {3, 0, 0, 0}, {3, 0, 59, 0}, false},
        {"jump across the dial", 700, {10, 8, 37, 500'000'000}, {22, 41, 5, 100'000'000}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QRectF bounds(12, 30, c.side, c.side + 40);
        Painted painted;
        const AnalogClock before = clockAt(c.from, c.smooth);
        const AnalogClock after = clockAt(c.to, c.smooth);
        painted.record(before, bounds, msecsOf(c.from));
        const Dirty dirty = dirtyRects(painted, after, bounds, msecsOf(c.to));
        const bool newSecond = msecsOf(c.from) / 1000 != msecsOf(c.to) / 1000;
        int missed = 0;
        forEachHandPoint(before, bounds, newSecond, [&](QPointF p) { missed += !covered(dirty, p); });
        forEachHandPoint(after, bounds, newSecond, [&](QPointF p) { missed += !covered(dirty, p); });
        EXPECT_EQ(missed, 0);
    }
}

TEST(HandRegion, ADiagonalHandRepaintsFarLessThanItsBoundingBox) {
    // The second hand at 45 degrees on a full-screen dial, one sweep step.
    const QRectF bounds(0, 0, 700, 700);
    const DialTime from{10, 8, 7, 500'000'000}, to{10, 8, 7, 580'000'000};
    Painted painted;
    painted.record(clockAt(from, true), bounds, msecsOf(from));
    const Dirty dirty = dirtyRects(painted, clockAt(to, true), bounds, msecsOf(to));
    qint64 area = 0;
    for (const QRect& r : dirty) area += qint64(r.width()) * r.height();
    const QRect box = dirty.bounds();
    EXPECT_LT(area, qint64(box.width()) * box.height() * 3 / 10);
    EXPECT_LE(dirty.count, Dirty::kPiecesPerHand + 1);
}

TEST(HandRegion, SmoothHandFramesComeEveryFewTicksAndEachWholeSecond) {
    struct Case {
        double side;
        qint64 step;  // ms between frames
        std::size_t perSecond;
    } cases[] = {{700, 80, 13}, {200, 120, 9}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.side);
        const QRectF bounds(0, 0, c.side, c.side);
        const AnalogClock smooth = clockAt({}, true), ticking = clockAt({}, false);
        EXPECT_EQ(sweepStepMs(smooth, bounds, 1.0), c.step);
        std::set<qint64> smoothKeys, tickingKeys, newFrameAt;
        qint64 last = -1;
        // Ticks 40 ms apart, not aligned to the second.
        for (qint64 ms = 5'017; ms < 8'017; ms += 40) {
            const qint64 key = frameKey(smooth, bounds, 1.0, ms);
            if (key != last) newFrameAt.insert(ms);
            last = key;
            smoothKeys.insert(key);
            tickingKeys.insert(frameKey(ticking, bounds, 1.0, ms));
        }
        EXPECT_EQ(tickingKeys.size(), 3u);  // 5, 6 and 7 seconds
        EXPECT_EQ(smoothKeys.size(), 3 * c.perSecond);
        // The first tick of each second shows it.
        for (qint64 s = 6'000; s < 8'000; s += 1'000) EXPECT_TRUE(newFrameAt.count(s + (40 - (s - 5'017) % 40) % 40)) << s;
    }
    // A doubled pixel ratio has the tip travel twice the pixels.
    EXPECT_EQ(sweepStepMs(clockAt({}, true), QRectF(0, 0, 400, 400), 1.0), 120);
    EXPECT_EQ(sweepStepMs(clockAt({}, true), QRectF(0, 0, 400, 400), 2.0), 80);
}
