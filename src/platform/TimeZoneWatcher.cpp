#include "platform/TimeZoneWatcher.h"

#include <QDBusConnection>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimeZone>

namespace corvane {

namespace {
const QString kLocaltime = QStringLiteral("/etc/localtime");
const QString kEtc = QStringLiteral("/etc");
const QString kTimezoneFile = QStringLiteral("/etc/timezone");
}  // namespace

SystemTimeZoneWatcher::SystemTimeZoneWatcher(QObject* parent)
    : TimeZoneWatcher(parent), m_files(new QFileSystemWatcher(this)), m_zone(QTimeZone::systemTimeZoneId()) {
    for (const QString& path : {kLocaltime, kTimezoneFile, kEtc}) {
        if (QFileInfo::exists(path)) m_files->addPath(path);
    }
    connect(m_files, &QFileSystemWatcher::fileChanged, this, [this](const QString&) { recheck(); });
    connect(m_files, &QFileSystemWatcher::directoryChanged, this, [this](const QString&) { recheck(); });
    QDBusConnection bus = QDBusConnection::systemBus();
    if (bus.isConnected()) {
        bus.connect(QStringLiteral("org.freedesktop.timedate1"), QStringLiteral("/org/freedesktop/timedate1"),
                    QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"),
                    this, SLOT(onTimedatePropertiesChanged()));
    }
}

void SystemTimeZoneWatcher::onTimedatePropertiesChanged() {
    recheck();
}

void SystemTimeZoneWatcher::recheck() {
    // A replaced file drops out of the watch list; put it back.
    for (const QString& path : {kLocaltime, kTimezoneFile}) {
        if (QFileInfo::exists(path) && !m_files->files().contains(path)) m_files->addPath(path);
    }
    const QByteArray zone = QTimeZone::systemTimeZoneId();
    if (zone == m_zone) return;
    m_zone = zone;
    Q_EMIT zoneChanged();
}

}  // namespace corvane
