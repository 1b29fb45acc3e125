// The palette, the dusk, the widget snapshot, dial images and the zone watch.

#include <gtest/gtest.h>

#include <QImage>
#include <QSignalSpy>

#include "appmodel/ModelHarness.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

AppSettings duskSettings() {
    AppSettings s = ModelHarness::quietSettings();
    s.theme = ThemeMode::dusk;
    s.dusk.source = DuskSource::schedule;
    s.dusk.dayStartHour = 7;
    s.dusk.dayStartMinute = 0;
    s.dusk.transitionMinutes = 60;
    return s;
}

}  // namespace

TEST(Theme, DuskDimsEverySecondButTheWidgetFollowsEveryFiveMinutesOrAtTheTurn) {
    ModelHarness h;
    h.writeSettings(duskSettings());
    AppModel& m = h.make();
    h.advance(10.01);  // 07:00:00.005, the ramp begins
    QSignalSpy themes(&m, &AppModel::themeChanged);
    const std::size_t reloadsBefore = h.reloader->kinds.size();
    int turns = 0;
    bool wasDark = m.theme().isDark;
    bool widgetCaughtUp = true;
    for (int s = 0; s < 3600; ++s) {
        h.advance(1.0);
        if (m.theme().isDark != wasDark) {
            ++turns;
            wasDark = m.theme().isDark;
            h.advance(1.6);
            s += 1;
            const auto snap = WidgetSnapshot::read(h.paths);
            widgetCaughtUp = widgetCaughtUp && snap && snap->theme.isDark == wasDark;
        }
    }
    EXPECT_GT(themes.count(), 100);  // whenever an 8-bit colour moves
    EXPECT_EQ(turns, 1);
    EXPECT_TRUE(widgetCaughtUp);
    const std::size_t reloads = h.reloader->kinds.size() - reloadsBefore;
    EXPECT_GE(reloads, 11u);
    EXPECT_LE(reloads, 14u);
    EXPECT_EQ(h.reloader->kinds.back(), QStringLiteral("TickoraWidget"));
}

TEST(Theme, AClockSetBackCountsAsTimeGoneBy) {
    ModelHarness h;
    h.writeSettings(duskSettings());
    AppModel& m = h.make();
    h.advance(10.01 + 50 * 60);  // 07:50, past the turn at half the ramp
    const bool dark = m.theme().isDark;
    const std::size_t before = h.reloader->kinds.size();
    h.clock.setWall(utcMs(2026, 3, 10, 6, 40, 0, 500));  // 07:40:00.500
    h.advance(3.0);
    EXPECT_EQ(m.theme().isDark, dark);
    EXPECT_EQ(h.reloader->kinds.size(), before + 1);
}

TEST(Theme, ModeChangeAndOwnBackgroundReachTheWindowAndTheWidget) {
    ModelHarness h;
    AppSettings s = ModelHarness::quietSettings();
    s.theme = ThemeMode::light;
    h.writeSettings(s);
    AppModel& m = h.make();
    h.advance(2.0);
    QSignalSpy window(&m, &AppModel::windowOptionsChanged);
    const std::size_t reloads = h.reloader->kinds.size();
    m.editSettings([](AppSettings& s) { s.theme = ThemeMode::dark; });
    EXPECT_TRUE(m.theme().isDark);
    EXPECT_EQ(window.count(), 1);
    h.advance(1.49);
    EXPECT_EQ(h.reloader->kinds.size(), reloads);
    h.advance(0.02);
    EXPECT_EQ(h.reloader->kinds.size(), reloads + 1);

    m.editSettings([](AppSettings& s) {
        s.useCustomBackground = true;
        s.customBackgroundColor = QStringLiteral("#203040");
    });
    const int afterFirst = window.count();
    m.editSettings([](AppSettings& s) { s.customBackgroundColor = QStringLiteral("#203050"); });
    EXPECT_TRUE(m.theme().isDark);
    EXPECT_EQ(window.count(), afterFirst + 1);
}

TEST(Theme, TheSystemLookAppliesAtOnce) {
    ModelHarness h;
    AppSettings s = ModelHarness::quietSettings();
    s.theme = ThemeMode::system;
    h.writeSettings(s);
    AppModel& m = h.make();
    EXPECT_FALSE(m.theme().isDark);
    h.appearance->setLight(false);
    ModelHarness::settle();
    EXPECT_TRUE(m.theme().isDark);
}

TEST(Widget, FiveChangesInASecondGiveOneWriteAfterTheFirst) {
    ModelHarness h;
    AppModel& m = h.make();
    h.advance(2.0);
    const std::size_t reloads = h.reloader->kinds.size();
    for (int i = 0; i < 5; ++i) {
        m.editSettings([i](AppSettings& s) { s.fontFamily = QStringLiteral("Schrift %1").arg(i); });
        h.advance(0.2);
    }
    h.advance(0.49);  // 1.49 s after the first
    EXPECT_EQ(h.reloader->kinds.size(), reloads);
    h.advance(0.02);
    EXPECT_EQ(h.reloader->kinds.size(), reloads + 1);
    h.advance(5.0);
    EXPECT_EQ(h.reloader->kinds.size(), reloads + 1);
    EXPECT_EQ(WidgetSnapshot::read(h.paths)->fontFamily, QStringLiteral("Schrift 4"));
}

TEST(Widget, AChangeTheWidgetDoesNotShowWritesNothing) {
    ModelHarness h;
    AppModel& m = h.make();
    h.advance(2.0);
    const ino_t file = ModelHarness::inodeOf(h.widgetFile());
    ASSERT_NE(file, 0u);
    const std::size_t reloads = h.reloader->kinds.size();
    m.editSettings([](AppSettings& s) { s.windowLeft = 40; });
    h.advance(2.0);
    EXPECT_EQ(h.reloader->kinds.size(), reloads);
    EXPECT_EQ(ModelHarness::inodeOf(h.widgetFile()), file);
}

TEST(Widget, SnapshotContentAndAPendingRefreshAtQuit) {
    ModelHarness h;
    AppSettings s = ModelHarness::quietSettings();
    s.clocks[0].timeZoneID = QStringLiteral("America/New_York");
    ClockEntry local = ClockEntry::makeNew();
    local.dialStyle = DialStyle::roman;
    local.faceColor = QStringLiteral("#abc");
    s.clocks.push_back(local);
    s.alarms[1].isEnabled = true;
    h.writeSettings(s);
    AppModel& m = h.make();
    m.editSettings([](AppSettings& s) {
        s.alarms[1].hour = 6;
        s.alarms[1].minute = 0;
    });
    h.advance(0.5);
    m.shutdown();  // the refresh was still waiting
    const auto snap = WidgetSnapshot::read(h.paths);
    ASSERT_TRUE(snap);
    ASSERT_EQ(snap->clocks.size(), 2u);
    EXPECT_EQ(snap->clocks[0].title, QStringLiteral("New York"));
    EXPECT_EQ(snap->clocks[0].dial, DialStyle::classic);
    EXPECT_EQ(snap->clocks[1].title, QStringLiteral("Ortszeit · Berlin"));
    EXPECT_EQ(snap->clocks[1].dial, DialStyle::roman);
    EXPECT_EQ(snap->clocks[1].face, QStringLiteral("#abc"));
    EXPECT_TRUE(snap->digital);
    EXPECT_EQ(snap->nextAlarm, QStringLiteral("Wecker: 06:00"));
    EXPECT_EQ(h.reloader->kinds.size(), 1u);
}

// --- Dial images -----------------------------------------------------------------

namespace {

QString writeImage(const QString& path, int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::red);
    EXPECT_TRUE(image.save(path, "PNG"));
    return path;
}

}  // namespace

TEST(DialImages, SharedImageFollowsTheSwitchAndTheFile) {
    ModelHarness h;
    const QString png = writeImage(h.dir.filePath(QStringLiteral("dial.png")), 40, 40);
    const QString text = h.dir.filePath(QStringLiteral("kein-bild.png"));
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("kein Bild");
    }
    AppModel& m = h.make();
    QSignalSpy changed(&m, &AppModel::dialImageChanged);
    m.editSettings([&](AppSettings& s) {
        s.dialImagePath = png;
        s.useCustomDial = true;
    });
    ModelHarness::settle();
    ASSERT_TRUE(m.dialImage().has_value());
    EXPECT_EQ(m.dialImage()->size(), QSize(40, 40));

    m.editSettings([](AppSettings& s) { s.useCustomDial = false; });
    EXPECT_FALSE(m.dialImage().has_value()) << "cleared at once, not after a decode";
    m.editSettings([](AppSettings& s) { s.useCustomDial = true; });
    ModelHarness::settle();
    EXPECT_TRUE(m.dialImage().has_value());
    EXPECT_EQ(changed.count(), 3);

    m.editSettings([&](AppSettings& s) { s.dialImagePath = text; });
    ModelHarness::settle();
    EXPECT_FALSE(m.dialImage().has_value());
}

TEST(DialImages, AStaleResultIsDropped) {
    ModelHarness h;
    const QString a = writeImage(h.dir.filePath(QStringLiteral("a.png")), 20, 20);
    const QString b = writeImage(h.dir.filePath(QStringLiteral("b.png")), 30, 30);
    AppModel& m = h.make();
    m.editSettings([&](AppSettings& s) {
        s.dialImagePath = a;
        s.useCustomDial = true;
    });
    m.editSettings([&](AppSettings& s) { s.dialImagePath = b; });
    ModelHarness::settle();
    ASSERT_TRUE(m.dialImage().has_value());
    EXPECT_EQ(m.dialImage()->size(), QSize(30, 30));
}

TEST(DialImages, PerClockImagesLoadOncePerPathAndAreScaled) {
    ModelHarness h;
    const QString png = writeImage(h.dir.filePath(QStringLiteral("uhr.png")), 64, 32);
    AppModel& m = h.make();
    QSignalSpy loaded(&m, &AppModel::clockImagesChanged);
    m.editSettings([&](AppSettings& s) {
        s.clocks[0].dialImagePath = png;
        ClockEntry second = ClockEntry::makeNew();
        second.dialImagePath = png;
        s.clocks.push_back(second);
    });
    ModelHarness::settle();
    EXPECT_EQ(loaded.count(), 1);
    ASSERT_EQ(m.clockImages().count(png), 1u);
    // Replaced on disk: the loaded image stays for this run.
    writeImage(png, 10, 10);
    m.editSettings([](AppSettings& s) { s.clocks.pop_back(); });
    ModelHarness::settle();
    EXPECT_EQ(m.clockImages().at(png).size(), QSize(64, 32));

    EXPECT_EQ(AppModel::decodeDialImage(png, 4).size(), QSize(4, 4));
    const QString wide = writeImage(h.dir.filePath(QStringLiteral("breit.png")), 1000, 500);
    EXPECT_EQ(AppModel::decodeDialImage(wide, 256).size(), QSize(256, 128));
    EXPECT_TRUE(AppModel::decodeDialImage(h.dir.filePath(QStringLiteral("fehlt.png")), 256).isNull());
}

// --- Zone change ------------------------------------------------------------------------

TEST(ZoneChange, TextsReadInTheCurrentZoneFollowAtOnce) {
    ModelHarness h;
    AppModel& m = h.make();
    EXPECT_EQ(m.greetingText(), QStringLiteral("Guten Morgen, Anna!"));
    h.zones.setZone(QTimeZone("Asia/Tokyo"));
    h.zoneWatcher->announce();
    EXPECT_EQ(m.greetingText(), QStringLiteral("Guten Tag, Anna!"));
    EXPECT_EQ(m.hourMinuteFormatter().format(m.now()), QStringLiteral("14:59"));
    EXPECT_EQ(m.clockTitle(m.settings().clocks[0]), QStringLiteral("Ortszeit · Tokyo"));
}
