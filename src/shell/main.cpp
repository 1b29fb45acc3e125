#include <QApplication>
#include <QTextStream>

#include "model/SettingsService.h"
#include "platform/Paths.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvane"));
    QApplication::setApplicationDisplayName(QStringLiteral("Corvane"));
    QApplication::setApplicationVersion(QStringLiteral(CORVANE_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("de.velmor.corvane"));

    // Until the window exists, a start loads the settings (repairing and
    // backing up a damaged file) and writes them back.
    corvane::SettingsService service(corvane::AppPaths::fromEnvironment());
    const corvane::SettingsLoadResult loaded = service.load();
    QTextStream out(stdout);
    if (const auto error = service.lastError()) out << *error << Qt::endl;
    const bool saved = service.save(loaded.settings);
    out << (saved ? "Einstellungen gespeichert: " : "Einstellungen nicht gespeichert: ")
        << service.settingsFilePath() << Qt::endl;
    return saved ? 0 : 1;
}
