// The real desktop path: GIO's application database in a private XDG tree.
// It lives in a test program of its own because GLib reads the XDG folders
// once per process.

#include "services/Sonvela.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "TestWait.h"

using namespace corvane;

namespace {

class SonvelaGio : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        root_ = new QTemporaryDir;
        ASSERT_TRUE(root_->isValid());
        const QString r = root_->path();
        for (const char* dir : {"data/applications", "config", "sysdata", "sysconfig"}) {
            QDir().mkpath(r + u'/' + QLatin1String(dir));
        }
        // Only our private tree counts, so a radio installed on the build
        // machine cannot change the outcome, and no session bus is reached.
        qputenv("XDG_DATA_HOME", QFile::encodeName(r + QStringLiteral("/data")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(r + QStringLiteral("/config")));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(r + QStringLiteral("/sysdata")));
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(r + QStringLiteral("/sysconfig")));
        qputenv("DBUS_SESSION_BUS_ADDRESS", QFile::encodeName(QStringLiteral("unix:path=") + r + QStringLiteral("/no-bus")));
        qunsetenv("XDG_CURRENT_DESKTOP");
    }
    static void TearDownTestSuite() {
        delete root_;
        root_ = nullptr;
    }

    static QString path(const char* relative) { return root_->path() + u'/' + QLatin1String(relative); }

    static void write(const QString& file, const QByteArray& content, bool executable = false) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
        f.close();
        if (executable) {
            f.setPermissions(f.permissions() | QFile::ExeOwner);
        }
    }

    static void updateDatabase() {
        QProcess::execute(QStringLiteral("update-desktop-database"), {path("data/applications")});
    }

    static void installHandler() {
        // Writes the URL it was given, renamed into place so the test never
        // reads half a file.
        write(path("handler.sh"),
              "#!/bin/sh\nprintf '%s' \"$1\" > \"" + QFile::encodeName(path("received.tmp")) + "\"\nmv \"" +
                  QFile::encodeName(path("received.tmp")) + "\" \"" + QFile::encodeName(path("received")) + "\"\n",
              true);
        write(path("data/applications/sonvela-test.desktop"),
              "[Desktop Entry]\nType=Application\nName=Radio\nExec=" + QFile::encodeName(path("handler.sh")) +
                  " %u\nMimeType=x-scheme-handler/sonvela;\nNoDisplay=true\n");
        write(path("config/mimeapps.list"), "[Default Applications]\nx-scheme-handler/sonvela=sonvela-test.desktop\n");
        updateDatabase();
    }

    static void removeHandler() {
        QFile::remove(path("data/applications/sonvela-test.desktop"));
        QFile::remove(path("config/mimeapps.list"));
        updateDatabase();
    }

    static QTemporaryDir* root_;
};

QTemporaryDir* SonvelaGio::root_ = nullptr;

AlarmSettings stationAlarm() {
    AlarmSettings alarm;
    alarm.wakeWithRadio = true;
    alarm.radioMode = AlarmSettings::RadioMode::station;
    alarm.radioStationUUID = QStringLiteral("St+1&volume=3");
    alarm.fadeSeconds = 25;
    alarm.radioVolume = 60;
    return alarm;
}

}  // namespace

TEST_F(SonvelaGio, FollowsTheDesktopDatabaseAndLaunchesTheHandler) {
    const AlarmSettings alarm = stationAlarm();

    // Nothing registered: nothing is claimed and nothing starts.
    EXPECT_FALSE(Sonvela::isInstalled());
    EXPECT_FALSE(Sonvela::openWake(alarm));
    QTest::qWait(300);
    EXPECT_FALSE(QFile::exists(path("received")));

    // Installed while we run: the cached answer follows without a restart.
    installHandler();
    ASSERT_TRUE(corvane::test::waitUntil([&] { return Sonvela::isInstalled(); }, 10000));
    ASSERT_TRUE(Sonvela::isInstalled());

    ASSERT_TRUE(Sonvela::openWake(alarm));
    ASSERT_TRUE(corvane::test::waitUntil([&] { return QFile::exists(path("received")); }, 10000));
    QFile received(path("received"));
    ASSERT_TRUE(received.open(QIODevice::ReadOnly));
    EXPECT_EQ(received.readAll(), QByteArray("sonvela://play?station=St%2B1%26volume%3D3&fade=25&volume=60"));
    received.close();
    QFile::remove(path("received"));

    // Removed again: back to not installed, and opening is refused.
    removeHandler();
    ASSERT_TRUE(corvane::test::waitUntil([&] { return !Sonvela::isInstalled(); }, 10000));
    EXPECT_FALSE(Sonvela::openWake(alarm));
    QTest::qWait(300);
    EXPECT_FALSE(QFile::exists(path("received")));
}
