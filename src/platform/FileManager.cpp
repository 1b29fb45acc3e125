#include "platform/FileManager.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace corvane {

namespace {

std::function<void(const QString&)>& replacement() {
    static std::function<void(const QString&)> f;
    return f;
}

void openFolder(const QString& filePath) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(filePath).absolutePath()));
}

}  // namespace

void replaceShowInFileManager(std::function<void(const QString&)> f) { replacement() = std::move(f); }

void showInFileManager(const QString& filePath) {
    if (replacement()) {
        replacement()(filePath);
        return;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openFolder(filePath);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(filePath).toString()} << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 5000));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [filePath](QDBusPendingCallWatcher* w) {
        // No file manager answers on the bus: the folder is the next best.
        if (w->isError()) openFolder(filePath);
        w->deleteLater();
    });
}

}  // namespace corvane
