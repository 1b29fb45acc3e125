#include "platform/system/ProcessScan.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace corvane {

namespace {

// /proc files report a size of 0, so they are read until the end rather than
// by size. A cap keeps a pathological environment from costing much.
QByteArray readSmallFile(const QString& path, qint64 cap = 256 * 1024) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        return {};
    }
    QByteArray data;
    char buffer[4096];
    while (data.size() < cap) {
        const qint64 n = file.read(buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        data.append(buffer, n);
    }
    return data;
}

QByteArray basenameOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? path : path.mid(slash + 1);
}

bool isAllDigits(const QString& name) {
    if (name.isEmpty()) {
        return false;
    }
    for (QChar c : name) {
        if (c < u'0' || c > u'9') {
            return false;
        }
    }
    return true;
}

}  // namespace

ProcProcessFinder::ProcProcessFinder(QString executableName, QString flatpakId, QString procRoot)
    : executableName_(std::move(executableName)),
      flatpakId_(std::move(flatpakId)),
      procRoot_(std::move(procRoot)) {}

std::vector<qint64> ProcProcessFinder::pids() const {
    const QByteArray exeName = executableName_.toUtf8();
    const QByteArray flatpakEntry = "FLATPAK_ID=" + flatpakId_.toUtf8();
    std::vector<qint64> found;

    const QDir root(procRoot_);
    const QStringList entries = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (!isAllDigits(entry)) {
            continue;
        }
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (!ok) {
            continue;
        }
        const QString dir = root.filePath(entry);

        // A deleted-and-replaced binary reads as "name (deleted)"; it still
        // is the same program running.
        QByteArray exe = QFile::encodeName(QFileInfo(dir + QStringLiteral("/exe")).symLinkTarget());
        if (exe.endsWith(" (deleted)")) {
            exe.chop(10);
        }
        bool match = !exe.isEmpty() && basenameOf(exe) == exeName;

        if (!match) {
            const QByteArray cmdline = readSmallFile(dir + QStringLiteral("/cmdline"), 4096);
            const qsizetype end = cmdline.indexOf('\0');
            const QByteArray argv0 = end < 0 ? cmdline : cmdline.left(end);
            match = !argv0.isEmpty() && basenameOf(argv0) == exeName;
        }
        if (!match && !flatpakId_.isEmpty()) {
            const QByteArray environ = readSmallFile(dir + QStringLiteral("/environ"));
            for (const QByteArray& variable : environ.split('\0')) {
                if (variable == flatpakEntry) {
                    match = true;
                    break;
                }
            }
        }
        if (match) {
            found.push_back(pid);
        }
    }
    return found;
}

}  // namespace corvane
