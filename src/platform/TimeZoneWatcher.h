#pragma once

// Notices when the user changes the system's time zone while the program
// runs, so the texts that are read in the current zone follow at once.

#include <QByteArray>
#include <QObject>

class QFileSystemWatcher;

namespace corvane {

class TimeZoneWatcher : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

Q_SIGNALS:
    // The system zone is now a different one.
    void zoneChanged();
};

// Watches /etc/localtime (replaced, not edited, by the tools that set the
// zone, hence the watch on its folder too) and timedated's property changes.
class SystemTimeZoneWatcher final : public TimeZoneWatcher {
    Q_OBJECT
public:
    explicit SystemTimeZoneWatcher(QObject* parent = nullptr);

    // Compares the system zone with the one last seen; emits on a change.
    void recheck();

private Q_SLOTS:
    void onTimedatePropertiesChanged();

private:
    QFileSystemWatcher* m_files = nullptr;
    QByteArray m_zone;
};

// Changes only when told to.
class FakeTimeZoneWatcher final : public TimeZoneWatcher {
    Q_OBJECT
public:
    using TimeZoneWatcher::TimeZoneWatcher;
    void announce() { Q_EMIT zoneChanged(); }
};

}  // namespace corvane
