#include "widget/SnapshotWatcher.h"

#include "model/WidgetSnapshot.h"
#include "platform/WidgetReload.h"

#include <QDBusConnection>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

namespace corvane {

namespace {

// Long enough to take a burst of events as one, short enough that the new
// clocks appear at once.
constexpr int kSettleMSecs = 150;

}  // namespace

SnapshotWatcher::SnapshotWatcher(const QString& sharedFolder, QObject* parent)
    : QObject(parent),
      folder_(sharedFolder.isEmpty() ? QString() : QDir::cleanPath(QDir(sharedFolder).absolutePath())),
      watcher_(new QFileSystemWatcher(this)),
      settle_(new QTimer(this)) {
    settle_->setSingleShot(true);
    settle_->setInterval(kSettleMSecs);
    connect(settle_, &QTimer::timeout, this, &SnapshotWatcher::changed);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &SnapshotWatcher::onPathChanged);
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, &SnapshotWatcher::onPathChanged);
    rewatch();
}

bool SnapshotWatcher::listenOnSessionBus() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    return bus.connect(QString(), QString::fromLatin1(kWidgetReloadPath), QString::fromLatin1(kWidgetReloadInterface),
                       QString::fromLatin1(kWidgetReloadSignal), this, SLOT(reloadTimelines(QString)));
}

QStringList SnapshotWatcher::watchedPaths() const {
    return watcher_->directories() + watcher_->files();
}

void SnapshotWatcher::reloadTimelines(const QString& kind) {
    if (kind == QLatin1String(kWidgetKind)) settle_->start();
}

void SnapshotWatcher::onPathChanged() {
    rewatch();
    settle_->start();
}

void SnapshotWatcher::rewatch() {
    if (folder_.isEmpty()) return;
    QStringList wanted;
    QString dir = folder_;
    // Until the shared folder exists, the closest existing parent tells when
    // it (or a folder on the way to it) is made.
    while (!QFileInfo(dir).isDir()) {
        const QString up = QFileInfo(dir).path();
        if (up == dir) break;
        dir = up;
    }
    if (QFileInfo(dir).isDir()) wanted << dir;
    // The file too: a rewrite in place does not touch the folder.
    const QString file = QDir(folder_).filePath(QLatin1String(WidgetSnapshot::kFileName));
    if (dir == folder_ && QFileInfo(file).isFile()) wanted << file;

    // The file watch follows an inode, and a rename puts a new one under the
    // name: drop it and watch the name again.
    if (!watcher_->files().isEmpty()) watcher_->removePaths(watcher_->files());
    const QStringList current = watcher_->directories();
    for (const QString& path : current)
        if (!wanted.contains(path)) watcher_->removePath(path);
    for (const QString& path : wanted)
        if (!current.contains(path)) watcher_->addPath(path);
}

}  // namespace corvane
