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

// Every key the file may hold; a file with anything else is not ours.
const IniLayout& hostLayout() {
    static const IniLayout layout{QStringLiteral("General"),
                                  {QLatin1String(kFamilyKey), QLatin1String(kXKey), QLatin1String(kYKey),
                                   QLatin1String(kAutostartKey)}};
    return layout;
}

std::optional<int> intValue(const QHash<QString, QString>& settings, const char* key) {
    const auto value = settings.constFind(QLatin1String(key));
    if (value == settings.cend()) return std::nullopt;
    bool ok = false;
    const qlonglong n = value->toLongLong(&ok);
    // Far beyond any screen: a broken file, not a position.
    if (!ok || n < -1'000'000 || n > 1'000'000) return std::nullopt;
    return int(n);
}

constexpr const char* kEntryGroup = "[Desktop Entry]";
constexpr qint64 kMaxEntryBytes = 64 * 1024;  // far more than any launcher entry

// The key of a "Key=Value" line and its value, blanks around both dropped;
// nothing for groups, comments and blank lines.
std::optional<std::pair<QString, QString>> keyValue(const QString& line) {
    const qsizetype eq = line.indexOf(u'=');
    if (eq <= 0 || line.startsWith(u'#') || line.startsWith(u'[')) return std::nullopt;
    return std::make_pair(line.left(eq).trimmed(), line.mid(eq + 1).trimmed());
}

// The entry's lines, or nothing when there is none (or not one we could read).
std::optional<QStringList> readEntry(const QString& path) {
    const ReadOutcome read = readRegularFile(path, kMaxEntryBytes);
    if (!read.bytes) return std::nullopt;
    QString text = QString::fromUtf8(*read.bytes);
    text.remove(u'\r');
    return text.split(u'\n');
}

bool isSwitchedOff(const QString& key, const QString& value) {
    if (key == QLatin1String("Hidden")) return value.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
    if (key == QLatin1String("X-GNOME-Autostart-enabled"))
        return value.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0;
    return false;
}

bool entryStartsWidget(const QStringList& lines) {
    bool inEntry = false;
    bool on = true;
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.startsWith(u'[')) {
            inEntry = line == QLatin1String(kEntryGroup);
            continue;
        }
        if (!inEntry) continue;
        if (const auto kv = keyValue(line); kv && isSwitchedOff(kv->first, kv->second)) on = false;
    }
    return on;
}

}  // namespace

QString widgetDescription() {
    return QStringLiteral("Deine Uhren mit Zeitzonen und Zifferblättern – genau wie in der App eingestellt.");
}

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
    removeStrayTemporariesOf(settingsFile(), iniFileKind(hostLayout()));
    // The entry is never written through a link (one to the launcher in
    // /usr/share is common): only its own folder can hold our leftovers.
    removeStrayTemporaries(QFileInfo(autostartFile()).absolutePath(), QFileInfo(autostartFile()).fileName());

    HostState state;
    const QHash<QString, QString> settings = readIniGroup(settingsFile(), hostLayout().group);
    if (auto family = familyFromKey(settings.value(QLatin1String(kFamilyKey)))) state.family = *family;
    const std::optional<int> x = intValue(settings, kXKey);
    const std::optional<int> y = intValue(settings, kYKey);
    if (x && y) state.position = QPoint(*x, *y);
    const std::optional<QStringList> entry = readEntry(autostartFile());
    state.autostart = entry && entryStartsWidget(*entry);
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
    return writeIniGroup(settingsFile(), hostLayout(), entries).ok();
}

bool HostSettings::setAutostart(bool on) const {
    const QString path = autostartFile();
    if (!on) return !QFileInfo::exists(path) || QFile::remove(path);

    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    const std::pair<QString, QString> ours[] = {
        {QStringLiteral("Type"), QStringLiteral("Application")},
        {QStringLiteral("Name"), QStringLiteral("Corvane-Widget")},
        {QStringLiteral("Comment"), widgetDescription()},
        {QStringLiteral("Exec"), desktopExec(program_)},
        {QStringLiteral("Icon"), QStringLiteral("de.velmor.corvane")},
        {QStringLiteral("Terminal"), QStringLiteral("false")},
        {QStringLiteral("X-GNOME-Autostart-enabled"), QStringLiteral("true")},
    };
    const auto isOurs = [&](const QString& key) {
        for (const auto& [k, v] : ours)
            if (k == key) return true;
        return key == QLatin1String("Hidden");
    };
    QString entry = QLatin1String(kEntryGroup) + u'\n';
    for (const auto& [key, value] : ours) entry += key + u'=' + value + u'\n';
    // What the desktop or the user added to an entry already there stays:
    // a delay, localised names, other groups.
    const QStringList old = readEntry(path).value_or(QStringList());
    bool inEntry = false;
    bool seenEntry = false;
    // A second group of the same name is kept as it is, but load() reads
    // its switches too: one that turns the entry off must go as well.
    bool inLaterEntry = false;
    QString others;
    for (const QString& raw : old) {
        const QString line = raw.trimmed();
        if (line.startsWith(u'[')) {
            const bool isEntryGroup = line == QLatin1String(kEntryGroup);
            inEntry = isEntryGroup && !seenEntry;
            inLaterEntry = isEntryGroup && seenEntry;
            seenEntry = seenEntry || inEntry;
            if (inEntry) continue;
        }
        if (inEntry) {
            if (line.isEmpty()) continue;
            if (const auto kv = keyValue(line); kv && isOurs(kv->first)) continue;
            entry += raw + u'\n';
        } else if (seenEntry) {
            if (const auto kv = keyValue(line); inLaterEntry && kv && isSwitchedOff(kv->first, kv->second)) continue;
            others += raw + u'\n';
        }
    }
    while (others.endsWith(QLatin1String("\n\n"))) others.chop(1);
    if (!others.isEmpty()) entry += u'\n' + others;
    // A link here is replaced by our own entry, whatever it led to.
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
