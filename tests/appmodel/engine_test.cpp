// Start-up, the heartbeat, saving and the settings window.

#include <gtest/gtest.h>

#include <QDir>
#include <QSignalSpy>
#include <optional>

#include "LogCapture.h"
#include "appmodel/ModelHarness.h"
#include "platform/AtomicFile.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

void touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
}

void writeDamagedSettings(const ModelHarness& h) {
    QDir().mkpath(h.paths.dataFolder);
    QFile f(h.settingsFile());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("{ not json");
}

}  // namespace

TEST(StartUp, DamagedFileGivesDefaultsAndMessageAndKeepsMedia) {
    ModelHarness h;
    writeDamagedSettings(h);
    const QString orphan = h.mediaFolder() + QStringLiteral("/ton-alt-1.wav");
    touch(orphan);
    AppModel& m = h.make();
    h.settleWrites();
    EXPECT_TRUE(m.saveStatusText().has_value());
    EXPECT_EQ(m.settings().alarms.size(), 4u);
    EXPECT_TRUE(QFile::exists(orphan)) << "a failed load must never delete media";
}

// The user whose settings were just reset must be able to read why: the
// frame the window reports at start is saved at once, and that save must not
// clear the message. The user's own next change, once saved, does.
TEST(StartUp, TheLoadMessageStaysUntilTheUsersOwnChangeIsSaved) {
    ModelHarness h;
    writeDamagedSettings(h);
    AppModel& m = h.make();
    ASSERT_TRUE(m.saveStatusText());
    const QString message = *m.saveStatusText();
    EXPECT_TRUE(message.startsWith(QStringLiteral("Die Einstellungen konnten nicht geladen werden (")));

    m.editSettings([](AppSettings& s) { s.windowLeft = 40; });
    m.editSettings([](AppSettings& s) { s.windowTop = 30; });
    h.advance(0.8);
    h.settleWrites();
    EXPECT_TRUE(QFileInfo::exists(h.settingsFile()));  // the frame was saved
    EXPECT_EQ(m.saveStatusText(), message);

    // A failing save shows its own cause; the next frame save that succeeds
    // brings the load message back.
    {
        corvane::testing::ScopedWriteFault fault(WriteStage::write, ENOSPC);
        m.editSettings([](AppSettings& s) { s.windowLeft = 50; });
        h.advance(0.8);
        h.settleWrites();
    }
    EXPECT_EQ(m.saveStatusText(),
              QStringLiteral("Einstellungen konnten nicht gespeichert werden: Kein Speicherplatz mehr frei"));
    m.editSettings([](AppSettings& s) { s.windowLeft = 60; });
    h.advance(0.8);
    h.settleWrites();
    EXPECT_EQ(m.saveStatusText(), message);

    // A change of the user's own that cannot be saved keeps waiting: when
    // a later save carries it, the message goes.
    {
        corvane::testing::ScopedWriteFault fault(WriteStage::rename, ENOSPC);
        m.editSettings([](AppSettings& s) { s.userName = QStringLiteral("Anna"); });
        h.advance(0.8);
        h.settleWrites();
    }
    EXPECT_NE(m.saveStatusText(), message);
    m.editSettings([](AppSettings& s) { s.windowLeft = 70; });
    h.advance(0.8);
    h.settleWrites();
    EXPECT_FALSE(m.saveStatusText());
}

TEST(StartUp, CleanupKeepsEveryReferencedFileOnly) {
    ModelHarness h;
    const QString media = h.mediaFolder();
    const QString countdownSound = media + QStringLiteral("/ton-gong.wav");
    const QString clockImage = media + QStringLiteral("/zifferblatt-uhr.png");
    const QString sharedImage = media + QStringLiteral("/zifferblatt-alle.png");
    const QString orphan = media + QStringLiteral("/ton-weg.wav");
    for (const QString& p : {countdownSound, clockImage, sharedImage, orphan}) touch(p);

    AppSettings s = ModelHarness::quietSettings();
    s.countdowns[1].sound.customFilePath = countdownSound;
    s.clocks[0].dialImagePath = clockImage;
    s.dialImagePath = sharedImage;
    s.useCustomDial = false;  // still referenced
    h.writeSettings(s);
    h.make();
    h.settleWrites();
    EXPECT_TRUE(QFile::exists(countdownSound));
    EXPECT_TRUE(QFile::exists(clockImage));
    EXPECT_TRUE(QFile::exists(sharedImage));
    EXPECT_FALSE(QFile::exists(orphan));
}

TEST(StartUp, NothingTicksBeforeStartAndTheFirstTickDoesTheSecondsWork) {
    ModelHarness h;
    AppModel& m = h.make(false);
    EXPECT_EQ(h.timers->pendingCount(), 0);
    EXPECT_TRUE(m.greetingText().isEmpty());
    m.start();
    EXPECT_EQ(m.greetingText(), QStringLiteral("Guten Morgen, Anna!"));
    EXPECT_EQ(h.timers->pendingCount(), 2);  // the tick and the widget refresh
}

// --- Tick rates ---------------------------------------------------------------

TEST(TickRate, FollowsWhatIsShownAndWhatRuns) {
    struct Case {
        ClockDisplayMode mode;
        bool smooth;
        bool worldMap;
        bool stopwatch;
        bool countdown;
        AppModel::TickRate rate;
    };
    using R = AppModel::TickRate;
    const ClockDisplayMode A = ClockDisplayMode::analog, D = ClockDisplayMode::digital;
    const Case cases[] = {
        {D, true, false, false, false, R::second},  {A, true, false, false, false, R::fast},
        {A, false, false, false, false, R::second}, {A, true, true, false, false, R::second},
        {D, false, false, true, false, R::fast},    {D, false, false, false, true, R::medium},
        {D, false, false, true, true, R::fast},     {A, true, true, false, true, R::medium},
    };
    for (const Case& c : cases) {
        ModelHarness h;
        AppModel& m = h.make();
        m.editSettings([&](AppSettings& s) {
            s.displayMode = c.mode;
            s.smoothSecondHand = c.smooth;
            s.showWorldMap = c.worldMap;
        });
        if (c.stopwatch) m.stopwatchServices()[0].start();
        if (c.countdown) m.countdownServices()[1].start(60);
        EXPECT_EQ(m.rate(), c.rate) << int(c.mode) << c.smooth << c.worldMap << c.stopwatch << c.countdown;
    }
}

TEST(TickRate, ASmoothSecondHandTicksFastFromLaunch) {
    ModelHarness h;
    AppSettings s = ModelHarness::quietSettings();
    s.displayMode = ClockDisplayMode::analog;
    s.smoothSecondHand = true;
    h.writeSettings(s);
    AppModel& m = h.make();
    EXPECT_EQ(m.rate(), AppModel::TickRate::fast);
    const int fired = h.timers->firedCount();
    h.advance(0.2);
    EXPECT_EQ(h.timers->firedCount(), fired + 5);
}

TEST(TickRate, IntervalsAndTheSecondAlignment) {
    const qint64 t = utcMs(2026, 3, 10, 5, 0, 0, 250);
    EXPECT_EQ(AppModel::tickInterval(AppModel::TickRate::second, t), 755);
    EXPECT_EQ(AppModel::tickInterval(AppModel::TickRate::second, t - 250), 1005);
    EXPECT_EQ(AppModel::tickInterval(AppModel::TickRate::medium, t), 200);
    EXPECT_EQ(AppModel::tickInterval(AppModel::TickRate::fast, t), 40);

    ModelHarness h;
    h.clock.advance(0.3);  // 06:59:50.300
    AppModel& m = h.make();
    h.advance(0.705);
    EXPECT_EQ(m.now().toMSecsSinceEpoch(), utcMs(2026, 3, 10, 5, 59, 51, 5));
    h.advance(1.0);
    EXPECT_EQ(m.now().toMSecsSinceEpoch(), utcMs(2026, 3, 10, 5, 59, 52, 5));
}

TEST(TickRate, ARateChangeReplacesThePendingTimerAndAnEqualRateKeepsIt) {
    ModelHarness h;
    AppModel& m = h.make();
    const int before = h.timers->firedCount();
    m.stopwatchServices()[0].start();  // second -> fast
    EXPECT_EQ(m.rate(), AppModel::TickRate::fast);
    h.advance(0.04);
    EXPECT_EQ(h.timers->firedCount(), before + 1);
    m.setSelectedCategory(SettingsCategory::alarms);  // re-evaluates, same rate
    EXPECT_EQ(h.timers->pendingCount(), 2);
}

// --- Per-second work -------------------------------------------------------------

TEST(PerSecond, RunsOncePerSecondAndChecksTheOutputEveryFifthSecond) {
    ModelHarness h;
    AppModel& m = h.make();  // first tick at :50
    EXPECT_EQ(h.output.asked, 1);
    h.output.silent = true;
    m.tick();  // same second
    EXPECT_EQ(h.output.asked, 1);
    EXPECT_FALSE(m.systemAudioSilent());
    h.advance(4.01);  // ticks at :51.005 ... :54.005
    EXPECT_EQ(h.output.asked, 1);
    h.advance(1.0);  // :55.005
    EXPECT_EQ(h.output.asked, 2);
    EXPECT_TRUE(m.systemAudioSilent());
    h.advance(10.0);  // :00 and :05
    EXPECT_EQ(h.output.asked, 4);
}

TEST(PerSecond, WorkRunsInItsOrder) {
    ModelHarness h;
    AppSettings s = ModelHarness::quietSettings();
    s.theme = ThemeMode::dusk;
    s.dusk.source = DuskSource::schedule;
    s.dusk.dayStartHour = 11;
    s.dusk.dayStartMinute = 0;
    s.dusk.transitionMinutes = 0;  // day begins at once at 11:00
    h.writeSettings(s);
    h.clock.setWall(utcMs(2026, 3, 10, 9, 59, 50));  // 10:59:50
    AppModel& m = h.make();
    h.advance(9.5);  // 10:59:59.500
    std::vector<QString> log;
    h.inhibitor->log = &log;
    auto note = [&](const char* what) { return [&log, what] { log.push_back(QString::fromLatin1(what)); }; };
    QObject::connect(&m, &AppModel::greetingTextChanged, note("greeting"));
    QObject::connect(&m, &AppModel::alertsChanged, note("alert"));
    QObject::connect(&m, &AppModel::systemAudioSilentChanged, note("silent"));
    QObject::connect(&m, &AppModel::themeChanged, note("theme"));
    // Armed now; the sleep prevention follows at the next second's pass.
    m.editSettings([](AppSettings& s) {
        s.alarms[0].isEnabled = true;
        s.alarms[0].hour = 11;
        s.alarms[0].minute = 0;
    });
    h.output.silent = true;
    log.clear();
    h.advance(0.6);  // the tick at 11:00:00.005
    EXPECT_EQ(log, (std::vector<QString>{QStringLiteral("greeting"), QStringLiteral("alert"),
                                         QStringLiteral("inhibit"), QStringLiteral("silent"),
                                         QStringLiteral("theme")}));
}

TEST(PerSecond, ATickExactlyAMinuteLaterIsANewSecond) {
    ModelHarness h;
    AppSettings s = ModelHarness::quietSettings();
    s.alarms[0].isEnabled = true;
    s.alarms[0].hour = 7;
    s.alarms[0].minute = 0;
    h.writeSettings(s);
    h.clock.setWall(utcMs(2026, 3, 10, 5, 59, 5));
    AppModel& m = h.make(false);
    m.tick();  // 06:59:05
    h.clock.advance(60.0);
    m.tick();  // 07:00:05, the same seconds field
    ASSERT_EQ(m.alerts().size(), 1u);
}

TEST(PerSecond, AOneTimeAlarmSwitchesOffThenAlertsWhileTheActivityStaysHeld) {
    ModelHarness h;
    AppSettings s = ModelHarness::quietSettings();
    s.alarms[2].isEnabled = true;
    s.alarms[2].hour = 7;
    s.alarms[2].minute = 0;
    s.alarms[2].weekdays = {};
    h.writeSettings(s);
    AppModel& m = h.make();
    EXPECT_EQ(m.activeAlarmsText(), QStringLiteral("Wecker: 07:00"));
    ASSERT_EQ(h.inhibitor->acquired, 1);
    std::vector<QString> log;
    QObject::connect(&m, &AppModel::alertsChanged, [&] { log.push_back(QStringLiteral("alert")); });
    QObject::connect(&m, &AppModel::activeAlarmsTextChanged, [&] { log.push_back(QStringLiteral("text")); });
    h.advance(10.01);  // 07:00:00.005
    ASSERT_EQ(m.alerts().size(), 1u);
    EXPECT_EQ(log, (std::vector<QString>{QStringLiteral("text"), QStringLiteral("alert")}));
    EXPECT_TRUE(m.activeAlarmsText().isEmpty());
    EXPECT_FALSE(m.settings().alarms[2].isEnabled);
    // From the armed alarm to the open alert without a gap.
    EXPECT_EQ(h.inhibitor->acquired, 1);
    EXPECT_EQ(h.inhibitor->released, 0);
    h.advance(0.8);
    h.settleWrites();
    EXPECT_FALSE(SettingsService(h.paths).load().settings.alarms[2].isEnabled);
}

// --- Timers' texts --------------------------------------------------------------------

TEST(TimerTexts, StopwatchTruncatesHundredths) {
    ModelHarness h;
    AppModel& m = h.make();
    m.stopwatchServices()[1].start();
    h.clock.advance(3723.456);
    m.tick();
    EXPECT_EQ(m.stopwatchTexts()[1], QStringLiteral("01:02:03.45"));
    EXPECT_EQ(m.stopwatchTexts()[0], QStringLiteral("00:00:00.00"));
}

TEST(TimerTexts, CountdownCompletesStateFirstThenAlertNamingTheDurationThatRan) {
    ModelHarness h;
    AppModel& m = h.make();
    std::vector<QString> order;
    QObject::connect(&m, &AppModel::countdownStatesChanged,
                     [&](int) { order.push_back(QStringLiteral("state")); });
    QObject::connect(&m, &AppModel::alertRaised, [&] { order.push_back(QStringLiteral("alert")); });
    m.setCountdownDuration(0, AppModel::DurationComponent::minutes, 1);  // 00:01:00 with 0 h
    m.setCountdownDuration(0, AppModel::DurationComponent::hours, 0);
    m.setCountdownDuration(0, AppModel::DurationComponent::seconds, 0);
    ASSERT_EQ(m.settings().countdowns[0].durationSeconds, 60);
    ASSERT_TRUE(m.countdownServices()[0].start(60));
    order.clear();
    // Edited while it runs: the setting changes, the countdown does not.
    m.setCountdownDuration(0, AppModel::DurationComponent::minutes, 5);
    EXPECT_EQ(m.settings().countdowns[0].durationSeconds, 300);
    EXPECT_EQ(m.countdownServices()[0].duration(), 60);
    h.advance(30.0);
    EXPECT_EQ(m.countdownTexts()[0], QStringLiteral("00:00:30"));
    h.advance(30.2);
    ASSERT_EQ(m.alerts().size(), 1u);
    EXPECT_EQ(m.countdownStates()[0], CountdownState::idle);
    EXPECT_EQ(m.countdownServices()[0].duration(), 300);  // ready for the next run
    EXPECT_EQ(order, (std::vector<QString>{QStringLiteral("state"), QStringLiteral("alert")}));
    EXPECT_EQ(m.alerts()[0].title, QStringLiteral("Countdown 1 abgelaufen"));
    EXPECT_TRUE(m.alerts()[0].subtitle.startsWith(QStringLiteral("Dauer 00:01:00 – ")))
        << m.alerts()[0].subtitle.toStdString();
    EXPECT_EQ(m.countdownTexts()[0], QStringLiteral("00:05:00"));
}

TEST(TimerTexts, DurationComponentsAreClamped) {
    ModelHarness h;
    AppModel& m = h.make();
    m.setCountdownDuration(1, AppModel::DurationComponent::hours, 0);
    m.setCountdownDuration(1, AppModel::DurationComponent::seconds, 0);
    m.setCountdownDuration(1, AppModel::DurationComponent::minutes, 75);
    EXPECT_EQ(m.countdownDuration(1, AppModel::DurationComponent::minutes), 59);
    m.setCountdownDuration(1, AppModel::DurationComponent::hours, 30);
    EXPECT_EQ(m.settings().countdowns[1].durationSeconds, 23 * 3600 + 59 * 60);
    m.setCountdownDuration(1, AppModel::DurationComponent::seconds, -4);
    EXPECT_EQ(m.countdownDuration(1, AppModel::DurationComponent::seconds), 0);
    EXPECT_EQ(m.countdownTexts()[1], QStringLiteral("23:59:00"));
}

// --- Saving ------------------------------------------------------------------------------

TEST(Saving, TenChangesGiveOneWriteSevenTenthsAfterTheLast) {
    ModelHarness h;
    AppModel& m = h.make();
    const ino_t initial = ModelHarness::inodeOf(h.settingsFile());
    for (int i = 0; i < 10; ++i) {
        m.editSettings([i](AppSettings& s) { s.userName = QStringLiteral("Name %1").arg(i); });
        h.advance(0.1);
        h.settleWrites();
        EXPECT_EQ(ModelHarness::inodeOf(h.settingsFile()), initial) << "written early, change " << i;
    }
    h.advance(0.59);  // 0.69 s after the last change
    h.settleWrites();
    EXPECT_EQ(ModelHarness::inodeOf(h.settingsFile()), initial);
    h.advance(0.02);
    h.settleWrites();
    const ino_t written = ModelHarness::inodeOf(h.settingsFile());
    EXPECT_NE(written, initial);
    h.advance(5.0);
    h.settleWrites();
    EXPECT_EQ(ModelHarness::inodeOf(h.settingsFile()), written) << "a second write followed";

    SettingsService reader(h.paths);
    EXPECT_EQ(reader.load().settings.userName, QStringLiteral("Name 9"));
}

TEST(Saving, AnEqualValueDerivesAndSchedulesNothing) {
    ModelHarness h;
    AppModel& m = h.make();
    h.advance(2.0);  // let the start-up widget refresh pass
    QSignalSpy settings(&m, &AppModel::settingsChanged);
    const int pending = h.timers->pendingCount();
    m.setSettings(m.settings());
    m.editSettings([](AppSettings&) {});
    m.settingsDidChange(m.settings());
    EXPECT_EQ(settings.count(), 0);
    EXPECT_EQ(h.timers->pendingCount(), pending);
}

TEST(Saving, QuittingDuringTheDelayWritesOnceSynchronouslyAndStopsEverything) {
    ModelHarness h;
    AppModel& m = h.make();
    m.countdownServices()[0].start(100);
    m.stopwatchServices()[1].start();
    h.advance(0.5);
    const ino_t initial = ModelHarness::inodeOf(h.settingsFile());
    m.editSettings([](AppSettings& s) { s.userName = QStringLiteral("Bis gleich"); });
    h.advance(0.3);
    m.shutdown();
    const ino_t written = ModelHarness::inodeOf(h.settingsFile());
    EXPECT_NE(written, initial);
    EXPECT_EQ(SettingsService(h.paths).load().settings.userName, QStringLiteral("Bis gleich"));
    // Resetting the timers changed the tick rate; nothing may be scheduled.
    EXPECT_EQ(h.timers->pendingCount(), 0);
    EXPECT_EQ(m.countdownStates()[0], CountdownState::idle);
    EXPECT_EQ(m.stopwatchStates()[1], StopwatchState::idle);
    h.advance(5.0);
    h.settleWrites();
    EXPECT_EQ(ModelHarness::inodeOf(h.settingsFile()), written);
}

// At the end nothing can be shown any more: a save that fails then is
// written to the log with its cause, and one that succeeds leaves no line.
TEST(Saving, AFailedSaveAtQuitIsLoggedWithItsCause) {
    for (const bool fails : {false, true}) {
        SCOPED_TRACE(fails ? "failing save" : "good save");
        ModelHarness h;
        AppModel& m = h.make();
        m.editSettings([](AppSettings& s) { s.userName = QStringLiteral("Bis gleich"); });
        corvane::test::LogCapture log;
        {
            std::optional<corvane::testing::ScopedWriteFault> fault;
            if (fails) fault.emplace(WriteStage::write, ENOSPC);
            m.shutdown();
        }
        if (!fails) {
            EXPECT_TRUE(log.lines.isEmpty()) << log.lines.join(u'\n').toStdString();
            continue;
        }
        ASSERT_EQ(log.lines.size(), 1) << log.lines.join(u'\n').toStdString();
        EXPECT_TRUE(log.lines[0].contains(QStringLiteral("nicht gespeichert"))) << log.lines[0].toStdString();
        EXPECT_TRUE(log.lines[0].endsWith(QStringLiteral("Kein Speicherplatz mehr frei")))
            << log.lines[0].toStdString();
    }
}

TEST(Saving, AFailedWriteShowsAndTheNextSuccessClears) {
    ModelHarness h;
    AppModel& m = h.make();
    // A folder where the settings file should be makes the rename fail.
    const QString file = h.settingsFile();
    QFile::remove(file);
    QDir().mkpath(file + QStringLiteral("/blocker"));
    m.editSettings([](AppSettings& s) { s.userName = QStringLiteral("A"); });
    h.advance(0.8);
    h.settleWrites();
    ASSERT_TRUE(m.saveStatusText().has_value());
    QDir(file).removeRecursively();
    m.editSettings([](AppSettings& s) { s.userName = QStringLiteral("B"); });
    h.advance(0.8);
    h.settleWrites();
    EXPECT_FALSE(m.saveStatusText().has_value());
}

TEST(Saving, ChangeHandlingFollowsTheFieldsThatChanged) {
    ModelHarness h;
    AppModel& m = h.make();
    QSignalSpy display(&m, &AppModel::displayModeChanged);
    QSignalSpy window(&m, &AppModel::windowOptionsChanged);
    m.editSettings([](AppSettings& s) { s.displayMode = ClockDisplayMode::analog; });
    ASSERT_EQ(display.count(), 1);
    EXPECT_EQ(m.rate(), AppModel::TickRate::fast);
    m.editSettings([](AppSettings& s) { s.topmost = true; });
    EXPECT_EQ(window.count(), 1);
    m.editSettings([](AppSettings& s) {
        s.useSystemUserName = false;
        s.userName = QStringLiteral("Ben");
    });
    EXPECT_EQ(m.greetingText(), QStringLiteral("Guten Morgen, Ben!"));

    // The colour field keeps the text as typed when it names the same colour.
    m.setCustomBackgroundHex(QStringLiteral("#abcdef"));
    m.editSettings([](AppSettings& s) { s.customBackgroundColor = QStringLiteral("#ABCDEF"); });
    EXPECT_EQ(m.customBackgroundHex(), QStringLiteral("#abcdef"));
    m.setBackgroundHexError(QStringLiteral("falsch"));
    m.editSettings([](AppSettings& s) { s.customBackgroundColor = QStringLiteral("#102030"); });
    EXPECT_EQ(m.customBackgroundHex(), QStringLiteral("#102030"));
    EXPECT_FALSE(m.backgroundHexError().has_value());
}

TEST(Saving, APreviewStopsOnlyWhenItsOwnSoundChangesInWhatIsHeard) {
    ModelHarness h;
    AppModel& m = h.make();
    const SoundSlot alarm2{SoundSlot::Kind::alarm, 1};
    auto preview = [&] { m.audio().play(AudioChannel::preview, *m.sound(alarm2), alarm2.id()); };
    preview();
    m.editSettings([](AppSettings& s) { s.alarms[1].sound.volume = 20; });
    EXPECT_EQ(m.audio().previewOwner(), alarm2.id());
    m.editSettings([](AppSettings& s) { s.alarms[2].sound.loop = !s.alarms[2].sound.loop; });
    EXPECT_EQ(m.audio().previewOwner(), alarm2.id());
    m.editSettings([](AppSettings& s) { s.alarms[1].sound.loop = !s.alarms[1].sound.loop; });
    EXPECT_FALSE(m.audio().previewOwner().has_value());
    preview();
    m.editSettings([](AppSettings& s) {
        s.alarms[1].sound.systemSoundName = s.alarms[1].sound.systemSoundName + QStringLiteral("x");
    });
    EXPECT_FALSE(m.audio().previewOwner().has_value());
}

// --- Settings window ------------------------------------------------------------------------

TEST(Navigation, OpenFrontAndClose) {
    ModelHarness h;
    AppModel& m = h.make();
    QSignalSpy opened(&m, &AppModel::settingsOpenChanged);
    QSignalSpy fronted(&m, &AppModel::showSettingsRequested);
    m.setSettingsOpen(false);
    EXPECT_EQ(opened.count(), 0);

    m.openSettings();
    EXPECT_EQ(m.selectedCategory(), SettingsCategory::display);
    ASSERT_EQ(opened.count(), 1);
    EXPECT_TRUE(opened.at(0).at(0).toBool());

    m.openSettings(SettingsCategory::alarms);
    EXPECT_EQ(m.selectedCategory(), SettingsCategory::alarms);
    EXPECT_EQ(opened.count(), 1);
    EXPECT_EQ(fronted.count(), 1);

    m.setHighlightedClockID(m.settings().clocks[0].id);
    m.setSettingsOpen(false);
    EXPECT_EQ(opened.count(), 2);
    EXPECT_FALSE(m.highlightedClockID().has_value());
    m.openSettings();
    EXPECT_EQ(m.selectedCategory(), SettingsCategory::alarms);
}

TEST(Navigation, CategoriesInOrderWithTitles) {
    QStringList raws, titles;
    for (SettingsCategory c : allCases<SettingsCategory>()) {
        raws << rawValue(c);
        titles << title(c);
        EXPECT_EQ(fromRawValue<SettingsCategory>(rawValue(c)), c);
    }
    EXPECT_EQ(raws.join(u','),
              QStringLiteral("general,display,worldMap,design,alarms,countdown,stopwatch,about"));
    EXPECT_EQ(titles.join(u','),
              QStringLiteral("Allgemein,Anzeige,Weltkarte,Design,Wecker,Countdown,Stoppuhr,Über"));
}
