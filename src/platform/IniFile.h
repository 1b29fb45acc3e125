#pragma once

// The small INI files in which the windows keep their own state (the
// settings window's frame, the widget's size and place), in the layout
// QSettings reads and writes, but read without ever opening something that is
// not a regular file and written through replaceFile.

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include "platform/AtomicFile.h"

namespace corvane {

// One of these files: its one group and every key it may hold.
struct IniLayout {
    QString group;
    QStringList keys;
};

// A file of `layout` and nothing else: blank lines, comments, the group's
// header (which must be there) and keys of the layout inside it. Only such a
// file is replaced through a link; a rewrite of it loses nothing but our
// own old values.
OwnFileKind iniFileKind(const IniLayout& layout);

// The keys and values of `group` ("General" for keys outside any group). A
// missing, oversized or unreadable file, or one that is not a regular file,
// gives an empty table.
QHash<QString, QString> readIniGroup(const QString& path, const QString& group);

// Replaces the file with the layout's group holding `entries`, in order. A
// link is followed only to a file of the layout (iniFileKind).
WriteOutcome writeIniGroup(const QString& path, const IniLayout& layout,
                           const QList<QPair<QString, QString>>& entries);

}  // namespace corvane
