#include "platform/SleepInhibitor.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDebug>
#include <QVariantMap>

namespace corvane {

DesktopSleepInhibitor::~DesktopSleepInhibitor() {
    release();
}

void DesktopSleepInhibitor::acquire(const QString& reason) {
    release();
    if (acquireThroughPortal(reason)) return;
    if (acquireThroughLogind(reason)) return;
    qInfo("Corvane: no desktop service keeps the computer awake; alarms catch up after waking");
}

bool DesktopSleepInhibitor::acquireThroughPortal(const QString& reason) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.portal.Desktop"), QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.portal.Inhibit"), QStringLiteral("Inhibit"));
    QVariantMap options;
    options.insert(QStringLiteral("reason"), reason);
    call << QString() << kPortalSuspendFlag << options;
    const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return false;
    const QString path = reply.arguments().constFirst().value<QDBusObjectPath>().path();
    if (path.isEmpty()) return false;
    m_portalRequest = path;
    return true;
}

bool DesktopSleepInhibitor::acquireThroughLogind(const QString& reason) {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"));
    call << QStringLiteral("idle") << QStringLiteral("Corvane") << reason << QStringLiteral("block");
    const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return false;
    QDBusUnixFileDescriptor fd = reply.arguments().constFirst().value<QDBusUnixFileDescriptor>();
    if (!fd.isValid()) return false;
    m_logindLock = fd;
    return true;
}

void DesktopSleepInhibitor::release() {
    if (!m_portalRequest.isEmpty()) {
        QDBusMessage close = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.portal.Desktop"), m_portalRequest,
            QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Close"));
        QDBusConnection::sessionBus().call(close, QDBus::Block, kCallTimeoutMs);
        m_portalRequest.clear();
    }
    // The lock ends when the last copy of the descriptor is closed.
    m_logindLock = QDBusUnixFileDescriptor();
}

}  // namespace corvane
