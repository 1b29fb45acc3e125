#include "widget/HostSettings.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

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

// The entry's lines (without the empty one after the last line break).
struct EntryRead {
    std::optional<QStringList> lines;  // absent when there is none we could read
    // Nothing there worth keeping: no entry, or something that is no file
    // (a pipe, a device) or far too large to be one. Any other failure to
    // read it (no permission, a broken disk) is no licence to replace it.
    bool replaceable = false;
    bool missing = false;
};

EntryRead readEntry(const QString& path) {
    const ReadOutcome read = readRegularFile(path, kMaxEntryBytes);
    EntryRead entry;
    entry.missing = read.missing;
    entry.replaceable = read.missing || read.notRegular || read.tooLarge;
    if (!read.bytes) return entry;
    QString text = QString::fromUtf8(*read.bytes);
    text.remove(u'\r');
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    entry.lines = std::move(lines);
    return entry;
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

bool hasEntryGroup(const QStringList& lines) {
    return std::any_of(lines.cbegin(), lines.cend(),
                       [](const QString& line) { return line.trimmed() == QLatin1String(kEntryGroup); });
}

struct EntryEdit {
    QList<std::pair<QString, QString>> set;  // in this order where they are new
    QStringList drop;
    // load() reads the switches of a second group of the entry's name too:
    // switching on must leave none there that turns the entry off again.
    bool clearLaterSwitches = false;
};

// The entry with `edit` applied to its group, every other line where it
// stood: comments, blank lines, the keys and groups the desktop or the user
// added. A key that is set keeps its place; a new one goes after the group's
// last line. Before the first group only comments and blank lines are valid,
// and a launcher refuses an entry with anything else there.
QString editEntry(const QStringList& old, const EntryEdit& edit) {
    QStringList out;
    QList<bool> placed(edit.set.size(), false);
    qsizetype preambleEnd = -1;  // where a missing group goes
    qsizetype groupEnd = -1;     // after the group's last line that is not blank
    enum class In { preamble, entry, laterEntry, other } in = In::preamble;
    bool seenEntry = false;

    const auto placeRest = [&](qsizetype at) {
        for (qsizetype i = 0; i < edit.set.size(); ++i)
            if (!placed[i]) out.insert(at++, edit.set[i].first + u'=' + edit.set[i].second);
    };
    const auto indexOfSet = [&](const QString& key) -> qsizetype {
        for (qsizetype i = 0; i < edit.set.size(); ++i)
            if (edit.set[i].first == key) return i;
        return -1;
    };

    for (const QString& raw : old) {
        const QString line = raw.trimmed();
        if (line.startsWith(u'[')) {
            if (in == In::preamble) preambleEnd = out.size();
            if (in == In::entry) placeRest(groupEnd);
            const bool isEntryGroup = line == QLatin1String(kEntryGroup);
            in = !isEntryGroup ? In::other : seenEntry ? In::laterEntry : In::entry;
            seenEntry = seenEntry || isEntryGroup;
            out << raw;
            if (in == In::entry) groupEnd = out.size();
            continue;
        }
        const std::optional<std::pair<QString, QString>> kv = keyValue(line);
        switch (in) {
            case In::preamble:
                if (line.isEmpty() || line.startsWith(u'#')) out << raw;
                break;
            case In::entry:
                if (kv && edit.drop.contains(kv->first)) break;
                if (const qsizetype i = kv ? indexOfSet(kv->first) : -1; i >= 0) {
                    // A repeated key would leave it to the reader which one counts.
                    if (placed[i]) break;
                    placed[i] = true;
                    out << edit.set[i].first + u'=' + edit.set[i].second;
                } else {
                    out << raw;
                }
                if (!line.isEmpty()) groupEnd = out.size();
                break;
            case In::laterEntry:
                if (edit.clearLaterSwitches && kv && isSwitchedOff(kv->first, kv->second)) break;
                out << raw;
                break;
            case In::other:
                out << raw;
                break;
        }
    }
    if (in == In::entry) placeRest(groupEnd);
    if (!seenEntry) {
        // The group goes first, after the comments at the top.
        const qsizetype at = preambleEnd >= 0 ? preambleEnd : out.size();
        QStringList group{QLatin1String(kEntryGroup)};
        for (const auto& [key, value] : edit.set) group << key + u'=' + value;
        if (at < out.size()) group << QString();
        for (qsizetype i = 0; i < group.size(); ++i) out.insert(at + i, group[i]);
    }
    return out.join(u'\n') + u'\n';
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
    state.autostart = autostartEnabled();
    return state;
}

bool HostSettings::autostartEnabled() const {
    const EntryRead entry = readEntry(autostartFile());
    return entry.lines && entryStartsWidget(*entry.lines);
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
    const EntryRead old = readEntry(path);
    // Nothing there starts the widget.
    if (!on && old.missing) return true;
    if (!old.lines && !old.replaceable) return false;

    const QString hidden = QStringLiteral("Hidden");
    EntryEdit edit;
    // Switched off, an entry of ours keeps everything and only says so: the
    // desktop treats Hidden=true as deleted, and switching on again finds
    // what the desktop or the user added still there.
    if (on || !old.lines || !hasEntryGroup(*old.lines)) {
        edit.set = {
            {QStringLiteral("Type"), QStringLiteral("Application")},
            {QStringLiteral("Name"), QStringLiteral("Corvane-Widget")},
            {QStringLiteral("Comment"), widgetDescription()},
            {QStringLiteral("Exec"), desktopExec(program_)},
            {QStringLiteral("Icon"), QStringLiteral("de.velmor.corvane")},
            {QStringLiteral("Terminal"), QStringLiteral("false")},
            {QStringLiteral("X-GNOME-Autostart-enabled"), QStringLiteral("true")},
        };
    }
    if (on) {
        edit.drop = {hidden};
        edit.clearLaterSwitches = true;
    } else {
        edit.set.append({hidden, QStringLiteral("true")});
    }

    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    // A link is replaced by the entry itself; what it led to stays as it was.
    return replaceFile(path, editEntry(old.lines.value_or(QStringList()), edit).toUtf8()).ok();
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
