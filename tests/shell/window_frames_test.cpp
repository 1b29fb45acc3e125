#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "shell/WindowFrames.h"

using namespace corvane;

namespace {
const QRectF kScreen(0, 0, 1920, 1080);
const QRectF kSecond(1920, 0, 1280, 1024);
}  // namespace

TEST(RestoreFrame, WithoutStoredFrameCentresDefaultOrSquareWindow) {
    const RestoredFrame single = restoreFrame({}, true, {kScreen});
    EXPECT_TRUE(single.centre);
    ASSERT_TRUE(single.size);
    EXPECT_EQ(*single.size, QSizeF(460, 460));

    // Any one value missing counts as no stored frame.
    const RestoredFrame partial = restoreFrame({10.0, 10.0, 800.0, std::nullopt}, false, {kScreen});
    EXPECT_TRUE(partial.centre);
    EXPECT_FALSE(partial.size);
}

TEST(RestoreFrame, Table) {
    struct Case {
        const char* what;
        StoredFrame stored;
        QList<QRectF> screens;
        bool centre;
        QRectF frame;  // the frame when not centred, else (0, 0, w, h) for the size
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {"plain", {100.0, 50.0, 800.0, 500.0}, {kScreen}, false, {100, 50, 800, 500}},
        {"too small is raised to the minimum", {100.0, 50.0, 200.0, 100.0}, {kScreen}, false, {100, 50, 360, 300}},
        {"taller than all screens is cut to their union", {0.0, 0.0, 800.0, 5000.0}, {kScreen, kSecond}, false,
         {0, 0, 800, 1080}},
        {"on a second screen that still exists", {2000.0, 100.0, 800.0, 500.0}, {kScreen, kSecond}, false,
         {2000, 100, 800, 500}},
        {"on a screen since removed", {2000.0, 100.0, 800.0, 500.0}, {kScreen}, true, {0, 0, 800, 500}},
        {"grab strip just off the top", {100.0, -70.0, 800.0, 500.0}, {kScreen}, true, {0, 0, 800, 500}},
        {"grab strip partly visible", {100.0, -50.0, 800.0, 500.0}, {kScreen}, false, {100, -50, 800, 500}},
        {"negative size", {100.0, 50.0, -5000.0, -1.0}, {kScreen}, false, {100, 50, 360, 300}},
        {"absurdly far away", {1e300, -1e300, 800.0, 500.0}, {kScreen}, true, {0, 0, 800, 500}},
        {"not finite", {inf, 10.0, 800.0, 500.0}, {kScreen}, true, {0, 0, 800, 500}},
        // With no screen the union is empty, so the size falls to the minimum.
        {"no screens at all", {100.0, 50.0, 800.0, 500.0}, {}, true, {0, 0, 360, 300}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const RestoredFrame r = restoreFrame(c.stored, false, c.screens);
        EXPECT_EQ(r.centre, c.centre);
        if (c.centre) {
            ASSERT_TRUE(r.size);
            EXPECT_EQ(*r.size, c.frame.size());
        } else {
            EXPECT_EQ(r.frame, c.frame);
        }
    }
}

TEST(RestoreFrame, TopIsMeasuredFromTheFirstScreen) {
    // The first screen stands lower than the second: the stored top is relative to it.
    const QRectF first(0, 200, 1920, 1080);
    const RestoredFrame r = restoreFrame({100.0, 30.0, 800.0, 500.0}, false, {first, kSecond});
    EXPECT_FALSE(r.centre);
    EXPECT_EQ(r.frame.top(), 230);
}

TEST(SaveFrame, RoundsHalvesAwayFromZeroAndIsRelativeToTheFirstScreen) {
    const SavedFrame s = saveFrame(QRectF(-10.5, 250.5, 800.4, 499.5), QRectF(0, 200, 1920, 1080));
    EXPECT_EQ(s.left, -11);
    EXPECT_EQ(s.top, 51);
    EXPECT_EQ(s.width, 800);
    EXPECT_EQ(s.height, 500);
    // Without a screen the window's own frame is the reference.
    EXPECT_EQ(saveFrame(QRectF(5, 7, 100, 100), std::nullopt).top, 0);
}

TEST(SaveAndRestore, RoundTripKeepsTheFrame) {
    const QRectF frame(300, 120, 900, 600);
    const SavedFrame s = saveFrame(frame, kScreen);
    const RestoredFrame r = restoreFrame({s.left, s.top, s.width, s.height}, false, {kScreen});
    EXPECT_FALSE(r.centre);
    EXPECT_EQ(r.frame, frame);
}

TEST(SquareFrame, KeepsTopLeftAndRespectsMinimum) {
    EXPECT_EQ(squareFrame(QRectF(10, 20, 760, 460)), QRectF(10, 20, 460, 460));
    EXPECT_EQ(squareFrame(QRectF(10, 20, 500, 300)), QRectF(10, 20, 360, 360));
}

TEST(KeepOnScreen, Table) {
    const QRectF v(0, 30, 1920, 1000);  // a panel at the top, bottom at 1030
    struct Case {
        const char* what;
        QRectF in, out;
    };
    const Case cases[] = {
        {"inside stays", {100, 100, 400, 400}, {100, 100, 400, 400}},
        {"off the right edge", {1800, 100, 400, 400}, {1520, 100, 400, 400}},
        {"below the bottom", {100, 900, 400, 400}, {100, 630, 400, 400}},
        {"left of the area", {-50, 100, 400, 400}, {0, 100, 400, 400}},
        {"under the top panel", {100, 0, 400, 400}, {100, 30, 400, 400}},
        {"larger than the area ends at its top left", {500, 500, 3000, 2000}, {0, 30, 3000, 2000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(keepOnScreen(c.in, v), c.out);
    }
}

TEST(PlaceSettingsWindow, RightThenLeftThenEdge) {
    const QRectF v(0, 0, 2560, 1400);
    struct Case {
        const char* what;
        QRectF main, expected;
    };
    const Case cases[] = {
        {"to the right, tops aligned", {100, 200, 760, 460}, {872, 200, 940, 640}},
        {"to the left when the right has no room", {1700, 200, 760, 460}, {748, 200, 940, 640}},
        {"at the right edge when neither side has room", {800, 200, 1000, 460}, {1620, 200, 940, 640}},
        {"top pulled up so the bottom stays inside", {100, 1000, 760, 300}, {872, 760, 940, 640}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(placeSettingsWindow(c.main, v), c.expected);
    }
    // A visible area smaller than the window shrinks it to the area.
    EXPECT_EQ(placeSettingsWindow(QRectF(0, 0, 300, 300), QRectF(0, 0, 800, 600)), QRectF(0, 0, 800, 600));
}

TEST(ToWindowRect, ClampsBeforeConverting) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(toWindowRect(QRectF(10.5, -10.5, 100.4, 99.6)), QRect(11, -11, 100, 100));
    const QRect huge = toWindowRect(QRectF(1e300, -1e300, 1e300, -5));
    EXPECT_EQ(huge.left(), 1'000'000);
    EXPECT_EQ(huge.top(), -1'000'000);
    EXPECT_EQ(huge.width(), 1'000'000);
    EXPECT_EQ(huge.height(), 1);
    EXPECT_EQ(toWindowRect(QRectF(nan, nan, nan, nan)), QRect(0, 0, 1, 1));
}
