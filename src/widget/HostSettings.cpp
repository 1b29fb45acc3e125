#include "widget/HostSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/AtomicFile.h"
#include "platform/IniFile.h"

namespace corvane {

namespace {

constexpr const char* kFamilyKey = "family";
constexpr const char* kXKey = "x";
constexpr const char* kYKey = "y";
constexpr const char* kAutostartKey = "autostart";

constexpr const char* kGroup = "General";

std::optional<int> intValue(const QHash<QString, QString>& settings, const char* key) {
    const auto value = settings.constFind(QLatin1String(key));
    if (value == settings.cend()) return std::nullopt;
    bool ok = false;
    const qlonglong n = value->toLongLong(&ok);
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
    // Left behind by a copy that was killed while it wrote.
    removeStrayTemporaries(QFileInfo(settingsFile()).absolutePath(), QFileInfo(settingsFile()).fileName());
    removeStrayTemporaries(QFileInfo(autostartFile()).absolutePath(), QFileInfo(autostartFile()).fileName());

    HostState state;
    const QHash<QString, QString> settings = readIniGroup(settingsFile(), QLatin1String(kGroup));
    if (auto family = familyFromKey(settings.value(QLatin1String(kFamilyKey)))) state.family = *family;
    const std::optional<int> x = intValue(settings, kXKey);
    const std::optional<int> y = intValue(settings, kYKey);
    if (x && y) state.position = QPoint(*x, *y);
    state.autostart = QFileInfo(autostartFile()).isFile();
    return state;
}

bool HostSettings::save(const HostState& state) const {
    if (!QDir().mkpath(QFileInfo(settingsFile()).absolutePath())) return false;
    QList<QPair<QString, QString>> entries{{QLatin1String(kFamilyKey), familyKey(state.family)}};
    if (state.position) {
        entries.append({QLatin1String(kXKey), QString::number(state.position->x())});
        entries.append({QLatin1String(kYKey), QString::number(state.position->y())});
    }
    entries.append({QLatin1String(kAutostartKey), state.autostart ? QStringLiteral("true") : QStringLiteral("false")});
    return writeIniGroup(settingsFile(), QLatin1String(kGroup), entries).ok();
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
    return replaceFile(path, entry.toUtf8()).ok();
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
