#include <QApplication>
#include <QStandardPaths>

#include "model/WidgetSnapshot.h"
#include "platform/Clock.h"
#include "platform/DisplayServer.h"
#include "platform/Paths.h"
#include "platform/QtTranslation.h"
#include "platform/TerminationSignals.h"
#include "platform/TimeZoneWatcher.h"
#include "platform/TimeZones.h"
#include "widget/ClockProvider.h"
#include "widget/HostSettings.h"
#include "widget/SnapshotWatcher.h"
#include "widget/TimelineRunner.h"
#include "widget/WallClockAlarm.h"
#include "widget/WidgetWindow.h"

int main(int argc, char** argv) {
    corvane::preferX11();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tickora-widget"));
    QApplication::setApplicationDisplayName(QStringLiteral("Corvane-Widget"));
    QApplication::setApplicationVersion(QStringLiteral(CORVANE_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("de.velmor.corvane.widget"));
    // Before any window: Qt's own texts (its menus' and dialogs') in German.
    corvane::installQtTranslation();

    const corvane::AppPaths paths = corvane::AppPaths::fromEnvironment();
    corvane::SystemClock& clock = corvane::SystemClock::instance();
    corvane::SystemTimeZoneProvider& zones = corvane::SystemTimeZoneProvider::instance();
    const corvane::ClockProvider provider(corvane::WidgetSnapshot::fileURL(paths), clock, zones);

    corvane::SystemWallClockAlarm alarm;
    corvane::TimelineRunner runner(provider, clock, alarm);

    corvane::SnapshotWatcher watcher(paths.sharedFolder);
    watcher.listenOnSessionBus();
    QObject::connect(&watcher, &corvane::SnapshotWatcher::changed, &runner, &corvane::TimelineRunner::reload);

    // The wall-clock alarm covers suspend and clock steps; these are second
    // opinions that cost nothing when nothing happened.
    QObject::connect(&app, &QGuiApplication::applicationStateChanged, &runner, &corvane::TimelineRunner::recheck);

    const corvane::HostSettings settings(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation),
                                         QCoreApplication::applicationFilePath());
    corvane::WidgetWindow window(runner, zones, settings);

    // "Ortszeit" follows the computer's zone when the user changes it.
    corvane::SystemTimeZoneWatcher zoneWatcher;
    QObject::connect(&zoneWatcher, &corvane::TimeZoneWatcher::zoneChanged, &window, qOverload<>(&QWidget::update));

    // A log-out ends the widget like "Schließen", keeping where it stood.
    corvane::TerminationSignals signals;
    QObject::connect(&signals, &corvane::TerminationSignals::terminationRequested, &app,
                     [] { QCoreApplication::exit(0); });

    runner.reload();
    window.show();
    app.exec();
    window.saveState();
    return 0;
}
