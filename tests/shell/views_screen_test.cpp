// The clock window's views on a model with fake time: timer bars, the clock
// screen in its variants, the toolbar and the alert overlay. The screenshot
// cases leave PNGs in the build folder to look at.

#include <gtest/gtest.h>

#include <QCursor>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QScreen>
#include <QTest>

#include "TestWait.h"
#include "appmodel/ModelHarness.h"
#include "shell/PaintedText.h"
#include "shell/components/IconButton.h"
#include "shell/components/Icons.h"
#include "shell/components/ScaleDownToFit.h"
#include "shell/components/Theme.h"
#include "shell/components/ThemedButton.h"
#include "shell/digital/ClockCaption.h"
#include "shell/digital/DigitalTime.h"
#include "shell/digital/EditHighlight.h"
#include "shell/grid/ClockGrid.h"
#include "shell/views/ClockView.h"
#include "shell/views/FittedText.h"
#include "shell/views/RootView.h"
#include "shell/views/TimerBars.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

ClockEntry clockIn(const char* zone, const char* name = "") {
    ClockEntry c = ClockEntry::makeNew();
    c.timeZoneID = QString::fromLatin1(zone);
    c.name = QString::fromUtf8(name);
    return c;
}

// A window-like host carrying the model's palette, as the delegate sets it up.
struct Screen : ModelHarness {
    QWidget host;
    ThemeProvider provider;
    RootView* root = nullptr;

    // In the delegate's order: the views exist before the model's first
    // tick, which derives the texts of the per-second work.
    AppModel& makeWith(const AppSettings& settings, QSize size = {760, 460}) {
        writeSettings(settings);
        AppModel& m = make(false);
        ThemeProvider::attach(&host, &provider);
        provider.setColors(m.theme());
        QObject::connect(&m, &AppModel::themeChanged, &provider, [this, &m] { provider.setColors(m.theme()); });
        root = new RootView(m, &host);
        host.resize(size);
        root->setGeometry(host.rect());
        // The pointer starts away from the window, as when it opens elsewhere.
        host.move(0, 0);
        parkPointer();
        host.show();
        m.start();
        settle();
        return m;
    }

    void parkPointer() { QCursor::setPos(QPoint(3000, 3000)); }
    void pointAt(QPoint inHost) {
        QCursor::setPos(host.mapToGlobal(inHost));
        settle();
    }

    ClockView& clocks() { return *root->clockView(); }

    QString shoot(const char* name) {
        QDir().mkpath(QStringLiteral(CORVANE_BUILD_DIR "/screenshots"));
        const QString path = QStringLiteral(CORVANE_BUILD_DIR "/screenshots/") + QLatin1String(name) + ".png";
        host.grab().save(path);
        return path;
    }

    QRect inHost(const QWidget* w, QRectF r) const { return QRect(w->mapTo(&host, r.toRect().topLeft()), r.toRect().size()); }
    QRect inHost(const QWidget* w) const { return QRect(w->mapTo(&host, QPoint(0, 0)), w->size()); }
    // Where a card is seen: shrunk, the overlay paints it scaled about the
    // middle of its scaler.
    QRect shownRect(AlertOverlay* o, const QWidget* card) const {
        ScaleDownToFit* f = o->scaler();
        const double k = f->scale();
        const QRectF block(QPointF(f->width() - f->contentSize().width() * k, f->height() - f->contentSize().height() * k) / 2,
                           f->contentSize() * k);
        const QRectF r(block.topLeft() + QPointF(card->geometry().topLeft()) * k, QSizeF(card->size()) * k);
        return QRectF(r.translated(QPointF(f->mapTo(&host, QPoint(0, 0))))).toAlignedRect();
    }
};

AppSettings withClocks(std::vector<ClockEntry> clocks, ClockDisplayMode mode) {
    AppSettings s = ModelHarness::quietSettings();
    s.clocks = std::move(clocks);
    s.displayMode = mode;
    return s;
}

// The window buttons' corner.
const QRect kWindowButtons(0, 0, 82, 36);

// Counts the paint events a widget receives.
struct PaintCounter : QObject {
    int paints = 0;
    explicit PaintCounter(QWidget* w) { w->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
};

}  // namespace

// --- Timer bars ---------------------------------------------------------------

TEST(TimerBars, BarStatesFollowTheCountdownsAndStopwatches) {
    struct Case {
        const char* what;
        std::function<void(AppModel&)> setUp;
        TimerBarState::Kind kind;
        int index;
        const char* toggleSymbol;
        const char* toggleHelp;
        const char* status;  // "" for none
        bool stopEnabled;
    };
    using K = TimerBarState::Kind;
    const std::vector<Case> cases{
        {"running countdown", [](AppModel& m) { m.toggleCountdown(0); }, K::countdown, 0,
         "pause.fill", "Timer 1 pausieren", "", true},
        {"paused countdown",
         [](AppModel& m) {
             m.toggleCountdown(1);
             m.toggleCountdown(1);
         },
         K::countdown, 1, "play.fill", "Timer 2 fortsetzen", "Pausiert", true},
        {"countdown stopped by the user",
         [](AppModel& m) {
             m.toggleCountdown(0);
             m.stopCountdown(0);
         },
         K::countdown, 0, "play.fill", "Timer 1 neu starten", "Gestoppt", false},
        {"paused stopwatch",
         [](AppModel& m) {
             m.toggleStopwatch(1);
             m.toggleStopwatch(1);
         },
         K::stopwatch, 1, "play.fill", "Stoppuhr 2 fortsetzen", "Pausiert", true},
        {"stopped stopwatch",
         [](AppModel& m) {
             m.toggleStopwatch(0);
             m.stopwatchServices()[0].stop();
         },
         K::stopwatch, 0, "play.fill", "Stoppuhr 1 neu starten", "Gestoppt", false},
        {"running stopwatch", [](AppModel& m) { m.toggleStopwatch(0); }, K::stopwatch, 0,
         "pause.fill", "Stoppuhr 1 pausieren", "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ModelHarness h;
        AppModel& m = h.make();
        c.setUp(m);
        const auto bars = TimerBarState::of(m);
        ASSERT_EQ(bars.size(), 1u);
        const TimerBarState& b = bars[0];
        EXPECT_EQ(b.kind, c.kind);
        EXPECT_EQ(b.index, c.index);
        EXPECT_EQ(b.toggleSymbol, QString::fromLatin1(c.toggleSymbol));
        EXPECT_EQ(b.toggleHelp, QString::fromUtf8(c.toggleHelp));
        EXPECT_EQ(b.status, QString::fromUtf8(c.status));
        EXPECT_EQ(b.stopEnabled, c.stopEnabled);
        EXPECT_FALSE(b.time.isEmpty());
    }
}

TEST(TimerBars, NoBarTakesNoSpaceAndRemovingEndsTheBar) {
    ModelHarness h;
    AppModel& m = h.make();
    TimerBars bars(m);
    bars.resize(700, 100);
    EXPECT_TRUE(bars.bars().empty());
    EXPECT_FALSE(bars.isVisibleTo(nullptr) && bars.sizeHint().height() > 0);
    EXPECT_EQ(bars.heightForWidth(700), 0);

    m.toggleCountdown(0);
    m.stopCountdown(0);
    ASSERT_EQ(bars.bars().size(), 1u);
    EXPECT_FALSE(bars.bars()[0]->stopButton()->isEnabled());
    EXPECT_DOUBLE_EQ(bars.bars()[0]->stopButton()->disabledOpacity(), 0.35);
    // The remove button: idle without the stopped mark, so the bar goes.
    bars.bars()[0]->removeButton()->click();
    EXPECT_TRUE(bars.bars().empty());
    EXPECT_EQ(m.countdownStates()[0], CountdownState::idle);
    EXPECT_FALSE(m.countdownStopped()[0]);
}

TEST(TimerBars, ButtonsDriveTheServicesAndTextsFollowTheTick) {
    ModelHarness h;
    AppModel& m = h.make();
    TimerBars bars(m);
    m.toggleStopwatch(0);
    ASSERT_EQ(bars.bars().size(), 1u);
    TimerBar* bar = bars.bars()[0];
    const QString before = bar->state().time;
    h.advance(2.5);
    EXPECT_NE(bar->state().time, before);
    bar->toggleButton()->click();
    EXPECT_EQ(m.stopwatchStates()[0], StopwatchState::paused);
    bar->stopButton()->click();
    EXPECT_EQ(m.stopwatchStates()[0], StopwatchState::stopped);
    EXPECT_EQ(bars.bars().size(), 1u);  // a stopped stopwatch keeps its bar
    bar = bars.bars()[0];
    bar->removeButton()->click();
    EXPECT_TRUE(bars.bars().empty());
}

TEST(TimerBars, AllFourWrapInANarrowWindowCountdownsFirstAndFallBackToCompact) {
    Screen s;
    AppModel& m = s.makeWith(withClocks({clockIn("Europe/Berlin")}, ClockDisplayMode::digital), {360, 460});
    m.toggleCountdown(0);
    m.toggleCountdown(1);
    m.toggleCountdown(1);
    m.toggleStopwatch(0);
    m.toggleStopwatch(1);
    m.toggleStopwatch(1);
    s.settle();
    TimerBars* tb = s.clocks().timerBars();
    ASSERT_EQ(tb->bars().size(), 4u);
    std::vector<QRect> rects;
    for (TimerBar* b : tb->bars()) rects.push_back(s.inHost(b));
    for (std::size_t i = 0; i < rects.size(); ++i) {
        EXPECT_TRUE(s.host.rect().contains(rects[i])) << i;
        for (std::size_t j = i + 1; j < rects.size(); ++j) EXPECT_FALSE(rects[i].intersects(rects[j])) << i << j;
    }
    // Several rows; the countdowns come first in reading order.
    EXPECT_GT(rects.back().top(), rects.front().top());
    EXPECT_EQ(tb->bars()[0]->state().kind, TimerBarState::Kind::countdown);
    EXPECT_EQ(tb->bars()[3]->state().kind, TimerBarState::Kind::stopwatch);
    // A bar whose full layout is wider than the row drops its title; every
    // plate hugs its layout and stays inside the window.
    bool anyCompact = false;
    for (TimerBar* b : tb->bars()) {
        anyCompact = anyCompact || b->compact();
        EXPECT_LE(b->plateRect().width(), b->sizeHint().width());
        EXPECT_TRUE(s.host.rect().contains(s.inHost(b, b->plateRect()))) << b->state().title.toStdString();
    }
    EXPECT_TRUE(anyCompact);
    EXPECT_FALSE(tb->bars()[0]->compact());
    EXPECT_EQ(tb->bars()[1]->accessibleLabel(), QStringLiteral("Timer 2 00:05:00, Pausiert"));
    s.shoot("timer_bars");
}

// --- Clock screen -------------------------------------------------------------

TEST(ClockView, GreetingSizeFollowsTheWidth) {
    struct Case {
        double width, size;
    } cases[] = {{440, 22}, {484, 22}, {660, 30}, {880, 40}, {1000, 40}};
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(GreetingHeader::fontSizeFor(c.width), c.size) << c.width;
}

// The greeting and the armed-alarms line shrink before they are cut off, as
// captions do: at every width down to their smallest size the whole text.
TEST(FittedText, WholeTextAtEveryWidthItMayShrinkTo) {
    for (const auto& [minScale, text] : {std::pair{0.5, QStringLiteral("Guten Morgen, Anna-Katharina!")},
                                         std::pair{0.6, QStringLiteral("Wecker 1 um 07:00 Uhr · Wecker 3 um 21:15 Uhr")}}) {
        FittedText line(uiFont(22, QFont::Light), minScale, [](const ThemeColors& t) { return t.foreground.toQColor(); });
        line.setText(text);
        const double natural = QFontMetricsF(line.textFont()).horizontalAdvance(text);
        for (int width = int(std::ceil(natural * minScale)) + 1; width < natural + 2; ++width) {
            line.resize(width, 40);
            ASSERT_EQ(line.shownLine().text, text) << width;
            EXPECT_LE(QFontMetricsF(line.shownLine().font).horizontalAdvance(text), width);
        }
        line.resize(int(natural * minScale * 0.8), 40);
        EXPECT_TRUE(line.shownLine().text.endsWith(QChar(0x2026)));
        EXPECT_NEAR(line.shownPointSize(), line.textFont().pointSizeF() * minScale, 1e-9);
    }
}

TEST(ClockView, OneAnalogClockFillsTheWindowAndFollowsTheHighlight) {
    Screen s;
    AppModel& m = s.makeWith(withClocks({clockIn("Europe/Berlin", "Berlin")}, ClockDisplayMode::analog), {460, 460});
    ASSERT_EQ(s.clocks().area(), ClockView::Area::analog);
    SingleAnalogClock* a = s.clocks().singleAnalog();
    const QRect dial = s.inHost(a, a->dialRect());
    EXPECT_TRUE(s.host.rect().contains(dial));
    EXPECT_GT(dial.width(), 250);
    EXPECT_TRUE(a->caption()->isVisible());
    // The caption sits under the dial, not over it.
    EXPECT_GE(s.inHost(a->caption()).top(), dial.bottom() - 1);
    EXPECT_FALSE(a->highlight()->isVisible());
    m.setHighlightedClockID(m.settings().clocks.front().id);
    EXPECT_TRUE(a->highlight()->isVisible());
    s.shoot("one_analog_clock");
}

// What the window shows after the frames so far, without repainting it:
// the offscreen screen reads the window's backing store.
QImage shownPixels(QWidget& window) {
    return window.screen()->grabWindow(window.winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

// Pixels where what the frames built up differs from a full repaint.
int trailPixels(QWidget& window) {
    const QImage shown = shownPixels(window);
    const QImage full = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (shown.size() != full.size()) return -1;
    int differing = 0;
    for (int y = 0; y < full.height(); ++y)
        for (int x = 0; x < full.width(); ++x) differing += shown.pixel(x, y) != full.pixel(x, y);
    return differing;
}

// The area the watched widgets were asked to repaint, in pixels.
struct PaintedArea : QObject {
    qint64 area = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint)
            for (const QRect& r : static_cast<QPaintEvent*>(e)->region()) area += qint64(r.width()) * r.height();
        return false;
    }
};

TEST(ClockView, HandFramesRepaintLittleAndLeaveNoTrail) {
    struct Case {
        const char* what;
        std::size_t clocks;
        bool smooth;
        QSize window;
    } cases[] = {{"one ticking dial", 1, false, {460, 460}},
                 {"one smooth dial", 1, true, {460, 460}},
                 {"grid of six ticking dials", 6, false, {760, 460}},
                 {"grid of six smooth dials", 6, true, {760, 460}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Screen s;
        std::vector<ClockEntry> clocks;
        const char* zones[] = {"Europe/Berlin", "Asia/Tokyo", "America/New_York", "Asia/Kolkata", "Europe/London", "UTC"};
        for (std::size_t i = 0; i < c.clocks; ++i) clocks.push_back(clockIn(zones[i], "x"));
        AppSettings settings = withClocks(clocks, ClockDisplayMode::analog);
        settings.smoothSecondHand = c.smooth;
        AppModel& m = s.makeWith(settings, c.window);
        // A running stopwatch keeps the tick fast for the ticking dials too.
        m.toggleStopwatch(0);
        if (c.clocks > 1) {
            ASSERT_TRUE(test::waitUntil([&] { return !s.clocks().grid()->isAnimating(); }));
        }
        s.settle();
        QWidget* dial = c.clocks == 1 ? static_cast<QWidget*>(s.clocks().singleAnalog()) : s.clocks().grid();
        PaintedArea regions;
        dial->installEventFilter(&regions);
        for (QWidget* w : dial->findChildren<ClockCell*>()) w->installEventFilter(&regions);
        // Three seconds of the fast tick, ending on a whole second: the
        // second hand sweeps, the minute hand creeps.
        for (int i = 0; i < 75; ++i) {
            s.advance(0.04);
            s.settle();
        }
        ASSERT_EQ(m.now().time().msec(), 0);
        EXPECT_GT(regions.area, 0);
        // Far less than repainting the dials on every frame.
        EXPECT_LT(regions.area, qint64(dial->width()) * dial->height() * 75 / 8);

        // The picture the frames built up equals a full repaint: no hand
        // left a trail.
        EXPECT_EQ(trailPixels(s.host), 0);
    }
}

// Each frame of a sweeping hand, as the model's clock saw it.
struct FrameLog : QObject {
    const AppModel* model = nullptr;
    std::vector<qint64> at;  // model time of each frame, in milliseconds
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() != QEvent::Paint) return false;
        at.push_back(model->now().toMSecsSinceEpoch());
        return false;
    }
};

TEST(ClockView, SmoothHandComesInEvenStepsOfTheSameAngleOnSmallAndLargeDials) {
    // Before, the step followed the tip's travel in pixels alone: about 9
    // frames a second on the small dial and 15 on the large one, unevenly
    // spaced between ticks. Now every third tick on the small dial, every
    // other one on the large dial.
    const struct {
        QSize window;
        qint64 step;
    } cases[] = {{{460, 460}, 120}, {{1280, 800}, 80}};
    for (const auto& [window, step] : cases) {
        SCOPED_TRACE(window.width());
        Screen s;
        AppSettings settings = withClocks({clockIn("Europe/Berlin", "Berlin")}, ClockDisplayMode::analog);
        settings.smoothSecondHand = true;
        AppModel& m = s.makeWith(settings, window);
        s.settle();
        SingleAnalogClock* dial = s.clocks().singleAnalog();
        FrameLog frames;
        frames.model = &m;
        dial->installEventFilter(&frames);
        for (int i = 0; i < 75; ++i) {
            s.advance(0.04);
            s.settle();
        }
        ASSERT_EQ(m.now().time().msec(), 0);
        ASSERT_GE(frames.at.size(), std::size_t(3 * 1000 / step));
        qint64 longest = 0;
        for (std::size_t i = 1; i < frames.at.size(); ++i) longest = std::max(longest, frames.at[i] - frames.at[i - 1]);
        // 80 ms is 0.48 degrees of the second hand, 120 ms 0.72 degrees.
        EXPECT_LE(longest, step);
        EXPECT_EQ(trailPixels(s.host), 0);
        if (window.width() > 1000) s.shoot("one_large_smooth_dial");
    }
}

TEST(ClockView, DigitalGridSecondsRepaintOnlyTheDigitsAndLeaveThePictureWhole) {
    // Names and zone lines with descenders, in cells small enough to shrink
    // the text: the band a new second repaints must stop short of both.
    Screen s;
    std::vector<ClockEntry> clocks;
    const char* zones[] = {"Europe/Berlin", "Asia/Tokyo", "America/New_York", "Asia/Kolkata", "Europe/London", "UTC"};
    for (const char* z : zones) clocks.push_back(clockIn(z, "Gypsy Quay"));
    AppModel& m = s.makeWith(withClocks(clocks, ClockDisplayMode::digital), {760, 460});
    m.toggleStopwatch(0);
    ASSERT_TRUE(test::waitUntil([&] { return !s.clocks().grid()->isAnimating(); }));
    s.settle();
    const auto cells = s.clocks().grid()->findChildren<ClockCell*>();
    ASSERT_EQ(cells.size(), 6);
    ASSERT_LT(cells.front()->contentScale(), 1.0);
    PaintedArea regions;
    for (ClockCell* c : cells) c->installEventFilter(&regions);
    for (int i = 0; i < 75; ++i) {
        s.advance(0.04);
        s.settle();
    }
    // Three new seconds, each far less than the cells: mostly the last
    // digit's cell (the whole band of digits would be more than the cells).
    const qint64 cellArea = qint64(cells.front()->width()) * cells.front()->height() * 6;
    EXPECT_GT(regions.area, 0);
    EXPECT_LT(regions.area, cellArea / 2);
    EXPECT_EQ(trailPixels(s.host), 0);

    // Across the hour every digit changes at once: none may be left behind.
    for (int i = 0; i < 200; ++i) {
        s.advance(0.04);
        s.settle();
    }
    ASSERT_EQ(m.now().time().hour(), 6);
    EXPECT_EQ(trailPixels(s.host), 0);
}

TEST(TimerBars, ARunningStopwatchRepaintsItsDigitsAloneAndLeavesThePictureWhole) {
    Screen s;
    AppModel& m = s.makeWith(withClocks({clockIn("Europe/Berlin", "Berlin")}, ClockDisplayMode::digital), {760, 460});
    m.toggleStopwatch(0);
    s.settle();
    const auto bars = s.host.findChildren<TimerBar*>();
    ASSERT_EQ(bars.size(), 1);
    TimerBar* bar = bars.front();
    PaintedArea regions;
    bar->installEventFilter(&regions);
    for (int i = 0; i < 25; ++i) {
        s.advance(0.04);
        s.settle();
    }
    // 25 new readings, each a small part of the bar (its plate and outline
    // stay as painted).
    EXPECT_GT(regions.area, 0);
    EXPECT_LT(regions.area, qint64(bar->width()) * bar->height() * 25 / 4);
    EXPECT_EQ(trailPixels(s.host), 0);
}

TEST(ClockView, UnnamedLocalClockShowsNoCaption) {
    Screen s;
    s.makeWith(withClocks({clockIn("")}, ClockDisplayMode::analog), {460, 460});
    EXPECT_FALSE(s.clocks().singleAnalog()->caption()->isVisible());
}

TEST(ClockView, FourClocksInTheGridDoNotOverlapAndKeepTheCornerFree) {
    Screen s;
    s.makeWith(withClocks({clockIn("Europe/Berlin"), clockIn("America/New_York"), clockIn("Asia/Tokyo"),
                           clockIn("Asia/Kolkata")},
                          ClockDisplayMode::analog));
    ASSERT_EQ(s.clocks().area(), ClockView::Area::grid);
    ClockGrid* g = s.clocks().grid();
    ASSERT_TRUE(test::waitUntil([&] { return !g->isAnimating(); }));
    std::vector<QRect> cells;
    for (int i = 0; i < 4; ++i) cells.push_back(QRect(g->mapTo(&s.host, g->targetRect(i).topLeft()), g->targetRect(i).size()));
    for (std::size_t i = 0; i < cells.size(); ++i) {
        EXPECT_FALSE(cells[i].isEmpty());
        EXPECT_TRUE(s.host.rect().contains(cells[i])) << i;
        EXPECT_FALSE(cells[i].intersects(kWindowButtons)) << i;
        for (std::size_t j = i + 1; j < cells.size(); ++j) EXPECT_FALSE(cells[i].intersects(cells[j])) << i << j;
    }
    s.shoot("four_clocks_grid");
}

std::vector<ClockEntry> namedClocks(int n) {
    const char* zones[] = {"America/New_York", "Europe/Berlin", "Asia/Tokyo",
                           "Australia/Sydney", "America/Los_Angeles", "Asia/Kolkata"};
    const char* names[] = {"Büro New York", "Zuhause", "Tokio", "Sydney", "Kalifornien", "Bangalore"};
    std::vector<ClockEntry> out;
    for (int i = 0; i < n; ++i) out.push_back(clockIn(zones[i % 6], names[i % 6]));
    return out;
}

// Two, three and six named clocks in different zones at the default size:
// every caption shows whole with its date, zone lines all in one size.
TEST(ClockView, GridCaptionsShowWholeWithTheirDatesAtTheDefaultSize) {
    for (int n : {2, 3, 6}) {
        Screen s;
        AppSettings settings = withClocks(namedClocks(n), ClockDisplayMode::analog);
        settings.showDate = true;
        AppModel& m = s.makeWith(settings);
        ClockGrid* g = s.clocks().grid();
        ASSERT_TRUE(g);
        ASSERT_TRUE(test::waitUntil([&] { return !g->isAnimating(); }));
        std::optional<QFont> zoneFont;
        for (const ClockEntry& c : m.settings().clocks) {
            const ClockCell* cell = g->cell(c.id);
            ASSERT_TRUE(cell);
            const CaptionLayout& shown = cell->caption();
            EXPECT_EQ(shown.title.text, c.name) << n;
            EXPECT_EQ(shown.subtitle.text, m.clockTexts(c, true)) << n << " clocks: " << shown.subtitle.text.toStdString();
            EXPECT_TRUE(shown.subtitle.text.contains(m.dateText(c.timeZone()).shortDate.format(m.now()))) << n;
            EXPECT_LE(QFontMetricsF(shown.subtitle.font).horizontalAdvance(shown.subtitle.text), cell->width()) << n;
            if (zoneFont) {
                EXPECT_EQ(shown.subtitle.font, *zoneFont) << n << " clocks share one size";
            }
            zoneFont = shown.subtitle.font;
        }
        s.shoot(QStringLiteral("grid_captions_%1").arg(n).toLatin1().constData());
    }
}

// The ring (analog) or frame (digital) around the clock being edited lies
// outside its cell; at each edge of the grid it is still drawn whole.
TEST(ClockView, EditRingIsNeverCutAtTheGridsEdges) {
    struct Case {
        const char* what;
        int clocks;
        ClockDisplayMode mode;
        QSize window;
        int highlighted;
    };
    const Case cases[] = {
        {"top and left edge", 2, ClockDisplayMode::analog, {760, 460}, 0},
        {"top and right edge", 2, ClockDisplayMode::analog, {760, 460}, 1},
        {"left edge of a row", 3, ClockDisplayMode::analog, {1200, 320}, 0},
        {"right edge of a row", 3, ClockDisplayMode::analog, {1200, 320}, 2},
        {"digital, top edge", 2, ClockDisplayMode::digital, {760, 460}, 0},
        {"digital, bottom edge", 2, ClockDisplayMode::digital, {760, 460}, 1},
    };
    for (const Case& c : cases) {
        Screen s;
        AppModel& m = s.makeWith(withClocks(namedClocks(c.clocks), c.mode), c.window);
        ClockGrid* g = s.clocks().grid();
        ASSERT_TRUE(g);
        ASSERT_TRUE(test::waitUntil([&] { return !g->isAnimating(); }));
        m.setHighlightedClockID(m.settings().clocks[std::size_t(c.highlighted)].id);
        s.settle();
        EditHighlight* mark = g->highlight();
        ASSERT_TRUE(mark->isVisible()) << c.what;
        // The stroke, antialiasing included, in the mark's own coordinates.
        const QRectF stroke = mark->markRect().adjusted(-EditHighlight::kStroke / 2, -EditHighlight::kStroke / 2,
                                                        EditHighlight::kStroke / 2, EditHighlight::kStroke / 2);
        const QRect strokeInMark = stroke.translated(-QPointF(mark->pos())).toAlignedRect();
        EXPECT_TRUE(mark->visibleRegion().contains(strokeInMark))
            << c.what << ": painted " << mark->visibleRegion().boundingRect().top() << " to "
            << mark->visibleRegion().boundingRect().bottom() << ", stroke " << strokeInMark.top() << " to "
            << strokeInMark.bottom();
        // And the picture shows it: the ring's outermost row at the top is
        // not the background.
        const QImage shot = s.host.grab().toImage();
        const QPoint top = mark->mapTo(&s.host, QPoint(int(stroke.center().x() - mark->x()), strokeInMark.top() + 1));
        EXPECT_NE(shot.pixelColor(top), s.provider.colors().background.toQColor()) << c.what;
    }
}

TEST(ClockView, GridTopInsetDependsOnTheGreetingAndTheAlarmLineComesAndGoes) {
    Screen s;
    AppSettings settings = withClocks({clockIn("Europe/Berlin"), clockIn("Asia/Tokyo")}, ClockDisplayMode::digital);
    settings.showGreeting = false;
    AppModel& m = s.makeWith(settings);
    EXPECT_FALSE(s.clocks().header()->isVisible());
    EXPECT_EQ(s.inHost(s.clocks().grid()).top(), 44);
    m.editSettings([](AppSettings& a) { a.showGreeting = true; });
    s.settle();
    EXPECT_TRUE(s.clocks().header()->isVisible());
    EXPECT_EQ(s.inHost(s.clocks().grid()).top(), GreetingHeader::kHeight + 8);
    EXPECT_EQ(s.clocks().alarmsLine()->isVisible(), !m.activeAlarmsText().isEmpty());
}

// The line of armed alarms as the user sees it, from the first frame after
// start (the model derives its text only at its first tick, after the views
// exist) through every change: a new time, a second alarm, a one-time alarm
// that rings and switches itself off, and the last one disarmed.
TEST(ClockView, ArmedAlarmsLineShowsFromStartAndFollowsEveryChange) {
    struct Case {
        const char* what;
        std::vector<ClockEntry> clocks;
        ClockDisplayMode mode;
        double size;  // of the line's font, in layout pixels
    };
    const Case cases[] = {
        {"grid", {clockIn("Europe/Berlin", "Berlin"), clockIn("Asia/Tokyo", "Tokio")}, ClockDisplayMode::analog, 13},
        {"single digital clock", {clockIn("Asia/Tokyo", "Tokio")}, ClockDisplayMode::digital, 15},
    };
    for (const Case& c : cases) {
        Screen s;
        AppSettings settings = withClocks(c.clocks, c.mode);
        settings.alarms[0].isEnabled = true;
        settings.alarms[0].hour = 23;
        settings.alarms[0].minute = 59;
        AppModel& m = s.makeWith(settings);  // 06:59:50 in Berlin
        const QColor accent = m.theme().accent.toQColor();
        auto expectShown = [&](const QString& text, const char* when) {
            const PaintedText painted(s.clocks());
            const auto line = painted.find(text);
            ASSERT_TRUE(line) << c.what << ", " << when << ": " << text.toStdString() << " not drawn";
            EXPECT_EQ(line->color, accent) << c.what << ", " << when;
            EXPECT_NEAR(line->font.pointSizeF(), uiFont(c.size).pointSizeF(), 1e-6) << c.what << ", " << when;
            if (s.clocks().alarmsLine()) {
                EXPECT_TRUE(s.clocks().alarmsLine()->isVisible()) << c.what << ", " << when;
            }
        };
        expectShown(QStringLiteral("Wecker: 23:59"), "after start");
        if (c.mode == ClockDisplayMode::analog) s.shoot("armed_alarms_grid");

        m.editSettings([](AppSettings& a) {
            a.alarms[0].hour = 6;
            a.alarms[0].minute = 30;
        });
        s.settle();
        expectShown(QStringLiteral("Wecker: 06:30"), "new time");

        m.editSettings([](AppSettings& a) {
            a.alarms[2].isEnabled = true;
            a.alarms[2].hour = 7;
            a.alarms[2].minute = 0;
            a.alarms[2].weekdays = {};
        });
        s.settle();
        expectShown(QStringLiteral("Wecker: 06:30  ·  07:00"), "second alarm");

        s.advance(10.01);  // 07:00:00.005: the one-time alarm rings
        s.settle();
        ASSERT_EQ(m.alerts().size(), 1u) << c.what;
        expectShown(QStringLiteral("Wecker: 06:30"), "one-time alarm rang");

        m.editSettings([](AppSettings& a) { a.alarms[0].isEnabled = false; });
        s.settle();
        EXPECT_FALSE(PaintedText(s.clocks()).contains(QStringLiteral("Wecker"))) << c.what;
        if (s.clocks().alarmsLine()) {
            EXPECT_FALSE(s.clocks().alarmsLine()->isVisible()) << c.what;
        }
    }
}

namespace {
// Clocks whose zone lines fit whole at every caption size below, so the
// fonts drawn are the caption's own and not shrunk ones.
std::vector<ClockEntry> shortCaptionedClocks(int n) {
    const char* zones[] = {"Asia/Tokyo", "Asia/Seoul", "Asia/Dubai", "Europe/Moscow", "Asia/Shanghai", "Asia/Kolkata"};
    const char* names[] = {"Tokio", "Seoul", "Dubai", "Moskau", "Peking", "Delhi"};
    std::vector<ClockEntry> out;
    for (int i = 0; i < n; ++i) out.push_back(clockIn(zones[i], names[i]));
    return out;
}
}  // namespace

// Title 15 and zone line 12 pixels times the caption's scale, the title
// semibold, as drawn: a lone clock's caption always at scale 1, grid cells
// at the scale of their size (cells of 220 are exactly 1 too).
TEST(ClockView, CaptionsAreDrawnInTheirOwnFontsAtEverySize) {
    struct Case {
        const char* what;
        std::vector<ClockEntry> clocks;
        QSize window;
        double scale;
    };
    const Case cases[] = {
        {"one clock, 360 by 360", {clockIn("Europe/Berlin", "Berlin")}, {360, 360}, 1.0},
        {"one clock, 460 by 460", {clockIn("Europe/Berlin", "Berlin")}, {460, 460}, 1.0},
        {"one clock, 1000 by 800", {clockIn("Europe/Berlin", "Berlin")}, {1000, 800}, 1.0},
        {"six clocks in small cells", shortCaptionedClocks(6), {500, 360}, 0.7},
        // 474 less the insets of 12 and the gap of 10 leaves two cells of 220.
        {"two clocks in cells of 220", shortCaptionedClocks(2), {474, 460}, 1.0},
        {"two clocks in large cells", shortCaptionedClocks(2), {1200, 900}, 1.6},
    };
    for (const Case& c : cases) {
        Screen s;
        AppSettings settings = withClocks(c.clocks, ClockDisplayMode::analog);
        // Without the date the grid's zone lines stay short enough to fit.
        settings.showDate = c.clocks.size() == 1;
        AppModel& m = s.makeWith(settings, c.window);
        if (ClockGrid* g = s.clocks().grid()) {
            ASSERT_TRUE(test::waitUntil([&] { return !g->isAnimating(); }));
        }
        const PaintedText painted(s.clocks());
        for (const ClockEntry& e : m.settings().clocks) {
            const auto title = painted.find(m.clockTitle(e));
            const auto zone = painted.find(m.clockTexts(e, settings.showDate));
            ASSERT_TRUE(title && zone) << c.what << ": caption of " << e.name.toStdString() << " not drawn";
            EXPECT_NEAR(title->font.pointSizeF(), uiFont(15 * c.scale).pointSizeF(), 1e-6) << c.what;
            EXPECT_EQ(title->font.weight(), QFont::DemiBold) << c.what;
            EXPECT_NEAR(zone->font.pointSizeF(), uiFont(12 * c.scale).pointSizeF(), 1e-6) << c.what;
            EXPECT_EQ(zone->font.weight(), QFont::Normal) << c.what;
            EXPECT_EQ(zone->color, m.theme().secondaryForeground.toQColor()) << c.what;
        }
    }
}

TEST(ClockView, DigitalClockRepaintsOnlyWhenItsTextChanges) {
    Screen s;
    AppSettings settings = withClocks({clockIn("Asia/Tokyo", "Tokio")}, ClockDisplayMode::digital);
    AppModel& m = s.makeWith(settings);
    ASSERT_EQ(s.clocks().area(), ClockView::Area::digital);
    DigitalTime* t = s.clocks().digitalTime();
    ASSERT_NE(t, nullptr);
    // 05:59:50 UTC in Tokyo.
    EXPECT_EQ(t->layout().text(), QStringLiteral("14:59:50"));
    EXPECT_TRUE(s.host.rect().contains(s.inHost(s.clocks().singleDigital())));
    // A running stopwatch makes the model tick 25 times a second; the clock
    // still repaints once a second, and nothing else of the screen does.
    m.toggleStopwatch(0);
    ASSERT_EQ(m.rate(), AppModel::TickRate::fast);
    s.settle();
    PaintCounter time(t), header(s.clocks().header()->line());
    for (int i = 0; i < 20; ++i) {
        s.advance(0.04);
        s.settle();
    }
    EXPECT_EQ(t->layout().text(), QStringLiteral("14:59:50"));
    EXPECT_EQ(time.paints, 0);
    for (int i = 0; i < 10; ++i) {
        s.advance(0.04);
        s.settle();
    }
    EXPECT_EQ(t->layout().text(), QStringLiteral("14:59:51"));
    EXPECT_EQ(time.paints, 1);
    EXPECT_EQ(header.paints, 0);
    s.shoot("digital_clock");
    // The font setting reaches the clock.
    m.editSettings([](AppSettings& a) { a.fontSize = 60; });
    s.settle();
    ASSERT_NE(s.clocks().digitalTime(), nullptr);
    EXPECT_EQ(s.clocks().digitalTime()->layout().font(), DigitalTimeText::resolveFont(m.settings().fontFamily, 60));
    EXPECT_EQ(s.clocks().digitalTime()->layout().text(), QStringLiteral("14:59:51"));
}

TEST(ClockView, EmptyClockListShowsNoClockArea) {
    ModelHarness h;
    AppModel& m = h.make();
    m.editSettings([](AppSettings& a) { a.clocks.clear(); });
    ClockView v(m);
    // The settings repair may put a clock back; without clocks there is no area.
    if (m.settings().clocks.empty()) {
        EXPECT_EQ(v.area(), ClockView::Area::none);
    }
}

// --- Root view -----------------------------------------------------------------

TEST(RootView, ToolbarFadesWithThePointerAndItsButtonsFollowTheSettings) {
    Screen s;
    AppModel& m = s.makeWith(withClocks({clockIn("Europe/Berlin")}, ClockDisplayMode::digital));
    EXPECT_FALSE(s.root->controlsVisible());
    EXPECT_DOUBLE_EQ(s.root->toolbarOpacity(), 0.0);
    QElapsedTimer fade;
    fade.start();
    s.pointAt({300, 200});
    EXPECT_TRUE(s.root->controlsVisible());
    ASSERT_TRUE(test::waitUntil([&] { return s.root->toolbarOpacity() >= 1.0; }, 1000));
    EXPECT_LT(fade.elapsed(), RootView::kShowControlsMs + 150);
    fade.restart();
    s.parkPointer();
    ASSERT_TRUE(test::waitUntil([&] { return !s.root->controlsVisible(); }, 1000));
    ASSERT_TRUE(test::waitUntil([&] { return s.root->toolbarOpacity() <= 0.0; }, 1000));
    EXPECT_GE(fade.elapsed(), RootView::kHideControlsMs - 40);

    const QRect bar = s.inHost(s.root->toolbar());
    EXPECT_EQ(bar.top(), 8);
    EXPECT_EQ(s.host.width() - bar.right() - 1, 8);
    EXPECT_EQ(s.root->settingsButton()->toolTip(), QStringLiteral("Einstellungen (Strg+,)"));

    EXPECT_EQ(s.root->mapButton()->symbol(), QStringLiteral("globe.europe.africa"));
    s.root->mapButton()->click();
    EXPECT_TRUE(m.settings().showWorldMap);
    ASSERT_NE(s.root->worldMap(), nullptr);
    EXPECT_EQ(s.root->mapButton()->symbol(), QStringLiteral("clock"));
    EXPECT_EQ(s.root->mapButton()->toolTip(), QStringLiteral("Zurück zu den Uhren"));
    EXPECT_TRUE(s.root->mapButton()->active());
    EXPECT_TRUE(s.root->isCrossFading());
    ASSERT_TRUE(test::waitUntil([&] { return !s.root->isCrossFading(); }, 2000));
    EXPECT_FALSE(s.inHost(s.root->worldMap()->headerRow()).adjusted(82, 0, 0, 0).intersects(kWindowButtons));
    s.root->mapButton()->click();
    EXPECT_NE(s.root->clockView(), nullptr);

    s.root->pinButton()->click();
    EXPECT_TRUE(m.settings().topmost);
    EXPECT_EQ(s.root->pinButton()->symbol(), QStringLiteral("pin.fill"));
    EXPECT_EQ(s.root->pinButton()->toolTip(), QStringLiteral("Immer im Vordergrund – aus"));
    EXPECT_TRUE(s.root->pinButton()->active());

    // Every symbol these views ask for is drawn, none silently blank.
    for (const char* symbol : {"clock", "globe.europe.africa", "globe.europe.africa.fill", "pin", "pin.fill",
                               "gearshape", "bell.fill", "hourglass", "stopwatch", "play.fill", "pause.fill",
                               "stop.fill", "xmark"})
        EXPECT_TRUE(icons::has(QString::fromLatin1(symbol))) << symbol;
}

TEST(RootView, OnlyTheMapButtonCrossFadesAndTheMapScreenKeepsItsHeader) {
    Screen s;
    AppModel& m = s.makeWith(withClocks({clockIn("Europe/Berlin")}, ClockDisplayMode::analog));
    // A change that comes from elsewhere switches at once.
    s.root->toggleWorldMap();
    EXPECT_TRUE(m.settings().showWorldMap);
    ASSERT_NE(s.root->worldMap(), nullptr);
    EXPECT_FALSE(s.root->isCrossFading());
    MainWorldMap* map = s.root->worldMap();
    EXPECT_TRUE(s.host.rect().contains(s.inHost(map->headerRow())));
    EXPECT_GE(s.inHost(map->headerRow()).top(), 0);
    s.shoot("world_map_placeholder");
    s.root->mapButton()->click();
    EXPECT_FALSE(m.settings().showWorldMap);
    EXPECT_TRUE(s.root->isCrossFading());
    EXPECT_NE(s.root->clockView(), nullptr);
}

TEST(RootView, PressesOnFreeSpaceReachTheWindow) {
    Screen s;
    s.makeWith(withClocks({clockIn("Europe/Berlin"), clockIn("Asia/Tokyo")}, ClockDisplayMode::analog));
    struct Catcher : QObject {
        int presses = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::MouseButtonPress) ++presses;
            return false;
        }
    } catcher;
    // The host stands for the window: a press it sees was not taken below.
    s.host.installEventFilter(&catcher);
    for (QPoint p : {QPoint(380, 20), QPoint(5, 450), QPoint(380, 230)}) {
        QWidget* target = s.host.childAt(p);
        ASSERT_NE(target, nullptr);
        QTest::mousePress(target, Qt::LeftButton, {}, target->mapFrom(&s.host, p));
        QTest::mouseRelease(target, Qt::LeftButton, {}, target->mapFrom(&s.host, p));
    }
    EXPECT_EQ(catcher.presses, 3);
}

TEST(AlertCard, TextsAndTheFallbackLine) {
    const AlertItem alert{QStringLiteral("A1"), QStringLiteral("Alarm 1"), QStringLiteral("07:00 · Aufstehen")};
    AlertCard plain(alert, false);
    EXPECT_EQ(plain.titleText(), QStringLiteral("Alarm 1"));
    EXPECT_EQ(plain.subtitleText(), QStringLiteral("07:00 · Aufstehen"));
    EXPECT_FALSE(plain.showsFallback());
    EXPECT_EQ(plain.dismissButton()->text(), QStringLiteral("Alarm beenden"));
    EXPECT_EQ(plain.dismissButton()->size(), QSize(200, 44));
    EXPECT_GE(plain.sizeHint().width(), 380);

    AlertCard fellBack(alert, true);
    EXPECT_TRUE(fellBack.showsFallback());
    EXPECT_EQ(AlertCard::fallbackText(), QStringLiteral("Sonvela bleibt stumm – deshalb klingelt der Alarmton."));
    EXPECT_GT(fellBack.sizeHint().height(), plain.sizeHint().height());

    // Markup in a title is shown as written, never interpreted.
    AlertCard markup({QStringLiteral("A2"), QStringLiteral("<b>x</b>"), QString()}, false);
    EXPECT_EQ(markup.titleText(), QStringLiteral("<b>x</b>"));
}

TEST(RootView, TwoAlertsCoverTheClocksAndReturnEndsTheNewestFirst) {
    Screen s;
    AppModel& m = s.makeWith(withClocks({clockIn("Europe/Berlin"), clockIn("Asia/Tokyo")}, ClockDisplayMode::analog));
    AlarmSettings a;
    a.isEnabled = true;
    a.hour = 7;
    a.sound.source = SoundSource::builtIn;
    m.fireAlarm(1, a, m.now(), m.now());
    m.fireAlarm(2, a, m.now().addSecs(1), m.now().addSecs(1));
    s.settle();
    ASSERT_EQ(m.alerts().size(), 2u);
    AlertOverlay* o = s.root->alertOverlay();
    ASSERT_TRUE(o->isVisible());
    EXPECT_EQ(s.inHost(o), s.host.rect());
    ASSERT_EQ(o->cards().size(), 2u);
    EXPECT_EQ(o->cards()[0]->alertID(), m.alerts()[0].id);
    // The newer one below the older one, both inside the window.
    const QRect first = s.shownRect(o, o->cards()[0]);
    const QRect second = s.shownRect(o, o->cards()[1]);
    EXPECT_GT(second.top(), first.bottom());
    EXPECT_TRUE(s.host.rect().contains(first));
    EXPECT_TRUE(s.host.rect().contains(second));
    // The overlay lies over the clocks: whatever is under a clock's centre
    // belongs to the overlay now.
    for (const QString& id : {m.settings().clocks[0].id, m.settings().clocks[1].id}) {
        ClockCell* cell = s.clocks().grid()->cell(id);
        ASSERT_NE(cell, nullptr);
        QWidget* top = s.host.childAt(s.inHost(cell).center());
        ASSERT_NE(top, nullptr);
        EXPECT_TRUE(top == o || o->isAncestorOf(top));
    }
    s.shoot("two_alerts");

    const QString older = m.alerts()[0].id;
    QTest::keyClick(&s.host, Qt::Key_Return);
    ASSERT_EQ(m.alerts().size(), 1u);
    EXPECT_EQ(m.alerts()[0].id, older);
    ASSERT_EQ(o->cards().size(), 1u);
    QTest::keyClick(&s.host, Qt::Key_Return);
    EXPECT_TRUE(m.alerts().empty());
    EXPECT_FALSE(o->isVisible());
}

TEST(RootView, ManyAlertsInASmallWindowShrinkInsteadOfClipping) {
    Screen s;
    AppModel& m = s.makeWith(withClocks({clockIn("Europe/Berlin")}, ClockDisplayMode::digital), {400, 320});
    AlarmSettings a;
    a.isEnabled = true;
    a.sound.source = SoundSource::builtIn;
    for (int i = 1; i <= 4; ++i) m.fireAlarm(i, a, m.now().addSecs(i), m.now().addSecs(i));
    s.settle();
    ASSERT_EQ(m.alerts().size(), 4u);
    EXPECT_LT(s.root->alertOverlay()->scaler()->scale(), 1.0);
    // The dismiss buttons still work while shrunk.
    s.root->alertOverlay()->cards()[0]->dismissButton()->click();
    EXPECT_EQ(m.alerts().size(), 3u);
}
