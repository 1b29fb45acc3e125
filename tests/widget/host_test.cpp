// The host around the view: its own settings and autostart entry, the watch
// on the shared folder, and the window with its menu.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <cstring>
#include <functional>

#include "FileBytes.h"
#include "HostileFiles.h"
#include "PointerDrag.h"
#include "TestWait.h"
#include "platform/AtomicFile.h"
#include "platform/Clock.h"
#include "platform/TimeZones.h"
#include "platform/WidgetReload.h"
#include "widget/HostSettings.h"
#include "widget/SnapshotWatcher.h"
#include "widget/TimelineRunner.h"
#include "widget/WallClockAlarm.h"
#include "widget/WidgetWindow.h"

using namespace corvane;

namespace {

using test::readAll;
using test::writeAll;

// Writes the file next to its place and renames it over, as Corvane does.
void replaceByRename(const QString& path, const QByteArray& bytes) {
    const QString temp = path + QStringLiteral(".tmp");
    writeAll(temp, bytes);
    QFile::remove(path);
    ASSERT_TRUE(QFile::rename(temp, path));
}

}  // namespace

TEST(HostSettings, KeepsFamilyPositionAndAutostart) {
    QTemporaryDir config;
    const HostSettings settings(config.path(), QStringLiteral("/opt/corvane/bin/tickora-widget"));
    EXPECT_EQ(settings.load(), HostState{});  // medium, unplaced, no autostart

    HostState state{WidgetFamily::systemExtraLarge, QPoint(-40, 1200), false};
    ASSERT_TRUE(settings.save(state));
    EXPECT_EQ(settings.load(), state);
    EXPECT_TRUE(settings.settingsFile().startsWith(config.path()));

    ASSERT_TRUE(settings.setAutostart(true));
    const QByteArray entry = readAll(settings.autostartFile());
    EXPECT_EQ(settings.autostartFile(), config.filePath(QStringLiteral("autostart/de.velmor.corvane.widget.desktop")));
    EXPECT_TRUE(entry.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(entry.contains("\nType=Application\n"));
    EXPECT_TRUE(entry.contains("\nExec=\"/opt/corvane/bin/tickora-widget\"\n"));
    EXPECT_TRUE(settings.load().autostart);

    // Switched off, the entry stays and says so itself.
    ASSERT_TRUE(settings.setAutostart(false));
    EXPECT_EQ(readAll(settings.autostartFile()), entry + "Hidden=true\n");
    EXPECT_FALSE(settings.load().autostart);
    EXPECT_TRUE(settings.setAutostart(false));  // already off
    EXPECT_EQ(readAll(settings.autostartFile()), entry + "Hidden=true\n");

    // Deleted elsewhere: nothing left to switch off, and nothing is made.
    ASSERT_TRUE(QFile::remove(settings.autostartFile()));
    EXPECT_TRUE(settings.setAutostart(false));
    EXPECT_FALSE(QFileInfo::exists(settings.autostartFile()));
    EXPECT_FALSE(settings.load().autostart);
}

// Off and on again from the widget's menu: what the desktop or the user put
// into the entry comes back with it, line for line.
TEST(HostSettings, AutostartOffAndOnKeepWhatOthersAdded) {
    QTemporaryDir config;
    const HostSettings settings(config.path(), QStringLiteral("/usr/bin/tickora-widget"));
    ASSERT_TRUE(settings.setAutostart(true));
    QByteArray ours = readAll(settings.autostartFile());
    const qsizetype afterName = ours.indexOf("Name=Corvane-Widget\n") + qsizetype(strlen("Name=Corvane-Widget\n"));
    const QByteArray added = "# Von Hand ergänzt\n" +
                             ours.left(afterName) + "Name[de]=Meine Uhren\nX-KDE-autostart-phase=2\n# bleibt\n" +
                             ours.mid(afterName) + "\n[X-Eigene Gruppe]\nHidden=true\nSchlüssel=Wert\n";
    writeAll(settings.autostartFile(), added);
    ASSERT_TRUE(settings.load().autostart);  // another group's Hidden is not the entry's

    ASSERT_TRUE(settings.setAutostart(false));
    QByteArray off = added;
    off.insert(off.indexOf("\n[X-Eigene Gruppe]"), "Hidden=true\n");
    EXPECT_EQ(readAll(settings.autostartFile()), off);
    EXPECT_FALSE(settings.load().autostart);

    ASSERT_TRUE(settings.setAutostart(true));
    EXPECT_EQ(readAll(settings.autostartFile()), added);
    EXPECT_TRUE(settings.load().autostart);
}

// Switching off edits the entry in place; what is no entry of ours becomes
// one, switched off, that a launcher can read.
TEST(HostSettings, AutostartOffMarksTheEntryInPlace) {
    QTemporaryDir config;
    const HostSettings settings(config.path(), QStringLiteral("tickora-widget"));
    ASSERT_TRUE(settings.setAutostart(true));
    const QByteArray fresh = readAll(settings.autostartFile());
    const struct {
        const char* what;
        QByteArray before;
        QByteArray after;
    } cases[] = {
        {"switch there", "[Desktop Entry]\nExec=x\nHidden=false\nName=y\n",
         "[Desktop Entry]\nExec=x\nHidden=true\nName=y\n"},
        {"repeated switch", "[Desktop Entry]\nHidden = false\nExec=x\nHidden=false\n",
         "[Desktop Entry]\nHidden=true\nExec=x\n"},
        {"comments on top, blank lines, no final line break", "# oben\n\n[Desktop Entry]\nExec=x\n\n\n[Neu]\nA=b",
         "# oben\n\n[Desktop Entry]\nExec=x\nHidden=true\n\n\n[Neu]\nA=b\n"},
        {"line ends of another system", "[Desktop Entry]\r\nExec=x\r\n", "[Desktop Entry]\nExec=x\nHidden=true\n"},
        {"empty", "", fresh + "Hidden=true\n"},
        {"no entry at all", "meine Notizen\n", fresh + "Hidden=true\n"},
        {"only another group", "# oben\n[Desktop Action Neu]\nExec=x\n",
         "# oben\n" + fresh + "Hidden=true\n\n[Desktop Action Neu]\nExec=x\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeAll(settings.autostartFile(), c.before);
        ASSERT_TRUE(settings.setAutostart(false));
        EXPECT_EQ(readAll(settings.autostartFile()), c.after);
        EXPECT_FALSE(settings.load().autostart);
    }
}

// Whatever stands where the entry belongs: switching never hangs on it,
// never writes through a link, and leaves an entry that does what was asked.
TEST(HostSettings, OddThingsWhereTheEntryBelongsNeverHangOrGetWrittenThrough) {
    const auto check = [](const std::function<bool(const QString& path, const QString& elsewhere)>& make,
                          const std::function<void(const QString& elsewhere)>& untouched) {
        QTemporaryDir config;
        const HostSettings settings(config.path(), QStringLiteral("tickora-widget"));
        QDir().mkpath(QFileInfo(settings.autostartFile()).absolutePath());
        const QString elsewhere = config.filePath(QStringLiteral("anderswo"));
        ASSERT_TRUE(make(settings.autostartFile(), elsewhere));
        for (const bool on : {false, true, false}) {
            SCOPED_TRACE(on);
            bool switched = false;
            ASSERT_TRUE(test::endsWithin(std::chrono::seconds(5), [&] { switched = settings.setAutostart(on); }));
            EXPECT_TRUE(switched);
            EXPECT_EQ(settings.load().autostart, on);
            untouched(elsewhere);
        }
        EXPECT_EQ(test::entryType(settings.autostartFile()), mode_t(S_IFREG));
        EXPECT_TRUE(readAll(settings.autostartFile()).endsWith("\nHidden=true\n"));
    };
    for (const test::Oddity what : test::kOddities) {
        SCOPED_TRACE(test::oddityName(what));
        check([what](const QString& path, const QString& elsewhere) { return test::makeOddity(what, path, elsewhere); },
              [what](const QString& elsewhere) { test::expectForeignUntouched(what, elsewhere); });
    }
    SCOPED_TRACE("far too large");
    check(
        [](const QString& path, const QString&) {
            QFile f(path);
            return f.open(QIODevice::WriteOnly) &&
                   f.write("[Desktop Entry]\nExec=x\n" + QByteArray(1024 * 1024, '#')) > 0;
        },
        [](const QString&) {});
}

// Unreadable is not the same as not there: an entry that cannot be read
// cannot be kept, so it is not replaced either.
TEST(HostSettings, AnEntryThatCannotBeReadIsLeftAlone) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
    QTemporaryDir config;
    const HostSettings settings(config.path(), QStringLiteral("tickora-widget"));
    writeAll(settings.autostartFile(), "[Desktop Entry]\nExec=x\nX-Mine=1\n");
    ASSERT_TRUE(QFile::setPermissions(settings.autostartFile(), QFileDevice::WriteOwner));
    EXPECT_FALSE(settings.setAutostart(false));
    EXPECT_FALSE(settings.setAutostart(true));
    ASSERT_TRUE(QFile::setPermissions(settings.autostartFile(), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    EXPECT_EQ(readAll(settings.autostartFile()), "[Desktop Entry]\nExec=x\nX-Mine=1\n");
}

// The desktop's session settings switch an entry off without deleting it.
TEST(HostSettings, AutostartEntrySwitchedOffInItselfReadsAsOff) {
    QTemporaryDir config;
    const HostSettings settings(config.path(), QStringLiteral("tickora-widget"));
    const struct {
        const char* entry;
        bool on;
    } cases[] = {
        {"[Desktop Entry]\nType=Application\nExec=tickora-widget\n", true},
        {"[Desktop Entry]\nExec=tickora-widget\nHidden=true\n", false},
        {"[Desktop Entry]\nExec=tickora-widget\nHidden = True\r\n", false},
        {"[Desktop Entry]\nHidden=false\n", true},
        {"[Desktop Entry]\nX-GNOME-Autostart-enabled=false\n", false},
        {"[Desktop Entry]\nX-GNOME-Autostart-enabled=true\n", true},
        {"[Desktop Entry]\nHidden=false\nX-GNOME-Autostart-enabled=false\n", false},
        {"[Desktop Entry]\n#Hidden=true\nName[de]=Hidden=true\n", true},  // a comment, another key
        {"[Desktop Entry]\nExec=x\n[Desktop Action Neu]\nHidden=true\n", true},  // another group
        {"", true},  // the file is there
    };
    for (const auto& c : cases) {
        writeAll(settings.autostartFile(), c.entry);
        EXPECT_EQ(settings.load().autostart, c.on) << c.entry;
    }
    QFile::remove(settings.autostartFile());
    ASSERT_TRUE(QDir().mkdir(settings.autostartFile()));  // a folder is no entry
    EXPECT_FALSE(settings.load().autostart);
}

// Switched on again from the widget's menu: ours is on, the desktop's
// additions stay, and the description is the widget's own.
TEST(HostSettings, AutostartOnAgainKeepsTheEntrysOtherLines) {
    QTemporaryDir config;
    const HostSettings settings(config.path(), QStringLiteral("/usr/bin/tickora-widget"));
    writeAll(settings.autostartFile(),
             "[Desktop Entry]\nType=Application\nName=Alt\nHidden=true\nX-GNOME-Autostart-enabled=false\n"
             "X-GNOME-Autostart-Delay=10\nName[de]=Mein Widget\n\n[Desktop Action Neu]\nName=Neu\nExec=x\n");
    ASSERT_FALSE(settings.load().autostart);
    ASSERT_TRUE(settings.setAutostart(true));
    EXPECT_TRUE(settings.load().autostart);
    const QString entry = QString::fromUtf8(readAll(settings.autostartFile()));
    EXPECT_EQ(entry, QStringLiteral("[Desktop Entry]\nType=Application\nName=Corvane-Widget\n"
                                    "X-GNOME-Autostart-enabled=true\nX-GNOME-Autostart-Delay=10\n"
                                    "Name[de]=Mein Widget\n"
                                    "Comment=Deine Uhren mit Zeitzonen und Zifferblättern – genau wie in der App "
                                    "eingestellt.\nExec=\"/usr/bin/tickora-widget\"\nIcon=de.velmor.corvane\n"
                                    "Terminal=false\n\n[Desktop Action Neu]\nName=Neu\nExec=x\n"));

    // A second group of the entry's name is read too; switching on must
    // leave none of its switches turning the entry off again.
    writeAll(settings.autostartFile(),
             "[Desktop Entry]\nExec=x\n\n[Desktop Entry]\nHidden=true\nX-GNOME-Autostart-enabled=false\nX-Mine=1\n");
    ASSERT_FALSE(settings.load().autostart);
    ASSERT_TRUE(settings.setAutostart(true));
    EXPECT_TRUE(settings.load().autostart);
    EXPECT_TRUE(QString::fromUtf8(readAll(settings.autostartFile())).endsWith(QStringLiteral("\n\n[Desktop Entry]\nX-Mine=1\n")));

    // The launcher entry describes the widget in the same words.
    const QByteArray launcher = readAll(QStringLiteral(CORVANE_TEST_DATA "/../resources/desktop/de.velmor.corvane.widget.desktop"));
    ASSERT_FALSE(launcher.isEmpty());
    EXPECT_TRUE(QString::fromUtf8(launcher).contains(QStringLiteral("\nComment=") + widgetDescription() + u'\n'));
}

TEST(HostSettings, BrokenSettingsFileGivesDefaults) {
    QTemporaryDir config;
    const HostSettings settings(config.path(), QStringLiteral("tickora-widget"));
    const QByteArray cases[] = {
        "family=gigantic\nx=10\n",           // unknown family, half a position
        "family=large\nx=abc\ny=5\n",        // not a number
        "family=small\nx=99999999999\ny=0\n",  // far off any screen
        QByteArray("\x00\xff\xfe[[[=\n\x01", 10),
    };
    for (const QByteArray& bytes : cases) {
        writeAll(settings.settingsFile(), bytes);
        const HostState state = settings.load();
        EXPECT_FALSE(state.position) << bytes.toStdString();
    }
    writeAll(settings.settingsFile(), "family=large\nx=abc\ny=5\n");
    EXPECT_EQ(settings.load().family, WidgetFamily::systemLarge);
}

// The widget's own state is written like every other file: a failing step
// keeps the previous one, and nothing it stands beside is touched.
TEST(HostSettings, AFailingSaveKeepsThePreviousState) {
    QTemporaryDir config;
    const HostSettings settings(config.path(), QStringLiteral("tickora-widget"));
    const HostState before{WidgetFamily::systemLarge, QPoint(10, 20), false};
    ASSERT_TRUE(settings.save(before));
    const QByteArray old = readAll(settings.settingsFile());
    const QString folder = QFileInfo(settings.settingsFile()).absolutePath();
    for (const WriteStage stage : {WriteStage::create, WriteStage::write, WriteStage::sync, WriteStage::close,
                                   WriteStage::rename}) {
        SCOPED_TRACE(int(stage));
        {
            corvane::testing::ScopedWriteFault fault(stage, ENOSPC);
            EXPECT_FALSE(settings.save(HostState{WidgetFamily::systemSmall, QPoint(1, 2), false}));
            EXPECT_FALSE(settings.setAutostart(true));
        }
        EXPECT_EQ(readAll(settings.settingsFile()), old);
        EXPECT_EQ(settings.load(), before);
        EXPECT_EQ(test::entriesOf(folder), QStringList{"tickora-widget.conf"});
        EXPECT_FALSE(QFileInfo::exists(settings.autostartFile()));
    }

    corvane::test::FullDisk disk;
    if (!disk.mounted()) GTEST_SKIP() << "no permission to mount a tmpfs";
    const HostSettings onDisk(disk.path(), QStringLiteral("tickora-widget"));
    ASSERT_TRUE(onDisk.save(before));
    disk.fill();
    EXPECT_FALSE(onDisk.save(HostState{WidgetFamily::systemSmall, QPoint(1, 2), false}));
    EXPECT_EQ(onDisk.load(), before);
}

TEST(HostSettings, OddThingsInItsPlaceNeverHangOrGetWrittenThrough) {
    for (const test::Oddity what : test::kOddities) {
        SCOPED_TRACE(test::oddityName(what));
        QTemporaryDir config;
        const HostSettings settings(config.path(), QStringLiteral("tickora-widget"));
        QDir().mkpath(QFileInfo(settings.settingsFile()).absolutePath());
        const QString elsewhere = config.filePath(QStringLiteral("anderswo"));
        ASSERT_TRUE(test::makeOddity(what, settings.settingsFile(), elsewhere));
        HostState loaded;
        ASSERT_TRUE(test::endsWithin(std::chrono::seconds(5), [&] { loaded = settings.load(); }));
        EXPECT_EQ(loaded, HostState{});
        const HostState placed{WidgetFamily::systemSmall, QPoint(3, 4), false};
        EXPECT_TRUE(settings.save(placed));
        EXPECT_EQ(test::entryType(settings.settingsFile()), mode_t(S_IFREG));
        EXPECT_EQ(settings.load(), placed);
        test::expectForeignUntouched(what, elsewhere);
    }
}

// Kept with the user's other configuration and linked in: read and replaced
// where it is, and a killed save's leftover beside it goes at the next start.
TEST(HostSettings, ALinkToItsOwnFileIsFollowed) {
    QTemporaryDir config;
    const HostSettings settings(config.path(), QStringLiteral("tickora-widget"));
    const QString target = config.filePath(QStringLiteral("Dotfiles/widget.conf"));
    QDir().mkpath(QFileInfo(target).absolutePath());
    QDir().mkpath(QFileInfo(settings.settingsFile()).absolutePath());
    writeAll(target, "[General]\nfamily=large\nautostart=false\n");
    writeAll(target + QStringLiteral(".tmp.Zz9Aa0"), "halb");
    ASSERT_TRUE(QFile::link(target, settings.settingsFile()));

    EXPECT_EQ(settings.load().family, WidgetFamily::systemLarge);
    EXPECT_EQ(test::entriesOf(QFileInfo(target).absolutePath()), QStringList{"widget.conf"});
    const HostState placed{WidgetFamily::systemSmall, QPoint(3, 4), false};
    ASSERT_TRUE(settings.save(placed));
    EXPECT_TRUE(QFileInfo(settings.settingsFile()).isSymLink());
    EXPECT_EQ(settings.load(), placed);
}

// A file written by an earlier version through QSettings still reads; a
// killed save's temporary file goes at the next start.
TEST(HostSettings, ReadsTheEarlierLayoutAndClearsItsLeftovers) {
    QTemporaryDir config;
    const HostSettings settings(config.path(), QStringLiteral("tickora-widget"));
    {
        QSettings earlier(settings.settingsFile(), QSettings::IniFormat);
        earlier.setValue(QStringLiteral("family"), QStringLiteral("large"));
        earlier.setValue(QStringLiteral("x"), -40);
        earlier.setValue(QStringLiteral("y"), 1200);
        earlier.setValue(QStringLiteral("autostart"), false);
    }
    const QString stray = settings.settingsFile() + QStringLiteral(".tmp.Zz9Aa0");
    writeAll(stray, "halb");
    EXPECT_EQ(settings.load(), (HostState{WidgetFamily::systemLarge, QPoint(-40, 1200), false}));
    EXPECT_FALSE(QFileInfo::exists(stray));
}

TEST(HostSettings, AutostartFailureIsReported) {
    QTemporaryDir config;
    // A file where the autostart folder belongs.
    writeAll(config.filePath(QStringLiteral("autostart")), "not a folder");
    const HostSettings settings(config.path(), QStringLiteral("tickora-widget"));
    EXPECT_FALSE(settings.setAutostart(true));
    EXPECT_FALSE(settings.load().autostart);
}

TEST(HostSettings, ExecLineQuotesThePath) {
    struct Case {
        const char* path;
        const char* exec;
    } cases[] = {
        {"/usr/bin/tickora-widget", R"("/usr/bin/tickora-widget")"},
        {"/home/a b/tickora-widget", R"("/home/a b/tickora-widget")"},
        // Shell-quoted inside the Exec value, then backslashes doubled for
        // the desktop-file string; '%' doubled as no field code.
        {"/tmp/$HOME`x`\"q\"\\100%/w", R"("/tmp/\\$HOME\\`x\\`\\"q\\"\\\\100%%/w")"},
        {"/tmp/a\nExec=evil", "tickora-widget"},
        {"", "tickora-widget"},
    };
    for (const Case& c : cases) EXPECT_EQ(HostSettings::desktopExec(QString::fromUtf8(c.path)), c.exec) << c.path;
}

TEST(HostSettings, AutostartEntryPassesTheDesktopFileValidator) {
    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validator.isEmpty()) GTEST_SKIP() << "no desktop-file-validate";
    QTemporaryDir config;
    const HostSettings settings(config.path(), QStringLiteral("/home/Jo Doe/$bin/100%/tickora-widget"));
    // Switched on, and switched off where something that is no entry stood.
    for (const bool on : {true, false}) {
        if (!on) writeAll(settings.autostartFile(), "keine Verknüpfung\n");
        ASSERT_TRUE(settings.setAutostart(on));
        QProcess check;
        check.start(validator, {settings.autostartFile()});
        ASSERT_TRUE(check.waitForFinished(10000));
        EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardOutput().toStdString()
                                       << check.readAllStandardError().toStdString();
    }
}

TEST(SnapshotWatcher, NoticesAFileRenamedIntoAFolderThatDidNotExist) {
    QTemporaryDir data;
    const QString shared = data.filePath(QStringLiteral("Q7RM2ZX5KD.de.velmor.corvane"));
    SnapshotWatcher watcher(shared);
    QSignalSpy changed(&watcher, &SnapshotWatcher::changed);
    EXPECT_EQ(watcher.watchedPaths(), QStringList{QDir::cleanPath(data.path())});

    replaceByRename(shared + QStringLiteral("/widget.json"), "{}");
    ASSERT_TRUE(test::waitUntil([&] { return changed.count() > 0; }, 2000));
    // Now the folder itself, and the file, are watched.
    ASSERT_TRUE(test::waitUntil([&] { return watcher.watchedPaths().contains(shared); }, 1000));

    // Each later rename is seen too, and a burst of events counts once.
    test::waitUntil([] { return false; }, 300);
    changed.clear();
    replaceByRename(shared + QStringLiteral("/widget.json"), "{\"a\":1}");
    ASSERT_TRUE(test::waitUntil([&] { return changed.count() > 0; }, 2000));
    test::waitUntil([] { return false; }, 400);
    EXPECT_EQ(changed.count(), 1);

    // Rewritten in place: only the file watch sees that.
    changed.clear();
    writeAll(shared + QStringLiteral("/widget.json"), "{\"a\":2}");
    ASSERT_TRUE(test::waitUntil([&] { return changed.count() > 0; }, 2000));
}

TEST(SnapshotWatcher, ReloadSignalCountsOnlyForOurKind) {
    SnapshotWatcher watcher(QString{});
    QSignalSpy changed(&watcher, &SnapshotWatcher::changed);
    EXPECT_TRUE(watcher.watchedPaths().isEmpty());
    watcher.reloadTimelines(QStringLiteral("SomeOtherWidget"));
    EXPECT_FALSE(changed.wait(400));
    watcher.reloadTimelines(QString::fromLatin1(kWidgetKind));
    EXPECT_TRUE(changed.wait(2000));
}

namespace {

struct WindowHost {
    QTemporaryDir config;
    FakeClock clock{QDateTime(QDate(2026, 6, 10), QTime(10, 41, 27), QTimeZone::utc()).toMSecsSinceEpoch()};
    FixedTimeZoneProvider zones{"Europe/Berlin"};
    ClockProvider provider{std::nullopt, clock, zones};
    FakeWallClockAlarm alarm;
    TimelineRunner runner{provider, clock, alarm};
    HostSettings settings{config.path(), QStringLiteral("tickora-widget")};
};

QStringList menuTexts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* a : menu->actions()) texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return texts;
}

}  // namespace

TEST(WidgetWindow, MenuSwitchesTheSizeAndKeepsTheChoice) {
    WindowHost h;
    auto window = std::make_unique<WidgetWindow>(h.runner, h.zones, h.settings);
    EXPECT_EQ(window->size(), QSize(364, 170));
    EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnBottomHint);
    EXPECT_EQ(menuTexts(window->contextMenu()),
              (QStringList{"Klein", "Mittel", "Groß", "Extragroß", "-", "Beim Anmelden starten", "-", "Schließen"}));
    EXPECT_TRUE(window->contextMenu()->actions()[1]->isChecked());

    // Placed in the top-right corner; growing keeps it on the screen.
    const QRect area = window->screen()->availableGeometry();
    EXPECT_EQ(window->geometry().right(), area.right() - 24);
    window->contextMenu()->actions()[3]->trigger();
    EXPECT_EQ(window->size(), QSize(796, 382));
    EXPECT_TRUE(area.contains(window->geometry())) << window->geometry().x() << " " << area.width();
    EXPECT_TRUE(window->contextMenu()->actions()[3]->isChecked());
    EXPECT_FALSE(window->contextMenu()->actions()[1]->isChecked());
    EXPECT_EQ(h.settings.load().family, WidgetFamily::systemExtraLarge);

    window->contextMenu()->actions()[5]->trigger();
    EXPECT_TRUE(QFileInfo::exists(h.settings.autostartFile()));
    EXPECT_TRUE(window->contextMenu()->actions()[5]->isChecked());

    // A new start comes back the same, where it was left.
    window->move(40, 50);
    window->show();
    window->saveState();
    window.reset();
    WidgetWindow again(h.runner, h.zones, h.settings);
    EXPECT_EQ(again.size(), QSize(796, 382));
    EXPECT_EQ(again.pos(), QPoint(40, 50));
    EXPECT_TRUE(again.contextMenu()->actions()[5]->isChecked());
    EXPECT_FALSE(again.render().isNull());
}

TEST(WidgetWindow, AutostartThatCannotBeWrittenStaysOff) {
    WindowHost h;
    writeAll(h.config.filePath(QStringLiteral("autostart")), "not a folder");
    WidgetWindow window(h.runner, h.zones, h.settings);
    QAction* autostart = window.contextMenu()->actions()[5];
    autostart->trigger();
    EXPECT_FALSE(autostart->isChecked());
    EXPECT_FALSE(window.state().autostart);
}

// The menu and its messages in the widget's own colours: a dark widget gets
// no light menu from the desktop.
TEST(WidgetWindow, MenuTakesTheSnapshotsColours) {
    WindowHost h;
    WidgetWindow window(h.runner, h.zones, h.settings);
    QContextMenuEvent early(QContextMenuEvent::Mouse, QPoint(10, 10), QPoint(10, 10));
    QApplication::sendEvent(&window, &early);  // before the first entry: the sample's colours
    window.contextMenu()->hide();
    h.runner.reload();
    const ThemeColors& theme = h.runner.entry().snapshot->theme;
    ASSERT_TRUE(theme.isDark);
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10), QPoint(10, 10));
    QApplication::sendEvent(&window, &event);
    QMenu* menu = window.contextMenu();
    EXPECT_EQ(menu->palette().color(QPalette::Window), theme.background.toQColor());
    EXPECT_EQ(menu->palette().color(QPalette::WindowText), theme.foreground.toQColor());
    const QImage shot = menu->grab().toImage();
    EXPECT_LT(qGray(shot.pixel(shot.width() - 4, shot.height() / 2)), 90);
    menu->hide();
}

TEST(WidgetWindow, StoredPlaceOffEveryScreenIsNotUsed) {
    WindowHost h;
    ASSERT_TRUE(h.settings.save({WidgetFamily::systemSmall, QPoint(-30000, 40000), false}));
    WidgetWindow window(h.runner, h.zones, h.settings);
    EXPECT_EQ(window.size(), QSize(170, 170));
    bool onScreen = false;
    for (QScreen* s : QGuiApplication::screens()) onScreen |= s->availableGeometry().intersects(window.geometry());
    EXPECT_TRUE(onScreen);
}

// The check mark is the entry's own state, read again each time the menu
// opens: the desktop's session settings may switch it meanwhile.
TEST(WidgetWindow, AutostartCheckReadsTheEntry) {
    WindowHost h;
    writeAll(h.settings.autostartFile(),
             "[Desktop Entry]\nExec=tickora-widget\nX-KDE-autostart-phase=2\nHidden=true\n\n[X-Eigene]\nA=b\n");
    WidgetWindow window(h.runner, h.zones, h.settings);
    QAction* autostart = window.contextMenu()->actions()[5];
    ASSERT_EQ(autostart->text(), QStringLiteral("Beim Anmelden starten"));
    EXPECT_FALSE(autostart->isChecked());

    const auto openMenu = [&] {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10), window.mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(&window, &event);
        window.contextMenu()->hide();
    };
    writeAll(h.settings.autostartFile(), "[Desktop Entry]\nExec=tickora-widget\nX-KDE-autostart-phase=2\n\n[X-Eigene]\nA=b\n");
    openMenu();
    EXPECT_TRUE(autostart->isChecked());

    autostart->trigger();  // off
    EXPECT_FALSE(autostart->isChecked());
    QByteArray entry = readAll(h.settings.autostartFile());
    EXPECT_EQ(entry, "[Desktop Entry]\nExec=tickora-widget\nX-KDE-autostart-phase=2\nHidden=true\n\n[X-Eigene]\nA=b\n");
    openMenu();
    EXPECT_FALSE(autostart->isChecked());

    autostart->trigger();  // on again
    EXPECT_TRUE(autostart->isChecked());
    entry = readAll(h.settings.autostartFile());
    EXPECT_FALSE(entry.contains("Hidden"));
    EXPECT_TRUE(entry.contains("\nX-KDE-autostart-phase=2\n"));
    EXPECT_TRUE(entry.endsWith("\n\n[X-Eigene]\nA=b\n"));
    openMenu();
    EXPECT_TRUE(autostart->isChecked());
}

// The point grabbed stays under the pointer for the whole drag, the way to
// the drag threshold included; a click that wobbles a little moves nothing.
TEST(WidgetWindow, DragKeepsTheGrabbedPointUnderThePointer) {
    for (const auto& c : test::kDragCases) {
        SCOPED_TRACE(c.what);
        WindowHost h;
        WidgetWindow window(h.runner, h.zones, h.settings);
        window.move(400, 300);
        window.show();
        ASSERT_TRUE(test::waitUntil([&] { return window.pos() == QPoint(400, 300); }, 2000));
        const QPoint start = window.pos();
        const QPoint grabbed(150, 80);  // inside the window

        // As the window system sends them: positions on the screen, and in
        // the window where it is at that moment.
        const auto send = [&](QEvent::Type type, QPoint global, Qt::MouseButton button, Qt::MouseButtons buttons) {
            QMouseEvent event(type, QPointF(global - window.pos()), QPointF(global), button, buttons, Qt::NoModifier);
            QApplication::sendEvent(&window, &event);
        };
        const QPoint from = start + grabbed;
        send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        for (int i = 1; i <= c.steps; ++i)
            send(QEvent::MouseMove, from + c.by * i / c.steps, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, from + c.by, Qt::LeftButton, Qt::NoButton);

        EXPECT_EQ(window.pos() - start, c.moved);
        if (c.moved != QPoint()) {
            EXPECT_EQ(window.mapFromGlobal(from + c.by), grabbed);
        }
    }
}
