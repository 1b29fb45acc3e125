#pragma once

// The small INI files in which the windows keep their own state (the
// settings window's frame, the widget's size and place), in the layout
// QSettings reads and writes, but read without ever opening something that is
// not a regular file and written through replaceFile.

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>

#include "platform/AtomicFile.h"

namespace corvane {

// The keys and values of `group` ("General" for keys outside any group). A
// missing, oversized or unreadable file, or one that is not a regular file,
// gives an empty table.
QHash<QString, QString> readIniGroup(const QString& path, const QString& group);

// Replaces the file with one group of plain keys and values, in order.
WriteOutcome writeIniGroup(const QString& path, const QString& group,
                           const QList<QPair<QString, QString>>& entries);

}  // namespace corvane
