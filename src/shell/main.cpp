#include <QApplication>

#include "platform/DisplayServer.h"
#include "platform/Paths.h"
#include "platform/QtTranslation.h"
#include "platform/TerminationSignals.h"
#include "platform/system/SingleInstance.h"
#include "settings/SettingsRoot.h"
#include "shell/AppDelegate.h"
#include "shell/ViewFactories.h"
#include "worldmap/WorldMapView.h"

int main(int argc, char** argv) {
    corvane::preferX11();
    corvane::sendFramesWithoutSharedMemory();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvane"));
    QApplication::setApplicationDisplayName(QStringLiteral("Corvane"));
    QApplication::setApplicationVersion(QStringLiteral(CORVANE_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("de.velmor.corvane"));
    // Before any window: Qt's own dialogs and menus speak German too.
    corvane::installQtTranslation();
    // The clock keeps ringing alarms with no window shown.
    QApplication::setQuitOnLastWindowClosed(false);

    corvane::SingleInstance instance;
    if (!instance.claim()) return 0;  // the running Corvane came to the front

    corvane::viewFactories().settingsRoot = [](corvane::AppModel& model, QWidget* parent) -> QWidget* {
        return new corvane::SettingsRoot(model, parent);
    };
    corvane::viewFactories().worldMap = [](corvane::AppModel& model, QWidget* parent) -> QWidget* {
        auto* map = new corvane::WorldMapView(model, parent);
        // The main window has no title bar: a drag on the map moves it.
        map->setDragMovesWindow(true);
        return map;
    };

    corvane::AppModelDeps deps;
    deps.paths = corvane::AppPaths::fromEnvironment();
    corvane::AppDelegate delegate(std::move(deps));

    // A log-out or Ctrl+C ends in the same shutdown as the menu, so a change
    // still waiting for its save is written. exit(), not quit(): quit() would
    // ask the clock window to close, which it refuses.
    corvane::TerminationSignals signals;
    QObject::connect(&signals, &corvane::TerminationSignals::terminationRequested, &app, [] { QCoreApplication::exit(0); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate, [&delegate] { delegate.shutdown(); });
    QObject::connect(&instance, &corvane::SingleInstance::activationRequested, &delegate,
                     [&delegate] { delegate.showClock(); });

    delegate.setUp();
    app.exec();
    delegate.shutdown();
    return 0;
}
