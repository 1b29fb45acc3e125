#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QImage>
#include <QPaintEvent>
#include <QTest>

#include "shell/components/Theme.h"
#include "shell/digital/EditHighlight.h"
#include "shell/grid/ClockGrid.h"

#include "TestWait.h"

using namespace corvane;

namespace {

QString screenshotPath(const char* name) {
    const QString dir = QStringLiteral(CORVANE_BUILD_DIR "/screenshots");
    QDir().mkpath(dir);
    return dir + "/" + name + ".png";
}

std::vector<GridClock> clocks(int n) {
    const char* zones[] = {"Europe/Berlin", "America/New_York", "Asia/Tokyo", "Australia/Sydney",
                           "Europe/London", "America/Los_Angeles"};
    const char* names[] = {"Berlin", "New York", "Tokio", "Sydney", "London", "Los Angeles"};
    std::vector<GridClock> out;
    for (int i = 0; i < n; ++i) {
        ClockEntry e;
        e.id = QStringLiteral("ID-%1").arg(i);
        e.timeZoneID = zones[i % 6];
        out.push_back(GridClock::from(e, names[i % 6], QStringLiteral("Heute, +%1 Std.").arg(i)));
    }
    return out;
}

// A window painted in the palette's background, like the clock window.
struct Window : QWidget {
    ThemeProvider provider;
    ClockGrid* grid;
    explicit Window(QSize size) : grid(new ClockGrid(10, this)) {
        ThemeProvider::attach(this, &provider);
        setAutoFillBackground(true);
        QPalette pal = palette();
        pal.setColor(QPalette::Window, provider.colors().background.toQColor());
        setPalette(pal);
        resize(size);
        grid->setGeometry(rect());
    }
};

// Every cell inside the grid, none overlapping another, gaps of the spacing.
void expectTiled(const ClockGrid& grid, int n) {
    for (int i = 0; i < n; ++i) {
        const QRect a = grid.targetRect(i);
        EXPECT_TRUE(grid.rect().contains(a)) << i;
        EXPECT_GT(a.width(), 0);
        for (int j = i + 1; j < n; ++j) EXPECT_FALSE(a.intersects(grid.targetRect(j))) << i << " " << j;
    }
}

const qint64 kNoon = QDateTime(QDate(2026, 3, 14), QTime(11, 9, 30), Qt::UTC).toMSecsSinceEpoch();

}  // namespace

TEST(ClockGrid, FourAnalogClocksScreenshot) {
    Window w({760, 460});
    w.grid->setClocks(clocks(4));
    w.grid->setNow(kNoon);
    w.grid->setHighlightedClock(QStringLiteral("ID-1"));
    w.show();
    QCoreApplication::processEvents();

    EXPECT_EQ(w.grid->currentLayout(), (GridLayout{2, 2}));
    expectTiled(*w.grid, 4);
    const QRect first = w.grid->targetRect(0), second = w.grid->targetRect(1), third = w.grid->targetRect(2);
    EXPECT_EQ(second.left() - first.right() - 1, 10);
    EXPECT_EQ(third.top() - first.bottom() - 1, 10);
    EXPECT_EQ(w.grid->cell("ID-0")->geometry(), first) << "the first layout does not animate";

    // The ring surrounds the highlighted dial and nothing else.
    EditHighlight* ring = w.grid->highlight();
    ASSERT_TRUE(ring->isVisible());
    EXPECT_TRUE(ring->circle());
    const QRectF dial = w.grid->cell("ID-1")->markFrame().translated(second.topLeft());
    EXPECT_EQ(ring->markRect(), dial.adjusted(-5, -5, 5, 5));

    const QImage shot = w.grab().toImage();
    ASSERT_TRUE(shot.save(screenshotPath("grid_four_analog")));
    // Each cell's dial centre is painted over the background.
    const QColor background = w.provider.colors().background.toQColor();
    for (int i = 0; i < 4; ++i) {
        const QRectF face = w.grid->cell(QStringLiteral("ID-%1").arg(i))->markFrame();
        const QPoint probe = w.grid->targetRect(i).topLeft() + face.center().toPoint() + QPoint(int(face.width() / 4), 0);
        EXPECT_NE(shot.pixelColor(probe), background) << i;
    }
}

TEST(ClockGrid, DigitalClocksScreenshotWithFaceColour) {
    Window w({760, 460});
    auto list = clocks(6);
    list[2].face = RGB{255, 255, 255};
    w.grid->setOptions({ClockDisplayMode::digital, DialStyle::classic, false, QString(), 120});
    w.grid->setClocks(list);
    w.grid->setNow(kNoon);
    w.grid->setHighlightedClock(QStringLiteral("ID-4"));
    w.show();
    QCoreApplication::processEvents();

    EXPECT_EQ(w.grid->currentLayout(), (GridLayout{2, 3}));
    expectTiled(*w.grid, 6);
    EXPECT_EQ(w.grid->cell("ID-0")->timeText(), "12:09:30");
    EXPECT_EQ(w.grid->cell("ID-2")->timeText(), "20:09:30");
    // 120 px digits cannot fit a 375 by 140 cell: the block shrinks, never grows.
    EXPECT_LT(w.grid->cell("ID-0")->contentScale(), 1.0);
    EXPECT_FALSE(w.grid->highlight()->circle());
    EXPECT_EQ(w.grid->highlight()->markRect(), QRectF(w.grid->targetRect(4)).adjusted(-3, -3, 3, 3));

    const QImage shot = w.grab().toImage();
    ASSERT_TRUE(shot.save(screenshotPath("grid_six_digital")));
    const QRect white = w.grid->targetRect(2);
    EXPECT_EQ(shot.pixelColor(white.left() + 14, white.center().y()), QColor(255, 255, 255)) << "own face colour";
}

TEST(ClockGrid, CellsBelongToClocksAndOnlyLayoutChangesAnimate) {
    Window w({760, 460});
    auto list = clocks(4);
    w.grid->setClocks(list);
    w.show();
    QCoreApplication::processEvents();
    ClockCell* berlin = w.grid->cell("ID-0");
    ASSERT_NE(berlin, nullptr);

    // A resize within the same layout moves the cells at once.
    w.grid->resize(780, 470);
    EXPECT_EQ(w.grid->currentLayout(), (GridLayout{2, 2}));
    EXPECT_FALSE(w.grid->isAnimating());
    EXPECT_EQ(berlin->geometry(), w.grid->targetRect(0));

    // Crossing into another layout animates towards the new places.
    w.grid->resize(760, 400);
    EXPECT_EQ(w.grid->currentLayout(), (GridLayout{4, 1}));
    EXPECT_TRUE(w.grid->isAnimating());
    // A busy machine may deliver the last animation frame late.
    EXPECT_TRUE(test::waitUntil([&] { return !w.grid->isAnimating(); }, ClockGrid::kAnimationMs + 5000));
    EXPECT_EQ(berlin->geometry(), w.grid->targetRect(0));

    // Reordering keeps each clock's cell; removing one deletes only its cell.
    std::swap(list[0], list[3]);
    list.pop_back();  // the old first clock, now last
    w.grid->setClocks(list);
    EXPECT_EQ(w.grid->cell("ID-3"), w.grid->cell(list[0].id));
    EXPECT_EQ(w.grid->cell("ID-0"), nullptr);
    EXPECT_EQ(w.grid->findChildren<ClockCell*>().size(), 3);

    w.grid->setClocks({});
    EXPECT_EQ(w.grid->currentLayout(), (GridLayout{1, 1}));
    EXPECT_TRUE(w.grid->findChildren<ClockCell*>().isEmpty());
}

namespace {
struct PaintCounter : QObject {
    int paints = 0;
    QRect lastRect;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            ++paints;
            lastRect = static_cast<QPaintEvent*>(e)->rect();
        }
        return false;
    }
};
}  // namespace

TEST(ClockGrid, CellsRepaintOnlyWhenWhatTheyShowChanges) {
    struct Case {
        const char* what;
        ClockDisplayMode mode;
        bool smooth;
        qint64 sameFrame;   // a later time that shows the same
        qint64 nextFrame;   // a later time that shows something new
    };
    const Case cases[] = {
        {"digital text", ClockDisplayMode::digital, false, 400, 1000},
        {"ticking second hand", ClockDisplayMode::analog, false, 400, 1000},
        // A smooth hand is redrawn once its tip has moved about a pixel.
        {"smooth second hand", ClockDisplayMode::analog, true, 20, 400},
    };
    for (const Case& c : cases) {
        Window w({400, 300});
        w.grid->setOptions({c.mode, DialStyle::classic, c.smooth, QString(), 60});
        w.grid->setClocks(clocks(2));
        w.grid->setNow(kNoon);
        w.show();
        QCoreApplication::processEvents();

        PaintCounter counter;
        ClockCell* cell = w.grid->cell("ID-0");
        cell->installEventFilter(&counter);
        w.grid->setNow(kNoon + c.sameFrame);
        QCoreApplication::processEvents();
        EXPECT_EQ(counter.paints, 0) << c.what;
        w.grid->setNow(kNoon + c.nextFrame);
        QCoreApplication::processEvents();
        EXPECT_GE(counter.paints, 1) << c.what;
        if (c.mode == ClockDisplayMode::analog) {
            // The caption under the dial is not repainted with the hands.
            EXPECT_LT(counter.lastRect.bottom(), cell->height() - 20) << c.what;
        } else {
            EXPECT_EQ(cell->timeText(), "12:09:31");
        }
    }
}

TEST(GridClock, MalformedFaceColourCountsAsNone) {
    ClockEntry e;
    e.id = "A";
    e.faceColor = QStringLiteral("#12345Z");
    EXPECT_FALSE(GridClock::from(e, "t", "s").face);
    e.faceColor = QStringLiteral("1af");
    EXPECT_EQ(GridClock::from(e, "t", "s").face, (RGB{0x11, 0xAA, 0xFF}));
}
