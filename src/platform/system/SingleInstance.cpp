#include "platform/system/SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <unistd.h>

namespace corvane {

namespace {
constexpr char kActivate[] = "activate\n";
}

SingleInstance::SingleInstance(QString name, QObject* parent) : QObject(parent), name_(std::move(name)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultName() {
    return QStringLiteral("corvane-%1").arg(getuid());
}

bool SingleInstance::claim(int timeoutMs) {
    {
        QLocalSocket probe;
        probe.connectToServer(name_);
        if (probe.waitForConnected(timeoutMs)) {
            probe.write(kActivate);
            probe.waitForBytesWritten(timeoutMs);
            probe.disconnectFromServer();
            return false;
        }
    }
    // Nobody answered: a socket file left behind by a crashed instance must
    // not keep us from listening.
    QLocalServer::removeServer(name_);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(name_)) {
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
