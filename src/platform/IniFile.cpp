#include "platform/IniFile.h"

namespace corvane {

namespace {
// A few lines of state; anything larger is not ours.
constexpr qint64 kMaxIniBytes = 64 * 1024;
}  // namespace

QHash<QString, QString> readIniGroup(const QString& path, const QString& group) {
    QHash<QString, QString> values;
    const ReadOutcome read = readRegularFile(path, kMaxIniBytes);
    if (!read.bytes) return values;
    QString current = QStringLiteral("General");
    for (const QString& raw : QString::fromUtf8(*read.bytes).split(u'\n')) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#')) continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            current = line.mid(1, line.size() - 2).trimmed();
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0 || current != group) continue;
        values.insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
    }
    return values;
}

WriteOutcome writeIniGroup(const QString& path, const QString& group,
                           const QList<QPair<QString, QString>>& entries) {
    QString text = u'[' + group + QStringLiteral("]\n");
    for (const auto& [key, value] : entries) text += key + u'=' + value + u'\n';
    return replaceFile(path, text.toUtf8());
}

}  // namespace corvane
