#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include <QApplication>
#include <QKeyEvent>
#include <QScreen>

#include "LogCapture.h"
#include "PointerDrag.h"
#include "TestWait.h"
#include "appmodel/ModelHarness.h"
#include "shell/DelegateHarness.h"
#include "platform/AtomicFile.h"
#include "shell/SettingsWindow.h"
#include "shell/AppDelegate.h"
#include "shell/ClockWindow.h"
#include "shell/WindowFrames.h"

using namespace corvane;
using corvane::testing::DelegateHarness;
using corvane::testing::ModelHarness;

namespace {

AppSettings analogOneClock() {
    AppSettings s = ModelHarness::quietSettings();
    s.displayMode = ClockDisplayMode::analog;
    s.smoothSecondHand = false;
    return s;
}

// One clock, digital, standing at 40, 30 with 500 by 320.
AppSettings withStoredFrame() {
    AppSettings s = ModelHarness::quietSettings();
    s.windowLeft = 40;
    s.windowTop = 30;
    s.windowWidth = 500;
    s.windowHeight = 320;
    return s;
}

}  // namespace

TEST(AppDelegate, FirstLaunchWithOneAnalogClockOpensASquareCentredWindow) {
    DelegateHarness d;
    d.start(analogOneClock());
    EXPECT_EQ(d.window().size(), QSize(460, 460));
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(std::abs(d.window().geometry().center().x() - area.center().x()), 1);
}

TEST(AppDelegate, StoredFrameIsRestoredAndMovesAreStoredAgain) {
    DelegateHarness d;
    AppSettings s = withStoredFrame();
    d.start(s);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(d.window().geometry(), QRect(40, screen.top() + 30, 500, 320));

    d.window().move(60, screen.top() + 70);
    ASSERT_TRUE(test::waitUntil([&] { return d.model().settings().windowLeft == 60.0; }, 2000));
    EXPECT_EQ(d.model().settings().windowTop, 70.0);
    EXPECT_EQ(d.model().settings().windowWidth, 500.0);
}

// Dragged by the clock on its screen, the window goes exactly as far as the
// pointer, and that is where it is stored.
TEST(AppDelegate, DraggingTheClockMovesTheWindowAsFarAsThePointerAndStoresIt) {
    DelegateHarness d;
    d.start(withStoredFrame());  // 40, 30 below the first screen's top
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QPoint start = d.window().pos();
    ASSERT_EQ(start, QPoint(40, screen.top() + 30));
    // The middle of the one digital clock: nothing there takes the press.
    test::dragWithLeftButton(&d.window(), start + QPoint(250, 160), QPoint(200, 120), 10);
    EXPECT_EQ(d.window().pos(), start + QPoint(200, 120));
    EXPECT_EQ(d.model().settings().windowLeft, 240.0);
    EXPECT_EQ(d.model().settings().windowTop, 150.0);
    EXPECT_EQ(d.model().settings().windowWidth, 500.0);
}

TEST(AppDelegate, SwitchingToAnalogSquaresTheWindowAndStoresTheSquare) {
    DelegateHarness d;
    d.start(ModelHarness::quietSettings());  // digital, one clock, 760 x 460
    const QPoint topLeft = d.window().geometry().topLeft();
    d.model().editSettings([](AppSettings& s) { s.displayMode = ClockDisplayMode::analog; });
    QApplication::processEvents();
    EXPECT_EQ(d.window().size(), QSize(460, 460));
    EXPECT_EQ(d.window().geometry().topLeft(), topLeft);
    // Stored even though the top-left corner never moved.
    EXPECT_EQ(d.model().settings().windowWidth, 460.0);
    EXPECT_EQ(d.model().settings().windowHeight, 460.0);
}

TEST(AppDelegate, QuitAsksOnlyWithArmedAlarmsAndTheDockAnswerKeepsRunning) {
    DelegateHarness d;
    AppSettings s = ModelHarness::quietSettings();
    s.alarms[0].isEnabled = true;
    s.alarms[0].hour = 7;
    s.alarms[0].minute = 0;
    s.alarms[2].isEnabled = true;
    s.alarms[2].hour = 21;
    s.alarms[2].minute = 15;
    d.start(s);
    d.answer = QuitChoice::MinimizeToDock;
    d.delegate->requestQuit();
    ASSERT_EQ(d.asked.size(), 1u);
    EXPECT_EQ(d.asked[0], (QStringList{QStringLiteral("Wecker 1 um 07:00\u00A0Uhr"), QStringLiteral("Wecker 3 um 21:15\u00A0Uhr")}));
    EXPECT_TRUE(d.window().isMinimized());

    // Nothing armed: no question at all.
    d.model().editSettings([](AppSettings& st) {
        for (AlarmSettings& a : st.alarms) a.isEnabled = false;
    });
    d.delegate->requestQuit();
    EXPECT_EQ(d.asked.size(), 1u);
}

// Every way out of full screen into the dock stores the windowed frame.
TEST(AppDelegate, LeavingFullScreenIntoTheDockKeepsTheWindowedFrame) {
    for (const bool quitGuard : {false, true}) {
        DelegateHarness d;
        AppSettings s = withStoredFrame();
        s.alarms[0].isEnabled = true;  // so that quitting asks
        d.start(s);
        d.delegate->toggleClockFullScreen();  // F11
        ASSERT_TRUE(test::waitUntil([&] { return d.window().isFullScreen(); }, 2000));
        if (quitGuard) {
            d.answer = QuitChoice::MinimizeToDock;  // "Ins Dock ablegen"
            d.delegate->requestQuit();
        } else {
            d.window().close();  // Alt+F4
        }
        ASSERT_TRUE(test::waitUntil([&] { return d.window().isMinimized(); }, 2000)) << quitGuard;
        const AppSettings& after = d.model().settings();
        EXPECT_EQ(after.windowLeft, 40.0) << quitGuard;
        EXPECT_EQ(after.windowTop, 30.0) << quitGuard;
        EXPECT_EQ(after.windowWidth, 500.0) << quitGuard;
        EXPECT_EQ(after.windowHeight, 320.0) << quitGuard;
    }
}

// On X11 the window leaves the full-screen state before the window manager
// hands back the windowed size; moves and resizes reported meanwhile still
// show the full-screen geometry. The window's signals play that order here.
TEST(AppDelegate, FullScreenGeometryReportedAfterLeavingIsNotStored) {
    DelegateHarness d;
    AppSettings s = withStoredFrame();
    d.start(s);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect windowed = d.window().geometry();
    auto stored = [&] {
        const AppSettings& a = d.model().settings();
        return QRect(int(*a.windowLeft), screen.top() + int(*a.windowTop), int(*a.windowWidth), int(*a.windowHeight));
    };

    Q_EMIT d.window().fullScreenWillEnter();
    d.window().setGeometry(screen);  // what the window manager gives
    Q_EMIT d.window().fullScreenEntered();
    Q_EMIT d.window().fullScreenExited();  // the state has turned, the size not yet
    QApplication::processEvents();
    EXPECT_EQ(stored(), windowed);
    Q_EMIT d.window().moved();  // a late report of the full-screen geometry
    Q_EMIT d.window().resizeSettled();
    EXPECT_EQ(stored(), windowed);

    // The windowed size arrives; from then on the window's own frame counts.
    d.window().setGeometry(windowed);
    QApplication::processEvents();
    d.window().move(windowed.topLeft() + QPoint(25, 15));
    ASSERT_TRUE(test::waitUntil([&] { return d.model().settings().windowLeft == 65.0; }, 2000));
    EXPECT_EQ(stored(), windowed.translated(25, 15));
}

TEST(AppDelegate, ClosingTheClockWindowPutsItIntoTheDock) {
    DelegateHarness d;
    d.start(ModelHarness::quietSettings());
    d.window().close();
    EXPECT_TRUE(d.window().isMinimized());
    d.delegate->showClock();
    EXPECT_FALSE(d.window().isMinimized());
}

TEST(AppDelegate, SettingsWindowOpensBesideClosesOnEscAndIsReused) {
    DelegateHarness d;
    d.start(ModelHarness::quietSettings());
    d.model().openSettings();
    QApplication::processEvents();
    QWidget* settings = d.delegate->settingsWindow();
    ASSERT_NE(settings, nullptr);
    EXPECT_TRUE(settings->isVisible());
    EXPECT_EQ(settings->windowTitle(), QStringLiteral("Einstellungen – Corvane"));
    EXPECT_EQ(settings->minimumSize(), QSize(820, 520));
    // Never opened before: placed where the placement rule puts it (the rule
    // itself is covered by the frame tests). The headless screen is narrower
    // than the window's minimum width, so only the top edge is exact here.
    const QRectF area = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect placed = toWindowRect(placeSettingsWindow(QRectF(d.window().geometry()), area));
    EXPECT_EQ(settings->geometry().top(), placed.top());
    EXPECT_GE(settings->width(), std::min(placed.width(), 820));

    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(settings, &esc);
    EXPECT_FALSE(d.model().isSettingsOpen());
    EXPECT_FALSE(settings->isVisible());

    // The window's close button closes the settings in the model too.
    d.model().openSettings();
    QApplication::processEvents();
    EXPECT_EQ(d.delegate->settingsWindow(), settings);
    EXPECT_TRUE(settings->isVisible());
    settings->close();
    EXPECT_FALSE(d.model().isSettingsOpen());
}

// The settings window's frame is a file of its own: it comes back where it
// was, and a save that cannot finish leaves the previous frame whole.
TEST(AppDelegate, SettingsWindowFrameSurvivesAFailedSave) {
    DelegateHarness d;
    d.start(ModelHarness::quietSettings());
    const QString stateFile = d.model().settingsService().windowStateFilePath();
    d.model().openSettings();
    QApplication::processEvents();
    QWidget* settings = d.delegate->settingsWindow();
    ASSERT_NE(settings, nullptr);
    settings->close();
    const QByteArray saved = [&] {
        QFile f(stateFile);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    ASSERT_TRUE(saved.startsWith("[CorvaneSettings]\ngeometry=")) << saved.toStdString();

    d.model().openSettings();
    QApplication::processEvents();
    settings->move(settings->pos() + QPoint(17, 9));
    {
        corvane::testing::ScopedWriteFault fault(WriteStage::write, ENOSPC);
        settings->close();
    }
    QFile f(stateFile);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), saved);
    SettingsWindow again(d.model(), stateFile);
    EXPECT_TRUE(again.restoreFrame());
}

TEST(AppDelegate, ShutdownWritesThePendingChangeAtOnce) {
    DelegateHarness d;
    d.start(ModelHarness::quietSettings());
    d.model().editSettings([](AppSettings& s) { s.userName = QStringLiteral("Jakob"); });
    d.delegate->shutdown();
    SettingsService reader(d.h.paths);
    EXPECT_EQ(reader.load().settings.userName, QStringLiteral("Jakob"));
}

// No window is left to show it: a settings window frame that cannot be
// stored at quit goes to the log with its cause, beside the settings' own
// failure; saves that succeed leave no line.
TEST(AppDelegate, AFailedFrameSaveAtQuitIsLoggedWithItsCause) {
    for (const bool fails : {false, true}) {
        SCOPED_TRACE(fails ? "failing saves" : "good saves");
        DelegateHarness d;
        d.start(ModelHarness::quietSettings());
        d.model().openSettings();
        QApplication::processEvents();
        ASSERT_NE(d.delegate->settingsWindow(), nullptr);
        test::LogCapture log;
        {
            std::optional<corvane::testing::ScopedWriteFault> fault;
            if (fails) fault.emplace(WriteStage::write, ENOSPC);
            d.delegate->shutdown();
        }
        const std::string all = log.lines.join(u'\n').toStdString();
        if (!fails) {
            EXPECT_TRUE(log.lines.isEmpty()) << all;
            continue;
        }
        ASSERT_EQ(log.lines.size(), 2) << all;
        EXPECT_TRUE(log.lines[0].startsWith(
            QStringLiteral("Beim Beenden: Größe und Position des Einstellungsfensters konnten nicht gespeichert")))
            << all;
        EXPECT_TRUE(log.lines[0].endsWith(QStringLiteral("Kein Speicherplatz mehr frei"))) << all;
        EXPECT_TRUE(log.lines[1].startsWith(QStringLiteral("Beim Beenden: Einstellungen konnten nicht gespeichert")))
            << all;
    }
}

// Qt's own windows (dialogs, menus, pop-up lists) match the theme from the
// first window on and follow every change of it.
TEST(AppDelegate, TheProgramsPaletteFollowsTheTheme) {
    DelegateHarness d;
    AppSettings s = ModelHarness::quietSettings();
    s.theme = ThemeMode::dark;
    d.start(s);
    const auto shown = [] {
        const QPalette p = QApplication::palette();
        return std::make_pair(p.color(QPalette::Window), p.color(QPalette::WindowText));
    };
    const ThemeColors dark = d.model().theme();
    ASSERT_TRUE(dark.isDark);
    EXPECT_EQ(shown(), std::make_pair(dark.background.toQColor(), dark.foreground.toQColor()));
    EXPECT_EQ(QApplication::palette("QMenu").color(QPalette::Window), dark.background.toQColor());

    d.model().editSettings([](AppSettings& next) { next.theme = ThemeMode::light; });
    QApplication::processEvents();
    const ThemeColors light = d.model().theme();
    ASSERT_FALSE(light.isDark);
    EXPECT_EQ(shown(), std::make_pair(light.background.toQColor(), light.foreground.toQColor()));
}
