#include "platform/system/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

namespace {
constexpr char kActivate[] = "activate\n";
}

SingleInstance::SingleInstance(QString socketPath, QObject* parent) : QObject(parent), path_(std::move(socketPath)) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::ensurePrivateFolder(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) return false;
    struct stat info {};
    // lstat: a link planted in our place must not lead us into someone
    // else's folder.
    if (::lstat(native.constData(), &info) != 0) return false;
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::getuid()) return false;
    if ((info.st_mode & 077) != 0 && ::chmod(native.constData(), 0700) != 0) return false;
    return true;
}

QString SingleInstance::defaultPath() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime)) {
        const QString folder = runtime + QStringLiteral("/corvane");
        if (ensurePrivateFolder(folder)) return folder + QStringLiteral("/instance");
    }
    const QString folder = QDir::tempPath() + QStringLiteral("/corvane-runtime-%1").arg(::getuid());
    if (ensurePrivateFolder(folder)) return folder + QStringLiteral("/instance");
    return {};
}

bool SingleInstance::claim(int timeoutMs) {
    // No safe place to meet: rather two windows than handing over to
    // whatever someone else put there.
    if (path_.isEmpty()) return true;
    {
        QLocalSocket probe;
        probe.connectToServer(path_);
        if (probe.waitForConnected(timeoutMs)) {
            probe.write(kActivate);
            probe.waitForBytesWritten(timeoutMs);
            probe.disconnectFromServer();
            return false;
        }
    }
    // Nobody answered: a socket file left behind by a crashed instance must
    // not keep us from listening.
    QLocalServer::removeServer(path_);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(path_)) {
        // Without the socket we still run; a second start would then simply
        // start a second window rather than none at all.
        return true;
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* client = server_->nextPendingConnection()) {
            connect(client, &QLocalSocket::readyRead, this, [this, client] {
                if (client->readAll().contains("activate")) Q_EMIT activationRequested();
                client->disconnectFromServer();
            });
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        }
    });
    return true;
}

}  // namespace corvane
