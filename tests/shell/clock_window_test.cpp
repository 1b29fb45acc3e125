#include <gtest/gtest.h>

#include "PointerDrag.h"
#include "TestWait.h"

#include <QApplication>
#include <QCloseEvent>
#include <QSignalSpy>
#include <QTest>

#include "shell/ClockWindow.h"

using namespace corvane;
namespace test = corvane::test;

TEST(ClockWindow, StartsAtItsDefaultSizeAndKeepsItsMinimum) {
    ClockWindow w;
    EXPECT_EQ(w.size(), QSize(760, 460));
    EXPECT_EQ(w.minimumSize(), QSize(360, 300));
    EXPECT_TRUE(w.windowFlags() & Qt::FramelessWindowHint);
    w.resize(100, 100);
    EXPECT_EQ(w.size(), QSize(360, 300));
}

TEST(ClockWindow, ClosingIsOnlyARequest) {
    ClockWindow w;
    w.show();
    QSignalSpy close(&w, &ClockWindow::closeRequested);
    EXPECT_FALSE(w.close());  // the event is refused
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(close.count(), 1);
}

TEST(ClockWindow, WindowButtonsSitInTheTopLeftStripAndReachTheirSignals) {
    ClockWindow w;
    auto* content = new QWidget;
    w.setContent(content);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    const QRect strip = w.windowButtonsGeometry();
    // The content leaves the first 82 points free at the top left.
    EXPECT_LE(strip.right(), 82);
    EXPECT_LE(strip.bottom(), 40);
    EXPECT_EQ(content->geometry(), w.rect());

    QSignalSpy close(&w, &ClockWindow::closeRequested);
    QSignalSpy minimize(&w, &ClockWindow::minimizeRequested);
    QSignalSpy full(&w, &ClockWindow::fullScreenToggleRequested);
    QWidget* buttons = w.childAt(strip.center());
    ASSERT_NE(buttons, nullptr);
    ASSERT_NE(buttons, content);
    const int step = strip.width() / 3;
    for (int i = 0; i < 3; ++i) {
        const QPoint p(step * i + step / 2, strip.height() / 2);
        QTest::mouseClick(buttons, Qt::LeftButton, {}, p);
    }
    EXPECT_EQ(close.count(), 1);
    EXPECT_EQ(minimize.count(), 1);
    EXPECT_EQ(full.count(), 1);
}

TEST(ClockWindow, FullScreenRoundTripIsReportedOnceEachWay) {
    ClockWindow w;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.setFullScreenTimeout(100);
    QSignalSpy will(&w, &ClockWindow::fullScreenWillEnter);
    QSignalSpy entered(&w, &ClockWindow::fullScreenEntered);
    QSignalSpy failed(&w, &ClockWindow::fullScreenFailed);
    QSignalSpy exited(&w, &ClockWindow::fullScreenExited);
    w.toggleFullScreen();
    EXPECT_EQ(will.count(), 1);
    // Either the platform confirms or the timeout gives up; never both.
    ASSERT_TRUE(corvane::test::waitUntil([&] { return entered.count() + failed.count() == 1; }, 1000));
    QTest::qWait(150);
    EXPECT_EQ(entered.count() + failed.count(), 1);
    if (entered.count() == 1) {
        EXPECT_FALSE(w.isFullScreenPending());
        w.toggleFullScreen();
        ASSERT_TRUE(corvane::test::waitUntil([&] { return exited.count() == 1; }, 1000));
        EXPECT_EQ(will.count(), 1);
    }
}

// A drag on the background keeps the point grabbed under the pointer for the
// whole drag, the way to the drag threshold included, and the window reports
// each move (the saved frame follows them); a click that wobbles a little
// moves nothing.
TEST(ClockWindow, DragOnTheBackgroundKeepsTheGrabbedPointUnderThePointer) {
    for (const auto& c : test::kDragCases) {
        SCOPED_TRACE(c.what);
        ClockWindow w;
        // Content that takes no presses itself, as the clock screen's free spots.
        w.setContent(new QWidget);
        w.move(300, 200);
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        ASSERT_TRUE(test::waitUntil([&] { return w.pos() == QPoint(300, 200); }, 2000));
        QSignalSpy moved(&w, &ClockWindow::moved);
        const QPoint grabbed(400, 300);
        const QPoint from = w.pos() + grabbed;

        test::dragWithLeftButton(&w, from, c.by, c.steps);

        EXPECT_EQ(w.pos() - QPoint(300, 200), c.moved);
        if (c.moved == QPoint()) {
            EXPECT_EQ(moved.count(), 0);
        } else {
            EXPECT_EQ(w.mapFromGlobal(from + c.by), grabbed);
            EXPECT_GE(moved.count(), 1);
        }
    }
}

// Full screen stands still however far the background is dragged.
TEST(ClockWindow, FullScreenDoesNotMoveWhenDragged) {
    ClockWindow w;
    w.setContent(new QWidget);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.toggleFullScreen();
    ASSERT_TRUE(test::waitUntil([&] { return w.isFullScreen(); }, 2000));
    QApplication::processEvents();
    const QRect full = w.geometry();
    test::dragWithLeftButton(&w, full.topLeft() + QPoint(300, 200), QPoint(200, 120), 10);
    EXPECT_EQ(w.geometry(), full);
    EXPECT_TRUE(w.isFullScreen());
}
