#include "platform/IniFile.h"

namespace corvane {

namespace {
// A few lines of state; anything larger is not ours.
constexpr qint64 kMaxIniBytes = 64 * 1024;
constexpr char kUngrouped[] = "General";

bool isIgnorable(const QString& line) {
    return line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#');
}

bool isGroupHeader(const QString& line) {
    return line.startsWith(u'[') && line.endsWith(u']');
}

QString groupOf(const QString& header) {
    return header.mid(1, header.size() - 2).trimmed();
}

bool holdsOnly(const QByteArray& content, const IniLayout& layout) {
    // Keys before any header belong to "General", as readIniGroup takes them.
    bool inGroup = layout.group == QLatin1String(kUngrouped);
    bool sawOurs = false;
    for (const QString& raw : QString::fromUtf8(content).split(u'\n')) {
        const QString line = raw.trimmed();
        if (isIgnorable(line)) continue;
        if (isGroupHeader(line)) {
            inGroup = groupOf(line) == layout.group;
            if (!inGroup) return false;
        } else {
            const qsizetype equals = line.indexOf(u'=');
            if (!inGroup || equals <= 0 || !layout.keys.contains(line.left(equals).trimmed())) return false;
        }
        sawOurs = true;
    }
    return sawOurs;
}

}  // namespace

OwnFileKind iniFileKind(const IniLayout& layout) {
    return {kMaxIniBytes, [layout](const QByteArray& content) { return holdsOnly(content, layout); }};
}

QHash<QString, QString> readIniGroup(const QString& path, const QString& group) {
    QHash<QString, QString> values;
    const ReadOutcome read = readRegularFile(path, kMaxIniBytes);
    if (!read.bytes) return values;
    QString current = QLatin1String(kUngrouped);
    for (const QString& raw : QString::fromUtf8(*read.bytes).split(u'\n')) {
        const QString line = raw.trimmed();
        if (isIgnorable(line)) continue;
        if (isGroupHeader(line)) {
            current = groupOf(line);
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0 || current != group) continue;
        values.insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
    }
    return values;
}

WriteOutcome writeIniGroup(const QString& path, const IniLayout& layout,
                           const QList<QPair<QString, QString>>& entries) {
    QString text = u'[' + layout.group + QStringLiteral("]\n");
    for (const auto& [key, value] : entries) text += key + u'=' + value + u'\n';
    return replaceOwnFile(path, text.toUtf8(), iniFileKind(layout));
}

}  // namespace corvane
