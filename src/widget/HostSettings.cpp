#include "widget/HostSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>

namespace corvane {

namespace {

constexpr const char* kFamilyKey = "family";
constexpr const char* kXKey = "x";
constexpr const char* kYKey = "y";
constexpr const char* kAutostartKey = "autostart";

std::optional<int> intValue(const QSettings& settings, const char* key) {
    const QVariant value = settings.value(QLatin1String(key));
    if (!value.isValid()) return std::nullopt;
    bool ok = false;
    const qlonglong n = value.toString().toLongLong(&ok);
    // Far beyond any screen: a broken file, not a position.
    if (!ok || n < -1'000'000 || n > 1'000'000) return std::nullopt;
    return int(n);
}

}  // namespace

HostSettings::HostSettings(QString configFolder, QString program)
    : config_(std::move(configFolder)), program_(std::move(program)) {}

QString HostSettings::settingsFile() const {
    return QDir(config_).filePath(QStringLiteral("Corvane/tickora-widget.conf"));
}

QString HostSettings::autostartFile() const {
    return QDir(config_).filePath(QStringLiteral("autostart/de.velmor.corvane.widget.desktop"));
}

HostState HostSettings::load() const {
    HostState state;
    QSettings settings(settingsFile(), QSettings::IniFormat);
    if (auto family = familyFromKey(settings.value(QLatin1String(kFamilyKey)).toString())) state.family = *family;
    const std::optional<int> x = intValue(settings, kXKey);
    const std::optional<int> y = intValue(settings, kYKey);
    if (x && y) state.position = QPoint(*x, *y);
    state.autostart = QFileInfo(autostartFile()).isFile();
    return state;
}

bool HostSettings::save(const HostState& state) const {
    QDir().mkpath(QFileInfo(settingsFile()).absolutePath());
    QSettings settings(settingsFile(), QSettings::IniFormat);
    settings.setValue(QLatin1String(kFamilyKey), familyKey(state.family));
    if (state.position) {
        settings.setValue(QLatin1String(kXKey), state.position->x());
        settings.setValue(QLatin1String(kYKey), state.position->y());
    } else {
        settings.remove(QLatin1String(kXKey));
        settings.remove(QLatin1String(kYKey));
    }
    settings.setValue(QLatin1String(kAutostartKey), state.autostart);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

bool HostSettings::setAutostart(bool on) const {
    const QString path = autostartFile();
    if (!on) return !QFileInfo::exists(path) || QFile::remove(path);

    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    QString entry;
    entry += QStringLiteral("[Desktop Entry]\n");
    entry += QStringLiteral("Type=Application\n");
    entry += QStringLiteral("Name=Corvane-Widget\n");
    entry += QStringLiteral("Comment=Deine Uhren auf dem Schreibtisch\n");
    entry += QStringLiteral("Exec=") + desktopExec(program_) + u'\n';
    entry += QStringLiteral("Icon=de.velmor.corvane\n");
    entry += QStringLiteral("Terminal=false\n");
    entry += QStringLiteral("X-GNOME-Autostart-enabled=true\n");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    const QByteArray bytes = entry.toUtf8();
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QString HostSettings::desktopExec(const QString& program) {
    // A line break cannot be quoted at all and would end the key: such a
    // path is left to the search path instead.
    if (program.isEmpty() || program.contains(u'\n') || program.contains(u'\r'))
        return QStringLiteral("tickora-widget");
    // Quoted as an Exec argument, then escaped once more as a desktop-file
    // string; '%' would start a field code.
    QString quoted = QStringLiteral("\"");
    for (QChar c : program) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') quoted += u'\\';
        if (c == u'%') quoted += u'%';
        quoted += c;
    }
    quoted += u'"';
    QString escaped;
    for (QChar c : quoted) {
        if (c == u'\\') escaped += u'\\';
        escaped += c;
    }
    return escaped;
}

}  // namespace corvane
