// Corvane's reload signal reaches the widget's listener: both ends on a
// private bus started for the test (skipped where dbus-daemon is missing), so
// the path, interface and member names on either side must agree.

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>

#include "platform/WidgetReload.h"
#include "widget/SnapshotWatcher.h"

using namespace corvane;

TEST(ReloadSignal, CorvanesSignalReachesTheWidget) {
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (daemon.isEmpty()) GTEST_SKIP() << "no dbus-daemon";
    QProcess bus;
    bus.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    ASSERT_TRUE(bus.waitForStarted(5000));
    ASSERT_TRUE(bus.waitForReadyRead(5000));
    const QByteArray address = bus.readLine().trimmed();
    ASSERT_FALSE(address.isEmpty());
    // The process's session bus is this one: nothing here used another before.
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);

    SnapshotWatcher watcher(QString{});
    ASSERT_TRUE(watcher.listenOnSessionBus());
    QSignalSpy changed(&watcher, &SnapshotWatcher::changed);

    // Sent from a connection of its own, as Corvane's process would.
    {
        QDBusConnection sender = QDBusConnection::connectToBus(QString::fromUtf8(address), QStringLiteral("corvane"));
        ASSERT_TRUE(sender.isConnected());
        QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(kWidgetReloadPath),
                                                         QString::fromLatin1(kWidgetReloadInterface),
                                                         QString::fromLatin1(kWidgetReloadSignal));
        signal << QStringLiteral("AnotherKind");
        sender.send(signal);
        EXPECT_FALSE(changed.wait(500));
    }
    DBusWidgetReloader().reloadTimelines(QString::fromLatin1(kWidgetKind));
    EXPECT_TRUE(changed.wait(3000));

    QDBusConnection::disconnectFromBus(QStringLiteral("corvane"));
    bus.kill();
    bus.waitForFinished(3000);
}
