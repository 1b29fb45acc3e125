#include "platform/Resources.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace corvane {

namespace {

// /proc/self/exe works before a QCoreApplication exists, unlike
// QCoreApplication::applicationDirPath(); the catalogue may be read first
// from any thread.
QString executableFolder() {
    const QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    return exe.isEmpty() ? QString() : QFileInfo(exe).absolutePath();
}

}  // namespace

QString resourcePath(const QString& fileName) {
    const QByteArray overridden = qgetenv("CORVANE_RESOURCE_DIR");
    if (!overridden.isEmpty()) return QDir(QFile::decodeName(overridden)).filePath(fileName);

    const QString exeFolder = executableFolder();
    if (!exeFolder.isEmpty()) {
        const QString installed =
            QDir::cleanPath(exeFolder + QStringLiteral("/../share/corvane/") + fileName);
        if (QFileInfo::exists(installed)) return installed;
    }
    return QDir(QStringLiteral(CORVANE_SOURCE_RESOURCES)).filePath(fileName);
}

}  // namespace corvane
