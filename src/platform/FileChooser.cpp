#include "platform/FileChooser.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "platform/Text.h"

namespace corvane {

namespace {

// The desktop's folder for `location` when it is there; a fresh account
// often has none yet, and a dialog opening on a missing folder shows the
// program's working folder instead.
QString existingFolderOr(QStandardPaths::StandardLocation location) {
    const QString folder = QStandardPaths::writableLocation(location);
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) return folder;
    return QDir::homePath();
}

FileRequest request(const QString& title, const QStringList& patterns, const QString& kind,
                    QStandardPaths::StandardLocation location) {
    FileRequest r;
    r.title = title;
    r.patterns = patterns;
    r.nameFilters << QStringLiteral("%1 (%2)").arg(kind, patterns.join(QLatin1Char(' ')));
    r.nameFilters << tr("Alle Dateien (*)");
    r.startFolder = existingFolderOr(location);
    return r;
}

}  // namespace

FileRequest FileRequest::sounds(const QString& title, const QStringList& patterns) {
    return request(title, patterns, tr("Audiodateien"), QStandardPaths::MusicLocation);
}

FileRequest FileRequest::images(const QString& title, const QStringList& patterns) {
    return request(title, patterns, tr("Bilder"), QStandardPaths::PicturesLocation);
}

}  // namespace corvane
